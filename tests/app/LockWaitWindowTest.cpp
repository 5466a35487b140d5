#include "station/LockWait.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"
#include "support/WindowSession.h"

#include <QApplication>
#include <QProcess>
#include <QTest>

using namespace kestrana;
using namespace std::chrono_literals;
using kestrana::test::DataFolder;
using kestrana::test::entry;
using kestrana::test::WindowSession;

namespace {

const QString kGaveUp = QStringLiteral("Operację przerwano");

} // namespace

// Another workstation holds the main file's lock longer than the window waits quietly: the
// window asks, No writes nothing and says so, Yes goes on and saves once the lock is free.
class LockWaitWindowTest : public QObject {
    Q_OBJECT

private slots:
    void saveWaitsAsksAndGoesOn() {
        DataFolder folder;
        folder.writeEntries({entry("1", "Alfa"), entry("2", "Beta")});
        WindowSession s;
        s.lockWaitTimes = {20ms, 200ms};
        s.start(folder.path());
        QVERIFY(s.window->startupCompleted());
        s.setField("nazwa2", QStringLiteral("Zmiana"));
        const QByteArray before = folder.readBytes("DANE/spis_ks.dat");

        QProcess holder;
        holder.start(qEnvironmentVariable("HOLDER"), {folder.file("DANE/spis_ks.lck")});
        QVERIFY(holder.waitForReadyRead(60000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));

        s.prompts.expectQuestion(QStringLiteral("Zapisać zmiany w danych ?"), true);
        s.prompts.expectQuestion(lockWaitQuestion(), false);
        s.prompts.expectError(kGaveUp);
        s.click("SpeedButton17");
        QVERIFY(s.prompts.done());
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), before);
        QVERIFY(!QApplication::overrideCursor());

        s.setField("nazwa2", QStringLiteral("Zmiana"));
        s.prompts.expectQuestion(QStringLiteral("Zapisać zmiany w danych ?"), true);
        // The other workstation finishes while the question is shown.
        s.prompts.expectQuestion(lockWaitQuestion(), true, [&] {
            holder.closeWriteChannel();
            QVERIFY(holder.waitForFinished(60000));
        });
        s.click("SpeedButton17");
        QVERIFY(s.prompts.done());
        QCOMPARE(folder.readEntries()[0].text(Field::nazwa2), QStringLiteral("Zmiana"));
        QVERIFY(!QApplication::overrideCursor());
    }
};

KESTRANA_TEST(LockWaitWindowTest)
#include "LockWaitWindowTest.moc"
