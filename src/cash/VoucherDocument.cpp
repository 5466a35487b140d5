#include "cash/VoucherDocument.h"

#include "platform/CheckedFile.h"
#include "platform/ShortString.h"
#include "station/Workstation.h"

namespace kestrana::kpw {

namespace {

int tytulemOffset(int row) {
    return SlotSize * row;
}
int kwotaOffset(int row) {
    return SlotSize * (VoucherGrid::Rows + row);
}

} // namespace

QString documentsDirectory(const Workstation& ws) {
    return ws.localPath(QStringLiteral("Dokumenty"));
}

QByteArray toBytes(const VoucherGrid& grid) {
    QByteArray bytes(Size, '\0');
    for (int r = 0; r < VoucherGrid::Rows; ++r) {
        writeShortString(bytes.data() + tytulemOffset(r), SlotWidth, grid.tytulem[r]);
        writeShortString(bytes.data() + kwotaOffset(r), SlotWidth, grid.kwota[r]);
    }
    return bytes;
}

VoucherGrid fromBytes(const QByteArray& bytes) {
    VoucherGrid grid;
    if (bytes.size() < Size)
        return grid;
    for (int r = 0; r < VoucherGrid::Rows; ++r) {
        grid.tytulem[r] = readShortString(bytes.constData() + tytulemOffset(r), SlotWidth);
        grid.kwota[r] = readShortString(bytes.constData() + kwotaOffset(r), SlotWidth);
    }
    return grid;
}

void write(const QString& path, const VoucherGrid& grid, files::FaultInjector* faults) {
    files::replaceFile(path, toBytes(grid), faults);
}

std::optional<VoucherGrid> read(const QString& path) {
    if (path.isEmpty() || !files::exists(path))
        return std::nullopt;
    return fromBytes(files::readRecord(path, 0, Size));
}

} // namespace kestrana::kpw
