#pragma once

#include "register/EntryForm.h"
#include "register/EntryRecord.h"
#include "station/Workstation.h"

#include <QString>

#include <optional>

// Changes of the register's shared files. Each holds the exclusive lock of the file it changes
// for its whole duration and reads again, under the lock, what it is about to change.
namespace kestrana::editing {

// ID counter (ADMINI/id_ks.dat): the ID the next new entry receives.
qint32 readIdCounter(const Workstation& ws);
void writeIdCounter(const Workstation& ws, qint32 value);
// Reads N, stores N + 1, returns N, all under the counter's lock.
qint32 takeNextId(const Workstation& ws);

// Appends a new entry; returns its 0-based position in the main file.
qint64 appendEntry(const Workstation& ws, const EntryRecord& record);

// Finds the entry with `id`, looking first at `expectedPosition`, then through the whole file.
std::optional<qint64> findEntry(const Workstation& ws, const QString& id, qint64 expectedPosition);

// Saves the form over the stored entry with `id`: the stored record is read again into
// `buffer`, the form is laid over it (its reserved bytes stay), the modification date is set
// and the record is written back where it now lies. Returns that position, or nothing when the
// entry is no longer in the main file (nothing is written then).
std::optional<qint64> saveEditedEntry(const Workstation& ws, EntryRecord& buffer,
                                      const EntryFormValues& form, const QString& id,
                                      qint64 expectedPosition);

// Deletes the entry with `id`: DANE/spis.bak receives every other record, then the main file
// is replaced by it atomically. Returns the position it had, or nothing when it is gone.
std::optional<qint64> deleteEntry(const Workstation& ws, const QString& id,
                                  qint64 expectedPosition);

// The remembered entry (KOSZ/wpis_ks.dat) and the copy kept when a new entry is saved
// (KOSZ/wpis.dat).
void rememberEntry(const Workstation& ws, const EntryRecord& record);
EntryRecord rememberedEntry(const Workstation& ws);
void keepPreviousEntry(const Workstation& ws, const EntryRecord& record);

} // namespace kestrana::editing
