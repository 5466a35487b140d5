#pragma once

#include "platform/CheckedFile.h"
#include "register/EntryList.h"
#include "register/EntryRecord.h"
#include "register/ListLine.h"
#include "register/Preselection.h"
#include "station/Workstation.h"

#include <QStringList>

#include <atomic>
#include <future>

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

namespace kestrana {

class EntryStore;

// From this many entries on, the program and the command line write a full list's list file
// beside building its lines (below, the write takes a few milliseconds anyway).
inline constexpr qint64 kListFileInBackgroundFrom = 10000;

// The register's entries and the one entry buffer through which every record passes: each
// load, list build, save and printout reads into it, so afterwards it holds the last record
// read. The list file DANE/sp_ks.dat lies below the base directory, whatever the storage.
class Register {
public:
    // Over the workstation's register: on its server in server mode, else the folder of files
    // its base directory holds.
    explicit Register(const Workstation& ws);
    // Over `store`, which outlives the register.
    Register(const Workstation& ws, EntryStore& store);
    ~Register();

    const Workstation& workstation() const { return ws_; }
    EntryStore& store() { return *store_; }
    EntryRecord& buffer() { return buffer_; }
    const EntryRecord& buffer() const { return buffer_; }

    // Reads the entry at `position` (0-based) into the buffer. Throws IoError.
    void load(qint64 position);

    // The entry test of a filtered list build, with conditions the storage may test first (an
    // entry failing them would fail the test too). Any test of an entry converts to one.
    struct Filter {
        Filter() = default;
        template <typename F>
        requires(!std::is_same_v<std::remove_cvref_t<F>, Filter> &&
                 std::is_invocable_r_v<bool, F, const EntryRecord&>)
            Filter(F test, Preselection hint = {})
            : accepts(std::move(test)), preselection(std::move(hint)) {}

        explicit operator bool() const { return bool(accepts); }
        bool operator()(const EntryRecord& record) const { return accepts(record); }

        std::function<bool(const EntryRecord&)> accepts;
        Preselection preselection;
    };
    using LineSink = std::function<void(QString&& line)>;
    // Rebuilds the list: every entry (those passing `filter`, when given) goes to the list file
    // and gives one line, handed to `sink` as it is built. Lines built before a failure have
    // been handed on when IoError is thrown; the list file then stays as it was. The list file
    // is replaced as a whole (a new file renamed over the old one), unless it holds this very
    // list already: then it is kept as it is and nothing is written.
    void buildList(ViewMode mode, const LineSink& sink, const Filter& filter = {});
    using ByteLineSink = std::function<void(const QByteArray& line)>;
    // The same with each line in Windows-1250 (the bytes of listLineBytes()).
    void buildListBytes(ViewMode mode, const ByteLineSink& sink, const Filter& filter = {});
    // The same, collecting the lines.
    void buildList(ViewMode mode, QStringList& lines, const Filter& filter = {});
    // The same, collecting the lines with their entries' record numbers.
    void buildList(ViewMode mode, EntryList& list, const Filter& filter = {});

    // From now on a list of every entry of a file register with at least `entries` entries
    // writes its list file on a thread of its own after the lines are built, so the lines can be
    // shown at once (0: never, the default). It reads the entries from the main file as opened
    // for the lines, so entries replaced or added meanwhile change nothing; only an entry
    // another workstation saves in place during those seconds is written as saved. A failure
    // of that write comes out of listSource(). A new build abandons a write still running; the
    // register's end waits for it.
    void setListFileInBackground(qint64 entries) { backgroundFrom_ = entries; }

    // The list file of the list this register built last, kept open: printouts and exports of
    // this program's list read it, whatever another workstation or program builds meanwhile
    // under the shared name. Before any build, the shared list file. Waits for a list file still
    // being written; throws IoError when that write or the build failed, until the next build.
    files::RecordSource listSource() const;

private:
    using EntrySink = std::function<void(const EntryRecord& entry, qint64 recordNumber)>;
    void build(const EntrySink& sink, const Filter& filter);
    void buildNow(const EntrySink& sink, const Filter& filter);
    // A list of every entry from the main file itself: the lines first, the list file after.
    void buildFromEntriesFile(const EntrySink& sink,
                              const std::shared_ptr<const files::KeptFile>& main);
    // Ends a list file write still running: abandoned, or awaited with its outcome.
    void abandonPendingListFile();
    void finishPendingListFile() const;
    // Lets go of the list file the last build replaced: one holding at least as many entries as
    // a list written in the background goes on a thread of its own (the file system takes about
    // 0.4 s to free the list file of a million entries), awaited by the next release and by
    // the register's end.
    void release(std::unique_ptr<files::KeptFile> replaced);

    const Workstation& ws_;
    std::unique_ptr<EntryStore> ownStore_;
    EntryStore* store_ = nullptr;
    EntryRecord buffer_;
    mutable std::shared_ptr<const files::KeptFile> ownList_;
    qint64 backgroundFrom_ = 0;
    mutable std::future<std::shared_ptr<const files::KeptFile>> pendingList_;
    std::shared_ptr<std::atomic<bool>> abandonPending_;
    std::future<void> releasing_;
};

} // namespace kestrana
