#include "tools/Notepad.h"

#include "platform/CheckedFile.h"
#include "platform/CodePage.h"
#include "platform/DataPaths.h"
#include "platform/TextFile.h"
#include "register/StartupFiles.h"

#include <QDir>

namespace kestrana::notepad {

QString load(const QString& path) {
    if (!files::exists(path))
        files::writeFile(path, QByteArray());
    QString text = cp1250::decode(files::readFile(path));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

void save(const QString& path, const QString& editorText) {
    QString text = editorText;
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    files::replaceFile(path, cp1250::encode(text));
}

NetworkState checkNetwork(const QString& workDir) {
    startup::locateStorage(workDir); // creates siec.dat for local mode when missing
    NetworkState state;
    state.record = StorageRecord::fromBytes(files::readRecord(
        resolvePath(workDir, QStringLiteral("Admini/siec.dat")), 0, StorageRecord::Size));
    state.networkMode = state.record.tryb == 2;
    if (!state.networkMode)
        return state;
    const QString shared = QDir::fromNativeSeparators(state.record.sciezkaSieciowa.trimmed());
    try {
        files::readFile(resolvePath(shared, QStringLiteral("Admini/siec.dat")));
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
    files::replaceFile(resolvePath(workDir, QStringLiteral("Admini/siec.dat")), local.toBytes());
}

} // namespace kestrana::notepad
