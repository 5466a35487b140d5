#include "vat/VatClient.h"

#include <QNetworkReply>
#include <QNetworkRequest>

namespace kestrana::vat {

using namespace Qt::StringLiterals;

Client::Client(QObject* parent) : QObject(parent), base_(baseUrl()) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] {
        stop_ = Stop::TimedOut;
        if (reply_)
            reply_->abort();
    });
}

Client::~Client() {
    done_ = nullptr;
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        delete reply_;
    }
}

void Client::search(const QString& nip, const QString& date,
                    std::function<void(const Outcome<SearchResult>&)> done) {
    get(searchUrl(base_, nip, date), [nip, done = std::move(done)](const Answer& answer) {
        if (answer.failure)
            done(*answer.failure);
        else
            done(readSearchAnswer(nip, answer.httpStatus, answer.body));
    });
}

void Client::check(const QString& nip, const QString& nrb, const QString& date,
                   std::function<void(const Outcome<CheckResult>&)> done) {
    get(checkUrl(base_, nip, nrb, date), [done = std::move(done)](const Answer& answer) {
        if (answer.failure)
            done(*answer.failure);
        else
            done(readCheckAnswer(answer.httpStatus, answer.body));
    });
}

void Client::cancel() {
    if (!busy())
        return;
    stop_ = Stop::Cancelled;
    if (reply_)
        reply_->abort();
}

void Client::get(const QUrl& url, std::function<void(const Answer&)> done) {
    if (busy())
        return;
    done_ = std::move(done);
    stop_ = Stop::None;
    if (!url.isValid()) {
        // Answered from the event loop like every other request, never from inside this call.
        QTimer::singleShot(0, this, [this] {
            Answer answer;
            answer.failure = Failure{Failure::Failed, invalidBaseUrl(base_)};
            if (stop_ == Stop::Cancelled)
                answer.failure = Failure{Failure::Cancelled, {}};
            finish(answer);
        });
        return;
    }
    QNetworkRequest request(url);
    request.setRawHeader("Accept", "application/json");
    reply_ = network_.get(request);
    connect(reply_, &QNetworkReply::finished, this, &Client::replyFinished);
    // An answer is a few kilobytes: one of megabytes is not the register's, and is not kept.
    connect(reply_, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64 total) {
        if ((received > kAnswerLimit || total > kAnswerLimit) && reply_ && stop_ == Stop::None) {
            stop_ = Stop::TooLarge;
            reply_->abort();
        }
    });
    timer_.start(limit_);
}

void Client::replyFinished() {
    timer_.stop();
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    if (!reply)
        return;
    reply->deleteLater();
    Answer answer;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (stop_ == Stop::Cancelled) {
        answer.failure = Failure{Failure::Cancelled, {}};
    } else if (stop_ == Stop::TimedOut) {
        answer.failure = Failure{Failure::Failed, noAnswerInTime(int(limit_.count()))};
    } else if (stop_ == Stop::TooLarge) {
        answer.failure = Failure{Failure::Failed,
                                 u"Odpowiedź serwera wykazu podatników VAT przekroczyła 1 MB, więc "
                                 u"jej odbiór przerwano (to nie jest odpowiedź wykazu). Sprawdź "
                                 u"adres wykazu albo spróbuj ponownie później."_s};
    } else if (status.isValid()) {
        // An HTTP error still carries the register's answer in its body.
        answer.httpStatus = status.toInt();
        answer.body = reply->readAll();
    } else {
        answer.failure = Failure{Failure::Failed, noConnection(reply->errorString())};
    }
    finish(answer);
}

void Client::finish(const Answer& answer) {
    // Taken first: the answer may start the next request.
    const std::function<void(const Answer&)> done = std::move(done_);
    done_ = nullptr;
    if (done)
        done(answer);
    emit finished();
}

} // namespace kestrana::vat
