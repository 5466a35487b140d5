#include "station/LockWait.h"
#include "platform/FaultInjector.h"
#include "register/FileLock.h"
#include "support/ScriptedPrompts.h"
#include "support/TestRegistry.h"

#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <optional>

using namespace kestrana;
using namespace std::chrono_literals;
using kestrana::test::ScriptedPrompts;

// Waits for a lock another workstation holds: bounded, with a busy cursor and a question in the
// window, and a deadline elsewhere.
class LockWaitTest : public QObject {
    Q_OBJECT

private slots:
    // The window's wait, step by step: quiet at first, then busy, then the question; Yes waits
    // as long again, No gives up. The cursor never stays busy over the question or afterwards.
    void windowWaitShowsBusyThenAsks() {
        ScriptedPrompts prompts;
        QList<bool> cursor;
        AskingWait wait(prompts, [&](bool busy) { cursor << busy; }, {100ms, 1000ms});
        QVERIFY(wait.keepWaiting(50ms));
        QVERIFY(cursor.isEmpty());
        QVERIFY(wait.keepWaiting(150ms));
        QCOMPARE(cursor, QList<bool>{true});
        prompts.expectQuestion(lockWaitQuestion(), true);
        QVERIFY(wait.keepWaiting(1000ms));
        QCOMPARE(cursor, (QList<bool>{true, false, true}));
        QVERIFY(prompts.done());
        QVERIFY(wait.keepWaiting(1900ms)); // not yet asked again
        prompts.expectQuestion(lockWaitQuestion(), false);
        QVERIFY(!wait.keepWaiting(2100ms));
        QVERIFY(prompts.done());
        wait.ended();
        QCOMPARE(cursor, (QList<bool>{true, false, true, false}));
        QVERIFY(wait.gaveUpText(2100ms).contains(QStringLiteral("Nic nie zostało zapisane.")));
        // The next wait starts afresh.
        QVERIFY(wait.keepWaiting(900ms));
    }

    void questionText() {
        QCOMPARE(lockWaitQuestion(),
                 QStringLiteral("Dane są chwilowo używane przez inne stanowisko (sortowanie, "
                                "import lub kopia zapasowa). Spróbować ponownie ?"));
    }

    // A real lock: No gives up with nothing held; Yes goes on and gets the lock once the other
    // holder lets go while the question is shown.
    void windowWaitOnARealLock() {
        QTemporaryDir dir;
        const QString path = dir.filePath("spis_ks.lck");
        std::optional<FileLock> other(std::in_place, path);
        ScriptedPrompts prompts;
        int busy = 0;
        AskingWait wait(prompts, [&](bool on) { busy += on ? 1 : -1; }, {10ms, 60ms});
        prompts.expectQuestion(lockWaitQuestion(), false);
        try {
            const FileLock mine(path, &wait);
            QFAIL("granted while held");
        } catch (const LockNotGranted& e) {
            QVERIFY(e.text().contains(QStringLiteral("Operację przerwano")));
        }
        QCOMPARE(busy, 0);
        prompts.expectQuestion(lockWaitQuestion(), true, [&] { other.reset(); });
        {
            const FileLock mine(path, &wait);
            QVERIFY(prompts.done());
            QCOMPARE(busy, 0);
            // Held now: a third one gives up at once.
            DeadlineWait none(0ms);
            QVERIFY_THROWS_EXCEPTION(LockNotGranted, FileLock(path, &none));
        }
        DeadlineWait none(0ms);
        const FileLock again(path, &none);
    }

    // A share that cannot lock says so with its own error.
    void failedLockCallIsReported() {
        QTemporaryDir dir;
        files::FaultInjector faults;
        faults.failCall(files::Call::Lock, 1, ENOLCK);
        try {
            const FileLock lock(dir.filePath("spis_ks.lck"), nullptr, &faults);
            QFAIL("no error");
        } catch (const IoError& e) {
            QCOMPARE(e.errorNumber(), ENOLCK);
        }
        const FileLock lock(dir.filePath("spis_ks.lck"), nullptr, &faults);
    }

    // A lock file planted as a link or a folder is never used.
    void lockFileMustBeAPlainFile() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("jako_katalog.lck"));
        QVERIFY_THROWS_EXCEPTION(IoError, FileLock(dir.filePath("jako_katalog.lck")));
        QVERIFY(QFile::link(dir.filePath("gdzies"), dir.filePath("link.lck")));
        QVERIFY_THROWS_EXCEPTION(IoError, FileLock(dir.filePath("link.lck")));
        QVERIFY(!QFile::exists(dir.filePath("gdzies")));
    }
};

KESTRANA_TEST(LockWaitTest)
#include "LockWaitTest.moc"
