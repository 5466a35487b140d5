#include "register/ListLine.h"

namespace kestrana {

QString listViewText(const EntryRecord& record, ViewMode mode) {
    const QString shortName = record.text(Field::nazwa1).left(kShortNameLength);
    const QChar space(QLatin1Char(' '));
    switch (mode) {
    case ViewMode::NazwaKod:
        return shortName + space + record.text(Field::numer);
    case ViewMode::KodNazwa:
        return record.text(Field::numer) + space + shortName;
    case ViewMode::NazwaTelefon:
        return shortName + space + record.text(Field::telefon);
    case ViewMode::NazwaMail:
        return shortName + space + record.text(Field::mail);
    case ViewMode::Nazwa:
        break;
    }
    return shortName;
}

QString listLine(const EntryRecord& record, qint64 recordNumber, ViewMode mode) {
    QString line = listViewText(record, mode);
    line.reserve(kListViewWidth + kListNumberWidth + kListGapWidth + 102);
    // Padding in place keeps a list build to one allocation per line.
    line.resize(kListViewWidth, QLatin1Char(' '));
    line += QString::number(recordNumber);
    line.resize(kListViewWidth + kListNumberWidth + kListGapWidth, QLatin1Char(' '));
    line += record.text(Field::nazwa2);
    line += QLatin1Char(' ');
    line += record.text(Field::nip);
    return line;
}

qint64 recordNumberOfLine(QStringView line) {
    qint64 number = 0;
    const qsizetype end = std::min<qsizetype>(line.size(), kListViewWidth + 10);
    for (qsizetype i = kListViewWidth; i < end; ++i) {
        const QChar c = line[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            number = number * 10 + (c.unicode() - '0');
    }
    return number;
}

} // namespace kestrana
