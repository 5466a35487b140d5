#include "cli/EnvelopeCommands.h"

#include "cli/CliStart.h"
#include "envelope/AddressHelpers.h"
#include "envelope/EnvelopePaper.h"
#include "envelope/EnvelopePrintout.h"
#include "envelope/EnvelopeSetup.h"
#include "platform/CheckedFile.h"
#include "platform/Clock.h"
#include "platform/IoError.h"
#include "print/FontSettings.h"
#include "print/PainterSurface.h"
#include "print/PrintRun.h"
#include "print/TraceSurface.h"
#include "register/EntryForm.h"
#include "register/EntryStore.h"
#include "register/Register.h"

#include <QDir>

#include <cstdio>
#include <memory>
#include <optional>

namespace kestrana {

namespace {

// Resolutions a printer or a PDF can sensibly have.
constexpr int kMinDpi = 72;
constexpr int kMaxDpi = 4800;

struct EnvelopeOptionsCli {
    QString id;
    AddressBlock block = AddressBlock::Seat;
    QString profile;
    QString pdf;
    QString trace;
    int dpi = 600;
    std::optional<EnvelopePaper> paper; // none given: this workstation's choice
};

void printError(const QString& message) {
    std::fprintf(stderr, "kestrana-cli: %s\n", message.toUtf8().constData());
}

int badArguments(const QString& message) {
    printError(message);
    std::fprintf(stderr, "Użycie: kestrana-cli %s\n", envelopePrintUsage().toUtf8().constData());
    return 2;
}

std::optional<AddressBlock> blockNamed(const QString& name) {
    if (name == QLatin1String("1") || name == QLatin1String("seat"))
        return AddressBlock::Seat;
    if (name == QLatin1String("2") || name == QLatin1String("corr"))
        return AddressBlock::Correspondence;
    if (name == QLatin1String("3") || name == QLatin1String("contact"))
        return AddressBlock::Contact;
    return std::nullopt;
}

// Parses the options; an empty error means they are fine.
EnvelopeOptionsCli parse(QStringList args, QString& error) {
    if (args.value(0) == QLatin1String("print"))
        args.removeFirst();
    if (args.value(0) == QLatin1String("envelope"))
        args.removeFirst();
    EnvelopeOptionsCli o;
    QStringList seen;
    for (qsizetype i = 0; i < args.size(); i += 2) {
        const QString& name = args[i];
        static const QStringList known = {QStringLiteral("--id"),      QStringLiteral("--block"),
                                          QStringLiteral("--profile"), QStringLiteral("--pdf"),
                                          QStringLiteral("--trace"),   QStringLiteral("--dpi"),
                                          QStringLiteral("--paper")};
        if (!known.contains(name)) {
            error = QStringLiteral("nieznana opcja: ") + name;
            return o;
        }
        if (seen.contains(name)) {
            error = QStringLiteral("opcja podana dwa razy: ") + name;
            return o;
        }
        seen.append(name);
        if (i + 1 >= args.size() || args[i + 1].isEmpty()) {
            error = QStringLiteral("brak wartości opcji ") + name;
            return o;
        }
        const QString& value = args[i + 1];
        if (name == QLatin1String("--id")) {
            o.id = value.trimmed();
        } else if (name == QLatin1String("--block")) {
            const std::optional<AddressBlock> block = blockNamed(value);
            if (!block) {
                error = QStringLiteral("--block przyjmuje 1 (seat), 2 (corr) albo 3 (contact)");
                return o;
            }
            o.block = *block;
        } else if (name == QLatin1String("--profile")) {
            o.profile = value;
        } else if (name == QLatin1String("--pdf")) {
            o.pdf = value;
        } else if (name == QLatin1String("--trace")) {
            o.trace = value;
        } else if (name == QLatin1String("--paper")) {
            o.paper = envelopePaperNamed(value);
            if (!o.paper) {
                error = QStringLiteral("--paper przyjmuje DL, C6, C5, C4 albo strona");
                return o;
            }
        } else {
            bool ok = false;
            o.dpi = value.toInt(&ok);
            if (!ok || o.dpi < kMinDpi || o.dpi > kMaxDpi) {
                error =
                    QStringLiteral("--dpi przyjmuje liczbę od %1 do %2").arg(kMinDpi).arg(kMaxDpi);
                return o;
            }
        }
    }
    if (o.id.isEmpty())
        error = QStringLiteral("podaj --id ID wpisu");
    else if (o.pdf.isEmpty() == o.trace.isEmpty())
        error = QStringLiteral("podaj jedno z: --pdf PLIK, --trace PLIK");
    return o;
}

// The position of the first entry with this ID, -1 when there is none.
qint64 positionOfId(Register& reg, const QString& id) {
    qint64 found = -1;
    reg.store().scan([&](qint64 position, const char* record) {
        if (found < 0 && EntryRecord::fromBytes(record).text(Field::id).trimmed() == id)
            found = position;
    });
    return found;
}

// The window shows a picture loader's error and goes on without that picture; so does this.
void warn(const QString& logoError) {
    if (!logoError.isEmpty())
        printError(QStringLiteral("ostrzeżenie: ") + logoError);
}

} // namespace

QString envelopePrintUsage() {
    return QStringLiteral("print envelope --id ID [--block 1|2|3] [--profile PLIK] "
                          "[--paper DL|C6|C5|C4|strona] (--pdf PLIK | --trace PLIK) [--dpi N]");
}

int runEnvelopePrintCommand(const QStringList& args, const QString& workDir) {
    QString error;
    const EnvelopeOptionsCli o = parse(args, error);
    if (!error.isEmpty())
        return badArguments(error);
    const QDir here(workDir);
    try {
        const Workstation ws = openRegister(workDir, todayString(SystemClock().today()));
        // The entry passes through the register's entry buffer, as every load does.
        Register reg(ws);
        const qint64 position = positionOfId(reg, o.id);
        if (position < 0) {
            printError(QStringLiteral("nie ma wpisu o ID %1").arg(o.id));
            return 1;
        }
        reg.load(position);
        EntryFormValues form;
        recordToForm(reg.buffer(), form);

        EnvelopeFields fields;
        LogoPicture picture;
        warn(openEnvelope(ws, form, o.block, fields, picture));
        if (!o.profile.isEmpty())
            warn(envelope::loadProfile(here.absoluteFilePath(o.profile), fields, picture));
        fields.paper = o.paper ? *o.paper : readEnvelopePaper(workDir);

        std::unique_ptr<Surface> surface;
        if (!o.pdf.isEmpty())
            surface = std::make_unique<PdfSurface>(here.absoluteFilePath(o.pdf), o.dpi);
        else
            surface = std::make_unique<TraceSurface>(o.dpi, o.dpi, here.absoluteFilePath(o.trace));
        FontSettings fonts(workDir);
        runPrintout(*surface, fonts, envelopePrintout(fields, picture));
    } catch (const IoError& e) {
        printError(e.text());
        return 1;
    }
    return 0;
}

} // namespace kestrana
