#include "support/VatRegisterServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTest>

namespace kestrana::test {

namespace {

struct Reply {
    int status = 200;
    QByteArray body;
    bool stall = false;
};

QByteArray json(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QJsonObject result(const QJsonValue& subjectOrAnswer, const char* key, const QString& id) {
    return {{QStringLiteral("result"),
             QJsonObject{{QLatin1String(key), subjectOrAnswer},
                         {QStringLiteral("requestId"), id},
                         {QStringLiteral("requestDateTime"), VatRegisterServer::requestTime()}}}};
}

QJsonObject company() {
    return {
        {QStringLiteral("name"),
         QStringLiteral("PRZEDSIĘBIORSTWO HANDLOWO-USŁUGOWE „ŻÓŁW” SPÓŁKA Z OGRANICZONĄ "
                        "ODPOWIEDZIALNOŚCIĄ")},
        {QStringLiteral("nip"), QStringLiteral("1234563218")},
        {QStringLiteral("statusVat"), QStringLiteral("Czynny")},
        {QStringLiteral("regon"), QStringLiteral("123456785")},
        {QStringLiteral("pesel"), QJsonValue::Null},
        {QStringLiteral("krs"), QStringLiteral("0000123456")},
        {QStringLiteral("residenceAddress"), QJsonValue::Null},
        {QStringLiteral("workingAddress"),
         QStringLiteral("UL. ŚWIĘTOKRZYSKA 12/3, 00-916 WARSZAWA")},
        {QStringLiteral("representatives"), QJsonArray()},
        {QStringLiteral("registrationLegalDate"), QStringLiteral("2001-05-17")},
        {QStringLiteral("accountNumbers"),
         QJsonArray::fromStringList(VatRegisterServer::accounts())},
        {QStringLiteral("hasVirtualAccounts"), false},
    };
}

QJsonObject person() {
    return {
        {QStringLiteral("name"), QStringLiteral("JAN ŁĘCKI USŁUGI ŚLUSARSKIE")},
        {QStringLiteral("nip"), QStringLiteral("2222222222")},
        {QStringLiteral("statusVat"), QStringLiteral("Zwolniony")},
        {QStringLiteral("regon"), QJsonValue::Null},
        {QStringLiteral("pesel"), QJsonValue::Null},
        {QStringLiteral("krs"), QJsonValue::Null},
        {QStringLiteral("residenceAddress"),
         QStringLiteral("KOŚCIELNA 5, 62-080 TARNOWO PODGÓRNE")},
        {QStringLiteral("workingAddress"), QJsonValue::Null},
        {QStringLiteral("accountNumbers"), QJsonArray()},
        {QStringLiteral("hasVirtualAccounts"), false},
    };
}

// What the register answers for the NIP, whatever is asked about it.
std::optional<Reply> byNip(const QString& nip) {
    if (nip == QLatin1String("4444444444"))
        return Reply{400, json({{QStringLiteral("code"), QStringLiteral("WL-191")},
                                {QStringLiteral("message"),
                                 QStringLiteral("Przekroczono dzienny limit zapytań (191).")}})};
    if (nip == QLatin1String("5555555555"))
        return Reply{500, "<html><body>Internal Server Error</body></html>"};
    if (nip == QLatin1String("6666666666"))
        return Reply{200, {}, true};
    if (nip == QLatin1String("7777777777"))
        return Reply{200, R"({"result":{"subject":{"name":"Firma","nip":"77777)"};
    if (nip == QLatin1String("8888888888"))
        return Reply{200, R"({"wynik":[1,2,3]})"};
    if (nip == QLatin1String("9999999999"))
        return Reply{200, QByteArray(3 << 20, ' ')};
    return std::nullopt;
}

Reply search(const QString& nip) {
    if (std::optional<Reply> fixed = byNip(nip))
        return *fixed;
    const QString id = VatRegisterServer::searchRequestId();
    if (nip == QLatin1String("1234563218"))
        return {200, json(result(company(), "subject", id))};
    if (nip == QLatin1String("2222222222"))
        return {200, json(result(person(), "subject", id))};
    return {200, json(result(QJsonValue::Null, "subject", id))};
}

Reply check(const QString& nip, const QString& nrb) {
    if (std::optional<Reply> fixed = byNip(nip))
        return *fixed;
    const bool assigned =
        nip == QLatin1String("1234563218") && VatRegisterServer::accounts().contains(nrb);
    return {200, json(result(assigned ? QStringLiteral("TAK") : QStringLiteral("NIE"),
                             "accountAssigned", VatRegisterServer::checkRequestId()))};
}

QByteArray reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    default:
        return "Internal Server Error";
    }
}

} // namespace

VatRegisterServer::VatRegisterServer() {
    if (!server_.listen(QHostAddress::LocalHost))
        QTest::qFail("the register's stand-in cannot listen", __FILE__, __LINE__);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

VatRegisterServer::~VatRegisterServer() {
    for (const QPointer<QTcpSocket>& socket : std::as_const(stalled_)) {
        if (socket)
            socket->abort();
    }
}

QString VatRegisterServer::url() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort());
}

const QStringList& VatRegisterServer::accounts() {
    static const QStringList list = {QStringLiteral("61109010140000071219812874"),
                                     QStringLiteral("60102010260000042270201111"),
                                     QStringLiteral("27114020040000300201355387")};
    return list;
}

void VatRegisterServer::read(QTcpSocket* socket) {
    QByteArray& received = pending_[socket];
    received += socket->readAll();
    const qsizetype end = received.indexOf("\r\n\r\n");
    if (end < 0)
        return;
    const QList<QByteArray> requestLine = received.left(received.indexOf("\r\n")).split(' ');
    pending_.remove(socket);
    answer(socket, requestLine.size() == 3 && requestLine[0] == "GET"
                       ? QString::fromLatin1(requestLine[1])
                       : QString());
}

void VatRegisterServer::answer(QTcpSocket* socket, const QString& target) {
    requests_.append(target);
    static const QRegularExpression searchPath(
        QStringLiteral(R"(^/api/search/nip/(\d+)\?date=\d{4}-\d{2}-\d{2}$)"));
    static const QRegularExpression checkPath(
        QStringLiteral(R"(^/api/check/nip/(\d+)/bank-account/(\d+)\?date=\d{4}-\d{2}-\d{2}$)"));
    Reply reply{404, R"({"code":"WL-404","message":"Nie ma takiej metody."})"};
    if (const QRegularExpressionMatch m = searchPath.match(target); m.hasMatch())
        reply = search(m.captured(1));
    else if (const QRegularExpressionMatch c = checkPath.match(target); c.hasMatch())
        reply = check(c.captured(1), c.captured(2));
    if (reply.stall) {
        stalled_.append(socket);
        emit requested();
        return;
    }
    QByteArray response =
        "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reason(reply.status) + "\r\n";
    response += reply.body.startsWith('<') ? "Content-Type: text/html\r\n"
                                           : "Content-Type: application/json;charset=UTF-8\r\n";
    response += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    response += "Connection: close\r\n\r\n" + reply.body;
    socket->write(response);
    socket->disconnectFromHost();
    emit requested();
}

} // namespace kestrana::test
