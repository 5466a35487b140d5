#include "exchange/ImportTexts.h"

#include "platform/CheckedFile.h"
#include "platform/CodePage.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

namespace kestrana::csv {

namespace {

QString rowLine(int row, const QString& text) {
    return QStringLiteral("wiersz %1: %2").arg(row).arg(text);
}

// A heading, then the lines, cut after `max` of them.
void addSection(QStringList& out, const QString& heading, const QStringList& lines, int max) {
    if (lines.isEmpty())
        return;
    if (!out.isEmpty())
        out << QString();
    out << heading;
    const qsizetype shown = max < 0 ? lines.size() : std::min<qsizetype>(max, lines.size());
    out << lines.mid(0, shown);
    if (shown < lines.size())
        out << QStringLiteral("… i %1 więcej").arg(rowCount(lines.size() - shown));
}

QStringList detailLines(const ImportPlan& plan, int maxPerSection) {
    QStringList refused;
    for (const SkippedRow& r : plan.refused)
        refused << rowLine(r.row, r.reason);
    QStringList damaged;
    QStringList matching;
    for (const PlannedRow& r : plan.rows) {
        if (!r.damage.isEmpty())
            damaged << rowLine(r.row, r.damage.join(QStringLiteral("; ")));
        if (!r.isNew())
            matching << rowLine(r.row, r.record.text(Field::nazwa1) + QStringLiteral(" – jak ") +
                                           r.matches.join(QStringLiteral(", ")));
    }
    QStringList out;
    addSection(out, QStringLiteral("Wiersze odrzucone (nie zostaną dodane):"), refused,
               maxPerSection);
    addSection(out, QStringLiteral("Wiersze, które wyglądają na uszkodzone przez arkusz:"), damaged,
               maxPerSection);
    addSection(out, QStringLiteral("Wiersze zgodne z wpisami w rejestrze:"), matching,
               maxPerSection);
    return out;
}

QString choiceText(ImportChoice choice) {
    return choice == ImportChoice::All
               ? QStringLiteral("dodać wszystkie wiersze")
               : QStringLiteral("dodać tylko wiersze, które nie powtarzają wpisów z rejestru");
}

} // namespace

QString planSummary(const ImportPlan& plan) {
    QStringList lines;
    lines << QStringLiteral("Plik: %1 (kodowanie %2, separator: %3).")
                 .arg(QDir::toNativeSeparators(plan.source), plan.encoding,
                      separatorName(plan.separator));
    lines << QStringLiteral("Wiersze do dodania: %1.").arg(plan.rows.size());
    lines << QStringLiteral("Wiersze odrzucone: %1.").arg(plan.refused.size());
    lines << QStringLiteral("Wiersze, które wyglądają na uszkodzone przez arkusz: %1.")
                 .arg(plan.damagedCount());
    lines << QStringLiteral("Wiersze zgodne z wpisami w rejestrze (NIP albo nazwa i "
                            "miejscowość): %1, nowe: %2.")
                 .arg(plan.matchingCount())
                 .arg(plan.newCount());
    return lines.join(QLatin1Char('\n'));
}

QString planDetails(const ImportPlan& plan, int maxPerSection) {
    return detailLines(plan, maxPerSection).join(QLatin1Char('\n'));
}

QString resultSummary(const ImportResult& result) {
    QString text;
    if (result.added.empty()) {
        text = QStringLiteral("Nie dodano żadnego wpisu.");
    } else {
        const QString first = result.added.front().text(Field::id);
        const QString last = result.added.back().text(Field::id);
        text = QStringLiteral("Dodano %1 (ID %2).")
                   .arg(entryCount(result.addedCount()),
                        first == last ? first : QStringLiteral("%1–%2").arg(first, last));
    }
    if (!result.leftOut.isEmpty())
        text += QStringLiteral("\nPominięte wiersze zgodne z wpisami w rejestrze: %1.")
                    .arg(result.leftOut.size());
    return text;
}

QStringList reportLines(const Workstation& ws, const ImportPlan& plan, const ImportResult& result,
                        const QDateTime& when) {
    QStringList lines;
    lines << QStringLiteral("Raport importu do rejestru Kestrana");
    lines << QStringLiteral("Data: %1").arg(when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    lines << QStringLiteral("Folder danych: %1").arg(QDir::toNativeSeparators(ws.baseDir));
    lines << planSummary(plan).split(QLatin1Char('\n'));
    lines << QStringLiteral("Wybór: %1.").arg(choiceText(result.choice));
    lines << resultSummary(result).split(QLatin1Char('\n'));
    QStringList added;
    for (std::size_t i = 0; i < result.added.size(); ++i)
        added << rowLine(
            result.rows[static_cast<qsizetype>(i)],
            QStringLiteral("ID %1 „%2”")
                .arg(result.added[i].text(Field::id), result.added[i].text(Field::nazwa1)));
    QStringList sections;
    addSection(sections, QStringLiteral("Dodane wpisy:"), added, -1);
    QStringList leftOut;
    for (const int row : result.leftOut)
        leftOut << QStringLiteral("wiersz %1").arg(row);
    addSection(sections, QStringLiteral("Pominięte wiersze (zgodne z wpisami w rejestrze):"),
               leftOut, -1);
    const QStringList details = detailLines(plan, -1);
    if (!details.isEmpty())
        sections << QString() << details;
    if (!sections.isEmpty())
        lines << QString() << sections;
    return lines;
}

QString reportPathFor(const QString& source, const QString& folder, const QDateTime& when) {
    const QFileInfo info(source);
    const QString stem =
        QDir(folder).filePath(info.completeBaseName() + QStringLiteral("-raport-importu-") +
                              when.toString(QStringLiteral("yyyy-MM-dd-HHmmss")));
    QString path = stem + QStringLiteral(".txt");
    for (int n = 2; files::exists(path); ++n)
        path = stem + QStringLiteral("-%1.txt").arg(n);
    return path;
}

QString writeImportReport(const Workstation& ws, const ImportPlan& plan, const ImportResult& result,
                          const QDateTime& when) {
    const QString text =
        reportLines(ws, plan, result, when).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    const QString path = reportPathFor(plan.source, QFileInfo(plan.source).path(), when);
    try {
        files::replaceFile(path, cp1250::encode(text), ws.faults);
        return path;
    } catch (const IoError& e) {
        // A file imported from a folder the user may only read (a colleague's, a CD): the
        // report goes to the workstation's folder instead.
        if (e.errorNumber() != EACCES && e.errorNumber() != EPERM && e.errorNumber() != EROFS)
            throw;
    }
    const QString fallback = reportPathFor(plan.source, ws.workDir, when);
    files::replaceFile(fallback, cp1250::encode(text), ws.faults);
    return fallback;
}

} // namespace kestrana::csv
