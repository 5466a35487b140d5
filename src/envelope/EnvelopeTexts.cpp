#include "envelope/EnvelopeTexts.h"

namespace kestrana::envelope {

QStringList noteLines() {
    return {
        QStringLiteral("Po zdefiniowanu parametrów nadawcy, odbiorcy oraz logo zapisz definicje "),
        QStringLiteral("w postaci profilu któremu nadaj przyjazną nazwę. W każdej chwili możesz "),
        QStringLiteral("taki profil wczytać i drukować koperty na jego podstawie."),
    };
}

QStringList helpLines() {
    return {
        QStringLiteral("1.Określ położenie napisów odbiorcy od lewej i górnej krawędzi koperty."),
        QStringLiteral("2.Wpisz swoje dane jako nadawca korespondencji."),
        QStringLiteral("3.Przyciskiem Zapisz ustalenia zapamiętaj dane."),
        QStringLiteral("4.Wybierz czcionkę druku."),
        QStringLiteral("5.Wpisz formę Pan/Pani oraz dane odbiorcy."),
        QStringLiteral("6.Jeżeli na kopercia chcesz wydrukować logo, odszukaj właściwy obrazek."),
        QStringLiteral("7.Podaj położenie obrazka na kopercie ( w pixelach)."),
        QStringLiteral("8.Zaznacz opcję drukowania obrazka."),
        QStringLiteral("9.W zależności od typu podajnika włącz lub wyłącz opcję drukowania "
                       "poziomego."),
        QStringLiteral("10.Po ustaleniu nadawcy, jego parametrów oraz parametrów odbiorcy i "
                       "definicji dotyczących logo, możesz "),
        QStringLiteral("stworzyć włąsny profil podając jego przyjazną nazwę."),
        QStringLiteral("11.Możesz przygotować dowolną ilość profili."),
        QStringLiteral("12.W każdej chwili możesz wczytać profil i drukować koperty na jego "
                       "podstawie."),
        QString(),
        QStringLiteral("Pamiętaj! Dla różnych czcionek może zachodzić potrzeba zmiany odstępów "
                       "między "),
        QStringLiteral("wierszami."),
    };
}

} // namespace kestrana::envelope
