#include "cli/VoucherCommands.h"

#include "cash/AmountWords.h"
#include "cash/Amounts.h"
#include "cash/FullAmountWords.h"
#include "cash/Voucher.h"
#include "cash/VoucherCounter.h"
#include "cash/VoucherDocument.h"
#include "cash/VoucherPrintout.h"
#include "cash/WordingSetting.h"
#include "cli/CliStart.h"
#include "platform/CheckedFile.h"
#include "platform/Clock.h"
#include "platform/IoError.h"
#include "print/FontSettings.h"
#include "print/PainterSurface.h"
#include "print/TraceSurface.h"
#include "register/EntryRecord.h"
#include "register/EntryStore.h"
#include "register/Register.h"

#include <QDir>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTextStream>

#include <cstdio>
#include <memory>
#include <optional>

namespace kestrana {

using namespace Qt::StringLiterals;

const char* const voucherUsage =
    "  words [--full] KWOTA               wypisuje kwotę słownie, jak na dokumencie Kp/Kw\n"
    "                                     (--full: z pełną odmianą)\n"
    "  print voucher --kind kp|kw --id ID [--kpw PLIK] [--colour]\n"
    "        --pdf PLIK | --trace PLIK [--dpi N]\n"
    "                                     drukuje dokument Kp/Kw dla wpisu (numer z numeratora;\n"
    "                                     ślad --trace pokazuje numer, nie pobiera go)\n";

namespace {

constexpr int kDefaultDpi = 600;
constexpr int kLargestDpi = 4800;

int failed(QTextStream& err, const QString& message) {
    err << "kestrana-cli: " << message << '\n';
    err.flush();
    return 1;
}

int badArguments(QTextStream& err, const QString& message) {
    err << "kestrana-cli: " << message << '\n';
    err.flush();
    return 2;
}

// The arguments without the command words in front of them.
QStringList withoutCommand(QStringList args, const QStringList& words) {
    for (const QString& word : words) {
        if (!args.isEmpty() && args.front() == word)
            args.removeFirst();
    }
    return args;
}

struct PrintOptions {
    DocumentKind kind = DocumentKind::None;
    QString id;
    QString kpw;
    bool colour = false;
    QString pdf;
    QString trace;
    int dpi = kDefaultDpi;
};

// The options, or the reason they are wrong.
std::optional<PrintOptions> parsePrintOptions(const QStringList& args, QString& problem) {
    PrintOptions o;
    QStringList seen;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& name = args[i];
        if (seen.contains(name)) {
            problem = u"opcja %1 podana dwa razy"_s.arg(name);
            return std::nullopt;
        }
        seen.append(name);
        if (name == "--colour"_L1) {
            o.colour = true;
            continue;
        }
        static const QStringList withValue = {u"--kind"_s, u"--id"_s,    u"--kpw"_s,
                                              u"--pdf"_s,  u"--trace"_s, u"--dpi"_s};
        if (!withValue.contains(name)) {
            problem = u"nieznana opcja: "_s + name;
            return std::nullopt;
        }
        if (i + 1 >= args.size() || args[i + 1].isEmpty()) {
            problem = u"opcja %1 wymaga wartości"_s.arg(name);
            return std::nullopt;
        }
        const QString value = args[++i];
        if (name == "--kind"_L1) {
            if (value.compare("kp"_L1, Qt::CaseInsensitive) == 0)
                o.kind = DocumentKind::KP;
            else if (value.compare("kw"_L1, Qt::CaseInsensitive) == 0)
                o.kind = DocumentKind::KW;
            else {
                problem = u"--kind przyjmuje kp albo kw"_s;
                return std::nullopt;
            }
        } else if (name == "--id"_L1) {
            o.id = value.trimmed();
        } else if (name == "--kpw"_L1) {
            o.kpw = value;
        } else if (name == "--pdf"_L1) {
            o.pdf = value;
        } else if (name == "--trace"_L1) {
            o.trace = value;
        } else {
            bool ok = false;
            o.dpi = value.toInt(&ok);
            if (!ok || o.dpi < 25 || o.dpi > kLargestDpi) {
                problem = u"--dpi przyjmuje liczbę od 25 do %1"_s.arg(kLargestDpi);
                return std::nullopt;
            }
        }
    }
    if (o.kind == DocumentKind::None || o.id.isEmpty()) {
        problem = u"podaj --kind kp|kw i --id ID"_s;
        return std::nullopt;
    }
    if (o.pdf.isEmpty() == o.trace.isEmpty()) {
        problem = u"podaj jedno z: --pdf PLIK, --trace PLIK"_s;
        return std::nullopt;
    }
    return o;
}

// The first entry of the register with this ID.
std::optional<EntryRecord> findEntry(const Workstation& ws, const QString& id) {
    std::optional<EntryRecord> found;
    Register reg(ws);
    reg.store().scan([&](qint64, const char* record) {
        if (found)
            return;
        EntryRecord entry = EntryRecord::fromBytes(record);
        if (entry.text(Field::id).trimmed() == id)
            found = entry;
    });
    return found;
}

} // namespace

int runWordsCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    QStringList rest = withoutCommand(args, {u"words"_s});
    const bool full = rest.removeAll(u"--full"_s) > 0;
    static const QRegularExpression number(uR"(^ *[+-]?(\d+(\.\d*)?|\.\d+)$)"_s);
    if (rest.size() != 1 || !number.match(rest.front()).hasMatch())
        return badArguments(err, u"podaj kwotę jako liczbę z kropką, np. 123.45"_s);
    // The total as the voucher holds it: in the amount format, two decimals.
    const double total = readAmount(formatAmount(readAmount(rest.front())));
    const std::optional<QString> line = full ? fullWordsLine(total) : wordsLine(total);
    if (!line)
        return failed(err, totalTooLargeMessage());
    out << *line << '\n';
    out.flush();
    return 0;
}

int runVoucherPrintCommand(const QStringList& args, const QString& workDir, QTextStream& out,
                           QTextStream& err, const Clock& clock, LockWait* wait) {
    QString problem;
    const std::optional<PrintOptions> options =
        parsePrintOptions(withoutCommand(args, {u"print"_s, u"voucher"_s}), problem);
    if (!options)
        return badArguments(err, problem);
    if (!options->pdf.isEmpty() && !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return failed(err, u"druk do pliku PDF wymaga trybu graficznego (QGuiApplication)"_s);
    const QDir here(workDir);
    try {
        const QDate today = clock.today();
        const Workstation ws = openRegister(workDir, todayString(today), wait);
        const std::optional<EntryRecord> entry = findEntry(ws, options->id);
        if (!entry)
            return failed(err, u"nie ma wpisu o ID %1"_s.arg(options->id));
        VoucherGrid grid;
        if (!options->kpw.isEmpty()) {
            const std::optional<VoucherGrid> loaded =
                kpw::read(here.absoluteFilePath(options->kpw));
            if (!loaded)
                return failed(err, u"nie ma pliku dokumentu %1"_s.arg(options->kpw));
            grid = *loaded;
        }
        // A trace is not paper: it shows the number the counter holds and takes none.
        const bool paper = options->trace.isEmpty();
        if (paper)
            ensureCounterFile(ws, options->kind);

        Voucher voucher;
        voucher.kind = options->kind;
        voucher.data = voucherDateText(today);
        voucher.issuer = issuerBlock(ws.firma);
        voucher.company = companyBlock(*entry);
        voucher.grid = grid;
        voucher.razem = formatAmount(gridTotal(grid));
        voucher.colour = options->colour;
        // The wording this workstation chose in the voucher window.
        voucher.fullWords = readWordingSetting(ws.workDir);

        std::unique_ptr<Surface> surface;
        if (!options->pdf.isEmpty())
            surface =
                std::make_unique<PdfSurface>(here.absoluteFilePath(options->pdf), options->dpi);
        else
            surface = std::make_unique<TraceSurface>(options->dpi, options->dpi,
                                                     here.absoluteFilePath(options->trace));
        FontSettings fonts(ws.workDir);
        const VoucherPrintResult result = paper ? printVoucher(*surface, fonts, ws, voucher)
                                                : showVoucher(*surface, fonts, ws, voucher);
        if (result.status != VoucherPrintResult::Printed)
            return failed(err, result.message);
        out << printTitle(voucher) << '\n';
        out.flush();
        return 0;
    } catch (const IoError& error) {
        return failed(err, error.text());
    }
}

int runWordsCommand(const QStringList& args) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runWordsCommand(args, out, err);
}

int runVoucherPrintCommand(const QStringList& args, const QString& workDir, LockWait* wait) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runVoucherPrintCommand(args, workDir, out, err, SystemClock(), wait);
}

} // namespace kestrana
