#include "tools/CommandLines.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace kestrana::commands {

namespace {

const QChar quote(QLatin1Char('"'));

QString text(const EntryRecord& entry, Field field) {
    return entry.text(field);
}

bool isExecutableFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

// Desktop programs that play the parts of the platform's text editor and calculator.
QStringList substitutes(const QString& name) {
    if (name.compare(QLatin1String("notepad.exe"), Qt::CaseInsensitive) == 0)
        return {QStringLiteral("gnome-text-editor"),
                QStringLiteral("gedit"),
                QStringLiteral("kwrite"),
                QStringLiteral("kate"),
                QStringLiteral("mousepad"),
                QStringLiteral("pluma"),
                QStringLiteral("xed"),
                QStringLiteral("leafpad"),
                QStringLiteral("featherpad"),
                QStringLiteral("xedit")};
    if (name.compare(QLatin1String("calc.exe"), Qt::CaseInsensitive) == 0)
        return {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
                QStringLiteral("galculator"),       QStringLiteral("mate-calc"),
                QStringLiteral("qalculate-gtk"),    QStringLiteral("xcalc")};
    return {};
}

} // namespace

QString komentarze(const EntryRecord& entry) {
    return QStringLiteral("tolisk.exe ") + text(entry, Field::id) + QStringLiteral(".dos ") +
           quote + QStringLiteral("Komentarze dla: ") + text(entry, Field::nazwa1) +
           QLatin1Char(' ') + quote;
}

QString rejestrDokumentow(const EntryRecord& entry) {
    return QStringLiteral("verana.exe ") + text(entry, Field::id) + QStringLiteral(".dos ") +
           quote + QStringLiteral("Rejestr dokumentów dla: ") + text(entry, Field::nazwa1) +
           QLatin1Char(' ') + quote;
}

QString rejestrZadan(const EntryRecord& entry) {
    return QStringLiteral("murena.exe ") + text(entry, Field::id) + QStringLiteral(".dos ") +
           quote + text(entry, Field::nazwa1) + QLatin1Char(' ') + quote + QLatin1Char(' ') +
           quote + text(entry, Field::nazwa2) + quote + QLatin1Char(' ') + quote +
           text(entry, Field::miejscowosc) + QLatin1Char(' ') + text(entry, Field::adres) + quote;
}

QString czytnikZadan() {
    return QStringLiteral("pasvik.exe *.dos");
}
QString notatnik() {
    return QStringLiteral("notepad.exe");
}
QString kalkulator() {
    return QStringLiteral("calc.exe");
}

ParsedCommand parse(const QString& commandLine) {
    QStringList parts;
    QString current;
    bool inQuotes = false;
    bool started = false;
    for (const QChar c : commandLine) {
        if (c == quote) {
            inQuotes = !inQuotes;
            started = true;
        } else if ((c == QLatin1Char(' ') || c == QLatin1Char('\t')) && !inQuotes) {
            if (started)
                parts.append(current);
            current.clear();
            started = false;
        } else {
            current.append(c);
            started = true;
        }
    }
    if (started)
        parts.append(current);
    ParsedCommand parsed;
    if (!parts.isEmpty())
        parsed.program = parts.takeFirst();
    parsed.arguments = parts;
    return parsed;
}

QString findProgram(const QString& name, const QString& executableDir, const QString& workDir,
                    const QString& pathVariable) {
    if (name.isEmpty())
        return QString();
    QStringList names = {name};
    if (name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        names.append(name.left(name.size() - 4));
    if (name.contains(QLatin1Char('/'))) {
        for (const QString& candidate : names) {
            const QString path = QDir(workDir).absoluteFilePath(candidate);
            if (isExecutableFile(path))
                return path;
        }
        return QString();
    }
    QStringList dirs = {executableDir, workDir};
    dirs += pathVariable.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& dir : std::as_const(dirs)) {
        if (dir.isEmpty())
            continue;
        for (const QString& candidate : names) {
            const QString path = QDir(dir).absoluteFilePath(candidate);
            if (isExecutableFile(path))
                return path;
        }
    }
    for (const QString& substitute : substitutes(name)) {
        for (const QString& dir : pathVariable.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
            const QString path = QDir(dir).absoluteFilePath(substitute);
            if (isExecutableFile(path))
                return path;
        }
    }
    return QString();
}

bool start(const QString& commandLine, const QString& workDir) {
    const ParsedCommand parsed = parse(commandLine);
    const QString program = findProgram(parsed.program, QCoreApplication::applicationDirPath(),
                                        workDir, qEnvironmentVariable("PATH"));
    if (program.isEmpty())
        return false;
    return QProcess::startDetached(program, parsed.arguments, workDir);
}

} // namespace kestrana::commands
