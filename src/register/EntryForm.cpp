#include "register/EntryForm.h"

namespace kestrana {

void formToRecord(const EntryFormValues& form, EntryRecord& buffer, bool addMode) {
    if (addMode)
        buffer.clear();
    for (int i = 0; i < kTextFieldCount; ++i)
        buffer.setText(static_cast<Field>(i), form.texts[i]);
    buffer.setUmowa(form.umowa);
    for (int n = 1; n <= kCategoryCount; ++n)
        buffer.setCategory(n, form.k[n - 1]);
    for (int n = 1; n <= kGroupCount; ++n)
        buffer.setGroup(n, form.z[n - 1]);
}

void recordToForm(const EntryRecord& buffer, EntryFormValues& form) {
    for (int i = 0; i < kTextFieldCount; ++i)
        form.texts[i] = buffer.text(static_cast<Field>(i));
    if (buffer.umowaByte() == 1)
        form.umowa = true;
    else if (buffer.umowaByte() == 0)
        form.umowa = false;
    for (int n = 1; n <= kCategoryCount; ++n) {
        if (buffer.categoryByte(n) == 1)
            form.k[n - 1] = true;
    }
    for (int n = 1; n <= kGroupCount; ++n) {
        if (buffer.groupByte(n) == 1)
            form.z[n - 1] = true;
    }
}

void showFlags(const EntryRecord& buffer, EntryFormValues& form) {
    for (int n = 1; n <= kCategoryCount; ++n)
        form.k[n - 1] = buffer.category(n);
    for (int n = 1; n <= kGroupCount; ++n)
        form.z[n - 1] = buffer.group(n);
}

void clearForm(EntryFormValues& form) {
    form = EntryFormValues{};
}

QString contractPictureSubPath(const EntryRecord& buffer) {
    return buffer.umowa() ? QStringLiteral("OBRAZKI/ks0.ico") : QStringLiteral("OBRAZKI/ks1.ico");
}

} // namespace kestrana
