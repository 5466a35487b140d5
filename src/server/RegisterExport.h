#pragma once

#include "server/PgConnection.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace kestrana::server {

struct ExportReport {
    qint64 entries = 0;
    qint64 descriptions = 0;
    QStringList records; // the small files written, by their path
};

struct ExportOptions {
    // Called each time a batch of entries has been written, with the number so far.
    std::function<void(qint64 entries)> progress;
};

// Writes the register on the server into `folder` (created when missing) as the files of a
// file register: DANE/spis_ks.dat with the entries in storage order, the small files the server
// holds, and OPISY/opis_ks_<id>.dat, each byte as it was imported or saved. All of it is read
// from one snapshot, so the files agree with each other whatever other workstations change
// meanwhile. Folders already in `folder` are used whatever their letter case. Throws
// ServerError or IoError; the caller writes into a folder of its own that it removes on
// failure, so that a half-written register is never taken for one.
ExportReport exportRegister(Connection& connection, const QString& folder,
                            const ExportOptions& options = {});

} // namespace kestrana::server
