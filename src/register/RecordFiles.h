#pragma once

#include <QList>
#include <QString>

namespace kestrana {

// Files of fixed-size records that a subsystem keeps in the data folder, for the data folder
// check: one file that must hold exactly one record, or (with a suffix) every file of a folder
// whose name ends with it. `lock` is the lock file the subsystem takes while it changes them
// (a lock alone, without files, has an empty path): empty by nature, but it must be a plain file.
struct RecordFiles {
    QString path;
    int recordSize = 0;
    QString suffix;
    QString lock;
};

} // namespace kestrana
