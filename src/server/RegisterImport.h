#pragma once

#include "server/PgConnection.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace kestrana::server {

struct ImportReport {
    qint64 entries = 0;
    qint64 descriptions = 0;
    QStringList records;     // the small files brought over, by their path
    QStringList skipped;     // files in OPISY that are no description, or a second spelling
    qint64 partialBytes = 0; // an incomplete last record of the main file, left out
};

struct ImportOptions {
    // Called each time a batch of entries has gone to the server, with the number so far.
    std::function<void(qint64 entries)> progress;
};

// Copies the file register whose base directory is `folder` into the empty register on the
// server, in one transaction: the entries in their storage order with their IDs, the ID
// counter, the company data, the category names, the voucher counters and the descriptions,
// each byte as it is. The main file is read under its lock, as the backup reads it. On the
// server, writers wait meanwhile, readers do not. A register on the server that holds anything
// but what a workstation's start-up creates on an empty one (the first entry and the default
// records, untouched, which the import replaces) is refused (ServerError, Register) and nothing
// changes; so does any failure on the way (IoError of a file, ServerError): the transaction is
// rolled back.
ImportReport importRegister(Connection& connection, const QString& folder,
                            const ImportOptions& options = {});

} // namespace kestrana::server
