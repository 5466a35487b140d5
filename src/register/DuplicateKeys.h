#pragma once

#include <string>
#include <string_view>

// What makes two entries likely the same company, each reduced to a key that equal entries
// share. The keys are worked out on the stored Windows-1250 bytes, so that a register of a
// million entries is keyed in about the time it takes to read it.
namespace kestrana::duplicates {

// The field's stored characters (a record's short string at `offset`, `width` wide).
std::string_view storedText(const char* record, int offset, int width);

// The NIP's ten digits, whatever stands between them ("PL", blanks, hyphens, dots); empty
// when the field holds another count of digits or one digit ten times (a stand-in such as
// 0000000000).
std::string nipKey(std::string_view text);
// The REGON's nine or fourteen digits, likewise.
std::string regonKey(std::string_view text);
// The name's words with letter case, Polish letters, punctuation and legal forms ("sp. z o.o.",
// "S.A.", "spółka jawna", ...) taken away, run together; empty when nothing is left.
std::string nameKey(std::string_view text);
// The town's words without postal code and numbers, the same way.
std::string townKey(std::string_view text);

// The keys of a stored entry (EntryRecord bytes); each empty when the entry gives none. The
// name key joins both name lines and the seat's town.
struct EntryKeys {
    std::string nip;
    std::string regon;
    std::string nameTown;
};
void entryKeys(const char* record, EntryKeys& keys);

} // namespace kestrana::duplicates
