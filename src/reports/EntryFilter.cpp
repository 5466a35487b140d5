#include "reports/EntryFilter.h"

#include "platform/CheckedFile.h"
#include "platform/CodePage.h"
#include "platform/DataPaths.h"
#include "platform/IoError.h"
#include "platform/ShortString.h"
#include "register/RegisterServer.h"
#include "reports/FilterText.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <string_view>

namespace kestrana {

namespace {

std::string encoded(const QString& text) {
    const QByteArray bytes = cp1250::encode(text);
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

std::string_view storedText(const EntryRecord& record, int offset, int width) {
    const char* field = record.data() + offset;
    return {field + 1, static_cast<size_t>(shortStringLength(field, width))};
}

std::string_view storedText(const EntryRecord& record, Field f) {
    const FieldLayout& l = layoutOf(f);
    return storedText(record, l.offset, l.width);
}

// Ordinal comparison of the bytes as unsigned characters; a proper prefix is the smaller.
bool before(std::string_view a, std::string_view b) {
    const int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    return c < 0 || (c == 0 && a.size() < b.size());
}

bool contains(std::string_view haystack, std::string_view needle) {
    return haystack.find(needle) != std::string_view::npos;
}

} // namespace

EntryFilter::EntryFilter(const FilterCriteria& c, const Workstation& ws, SkipReport report)
    : dates_(c.da1), contract_(c.um), report_(std::move(report)) {
    // Encoded, such a text would look for '?' where the user typed something else.
    if (!unencodableFilterTexts(c).isEmpty()) {
        none_ = true;
        return;
    }
    if (dates_) {
        from_ = encoded(c.oddaty_k);
        to_ = encoded(c.dodaty_k);
    }
    for (int i = 0; i < kFilterCategoryCount; ++i) {
        if (c.kat[i])
            flagOffsets_.push_back(EntryRecord::CategoriesOffset + i);
    }
    for (int j = 0; j < kFilterGroupCount; ++j) {
        if (c.zaw[j])
            flagOffsets_.push_back(EntryRecord::GroupsOffset + j);
    }
    const std::pair<const QString&, Field> fields[] = {
        {c.kod_s, Field::numer},       {c.nazwa1_s, Field::nazwa1},
        {c.nazwa2_s, Field::nazwa2},   {c.miejscowosc_s, Field::miejscowosc},
        {c.adres_s, Field::adres},     {c.wojewodztwo_s, Field::wojewodztwo},
        {c.telefon_s, Field::telefon}, {c.mail_s, Field::mail},
    };
    // An empty text scores its point for every entry, so only the others are tested.
    for (const auto& [text, field] : fields) {
        if (!text.isEmpty())
            texts_.push_back({layoutOf(field).offset, layoutOf(field).width, encoded(text)});
    }
    if (!c.opis_s.isEmpty()) {
        description_ = encoded(c.opis_s);
        if (ws.server)
            serverDescriptions_ = ws.server->descriptionsContaining(
                QByteArray(description_.data(), qsizetype(description_.size())));
        else
            descriptions_.emplace(ws);
    }
}

bool EntryFilter::accepts(const EntryRecord& record) const {
    if (none_)
        return false;
    if (dates_) {
        const std::string_view date = storedText(record, Field::data);
        if (before(date, from_) || before(to_, date))
            return false;
    }
    if (contract_ == ContractState::Signed && record.umowaByte() != 0)
        return false;
    if (contract_ == ContractState::Terminated && record.umowaByte() != 1)
        return false;
    for (const int offset : flagOffsets_) {
        if (record.data()[offset] != 1)
            return false;
    }
    for (const TextCondition& t : texts_) {
        if (!contains(storedText(record, t.offset, t.width), t.text))
            return false;
    }
    return description_.empty() || descriptionMatches(record);
}

// The file is read line by line (CR LF, LF or CR end a line); a match never spans two lines.
// No file, or an ID that cannot name one, fails the condition.
bool EntryFilter::descriptionMatches(const EntryRecord& record) const {
    const std::string_view id = storedText(record, Field::id);
    if (serverDescriptions_) {
        const QString text = QString::fromLatin1(id.data(), qsizetype(id.size()));
        const auto found = serverDescriptions_->constFind(text);
        return isPlainId(text) && found != serverDescriptions_->cend() &&
               descriptionTextMatches(*found);
    }
    const QString path =
        descriptions_->find(QByteArrayView(id.data(), static_cast<qsizetype>(id.size())));
    if (path.isEmpty())
        return false;
    QByteArray bytes;
    try {
        bytes = files::readFile(path);
    } catch (const IoError& e) {
        // Deleted since the directory was listed: as missing as a file that never existed.
        // One that cannot be read fails this entry alone, and is told once.
        if (e.errorNumber() != ENOENT && report_ && !reported_.contains(path)) {
            reported_.insert(path);
            report_(QStringLiteral("Filtr opisu pominął wpis %1, bo nie można odczytać jego "
                                   "opisu: %2")
                        .arg(QString::fromLatin1(id.data(), qsizetype(id.size())), e.text()));
        }
        return false;
    }
    return descriptionTextMatches(bytes);
}

bool EntryFilter::descriptionTextMatches(const QByteArray& bytes) const {
    const std::string_view text(bytes.constData(), static_cast<size_t>(bytes.size()));
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        if (contains(text.substr(start, end - start), description_))
            return true;
        start = end + 1;
    }
    return false;
}

Preselection EntryFilter::preselection() const {
    const auto bytes = [](const std::string& text) {
        return QByteArray(text.data(), qsizetype(text.size()));
    };
    Preselection p;
    // An entry none_ drops needs no test of its own: the workstation drops it anyway.
    if (none_)
        return p;
    if (dates_) {
        const FieldLayout& l = layoutOf(Field::data);
        p.ranges.push_back({l.offset, l.width, bytes(from_), bytes(to_)});
    }
    if (contract_ == ContractState::Signed)
        p.bytes.push_back({EntryRecord::UmowaOffset, 0});
    if (contract_ == ContractState::Terminated)
        p.bytes.push_back({EntryRecord::UmowaOffset, 1});
    for (const int offset : flagOffsets_)
        p.bytes.push_back({offset, 1});
    for (const TextCondition& t : texts_)
        p.texts.push_back({t.offset, t.width, bytes(t.text)});
    return p;
}

Register::Filter makeEntryFilter(const FilterCriteria& criteria, const Workstation& ws,
                                 EntryFilter::SkipReport report) {
    auto filter = std::make_shared<const EntryFilter>(criteria, ws, std::move(report));
    return Register::Filter([filter](const EntryRecord& record) { return filter->accepts(record); },
                            filter->preselection());
}

} // namespace kestrana
