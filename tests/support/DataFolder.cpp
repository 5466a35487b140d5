#include "support/DataFolder.h"

#include "station/DataDirectories.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace kestrana::test {

DataFolder::DataFolder(bool withDirectories) {
    if (!withDirectories)
        return;
    startup::createDataDirectories(dir_.path(), startup::dataDirectoryNames() +
                                                    startup::functionDirectoryNames() +
                                                    QStringList{startup::fontDirectoryName()});
    // Both levels have been told of the empty company data already, so that the one-time offer
    // at start-up comes only where a test asks for it (by removing this file).
    writeBytes(QStringLiteral("ADMINI/firma_pytanie.dat"), "szef\npracownik\n");
}

void DataFolder::writeBytes(const QString& subPath, const QByteArray& bytes) const {
    QFile f(file(subPath));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        QTest::qFail(qPrintable(QStringLiteral("cannot write ") + subPath), __FILE__, __LINE__);
}

QByteArray DataFolder::readBytes(const QString& subPath) const {
    QFile f(file(subPath));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void DataFolder::writeEntries(const std::vector<EntryRecord>& records) const {
    QByteArray bytes;
    for (const EntryRecord& r : records)
        bytes.append(r.data(), EntryRecord::Size);
    writeBytes(QStringLiteral("DANE/spis_ks.dat"), bytes);
}

std::vector<EntryRecord> DataFolder::readEntries(const QString& subPath) const {
    const QByteArray bytes = readBytes(subPath);
    std::vector<EntryRecord> records;
    for (qsizetype at = 0; at + EntryRecord::Size <= bytes.size(); at += EntryRecord::Size)
        records.push_back(EntryRecord::fromBytes(bytes.constData() + at));
    return records;
}

EntryRecord entry(const QString& id, const QString& nazwa1, const QString& numer) {
    EntryRecord r;
    r.setText(Field::id, id);
    r.setText(Field::nazwa1, nazwa1);
    r.setText(Field::numer, numer);
    return r;
}

} // namespace kestrana::test
