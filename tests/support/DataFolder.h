#pragma once

#include "register/EntryRecord.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <vector>

namespace kestrana::test {

// A temporary, complete data folder (every data directory and FONT, the contract pictures and
// the help text) that tests fill as they need. Its users have been offered "Dane firmy"
// already.
class DataFolder {
public:
    explicit DataFolder(bool withDirectories = true);
    QString path() const { return dir_.path(); }
    QString file(const QString& subPath) const { return dir_.path() + QLatin1Char('/') + subPath; }

    void writeBytes(const QString& subPath, const QByteArray& bytes) const;
    QByteArray readBytes(const QString& subPath) const;
    void writeEntries(const std::vector<EntryRecord>& records) const;
    std::vector<EntryRecord>
    readEntries(const QString& subPath = QStringLiteral("DANE/spis_ks.dat")) const;

private:
    QTemporaryDir dir_;
};

// A record with the given ID and name, the rest empty.
EntryRecord entry(const QString& id, const QString& nazwa1, const QString& numer = {});

} // namespace kestrana::test
