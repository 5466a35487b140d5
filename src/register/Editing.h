#pragma once

#include "register/EntryForm.h"
#include "register/EntryRecord.h"
#include "station/Workstation.h"

#include <QSet>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

// Changes of the register's shared files. Each holds the exclusive lock of the file it changes
// for its whole duration and reads again, under the lock, what it is about to change. Where two
// locks are needed the main file's is taken first, and every lock is taken before anything is
// written, so a wait that is given up leaves every file as it was.
namespace kestrana::editing {

// The ID counter never hands out an ID that does not fit its 10-character field as a positive
// number: it holds the next ID, from 1 to kIdLimit, and at kIdLimit no ID is left.
inline constexpr qint32 kIdLimit = 2147483647;

// Why the counter cannot give `wanted` new IDs when it holds `counter`, ending with "Nic nie
// zostało zapisane."; empty when it can.
QString idRefusal(qint32 counter, qint64 wanted);

// ID counter (ADMINI/id_ks.dat): the ID the next new entry receives.
qint32 readIdCounter(const Workstation& ws);
// Stores a value for the counter; a value below 1 is refused (IoError), nothing written.
void writeIdCounter(const Workstation& ws, qint32 value);
// Reads N, stores N + 1, returns N, all under the counter's lock. Refused (IoError, nothing
// written) when the counter has no ID left.
qint32 takeNextId(const Workstation& ws);

struct Appended {
    qint32 firstId = 0;        // the entries got firstId, firstId + 1, ...
    qint64 firstPosition = -1; // 0-based main-file position of the first of them
};

// Adds new entries at the end of the main file, giving them the next IDs: the main file's lock
// is held throughout, the IDs are taken under the counter's lock, and the entries are appended
// in place as one batch (BatchAppend.h), so they arrive all or none (IDs taken for a failed
// attempt stay unused; IDs are never reused). When the counter has too few IDs left, the
// whole lot is refused with an IoError and nothing is written. Every record's `id` is set.
Appended appendNewEntries(const Workstation& ws, std::vector<EntryRecord>& records);
// The same for `count` entries made one by one, so that a large number needs no memory: `make`
// fills the record of the entry with `index` (0-based), which receives `id`.
using EntryMaker = std::function<void(qint64 index, qint32 id, EntryRecord& record)>;
Appended appendNewEntries(const Workstation& ws, qint64 count, const EntryMaker& make);

// Adds one new entry as "Zapisz dane" does: the same locks and ID rule, the record appended in
// place (a failed append is cut off again). `record` receives its ID.
Appended addEntry(const Workstation& ws, EntryRecord& record);

// Appends a record that already has its ID; returns its 0-based position in the main file.
qint64 appendEntry(const Workstation& ws, const EntryRecord& record);

// Finds the entry with `id`, looking first at `expectedPosition`, then through the whole file.
// An empty ID elsewhere than at `expectedPosition` counts only when no other entry lacks an ID.
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

// Removes, under the main file's lock, those of the entries with an ID in `ids` that `choose`
// picks after seeing all of them in file order (true: the entry goes); the main file is cut (the
// last entries) or replaced atomically, and only when something goes. Returns how many went.
int removeChosenEntries(
    const Workstation& ws, const QSet<QString>& ids,
    const std::function<std::vector<bool>(const std::vector<EntryRecord>&)>& choose);

// The remembered entry (KOSZ/wpis_ks.dat) and the copy kept when a new entry is saved
// (KOSZ/wpis.dat).
void rememberEntry(const Workstation& ws, const EntryRecord& record);
EntryRecord rememberedEntry(const Workstation& ws);
void keepPreviousEntry(const Workstation& ws, const EntryRecord& record);

} // namespace kestrana::editing
