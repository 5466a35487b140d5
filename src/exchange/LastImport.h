#pragma once

#include "exchange/ImportPlan.h"
#include "station/Workstation.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

// The record of this workstation's last import, which "Cofnij ostatni import" undoes.
//
// It lives with the workstation (Admini/ostatni_import.txt under the working directory, beside
// siec.dat), not in the shared data folder: only the person who imported can take the import
// back, another workstation's later import never turns someone's undo onto entries they did not
// add, and two imports at once never write one shared file. It names the data folder, so a
// workstation switched to another folder refuses to undo there; and it keeps a SHA-256 of each
// entry as added, so an entry anybody has changed since (a save sets its modification date) is
// never removed.
namespace kestrana::csv {

struct LastImport {
    QString baseDir;
    QString source;
    QDateTime when;
    QList<std::pair<QString, QByteArray>> entries; // ID and SHA-256 of the record as added
};

QString lastImportFile(const Workstation& ws);

// Replaces the record with this import (nothing happens when it added no entry). Throws IoError.
void storeLastImport(const Workstation& ws, const ImportPlan& plan, const ImportResult& result,
                     const QDateTime& when);

// The record, nothing when there is none. Throws IoError when it cannot be read, and when it is
// damaged (the message says so).
std::optional<LastImport> readLastImport(const Workstation& ws);

// Why the record may not be undone on this workstation's folder (empty: it may).
QString undoRefusalForFolder(const Workstation& ws, const LastImport& last);

struct UndoResult {
    QString refusal;     // not empty: nothing was removed, and why
    int removed = 0;     // entries removed
    int alreadyGone = 0; // imported entries no longer in the main file
};

// Removes the imported entries from the main file under its lock, found by their IDs, provided
// none of them has changed since the import and none is shown on another workstation
// (`heldByOther`); otherwise removes nothing and says why. Then forgets the record. Throws
// IoError.
UndoResult undoImport(const Workstation& ws, const LastImport& last,
                      const std::function<bool(const QString& id)>& heldByOther);

} // namespace kestrana::csv
