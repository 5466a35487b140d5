#include "cli/PrintCommands.h"

#include "cli/CliStart.h"
#include "platform/Clock.h"
#include "platform/IoError.h"

#include <cstdio>

namespace kestrana {

namespace {

int report(const QString& message, int code) {
    std::fprintf(stderr, "kestrana-cli: %s\n", message.toUtf8().constData());
    return code;
}

} // namespace

int runPrintCommand(const QStringList& args, const QString& workDir,
                    const printjob::FilterFactory& makeFilter) {
    const QStringList rest = args.value(0) == QLatin1String("print") ? args.mid(1) : args;
    const std::variant<printjob::Request, QString> parsed = printjob::parse(rest);
    if (const QString* wrong = std::get_if<QString>(&parsed))
        return report(*wrong, 2);
    const printjob::Request& request = std::get<printjob::Request>(parsed);
    if (makeFilter && request.kind != printjob::Kind::Detailed &&
        request.kind != printjob::Kind::Definable)
        return report(QStringLiteral("filtr dotyczy tylko wydruków detailed i definable"), 2);
    try {
        const Workstation ws = openRegister(workDir, todayString(SystemClock().today()));
        if (const std::optional<printjob::Refusal> refusal = printjob::run(request, ws, makeFilter))
            return report(refusal->text, 1);
    } catch (const IoError& e) {
        return report(e.text(), 1);
    }
    return 0;
}

QString printCommandUsage() {
    return printjob::usage();
}

} // namespace kestrana
