#include "envelope/EnvelopeSetup.h"
#include "envelope/EnvelopeTexts.h"
#include "platform/CheckedFile.h"
#include "station/Workstation.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QImage>
#include <QTest>

#include <cerrno>

using namespace kestrana;
using kestrana::test::DataFolder;

namespace {

Workstation stationAt(const DataFolder& folder) {
    Workstation ws;
    ws.workDir = ws.baseDir = folder.path();
    return ws;
}

QString writeJpeg(const QString& path, QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    if (!image.save(path, "JPG"))
        QTest::qFail("cannot write a JPEG", __FILE__, __LINE__);
    return path;
}

// Fields as a window shows them after the user typed into every one.
EnvelopeFields typedFields() {
    EnvelopeFields f;
    f.settings.sender = {QStringLiteral("Biuro Żuraw"), QStringLiteral("ul. Długa 1"),
                         QStringLiteral("00-001 Warszawa"), QStringLiteral("tel. 22 111")};
    f.settings.left = {QStringLiteral("11"), QStringLiteral("12"), QStringLiteral("13"),
                       QStringLiteral("14")};
    f.settings.top = {QStringLiteral("21"), QStringLiteral("22"), QStringLiteral("23"),
                      QStringLiteral("24")};
    f.settings.spacing = QStringLiteral("6");
    f.settings.senderLeft = QStringLiteral("7");
    f.settings.senderTop = QStringLiteral("8 mm");
    f.logo = {QStringLiteral("/nie/ma/logo.jpg"), QStringLiteral("30"), QStringLiteral("40")};
    f.form = QStringLiteral("Pani");
    f.recipient = {QStringLiteral("Alfa"), QStringLiteral("Beta"), QStringLiteral("Gamma"),
                   QStringLiteral("Delta")};
    f.size = 3;
    f.printLogo = true;
    f.landscape = true;
    return f;
}

} // namespace

class SetupTest : public QObject {
    Q_OBJECT

private slots:

    void firstPreparationCreatesTheFourFiles() {
        DataFolder folder;
        const Workstation ws = stationAt(folder);
        EnvelopeFields f = typedFields();
        LogoPicture picture;
        QCOMPARE(envelope::prepare(ws, f, picture), QString());

        QCOMPARE(folder.readBytes(QStringLiteral("ADMINI/dane_kop_1.dat")),
                 EnvelopeSettings::defaults().toBytes());
        QCOMPARE(folder.readBytes(QStringLiteral("ADMINI/dane_kop_log_1.dat")), QByteArray(243, 0));
        QCOMPARE(folder.readBytes(QStringLiteral("ADMINI/dane_kop_ori_1.dat")), QByteArray(3, 0));
        QCOMPARE(folder.readBytes(QStringLiteral("ADMINI/dane_kop_for.dat")), QByteArray(21, 0));

        const EnvelopeSettings defaults = EnvelopeSettings::defaults();
        QCOMPARE(f.settings.left, defaults.left);
        QCOMPARE(f.settings.top, defaults.top);
        QCOMPARE(f.settings.spacing, QStringLiteral("5"));
        QCOMPARE(f.settings.senderLeft, QStringLiteral("5"));
        QCOMPARE(f.settings.senderTop, QStringLiteral("5"));
        QVERIFY(f.logo == EnvelopeLogo());
        QCOMPARE(f.form, QString());
        QCOMPARE(f.size, 1);
        QCOMPARE(sizeLabel(f), QStringLiteral("Rozmiar 50X50"));
        QVERIFY(!f.printLogo && !f.logoEnabled && !f.landscape);
        QCOMPARE(f.caption, QStringLiteral("Adresowanie kopert - profil domyślny"));
        // What the main window put there stays.
        QCOMPARE(f.settings.sender, typedFields().settings.sender);
        QCOMPARE(f.recipient, typedFields().recipient);
    }

