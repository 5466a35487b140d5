#pragma once

#include "register/EntryRecord.h"

#include <QString>

#include <cstring>

// The records the saver program writes: everything in them follows from the ID and a version,
// from the first bytes (nazwa2) through the last text field to the reserved bytes at the end,
// so a record written only in part is never mistaken for a whole one.
namespace kestrana::test {

inline EntryRecord saverRecord(int id, int version) {
    EntryRecord r;
    const QString mark = QStringLiteral("v%1").arg(version);
    r.setText(Field::id, QString::number(id));
    r.setText(Field::nazwa1, QStringLiteral("Firma %1").arg(id));
    r.setText(Field::nazwa2, mark);
    r.setText(Field::datamodyfikacji, mark);
    std::memset(r.data() + EntryRecord::ReservedOffset, 1 + version % 200,
                EntryRecord::ReservedSize);
    return r;
}

// True when `r` is exactly a record saverRecord() makes.
inline bool isWholeSaverRecord(const EntryRecord& r) {
    bool idOk = false;
    bool versionOk = false;
    const int id = r.text(Field::id).toInt(&idOk);
    const int version = r.text(Field::nazwa2).mid(1).toInt(&versionOk);
    return idOk && versionOk && r == saverRecord(id, version);
}

} // namespace kestrana::test
