#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

#include <optional>

// The names of the copies in KOPIE. A copy is named by the day and the minute it was made,
// "2026-12-07_0905"; a second copy within the same minute gets "_2", "_3", ... after it, so a
// copy never takes the place of another. Copies made by earlier versions carry the day alone,
// "2026-12-07": they stay readable, count as made at the start of their day and are kept or
// removed with the others.
namespace kestrana::backup {

struct CopyName {
    QDate date;
    QTime time;   // invalid for a name of the day alone
    int part = 1; // 2, 3, ... for further copies of the same minute

    QString text() const;
    // Older first: by day, then time (a day alone before any time of it), then part.
    bool operator<(const CopyName& other) const;
};

// The name when it is a copy's name (a real date, a real time), else nothing.
std::optional<CopyName> parseCopyName(const QString& name);
bool isCopyName(const QString& name);

// The copies' names among `names`, newest first.
QStringList newestFirst(const QStringList& names);

} // namespace kestrana::backup
