#include "envelope/JpegImage.h"

#include "platform/CheckedFile.h"

#include <csetjmp>
#include <cstdio>
#include <memory>

#include <jerror.h>
#include <jpeglib.h>

namespace kestrana {

namespace {

const QString opDecode = QStringLiteral("Odczyt obrazka");
constexpr qint64 kMaxFileBytes = 256LL * 1024 * 1024;

// libjpeg's own error handler ends the process; this one jumps back to the decoder with the
// message instead.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

extern "C" void errorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings mean damaged data (most often a file cut short), which libjpeg would fill with grey;
// a logo like that is refused. Stray bytes between markers harm nothing and are let through.
extern "C" void emitMessage(j_common_ptr cinfo, int level) {
    if (level >= 0 || cinfo->err->msg_code == JWRN_EXTRANEOUS_DATA)
        return;
    errorExit(cinfo);
}

extern "C" void outputMessage(j_common_ptr) {}

// Everything the decoder touches between setjmp and a longjmp lives here, on the heap, so no
// automatic variable's value is in doubt after the jump.
struct Decoder {
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    QImage image;
    QString failure; // set for refusals of our own (size)
};

void convertCmyk(Decoder* d, const JSAMPLE* row, int y) {
    // Adobe writes CMYK inverted (0 is full ink); others write it plain.
    const bool inverted = d->cinfo.saw_Adobe_marker;
    auto* out = reinterpret_cast<QRgb*>(d->image.scanLine(y));
    for (JDIMENSION x = 0; x < d->cinfo.output_width; ++x, row += 4) {
        int c = row[0], m = row[1], yl = row[2], k = row[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            yl = 255 - yl;
            k = 255 - k;
        }
        out[x] = qRgb(c * k / 255, m * k / 255, yl * k / 255);
    }
}

// Returns false when libjpeg reported an error (message in d->err.message) or the picture was
// refused (d->failure). No object with a destructor lives in this frame.
bool decode(Decoder* d, const unsigned char* data, unsigned long size) {
    d->cinfo.err = jpeg_std_error(&d->err.base);
    d->err.base.error_exit = errorExit;
    d->err.base.emit_message = emitMessage;
    d->err.base.output_message = outputMessage;
    if (setjmp(d->err.jump)) {
        jpeg_destroy_decompress(&d->cinfo);
        return false;
    }
    jpeg_create_decompress(&d->cinfo);
    jpeg_mem_src(&d->cinfo, data, size);
    jpeg_read_header(&d->cinfo, TRUE);

    QImage::Format format;
    switch (d->cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
        d->cinfo.out_color_space = JCS_GRAYSCALE;
        format = QImage::Format_Grayscale8;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        d->cinfo.out_color_space = JCS_CMYK;
        format = QImage::Format_RGB32;
        break;
    default:
        d->cinfo.out_color_space = JCS_RGB;
        format = QImage::Format_RGB888;
        break;
    }
    jpeg_start_decompress(&d->cinfo);

    const qint64 width = d->cinfo.output_width;
    const qint64 height = d->cinfo.output_height;
    if (width * height > kMaxJpegPixels) {
        d->failure =
            QStringLiteral("Obrazek jest za duży (%1 × %2 punktów)").arg(width).arg(height);
        jpeg_destroy_decompress(&d->cinfo);
        return false;
    }
    d->image = QImage(static_cast<int>(width), static_cast<int>(height), format);
    if (d->image.isNull()) {
        d->failure =
            QStringLiteral("Brak pamięci na obrazek (%1 × %2 punktów)").arg(width).arg(height);
        jpeg_destroy_decompress(&d->cinfo);
        return false;
    }

    const bool cmyk = d->cinfo.out_color_space == JCS_CMYK;
    JSAMPARRAY cmykRow = nullptr;
    if (cmyk) {
        // Allocated in libjpeg's pool, released with the decompressor.
        cmykRow = (*d->cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&d->cinfo),
                                                JPOOL_IMAGE, d->cinfo.output_width * 4, 1);
    }
    while (d->cinfo.output_scanline < d->cinfo.output_height) {
        const int y = static_cast<int>(d->cinfo.output_scanline);
        if (cmyk) {
            jpeg_read_scanlines(&d->cinfo, cmykRow, 1);
            convertCmyk(d, cmykRow[0], y);
        } else {
            JSAMPROW row = d->image.scanLine(y);
            jpeg_read_scanlines(&d->cinfo, &row, 1);
        }
    }
    jpeg_finish_decompress(&d->cinfo);
    jpeg_destroy_decompress(&d->cinfo);
    return true;
}

} // namespace

QImage decodeJpeg(const QByteArray& data, const QString& path) {
    auto d = std::make_unique<Decoder>();
    if (!decode(d.get(), reinterpret_cast<const unsigned char*>(data.constData()),
                static_cast<unsigned long>(data.size()))) {
        const QString reason = !d->failure.isEmpty()
                                   ? d->failure
                                   : QStringLiteral("Plik nie jest czytelnym obrazem JPEG (%1)")
                                         .arg(QString::fromLocal8Bit(d->err.message));
        throw IoError(opDecode, path, reason);
    }
    return std::move(d->image);
}

QImage loadJpeg(const QString& path) {
    if (files::size(path) > kMaxFileBytes)
        throw IoError(opDecode, path, QStringLiteral("Plik obrazka jest za duży"));
    return decodeJpeg(files::readFile(path), path);
}

} // namespace kestrana
