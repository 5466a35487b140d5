#pragma once

#include "register/EntryStore.h"
#include "register/FileStore.h"
#include "server/EntryLockConnection.h"
#include "server/ServerLink.h"
#include "station/Workstation.h"

#include <memory>
#include <optional>
#include <vector>

namespace kestrana::server {

// The register's entries on the server (kestrana.entries): a position is an entry's rank by
// `ord`, so record numbers stay 1-based positions in storage order. Each change is one
// transaction: an addition or a change of the counter holds the counter's row (FOR UPDATE), so
// no two workstations give out one ID; a save or deletion holds the entry's row; a sort holds
// the table against writers (readers go on) and rewrites `ord` only.
//
// A list build remembers each line's row (its entry_key), so that a line leads to its own entry
// whatever other workstations delete or sort meanwhile; a position not seen by the last list
// build is looked up by rank. Entry locks are session advisory locks on a connection of their
// own, which end with it. The remembered entry and the copy kept at each new entry stay in the
// workstation's local folder (KOSZ/wpis_ks.dat, KOSZ/wpis.dat): they belong to this
// workstation, not to the register.
class ServerStore : public EntryStore {
public:
    // `local` is the workstation's own side: its folder, today, its lock wait.
    ServerStore(ServerLink& link, const Workstation& local);
    ~ServerStore() override;

    void read(qint64 position, EntryRecord& into) override;
    // The visitor must not use the store: the connection is busy with the stream meanwhile.
    void scan(const Visitor& visit) override;
    // The server tests `preselection` and sends only the records that pass it; the same rule
    // for the visitor.
    void scanPreselected(const Preselection& preselection, const Visitor& visit) override;
    qint64 add(EntryRecord& record) override;
    std::optional<qint64> saveEdited(EntryRecord& buffer, const EntryFormValues& form,
                                     const QString& id, qint64 expectedPosition) override;
    std::optional<qint64> remove(const QString& id, qint64 expectedPosition) override;
    void sort(SortField field, bool descending) override;
    editing::Appended appendNew(qint64 count, const editing::EntryMaker& make) override;
    int removeChosen(const QSet<QString>& ids, const Chooser& choose) override;

    qint32 idCounter() override;
    void setIdCounter(qint32 value) override;

    Lock checkLock(const QString& id) override;
    Lock takeLock(const QString& id) override;
    bool heldByOther(const QString& id) override;
    void releaseLock() override;

    void remember(const EntryRecord& record) override;
    EntryRecord remembered() override;
    void keepPrevious(const EntryRecord& record) override;

private:
    struct Row {
        qint64 key = 0;
        qint64 ord = 0;
        QByteArray record;
    };
    std::optional<Row> findForUpdate(Connection& c, const QString& step, const QString& id,
                                     qint64 expectedPosition);
    qint64 rankOf(Connection& c, const QString& step, qint64 ord);
    qint32 takeIds(Connection& c, const QString& step, qint64 count);
    EntryLockConnection& locks();

    ServerLink& link_;
    Workstation local_;
    FileStore localFiles_;
    // The rows of the last list build, by position.
    std::vector<qint64> keys_;
    std::unique_ptr<EntryLockConnection> locks_;
    // The lock of the entry this workstation shows, and whether it holds it now (a lost lock
    // connection took it).
    std::optional<qint64> ownLock_;
    bool ownLockHeld_ = false;
};

} // namespace kestrana::server
