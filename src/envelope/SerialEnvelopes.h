#pragma once

#include "envelope/AddressHelpers.h"
#include "envelope/EnvelopeFields.h"
#include "print/PrintRun.h"

#include <QString>

#include <array>
#include <functional>

namespace kestrana {

// The print job's name of "Koperty seryjne".
inline QString serialEnvelopesDocumentName() {
    return QStringLiteral("Koperty seryjne");
}
// The print job with the file the print dialog proposes: "Koperty seryjne 2026-03-05".
inline PrintDocument serialEnvelopesPrintDocument(const QString& today) {
    return PrintDocument(serialEnvelopesDocumentName(),
                         serialEnvelopesDocumentName() + QLatin1Char(' ') + today);
}

// How many entries of the list file get an envelope and how many are passed over because the
// chosen block holds no address (its street and town lines are blank).
struct SerialEnvelopeCount {
    qint64 envelopes = 0;
    qint64 withoutAddress = 0;
};

// Calls `each` with the recipient lines of every entry of the list file (in list order) that has
// an address in `block`, as "Koperta" would fill them; returns how many had none. Throws
// IoError.
qint64 forEachListRecipient(const QString& listFile, AddressBlock block,
                            const std::function<void(const std::array<QString, 4>&)>& each);

// Counts through the list file (the current list, in its order). Throws IoError.
SerialEnvelopeCount countSerialEnvelopes(const QString& listFile, AddressBlock block);

// One envelope per entry of the list file that has an address in `block`, in list order, as
// one document: the window's settings, sender and logo for all, the recipient lines of each
// entry's block as "Koperta" would fill them. The list file is read while printing, so a
// preview and its print read it afresh.
Printout serialEnvelopePrintout(const EnvelopeFields& fields, const LogoPicture& picture,
                                const QString& listFile, AddressBlock block);

} // namespace kestrana
