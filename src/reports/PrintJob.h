#pragma once

#include "print/FontSettings.h"
#include "register/Register.h"
#include "reports/DefinablePrintout.h"
#include "station/Workstation.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <variant>

// A register printout chosen by name and printed to a PDF file or a trace instead of a
// printer: what `kestrana-cli print` does.
namespace kestrana::printjob {

enum class Kind { Detailed, Definable, Entry, Description };

struct Request {
    Kind kind = Kind::Detailed;
    QString pdf;   // exactly one of pdf and trace is given
    QString trace; // relative paths are taken from the working directory
    int dpi = 600; // both directions
    DefinableSettings definable;
    QString id; // entry and description
};

// Parses the arguments after "print": the printout's name, then its options. Returns the text
// that says what is wrong with them instead.
std::variant<Request, QString> parse(const QStringList& args);

// The filter pass of a list build, made for the workstation (the entry test needs its
// descriptions directory).
using FilterFactory = std::function<Register::Filter(const Workstation&)>;

// Why a printout printed nothing although nothing failed.
struct Refusal {
    QString text;
};

// Prints the request with the print font of the working directory. The list printouts print
// the list file as it stands, or, with `makeFilter`, rebuild it first as the filtered build
// does. Returns a refusal for an empty list or an unknown ID. Throws IoError.
std::optional<Refusal> run(const Request& request, const Workstation& ws,
                           const FilterFactory& makeFilter = {});

// The entry whose stored ID reads `id`, searched front to back in the main file through the
// entry buffer; nothing when there is none. Throws IoError.
std::optional<EntryRecord> findEntry(Register& reg, const QString& id);

// The usage lines of the print command.
QString usage();

} // namespace kestrana::printjob
