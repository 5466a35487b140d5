#include "platform/CodePage.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_map>

namespace kestrana::cp1250 {
namespace {

// Both directions are tables filled once from Qt's codec: a table lookup per byte keeps list
// builds and filters over large registers cheap.
struct Tables {
    std::array<char16_t, 256> toUnicode{};
    std::unordered_map<char32_t, char> fromUnicode;

    Tables() {
        QStringDecoder decoder("windows-1250");
        QByteArray all(256, '\0');
        for (int i = 0; i < 256; ++i)
            all[i] = static_cast<char>(i);
        const QString text = decoder.isValid() ? decoder(all) : QString();
        for (int i = 0; i < 256; ++i) {
            // Without the codec (never on a supported system) the upper half reads as Latin-1.
            const char16_t ch = text.size() == 256 ? text[i].unicode() : char16_t(i);
            toUnicode[i] = ch;
            if (i >= 0x80)
                fromUnicode.emplace(ch, static_cast<char>(i));
        }
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

} // namespace

QString decode(const char* data, qsizetype length) {
    const auto& table = tables().toUnicode;
    QString out(length, Qt::Uninitialized);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < length; ++i)
        dst[i] = QChar(table[static_cast<unsigned char>(data[i])]);
    return out;
}

void appendUtf8(const char* data, qsizetype length, QByteArray& out) {
    struct Utf8 {
        char bytes[3];
        unsigned char size;
    };
    static const std::array<Utf8, 256> utf8 = [] {
        std::array<Utf8, 256> result{};
        for (int i = 0; i < 256; ++i) {
            const QByteArray b = QString(QChar(tables().toUnicode[i])).toUtf8();
            result[i].size = static_cast<unsigned char>(std::min<qsizetype>(b.size(), 3));
            std::memcpy(result[i].bytes, b.constData(), result[i].size);
        }
        return result;
    }();
    const qsizetype start = out.size();
    out.resize(start + 3 * length);
    char* at = out.data() + start;
    for (qsizetype i = 0; i < length; ++i) {
        // Runs of plain ASCII (most of a line: its padding) go through eight bytes at a time.
        while (i + 8 <= length) {
            quint64 word;
            std::memcpy(&word, data + i, 8);
            if (word & 0x8080808080808080ULL)
                break;
            std::memcpy(at, &word, 8);
            at += 8;
            i += 8;
        }
        if (i == length)
            break;
        const Utf8& u = utf8[static_cast<unsigned char>(data[i])];
        if (u.size == 1) {
            *at++ = u.bytes[0];
            continue;
        }
        std::memcpy(at, u.bytes, u.size);
        at += u.size;
    }
    out.truncate(at - out.constData());
}

char encodeChar(char32_t codePoint) {
    if (codePoint < 0x80)
        return static_cast<char>(codePoint);
    const auto& map = tables().fromUnicode;
    const auto it = map.find(codePoint);
    return it == map.end() ? '?' : it->second;
}

QByteArray encode(QStringView text) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() < 0x80) {
            out.append(static_cast<char>(c.unicode()));
            continue;
        }
        char32_t cp = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(c, text[i + 1]);
            ++i;
        }
        out.append(encodeChar(cp));
    }
    return out;
}

QString missingCharacters(QStringView text) {
    QString missing;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() < 0x80)
            continue;
        QString character(c);
        char32_t cp = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(c, text[i + 1]);
            character += text[++i];
        }
        // A lone surrogate half has no byte either.
        if ((c.isSurrogate() || encodeChar(cp) == '?') && !missing.contains(character))
            missing += character;
    }
    return missing;
}

} // namespace kestrana::cp1250