    void storedOptionsApply_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("logo");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<QString>("label");
        QTest::newRow("size 3, both ticked") << QByteArray("\x03\x01\x01", 3) << 3 << true << true
                                             << QStringLiteral("Rozmiar 150X150");
        QTest::newRow("size 4") << QByteArray("\x04\x00\x00", 3) << 4 << false << false
                                << QStringLiteral("Rozmiar 200X200");
        QTest::newRow("none stored")
            << QByteArray(3, 0) << 1 << false << false << QStringLiteral("Rozmiar 50X50");
        QTest::newRow("out of range") << QByteArray("\x05\x02\xff", 3) << 1 << false << false
                                      << QStringLiteral("Rozmiar 50X50");
    }
    void storedOptionsApply() {
        QFETCH(QByteArray, stored);
        QFETCH(int, size);
        QFETCH(bool, logo);
        QFETCH(bool, landscape);
        QFETCH(QString, label);
        DataFolder folder;
        folder.writeBytes(QStringLiteral("ADMINI/dane_kop_ori_1.dat"), stored);
        EnvelopeFields f;
        LogoPicture picture;
        envelope::prepare(stationAt(folder), f, picture);
        QCOMPARE(f.size, size);
        QCOMPARE(f.printLogo, logo);
        QCOMPARE(f.landscape, landscape);
        QCOMPARE(sizeLabel(f), label);
        QVERIFY(!f.logoEnabled); // no logo file
    }

    void defaultsRoundTrip() {
        DataFolder folder;
        const Workstation ws = stationAt(folder);
        EnvelopeFields f = typedFields();
        f.settings.sender[0] = QString(100, QLatin1Char('x'));
        f.settings.left[1] = QStringLiteral("1234567");
        LogoPicture picture;
        envelope::saveDefaults(ws, f, picture);
        const EnvelopeSettings stored =
            readEnvelopeSettings(folder.file(QStringLiteral("ADMINI/dane_kop_1.dat")));
        QCOMPARE(stored.sender[0], QString(80, QLatin1Char('x')));
        QCOMPARE(stored.left[1], QStringLiteral("12345"));
        QCOMPARE(folder.readBytes(QStringLiteral("ADMINI/dane_kop_ori_1.dat")),
                 QByteArray("\x03\x01\x01", 3));
        QVERIFY(!files::exists(folder.file(QStringLiteral("ADMINI/dane_kop_for.dat"))));

        // Preparation takes the positions but not the sender lines; reading the defaults
        // takes the sender lines too and leaves the form of address and recipients alone.
        EnvelopeFields shown;
        envelope::prepare(ws, shown, picture);
        QCOMPARE(shown.settings.sender, (std::array<QString, 4>{}));
        QCOMPARE(shown.settings.left[1], QStringLiteral("12345"));
        QCOMPARE(shown.settings.senderTop, QStringLiteral("8 mm"));
        QCOMPARE(shown.logo, f.logo);
        QCOMPARE(shown.size, 3);
        shown.form = QStringLiteral("Pan");
        shown.recipient[0] = QStringLiteral("Odbiorca");
        shown.size = 2;
        shown.caption.clear();
        envelope::loadDefaults(ws, shown, picture);
        QCOMPARE(shown.settings, stored);
        QCOMPARE(shown.size, 3);
        QCOMPARE(shown.form, QStringLiteral("Pan"));
        QCOMPARE(shown.recipient[0], QStringLiteral("Odbiorca"));
        QCOMPARE(shown.caption, envelope::defaultCaption());
    }

    void loadDefaultsNeedsTheFiles() {
        DataFolder folder;
        EnvelopeFields f = typedFields();
        LogoPicture picture;
        QVERIFY_THROWS_EXCEPTION(IoError, envelope::loadDefaults(stationAt(folder), f, picture));
        QVERIFY(!files::exists(folder.file(QStringLiteral("ADMINI/dane_kop_ori_1.dat"))));
    }

    void formOfAddressSurvivesOnlyThroughKoniec() {
        DataFolder folder;
        const Workstation ws = stationAt(folder);
        EnvelopeFields f;
        LogoPicture picture;
        envelope::prepare(ws, f, picture);
        f.form = QStringLiteral("Szanowna Pani Profesor Dyrektor");
        envelope::prepare(ws, f, picture);
        QCOMPARE(f.form, QString());
        envelope::saveFormOfAddress(ws, QStringLiteral("Szanowna Pani Profesor Dyrektor"));
        envelope::prepare(ws, f, picture);
        QCOMPARE(f.form, QStringLiteral("Szanowna Pani Profes")); // 20 characters
    }

    void profileRoundTrip() {
        DataFolder folder;
        const Workstation ws = stationAt(folder);
        const QString logo =
            writeJpeg(folder.file(QStringLiteral("logo.jpg")), QSize(8, 4), Qt::red);
        EnvelopeFields f = typedFields();
        f.logo.path = logo;
        const QString path = folder.file(QStringLiteral("Firma A.pro"));
        envelope::saveProfile(path, f);
        QCOMPARE(files::size(path), qint64(726));

        EnvelopeFields shown;
        LogoPicture picture;
        envelope::prepare(ws, shown, picture);
        shown.form = QStringLiteral("Pan");
        QCOMPARE(envelope::loadProfile(path, shown, picture), QString());
        QCOMPARE(shown.settings, f.settings);
        QCOMPARE(shown.logo, f.logo);
        QCOMPARE(shown.size, 3);
        QVERIFY(shown.printLogo && shown.landscape && shown.logoEnabled);
        QCOMPARE(picture.image.size(), QSize(8, 4));
        QCOMPARE(picture.path, logo);
        QCOMPARE(shown.form, QStringLiteral("Pan"));
        QCOMPARE(shown.caption, QStringLiteral("Adresowanie kopert ") + path);
        QCOMPARE(sizeLabel(shown), QStringLiteral("Rozmiar 13X23"));
    }

    void profileOptionsKeepWhatTheyDoNotSet_data() {
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("logo");
        QTest::addColumn<bool>("landscape");
        QTest::newRow("size 0 keeps, 0 unticks") << QByteArray(3, 0) << 2 << false << false;
        QTest::newRow("other values keep") << QByteArray("\x07\x02\x09", 3) << 2 << true << true;
        QTest::newRow("all set") << QByteArray("\x04\x01\x01", 3) << 4 << true << true;
    }
    void profileOptionsKeepWhatTheyDoNotSet() {
        QFETCH(QByteArray, options);
        QFETCH(int, size);
        QFETCH(bool, logo);
        QFETCH(bool, landscape);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.pro"));
        files::writeFile(path, EnvelopeSettings::defaults().toBytes() + EnvelopeLogo().toBytes() +
                                   options);
        EnvelopeFields f;
        f.size = 2;
        f.printLogo = f.landscape = true;
        LogoPicture picture;
        envelope::loadProfile(path, f, picture);
        QCOMPARE(f.size, size);
        QCOMPARE(f.printLogo, logo);
        QCOMPARE(f.landscape, landscape);
    }

    void truncatedProfileChangesNothing() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ucięty.pro"));
        files::writeFile(path, EnvelopeProfile().toBytes().left(100));
        EnvelopeFields f = typedFields();
        LogoPicture picture;
        try {
            envelope::loadProfile(path, f, picture);
            QFAIL("a 100-byte profile was read");
        } catch (const IoError& e) {
            QVERIFY(e.text().contains(path));
        }
        QCOMPARE(f.settings, typedFields().settings);
        QCOMPARE(f.caption, QString());
    }

    void missingAdminiFolderIsReported() {
        DataFolder folder(false);
        EnvelopeFields f;
        LogoPicture picture;
        QVERIFY_THROWS_EXCEPTION(IoError, envelope::prepare(stationAt(folder), f, picture));
        QVERIFY_THROWS_EXCEPTION(
            IoError, envelope::saveFormOfAddress(stationAt(folder), QStringLiteral("Pan")));
    }

    // A full disk while the defaults are written leaves every file whole.
    void failedWriteKeepsTheOldFile() {
        DataFolder folder;
        Workstation ws = stationAt(folder);
        EnvelopeFields f;
        LogoPicture picture;
        envelope::prepare(ws, f, picture);
        const QByteArray before = folder.readBytes(QStringLiteral("ADMINI/dane_kop_1.dat"));
        const QStringList filesBefore =
            QDir(folder.file(QStringLiteral("ADMINI"))).entryList(QDir::Files);
        f = typedFields();
        files::FaultInjector faults;
        ws.faults = &faults;
        faults.failWritesAfter(100, ENOSPC);
        QVERIFY_THROWS_EXCEPTION(IoError, envelope::saveDefaults(ws, f, picture));
        QCOMPARE(folder.readBytes(QStringLiteral("ADMINI/dane_kop_1.dat")), before);
        // No temporary file is left behind.
        QCOMPARE(QDir(folder.file(QStringLiteral("ADMINI"))).entryList(QDir::Files), filesBefore);
    }

    void logoPicturesFollowTheFile() {
        DataFolder folder;
        const Workstation ws = stationAt(folder);
        const QString red =
            writeJpeg(folder.file(QStringLiteral("czerwony.jpg")), QSize(20, 10), Qt::red);
        const QString broken = folder.file(QStringLiteral("zepsuty.jpg"));
        folder.writeBytes(QStringLiteral("zepsuty.jpg"), QByteArray("\x89PNG\r\n\x1a\n", 8));
        EnvelopeFields f;
        LogoPicture picture;
        envelope::prepare(ws, f, picture);

        // Attaching a broken file changes nothing and says why.
        QVERIFY(envelope::attachLogo(broken, f, picture).contains(QStringLiteral("JPEG")));
        QCOMPARE(f.logo.path, QString());
        QVERIFY(picture.image.isNull());

        QCOMPARE(envelope::attachLogo(red, f, picture), QString());
        QCOMPARE(f.logo.path, red);
        QVERIFY(f.logoEnabled);
        QVERIFY(!f.printLogo); // attaching does not tick
        f.printLogo = true;
        QCOMPARE(logoToPrint(f, picture).size(), QSize(20, 10));

        // Detached: the box is disabled and nothing prints, though the picture is still held.
        envelope::detachLogo(f);
        QVERIFY(!f.logoEnabled && f.printLogo);
        QVERIFY(!picture.image.isNull());
        QVERIFY(logoToPrint(f, picture).isNull());

        // Saved defaults naming the broken file: the preparation reports it, still loads the
        // rest, and the old picture cannot print for the new name.
        f.logo.path = broken;
        f.size = 4;
        envelope::saveDefaults(ws, f, picture);
        envelope::saveFormOfAddress(ws, QStringLiteral("Pan"));
        QVERIFY(!f.logoEnabled);
        const QString error = envelope::prepare(ws, f, picture);
        QVERIFY(error.contains(broken));
        QCOMPARE(f.size, 4);
        QCOMPARE(f.form, QStringLiteral("Pan"));
        QCOMPARE(f.caption, envelope::defaultCaption());
        QVERIFY(f.printLogo && !f.logoEnabled);
        QVERIFY(logoToPrint(f, picture).isNull());

        // A path that names no file keeps the held picture and disables the box.
        f.logo.path = folder.file(QStringLiteral("brak.jpg"));
        QCOMPARE(loadLogoPictures(f, picture), QString());
        QVERIFY(!f.logoEnabled && !picture.image.isNull());
    }

    void attachRefusesPathsTheRecordCannotHold_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("too long") << QString(240, QLatin1Char('a')) + QStringLiteral(".jpg");
        QTest::newRow("outside Windows-1250") << QStringLiteral("логотип.jpg");
    }
    void attachRefusesPathsTheRecordCannotHold() {
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (!QImage(4, 4, QImage::Format_RGB32).save(path, "JPG"))
            QSKIP("the file system does not take this name");
        EnvelopeFields f;
        LogoPicture picture;
        QVERIFY(!envelope::attachLogo(path, f, picture).isEmpty());
        QCOMPARE(f.logo.path, QString());
        QVERIFY(picture.image.isNull());
    }
};

KESTRANA_TEST(SetupTest)
#include "SetupTest.moc"
