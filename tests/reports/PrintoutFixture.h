#pragma once

// Shared by the printout tests: a data folder with a stored print font, list files, and the
// trace read back as pages of text and frame operations.

#include "print/ColourValue.h"
#include "print/FontSettings.h"
#include "print/PrintRun.h"
#include "print/TraceSurface.h"
#include "station/Workstation.h"
#include "support/DataFolder.h"

#include <QDir>
#include <QList>
#include <QStringList>

#include <vector>

namespace kestrana::test {

// The stored print font: Arial, 9 points, italic, teal.
inline constexpr int kFontSize = 9;
inline const QString kFace = QStringLiteral("Arial");
inline const QString kTeal = QStringLiteral("#008080");

struct PrintoutFolder {
    DataFolder folder;
    Workstation ws;

    PrintoutFolder() {
        ws.baseDir = ws.workDir = folder.path();
        QDir(folder.path()).mkdir(QStringLiteral("FONT"));
        FontRecord font;
        font.setFaceName(kFace);
        font.size = kFontSize;
        font.style = fontstyle::Italic;
        font.colour = colour::Teal;
        folder.writeBytes(QStringLiteral("FONT/") + kPrintFontFile, font.toBytes());
    }

    void writeList(const std::vector<EntryRecord>& records) const {
        QByteArray bytes;
        for (const EntryRecord& r : records)
            bytes.append(r.data(), EntryRecord::Size);
        folder.writeBytes(QStringLiteral("DANE/sp_ks.dat"), bytes);
    }
};

// Entries named "Firma 1" .. "Firma n" with IDs 1..n.
inline std::vector<EntryRecord> numberedEntries(int count) {
    std::vector<EntryRecord> records;
    for (int i = 1; i <= count; ++i)
        records.push_back(entry(QString::number(i), QStringLiteral("Firma %1").arg(i)));
    return records;
}

struct TraceText {
    int x = 0;
    int y = 0;
    QString face;
    int height = 0;
    QString style;
    QString colour;
    QString text;
};

struct TraceRect {
    int x1, y1, x2, y2;
};

// The drawing lines of each page, without the begin, page and end lines.
inline QList<QStringList> pagesOf(const QStringList& lines) {
    QList<QStringList> pages;
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1String("begin\t")) || line == QLatin1String("page"))
            pages.append(QStringList());
        else if (line != QLatin1String("end") && !pages.isEmpty())
            pages.last().append(line);
    }
    return pages;
}

inline QList<TraceText> textsOf(const QStringList& page) {
    QList<TraceText> texts;
    for (const QString& line : page) {
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.value(0) == QLatin1String("text") && f.size() == 8)
            texts.append({f[1].toInt(), f[2].toInt(), f[3], f[4].toInt(), f[5], f[6], f[7]});
    }
    return texts;
}

inline QList<TraceRect> rectsOf(const QStringList& page) {
    QList<TraceRect> rects;
    for (const QString& line : page) {
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.value(0) == QLatin1String("rect"))
            rects.append({f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt()});
    }
    return rects;
}

// The first text of the page that reads `text`; a default one with an empty face when none.
inline TraceText findText(const QStringList& page, const QString& text) {
    for (const TraceText& t : textsOf(page)) {
        if (t.text == text)
            return t;
    }
    return {};
}

} // namespace kestrana::test
