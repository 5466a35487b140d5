#pragma once

#include "register/EntryRecord.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace kestrana {
class EntryStore;
}

namespace kestrana::csv {

// Which entries of the register each candidate would repeat: the same NIP (its digits), or the
// same name and town (first name line and seat town, blanks and letter case aside). One pass
// over the entries; only the candidates' keys are held, so a large register costs no memory.
// For each candidate, in its order, a description per entry it repeats ("wpis ID 12 „Dąb”
// (ten sam NIP)"), at most `shown` of them followed by how many more there are; empty when it
// repeats none. Throws IoError.
std::vector<QStringList>
findMatches(EntryStore& store, const std::vector<const EntryRecord*>& candidates, int shown = 3);

} // namespace kestrana::csv
