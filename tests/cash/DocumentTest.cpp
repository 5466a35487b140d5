#include "cash/FixedTexts.h"
#include "cash/Voucher.h"
#include "cash/VoucherDocument.h"
#include "platform/CheckedFile.h"
#include "platform/IoError.h"
#include "register/EntryRecord.h"
#include "station/SmallRecords.h"
#include "station/Workstation.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QTest>

#include <cerrno>

using namespace kestrana;
using kestrana::test::DataFolder;

namespace {

Workstation stationAt(const DataFolder& folder) {
    Workstation ws;
    ws.baseDir = ws.workDir = folder.path();
    return ws;
}

VoucherGrid sampleGrid() {
    VoucherGrid grid;
    for (int r = 0; r < VoucherGrid::Rows; ++r) {
        grid.tytulem[r] = QStringLiteral("Tytuł %1 – opłata za źródło").arg(r);
        grid.kwota[r] = QStringLiteral("%1.50").arg(r * 10).rightJustified(8);
    }
    grid.tytulem[4].clear();
    grid.kwota[9].clear();
    return grid;
}

} // namespace

class DocumentTest : public QObject {
    Q_OBJECT

private slots:

    void titleAndBlocks() {
        Voucher v;
        v.kind = DocumentKind::KW;
        v.numerkp = QStringLiteral("7");
        v.rozszerzeniekp = QStringLiteral("2006");
        QCOMPARE(printTitle(v), QStringLiteral("Dowód wypłaty KW nr 7/2006"));

        CompanyRecord firma;
        firma.lines = {QStringLiteral("Biuro"),           QStringLiteral("ul. Polna 1"),
                       QStringLiteral("00-001 Warszawa"), QStringLiteral("NIP 123"),
                       QStringLiteral("line 5"),          QStringLiteral("line 6")};
        QCOMPARE(issuerBlock(firma),
                 VoucherBlock({QStringLiteral("Biuro"), QStringLiteral("ul. Polna 1"),
                               QStringLiteral("00-001 Warszawa"), QStringLiteral("NIP 123")}));
        EntryRecord entry;
        entry.setText(Field::nazwa1, u"Żuraw sp. z o.o.");
        entry.setText(Field::nazwa2, u"not shown");
        entry.setText(Field::miejscowosc, u"Kraków");
        entry.setText(Field::adres, u"Długa 5");
        entry.setText(Field::wojewodztwo, u"małopolskie");
        QCOMPARE(companyBlock(entry),
                 VoucherBlock({QStringLiteral("Żuraw sp. z o.o."), QStringLiteral("Kraków"),
                               QStringLiteral("Długa 5"), QStringLiteral("małopolskie")}));
    }

    void printRefusedOnlyBeyondTheWords() {
        Voucher v;
        v.razem = QStringLiteral("2147483647.99");
        QVERIFY(printRefusal(v).isEmpty());
        v.razem = QStringLiteral("  -12.00");
        QVERIFY(printRefusal(v).isEmpty());
        v.razem = QString();
        QVERIFY(printRefusal(v).isEmpty());
        v.razem = QStringLiteral("2147483648.00");
        QVERIFY(!printRefusal(v).isEmpty());
    }

    void kpwLayout() {
        QCOMPARE(kpw::Size, 4020);
        VoucherGrid grid;
        grid.tytulem[0] = QStringLiteral("Zaliczka");
        grid.tytulem[9] = QStringLiteral("ąę");
        grid.kwota[0] = QStringLiteral("   12.50");
        grid.kwota[9] = QStringLiteral("1");
        const QByteArray bytes = kpw::toBytes(grid);
        QCOMPARE(bytes.size(), 4020);
        QCOMPARE(bytes.mid(0, 9), QByteArray("\x08Zaliczka"));
        QCOMPARE(bytes.mid(9 * 201, 3), QByteArray::fromHex("02b9ea"));
        QCOMPARE(bytes.mid(2010, 9), QByteArray("\x08   12.50"));
        QCOMPARE(bytes.mid(2010 + 9 * 201, 2), QByteArray("\x01"
                                                          "1"));
        // Everything else is zero: empty slots and the bytes after each text.
        QByteArray rest = bytes;
        for (int at : {0, 9 * 201, 2010, 2010 + 9 * 201})
            rest.replace(at, 201, QByteArray(201, '\0'));
        QCOMPARE(rest, QByteArray(4020, '\0'));
        QCOMPARE(kpw::fromBytes(bytes), grid);
    }

    void kpwCutsLongCells() {
        VoucherGrid grid;
        grid.tytulem[3] = QString(250, u'ż');
        grid.kwota[2] = QString(201, u'1');
        const QByteArray bytes = kpw::toBytes(grid);
        QCOMPARE(quint8(bytes[3 * 201]), quint8(200));
        const VoucherGrid back = kpw::fromBytes(bytes);
        QCOMPARE(back.tytulem[3], QString(200, u'ż'));
        QCOMPARE(back.kwota[2], QString(200, u'1'));
        // A length byte above 200 reads as 200.
        QByteArray odd = kpw::toBytes(VoucherGrid());
        odd[0] = char(255);
        odd.replace(1, 200, QByteArray(200, 'a'));
        QCOMPARE(kpw::fromBytes(odd).tytulem[0], QString(200, u'a'));
    }

