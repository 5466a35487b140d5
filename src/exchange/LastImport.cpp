#include "exchange/LastImport.h"

#include "platform/CheckedFile.h"
#include "platform/CodePage.h"
#include "register/EntryStore.h"
#include "register/Register.h"
#include "register/RegisterServer.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QUrl>

namespace kestrana::csv {

namespace {

const QString kFirstLine = QStringLiteral("Kestrana: ostatni import");

QByteArray recordHash(const char* record) {
    return QCryptographicHash::hash(QByteArrayView(record, EntryRecord::Size),
                                    QCryptographicHash::Sha256)
        .toHex();
}

// Paths are kept percent-encoded, so any name survives the Windows-1250 text file.
QString encodedPath(const QString& path) {
    return QString::fromLatin1(QUrl::toPercentEncoding(path, "/"));
}

QString decodedPath(const QString& text) {
    return QUrl::fromPercentEncoding(text.toLatin1());
}

// The same folder, by its real path where it exists.
QString folderIdentity(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

// Where the register lies: its folder, or in server mode its database (which no folder of the
// workstation can be taken for).
QString registerPlace(const Workstation& ws) {
    return ws.server ? QStringLiteral("serwer: ") + ws.server->where() : ws.baseDir;
}

QString idList(const QStringList& ids) {
    constexpr int kShown = 10;
    QString text = QStringLiteral("ID ") + ids.mid(0, kShown).join(QStringLiteral(", "));
    if (ids.size() > kShown)
        text += QStringLiteral(" i %1 więcej").arg(ids.size() - kShown);
    return text;
}

} // namespace

QString lastImportFile(const Workstation& ws) {
    return ws.localPath(QStringLiteral("Admini/ostatni_import.txt"));
}

void storeLastImport(const Workstation& ws, const ImportPlan& plan, const ImportResult& result,
                     const QDateTime& when) {
    if (result.added.empty())
        return;
    QStringList lines;
    lines << kFirstLine;
    lines << QStringLiteral("folder ") + encodedPath(registerPlace(ws));
    lines << QStringLiteral("plik ") + encodedPath(QFileInfo(plan.source).absoluteFilePath());
    lines << QStringLiteral("czas ") + when.toString(Qt::ISODate);
    for (const EntryRecord& record : result.added)
        lines << QStringLiteral("wpis %1 %2")
                     .arg(record.text(Field::id), QString::fromLatin1(recordHash(record.data())));
    files::replaceFile(lastImportFile(ws),
                       cp1250::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
}

std::optional<LastImport> readLastImport(const Workstation& ws) {
    const QString path = lastImportFile(ws);
    if (!files::exists(path))
        return std::nullopt;
    const QStringList lines =
        cp1250::decode(files::readFile(path)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    const auto damaged = [&path] {
        return IoError(QStringLiteral("Odczyt zapisu ostatniego importu"), path,
                       QStringLiteral("Zapis ostatniego importu jest uszkodzony; import można "
                                      "cofnąć tylko ręcznie (wpisy z raportu importu)."));
    };
    if (lines.size() < 4 || lines[0] != kFirstLine)
        throw damaged();
    LastImport last;
    const auto value = [&](int line, const QString& key) {
        if (!lines[line].startsWith(key + QLatin1Char(' ')))
            throw damaged();
        return lines[line].mid(key.size() + 1);
    };
    last.baseDir = decodedPath(value(1, QStringLiteral("folder")));
    last.source = decodedPath(value(2, QStringLiteral("plik")));
    last.when = QDateTime::fromString(value(3, QStringLiteral("czas")), Qt::ISODate);
    for (qsizetype i = 4; i < lines.size(); ++i) {
        const QStringList parts = value(static_cast<int>(i), QStringLiteral("wpis")).split(' ');
        if (parts.size() != 2 || parts[0].isEmpty() || parts[1].size() != 64)
            throw damaged();
        last.entries.append({parts[0], parts[1].toLatin1()});
    }
    if (last.entries.isEmpty() || !last.when.isValid())
        throw damaged();
    return last;
}

QString undoRefusalForFolder(const Workstation& ws, const LastImport& last) {
    if (folderIdentity(registerPlace(ws)) == folderIdentity(last.baseDir))
        return {};
    return QStringLiteral("Ostatni import z tego stanowiska dotyczył innego folderu danych (%1), "
                          "dlatego nie można go tu cofnąć.")
        .arg(QDir::toNativeSeparators(last.baseDir));
}

UndoResult undoImport(const Workstation& ws, const LastImport& last,
                      const std::function<bool(const QString& id)>& heldByOther) {
    UndoResult result;
    result.refusal = undoRefusalForFolder(ws, last);
    if (!result.refusal.isEmpty())
        return result;
    QHash<QString, QByteArray> imported;
    for (const auto& [id, hash] : last.entries)
        imported.insert(id, hash);
    const QSet<QString> ids(imported.keyBegin(), imported.keyEnd());

    // The entries are looked at and removed as one step, so nobody changes one in between.
    QSet<QString> present;
    Register reg(ws);
    result.removed = reg.store().removeChosen(ids, [&](const std::vector<EntryRecord>& found) {
        present.clear();
        QStringList changed;
        for (const EntryRecord& record : found) {
            const QString id = record.text(Field::id);
            if (recordHash(record.data()) == imported.value(id))
                present.insert(id);
            else if (!changed.contains(id))
                changed << id;
        }
        std::vector<bool> chosen(found.size(), false);
        const QString prefix = QStringLiteral("Nie można cofnąć ostatniego importu: ");
        if (!changed.isEmpty()) {
            result.refusal = prefix + QStringLiteral("wpisy zmieniono od importu (%1). Nic nie "
                                                     "usunięto.")
                                          .arg(idList(changed));
            return chosen;
        }
        QStringList held;
        for (const auto& [id, hash] : last.entries) {
            if (present.contains(id) && heldByOther(id))
                held << id;
        }
        if (!held.isEmpty()) {
            result.refusal = prefix + QStringLiteral("wpisy są otwarte na innym stanowisku (%1). "
                                                     "Nic nie usunięto; spróbuj ponownie, gdy "
                                                     "zostaną zwolnione.")
                                          .arg(idList(held));
            return chosen;
        }
        for (size_t i = 0; i < found.size(); ++i)
            chosen[i] = present.contains(found[i].text(Field::id));
        return chosen;
    });
    if (!result.refusal.isEmpty())
        return result;
    result.alreadyGone = static_cast<int>(last.entries.size() - present.size());
    files::removeFile(lastImportFile(ws));
    return result;
}

} // namespace kestrana::csv
