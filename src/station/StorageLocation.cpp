#include "station/StorageLocation.h"

#include "platform/CheckedFile.h"
#include "platform/DataPaths.h"

#include <QDir>

namespace kestrana::startup {

QString captionForMode(int tryb) {
    if (tryb == 1)
        return QStringLiteral("Kestrana - bazy lokalne");
    if (tryb == 2)
        return QStringLiteral("Kestrana - bazy sieciowe");
    return QString();
}

QString storageFile(const QString& workDir) {
    return resolvePath(workDir, QStringLiteral("Admini/siec.dat"));
}

StorageLocation locateStorage(const QString& workDir) {
    const QString siec = storageFile(workDir);
    if (!files::exists(siec)) {
        StorageRecord fresh;
        fresh.tryb = 1;
        fresh.sciezkaLokalna = QDir::toNativeSeparators(workDir);
        files::replaceFile(siec, fresh.toBytes());
    }
    const StorageRecord record =
        StorageRecord::fromBytes(files::readRecord(siec, 0, StorageRecord::Size));
    StorageLocation location{record.tryb, workDir};
    QString chosen;
    if (record.tryb == 1)
        chosen = record.sciezkaLokalna;
    else if (record.tryb == 2)
        chosen = record.sciezkaSieciowa;
    else
        return location;
    // An empty path would put the data at the root of the file system: the working
    // directory serves instead. A relative path counts from the working directory.
    chosen = QDir::fromNativeSeparators(chosen.trimmed());
    if (!chosen.isEmpty())
        location.baseDir = QDir::cleanPath(QDir(workDir).absoluteFilePath(chosen));
    return location;
}

Workstation locatedAgain(const Workstation& ws) {
    Workstation here = ws;
    const StorageLocation location = locateStorage(ws.workDir);
    here.tryb = location.tryb;
    here.baseDir = location.baseDir;
    return here;
}

NetworkState checkNetwork(const QString& workDir) {
    locateStorage(workDir); // creates siec.dat for local mode when missing
    NetworkState state;
    state.record =
        StorageRecord::fromBytes(files::readRecord(storageFile(workDir), 0, StorageRecord::Size));
    state.networkMode = state.record.tryb == 2;
    if (!state.networkMode)
        return state;
    const QString shared = QDir::fromNativeSeparators(state.record.sciezkaSieciowa.trimmed());
    try {
        files::readFile(storageFile(shared));
    } catch (const IoError&) {
        state.reachable = false;
    }
    if (shared.isEmpty())
        state.reachable = false;
    return state;
}

void switchToLocal(const QString& workDir, const StorageRecord& record) {
    StorageRecord local = record;
    local.tryb = 1;
    files::replaceFile(storageFile(workDir), local.toBytes());
}

} // namespace kestrana::startup
