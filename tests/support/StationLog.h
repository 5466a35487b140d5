#pragma once

#include "register/EntryRecord.h"

#include <QMap>
#include <QSet>
#include <QString>

#include <functional>
#include <vector>

class QProcess;

namespace kestrana::test {

// What the station helper programs (tests/programs/station.cpp) report they did, and whether a
// main file agrees with it.
struct StationLog {
    QMap<QString, QString> added;    // id -> name
    QMap<QString, QString> lastEdit; // id -> nazwa2
    QSet<QString> deleted;
    bool givenTwice = false; // one ID reported as added by two stations

    // Reads what a finished station printed.
    void read(QProcess& station);
    // Empty when every entry of the stations is in `entries` once, as last edited, every
    // deleted one gone, and no ID is stored twice; otherwise what is wrong. Entries for which
    // `others` is true come from somewhere else and are only checked for distinct IDs.
    QString check(const std::vector<EntryRecord>& entries,
                  const std::function<bool(const EntryRecord&)>& others = {}) const;
};

} // namespace kestrana::test
