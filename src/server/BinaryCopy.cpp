#include "server/BinaryCopy.h"

#include "server/ServerError.h"

#include <QtEndian>

namespace kestrana::server::copy {

namespace {

constexpr char kSignature[] = "PGCOPY\n\377\r\n";
constexpr qsizetype kSignatureSize = 11; // with its final zero byte
constexpr qsizetype kHeaderSize = kSignatureSize + 4 + 4;
constexpr qsizetype kSendSize = 1 << 20;

template <typename T> void append(QByteArray& buffer, T value) {
    char bytes[sizeof(T)];
    qToBigEndian(value, bytes);
    buffer.append(bytes, sizeof(T));
}

template <typename T> T read(const char* data) {
    return qFromBigEndian<T>(data);
}

[[noreturn]] void malformed(const QString& what) {
    throw ServerError(ServerError::Kind::Refused, QStringLiteral("Odczyt danych z serwera"),
                      QStringLiteral("COPY"),
                      QStringLiteral("Nieoczekiwana postać danych z serwera: ") + what);
}

} // namespace

Writer::Writer(const Connection::Send& send) : send_(send) {
    buffer_.reserve(kSendSize + 4096);
    buffer_.append(kSignature, kSignatureSize);
    append<qint32>(buffer_, 0); // flags
    append<qint32>(buffer_, 0); // no header extension
}

void Writer::beginRow(int fields) {
    flushIfFull();
    append<qint16>(buffer_, static_cast<qint16>(fields));
}

void Writer::addInt64(qint64 value) {
    append<qint32>(buffer_, 8);
    append<qint64>(buffer_, value);
}

void Writer::addBytes(QByteArrayView value) {
    append<qint32>(buffer_, static_cast<qint32>(value.size()));
    buffer_.append(value.data(), value.size());
}

void Writer::addText(const QString& value) {
    addBytes(value.toUtf8());
}

void Writer::finish() {
    append<qint16>(buffer_, -1);
    send_(buffer_);
    buffer_.clear();
}

void Writer::flushIfFull() {
    if (buffer_.size() < kSendSize)
        return;
    send_(buffer_);
    buffer_.clear();
}

void Reader::take(QByteArrayView piece) {
    // Only the unread rest is kept, so the buffer stays near the size of one piece.
    if (offset_ > 0) {
        pending_.remove(0, offset_);
        offset_ = 0;
    }
    pending_.append(piece.data(), piece.size());
    if (!headerRead_) {
        if (pending_.size() < kHeaderSize)
            return;
        if (QByteArrayView(pending_.constData(), kSignatureSize) !=
            QByteArrayView(kSignature, kSignatureSize))
            malformed(QStringLiteral("brak nagłówka danych binarnych"));
        const qint32 extension = read<qint32>(pending_.constData() + kSignatureSize + 4);
        if (pending_.size() < kHeaderSize + extension)
            return;
        offset_ = kHeaderSize + extension;
        headerRead_ = true;
    }
    while (!ended_ && parseRow()) {
    }
}

bool Reader::parseRow() {
    const char* data = pending_.constData();
    const qsizetype size = pending_.size();
    qsizetype at = offset_;
    if (size - at < 2)
        return false;
    const qint16 count = read<qint16>(data + at);
    at += 2;
    if (count == -1) {
        ended_ = true;
        offset_ = at;
        return false;
    }
    fields_.clear();
    for (int i = 0; i < count; ++i) {
        if (size - at < 4)
            return false;
        const qint32 length = read<qint32>(data + at);
        at += 4;
        if (length < 0) {
            fields_.emplace_back();
            continue;
        }
        if (size - at < length)
            return false;
        fields_.emplace_back(data + at, length);
        at += length;
    }
    offset_ = at;
    row_(fields_);
    return true;
}

void Reader::finish() const {
    if (!ended_)
        malformed(QStringLiteral("dane urwały się przed końcem"));
}

qint64 int64Field(QByteArrayView field) {
    return field.size() == 8 ? read<qint64>(field.data()) : 0;
}

} // namespace kestrana::server::copy
