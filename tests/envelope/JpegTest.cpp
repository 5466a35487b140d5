#include "envelope/JpegImage.h"
#include "platform/CheckedFile.h"
#include "support/TestRegistry.h"

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <jpeglib.h>

using namespace kestrana;

namespace {

QByteArray jpegOf(const QImage& image, int quality = 95) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPG", quality))
        QTest::qFail("cannot encode a JPEG", __FILE__, __LINE__);
    return bytes;
}

// A CMYK JPEG as Adobe writes it (inverted ink values), which Qt cannot write itself.
QByteArray cmykJpeg(int width, int height, const unsigned char cmyk[4]) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&cinfo, &out, &outSize);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 100, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(width) * 4);
    for (int x = 0; x < width; ++x)
        std::copy(cmyk, cmyk + 4, row.begin() + x * 4);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char*>(out), static_cast<qsizetype>(outSize));
    std::free(out);
    return bytes;
}

bool near(QRgb a, QRgb b, int tolerance = 6) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

} // namespace

class JpegTest : public QObject {
    Q_OBJECT

private slots:
    void decodesColourAndGrey() {
        QImage colour(40, 30, QImage::Format_RGB32);
        colour.fill(QColor(200, 30, 40));
        for (int x = 20; x < 40; ++x)
            for (int y = 0; y < 30; ++y)
                colour.setPixel(x, y, qRgb(20, 60, 220));
        const QImage decoded = decodeJpeg(jpegOf(colour));
        QCOMPARE(decoded.size(), QSize(40, 30));
        QVERIFY(near(decoded.pixel(5, 5), qRgb(200, 30, 40)));
        QVERIFY(near(decoded.pixel(35, 25), qRgb(20, 60, 220)));

        QImage grey(7, 5, QImage::Format_Grayscale8);
        grey.fill(QColor(128, 128, 128));
        const QImage greyDecoded = decodeJpeg(jpegOf(grey));
        QCOMPARE(greyDecoded.format(), QImage::Format_Grayscale8);
        QCOMPARE(greyDecoded.size(), QSize(7, 5));
        QVERIFY(near(greyDecoded.pixel(3, 2), qRgb(128, 128, 128), 2));
    }

    void decodesAdobeCmyk() {
        // Inverted: 255 is no ink. No ink but cyan and half black: dark cyan.
        const unsigned char ink[4] = {0, 255, 255, 128};
        const QImage decoded = decodeJpeg(cmykJpeg(9, 6, ink));
        QCOMPARE(decoded.size(), QSize(9, 6));
        QVERIFY2(near(decoded.pixel(4, 3), qRgb(0, 128, 128)),
                 qPrintable(QString::number(decoded.pixel(4, 3), 16)));
    }

    void refusesWhatIsNotAReadableJpeg_data() {
        QTest::addColumn<QByteArray>("data");
        QImage image(64, 64, QImage::Format_RGB32);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                image.setPixel(x, y, qRgb(x * 4, y * 4, (x + y) * 2));
        const QByteArray good = jpegOf(image, 90);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        QByteArray random(5000, '\0');
        QRandomGenerator generator(1234);
        for (char& c : random)
            c = char(generator.bounded(256));
        QByteArray hugeHeader = good;
        // The frame header's height and width become 60000 × 60000.
        const qsizetype sof = good.indexOf(QByteArray("\xff\xc0", 2));
        hugeHeader.replace(sof + 5, 4, QByteArray("\xea\x60\xea\x60", 4));

        QTest::newRow("empty") << QByteArray();
        QTest::newRow("random bytes") << random;
        QTest::newRow("PNG") << png;
        QTest::newRow("header only") << good.left(sof + 10);
        QTest::newRow("cut in half") << good.left(good.size() / 2);
        QTest::newRow("cut before end marker") << good.left(good.size() - 2);
        QTest::newRow("JPEG start then random") << QByteArray("\xff\xd8", 2) + random;
        QTest::newRow("60000 x 60000 declared") << hugeHeader;
    }
    void refusesWhatIsNotAReadableJpeg() {
        QFETCH(QByteArray, data);
        try {
            decodeJpeg(data, QStringLiteral("/tmp/logo.jpg"));
            QFAIL("decoded");
        } catch (const IoError& e) {
            QVERIFY(e.text().contains(QStringLiteral("/tmp/logo.jpg")));
            QVERIFY2(e.platformText().startsWith(
                         QStringLiteral("Plik nie jest czytelnym obrazem JPEG")) ||
                         e.platformText().startsWith(QStringLiteral("Obrazek jest za duży")),
                     qPrintable(e.text()));
        }
    }

    void missingFileIsAnError() {
        QTemporaryDir dir;
        QVERIFY_THROWS_EXCEPTION(IoError, loadJpeg(dir.filePath(QStringLiteral("brak.jpg"))));
    }
};

KESTRANA_TEST(JpegTest)
#include "JpegTest.moc"
