#include "register/StartupFiles.h"

#include "platform/CheckedFile.h"
#include "platform/DataPaths.h"
#include "platform/PosixFile.h"
#include "register/Editing.h"
#include "register/EntryRecord.h"
#include "register/FileLock.h"
#include "register/RegisterServer.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrana::startup {

CompanyRecord prepareCompanyFile(const Workstation& ws, bool* created) {
    const QString path = ws.firmaFile();
    const bool missing = !files::exists(path);
    if (missing)
        files::replaceFile(path, QByteArray(CompanyRecord::Size, '\0'));
    if (created)
        *created = missing;
    return CompanyRecord::fromBytes(files::readRecord(path, 0, CompanyRecord::Size));
}

namespace {

// The counter of a register that has lost its own: after the largest ID in its main file, so
// that no ID is given twice (2 for a new register, whose first entry is 1).
qint32 firstFreeId(const Workstation& ws) {
    qint64 largest = 1;
    if (files::exists(ws.mainFile())) {
        files::RecordReader reader(ws.mainFile(), EntryRecord::Size, ws.faults);
        while (const char* data = reader.next()) {
            const QString id = EntryRecord::fromBytes(data).text(Field::id);
            if (isPlainId(id))
                largest = std::max(largest, id.toLongLong());
        }
    }
    return static_cast<qint32>(std::clamp<qint64>(largest + 1, 2, editing::kIdLimit));
}

} // namespace

bool prepareIdCounter(const Workstation& ws) {
    const QString path = ws.idFile();
    if (files::exists(path))
        return false;
    // Two workstations starting at once on a new folder: the second must not set the counter
    // back after the first has given out IDs, so the look and the creation are one step under
    // the counter's lock.
    const FileLock lock(ws, lockPathFor(path));
    if (files::exists(path))
        return false;
    files::replaceFile(path, int32Bytes(firstFreeId(ws)), ws.faults);
    return true;
}

CategoryNames prepareCategoryNames(const Workstation& ws, bool* created) {
    if (ws.server) {
        const bool missing = ws.server->create(RegisterServer::Record::CategoryNames,
                                               CategoryNames::defaults().toBytes());
        if (created)
            *created = missing;
        return CategoryNames::fromBytes(
            ws.server->read(RegisterServer::Record::CategoryNames).value_or(QByteArray()));
    }
    const QString path = ws.categoriesFile();
    const bool missing = !files::exists(path);
    if (missing)
        CategoryNames::write(path, CategoryNames::defaults());
    if (created)
        *created = missing;
    return CategoryNames::read(path);
}

void storeCategoryNames(const Workstation& ws, const QString& path, const CategoryNames& names) {
    if (!ws.server) {
        CategoryNames::write(path, names, ws.faults);
        return;
    }
    ws.server->change(RegisterServer::Record::CategoryNames,
                      [&](const std::optional<QByteArray>&) { return names.toBytes(); });
}

QStringList lockFilesOf(const Workstation& ws) {
    return {lockPathFor(ws.mainFile()), lockPathFor(ws.idFile()),
            ws.dataPath(QStringLiteral("KOPIE/kopia.lck")),
            ws.dataPath(QStringLiteral("DOKUMENTY/nrkp.lck")),
            ws.dataPath(QStringLiteral("DOKUMENTY/nrkw.lck"))};
}

void prepareLockFiles(const Workstation& ws) {
    ::mkdir(files::posix::native(ws.dataPath(QStringLiteral("KOPIE"))).constData(), 0777);
    for (const QString& path : lockFilesOf(ws)) {
        // Made at once by whoever sets the folder up, with the folder's group and the umask's
        // mode, instead of by whoever happens to need it first. One that cannot be made now is
        // reported by the change that needs it.
        const int fd = ::open(files::posix::native(path).constData(),
                              O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                              files::posix::kNewFileMode);
        if (fd >= 0)
            ::close(fd);
    }
}

bool prepareMainFile(const Workstation& ws) {
    const QString path = ws.mainFile();
    if (files::exists(path))
        return false;
    // Under the main file's lock, so that a main file another workstation has just created
    // and added to is never replaced by a new one.
    const FileLock lock(ws, lockPathFor(path));
    if (files::exists(path))
        return false;
    files::replaceFile(path, firstEntryRecord().toByteArray(), ws.faults);
    return true;
}

} // namespace kestrana::startup
