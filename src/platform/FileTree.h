#pragma once

#include "platform/FaultInjector.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <sys/stat.h>

// Whole folders: listing, copying and removing them, every step checked (IoError with the
// platform's text and the path).
namespace kestrana::files {

// One entry of a folder as lstat sees it: links are not followed.
struct FolderEntry {
    QString name;
    struct stat info;
    bool isDirectory() const { return S_ISDIR(info.st_mode); }
    bool isRegularFile() const { return S_ISREG(info.st_mode); }
};

// The entries of a folder without "." and "..", sorted by name.
QList<FolderEntry> listFolder(const QString& dir);

// Creates a folder that must not exist yet, so that a copy never mixes with what was there.
void makeNewDirectory(const QString& path);

// Copies the folder `from` into the new folder `to`: the sub-folders and plain files whose
// names `keep` accepts, each file with its dates. A file deleted since its folder was listed is
// passed over; so is anything that is neither a plain file nor a folder (a link, a pipe), named
// in `passedOver` as `shown` + "/" + its path below `from`.
void copyTree(const QString& from, const QString& to,
              const std::function<bool(const QString& name)>& keep, const QString& shown,
              QStringList& passedOver, FaultInjector* faults = nullptr);
// The same into the folder `to` that exists already.
void copyTreeInto(const QString& from, const QString& to,
                  const std::function<bool(const QString& name)>& keep, const QString& shown,
                  QStringList& passedOver, FaultInjector* faults = nullptr);
// Copies one plain file with its dates; false when it was deleted meanwhile.
bool copyFile(const QString& from, const QString& to, FaultInjector* faults = nullptr);

// Removes a file, or a folder with everything in it; a missing one is no error.
void removeTree(const QString& path);

} // namespace kestrana::files
