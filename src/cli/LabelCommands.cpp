#include "cli/LabelCommands.h"

#include "cli/CliStart.h"
#include "envelope/LabelLayout.h"
#include "envelope/LabelPrintout.h"
#include "envelope/SerialEnvelopes.h"
#include "platform/Clock.h"
#include "platform/IoError.h"
#include "print/FontSettings.h"
#include "print/PainterSurface.h"
#include "print/TraceSurface.h"
#include "register/Register.h"
#include "reports/EntryFilter.h"
#include "reports/FilterOptions.h"

#include <QDir>

#include <cstdio>
#include <memory>

namespace kestrana {

namespace {

struct LabelRequest {
    QString sheet;
    QString pdf;
    QString trace;
    int start = 1;
    AddressBlock block = AddressBlock::Seat;
    int dpi = 600;
    bool testPage = false;
};

int say(FILE* stream, const QString& text, int code) {
    std::fprintf(stream, "%s\n", text.toUtf8().constData());
    return code;
}

int wrong(const QString& text) {
    say(stderr, QStringLiteral("kestrana-cli: ") + text, 2);
    return say(stderr, QStringLiteral("Użycie: kestrana-cli ") + labelPrintUsage(), 2);
}

// The options after "print labels"; an error text instead when they are wrong.
QString parse(const QStringList& args, LabelRequest& r) {
    QStringList seen;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& name = args[i];
        if (seen.contains(name))
            return QStringLiteral("opcja podana dwa razy: ") + name;
        seen << name;
        if (name == QLatin1String("--test-page")) {
            r.testPage = true;
            continue;
        }
        static const QStringList valued = {"--sheet", "--pdf",   "--trace",
                                           "--start", "--block", "--dpi"};
        if (!valued.contains(name))
            return QStringLiteral("nieznana opcja: ") + name;
        if (i + 1 >= args.size() || args[i + 1].isEmpty())
            return QStringLiteral("brak wartości opcji ") + name;
        const QString value = args[++i];
        bool ok = true;
        if (name == QLatin1String("--sheet"))
            r.sheet = value;
        else if (name == QLatin1String("--pdf"))
            r.pdf = value;
        else if (name == QLatin1String("--trace"))
            r.trace = value;
        else if (name == QLatin1String("--start"))
            r.start = value.toInt(&ok);
        else if (name == QLatin1String("--dpi")) {
            r.dpi = value.toInt(&ok);
            ok = ok && r.dpi >= 72 && r.dpi <= 4800;
        } else if (value == QLatin1String("1") || value == QLatin1String("2") ||
                   value == QLatin1String("3"))
            r.block = static_cast<AddressBlock>(value.toInt());
        else
            return QStringLiteral("--block przyjmuje 1 (siedziba), 2 (korespondencja) albo 3 "
                                  "(osoba kontaktowa)");
        if (!ok)
            return name == QLatin1String("--dpi")
                       ? QStringLiteral("--dpi przyjmuje liczbę od 72 do 4800")
                       : QStringLiteral("--start przyjmuje numer etykiety");
    }
    if (r.sheet.isEmpty())
        return QStringLiteral("podaj --sheet 2x7, 3x7, 3x8, 2x8 albo nazwę arkusza stanowiska");
    if (r.pdf.isEmpty() == r.trace.isEmpty())
        return QStringLiteral("podaj jedno z: --pdf PLIK, --trace PLIK");
    return {};
}

} // namespace

QString labelPrintUsage() {
    return QStringLiteral("print labels [FILTR] --sheet 2x7|3x7|3x8|2x8|NAZWA (--pdf PLIK | "
                          "--trace PLIK) [--start N] [--block 1|2|3] [--dpi N] [--test-page]");
}

int runLabelPrintCommand(const QStringList& allArgs, const QString& workDir) {
    const FilterOptions filter = parseFilterOptions(allArgs);
    if (!filter.error.isEmpty())
        return wrong(filter.error);
    LabelRequest request;
    if (const QString error = parse(filter.rest.mid(2), request); !error.isEmpty())
        return wrong(error);
    const QDir here(workDir);
    try {
        const std::optional<LabelSheet> sheet = sheetNamed(workDir, request.sheet);
        if (!sheet)
            return wrong(QStringLiteral("nie ma arkusza etykiet %1").arg(request.sheet));
        if (request.start < 1 || request.start > sheet->capacity())
            return wrong(QStringLiteral("--start przyjmuje numer etykiety od 1 do %1")
                             .arg(sheet->capacity()));
        const Workstation ws = openRegister(workDir, todayString(SystemClock().today()));
        std::unique_ptr<Surface> surface;
        if (!request.pdf.isEmpty())
            surface = std::make_unique<PdfSurface>(here.absoluteFilePath(request.pdf), request.dpi);
        else
            surface = std::make_unique<TraceSurface>(request.dpi, request.dpi,
                                                     here.absoluteFilePath(request.trace));
        FontSettings fonts(workDir);
        if (request.testPage) {
            runPrintout(*surface, fonts, labelTestPage(*sheet));
            return say(stdout, QStringLiteral("Strona próbna arkusza %1.").arg(sheet->name), 0);
        }
        Register reg(ws);
        if (filter.given) {
            QStringList lines;
            reg.buildList(ViewMode::Nazwa, lines, makeEntryFilter(filter.criteria, ws));
        }
        const SerialEnvelopeCount count = countSerialEnvelopes(ws.listFile(), request.block);
        if (count.envelopes == 0)
            return say(stderr,
                       QStringLiteral("kestrana-cli: żaden wpis listy nie ma adresu do etykiety"),
                       1);
        const auto cut = std::make_shared<qint64>(0);
        runPrintout(*surface, fonts,
                    labelPrintout({*sheet, request.block, request.start},
                                  listFileLabels(ws.listFile(), request.block), cut));
        say(stdout,
            QStringLiteral("Etykiet: %1, arkuszy: %2, wpisów bez adresu: %3.")
                .arg(count.envelopes)
                .arg(sheetsNeeded(*sheet, count.envelopes, request.start))
                .arg(count.withoutAddress),
            0);
        if (*cut > 0)
            say(stderr,
                QStringLiteral("kestrana-cli: etykiet z adresem, który się nie zmieścił: %1")
                    .arg(*cut),
                0);
    } catch (const IoError& e) {
        return say(stderr, QStringLiteral("kestrana-cli: ") + e.text(), 1);
    }
    return 0;
}

} // namespace kestrana
