#pragma once

#include "vat/VatRegister.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <chrono>
#include <functional>

class QNetworkReply;

namespace kestrana::vat {

// Asks the register over HTTPS (Qt's network module, the system's certificates), one request at
// a time, without blocking: the answer comes to the function given, on this thread, exactly
// once, and then finished() is emitted. A request gets no more than the time limit; cancel()
// stops it. A client destroyed during a request drops it without an answer.
class Client : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kDefaultTimeLimit{10000};
    // An answer is read up to this size; a larger one is cut off and the request fails.
    static constexpr qint64 kAnswerLimit = 1 << 20;

    explicit Client(QObject* parent = nullptr);
    ~Client() override;

    // The register's address (baseUrl() at first).
    void setBaseUrl(const QString& base) { base_ = base; }
    void setTimeLimit(std::chrono::milliseconds limit) { limit_ = limit; }
    bool busy() const { return static_cast<bool>(done_); }

    // `date` is the day asked about, YYYY-MM-DD. Ignored while another request runs.
    void search(const QString& nip, const QString& date,
                std::function<void(const Outcome<SearchResult>&)> done);
    void check(const QString& nip, const QString& nrb, const QString& date,
               std::function<void(const Outcome<CheckResult>&)> done);
    // The running request ends with Failure::Cancelled.
    void cancel();

signals:
    void finished();

private:
    struct Answer {
        int httpStatus = 0; // 0: no answer (failure says why)
        QByteArray body;
        std::optional<Failure> failure;
    };
    void get(const QUrl& url, std::function<void(const Answer&)> done);
    void finish(const Answer& answer);
    void replyFinished();

    QNetworkAccessManager network_;
    QTimer timer_;
    QString base_;
    std::chrono::milliseconds limit_ = kDefaultTimeLimit;
    QPointer<QNetworkReply> reply_;
    std::function<void(const Answer&)> done_;
    enum class Stop { None, Cancelled, TimedOut, TooLarge } stop_ = Stop::None;
};

} // namespace kestrana::vat
