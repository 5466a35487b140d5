#include "envelope/LabelLayout.h"

#include "print/PageHelper.h"

#include <cmath>

namespace kestrana {

namespace {

// `line` broken into pieces that fit `width`: between words, or anywhere when `anywhere`.
// Returns false when a piece is still too wide (a word longer than the width).
bool wrapLine(const QString& line, int width, int points, bool anywhere, const MeasureText& measure,
              QStringList& out) {
    auto fits = [&](const QString& text) { return measure(points, text).width() <= width; };
    if (fits(line)) {
        out << line;
        return true;
    }
    const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QString current;
    bool whole = true;
    auto flush = [&] {
        if (!current.isEmpty())
            out << current;
        current.clear();
    };
    for (const QString& word : words) {
        const QString joined = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
        if (fits(joined)) {
            current = joined;
            continue;
        }
        flush();
        if (fits(word)) {
            current = word;
            continue;
        }
        if (!anywhere) {
            whole = false;
            current = word;
            continue;
        }
        // The word in pieces, each the longest beginning that fits (at least one character).
        QString rest = word;
        while (!rest.isEmpty() && !fits(rest)) {
            qsizetype take = 1;
            while (take < rest.size() && fits(rest.left(take + 1)))
                ++take;
            out << rest.left(take);
            rest = rest.mid(take);
        }
        current = rest;
    }
    flush();
    return whole;
}

} // namespace

int hundredthsToDots(qint64 hundredths, int dpi) {
    return roundHalfEven(double(hundredths) * dpi / 2540.0);
}

QRect labelRect(const LabelSheet& sheet, int index, int dpiX, int dpiY) {
    const int column = index % std::max(sheet.columns, 1);
    const int row = index / std::max(sheet.columns, 1);
    const qint64 left = sheet.left + qint64(column) * (sheet.labelWidth + sheet.gapX);
    const qint64 top = sheet.top + qint64(row) * (sheet.labelHeight + sheet.gapY);
    const int x1 = hundredthsToDots(left, dpiX);
    const int y1 = hundredthsToDots(top, dpiY);
    const int x2 = hundredthsToDots(left + sheet.labelWidth, dpiX);
    const int y2 = hundredthsToDots(top + sheet.labelHeight, dpiY);
    return QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1));
}

qint64 sheetsNeeded(const LabelSheet& sheet, qint64 labels, int start) {
    const qint64 capacity = sheet.capacity();
    if (labels <= 0 || capacity <= 0)
        return 0;
    const qint64 onFirst = capacity - (std::clamp<qint64>(start, 1, capacity) - 1);
    if (labels <= onFirst)
        return 1;
    return 1 + (labels - onFirst + capacity - 1) / capacity;
}

FittedLabel fitLabel(const QStringList& lines, QSize room, int maxPoints, int minPoints,
                     const MeasureText& measure) {
    QStringList given;
    for (const QString& line : lines) {
        if (!line.trimmed().isEmpty())
            given << line.trimmed();
    }
    minPoints = std::min(minPoints, maxPoints);
    auto attempt = [&](int points, bool wrap, bool anywhere, FittedLabel& fitted) {
        fitted = FittedLabel{points, {}, measure(points, QStringLiteral("ŻĄjg")).height(), false};
        bool whole = true;
        for (const QString& line : given) {
            if (wrap)
                whole =
                    wrapLine(line, room.width(), points, anywhere, measure, fitted.lines) && whole;
            else {
                whole = measure(points, line).width() <= room.width() && whole;
                fitted.lines << line;
            }
        }
        return whole && fitted.lines.size() * qint64(fitted.lineHeight) <= room.height();
    };
    // Whole lines are kept only down to a size read without effort; below it a line broken
    // between words at a larger size reads better than one line in the smallest print.
    const int wholeLinesDownTo = std::max(minPoints, std::min(maxPoints, kLabelWholeLinePoints));
    FittedLabel fitted;
    for (int points = maxPoints; points >= wholeLinesDownTo; --points) {
        if (attempt(points, false, false, fitted))
            return fitted;
    }
    for (int points = maxPoints; points >= minPoints; --points) {
        if (attempt(points, true, false, fitted))
            return fitted;
    }
    attempt(minPoints, true, true, fitted);
    const qsizetype held = fitted.lineHeight > 0 ? room.height() / fitted.lineHeight : 0;
    if (fitted.lines.size() > held) {
        fitted.lines = fitted.lines.mid(0, held);
        fitted.cut = true;
    }
    return fitted;
}

} // namespace kestrana
