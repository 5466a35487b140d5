#include "register/EntryList.h"

#include <algorithm>

namespace kestrana {

void EntryList::clear() {
    lines_.clear();
    numbers_.clear();
}

void EntryList::append(QString&& line, qint64 recordNumber) {
    lines_.append(std::move(line));
    numbers_.push_back(recordNumber);
}

int EntryList::rowOfRecord(qint64 number) const {
    const auto found = std::find(numbers_.begin(), numbers_.end(), number);
    return found == numbers_.end() ? -1 : static_cast<int>(found - numbers_.begin());
}

} // namespace kestrana
