#include "exchange/CsvColumns.h"
#include "exchange/CsvText.h"
#include "register/CategoryNames.h"
#include "register/Startup.h"
#include "station/SmallRecords.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QProcess>
#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;

namespace {

QByteArray importFile(int count) {
    QString text = csv::formatRow(csv::headerRow(CategoryNames::defaults())) + "\r\n";
    for (int i = 0; i < count; ++i) {
        QStringList row(csv::kColumnCount);
        row[static_cast<int>(Field::nazwa1)] = QStringLiteral("Firma %1").arg(i);
        text += csv::formatRow(row) + "\r\n";
    }
    return text.toUtf8();
}

} // namespace

// An import of 1000 rows killed before each file call of its adding step, one run per point:
// after the next start the main file holds exactly the old entries or all of them, the journal
// is gone, and the counter never gives an ID twice.
class ImportKillTest : public QObject {
    Q_OBJECT

private slots:
    void killedImportIsAllOrNothing() {
        DataFolder folder;
        startup::prepareWorkstation(folder.path(), true, "2026-12-07");
        folder.writeBytes("in.csv", importFile(1000));
        const QByteArray before = folder.readBytes("DANE/spis_ks.dat");
        const QByteArray counter = folder.readBytes("ADMINI/id_ks.dat");
        const auto run = [&](int killAt, QByteArray* out) {
            QProcess p;
            p.start(qEnvironmentVariable("APPENDER"),
                    {folder.path(), folder.file("in.csv"), QString::number(killAt)});
            p.waitForFinished(60000);
            if (out)
                *out = p.readAllStandardOutput();
            return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        };
        QByteArray calls;
        QVERIFY(run(0, &calls));
        const QByteArray after = folder.readBytes("DANE/spis_ks.dat");
        QCOMPARE(after.size(), before.size() + 1000 * EntryRecord::Size);
        const int points = calls.trimmed().toInt();
        QVERIFY(points > 20);
        int whole = 0;
        for (int killAt = 1; killAt <= points; ++killAt) {
            folder.writeBytes("DANE/spis_ks.dat", before);
            folder.writeBytes("ADMINI/id_ks.dat", counter);
            QVERIFY2(!run(killAt, nullptr), qPrintable(QString::number(killAt)));
            startup::prepareWorkstation(folder.path(), true, "2026-12-07"); // the next start
            const QByteArray now = folder.readBytes("DANE/spis_ks.dat");
            QVERIFY2(now == before || now == after,
                     qPrintable(QStringLiteral("kill %1: %2 B").arg(killAt).arg(now.size())));
            QVERIFY(!QFile::exists(folder.file("DANE/spis_ks.dop")));
            whole += now == after;
            // IDs taken before the kill stay taken: the counter is never behind the entries.
            const qint32 next = int32FromBytes(folder.readBytes("ADMINI/id_ks.dat"));
            QVERIFY(next == 1002 || (now == before && next == int32FromBytes(counter)));
        }
        QVERIFY(whole < points); // most kills came before the batch was on disk
    }
};

KESTRANA_TEST(ImportKillTest)
#include "ImportKillTest.moc"
