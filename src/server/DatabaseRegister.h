#pragma once

#include "register/RegisterServer.h"
#include "server/ServerLink.h"
#include "server/ServerStore.h"
#include "station/Workstation.h"

#include <memory>

namespace kestrana::server {

// The register on a PostgreSQL server as the rest of the program sees it: the entries
// (ServerStore), the small records of kestrana.records and the descriptions, all over one
// working connection; the entry locks have a connection of their own.
class DatabaseRegister : public RegisterServer {
public:
    // Connects and checks that the database holds the register in this program's version.
    // Throws ServerUnreachable, or ServerError.
    DatabaseRegister(const QString& conninfo, const Workstation& local);
    ~DatabaseRegister() override;

    EntryStore& entries() override { return *store_; }

    std::optional<QByteArray> read(Record record) override;
    bool create(Record record, const QByteArray& content) override;
    void change(Record record, const Change& change) override;

    std::optional<QByteArray> description(const QString& id) override;
    void storeDescription(const QString& id, const QByteArray& content) override;
    QHash<QString, QByteArray> descriptionsContaining(const QByteArray& bytes) override;

    bool createFirstEntry(const EntryRecord& first) override;
    void exportTo(const QString& folder) override;
    QStringList heldFiles() const override;
    QString where() const override { return link_->server(); }

    ServerLink& link() { return *link_; }

private:
    std::unique_ptr<ServerLink> link_;
    std::unique_ptr<ServerStore> store_;
    LockWait* lockWait_ = nullptr;
    QStringList heldFiles_;
};

// The opener the program and kestrana-cli hand to start-up.
std::shared_ptr<RegisterServer> openRegister(const QString& conninfo, const Workstation& local);

} // namespace kestrana::server
