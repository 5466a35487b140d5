#pragma once

#include "register/EntryRecord.h"
#include "register/Register.h"
#include "reports/DescriptionFile.h"
#include "reports/FilterCriteria.h"
#include "station/Workstation.h"

#include <QHash>
#include <QSet>

#include <functional>

#include <optional>
#include <string>
#include <vector>

namespace kestrana {

// The entry test of a filtered list build, prepared once per build from the panel's criteria:
// the texts are encoded to Windows-1250 once and compared byte for byte with the record's
// stored bytes, so testing a record allocates nothing unless its description file is read.
class EntryFilter {
public:
    // Told once for each description file that cannot be read (Polish text).
    using SkipReport = std::function<void(const QString& text)>;
    // Lists the descriptions directory when `opis_s` is given (IoError when it cannot); in
    // server mode it fetches the descriptions that hold the text somewhere instead.
    EntryFilter(const FilterCriteria& criteria, const Workstation& ws, SkipReport report = {});

    // A text the register's code page cannot hold (see FilterText.h) drops every entry.
    // Otherwise the first failing step drops the entry: registration dates, contract state,
    // categories, groups, the eight field texts, then the description. The description file is read
    // last, only for an entry that passed everything else; a file that cannot be read (a link,
    // no permission) drops that entry only, and is told to the report once.
    bool accepts(const EntryRecord& record) const;

    // The conditions of accepts() a storage can test on the stored bytes: dates, contract
    // state, categories, groups and field texts; the description is left to accepts().
    Preselection preselection() const;

private:
    struct TextCondition {
        int offset;
        int width;
        std::string text;
    };
    bool descriptionMatches(const EntryRecord& record) const;

    bool none_ = false;
    bool dates_ = false;
    std::string from_;
    std::string to_;
    ContractState contract_ = ContractState::All;
    std::vector<int> flagOffsets_; // required category and group bytes
    std::vector<TextCondition> texts_;
    std::string description_;
    std::optional<DescriptionDirectory> descriptions_;
    std::optional<QHash<QString, QByteArray>> serverDescriptions_; // by ID
    SkipReport report_;
    mutable QSet<QString> reported_; // files told to the report already
    bool descriptionTextMatches(const QByteArray& bytes) const;
};

// The filter for Register::buildList: the entry test of "Buduj listę przefiltrowaną".
Register::Filter makeEntryFilter(const FilterCriteria& criteria, const Workstation& ws,
                                 EntryFilter::SkipReport report = {});

} // namespace kestrana
