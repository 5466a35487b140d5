#include "envelope/EnvelopeSetup.h"

#include "envelope/EnvelopeTexts.h"
#include "envelope/JpegImage.h"
#include "platform/CheckedFile.h"
#include "platform/CodePage.h"
#include "station/Workstation.h"

#include <QDir>

namespace kestrana::envelope {

namespace {

// Creates the file with its default record when it is missing.
void ensureFile(const QString& path, const QByteArray& defaults) {
    if (!files::exists(path))
        writeEnvelopeRecord(path, defaults);
}

} // namespace

QString prepare(const Workstation& ws, EnvelopeFields& fields, LogoPicture& picture) {
    fields.size = 1;
    fields.landscape = false;
    fields.printLogo = false;
    fields.settings.left = {};
    fields.settings.top = {};
    fields.settings.senderLeft.clear();
    fields.settings.senderTop.clear();
    fields.settings.spacing.clear();
    fields.logo = EnvelopeLogo();

    const QString logoFile = envelopeLogoFile(ws);
    ensureFile(logoFile, EnvelopeLogo().toBytes());
    fields.logo = readEnvelopeLogo(logoFile);

    const QString settingsFile = envelopeSettingsFile(ws);
    ensureFile(settingsFile, EnvelopeSettings::defaults().toBytes());
    applyPositions(fields, readEnvelopeSettings(settingsFile));

    const QString logoError = loadLogoPictures(fields, picture);

    const QString formFile = formOfAddressFile(ws);
    ensureFile(formFile, FormOfAddress().toBytes());
    fields.form = readFormOfAddress(formFile).text;

    const QString optionsFile = envelopeOptionsFile(ws);
    ensureFile(optionsFile, EnvelopeOptions().toBytes());
    applyDefaultOptions(fields, readEnvelopeOptions(optionsFile));

    refreshLogoEnabled(fields, picture);
    fields.caption = defaultCaption();
    return logoError;
}

void saveDefaults(const Workstation& ws, EnvelopeFields& fields, const LogoPicture& picture) {
    writeEnvelopeRecord(envelopeSettingsFile(ws), fields.settings.toBytes(), ws.faults);
    writeEnvelopeRecord(envelopeLogoFile(ws), fields.logo.toBytes(), ws.faults);
    writeEnvelopeRecord(envelopeOptionsFile(ws), optionsOf(fields).toBytes(), ws.faults);
    refreshLogoEnabled(fields, picture);
}

QString loadDefaults(const Workstation& ws, EnvelopeFields& fields, LogoPicture& picture) {
    fields.size = 1;
    fields.landscape = false;
    fields.printLogo = false;
    applyDefaultOptions(fields, readEnvelopeOptions(envelopeOptionsFile(ws)));
    fields.logo = readEnvelopeLogo(envelopeLogoFile(ws));
    fields.settings = readEnvelopeSettings(envelopeSettingsFile(ws));
    const QString logoError = loadLogoPictures(fields, picture);
    fields.caption = defaultCaption();
    return logoError;
}

void saveProfile(const QString& path, const EnvelopeFields& fields) {
    EnvelopeProfile profile;
    profile.settings = fields.settings;
    profile.logo = fields.logo;
    profile.options = optionsOf(fields);
    writeEnvelopeRecord(path, profile.toBytes());
}

QString loadProfile(const QString& path, EnvelopeFields& fields, LogoPicture& picture) {
    const EnvelopeProfile profile = readEnvelopeProfile(path);
    fields.settings = profile.settings;
    fields.logo = profile.logo;
    applyProfileOptions(fields, profile.options);
    const QString logoError = loadLogoPictures(fields, picture);
    fields.caption = profileCaptionPrefix() + QDir::toNativeSeparators(path);
    return logoError;
}

QString attachLogo(const QString& path, EnvelopeFields& fields, LogoPicture& picture) {
    // A path that the logo record cannot hold as it is would name another file once read back.
    const QByteArray stored = cp1250::encode(path);
    if (stored.size() > EnvelopeLogo::PathWidth || cp1250::decode(stored) != path)
        return QStringLiteral("Ścieżki obrazka nie można zapamiętać (najwyżej %1 znaków, bez "
                              "znaków spoza polskiego alfabetu):\n%2")
            .arg(EnvelopeLogo::PathWidth)
            .arg(QDir::toNativeSeparators(path));
    try {
        picture.image = loadJpeg(path);
    } catch (const IoError& e) {
        return e.text();
    }
    picture.path = path;
    fields.logo.path = path;
    refreshLogoEnabled(fields, picture);
    return {};
}

void detachLogo(EnvelopeFields& fields) {
    fields.logo.path.clear();
    fields.logoEnabled = false;
}

void saveFormOfAddress(const Workstation& ws, const QString& form) {
    writeEnvelopeRecord(formOfAddressFile(ws), FormOfAddress{form}.toBytes(), ws.faults);
}

} // namespace kestrana::envelope
