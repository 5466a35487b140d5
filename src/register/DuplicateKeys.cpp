#include "register/DuplicateKeys.h"

#include "platform/CodePage.h"
#include "register/EntryRecord.h"

#include <QString>

#include <algorithm>
#include <array>
#include <vector>

namespace kestrana::duplicates {

namespace {

// Each Windows-1250 byte as a lower-case letter or digit without its accent (ł as l), or 0 for
// everything that separates words.
const std::array<char, 256>& foldTable() {
    static const std::array<char, 256> table = [] {
        std::array<char, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const char byte = static_cast<char>(i);
            const QChar c = cp1250::decode(&byte, 1).at(0);
            if (!c.isLetterOrNumber())
                continue;
            QChar base = QString(c).normalized(QString::NormalizationForm_D).at(0).toLower();
            if (base == QChar(0x142)) // ł has no decomposition
                base = QLatin1Char('l');
            // A letter without a plain Latin base keeps its own byte, in lower case.
            t[i] = base.unicode() < 0x80 ? static_cast<char>(base.unicode())
                                         : cp1250::encodeChar(c.toLower().unicode());
        }
        return t;
    }();
    return table;
}

std::vector<std::string_view> words(std::string_view text, std::string& folded) {
    const auto& fold = foldTable();
    folded.resize(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        folded[i] = fold[static_cast<unsigned char>(text[i])];
    std::vector<std::string_view> result;
    size_t i = 0;
    while (i < folded.size()) {
        while (i < folded.size() && folded[i] == 0)
            ++i;
        const size_t start = i;
        while (i < folded.size() && folded[i] != 0)
            ++i;
        if (i > start)
            result.emplace_back(folded.data() + start, i - start);
    }
    return result;
}

// Legal forms as their words come out of words(): "sp. z o.o." gives sp z o o.
const std::vector<std::vector<std::string_view>>& legalForms() {
    static const std::vector<std::vector<std::string_view>> forms = {
        {"spolka", "z", "ograniczona", "odpowiedzialnoscia"},
        {"spolka", "komandytowo", "akcyjna"},
        {"prosta", "spolka", "akcyjna"},
        {"spolka", "akcyjna"},
        {"spolka", "jawna"},
        {"spolka", "komandytowa"},
        {"spolka", "partnerska"},
        {"spolka", "cywilna"},
        {"sp", "z", "o", "o"},
        {"sp", "z", "oo"},
        {"sp", "zoo"},
        {"spzoo"},
        {"sp", "k", "a"},
        {"s", "k", "a"},
        {"ska"},
        {"p", "s", "a"},
        {"psa"},
        {"s", "a"},
        {"sa"},
        {"sp", "j"},
        {"spj"},
        {"sp", "k"},
        {"spk"},
        {"sp", "p"},
        {"spp"},
        {"s", "c"},
        {"sc"},
    };
    return forms;
}

// How many words from `at` make a legal form; 0 when none starts there. The longest form is
// listed first among those sharing a start.
size_t legalFormAt(const std::vector<std::string_view>& list, size_t at) {
    for (const auto& form : legalForms()) {
        if (at + form.size() <= list.size() &&
            std::equal(form.begin(), form.end(), list.begin() + qsizetype(at)))
            return form.size();
    }
    return 0;
}

bool allDigits(std::string_view word) {
    return std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string digitsKey(std::string_view text, std::initializer_list<size_t> lengths) {
    std::string digits;
    for (const char c : text) {
        if (c >= '0' && c <= '9')
            digits.push_back(c);
    }
    if (std::find(lengths.begin(), lengths.end(), digits.size()) == lengths.end())
        return {};
    if (std::all_of(digits.begin(), digits.end(), [&](char c) { return c == digits.front(); }))
        return {};
    return digits;
}

} // namespace

std::string_view storedText(const char* record, int offset, int width) {
    const int length = std::min(static_cast<unsigned char>(record[offset]) + 0, width);
    return std::string_view(record + offset + 1, size_t(length));
}

std::string nipKey(std::string_view text) {
    return digitsKey(text, {10});
}

std::string regonKey(std::string_view text) {
    return digitsKey(text, {9, 14});
}

std::string nameKey(std::string_view text) {
    std::string folded;
    const std::vector<std::string_view> list = words(text, folded);
    std::string key;
    for (size_t i = 0; i < list.size();) {
        if (const size_t form = legalFormAt(list, i)) {
            i += form;
            continue;
        }
        key.append(list[i]);
        ++i;
    }
    return key;
}

std::string townKey(std::string_view text) {
    std::string folded;
    std::string key;
    for (const std::string_view word : words(text, folded)) {
        if (!allDigits(word))
            key.append(word);
    }
    return key;
}

void entryKeys(const char* record, EntryKeys& keys) {
    auto field = [record](Field f) {
        const FieldLayout& layout = layoutOf(f);
        return storedText(record, layout.offset, layout.width);
    };
    keys.nip = nipKey(field(Field::nip));
    keys.regon = regonKey(field(Field::regon));
    // Both lines as one name: a name broken elsewhere between the lines is the same name.
    std::string name(field(Field::nazwa1));
    name.push_back(' ');
    name.append(field(Field::nazwa2));
    keys.nameTown = nameKey(name);
    if (!keys.nameTown.empty()) {
        keys.nameTown.push_back('\x01');
        keys.nameTown.append(townKey(field(Field::miejscowosc)));
    }
}

} // namespace kestrana::duplicates
