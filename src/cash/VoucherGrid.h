#pragma once

#include <QString>

#include <array>

namespace kestrana {

// The voucher's item grid `tabela`: ten rows of a "Tytułem" text and a "Kwota" text.
struct VoucherGrid {
    static constexpr int Rows = 10;
    std::array<QString, Rows> tytulem; // column 0
    std::array<QString, Rows> kwota;   // column 1

    bool operator==(const VoucherGrid&) const = default;
};

} // namespace kestrana
