#pragma once

#include "platform/FaultInjector.h"

#include <QPageSize>
#include <QString>
#include <QStringList>

#include <optional>

namespace kestrana {

// The paper an envelope prints on: the printer's own page (as the print dialog chose it), or an
// envelope size, so that a printer feeding envelopes knows their size. Each workstation keeps
// its choice, as its printer is its own.
enum class EnvelopePaper : unsigned char { PrinterPage = 0, DL = 1, C6 = 2, C5 = 3, C4 = 4 };

// The choices in the order the envelope window offers them, and their texts there.
const QList<EnvelopePaper>& envelopePapers();
QString envelopePaperText(EnvelopePaper paper);
// The paper's size; an invalid one for the printer's page.
QPageSize envelopePageSize(EnvelopePaper paper);
// The paper a command-line name gives (DL, C6, C5, C4 or "strona", letter case ignored).
std::optional<EnvelopePaper> envelopePaperNamed(const QString& name);

// Admini/koperta_papier.dat under the working directory: one byte, the paper's number. A
// missing file, or a number that names no paper, is the printer's page.
QString envelopePaperFile(const QString& workDir);
// Throws IoError when the file exists but cannot be read.
EnvelopePaper readEnvelopePaper(const QString& workDir);
// Replaces the file whole; throws IoError.
void storeEnvelopePaper(const QString& workDir, EnvelopePaper paper,
                        files::FaultInjector* faults = nullptr);

} // namespace kestrana
