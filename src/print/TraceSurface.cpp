#include "print/TraceSurface.h"

#include "platform/CheckedFile.h"
#include "print/Dialogs.h"

namespace kestrana {

namespace {

QString number(int value) {
    return QString::number(value);
}

QString colourText(QRgb colour) {
    return QStringLiteral("#%1").arg(colour & 0xFFFFFFu, 6, 16, QLatin1Char('0'));
}

} // namespace

TraceSurface::TraceSurface(int dpiX, int dpiY, QString path)
    : dpiX_(dpiX), dpiY_(dpiY), path_(std::move(path)) {}

TraceSurface::~TraceSurface() {
    try {
        flush();
    } catch (const IoError&) {
        // Nobody is left to tell; the trace of an unfinished document is lost.
    }
}

QString TraceSurface::escape(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        switch (ch.unicode()) {
        case u'\\':
            out += QLatin1String("\\\\");
            break;
        case u'\t':
            out += QLatin1String("\\t");
            break;
        case u'\r':
            out += QLatin1String("\\r");
            break;
        case u'\n':
            out += QLatin1String("\\n");
            break;
        default:
            out += ch;
        }
    }
    return out;
}

QString TraceSurface::styleLetters(std::uint8_t style) {
    QString letters;
    if (style & fontstyle::Bold)
        letters += QLatin1Char('b');
    if (style & fontstyle::Italic)
        letters += QLatin1Char('i');
    if (style & fontstyle::Underline)
        letters += QLatin1Char('u');
    if (style & fontstyle::StrikeOut)
        letters += QLatin1Char('s');
    return letters.isEmpty() ? QStringLiteral("-") : letters;
}

void TraceSurface::add(const QStringList& fields) {
    lines_.append(fields.join(QLatin1Char('\t')));
    dirty_ = true;
}

void TraceSurface::flush() {
    if (path_.isEmpty() || !dirty_)
        return;
    QByteArray bytes;
    for (const QString& line : lines_)
        bytes += line.toUtf8() + '\n';
    dirty_ = false;
    files::writeFile(path_, bytes);
}

void TraceSurface::begin() {
    add({QStringLiteral("begin"),
         landscape_ ? QStringLiteral("landscape") : QStringLiteral("portrait"), number(dpiX_),
         number(dpiY_)});
    if (paper_.isValid()) {
        const QSizeF mm = paper_.size(QPageSize::Millimeter);
        add({QStringLiteral("paper"), paper_.name(), QString::number(mm.width()),
             QString::number(mm.height())});
    }
}

void TraceSurface::newPage() {
    add({QStringLiteral("page")});
}

void TraceSurface::end() {
    add({QStringLiteral("end")});
    flush();
}

void TraceSurface::abort() {
    try {
        flush();
    } catch (const IoError&) {
        // abort() runs while another failure is being reported; that one counts.
    }
}

void TraceSurface::text(int x, int y, const SurfaceFont& font, QRgb colour, const QString& text) {
    add({QStringLiteral("text"), number(x), number(y), escape(font.face), number(font.height),
         styleLetters(font.style), colourText(colour), escape(text)});
}

void TraceSurface::rect(int x1, int y1, int x2, int y2, QRgb pen) {
    add({QStringLiteral("rect"), number(x1), number(y1), number(x2), number(y2), colourText(pen)});
}

void TraceSurface::image(int x1, int y1, int x2, int y2, const QImage& picture) {
    add({QStringLiteral("image"), number(x1), number(y1), number(x2), number(y2),
         number(picture.width()), number(picture.height())});
}

} // namespace kestrana
