#pragma once

#include <QString>

#include <array>

namespace kestrana {

inline constexpr int kFilterCategoryCount = 20; // kat1..kat20
inline constexpr int kFilterGroupCount = 19;    // zaw1..zaw19

// The radio buttons of "Rozwiązanie umowy".
enum class ContractState {
    All,        // um1 "pokaż wszystkie wpisy"
    Signed,     // um2: contract-terminated flag clear
    Terminated, // um3: contract-terminated flag set
};

// What the filter panel holds: the panel's controls by their names. A default value is the
// panel at program start, which lets every entry through.
struct FilterCriteria {
    QString kod_s;
    QString nazwa1_s;
    QString nazwa2_s;
    QString miejscowosc_s;
    QString adres_s;
    QString wojewodztwo_s;
    QString telefon_s;
    QString mail_s;
    QString opis_s;
    std::array<bool, kFilterCategoryCount> kat{}; // kat[0] is kat1
    std::array<bool, kFilterGroupCount> zaw{};    // zaw[0] is zaw1
    ContractState um = ContractState::All;
    bool da1 = false; // "uwzględniaj daty"; da2 is its opposite
    QString oddaty_k;
    QString dodaty_k;
};

} // namespace kestrana
