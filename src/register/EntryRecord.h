#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <array>

namespace kestrana {

// The 25 text fields of an entry, in record order; each is named like its edit control.
enum class Field {
    id,
    numer,
    data,
    nazwa1,
    nazwa2,
    miejscowosc,
    adres,
    wojewodztwo,
    telefon,
    mail,
    miejscowosck,
    adresk,
    wojewodztwok,
    personaliao,
    miejscowosco,
    adreso,
    wojewodztwoo,
    telefono,
    mailo,
    bank,
    konto,
    nip,
    pesel,
    regon,
    datamodyfikacji,
};

inline constexpr int kTextFieldCount = 25;
inline constexpr int kCategoryCount = 20;
inline constexpr int kGroupCount = 20;

struct FieldLayout {
    const char* name;
    int offset;
    int width; // characters; the field takes width + 1 bytes
};

const std::array<FieldLayout, kTextFieldCount>& fieldLayouts();
inline const FieldLayout& layoutOf(Field f) {
    return fieldLayouts()[static_cast<int>(f)];
}

// One company, exactly as stored in every file that holds entries (TWpis).
class EntryRecord {
public:
    static constexpr int Size = 1678;
    static constexpr int UmowaOffset = 1017;
    static constexpr int CategoriesOffset = 1018;
    static constexpr int GroupsOffset = 1038;
    static constexpr int ReservedOffset = 1058;
    static constexpr int ReservedSize = 620;

    EntryRecord() { bytes_.fill(0); }
    static EntryRecord fromBytes(const char* data);
    static EntryRecord fromBytes(const QByteArray& data);

    QString text(Field f) const;
    void setText(Field f, QStringView text);
    // The field's stored bytes (Windows-1250), without the length byte.
    QByteArray rawText(Field f) const;

    // Raw flag bytes: only the value 1 means set.
    unsigned char umowaByte() const { return byte(UmowaOffset); }
    bool umowa() const { return umowaByte() == 1; }
    void setUmowa(bool on) { bytes_[UmowaOffset] = on ? 1 : 0; }
    // Categories and groups are numbered from 1.
    unsigned char categoryByte(int n) const { return byte(CategoriesOffset + n - 1); }
    unsigned char groupByte(int n) const { return byte(GroupsOffset + n - 1); }
    bool category(int n) const { return categoryByte(n) == 1; }
    bool group(int n) const { return groupByte(n) == 1; }
    void setCategory(int n, bool on) { bytes_[CategoriesOffset + n - 1] = on ? 1 : 0; }
    void setGroup(int n, bool on) { bytes_[GroupsOffset + n - 1] = on ? 1 : 0; }

    void clear() { bytes_.fill(0); }
    const char* data() const { return bytes_.data(); }
    char* data() { return bytes_.data(); }
    QByteArray toByteArray() const { return QByteArray(bytes_.data(), Size); }
    bool operator==(const EntryRecord& other) const { return bytes_ == other.bytes_; }

private:
    unsigned char byte(int offset) const { return static_cast<unsigned char>(bytes_[offset]); }
    std::array<char, Size> bytes_;
};

// A record whose only content is the ID "1": what a new main file starts with.
EntryRecord firstEntryRecord();

} // namespace kestrana
