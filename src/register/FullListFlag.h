#pragma once

#include <QString>

namespace kestrana {

// The two build buttons of the filter panel.
enum class ListBuild {
    Filtered,   // BitBtn10 "Buduj listę przefiltrowaną"
    Unfiltered, // BitBtn11 "Buduj listę bez filtrów"
};

// The full-list flag after a build button. Opening the panel turns it off as well; later
// rebuilds (view, sorting, saving, deleting) list every entry but leave the flag as it is, so it
// stays off after a filtered build until "Buduj listę bez filtrów".
constexpr bool fullListAfter(ListBuild button) {
    return button == ListBuild::Unfiltered;
}

// The label above the list (Label8) for the flag.
inline QString fullListCaption(bool fullList) {
    return fullList ? QStringLiteral("wszystkie wpisy")
                    : QStringLiteral("wybrana kategoria lub grupa");
}

} // namespace kestrana
