#include "exchange/CsvColumns.h"
#include "exchange/CsvImport.h"
#include "exchange/ImportPlan.h"
#include "platform/FaultInjector.h"
#include "platform/IoError.h"
#include "register/DataFolderSetup.h"
#include "register/Startup.h"
#include "station/SmallRecords.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QTest>

#include <cerrno>

using namespace kestrana;
using kestrana::test::DataFolder;

namespace {

// An import file of `count` rows named "Firma 0", "Firma 1", ...
QByteArray importFile(int count) {
    QString text = csv::formatRow(csv::headerRow(CategoryNames::defaults())) + "\r\n";
    for (int i = 0; i < count; ++i) {
        QStringList row(csv::kColumnCount);
        row[static_cast<int>(Field::nazwa1)] = QStringLiteral("Firma %1").arg(i);
        text += csv::formatRow(row) + "\r\n";
    }
    return text.toUtf8();
}

QStringList temporaryFiles(const DataFolder& folder) {
    QStringList found;
    for (const char* dir : {"DANE", "ADMINI"})
        found += QDir(folder.file(QLatin1String(dir))).entryList({QStringLiteral("*.tmp.*")});
    return found;
}

} // namespace

// Adding many entries at once, by an import or kestrana-cli generate, when a flush or rename
// of the new main file fails: no entry arrives, the old main file stays, no temporary file is
// left, and the IDs taken are never given again.
class ImportFaultTest : public QObject {
    Q_OBJECT

private slots:
    void failedAddingAddsNothing_data() {
        QTest::addColumn<bool>("generate"); // kestrana-cli generate instead of an import
        QTest::addColumn<int>("call");
        const int sync = static_cast<int>(files::Call::Sync);
        const int rename = static_cast<int>(files::Call::Rename);
        const int write = static_cast<int>(files::Call::Write);
        QTest::newRow("import, fsync") << false << sync;
        QTest::newRow("import, rename") << false << rename;
        QTest::newRow("generate, fsync") << true << sync;
        QTest::newRow("generate, rename") << true << rename;
        QTest::newRow("generate, disk full") << true << write;
    }
    void failedAddingAddsNothing() {
        QFETCH(bool, generate);
        QFETCH(int, call);
        DataFolder folder;
        Workstation ws = startup::prepareWorkstation(folder.path(), false, "2026-12-07");
        folder.writeBytes("in.csv", importFile(5));
        const QByteArray main = folder.readBytes("DANE/spis_ks.dat");
        files::FaultInjector faults;
        faults.failCall(static_cast<files::Call>(call), 1, EIO, QStringLiteral("spis_ks.dat"));
        ws.faults = &faults;
        const auto add = [&] {
            if (generate)
                generateEntries(ws, 5, 7);
            else
                csv::applyImport(ws, csv::planImport(ws, folder.file("in.csv")),
                                 csv::ImportChoice::All);
        };
        QVERIFY_THROWS_EXCEPTION(IoError, add());
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), main);
        QVERIFY2(temporaryFiles(folder).isEmpty(), qPrintable(temporaryFiles(folder).join(' ')));
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), int32Bytes(7)); // IDs 2..6 stay unused
        ws.faults = nullptr;
        add();
        const auto entries = folder.readEntries();
        QCOMPARE(entries.size(), size_t(6));
        QCOMPARE(entries[1].text(Field::id), QStringLiteral("7"));
        QCOMPARE(entries[5].text(Field::id), QStringLiteral("11"));
    }
};

KESTRANA_TEST(ImportFaultTest)
#include "ImportFaultTest.moc"
