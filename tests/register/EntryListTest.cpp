#include "register/EntryList.h"
#include "register/ListLine.h"
#include "register/Search.h"
#include "support/TestRegistry.h"

#include <QRandomGenerator>
#include <QTest>

#include <vector>

using namespace kestrana;

namespace {

// Entries whose shown fields hold every Polish letter, blanks at both ends, the longest texts
// the fields take, bytes Windows-1250 leaves undefined and length bytes above the field width.
std::vector<EntryRecord> generatedEntries(int count) {
    QRandomGenerator rng(19);
    const QString letters =
        QStringLiteral("aąbcćdeęfghijklłmnńoóprsśtuwyzźżAĄBCĆDEĘFGHIJKLŁMNŃOÓPRSŚTUWYZŹŻ 0123@.-");
    const auto text = [&](int maxLength) {
        QString s;
        const int length = static_cast<int>(rng.bounded(maxLength + 1));
        for (int i = 0; i < length; ++i)
            s += letters[static_cast<qsizetype>(rng.bounded(letters.size()))];
        return s;
    };
    std::vector<EntryRecord> entries;
    for (int i = 0; i < count; ++i) {
        EntryRecord r;
        for (Field f :
             {Field::numer, Field::nazwa1, Field::nazwa2, Field::telefon, Field::mail, Field::nip})
            r.setText(f, text(i % 7 == 0 ? 60 : 30));
        if (i % 11 == 0) // a raw byte no Polish text holds, and a length byte too large
            r.data()[layoutOf(Field::nazwa2).offset + 1] = '\x81';
        if (i % 13 == 0)
            r.data()[layoutOf(Field::nip).offset] = '\xff';
        entries.push_back(r);
    }
    return entries;
}

// Each entry gets a record number of its own, not its row: a filtered list skips some.
qint64 numberOf(int row) {
    return row * 3 + 1;
}

EntryList listOf(const std::vector<EntryRecord>& entries, ViewMode mode) {
    EntryList list;
    for (size_t i = 0; i < entries.size(); ++i)
        list.append(entries[i], numberOf(static_cast<int>(i)), mode);
    return list;
}

void addViews() {
    QTest::addColumn<int>("mode");
    for (int mode = 1; mode <= 5; ++mode)
        QTest::newRow(qPrintable(QString::number(mode))) << mode;
}

} // namespace

class EntryListTest : public QObject {
    Q_OBJECT

private slots:
    // The compact list shows, line by line, what the list of whole lines showed.
    void linesAreTheListLines_data() { addViews(); }
    void linesAreTheListLines() {
        QFETCH(int, mode);
        const auto view = static_cast<ViewMode>(mode);
        const std::vector<EntryRecord> entries = generatedEntries(3000);
        const EntryList list = listOf(entries, view);
        QCOMPARE(list.count(), 3000);
        for (int row = 0; row < list.count(); ++row) {
            const QString expected =
                listLine(entries[static_cast<size_t>(row)], numberOf(row), view);
            if (list.line(row) != expected)
                QFAIL(qPrintable(
                    QStringLiteral("row %1:\n%2\n%3").arg(row).arg(list.line(row), expected)));
            QCOMPARE(list.recordNumber(row), numberOf(row));
        }
    }

    // The search over the compact list finds what the search over the lines finds.
    void searchFindsWhatTheLinesSearchFinds_data() { addViews(); }
    void searchFindsWhatTheLinesSearchFinds() {
        QFETCH(int, mode);
        const auto view = static_cast<ViewMode>(mode);
        const std::vector<EntryRecord> entries = generatedEntries(400);
        const EntryList list = listOf(entries, view);
        const QStringList lines = list.lines();
        QStringList texts = {QStringLiteral("ą"),
                             QStringLiteral("Ż"),
                             QStringLiteral("a "),
                             QStringLiteral("  1"),
                             QStringLiteral("ж"),
                             QString(QChar(0xfffd)),
                             QString(QChar(0x81)),
                             QStringLiteral("?"),
                             QString(),
                             QStringLiteral("nothing like this")};
        // Pieces of lines, some across the blanks between the view text and the number.
        for (int row : {0, 57, 133, 399})
            for (int from : {0, 3, 95, 118, 150})
                texts.append(lines[row].mid(from, 9));
        for (const QString& text : texts) {
            for (int selected : {-1, 0, 56, 57, 300, 399}) {
                if (list.findNext(selected, text) != findNextLine(lines, selected, text))
                    QFAIL(qPrintable(QStringLiteral("\"%1\" after %2").arg(text).arg(selected)));
            }
        }
    }

    void recordNumbersAfterARebuild() {
        const std::vector<EntryRecord> entries = generatedEntries(50);
        EntryList list = listOf(entries, ViewMode::Nazwa);
        QCOMPARE(list.rowOfRecord(numberOf(49)), 49);
        QCOMPARE(list.rowOfRecord(2), -1);
        list.clear();
        QCOMPARE(list.count(), 0);
        QCOMPARE(list.rowOfRecord(1), -1);
        list.append(entries[5], 6, ViewMode::KodNazwa);
        QCOMPARE(list.rowOfRecord(6), 0);
        QCOMPARE(list.line(0), listLine(entries[5], 6, ViewMode::KodNazwa));
    }
};

KESTRANA_TEST(EntryListTest)
#include "EntryListTest.moc"
