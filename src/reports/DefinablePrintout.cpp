#include "reports/DefinablePrintout.h"

#include "platform/CheckedFile.h"
#include "print/PrintRun.h"

#include <cstring>

namespace kestrana {

namespace {

constexpr std::array<Field, 11> kChoiceFields = {
    Field::miejscowosc, Field::adres, Field::telefon, Field::mail,  Field::numer,      Field::bank,
    Field::konto,       Field::nip,   Field::pesel,   Field::regon, Field::personaliao};

constexpr int kFieldCut = 40;
constexpr int kNameCut = 35;

// The five areas of a row: x and width in grid steps.
constexpr std::array<std::array<int, 2>, 5> kAreas = {
    {{10, 10}, {20, 40}, {60, 50}, {110, 50}, {160, 20}}};

// Where a box's line sits in its row: area x + 1 and the line's offset.
int boxX(int box) {
    return box <= 3 ? 61 : 111;
}
int boxDy(int box, RowForm form) {
    if (form == RowForm::OneLine)
        return 1;
    return 1 + 4 * ((box - 1) % 3);
}

// The right side of the area a text at grid x starts in.
int areaRight(int x) {
    for (const auto& [areaX, width] : kAreas) {
        if (x >= areaX && x < areaX + width)
            return areaX + width;
    }
    return x;
}

// A text wider than its area is drawn smaller, and cut only below the smallest size, so that
// it never runs into the next area.
void writeCell(PageHelper& page, int x, int y, const QString& text) {
    page.writeFitted(x, y, areaRight(x), text, kSmallestPrintPoints);
}

void frames(PageHelper& page, int y, int height) {
    for (const auto& [x, width] : kAreas)
        page.Ramka(x, y, width, height);
}

void header(PageHelper& page, int y, const DefinableSettings& settings) {
    const int dy = settings.form == RowForm::OneLine ? 1 : 5;
    writeCell(page, 11, y + dy, QStringLiteral("LP"));
    writeCell(page, 21, y + dy, QStringLiteral("Personalia"));
    for (int box = 1; box <= kDefinableBoxCount; ++box) {
        if (definableBoxInUse(box, settings.form))
            writeCell(page, boxX(box), y + boxDy(box, settings.form), settings.pole[box - 1]);
    }
    writeCell(page, 161, y + dy, QStringLiteral("Uwagi"));
}

} // namespace

const QStringList& definableFieldChoices() {
    static const QStringList choices = {
        QString(),
        QStringLiteral("Miejscowość"),
        QStringLiteral("Adres"),
        QStringLiteral("Telefon"),
        QStringLiteral("E-mail"),
        QStringLiteral("Kod"),
        QStringLiteral("Bank"),
        QStringLiteral("Konto"),
        QStringLiteral("NIP"),
        QStringLiteral("PESEL"),
        QStringLiteral("REGON"),
        QStringLiteral("Odpowiedzialny"),
    };
    return choices;
}

std::optional<Field> definableField(const QString& boxText) {
    const qsizetype position = definableFieldChoices().indexOf(boxText);
    if (position < 1)
        return std::nullopt;
    return kChoiceFields[position - 1];
}

bool definableBoxInUse(int box, RowForm form) {
    if (box < 1 || box > kDefinableBoxCount)
        return false;
    return form == RowForm::ThreeLines || box == 2 || box == 5;
}

int definableRowHeight(RowForm form) {
    return form == RowForm::OneLine ? 6 : 13;
}

int definablePageLimit(RowForm form) {
    return form == RowForm::OneLine ? 40 : 18;
}

void printDefinableList(PageHelper& page, const PrintFont& font, const DefinableSettings& settings,
                        const files::RecordSource& listFile, EntryRecord& buffer) {
    page.beginDocument();
    int y = 5;
    int number = 0;
    int rowsOnPage = 0;
    page.UstawStrone();

    page.Czcionka(font.face, headingPoints(font));
    page.Pisz(11, y + 1, QStringLiteral("Lista firm"));
    y += 8;
    page.Czcionka(font.face, font.size);
    page.Pisz(11, y + 1, settings.tytul);
    y += 8;

    const int rowHeight = definableRowHeight(settings.form);
    const int pageLimit = definablePageLimit(settings.form);
    const int nameDy = settings.form == RowForm::OneLine ? 1 : 5;

    frames(page, y, rowHeight);
    page.Czcionka(font.face, font.size);
    page.Pogrubienie(1);
    header(page, y, settings);
    page.Pogrubienie(0);
    page.setFontStyle(font.style);

    std::array<std::optional<Field>, kDefinableBoxCount> fields;
    for (int box = 1; box <= kDefinableBoxCount; ++box) {
        if (definableBoxInUse(box, settings.form))
            fields[box - 1] = definableField(settings.pole[box - 1]);
    }

    files::RecordReader list(listFile, EntryRecord::Size);
    while (const char* record = list.next()) {
        std::memcpy(buffer.data(), record, EntryRecord::Size);
        y += rowHeight;
        ++rowsOnPage;
        ++number;
        if (rowsOnPage > pageLimit) {
            y = 5;
            rowsOnPage = 0;
            page.newPage();
        }
        frames(page, y, rowHeight);
        page.Czcionka(font.face, font.size);
        writeCell(page, 11, y + nameDy, QString::number(number));
        writeCell(page, 21, y + nameDy, buffer.text(Field::nazwa1).left(kNameCut));
        for (int box = 1; box <= kDefinableBoxCount; ++box) {
            if (!definableBoxInUse(box, settings.form))
                continue;
            const std::optional<Field> field = fields[box - 1];
            writeCell(page, boxX(box), y + boxDy(box, settings.form),
                      field ? buffer.text(*field).left(kFieldCut) : QString());
        }
    }
    list.close();
    page.ZakonczWydruk();
}

bool runDefinablePrintout(Dialogs& dialogs, FontSettings& fonts, Register& reg,
                          const DefinableSettings& settings) {
    const files::RecordSource listFile = reg.listSource();
    const QString name = QStringLiteral("Wydruk definiowalny");
    return runPrintout(dialogs, fonts,
                       PrintDocument(name, name + QLatin1Char(' ') + reg.workstation().today),
                       [&](PageHelper& page, const PrintFont& font) {
                           printDefinableList(page, font, settings, listFile, reg.buffer());
                       });
}

} // namespace kestrana
