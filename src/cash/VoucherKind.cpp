#include "cash/VoucherKind.h"

namespace kestrana {

const KindTexts& kindTexts(DocumentKind kind) {
    static const KindTexts none;
    static const KindTexts kp{
        QStringLiteral("Dokument Kp"),
        QStringLiteral("Dowód wpłaty"),
        QStringLiteral("Od kogo"),
        QStringLiteral("Dowód wpłaty KP nr "),
        QStringLiteral("Od kogo :"),
        QStringLiteral("DOKUMENTY/nrkp.dat"),
        QStringLiteral("DOKUMENTY/kptresc.dat"),
    };
    static const KindTexts kw{
        QStringLiteral("Dokument Kw"),
        QStringLiteral("Dowód wypłaty"),
        QStringLiteral("Komu"),
        QStringLiteral("Dowód wypłaty KW nr "),
        QStringLiteral("Komu :"),
        QStringLiteral("DOKUMENTY/nrkw.dat"),
        QStringLiteral("DOKUMENTY/kwtresc.dat"),
    };
    switch (kind) {
    case DocumentKind::KP:
        return kp;
    case DocumentKind::KW:
        return kw;
    case DocumentKind::None:
        break;
    }
    return none;
}

} // namespace kestrana
