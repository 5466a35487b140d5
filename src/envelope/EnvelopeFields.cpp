#include "envelope/EnvelopeFields.h"

#include "envelope/JpegImage.h"
#include "platform/CheckedFile.h"

namespace kestrana {

int selectedSize(const EnvelopeFields& fields) {
    return fields.size >= 1 && fields.size <= 4 ? fields.size : 1;
}

QString sizeLabel(const EnvelopeFields& fields) {
    const int i = selectedSize(fields) - 1;
    return QStringLiteral("Rozmiar ") + fields.settings.left[i] + QLatin1Char('X') +
           fields.settings.top[i];
}

void applyDefaultOptions(EnvelopeFields& fields, const EnvelopeOptions& options) {
    fields.size = options.size >= 1 && options.size <= 4 ? options.size : 1;
    fields.printLogo = options.logo == 1;
    fields.landscape = options.landscape == 1;
}

void applyProfileOptions(EnvelopeFields& fields, const EnvelopeOptions& options) {
    if (options.size >= 1 && options.size <= 4)
        fields.size = options.size;
    if (options.logo <= 1)
        fields.printLogo = options.logo == 1;
    if (options.landscape <= 1)
        fields.landscape = options.landscape == 1;
}

EnvelopeOptions optionsOf(const EnvelopeFields& fields) {
    EnvelopeOptions o;
    o.size = static_cast<unsigned char>(selectedSize(fields));
    o.logo = fields.printLogo ? 1 : 0;
    o.landscape = fields.landscape ? 1 : 0;
    return o;
}

void applyPositions(EnvelopeFields& fields, const EnvelopeSettings& settings) {
    fields.settings.left = settings.left;
    fields.settings.top = settings.top;
    fields.settings.spacing = settings.spacing;
    fields.settings.senderLeft = settings.senderLeft;
    fields.settings.senderTop = settings.senderTop;
}

void refreshLogoEnabled(EnvelopeFields& fields, const LogoPicture& picture) {
    const QString& path = fields.logo.path;
    fields.logoEnabled =
        !path.isEmpty() && !picture.image.isNull() && picture.path == path && files::exists(path);
}

QString loadLogoPictures(EnvelopeFields& fields, LogoPicture& picture) {
    const QString& path = fields.logo.path;
    QString error;
    if (!path.isEmpty() && files::exists(path)) {
        try {
            picture.image = loadJpeg(path);
            picture.path = path;
        } catch (const IoError& e) {
            // The preview keeps the old picture, but it no longer stands for any file.
            picture.path.clear();
            error = e.text();
        }
    }
    refreshLogoEnabled(fields, picture);
    return error;
}

QImage logoToPrint(const EnvelopeFields& fields, const LogoPicture& picture) {
    if (!fields.printLogo || !fields.logoEnabled || picture.image.isNull() ||
        picture.path != fields.logo.path)
        return {};
    return picture.image;
}

} // namespace kestrana
