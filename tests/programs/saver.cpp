// A workstation that saves entries in a loop on a shared data folder, for tests that copy the
// folder meanwhile: usage `saver DIR ITERATIONS`. Every change holds the main file's lock, as
// the program's saves do. Besides the program's own append, it appends and overwrites records
// in three pieces with pauses between them, as a slow network share may, so that whoever reads
// the main file without the lock catches records half written. Prints "ready" once started and
// "done N" at the end.
#include "platform/CheckedFile.h"
#include "platform/IoError.h"
#include "register/Editing.h"
#include "register/FileLock.h"
#include "register/Startup.h"

#include "SaverRecord.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace kestrana;

namespace {

// Writes `record` at `position` in three pieces, pausing between them.
bool writeSlowly(const QString& path, qint64 position, const EntryRecord& record) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const int pieces[] = {0, 600, 1200, EntryRecord::Size};
    bool ok = true;
    for (int i = 0; i < 3 && ok; ++i) {
        const size_t length = static_cast<size_t>(pieces[i + 1] - pieces[i]);
        ok = ::pwrite(fd, record.data() + pieces[i], length,
                      static_cast<off_t>(position * EntryRecord::Size + pieces[i])) ==
             static_cast<ssize_t>(length);
        if (i < 2)
            ::usleep(1000);
    }
    return ::close(fd) == 0 && ok;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: saver DIR ITERATIONS\n");
        return 2;
    }
    const int iterations = args[2].toInt();
    try {
        const Workstation ws = startup::prepareWorkstation(args[1], false, "2007-03-05");
        QRandomGenerator rng(7);
        std::printf("ready\n");
        std::fflush(stdout);
        for (int i = 0; i < iterations; ++i) {
            if (i % 3 == 0) {
                const qint32 id = editing::takeNextId(ws);
                const EntryRecord r = test::saverRecord(id, 0);
                editing::appendEntry(ws, r);
            } else {
                const FileLock lock(lockPathFor(ws.mainFile()));
                const qint64 count = files::recordCount(ws.mainFile(), EntryRecord::Size);
                qint64 position = count;
                EntryRecord r;
                if (i % 3 == 1) {
                    r = test::saverRecord(editing::takeNextId(ws), 0);
                } else {
                    position = rng.bounded(static_cast<int>(count));
                    const EntryRecord stored = EntryRecord::fromBytes(
                        files::readRecord(ws.mainFile(), position, EntryRecord::Size));
                    r = test::saverRecord(stored.text(Field::id).toInt(),
                                          stored.text(Field::nazwa2).mid(1).toInt() + 1);
                }
                if (!writeSlowly(ws.mainFile(), position, r)) {
                    std::perror("saver");
                    return 1;
                }
            }
            // Others get their turn at the lock.
            ::usleep(300);
        }
        std::printf("done %d\n", iterations);
    } catch (const IoError& e) {
        std::fprintf(stderr, "%s\n", e.text().toUtf8().constData());
        return 1;
    }
    return 0;
}
