#include "envelope/LabelSheet.h"

#include "platform/CheckedFile.h"
#include "platform/DataPaths.h"
#include "platform/TextFile.h"

#include <QRegularExpression>

namespace kestrana {

QString LabelSheet::description() const {
    return QStringLiteral("%1 × %2, %3 × %4 mm")
        .arg(columns)
        .arg(rows)
        .arg(millimetresText(labelWidth), millimetresText(labelHeight));
}

const QList<LabelSheet>& standardSheets() {
    static const QList<LabelSheet> sheets = {
        {QStringLiteral("2x7"), 2, 7, 9910, 3810, 1515, 465, 250, 0},
        {QStringLiteral("3x7"), 3, 7, 6350, 3810, 1515, 721, 254, 0},
        {QStringLiteral("3x8"), 3, 8, 6350, 3390, 1290, 721, 254, 0},
        {QStringLiteral("2x8"), 2, 8, 9910, 3390, 1290, 465, 250, 0},
    };
    return sheets;
}

QString sheetProblem(const LabelSheet& s) {
    if (s.columns < 1 || s.rows < 1 || s.columns > 20 || s.rows > 40)
        return QStringLiteral("Liczba kolumn i wierszy musi wynosić od 1 do 20 i od 1 do 40.");
    if (s.labelWidth < 1000 || s.labelHeight < 500)
        return QStringLiteral("Etykieta musi mieć co najmniej 10 mm szerokości i 5 mm wysokości.");
    if (s.top < 0 || s.left < 0 || s.gapX < 0 || s.gapY < 0)
        return QStringLiteral("Marginesy i odstępy nie mogą być ujemne.");
    const qint64 width =
        qint64(s.left) + qint64(s.columns) * s.labelWidth + qint64(s.columns - 1) * s.gapX;
    const qint64 height =
        qint64(s.top) + qint64(s.rows) * s.labelHeight + qint64(s.rows - 1) * s.gapY;
    if (width > kA4Width)
        return QStringLiteral("Etykiety nie mieszczą się na szerokości strony A4 (210 mm): "
                              "margines, etykiety i odstępy zajmują %1 mm.")
            .arg(millimetresText(int(std::min<qint64>(width, 99999999))));
    if (height > kA4Height)
        return QStringLiteral("Etykiety nie mieszczą się na wysokości strony A4 (297 mm): "
                              "margines, etykiety i odstępy zajmują %1 mm.")
            .arg(millimetresText(int(std::min<qint64>(height, 99999999))));
    return {};
}

std::optional<int> parseMillimetres(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral("^\\s*(\\d{1,4})(?:[.,](\\d{1,2}))?\\s*$"));
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QString fraction = m.captured(2).leftJustified(2, QLatin1Char('0'));
    return m.captured(1).toInt() * 100 + fraction.toInt();
}

QString millimetresText(int hundredths) {
    QString text = QString::number(hundredths / 100);
    if (const int rest = hundredths % 100; rest != 0) {
        text += QLatin1Char(',') + QStringLiteral("%1").arg(rest, 2, 10, QLatin1Char('0'));
        if (text.endsWith(QLatin1Char('0')))
            text.chop(1);
    }
    return text;
}

QString userSheetsFile(const QString& workDir) {
    return resolvePath(workDir, QStringLiteral("Admini/etykiety.txt"));
}

QList<LabelSheet> readUserSheets(const QString& workDir) {
    const QString path = userSheetsFile(workDir);
    if (!files::exists(path))
        return {};
    QList<LabelSheet> sheets;
    for (const QString& line : textfile::splitLines(QString::fromUtf8(files::readFile(path)))) {
        const QStringList cells = line.split(QLatin1Char(';'));
        if (cells.size() != 9)
            continue;
        LabelSheet sheet;
        sheet.name = cells[0].trimmed();
        bool ok = true;
        sheet.columns = cells[1].trimmed().toInt(&ok);
        if (!ok)
            continue;
        sheet.rows = cells[2].trimmed().toInt(&ok);
        if (!ok)
            continue;
        int* lengths[] = {&sheet.labelWidth, &sheet.labelHeight, &sheet.top,
                          &sheet.left,       &sheet.gapX,        &sheet.gapY};
        for (int i = 0; i < 6 && ok; ++i) {
            const std::optional<int> value = parseMillimetres(cells[3 + i]);
            ok = value.has_value();
            *lengths[i] = value.value_or(0);
        }
        if (ok && userSheetProblem(sheet).isEmpty())
            sheets.append(sheet);
    }
    return sheets;
}

void storeUserSheets(const QString& workDir, const QList<LabelSheet>& sheets) {
    QString text;
    for (const LabelSheet& s : sheets) {
        QStringList cells = {s.name, QString::number(s.columns), QString::number(s.rows)};
        for (const int length : {s.labelWidth, s.labelHeight, s.top, s.left, s.gapX, s.gapY})
            cells << millimetresText(length);
        text += cells.join(QLatin1Char(';')) + QLatin1Char('\n');
    }
    files::makeDirectory(resolvePath(workDir, QStringLiteral("Admini")));
    files::replaceFile(userSheetsFile(workDir), text.toUtf8());
}

QString userSheetProblem(const LabelSheet& sheet) {
    const QString name = sheet.name.trimmed();
    if (name.isEmpty())
        return QStringLiteral("Podaj nazwę arkusza.");
    if (name.contains(QLatin1Char(';')))
        return QStringLiteral("Nazwa arkusza nie może zawierać średnika.");
    for (const LabelSheet& standard : standardSheets()) {
        if (name.compare(standard.name, Qt::CaseInsensitive) == 0)
            return QStringLiteral("Nazwa %1 należy do arkusza standardowego.").arg(standard.name);
    }
    return sheetProblem(sheet);
}

std::optional<LabelSheet> sheetNamed(const QString& workDir, const QString& name) {
    for (const LabelSheet& sheet : standardSheets()) {
        if (name.compare(sheet.name, Qt::CaseInsensitive) == 0)
            return sheet;
    }
    for (const LabelSheet& sheet : readUserSheets(workDir)) {
        if (sheet.name == name)
            return sheet;
    }
    return std::nullopt;
}

} // namespace kestrana
