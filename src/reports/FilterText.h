#pragma once

#include "reports/FilterCriteria.h"

#include <QList>
#include <QString>

namespace kestrana {

// A filter text with characters Windows-1250 lacks. The register keeps its texts in that code
// page, so no entry can contain such a text: the filter lets nothing through, and says why.
struct UnencodableFilterText {
    QString label;      // the filter panel's label of the field ("Nazwa")
    QString option;     // kestrana-cli's option for it ("--nazwa1")
    QString characters; // the characters the code page lacks, each once
};

// The texts of `criteria` that the filter tests (the dates only while they count) and that hold
// characters the code page lacks, in the panel's order.
QList<UnencodableFilterText> unencodableFilterTexts(const FilterCriteria& criteria);

// What the user is told: the characters, the fields (by the panel's labels, or by the command
// line's options) and that the list is empty for them. Empty when `texts` is.
QString unencodableFilterMessage(const QList<UnencodableFilterText>& texts, bool commandLine);

} // namespace kestrana
