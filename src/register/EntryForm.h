#pragma once

#include "register/EntryRecord.h"

#include <QString>

#include <array>

namespace kestrana {

// What the entry form shows: the 25 edit fields, the contract box and the 40 category and
// group boxes. The window copies its controls to and from this; the conversions below are
// the only way the record and the form meet.
struct EntryFormValues {
    std::array<QString, kTextFieldCount> texts;
    bool umowa = false;
    std::array<bool, kCategoryCount> k{};
    std::array<bool, kGroupCount> z{};

    QString& operator[](Field f) { return texts[static_cast<int>(f)]; }
    const QString& operator[](Field f) const { return texts[static_cast<int>(f)]; }
    bool operator==(const EntryFormValues&) const = default;
};

// Form to record: in add mode the buffer starts from zero bytes; otherwise it keeps its
// content, the reserved bytes included. Texts are cut to their widths.
void formToRecord(const EntryFormValues& form, EntryRecord& buffer, bool addMode);
// Record to form: texts copied; a flag byte 1 checks its box, 0 unchecks `umowa` but leaves a
// category or group box as it was (show flags settles those).
void recordToForm(const EntryRecord& buffer, EntryFormValues& form);
// Show flags: each category and group box checked exactly when its byte is 1.
void showFlags(const EntryRecord& buffer, EntryFormValues& form);
void clearForm(EntryFormValues& form);

// The contract picture for the record: terminated shows ks0.ico, in force ks1.ico.
QString contractPictureSubPath(const EntryRecord& buffer);

} // namespace kestrana
