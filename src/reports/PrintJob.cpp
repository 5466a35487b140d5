#include "reports/PrintJob.h"

#include "platform/CheckedFile.h"
#include "platform/DataPaths.h"
#include "print/PainterSurface.h"
#include "print/PrintRun.h"
#include "print/TextPrintout.h"
#include "print/TraceSurface.h"
#include "register/EntryForm.h"
#include "register/EntryStore.h"
#include "reports/DefinablePrintout.h"
#include "reports/Descriptions.h"
#include "reports/DetailedPrintout.h"
#include "reports/EntrySheet.h"

#include <QDir>

#include <cstring>
#include <memory>

namespace kestrana::printjob {

namespace {

constexpr int kMinDpi = 25; // one device dot per grid step
constexpr int kMaxDpi = 4800;

bool takesValue(const QString& name, Kind kind) {
    static const QStringList always = {QStringLiteral("--pdf"), QStringLiteral("--trace"),
                                       QStringLiteral("--dpi")};
    static const QStringList definable = {QStringLiteral("--pole1"), QStringLiteral("--pole2"),
                                          QStringLiteral("--pole3"), QStringLiteral("--pole4"),
                                          QStringLiteral("--pole5"), QStringLiteral("--pole6"),
                                          QStringLiteral("--title")};
    if (always.contains(name))
        return true;
    if (kind == Kind::Definable)
        return definable.contains(name);
    return (kind == Kind::Entry || kind == Kind::Description) && name == QStringLiteral("--id");
}

std::unique_ptr<Surface> surfaceFor(const Request& request, const QString& workDir) {
    const QDir dir(workDir);
    if (!request.trace.isEmpty())
        return std::make_unique<TraceSurface>(request.dpi, request.dpi,
                                              dir.absoluteFilePath(request.trace));
    return std::make_unique<PdfSurface>(dir.absoluteFilePath(request.pdf), request.dpi);
}

std::optional<Refusal> runList(const Request& request, const Workstation& ws,
                               const FilterFactory& makeFilter) {
    Register reg(ws);
    if (makeFilter) {
        QStringList lines;
        reg.buildList(ViewMode::Nazwa, lines, makeFilter(ws));
    }
    if (files::recordCount(ws.listFile(), EntryRecord::Size) == 0)
        return Refusal{QStringLiteral("lista jest pusta, nie ma czego drukować")};
    FontSettings fonts(ws.workDir);
    const std::unique_ptr<Surface> surface = surfaceFor(request, ws.workDir);
    runPrintout(*surface, fonts, [&](PageHelper& page, const PrintFont& font) {
        if (request.kind == Kind::Detailed)
            printDetailedList(page, font, ws.listFile(), reg.buffer());
        else
            printDefinableList(page, font, request.definable, ws.listFile(), reg.buffer());
    });
    return std::nullopt;
}

} // namespace

std::variant<Request, QString> parse(const QStringList& args) {
    static const QStringList kinds = {QStringLiteral("detailed"), QStringLiteral("definable"),
                                      QStringLiteral("entry"), QStringLiteral("description")};
    const qsizetype kindIndex = kinds.indexOf(args.value(0));
    if (kindIndex < 0)
        return QStringLiteral("print przyjmuje detailed, definable, entry albo description");
    Request request;
    request.kind = static_cast<Kind>(kindIndex);

    QStringList seen;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& name = args[i];
        if (seen.contains(name))
            return QStringLiteral("opcja podana dwa razy: ") + name;
        seen.append(name);
        if (request.kind == Kind::Definable && name == QLatin1String("--one-line")) {
            request.definable.form = RowForm::OneLine;
            continue;
        }
        if (!takesValue(name, request.kind))
            return QStringLiteral("nieznana opcja: ") + name;
        if (i + 1 >= args.size())
            return QStringLiteral("brak wartości opcji ") + name;
        const QString value = args[++i];
        if (name == QLatin1String("--pdf")) {
            request.pdf = value;
        } else if (name == QLatin1String("--trace")) {
            request.trace = value;
        } else if (name == QLatin1String("--dpi")) {
            bool ok = false;
            request.dpi = value.toInt(&ok);
            if (!ok || request.dpi < kMinDpi || request.dpi > kMaxDpi)
                return QStringLiteral("--dpi przyjmuje liczbę od %1 do %2")
                    .arg(kMinDpi)
                    .arg(kMaxDpi);
        } else if (name == QLatin1String("--title")) {
            request.definable.tytul = value.left(kDefinableTitleLength);
        } else if (name == QLatin1String("--id")) {
            request.id = value;
        } else {
            request.definable.pole[name.back().digitValue() - 1] = value;
        }
    }
    if (request.pdf.isEmpty() == request.trace.isEmpty())
        return QStringLiteral("podaj jedno z: --pdf PLIK, --trace PLIK");
    if (request.kind == Kind::Entry || request.kind == Kind::Description) {
        if (request.id.isEmpty())
            return QStringLiteral("podaj --id ID wpisu");
        if (request.kind == Kind::Description && !isPlainId(request.id))
            return QStringLiteral("ID opisu może zawierać tylko cyfry");
    }
    return request;
}

std::optional<EntryRecord> findEntry(Register& reg, const QString& id) {
    std::optional<EntryRecord> found;
    reg.store().scan([&](qint64, const char* record) {
        if (found)
            return;
        std::memcpy(reg.buffer().data(), record, EntryRecord::Size);
        if (reg.buffer().text(Field::id) == id)
            found = reg.buffer();
    });
    if (found)
        reg.buffer() = *found;
    return found;
}

std::optional<Refusal> run(const Request& request, const Workstation& ws,
                           const FilterFactory& makeFilter) {
    if (request.kind == Kind::Detailed || request.kind == Kind::Definable)
        return runList(request, ws, makeFilter);

    Register reg(ws);
    const std::optional<EntryRecord> found = findEntry(reg, request.id);
    if (!found)
        return Refusal{QStringLiteral("nie ma wpisu o ID ") + request.id};
    EntryFormValues form;
    recordToForm(*found, form);
    FontSettings fonts(ws.workDir);
    const std::unique_ptr<Surface> surface = surfaceFor(request, ws.workDir);
    if (request.kind == Kind::Entry) {
        runPrintout(*surface, fonts, [&](PageHelper& page, const PrintFont& font) {
            printEntrySheet(page, font, form);
        });
    } else {
        const QStringList lines = descriptions::read(ws, request.id);
        runPrintout(*surface, fonts, [&](PageHelper& page, const PrintFont& font) {
            printTextPages(page, font, form[Field::nazwa1], lines);
        });
    }
    return std::nullopt;
}

QString usage() {
    return QStringLiteral(
        "  print detailed|definable|entry|description (--pdf PLIK | --trace PLIK) [--dpi N]\n"
        "        definable: [--pole1 TEKST .. --pole6 TEKST] [--one-line] [--title TEKST]\n"
        "        entry, description: --id ID\n"
        "                                     drukuje wydruk do pliku PDF albo do śladu\n");
}

} // namespace kestrana::printjob
