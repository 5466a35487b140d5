#include "register/EntryRecord.h"

#include "platform/ShortString.h"

#include <cstring>

namespace kestrana {

const std::array<FieldLayout, kTextFieldCount>& fieldLayouts() {
    static const std::array<FieldLayout, kTextFieldCount> layouts = {{
        {"id", 0, 10},
        {"numer", 11, 20},
        {"data", 32, 10},
        {"nazwa1", 43, 60},
        {"nazwa2", 104, 60},
        {"miejscowosc", 165, 40},
        {"adres", 206, 40},
        {"wojewodztwo", 247, 40},
        {"telefon", 288, 40},
        {"mail", 329, 40},
        {"miejscowosck", 370, 40},
        {"adresk", 411, 40},
        {"wojewodztwok", 452, 40},
        {"personaliao", 493, 60},
        {"miejscowosco", 554, 40},
        {"adreso", 595, 40},
        {"wojewodztwoo", 636, 40},
        {"telefono", 677, 40},
        {"mailo", 718, 40},
        {"bank", 759, 60},
        {"konto", 820, 60},
        {"nip", 881, 40},
        {"pesel", 922, 40},
        {"regon", 963, 40},
        {"datamodyfikacji", 1004, 12},
    }};
    return layouts;
}

EntryRecord EntryRecord::fromBytes(const char* data) {
    EntryRecord r;
    std::memcpy(r.bytes_.data(), data, Size);
    return r;
}

EntryRecord EntryRecord::fromBytes(const QByteArray& data) {
    EntryRecord r;
    std::memcpy(r.bytes_.data(), data.constData(), std::min<size_t>(Size, data.size()));
    return r;
}

QString EntryRecord::text(Field f) const {
    const FieldLayout& l = layoutOf(f);
    return readShortString(bytes_.data() + l.offset, l.width);
}

void EntryRecord::setText(Field f, QStringView text) {
    const FieldLayout& l = layoutOf(f);
    writeShortString(bytes_.data() + l.offset, l.width, text);
}

QByteArray EntryRecord::rawText(Field f) const {
    const FieldLayout& l = layoutOf(f);
    const char* field = bytes_.data() + l.offset;
    return QByteArray(field + 1, shortStringLength(field, l.width));
}

EntryRecord firstEntryRecord() {
    EntryRecord r;
    r.setText(Field::id, u"1");
    return r;
}

} // namespace kestrana
