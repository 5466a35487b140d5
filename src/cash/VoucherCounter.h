#pragma once

#include "cash/VoucherKind.h"

#include <QByteArray>
#include <QString>

#include <stdexcept>

namespace kestrana {

struct Workstation;

// The counter of one voucher kind (DOKUMENTY/nrkp.dat, nrkw.dat): one record of 15 bytes, the
// number the next printed voucher bears (32-bit little-endian) and the suffix as a short string
// of 10 characters.
struct CounterRecord {
    static constexpr int Size = 15;
    static constexpr int SuffixWidth = 10;
    qint32 next = 1;
    QString suffix;

    QByteArray toBytes() const;
    // Needs at least Size bytes; a longer file counts by its first record.
    static CounterRecord fromBytes(const QByteArray& bytes);
    bool operator==(const CounterRecord&) const = default;
};

// In server mode each counter is a record on the server holding the file's bytes; the functions
// below work on it the same way.

// The counter file of a kind below the base directory.
QString counterFile(const Workstation& ws, DocumentKind kind);

// The window's preparation: creates a missing counter with number 1 and an empty suffix.
// Returns whether it was created. An existing file is left as it is, whatever it holds.
bool ensureCounterFile(const Workstation& ws, DocumentKind kind);

// The stored counter. Throws IoError when the file is missing or shorter than a record.
CounterRecord readCounter(const Workstation& ws, DocumentKind kind);

// "Zapisz parametry" (the caller checks the boss level): the number becomes the value of the
// typed `numerkp` (leading digits, see readLeadingInt), the suffix `rozszerzeniekp` cut to 10.
void saveCounterParameters(const Workstation& ws, DocumentKind kind, const QString& numerkp,
                           const QString& rozszerzeniekp);

// A counter that cannot advance: it holds the largest 32-bit number.
class CounterFullError : public std::runtime_error {
public:
    CounterFullError();
    QString text() const;
};

// The counter step of a print run: returns the number and suffix the voucher bears (they go
// into `numerkp` and `rozszerzeniekp`) and leaves the number one higher in the file. Reading and
// writing happen under one lock, so two workstations never get the same number. Throws IoError
// and, at the largest number, CounterFullError with the file untouched.
CounterRecord takeVoucherNumber(const Workstation& ws, DocumentKind kind);

} // namespace kestrana
