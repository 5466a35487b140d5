#include "vat/VatRegister.h"

#include "platform/ShortText.h"
#include "register/PolishIdentifiers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

namespace kestrana::vat {

namespace {

using namespace Qt::StringLiterals;

const QString kRegister = u"wykaz podatników VAT"_s;

QUrl endpoint(const QString& base, const QString& path, const QString& date) {
    QUrl url(base.trimmed());
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != "http"_L1 && scheme != "https"_L1))
        return {};
    QString prefix = url.path();
    if (!prefix.endsWith(u'/'))
        prefix += u'/';
    url.setPath(prefix + path);
    url.setQuery(u"date="_s + date);
    return url;
}

// A text field of the answer; null and absent give an empty text.
QString text(const QJsonObject& object, const char* key) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isString())
        return value.toString().trimmed();
    // Numbers the register may one day give as such.
    if (value.isDouble())
        return QString::number(value.toInteger());
    return {};
}

Request requestOf(const QJsonObject& result) {
    return {text(result, "requestId"), text(result, "requestDateTime")};
}

Failure failed(const QString& message) {
    return {Failure::Failed, message};
}

Failure unreadable() {
    return failed(u"Odpowiedź wykazu podatników VAT jest nieczytelna (to nie są poprawne dane "
                  u"JSON)."_s);
}

Failure unexpected() {
    return failed(u"Odpowiedź wykazu podatników VAT ma nieoczekiwaną postać."_s);
}

// The register's own error answer, or an HTTP error; nothing for an answer to read on.
std::optional<Failure> errorOf(int httpStatus, const QByteArray& body) {
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (document.isObject()) {
        const QJsonObject object = document.object();
        const QString code = text(object, "code");
        const QString message = text(object, "message");
        if (!code.isEmpty() || (!message.isEmpty() && !object.contains("result"_L1))) {
            // The server's own words, as long as it likes: a few lines of them are shown.
            QString shown = message.isEmpty() ? u"bez opisu"_s : shortenedText(message, 3, 300);
            if (shown.endsWith(u'.'))
                shown.chop(1);
            return failed(u"Wykaz podatników VAT odrzucił zapytanie: %1%2."_s.arg(
                shown,
                code.isEmpty() ? QString() : u" (kod %1)"_s.arg(shortenedText(code, 1, 40))));
        }
    }
    if (httpStatus < 200 || httpStatus > 299)
        return failed(
            u"Serwer wykazu podatników VAT zgłosił błąd HTTP %1. Spróbuj ponownie później."_s.arg(
                httpStatus));
    return std::nullopt;
}

// The "result" object of an answer that is not an error.
std::variant<QJsonObject, Failure> resultOf(int httpStatus, const QByteArray& body) {
    if (std::optional<Failure> failure = errorOf(httpStatus, body))
        return *failure;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return unreadable();
    const QJsonValue result = document.object().value("result"_L1);
    if (!result.isObject())
        return unexpected();
    return result.toObject();
}

void appendRequest(const Request& request, QStringList& lines) {
    if (!request.id.isEmpty())
        lines.append(u"Identyfikator zapytania: "_s + request.id);
    if (!request.dateTime.isEmpty())
        lines.append(u"Data zapytania: "_s + request.dateTime);
}

} // namespace

QString baseUrl() {
    const QString set = qEnvironmentVariable("KESTRANA_VAT_URL").trimmed();
    return set.isEmpty() ? QString::fromLatin1(kProductionUrl) : set;
}

QUrl searchUrl(const QString& base, const QString& nip, const QString& date) {
    return endpoint(base, u"api/search/nip/"_s + nip, date);
}

QUrl checkUrl(const QString& base, const QString& nip, const QString& nrb, const QString& date) {
    return endpoint(base, u"api/check/nip/%1/bank-account/%2"_s.arg(nip, nrb), date);
}

Outcome<SearchResult> readSearchAnswer(const QString& nip, int httpStatus, const QByteArray& body) {
    const std::variant<QJsonObject, Failure> read = resultOf(httpStatus, body);
    if (const Failure* failure = std::get_if<Failure>(&read))
        return *failure;
    const QJsonObject& result = std::get<QJsonObject>(read);
    const Request request = requestOf(result);
    const QJsonValue subjectValue = result.value("subject"_L1);
    if (subjectValue.isNull() || subjectValue.isUndefined()) {
        QString message = u"W wykazie podatników VAT nie ma podmiotu o numerze NIP %1."_s.arg(nip);
        if (!request.id.isEmpty())
            message += u"\nIdentyfikator zapytania: "_s + request.id;
        return Failure{Failure::NotFound, message};
    }
    if (!subjectValue.isObject())
        return unexpected();
    const QJsonObject subject = subjectValue.toObject();
    SearchResult found;
    found.request = request;
    Subject& s = found.subject;
    s.name = text(subject, "name");
    s.nip = text(subject, "nip");
    s.statusVat = text(subject, "statusVat");
    s.regon = text(subject, "regon");
    s.pesel = text(subject, "pesel");
    s.krs = text(subject, "krs");
    s.residenceAddress = text(subject, "residenceAddress");
    s.workingAddress = text(subject, "workingAddress");
    s.hasVirtualAccounts = subject.value("hasVirtualAccounts"_L1).toBool();
    const QJsonValue accounts = subject.value("accountNumbers"_L1);
    if (!accounts.isNull() && !accounts.isUndefined() && !accounts.isArray())
        return unexpected();
    for (const QJsonValue account : accounts.toArray()) {
        const QString digits = account.toString().trimmed();
        if (!digits.isEmpty())
            s.accountNumbers.append(digits);
    }
    // A subject without a name cannot be told from a wrong answer.
    if (s.name.isEmpty())
        return unexpected();
    return found;
}