    // Written by the KP window, read by the KW window: the file holds only the grid.
    void kpwRoundTrip() {
        DataFolder folder;
        const QString path = folder.file(QStringLiteral("zaliczka.kpw"));
        kpw::write(path, sampleGrid());
        QCOMPARE(files::size(path), qint64(4020));
        QCOMPARE(kpw::read(path), std::optional<VoucherGrid>(sampleGrid()));
        // Overwritten without asking.
        kpw::write(path, VoucherGrid());
        QCOMPARE(folder.readBytes(QStringLiteral("zaliczka.kpw")), QByteArray(4020, '\0'));
        QCOMPARE(kpw::read(path), std::optional<VoucherGrid>(VoucherGrid()));
    }

    void kpwBadFiles() {
        DataFolder folder;
        QCOMPARE(kpw::read(folder.file(QStringLiteral("missing.kpw"))), std::nullopt);
        QCOMPARE(kpw::read(QString()), std::nullopt);
        folder.writeBytes(QStringLiteral("short.kpw"), kpw::toBytes(sampleGrid()).left(4019));
        QVERIFY_THROWS_EXCEPTION(IoError, kpw::read(folder.file(QStringLiteral("short.kpw"))));
        folder.writeBytes(QStringLiteral("empty.kpw"), QByteArray());
        QVERIFY_THROWS_EXCEPTION(IoError, kpw::read(folder.file(QStringLiteral("empty.kpw"))));
        folder.writeBytes(QStringLiteral("long.kpw"), kpw::toBytes(sampleGrid()) + "trailing");
        QCOMPARE(kpw::read(folder.file(QStringLiteral("long.kpw"))),
                 std::optional<VoucherGrid>(sampleGrid()));
        QVERIFY_THROWS_EXCEPTION(IoError, kpw::read(folder.path()));
        QVERIFY_THROWS_EXCEPTION(
            IoError, kpw::write(folder.file(QStringLiteral("no/such.kpw")), sampleGrid()));
    }

    // A failed save leaves the previous document whole.
    void kpwFailedSaveKeepsTheOldFile() {
        DataFolder folder;
        const QString path = folder.file(QStringLiteral("a.kpw"));
        kpw::write(path, sampleGrid());
        files::FaultInjector faults;
        faults.failWritesAfter(1000, ENOSPC);
        QVERIFY_THROWS_EXCEPTION(IoError, kpw::write(path, VoucherGrid(), &faults));
        QCOMPARE(kpw::read(path), std::optional<VoucherGrid>(sampleGrid()));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList(QStringLiteral("a.kpw")));
    }

    void kpwDialogPlaces() {
        DataFolder folder;
        Workstation ws = stationAt(folder);
        ws.baseDir = folder.file(QStringLiteral("network"));
        QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("DOKUMENTY")));
        // Below the working directory, whatever the base directory.
        QCOMPARE(kpw::documentsDirectory(ws), folder.file(QStringLiteral("DOKUMENTY")));
    }

    void pickList_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("sorted without regard to case")
            << QByteArray("beta\r\nAlfa\r\nalfa2\r\n") << QStringList({"Alfa", "alfa2", "beta"});
        QTest::newRow("polish letters")
            << QByteArray("\x9cwiadczenie\r\nzaliczka\r\nsprz\xeat\r\n\xa3\xf3"
                          "dka")
            << QStringList({QStringLiteral("Łódka"), QStringLiteral("sprzęt"),
                            QStringLiteral("świadczenie"), QStringLiteral("zaliczka")});
        QTest::newRow("empty lines are texts")
            << QByteArray("b\r\n\r\na") << QStringList({"", "a", "b"});
        QTest::newRow("one final break adds nothing") << QByteArray("a\r\n") << QStringList({"a"});
        QTest::newRow("two final breaks add one")
            << QByteArray("a\r\n\r\n") << QStringList({"", "a"});
        QTest::newRow("empty file") << QByteArray() << QStringList();
        QTest::newRow("equal texts keep file order")
            << QByteArray("Opłata\r\nopłata\r\nOPŁATA").replace("ł", "\xb3").replace("Ł", "\xa3")
            << QStringList(
                   {QStringLiteral("Opłata"), QStringLiteral("opłata"), QStringLiteral("OPŁATA")});
    }
    void pickList() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, entries);
        DataFolder folder;
        const Workstation ws = stationAt(folder);
        QVERIFY(
            QDir(folder.path()).rename(QStringLiteral("DOKUMENTY"), QStringLiteral("dokumenty")));
        folder.writeBytes(QStringLiteral("dokumenty/KWTRESC.DAT"), file);
        QCOMPARE(pickListTexts(ws, DocumentKind::KW), std::optional<QStringList>(entries));
        QCOMPARE(pickListTexts(ws, DocumentKind::KP), std::nullopt);
    }

    void libraryFiles() {
        DataFolder folder;
        const Workstation ws = stationAt(folder);
        QCOMPARE(fixedTextsFile(ws, DocumentKind::KP),
                 folder.file(QStringLiteral("DOKUMENTY/kptresc.dat")));
        // No voucher directory: no library, nothing happens.
        QCOMPARE(pickListTexts(ws, DocumentKind::KP), std::nullopt);
    }
};

KESTRANA_TEST(DocumentTest)
#include "DocumentTest.moc"
