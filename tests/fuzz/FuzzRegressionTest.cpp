#include "FuzzTargets.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace kestrana;

// Every input kept in fuzz/regressions/<target>/ (crashes found and fixed, and seeds) goes
// through its target's entry point again; each would abort or crash if the fault came back.
class FuzzRegressionTest : public QObject {
    Q_OBJECT

private slots:
    void keptInputs_data() {
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("path");
        const QDir root(qEnvironmentVariable("KESTRANA_FUZZ_DIR") + "/regressions");
        for (int t = 0; t < int(std::size(fuzz::kTargets)); ++t) {
            const QDir dir(root.filePath(QLatin1String(fuzz::kTargets[t].name)));
            for (const QString& name : dir.entryList(QDir::Files))
                QTest::addRow("%s/%s", fuzz::kTargets[t].name, qPrintable(name))
                    << t << dir.filePath(name);
        }
        if (QTest::currentTestFunction() && !root.exists())
            QTest::addRow("none") << -1 << QString();
    }
    void keptInputs() {
        QFETCH(int, target);
        QFETCH(QString, path);
        if (target < 0)
            QSKIP("no kept inputs");
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray data = file.readAll();
        fuzz::kTargets[target].run(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                   static_cast<std::size_t>(data.size()));
    }

    // Edge inputs every target must take: nothing, one byte, a large block of 0xff.
    void edgeInputs() {
        const QByteArray inputs[] = {QByteArray(), QByteArray(1, '\0'), QByteArray(70000, '\xff'),
                                     QByteArray("\xff\xd8\xff\xe0", 4)};
        for (const fuzz::Target& target : fuzz::kTargets) {
            for (const QByteArray& input : inputs)
                target.run(reinterpret_cast<const std::uint8_t*>(input.constData()),
                           static_cast<std::size_t>(input.size()));
        }
    }
};

KESTRANA_TEST(FuzzRegressionTest)
#include "FuzzRegressionTest.moc"