Outcome<CheckResult> readCheckAnswer(int httpStatus, const QByteArray& body) {
    const std::variant<QJsonObject, Failure> read = resultOf(httpStatus, body);
    if (const Failure* failure = std::get_if<Failure>(&read))
        return *failure;
    const QJsonObject& result = std::get<QJsonObject>(read);
    const QString assigned = text(result, "accountAssigned").toUpper();
    if (assigned != "TAK"_L1 && assigned != "NIE"_L1)
        return unexpected();
    return CheckResult{assigned == "TAK"_L1, requestOf(result)};
}

QString noAnswerInTime(int milliseconds) {
    const QString seconds =
        milliseconds % 1000 == 0
            ? QString::number(milliseconds / 1000)
            : QLocale(QLocale::Polish, QLocale::Poland).toString(milliseconds / 1000.0, 'g', 3);
    return u"Wykaz podatników VAT nie odpowiedział w ciągu %1 s. Sprawdź połączenie z internetem "
           u"i spróbuj ponownie."_s.arg(seconds);
}

QString noConnection(const QString& platformText) {
    return u"Nie można połączyć się z wykazem podatników VAT (%1). Sprawdź połączenie z "
           u"internetem."_s.arg(platformText);
}

QString invalidBaseUrl(const QString& base) {
    return u"Adres wykazu podatników VAT „%1” (zmienna KESTRANA_VAT_URL) nie jest adresem http "
           u"ani https."_s.arg(base);
}

Checked checkNip(const QString& typed) {
    using polishid::Kind;
    const polishid::Verdict verdict = polishid::check(Kind::Nip, typed);
    switch (verdict.state) {
    case polishid::Verdict::Empty:
        return {{}, u"Wpisz numer NIP, aby zapytać %1."_s.arg(kRegister)};
    case polishid::Verdict::Invalid:
        return {{}, u"Numer NIP „%1” jest błędny (%2)."_s.arg(typed.trimmed(), verdict.reason)};
    case polishid::Verdict::Valid:
        break;
    }
    return {polishid::digitsOf(Kind::Nip, typed), {}};
}

Checked checkAccount(const QString& typed) {
    using polishid::Kind;
    const polishid::Verdict verdict = polishid::check(Kind::Nrb, typed);
    switch (verdict.state) {
    case polishid::Verdict::Empty:
        return {{}, u"Wpisz numer konta, aby sprawdzić je w wykazie podatników VAT."_s};
    case polishid::Verdict::Invalid:
        return {{}, u"Numer konta „%1” jest błędny (%2)."_s.arg(typed.trimmed(), verdict.reason)};
    case polishid::Verdict::Valid:
        break;
    }
    const QString digits = polishid::digitsOf(Kind::Nrb, typed);
    // A valid account of another country: the register lists Polish accounts only.
    if (digits.size() != 26)
        return {{},
                u"Wykaz podatników VAT obejmuje tylko rachunki w polskich bankach (26 cyfr)."_s};
    return {digits, {}};
}

QString groupedAccount(const QString& digits) {
    if (digits.size() != 26)
        return digits;
    QString grouped = digits.left(2);
    for (qsizetype at = 2; at < digits.size(); at += 4)
        grouped += u' ' + digits.mid(at, 4);
    return grouped;
}

QStringList describe(const SearchResult& result) {
    const Subject& s = result.subject;
    QStringList lines;
    lines.append(u"Nazwa: "_s + s.name);
    lines.append(u"NIP: "_s + s.nip);
    if (!s.statusVat.isEmpty())
        lines.append(u"Status VAT: "_s + s.statusVat);
    const std::pair<QString, QString> optional[] = {
        {u"REGON: "_s, s.regon},
        {u"PESEL: "_s, s.pesel},
        {u"KRS: "_s, s.krs},
        {u"Adres działalności: "_s, s.workingAddress},
        {u"Adres zamieszkania: "_s, s.residenceAddress},
    };
    for (const auto& [label, value] : optional) {
        if (!value.isEmpty())
            lines.append(label + value);
    }
    if (s.accountNumbers.isEmpty())
        lines.append(u"Rachunki bankowe: brak"_s);
    for (qsizetype i = 0; i < s.accountNumbers.size(); ++i)
        lines.append(u"Rachunek %1: %2"_s.arg(i + 1).arg(groupedAccount(s.accountNumbers[i])));
    if (s.hasVirtualAccounts)
        lines.append(u"Rachunki wirtualne: tak"_s);
    appendRequest(result.request, lines);
    return lines;
}

QStringList describe(const CheckResult& result, const QString& nip, const QString& nrb) {
    QStringList lines = {
        u"Konto: "_s + groupedAccount(nrb),
        u"NIP: "_s + nip,
        u"Konto przypisane do NIP w wykazie podatników VAT: "_s +
            (result.assigned ? u"TAK"_s : u"NIE"_s),
    };
    appendRequest(result.request, lines);
    return lines;
}

} // namespace kestrana::vat
