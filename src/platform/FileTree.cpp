#include "platform/FileTree.h"

#include "platform/CheckedFile.h"
#include "platform/PosixFile.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace kestrana::files {

namespace {

using posix::fail;
using posix::Fd;
using posix::native;

const QString opList = QStringLiteral("Odczyt katalogu");
const QString opStat = QStringLiteral("Odczyt atrybutów pliku");
const QString opTimes = QStringLiteral("Ustawienie daty pliku");
const QString opRemoveDir = QStringLiteral("Usunięcie katalogu");
const QString opMkdir = QStringLiteral("Utworzenie katalogu");

bool copyFileWithDates(const QString& from, const QString& to, const struct stat& info,
                       FaultInjector* faults) {
    {
        Fd in(from, O_RDONLY, 0, true, faults);
        if (in.get() < 0)
            return false; // deleted since the folder was listed (a description, say): nothing to
                          // copy
        FileWriter out(to, FileWriter::Mode::Truncate, 1, faults);
        out.copyFrom(in.get(), from);
        in.close();
        out.commit();
    }
    // The copy keeps the file's dates, so that a copy put back looks as the original did.
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    if (::utimensat(AT_FDCWD, native(to).constData(), times, AT_SYMLINK_NOFOLLOW) != 0)
        fail(opTimes, to);
    return true;
}

} // namespace

QList<FolderEntry> listFolder(const QString& dir) {
    DIR* handle = ::opendir(native(dir).constData());
    if (!handle)
        fail(opList, dir);
    QList<FolderEntry> entries;
    for (;;) {
        errno = 0;
        const dirent* item = ::readdir(handle);
        if (!item) {
            const int error = errno;
            ::closedir(handle);
            if (error != 0)
                throw IoError(opList, dir, error);
            break;
        }
        const QString name = QFile::decodeName(item->d_name);
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        FolderEntry entry{name, {}};
        const QString path = dir + QLatin1Char('/') + name;
        if (::lstat(native(path).constData(), &entry.info) != 0) {
            const int error = errno;
            // Gone since readdir saw it: another workstation's temporary file renamed into
            // place, a description deleted. The listing is of what is there.
            if (error == ENOENT)
                continue;
            ::closedir(handle);
            throw IoError(opStat, path, error);
        }
        entries.append(entry);
    }
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return entries;
}

void makeNewDirectory(const QString& path) {
    if (::mkdir(native(path).constData(), 0777) != 0)
        fail(opMkdir, path);
}

void copyTree(const QString& from, const QString& to,
              const std::function<bool(const QString& name)>& keep, const QString& shown,
              QStringList& passedOver, FaultInjector* faults) {
    makeNewDirectory(to);
    copyTreeInto(from, to, keep, shown, passedOver, faults);
}

void copyTreeInto(const QString& from, const QString& to,
                  const std::function<bool(const QString& name)>& keep, const QString& shown,
                  QStringList& passedOver, FaultInjector* faults) {
    for (const FolderEntry& entry : listFolder(from)) {
        if (!keep(entry.name))
            continue;
        const QString source = from + QLatin1Char('/') + entry.name;
        const QString target = to + QLatin1Char('/') + entry.name;
        if (entry.isDirectory())
            copyTree(source, target, keep, shown + QLatin1Char('/') + entry.name, passedOver,
                     faults);
        else if (entry.isRegularFile())
            copyFileWithDates(source, target, entry.info, faults);
        else
            passedOver.append(shown + QLatin1Char('/') + entry.name);
    }
}

bool copyFile(const QString& from, const QString& to, FaultInjector* faults) {
    struct stat info {};
    if (::lstat(native(from).constData(), &info) != 0) {
        if (errno == ENOENT)
            return false;
        fail(opStat, from);
    }
    return copyFileWithDates(from, to, info, faults);
}

void removeTree(const QString& path) {
    struct stat info {};
    if (::lstat(native(path).constData(), &info) != 0) {
        if (errno == ENOENT)
            return;
        fail(opStat, path);
    }
    if (!S_ISDIR(info.st_mode)) {
        removeFile(path);
        return;
    }
    for (const FolderEntry& entry : listFolder(path))
        removeTree(path + QLatin1Char('/') + entry.name);
    if (::rmdir(native(path).constData()) != 0 && errno != ENOENT)
        fail(opRemoveDir, path);
}

} // namespace kestrana::files
