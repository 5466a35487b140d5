#pragma once

#include "register/RecordFiles.h"
#include "station/Workstation.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace kestrana {

// One finding of the data folder check, in Polish. Damage makes the check fail; a notice
// (a lock file, a description left by a deleted entry) is only reported.
struct CheckFinding {
    bool damage = true;
    QString text;
};

// Reads every file of the register and reports what is damaged: files that are not a whole
// number of records, length bytes beyond their field, IDs that are not digits or occur twice,
// an ID counter that would give out an ID in use, settings records of the wrong size; and, as
// notices, lock files with their age and descriptions without an entry. The subsystems' own
// record files come in `others`, each checked for exactly one record. In server mode the
// register's own files (main file, ID counter, company data, category names, descriptions) are
// left out: they are not in the folder. Throws IoError only when a file that exists cannot be
// read.
QList<CheckFinding> checkDataFolder(const Workstation& ws, const QDateTime& now,
                                    const QList<RecordFiles>& others);

} // namespace kestrana
