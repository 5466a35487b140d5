#include "register/StartupFiles.h"

#include "platform/CheckedFile.h"
#include "register/EntryRecord.h"
#include "register/FileLock.h"
#include "register/RegisterServer.h"

namespace kestrana::startup {

CompanyRecord prepareCompanyFile(const Workstation& ws, bool* created) {
    const QString path = ws.firmaFile();
    const bool missing = !files::exists(path);
    if (missing)
        files::replaceFile(path, QByteArray(CompanyRecord::Size, '\0'));
    if (created)
        *created = missing;
    return CompanyRecord::fromBytes(files::readRecord(path, 0, CompanyRecord::Size));
}

bool prepareIdCounter(const Workstation& ws) {
    const QString path = ws.idFile();
    if (files::exists(path))
        return false;
    // Two workstations starting at once on a new folder: the second must not set the counter
    // back after the first has given out IDs, so the look and the creation are one step under
    // the counter's lock.
    const FileLock lock(ws, lockPathFor(path));
    if (files::exists(path))
        return false;
    files::replaceFile(path, int32Bytes(2), ws.faults);
    return true;
}

CategoryNames prepareCategoryNames(const Workstation& ws, bool* created) {
    if (ws.server) {
        const bool missing = ws.server->create(RegisterServer::Record::CategoryNames,
                                               CategoryNames::defaults().toBytes());
        if (created)
            *created = missing;
        return CategoryNames::fromBytes(
            ws.server->read(RegisterServer::Record::CategoryNames).value_or(QByteArray()));
    }
    const QString path = ws.categoriesFile();
    const bool missing = !files::exists(path);
    if (missing)
        CategoryNames::write(path, CategoryNames::defaults());
    if (created)
        *created = missing;
    return CategoryNames::read(path);
}

void storeCategoryNames(const Workstation& ws, const QString& path, const CategoryNames& names) {
    if (!ws.server) {
        CategoryNames::write(path, names, ws.faults);
        return;
    }
    ws.server->change(RegisterServer::Record::CategoryNames,
                      [&](const std::optional<QByteArray>&) { return names.toBytes(); });
}

bool prepareMainFile(const Workstation& ws) {
    const QString path = ws.mainFile();
    if (files::exists(path))
        return false;
    // Under the main file's lock, so that a main file another workstation has just created
    // and added to is never replaced by a new one.
    const FileLock lock(ws, lockPathFor(path));
    if (files::exists(path))
        return false;
    files::replaceFile(path, firstEntryRecord().toByteArray(), ws.faults);
    return true;
}

} // namespace kestrana::startup
