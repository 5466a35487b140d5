#include "exchange/CsvColumns.h"

namespace kestrana::csv {

const QStringList& fixedHeadings() {
    static const QStringList headings = {
        QStringLiteral("ID"),
        QStringLiteral("Kod"),
        QStringLiteral("Data"),
        QStringLiteral("Nazwa"),
        QStringLiteral("Nazwa (2. linia)"),
        QStringLiteral("Miejscowość"),
        QStringLiteral("Adres"),
        QStringLiteral("Województwo"),
        QStringLiteral("Telefon"),
        QStringLiteral("E-mail"),
        QStringLiteral("Miejscowość (korespondencja)"),
        QStringLiteral("Adres (korespondencja)"),
        QStringLiteral("Województwo (korespondencja)"),
        QStringLiteral("Personalia"),
        QStringLiteral("Miejscowość (kontakt)"),
        QStringLiteral("Adres (kontakt)"),
        QStringLiteral("Województwo (kontakt)"),
        QStringLiteral("Telefon (kontakt)"),
        QStringLiteral("E-mail (kontakt)"),
        QStringLiteral("Bank"),
        QStringLiteral("Konto"),
        QStringLiteral("NIP"),
        QStringLiteral("PESEL"),
        QStringLiteral("REGON"),
        QStringLiteral("Data ostatniej modyfikacji"),
        QStringLiteral("umowa rozwiązana"),
    };
    return headings;
}

QStringList headerRow(const CategoryNames& names) {
    QStringList row = fixedHeadings();
    const auto heading = [](const QString& name, const QString& fallback, int n) {
        return name.trimmed().isEmpty() ? fallback.arg(n) : name;
    };
    for (int n = 1; n <= kCategoryCount; ++n)
        row << heading(names.categories[n - 1], QStringLiteral("Kategoria %1"), n);
    for (int n = 1; n <= kGroupCount; ++n)
        row << heading(names.groups[n - 1], QStringLiteral("Grupa %1"), n);
    return row;
}

QString markText() {
    return QStringLiteral("tak");
}

QStringList entryRow(const EntryRecord& record) {
    QStringList row;
    row.reserve(kColumnCount);
    for (int i = 0; i < kTextFieldCount; ++i)
        row << record.text(static_cast<Field>(i));
    const auto mark = [](bool on) { return on ? markText() : QString(); };
    row << mark(record.umowa());
    for (int n = 1; n <= kCategoryCount; ++n)
        row << mark(record.category(n));
    for (int n = 1; n <= kGroupCount; ++n)
        row << mark(record.group(n));
    return row;
}

} // namespace kestrana::csv
