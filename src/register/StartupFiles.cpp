#include "register/StartupFiles.h"

#include "platform/CheckedFile.h"
#include "platform/DataPaths.h"
#include "print/DefaultPrintFont.h"
#include "register/EntryRecord.h"
#include "register/FileLock.h"

#include <QDir>
#include <QFile>

#include <cerrno>

namespace kestrana::startup {

bool isBossToken(const QString& token) {
    return token.size() == 10 && token.at(9) == QChar(kBossMarker);
}

bool bossLevel(const QStringList& arguments) {
    return arguments.size() > 2 && isBossToken(arguments.at(2));
}

QString captionForMode(int tryb) {
    if (tryb == 1)
        return QStringLiteral("Kestrana - bazy lokalne");
    if (tryb == 2)
        return QStringLiteral("Kestrana - bazy sieciowe");
    return QString();
}

StorageLocation locateStorage(const QString& workDir) {
    const QString siec = resolvePath(workDir, QStringLiteral("Admini/siec.dat"));
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

const QStringList& dataDirectoryNames() {
    static const QStringList names = {QStringLiteral("DANE"), QStringLiteral("ADMINI"),
                                      QStringLiteral("KOSZ"), QStringLiteral("OPISY"),
                                      QStringLiteral("OBRAZKI")};
    return names;
}

QStringList missingDataDirectories(const QString& baseDir) {
    QStringList missing;
    for (const QString& name : dataDirectoryNames()) {
        if (!files::isDirectory(resolvePath(baseDir, name)))
            missing.append(name);
    }
    return missing;
}

void createDataDirectories(const QString& baseDir, const QStringList& names) {
    files::makeDirectory(baseDir);
    for (const QString& name : names) {
        const QString dir = resolvePath(baseDir, name);
        files::makeDirectory(dir);
        if (name.compare(QLatin1String("OBRAZKI"), Qt::CaseInsensitive) != 0)
            continue;
        for (const char* picture : {"ks0.ico", "ks1.ico"}) {
            QFile resource(QStringLiteral(":/kestrana/OBRAZKI/") + QLatin1String(picture));
            if (!resource.open(QIODevice::ReadOnly))
                continue;
            files::replaceFile(dir + QLatin1Char('/') + QLatin1String(picture), resource.readAll());
        }
    }
}

CompanyRecord prepareCompanyFile(const Workstation& ws) {
    const QString path = ws.firmaFile();
    if (!files::exists(path))
        files::replaceFile(path, QByteArray(CompanyRecord::Size, '\0'));
    return CompanyRecord::fromBytes(files::readRecord(path, 0, CompanyRecord::Size));
}

void prepareIdCounter(const Workstation& ws) {
    const QString path = ws.idFile();
    if (files::exists(path))
        return;
    // Looked at again under the lock: two workstations starting at once must not both create
    // the counter, the second over IDs the first has handed out meanwhile.
    const FileLock lock(ws, lockPathFor(path));
    if (!files::exists(path))
        files::replaceFile(path, int32Bytes(2), ws.faults);
}

CategoryNames prepareCategoryNames(const Workstation& ws) {
    const QString path = ws.categoriesFile();
    if (!files::exists(path))
        CategoryNames::write(path, CategoryNames::defaults());
    return CategoryNames::read(path);
}

void prepareMainFile(const Workstation& ws) {
    const QString path = ws.mainFile();
    if (files::exists(path))
        return;
    // As the counter: a second start must not replace entries the first has added meanwhile.
    const FileLock lock(ws, lockPathFor(path));
    if (!files::exists(path))
        files::replaceFile(path, firstEntryRecord().toByteArray(), ws.faults);
}

void preparePrintFont(const QString& workDir) {
    writeDefaultPrintFont(workDir);
}

Workstation prepareWorkstation(const QString& workDir, bool boss, const QString& today,
                               LockWait* wait) {
    Workstation ws;
    ws.workDir = workDir;
    ws.lockWait = wait;
    ws.boss = boss;
    ws.today = today;
    const StorageLocation location = locateStorage(workDir);
    ws.tryb = location.tryb;
    ws.baseDir = location.baseDir;
    const QStringList missing = missingDataDirectories(ws.baseDir);
    if (!missing.isEmpty())
        throw IoError(
            QStringLiteral("Brak katalogów danych (%1)").arg(missing.join(QStringLiteral(", "))),
            ws.baseDir, ENOENT);
    ws.firma = prepareCompanyFile(ws);
    prepareIdCounter(ws);
    prepareCategoryNames(ws);
    prepareMainFile(ws);
    return ws;
}

} // namespace kestrana::startup
