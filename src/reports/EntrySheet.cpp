#include "reports/EntrySheet.h"

#include "platform/CheckedFile.h"
#include "platform/CodePage.h"
#include "print/PrintRun.h"

#include <QFileInfo>

namespace kestrana {

namespace {

constexpr int kSheetX = 5;

QString prefixed(const char* prefix, const QString& value) {
    return QString::fromUtf8(prefix) + value;
}

} // namespace

EntrySheet entrySheet(const EntryFormValues& f) {
    using F = Field;
    EntrySheet sheet;
    sheet.names = {{10, f[F::nazwa1]}, {20, f[F::nazwa2]}};
    sheet.sections = {
        {{45, QStringLiteral("1.Adres siedziby")},
         {{50, f[F::miejscowosc]},
          {55, f[F::adres]},
          {60, f[F::wojewodztwo]},
          {65, prefixed("Tel ", f[F::telefon])},
          {70, prefixed("E-mail ", f[F::mail])}}},
        {{80, QStringLiteral("2.Adres do korespondecji")},
         {{85, f[F::miejscowosck]}, {90, f[F::adresk]}, {95, f[F::wojewodztwok]}}},
        {{105, QStringLiteral("3.Osoba odpowiedzialna za kontakt")},
         {{110, f[F::personaliao]},
          {115, f[F::miejscowosco]},
          {120, f[F::adreso]},
          {125, f[F::wojewodztwoo]},
          {130, prefixed("Tel ", f[F::telefono])},
          {135, prefixed("E-mail ", f[F::mailo])}}},
        {{145, QStringLiteral("4.Bank i konto")}, {{150, f[F::bank]}, {155, f[F::konto]}}},
        {{165, QStringLiteral("5.Dokumenty")},
         {{170, prefixed("NIP ", f[F::nip])},
          {175, prefixed("PESEL ", f[F::pesel])},
          {180, prefixed("REGON ", f[F::regon])}}},
        {{190, QStringLiteral("6.Położenie w bazie")},
         {{195, prefixed("Data rejestracji ", f[F::data])},
          {200, prefixed("Kod ", f[F::numer])},
          {205, prefixed("ID ", f[F::id])}}},
    };
    return sheet;
}

QStringList entrySheetLines(const EntryFormValues& form) {
    const EntrySheet sheet = entrySheet(form);
    QStringList lines;
    for (const SheetLine& name : sheet.names)
        lines.append(name.text);
    for (const SheetSection& section : sheet.sections) {
        lines.append(QString());
        lines.append(section.heading.text);
        for (const SheetLine& value : section.values)
            lines.append(value.text);
    }
    return lines;
}

QByteArray entrySheetFileBytes(const EntryFormValues& form) {
    QByteArray bytes;
    for (const QString& line : entrySheetLines(form))
        bytes += cp1250::encode(line) + "\r\n";
    return bytes;
}

void printEntrySheet(PageHelper& page, const PrintFont& font, const EntryFormValues& form) {
    const EntrySheet sheet = entrySheet(form);
    page.UstawPionowo();
    page.beginDocument();
    page.UstawStrone();
    page.Czcionka(font.face, font.size);

    page.Pogrubienie(1);
    for (const SheetLine& line : sheet.names)
        page.Pisz(kSheetX, line.y, line.text);
    page.Pogrubienie(0);
    page.setFontStyle(font.style);

    for (const SheetSection& section : sheet.sections) {
        page.Pogrubienie(1);
        page.Czcionka(font.face, font.size);
        page.Pisz(kSheetX, section.heading.y, section.heading.text);
        page.Pogrubienie(0);
        page.setFontStyle(font.style);
        page.Czcionka(font.face, font.size);
        for (const SheetLine& line : section.values)
            page.Pisz(kSheetX, line.y, line.text);
    }
    page.ZakonczWydruk();
}

QString withTextExtension(const QString& fileName) {
    if (fileName.isEmpty() || QFileInfo(fileName).fileName().contains(QLatin1Char('.')))
        return fileName;
    return fileName + QStringLiteral(".txt");
}

void writeEntrySheet(const QString& path, const EntryFormValues& form,
                     files::FaultInjector* faults) {
    files::replaceFile(path, entrySheetFileBytes(form), faults);
}

bool runEntrySheetPrintout(Dialogs& dialogs, FontSettings& fonts, const EntryFormValues& form) {
    // The file is named after the entry: "Wpis 17 Zakład Stolarski".
    QString file = QStringLiteral("Wpis");
    for (const Field field : {Field::id, Field::nazwa1}) {
        if (!form[field].trimmed().isEmpty())
            file += QLatin1Char(' ') + form[field].trimmed();
    }
    return runPrintout(
        dialogs, fonts, PrintDocument(QStringLiteral("Wydruk aktualnego rekordu"), file),
        [&](PageHelper& page, const PrintFont& font) { printEntrySheet(page, font, form); });
}

bool exportEntrySheet(Dialogs& dialogs, const EntryFormValues& form, const QString& dir) {
    const QString chosen = dialogs.saveFileName(QStringLiteral("Do pliku"), dir,
                                                QStringLiteral("Pliki tekstowe (*.txt)"));
    if (chosen.isEmpty())
        return false;
    writeEntrySheet(withTextExtension(chosen), form);
    return true;
}

} // namespace kestrana
