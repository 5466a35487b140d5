#include "reports/FilterText.h"

#include "platform/CodePage.h"

#include <QStringList>

namespace kestrana {

QList<UnencodableFilterText> unencodableFilterTexts(const FilterCriteria& c) {
    struct Text {
        const QString& value;
        const char16_t* label;
        const char* option;
    };
    QList<Text> texts = {
        {c.kod_s, u"Kod", "--kod"},
        {c.nazwa1_s, u"Nazwa", "--nazwa1"},
        {c.nazwa2_s, u"Nazwa (2. linia)", "--nazwa2"},
        {c.miejscowosc_s, u"Miejscowość", "--miejscowosc"},
        {c.adres_s, u"Adres", "--adres"},
        {c.wojewodztwo_s, u"Województwo", "--wojewodztwo"},
        {c.telefon_s, u"Telefon", "--telefon"},
        {c.mail_s, u"E-mail", "--mail"},
        {c.opis_s, u"Szukaj w opisie", "--opis"},
    };
    if (c.da1) {
        texts.append({c.oddaty_k, u"od daty", "--od"});
        texts.append({c.dodaty_k, u"do daty", "--do"});
    }
    QList<UnencodableFilterText> found;
    for (const Text& text : std::as_const(texts)) {
        const QString missing = cp1250::missingCharacters(text.value);
        if (!missing.isEmpty())
            found.append({QString::fromUtf16(text.label), QLatin1String(text.option), missing});
    }
    return found;
}

QString unencodableFilterMessage(const QList<UnencodableFilterText>& texts, bool commandLine) {
    if (texts.isEmpty())
        return {};
    QStringList parts;
    for (const UnencodableFilterText& text : texts)
        parts << QStringLiteral("„%1” (%2)")
                     .arg(text.characters, commandLine ? text.option : text.label);
    return QStringLiteral("Filtr zawiera znaki, których nie ma w polskim kodowaniu Windows-1250, "
                          "w którym rejestr zapisuje teksty: %1. Żaden wpis nie może ich "
                          "zawierać, więc lista jest pusta.")
        .arg(parts.join(QStringLiteral(", ")));
}

} // namespace kestrana
