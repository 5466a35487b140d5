#include "cash/CompanyData.h"
#include "cash/CompanyDataDialog.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"
#include "support/WindowSession.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;
using kestrana::test::WindowSession;

namespace {

const QString kMark = QStringLiteral("ADMINI/firma_pytanie.dat");

// A register nobody has been told about yet.
void untold(const DataFolder& folder) {
    folder.writeEntries({entry("1", "Alfa")});
    QVERIFY(QFile::remove(folder.file(kMark)));
}

} // namespace

class CompanyOfferTest : public QObject {
    Q_OBJECT

private slots:
    void eachLevelIsToldOnce() {
        DataFolder folder;
        untold(folder);
        {
            WindowSession clerk;
            clerk.prompts.expectInformation(companydata::clerkNote());
            clerk.start(folder.path());
            QVERIFY(clerk.prompts.done());
            clerk.window->session().releaseLock();
        }
        {
            WindowSession clerk; // told already
            clerk.start(folder.path());
            clerk.window->session().releaseLock();
        }
        {
            // The boss, who may fill them, still hears of them once; declined here.
            WindowSession boss;
            boss.prompts.expectQuestion(companydata::bossQuestion(), false);
            boss.startAsBoss(folder.path());
            QVERIFY(boss.prompts.done());
            boss.window->session().releaseLock();
        }
        WindowSession boss;
        boss.startAsBoss(folder.path());
        QCOMPARE(folder.readBytes(kMark), QByteArray("pracownik\nszef\n"));
        QCOMPARE(companydata::load(boss.window->workstation()).lines[0], QString());
    }

    void bossFillsThemAtOnce() {
        DataFolder folder;
        untold(folder);
        WindowSession boss;
        boss.prompts.expectQuestion(companydata::bossQuestion(), true);
        bool dialogSeen = false;
        // The dialog is the real one, filled in and stored as the user does it.
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<CompanyDataDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialogSeen = true;
            dialog->line(0)->setText(QStringLiteral("Biuro Łąka"));
            dialog->findChild<QAbstractButton*>("zapisz")->click();
        });
        boss.startAsBoss(folder.path());
        QVERIFY(dialogSeen);
        QCOMPARE(boss.window->workstation().firma.lines[0], QStringLiteral("Biuro Łąka"));
        QCOMPARE(companydata::load(boss.window->workstation()).lines[0],
                 QStringLiteral("Biuro Łąka"));
    }

    void filledDataAskNothing() {
        DataFolder folder;
        untold(folder);
        CompanyRecord firma;
        firma.lines[3] = QStringLiteral("NIP 123");
        folder.writeBytes("ADMINI/firma.dat", firma.toBytes());
        WindowSession boss;
        boss.startAsBoss(folder.path());
        QVERIFY(!QFile::exists(folder.file(kMark)));
    }
};

KESTRANA_TEST(CompanyOfferTest)
#include "CompanyOfferTest.moc"
