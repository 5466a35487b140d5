#pragma once

#include "platform/IoError.h"
#include "register/EntryRecord.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace kestrana {

class EntryStore;
struct Workstation;

// The register kept on a database server (server mode). Start-up opens it through the opener
// the program or kestrana-cli hands in, and every part of the program reaches it through the
// workstation (Workstation::server): the entries through the storage interface, the small
// records and the company descriptions here. Whatever stays on the workstation's side
// (pictures, help, envelope settings, fixed texts, saved vouchers, fonts, the list file, the
// remembered entry) remains in the local folder.
//
// Every operation throws IoError when the server fails; a change that fails is rolled back
// whole, and one lost with the connection is rolled back by the server.
class RegisterServer {
public:
    // The small records, each kept whole as the bytes of its file in a file register, so the
    // same code reads them in both.
    enum class Record { IdCounter, Company, CategoryNames, KpCounter, KwCounter };

    virtual ~RegisterServer() = default;

    virtual EntryStore& entries() = 0;

    // The record's bytes; nothing when the register has none yet.
    virtual std::optional<QByteArray> read(Record record) = 0;
    // Stores `content` as the record unless it exists; true when it did.
    virtual bool create(Record record, const QByteArray& content) = 0;
    // Reads the record and stores what `change` makes of it as one step: no other
    // workstation's change of the record comes between. `change` gets nothing for a record that
    // does not exist; when it throws, nothing is stored and the exception is passed on.
    using Change = std::function<QByteArray(const std::optional<QByteArray>& content)>;
    virtual void change(Record record, const Change& change) = 0;

    // Company descriptions by entry ID (the empty ID has one too), as the bytes of a
    // description file; nothing when the entry has none.
    virtual std::optional<QByteArray> description(const QString& id) = 0;
    virtual void storeDescription(const QString& id, const QByteArray& content) = 0;
    // The descriptions that hold `bytes` anywhere, by ID: the filter's candidates, which it
    // tests line by line as it tests a file.
    virtual QHash<QString, QByteArray> descriptionsContaining(const QByteArray& bytes) = 0;

    // A register without entries receives `first` as its only entry, with the ID it carries, as
    // a missing main file is created. True when it did.
    virtual bool createFirstEntry(const EntryRecord& first) = 0;

    // Writes the whole register into `folder` (existing, empty) as the files of a file
    // register, all read from one snapshot.
    virtual void exportTo(const QString& folder) = 0;
    // The files of a file register that the server holds instead, below the base directory
    // (the main file, the ID counter, ..., and OPISY for the descriptions).
    virtual QStringList heldFiles() const = 0;
    // Which database on which server, for messages.
    virtual QString where() const = 0;
};

// No connection to the server could be made: start-up then asks, as for an unreachable shared
// folder, whether to go back to local mode.
class ServerUnreachable : public IoError {
public:
    using IoError::IoError;
};

// Opens the register on the server a libpq connection string names, for the workstation `local`
// (its folder keeps what stays local). Throws ServerUnreachable when no connection can be made,
// and IoError when the server holds no register of this program's version.
using ServerOpener = std::function<std::shared_ptr<RegisterServer>(const QString& conninfo,
                                                                   const Workstation& local)>;

} // namespace kestrana
