#include "envelope/EnvelopePaper.h"

#include "platform/CheckedFile.h"
#include "platform/DataPaths.h"

namespace kestrana {

const QList<EnvelopePaper>& envelopePapers() {
    static const QList<EnvelopePaper> papers = {EnvelopePaper::DL, EnvelopePaper::C6,
                                                EnvelopePaper::C5, EnvelopePaper::C4,
                                                EnvelopePaper::PrinterPage};
    return papers;
}

QString envelopePaperText(EnvelopePaper paper) {
    switch (paper) {
    case EnvelopePaper::DL:
        return QStringLiteral("DL (110 × 220 mm)");
    case EnvelopePaper::C6:
        return QStringLiteral("C6 (114 × 162 mm)");
    case EnvelopePaper::C5:
        return QStringLiteral("C5 (162 × 229 mm)");
    case EnvelopePaper::C4:
        return QStringLiteral("C4 (229 × 324 mm)");
    case EnvelopePaper::PrinterPage:
        break;
    }
    return QStringLiteral("strona drukarki");
}

QPageSize envelopePageSize(EnvelopePaper paper) {
    switch (paper) {
    case EnvelopePaper::DL:
        return QPageSize(QPageSize::DLE);
    case EnvelopePaper::C6:
        return QPageSize(QPageSize::EnvelopeC6);
    case EnvelopePaper::C5:
        return QPageSize(QPageSize::C5E);
    case EnvelopePaper::C4:
        return QPageSize(QPageSize::EnvelopeC4);
    case EnvelopePaper::PrinterPage:
        break;
    }
    return {};
}

std::optional<EnvelopePaper> envelopePaperNamed(const QString& name) {
    static const QList<std::pair<QString, EnvelopePaper>> names = {
        {QStringLiteral("DL"), EnvelopePaper::DL},
        {QStringLiteral("C6"), EnvelopePaper::C6},
        {QStringLiteral("C5"), EnvelopePaper::C5},
        {QStringLiteral("C4"), EnvelopePaper::C4},
        {QStringLiteral("strona"), EnvelopePaper::PrinterPage}};
    for (const auto& [text, paper] : names) {
        if (name.compare(text, Qt::CaseInsensitive) == 0)
            return paper;
    }
    return std::nullopt;
}

QString envelopePaperFile(const QString& workDir) {
    return resolvePath(workDir, QStringLiteral("Admini/koperta_papier.dat"));
}

EnvelopePaper readEnvelopePaper(const QString& workDir) {
    const QString path = envelopePaperFile(workDir);
    if (!files::exists(path))
        return EnvelopePaper::PrinterPage;
    const QByteArray bytes = files::readFile(path);
    const int number = bytes.isEmpty() ? 0 : static_cast<unsigned char>(bytes.at(0));
    return number <= static_cast<int>(EnvelopePaper::C4) ? static_cast<EnvelopePaper>(number)
                                                         : EnvelopePaper::PrinterPage;
}

void storeEnvelopePaper(const QString& workDir, EnvelopePaper paper, files::FaultInjector* faults) {
    const char byte = static_cast<char>(paper);
    files::replaceFile(envelopePaperFile(workDir), QByteArrayView(&byte, 1), faults);
}

} // namespace kestrana
