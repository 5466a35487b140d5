#pragma once

#include "station/Workstation.h"

#include <QByteArrayView>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringView>

#include <optional>

// Company descriptions: one Windows-1250 text file per entry in OPISY, named after the entry's
// ID ("opis_ks_17.dat" for ID 17).
namespace kestrana {

// The file name for `id`; nothing when the ID is not a plain number, which must never become
// part of a path.
std::optional<QString> descriptionFileName(const Workstation& ws, QStringView id);
// The file below the base directory, matched without regard to letter case.
std::optional<QString> descriptionFilePath(const Workstation& ws, QStringView id);

// The description files of OPISY, listed once, so that a filter pass finds an entry's file
// without touching the disk for each of the many entries that have none. A missing OPISY
// directory holds no descriptions; one that exists but cannot be listed throws IoError.
class DescriptionDirectory {
public:
    explicit DescriptionDirectory(const Workstation& ws);

    // The path of the description file of the entry whose stored ID bytes are `id`; empty
    // when there is none or the ID is not a plain number. An exact name wins over names that
    // differ only in letter case.
    QString find(QByteArrayView id) const;

private:
    QString dir_;
    QString prefix_; // "opis_ks_"
    QSet<QString> names_;
    QHash<QString, QString> byLowerName_;
};

} // namespace kestrana
