#pragma once

#include "register/EntryLocks.h"
#include "register/EntryStore.h"
#include "station/Workstation.h"

namespace kestrana {

// The register as a folder of files: the main file DANE/spis_ks.dat in storage order, the ID
// counter ADMINI/id_ks.dat, lock files KOSZ/<id>.p, the remembered entry KOSZ/wpis_ks.dat and
// the kept copy KOSZ/wpis.dat, all below the workstation's base directory.
class FileStore : public EntryStore {
public:
    explicit FileStore(const Workstation& ws) : ws_(ws), locks_(ws) {}

    void read(qint64 position, EntryRecord& into) override;
    void scan(const Visitor& visit) override;
    void scanPreselected(const Preselection& preselection, const Visitor& visit) override;
    std::shared_ptr<const files::KeptFile> openEntriesFile() override;
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

    const EntryLocks& locks() const { return locks_; }

private:
    const Workstation& ws_;
    EntryLocks locks_;
};

} // namespace kestrana
