#include "platform/IoError.h"

#include <QDir>
#include <QHash>

#include <cstring>

namespace kestrana {

namespace {

// The sentence that tells what failed, for each operation the program names; %1 is the path.
// An operation not listed here is named as it is.
const QHash<QString, QString>& failureSentences() {
    static const QHash<QString, QString> sentences = {
        {QStringLiteral("Otwarcie pliku"), QStringLiteral("Nie udało się otworzyć pliku %1")},
        {QStringLiteral("Odczyt pliku"), QStringLiteral("Nie udało się odczytać pliku %1")},
        {QStringLiteral("Zapis pliku"), QStringLiteral("Nie udało się zapisać pliku %1")},
        {QStringLiteral("Przesunięcie w pliku"),
         QStringLiteral("Nie udało się przejść do miejsca w pliku %1")},
        {QStringLiteral("Zamknięcie pliku"), QStringLiteral("Nie udało się zamknąć pliku %1")},
        {QStringLiteral("Utrwalenie pliku na dysku"),
         QStringLiteral("Nie udało się utrwalić na dysku %1")},
        {QStringLiteral("Utrwalenie plików na dysku"),
         QStringLiteral("Nie udało się utrwalić na dysku plików w %1")},
        {QStringLiteral("Zmiana nazwy pliku"),
         QStringLiteral("Nie udało się zmienić nazwy pliku %1")},
        {QStringLiteral("Zmiana nazwy katalogu"),
         QStringLiteral("Nie udało się zmienić nazwy katalogu %1")},
        {QStringLiteral("Usunięcie pliku"), QStringLiteral("Nie udało się usunąć pliku %1")},
        {QStringLiteral("Usunięcie katalogu"), QStringLiteral("Nie udało się usunąć katalogu %1")},
        {QStringLiteral("Utworzenie katalogu"),
         QStringLiteral("Nie udało się utworzyć katalogu %1")},
        {QStringLiteral("Odczyt katalogu"), QStringLiteral("Nie udało się odczytać katalogu %1")},
        {QStringLiteral("Odczyt atrybutów pliku"),
         QStringLiteral("Nie udało się odczytać atrybutów pliku %1")},
        {QStringLiteral("Ustawienie daty pliku"),
         QStringLiteral("Nie udało się ustawić daty pliku %1")},
        {QStringLiteral("Utworzenie dowiązania"),
         QStringLiteral("Nie udało się utworzyć dowiązania do pliku %1")},
        {QStringLiteral("Otwarcie pliku blokady"),
         QStringLiteral("Nie udało się otworzyć pliku blokady %1")},
        {QStringLiteral("Blokada pliku"), QStringLiteral("Nie udało się zablokować pliku %1")},
        {QStringLiteral("Nadanie numeru ID"),
         QStringLiteral("Nie udało się nadać numeru ID (licznik %1)")},
        {QStringLiteral("Sortowanie wpisów"),
         QStringLiteral("Nie udało się posortować wpisów w pliku %1")},
        {QStringLiteral("Start programu"),
         QStringLiteral("Nie udało się przygotować danych programu w folderze %1")},
        {QStringLiteral("Odczyt danych programu"),
         QStringLiteral("Nie udało się odczytać danych programu %1")},
        {QStringLiteral("Zakładanie folderu danych"),
         QStringLiteral("Nie udało się założyć folderu danych %1")},
        {QStringLiteral("Folder zawiera już rejestr; dane przykładowe nie zostały zapisane"),
         QStringLiteral("Folder zawiera już rejestr (%1); dane przykładowe nie zostały zapisane")},
        {QStringLiteral("Nazwa kopii zapasowej"),
         QStringLiteral("Nieprawidłowa nazwa kopii zapasowej „%1”")},
        {QStringLiteral("Przywrócenie kopii zapasowej"),
         QStringLiteral("Nie udało się przywrócić kopii zapasowej %1")},
        {QStringLiteral("Zapis arkusza XLSX"), QStringLiteral("Nie udało się zapisać arkusza %1")},
        {QStringLiteral("Tworzenie folderu tymczasowego"),
         QStringLiteral("Nie udało się utworzyć folderu tymczasowego %1")},
        {QStringLiteral("Odczyt zapisu ostatniego importu"),
         QStringLiteral("Nie udało się odczytać zapisu ostatniego importu %1")},
        {QStringLiteral("Odczyt obrazka"), QStringLiteral("Nie udało się odczytać obrazka %1")},
        {QStringLiteral("Rozpoczęcie wydruku"),
         QStringLiteral("Nie udało się rozpocząć wydruku na %1")},
        {QStringLiteral("Nowa strona wydruku"),
         QStringLiteral("Nie udało się zacząć nowej strony wydruku na %1")},
        {QStringLiteral("Zakończenie wydruku"),
         QStringLiteral("Nie udało się zakończyć wydruku na %1")},
        {QStringLiteral("Brak rejestru w folderze"),
         QStringLiteral("W folderze nie ma rejestru (brak pliku %1)")},
        {QStringLiteral("Połączenie z serwerem bazy danych"),
         QStringLiteral("Nie udało się połączyć z serwerem bazy danych %1")},
    };
    return sentences;
}

} // namespace

IoError::IoError(QString operation, QString path, int errorNumber)
    : std::runtime_error(QString(operation + QLatin1String(": ") + path).toStdString()),
      operation_(std::move(operation)), path_(std::move(path)), errorNumber_(errorNumber),
      platformText_(QString::fromLocal8Bit(std::strerror(errorNumber))) {}

IoError::IoError(QString operation, QString path, QString message)
    : std::runtime_error(QString(operation + QLatin1String(": ") + path).toStdString()),
      operation_(std::move(operation)), path_(std::move(path)), errorNumber_(0),
      platformText_(std::move(message)) {}

IoError::IoError(QString operation, QString path, int errorNumber, QString message)
    : std::runtime_error(QString(operation + QLatin1String(": ") + path).toStdString()),
      operation_(std::move(operation)), path_(std::move(path)), errorNumber_(errorNumber),
      platformText_(std::move(message)) {}

QString IoError::sentence() const {
    const QString where = QDir::toNativeSeparators(path_);
    const auto known = failureSentences().constFind(operation_);
    if (known != failureSentences().constEnd())
        return known->arg(where);
    if (where.isEmpty())
        return QStringLiteral("Operacja „%1” nie powiodła się").arg(operation_);
    return QStringLiteral("Operacja „%1” nie powiodła się (%2)").arg(operation_, where);
}

QString IoError::text() const {
    return sentence() + QLatin1String(": ") + platformText_;
}

} // namespace kestrana
