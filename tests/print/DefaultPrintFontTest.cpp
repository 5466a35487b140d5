#include "print/DefaultPrintFont.h"
#include "platform/CheckedFile.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFontDatabase>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrana;

// A new workstation prints in an installed plain sans face at 8 points; a stored choice stays.
class DefaultPrintFontTest : public QObject {
    Q_OBJECT

private slots:
    void faceChoice_data() {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("face");
        QTest::newRow("both") << QStringList{"DejaVu Sans", "Liberation Sans", "Cantarell"}
                              << "Liberation Sans";
        QTest::newRow("letter case") << QStringList{"liberation sans"} << "Liberation Sans";
        QTest::newRow("DejaVu only") << QStringList{"DejaVu Sans", "DejaVu Serif"} << "DejaVu Sans";
        QTest::newRow("neither") << QStringList{"Cantarell", "Noto Sans"} << "Cantarell";
    }
    void faceChoice() {
        QFETCH(QStringList, installed);
        QFETCH(QString, face);
        QCOMPARE(defaultPrintFace(installed, QStringLiteral("Cantarell")), face);
    }

    void writtenOnlyWhereMissing() {
        QTemporaryDir dir;
        // No FONT directory: nothing is made.
        QVERIFY(!writeDefaultPrintFont(dir.path()));
        QVERIFY(!QDir(dir.filePath(QStringLiteral("FONT"))).exists());

        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("font")));
        QVERIFY(writeDefaultPrintFont(dir.path()));
        const QString path = dir.filePath(QStringLiteral("font/font_kelmo_2007.dat"));
        const QByteArray bytes = files::readFile(path);
        QCOMPARE(bytes.size(), FontRecord::Size);
        const FontRecord record = FontRecord::fromBytes(bytes);
        QVERIFY(QFontDatabase::families().contains(record.faceName));
        QCOMPARE(record.faceName, QStringLiteral("Liberation Sans"));
        QCOMPARE(record.size, 8);
        QCOMPARE(record.colour, 0);
        QCOMPARE(record.style, 0);

        // A stored choice is never replaced.
        FontRecord chosen;
        chosen.setFaceName(QStringLiteral("DejaVu Serif"));
        chosen.size = 11;
        files::writeFile(path, chosen.toBytes());
        QVERIFY(!writeDefaultPrintFont(dir.path()));
        QCOMPARE(files::readFile(path), chosen.toBytes());
    }
};

KESTRANA_TEST(DefaultPrintFontTest)
#include "DefaultPrintFontTest.moc"
