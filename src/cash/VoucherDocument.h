#pragma once

#include "cash/VoucherGrid.h"
#include "platform/FaultInjector.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

namespace kestrana {

struct Workstation;

// A saved voucher (*.kpw): one record of 4020 bytes holding only the grid, every cell a short
// string of 200 characters: the "Tytułem" cells of rows 0..9, then the "Kwota" cells. The file
// does not record the kind, so a KP document loads into a KW voucher too.
namespace kpw {

inline constexpr int SlotWidth = 200;
inline constexpr int SlotSize = SlotWidth + 1;
inline constexpr int Size = 2 * VoucherGrid::Rows * SlotSize;

// The save and open dialogs: filter, default extension, and where they start (below the
// working directory).
inline constexpr QStringView Filter = u"Dokumenty Kp i Kw (*.kpw)";
inline constexpr QStringView Extension = u"kpw";
QString documentsDirectory(const Workstation& ws);

// Cells longer than 200 characters are cut to their first 200.
QByteArray toBytes(const VoucherGrid& grid);
// Needs at least Size bytes.
VoucherGrid fromBytes(const QByteArray& bytes);

// "Zapisz dokument": creates or replaces the file as a whole.
void write(const QString& path, const VoucherGrid& grid, files::FaultInjector* faults = nullptr);
// "Czytaj dokument": empty when the name is empty or no file of that name exists. Throws
// IoError when the file cannot be read or is shorter than a record; a longer file is read by
// its first record.
std::optional<VoucherGrid> read(const QString& path);

} // namespace kpw

} // namespace kestrana
