#include "reports/DetailedPrintout.h"

#include "platform/CheckedFile.h"
#include "print/PrintRun.h"

#include <array>
#include <cstring>

namespace kestrana {

namespace {

constexpr int kRowHeight = 12;
constexpr int kFirstPageRows = 12;

struct Column {
    int x;
    int width;
};
constexpr std::array<Column, 7> kColumns = {{
    {10, 10},
    {20, 50},
    {70, 40},
    {110, 40},
    {150, 40},
    {190, 30},
    {220, 50},
}};

// A cell text: column x + 1, its line offset in the row, the field and how many characters are
// printed at most (0: the whole text). A text wider than its column is drawn smaller, and cut
// only below the smallest size, so that it never runs into the next column.
struct Cell {
    int x;
    int dy;
    Field field;
    int cut;
};
constexpr std::array<Cell, 16> kCells = {{
    {21, 1, Field::nazwa1, 40},
    {21, 5, Field::nazwa2, 40},
    {71, 1, Field::miejscowosc, 35},
    {71, 5, Field::adres, 35},
    {71, 8, Field::wojewodztwo, 35},
    {111, 1, Field::miejscowosck, 35},
    {111, 5, Field::adresk, 35},
    {111, 8, Field::wojewodztwok, 35},
    {151, 1, Field::personaliao, 35},
    {151, 5, Field::miejscowosco, 35},
    {151, 8, Field::adreso, 35},
    {191, 1, Field::nip, 0},
    {191, 5, Field::pesel, 0},
    {191, 8, Field::regon, 0},
    {221, 1, Field::bank, 45},
    {221, 5, Field::konto, 45},
}};

// The right side of the column a text at grid x starts in.
int columnRight(int x) {
    for (const Column& column : kColumns) {
        if (x >= column.x && x < column.x + column.width)
            return column.x + column.width;
    }
    return x;
}

void writeCell(PageHelper& page, int x, int y, const QString& text) {
    page.writeFitted(x, y, columnRight(x), text, kSmallestPrintPoints);
}

void frames(PageHelper& page, int y) {
    for (const Column& column : kColumns)
        page.Ramka(column.x, y, column.width, kRowHeight);
}

void header(PageHelper& page, int y) {
    writeCell(page, 11, y + 5, QStringLiteral("LP"));
    writeCell(page, 21, y + 5, QStringLiteral("Nazwa"));
    writeCell(page, 71, y + 5, QStringLiteral("Adres siedziby"));
    writeCell(page, 111, y + 5, QStringLiteral("Adres do korespondencji"));
    writeCell(page, 151, y + 5, QStringLiteral("Osoba kontaktowa"));
    writeCell(page, 191, y + 1, QStringLiteral("NIP"));
    writeCell(page, 191, y + 5, QStringLiteral("PESEL"));
    writeCell(page, 191, y + 8, QStringLiteral("REGON"));
    writeCell(page, 221, y + 5, QStringLiteral("Bank i konto"));
}

void printList(PageHelper& page, const PrintFont& font, const files::RecordSource& listFile,
               EntryRecord& buffer) {
    page.beginDocument();
    int y = 5;
    int number = 0;
    int rowsOnPage = 0;
    page.UstawStrone();
    page.Czcionka(font.face, font.size);
    page.Pisz(11, y + 1, QStringLiteral("Lista firm"));

    y += 10;
    frames(page, y);
    page.Czcionka(font.face, font.size);
    page.Pogrubienie(1);
    header(page, y);
    page.Pogrubienie(0);
    page.setFontStyle(font.style);

    files::RecordReader list(listFile, EntryRecord::Size);
    while (const char* record = list.next()) {
        std::memcpy(buffer.data(), record, EntryRecord::Size);
        y += kRowHeight;
        ++rowsOnPage;
        ++number;
        if (rowsOnPage > kFirstPageRows) {
            y = 5;
            rowsOnPage = 0;
            page.newPage();
        }
        frames(page, y);
        page.Czcionka(font.face, font.size);
        writeCell(page, 11, y + 4, QString::number(number));
        for (const Cell& cell : kCells) {
            const QString text = buffer.text(cell.field);
            writeCell(page, cell.x, y + cell.dy, cell.cut > 0 ? text.left(cell.cut) : text);
        }
    }
    list.close();
    page.ZakonczWydruk();
}

} // namespace

void printDetailedList(PageHelper& page, const PrintFont& font, const files::RecordSource& listFile,
                       EntryRecord& buffer) {
    page.UstawPoziomo();
    try {
        printList(page, font, listFile, buffer);
    } catch (...) {
        // The printer's orientation outlives this printout and the next one expects portrait;
        // a printer keeps its orientation while a job is open, so the job goes first.
        if (page.documentOpen())
            page.surface().abort();
        page.UstawPionowo();
        throw;
    }
    page.UstawPionowo();
}

bool runDetailedPrintout(Dialogs& dialogs, FontSettings& fonts, Register& reg) {
    const files::RecordSource listFile = reg.listSource();
    const QString name = QStringLiteral("Wydruk szczegółowy listy");
    return runPrintout(dialogs, fonts,
                       PrintDocument(name, name + QLatin1Char(' ') + reg.workstation().today),
                       [&](PageHelper& page, const PrintFont& font) {
                           printDetailedList(page, font, listFile, reg.buffer());
                       });
}

} // namespace kestrana
