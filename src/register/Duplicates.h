#pragma once

#include "register/EntryRecord.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace kestrana {

class EntryStore;

namespace duplicates {

// Why entries were put together; a group may have several reasons.
enum Reason : unsigned {
    SameNip = 1,
    SameRegon = 2,
    SameNameAndTown = 4,
};

// One entry of a group as the user sees it to decide.
struct Member {
    qint64 position = 0; // in storage order, 0-based
    EntryRecord record;
};

// Entries that are likely one company: each is linked to another of the group by the same NIP,
// the same REGON, or the same name and town (DuplicateKeys).
struct Group {
    unsigned reasons = 0;
    std::vector<Member> members; // in storage order
};

// Every group of the register, in the storage order of their first entries. One pass over the
// entries keys each by a 64-bit hash; only the entries whose hashes meet are read again and
// compared by their keys themselves, so a million entries need neither their keys in memory
// nor any comparison of every pair. Nothing is changed. Throws IoError.
std::vector<Group> find(EntryStore& store);

// The reasons as words: "ten sam NIP, ta sama nazwa i miejscowość".
QString reasonText(unsigned reasons);
// A group's heading line: "Grupa 3 (2 wpisy): ten sam NIP".
QString groupHeading(int number, const Group& group);
// An entry's line: ID, code, registration and last change dates, NIP, REGON, name, town,
// separated by TABs.
QString memberLine(const Member& member);

} // namespace duplicates
} // namespace kestrana
