#include "cash/VoucherTexts.h"

namespace kestrana::vouchertexts {

using namespace Qt::StringLiterals;

const QStringList& helpLines() {
    static const QStringList lines = {
        u"1. Możesz poprawić lub edytować dane wystawcy lub odbiorcy dokumentu. Uruchom przycisk "
        u"Edycja."_s,
        u"2. Wypełniając pola Tytułem, możesz informacje do poszczególnych pól wpisywać "
        u"\"ręcznie\", ale możesz też wcześniej "_s,
        u"przygotować zestaw stałych treści. Uruchom przycisk edytora treści i w powstałym "
        u"okienku wpisz najczęściej występujące "_s,
        u"treści, pamietając aby każda treść napisana została od nowego wiersza."_s,
        u"3. Generując nowy dokument, zamiast ręcznego wpisywania treści w polach Tytułem, "
        u"uruchom przycisk wstawiania stałej "_s,
        u"treści i z powstałej listy wybierz właściwą. Aby zaniechać wstawiania, naciśnij "
        u"klawisz ESC."_s,
        u"4. Przygotowany dokument możesz zapisać. W przyszłości będzie można go wczytać bez "
        u"konieczności redagowania go od "_s,
        u"nowa. Tworzysz w ten sposób bibliotekę gotowych dokumentów."_s,
        u"5. Przygotowując kolejny, nowy dokument, możesz wczytać zapamiętany wcześniej o ile "
        u"jego treść jest identyczna."_s,
        QString(),
        u"6. Aby zredagowany dokument wydrukować, należy nacisnąć klawisz druku, pamiętając że "
        u"druk może być kolorowy lub "_s,
        u"czarno-biały."_s,
        u"7. Przed wydrukiem nie zapomnij o wpisaniu rozszerzenia numeratora ( np /2006). Raz "
        u"wpisene rozszerzenie będzie "_s,
        u"pamiętane."_s,
        u"8. Wpisz numer kolejny dokumentu. Numer ten od tej pory będzie automatycznie "
        u"zwiększany o jeden. Jeżeli dokument Kp "_s,
        u"lub Kw był tworzony w pewnych sytuacjach poza programem, pamiętaj o wpisaniu "
        u"poprawnego, aktualnego numeru."_s,
    };
    return lines;
}

const QStringList& counterNoteLines() {
    static const QStringList lines = {
        u"Aby dokonać zmiany numeratora lub "_s, u"rozszerzenia, wpisz nowe wartości a "_s,
        u"nastepnie uruchom przycisk Zapisz "_s, u"parametry Nowe wartości będą "_s,
        u"obowiązywały podczas wydruku."_s,
    };
    return lines;
}

QString bossOnly() {
    return u"Nie masz uprawnień do tej operacji. Jest ona dostępna jedynie z poziomu Szefa."_s;
}

QString saveCaption() {
    return u"Zapisz dokument"_s;
}

QString openCaption() {
    return u"Czytaj dokument"_s;
}

} // namespace kestrana::vouchertexts
