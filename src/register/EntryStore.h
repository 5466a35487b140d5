#pragma once

#include "platform/CheckedFile.h"
#include "register/Editing.h"
#include "register/EntryForm.h"
#include "register/EntryRecord.h"
#include "register/Preselection.h"
#include "register/Sort.h"

#include <QSet>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace kestrana {

// Where the register's entries, their ID counter and their locks are kept. The editing session
// and the list build reach the entries only through this interface: the folder of files
// (FileStore) is one kind of storage, and another can come without touching them.
//
// A position is an entry's 0-based place in storage order; the record number a list line shows
// is the position + 1. Every operation throws IoError when the storage fails.
class EntryStore {
public:
    virtual ~EntryStore() = default;

    // Entries.
    // Reads the entry at `position` into `into`.
    virtual void read(qint64 position, EntryRecord& into) = 0;
    // Every entry in storage order: its position and its bytes as stored (EntryRecord::Size).
    using Visitor = std::function<void(qint64 position, const char* record)>;
    virtual void scan(const Visitor& visit) = 0;
    // The same, where the storage may leave out entries that fail `preselection`; the positions
    // of those it visits are those scan() gives them.
    virtual void scanPreselected(const Preselection& preselection, const Visitor& visit) {
        (void)preselection;
        scan(visit);
    }
    // The file that holds every entry in storage order as stored records, opened for reading,
    // when the storage is such a file; nothing otherwise. Whatever later replaces the file under
    // its name, the descriptor reads the entries as they were when it was opened.
    virtual std::shared_ptr<const files::KeptFile> openEntriesFile() { return nullptr; }
    // Adds a new entry after the last one and gives it the ID the counter holds, the counter
    // moved on, as one step: no other addition comes between, and an entry that could not be
    // added takes no ID from anyone. `record` receives its ID; returns its position. Refused
    // (IoError, nothing written) when the counter has no ID left.
    virtual qint64 add(EntryRecord& record) = 0;
    // Saves the form over the stored entry with `id`, looked for at `expectedPosition` first
    // and then everywhere: the stored entry is read again into `buffer` while no other change
    // can come between, the form is laid over it (its reserved bytes stay), the modification
    // date becomes today and the entry is stored where it now lies. Returns that position, or
    // nothing when no entry has the ID any more (nothing is stored then).
    virtual std::optional<qint64> saveEdited(EntryRecord& buffer, const EntryFormValues& form,
                                             const QString& id, qint64 expectedPosition) = 0;
    // Removes the entry with `id`, looked for the same way; returns the position it had, or
    // nothing when it is gone already.
    virtual std::optional<qint64> remove(const QString& id, qint64 expectedPosition) = 0;
    // Puts every entry in the order of `field`, ascending or descending.
    virtual void sort(SortField field, bool descending) = 0;
    // Adds `count` new entries after the last one as one step, all or none, made one by one by
    // `make` (so that a large number needs no memory) with consecutive IDs from the counter.
    // Refused (IoError, nothing written) when the counter has too few IDs left.
    virtual editing::Appended appendNew(qint64 count, const editing::EntryMaker& make) = 0;
    // Removes, as one step, some of the entries whose IDs are among `ids`: `choose` is shown all
    // of them in storage order while no other change can come between, and returns for each
    // whether it goes. Returns how many went.
    using Chooser = std::function<std::vector<bool>(const std::vector<EntryRecord>& found)>;
    virtual int removeChosen(const QSet<QString>& ids, const Chooser& choose) = 0;

    // The ID counter: the ID the next new entry receives. A value below 1 is refused (IoError,
    // nothing written).
    virtual qint32 idCounter() = 0;
    virtual void setIdCounter(qint32 value) = 0;

    // Entry locks: while this workstation shows an entry, no other one may show it.
    enum class Lock {
        Taken,       // this workstation may show the entry (or now holds it)
        HeldByOther, // another workstation shows it
        InvalidId,   // the ID cannot be locked (not a plain number)
    };
    // Releases the lock this workstation took last unless it is that of `id`, then tells
    // whether `id` is free for this workstation.
    virtual Lock checkLock(const QString& id) = 0;
    // Takes the lock of `id`; HeldByOther when another workstation came first.
    virtual Lock takeLock(const QString& id) = 0;
    // Whether another workstation holds the lock of `id`.
    virtual bool heldByOther(const QString& id) = 0;
    // Gives up this workstation's lock (the end of the program).
    virtual void releaseLock() = 0;

    // The remembered entry ("Zapamiętaj wpis", "Wstaw wpis") and the copy of the entry buffer
    // kept whenever a new entry is saved.
    virtual void remember(const EntryRecord& record) = 0;
    virtual EntryRecord remembered() = 0;
    virtual void keepPrevious(const EntryRecord& record) = 0;
};

} // namespace kestrana
