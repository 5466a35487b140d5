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

CommandLine::CommandLine(QString pattern, QStringList fields)
    : pattern_(std::move(pattern)), fields_(std::move(fields)) {}

namespace {

// Puts the fields in place of %1..%9 in one pass: a field's own text is never read again.
QString substituted(const QString& pattern, const QStringList& fields) {
    QString out;
    out.reserve(pattern.size());
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('%') && i + 1 < pattern.size() && pattern[i + 1] >= QLatin1Char('1') &&
            pattern[i + 1] <= QLatin1Char('9')) {
            out += fields.value(pattern[i + 1].unicode() - '1');
            ++i;
            continue;
        }
        out += c;
    }
    return out;
}

} // namespace

QString CommandLine::text() const {
    return substituted(pattern_, fields_);
}

ParsedCommand CommandLine::parsed() const {
    ParsedCommand command = parse(pattern_);
    command.program = substituted(command.program, fields_);
    for (QString& argument : command.arguments)
        argument = substituted(argument, fields_);
    return command;
}

CommandLine komentarze(const EntryRecord& entry) {
    return CommandLine(QStringLiteral("tolisk.exe %1.dos \"Komentarze dla: %2 \""),
                       {text(entry, Field::id), text(entry, Field::nazwa1)});
}

CommandLine rejestrDokumentow(const EntryRecord& entry) {
    return CommandLine(QStringLiteral("verana.exe %1.dos \"Rejestr dokumentów dla: %2 \""),
                       {text(entry, Field::id), text(entry, Field::nazwa1)});
}

CommandLine rejestrZadan(const EntryRecord& entry) {
    return CommandLine(QStringLiteral("murena.exe %1.dos \"%2 \" \"%3\" \"%4 %5\""),
                       {text(entry, Field::id), text(entry, Field::nazwa1),
                        text(entry, Field::nazwa2), text(entry, Field::miejscowosc),
                        text(entry, Field::adres)});
}

CommandLine mailProgram(const QString& address) {
    if (address.isEmpty())
        return {};
    const QString program = QStringLiteral("kormel.exe ");
    return CommandLine(program + QStringLiteral("%1"), {address.left(200 - program.size())});
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

QString findProgram(const QString& name, const QString& executableDir,
                    const QString& pathVariable) {
    if (name.isEmpty())
        return QString();
    QStringList names = {name};
    if (name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        names.append(name.left(name.size() - 4));
    if (name.contains(QLatin1Char('/'))) {
        // A relative path would count from the working directory.
        if (!QDir::isAbsolutePath(name))
            return QString();
        for (const QString& candidate : names) {
            if (isExecutableFile(candidate))
                return candidate;
        }
        return QString();
    }
    // An empty or relative PATH entry stands for the working directory: passed over.
    QStringList pathDirs = pathVariable.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    pathDirs.removeIf([](const QString& dir) { return !QDir::isAbsolutePath(dir); });
    QStringList dirs = pathDirs;
    if (QDir::isAbsolutePath(executableDir))
        dirs.prepend(executableDir);
    for (const QString& dir : std::as_const(dirs)) {
        for (const QString& candidate : names) {
            const QString path = QDir(dir).absoluteFilePath(candidate);
            if (isExecutableFile(path))
                return path;
        }
    }
    for (const QString& substitute : substitutes(name)) {
        for (const QString& dir : std::as_const(pathDirs)) {
            const QString path = QDir(dir).absoluteFilePath(substitute);
            if (isExecutableFile(path))
                return path;
        }
    }
    return QString();
}

namespace {

StartOutcome startParsed(const ParsedCommand& parsed, const QString& workDir) {
    const QString program = findProgram(parsed.program, QCoreApplication::applicationDirPath(),
                                        qEnvironmentVariable("PATH"));
    if (program.isEmpty())
        return StartOutcome::NotFound;
    return QProcess::startDetached(program, parsed.arguments, workDir) ? StartOutcome::Started
                                                                       : StartOutcome::NotStarted;
}

} // namespace

StartOutcome start(const CommandLine& command, const QString& workDir) {
    return startParsed(command.parsed(), workDir);
}

StartOutcome start(const QString& commandLine, const QString& workDir) {
    return startParsed(parse(commandLine), workDir);
}

QString notStartedMessage(const CommandLine& command, StartOutcome outcome) {
    const QString program = command.parsed().program;
    switch (outcome) {
    case StartOutcome::Started:
        return {};
    case StartOutcome::NotFound:
        if (program.isEmpty())
            return QStringLiteral("Nie podano programu do uruchomienia.");
        return QStringLiteral("Nie znaleziono programu „%1” (szukano w folderze programu "
                              "Kestrana i w folderach ze zmiennej PATH). Zainstaluj go albo "
                              "umieść w jednym z tych folderów.")
            .arg(program);
    case StartOutcome::NotStarted:
        break;
    }
    return QStringLiteral("Nie udało się uruchomić programu „%1”.").arg(program);
}

QUrl mailtoUrl(const QString& address) {
    if (address.trimmed().isEmpty())
        return {};
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(address.trimmed());
    return url;
}

} // namespace kestrana::commands
