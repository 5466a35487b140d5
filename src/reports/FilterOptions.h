#pragma once

#include "reports/FilterCriteria.h"

#include <QString>
#include <QStringList>

namespace kestrana {

// The filter panel as command-line options: --kod --nazwa1 --nazwa2 --miejscowosc --adres
// --wojewodztwo --telefon --mail --opis TEXT, --kat N and --grupa N (repeatable),
// --umowa all|signed|terminated, --od DATE and --do DATE (either turns the date range on).
struct FilterOptions {
    bool given = false; // any filter option at all: the list is built as the filter pass
    FilterCriteria criteria;
    QString error;    // not empty when an option is malformed
    QStringList rest; // the arguments that are not filter options
};

FilterOptions parseFilterOptions(const QStringList& args);

} // namespace kestrana
