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
#include <QFile>
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

// Adding many entries at once, by an import or kestrana-cli generate, when a write or flush of
// the main file or of its journal fails: no entry arrives, no journal or temporary file is
// left, and the IDs taken are never given again. Where even cutting the batch back fails, the
// journal stays and the next start cuts back.
class ImportFaultTest : public QObject {
    Q_OBJECT

private slots:
    void failedAddingAddsNothing_data() {
        QTest::addColumn<bool>("generate"); // kestrana-cli generate instead of an import
        QTest::addColumn<int>("call");
        QTest::addColumn<int>("nth");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("cutFails"); // the cut back after the failure fails too
        const int sync = static_cast<int>(files::Call::Sync);
        const int write = static_cast<int>(files::Call::Write);
        const QString main = QStringLiteral("spis_ks.dat");
        const QString journal = QStringLiteral("spis_ks.dop");
        QTest::newRow("import, fsync") << false << sync << 1 << main << false;
        QTest::newRow("import, journal not written") << false << write << 1 << journal << false;
        QTest::newRow("import, journal not flushed") << false << sync << 1 << journal << false;
        QTest::newRow("import, journal not removed") << false << write << 2 << journal << false;
        QTest::newRow("generate, fsync") << true << sync << 1 << main << false;
        QTest::newRow("generate, disk full") << true << write << 2 << main << false;
        QTest::newRow("generate, cut fails") << true << write << 2 << main << true;
    }
    void failedAddingAddsNothing() {
        QFETCH(bool, generate);
        QFETCH(int, call);
        QFETCH(int, nth);
        QFETCH(QString, file);
        QFETCH(bool, cutFails);
        DataFolder folder;
        Workstation ws = startup::prepareWorkstation(folder.path(), false, "2026-12-07");
        folder.writeBytes("in.csv", importFile(200));
        const QByteArray main = folder.readBytes("DANE/spis_ks.dat");
        files::FaultInjector faults;
        faults.failCall(static_cast<files::Call>(call), nth, EIO, file);
        // Counted alongside the first plan, it fails the call after that one's: the cut.
        if (cutFails)
            faults.failCall(static_cast<files::Call>(call), nth, EIO, file);
        ws.faults = &faults;
        const auto add = [&] {
            if (generate)
                generateEntries(ws, 200, 7);
            else
                csv::applyImport(ws, csv::planImport(ws, folder.file("in.csv")),
                                 csv::ImportChoice::All);
        };
        QVERIFY_THROWS_EXCEPTION(IoError, add());
        QCOMPARE(QFile::exists(folder.file("DANE/spis_ks.dop")), cutFails);
        if (cutFails) {
            QVERIFY(folder.readBytes("DANE/spis_ks.dat").size() > main.size());
            startup::prepareWorkstation(folder.path(), false, "2026-12-07"); // the next start
            QVERIFY(!QFile::exists(folder.file("DANE/spis_ks.dop")));
        }
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), main);
        QVERIFY2(temporaryFiles(folder).isEmpty(), qPrintable(temporaryFiles(folder).join(' ')));
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), int32Bytes(202)); // IDs 2..201 stay unused
        ws.faults = nullptr;
        add();
        const auto entries = folder.readEntries();
        QCOMPARE(entries.size(), size_t(201));
        QCOMPARE(entries[1].text(Field::id), QStringLiteral("202"));
        QCOMPARE(entries[200].text(Field::id), QStringLiteral("401"));
    }
};

KESTRANA_TEST(ImportFaultTest)
#include "ImportFaultTest.moc"
