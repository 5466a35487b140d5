#include "print/FontSettings.h"
#include "platform/CheckedFile.h"
#include "platform/IoError.h"
#include "print/ColourValue.h"
#include "print/FontWindow.h"
#include "print/PrintRun.h"
#include "print/TraceSurface.h"
#include "support/ScriptedDialogs.h"
#include "support/TestRegistry.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cerrno>

using namespace kestrana;
using kestrana::test::ScriptedDialogs;

namespace {

const QString kListFile = QStringLiteral("fonty_ks_2007.dat");

// A working directory with its FONT folder.
struct WorkDir {
    QTemporaryDir dir;
    WorkDir(bool withFontFolder = true) {
        if (withFontFolder)
            QDir(dir.path()).mkdir(QStringLiteral("FONT"));
    }
    QString path() const { return dir.path(); }
    QString font(const QString& name) const { return dir.filePath(QStringLiteral("FONT/") + name); }
    QByteArray read(const QString& name) const {
        QFile f(font(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile f(font(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

FontRecord record(const QString& face, int size, std::uint8_t style, std::int32_t colour) {
    FontRecord r;
    r.setFaceName(face);
    r.size = size;
    r.style = style;
    r.colour = colour;
    return r;
}

FontChoice choice(const QString& face, int size, std::uint8_t style, const QColor& colour) {
    return FontChoice{face, size, style, colour};
}

} // namespace

class FontSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void recordLayout() {
        FontRecord r = record(QString(61, QLatin1Char('A')), 12,
                              fontstyle::Bold | fontstyle::Italic, std::int32_t(0x00332211));
        QCOMPARE(r.faceName, QString(60, QLatin1Char('A'))); // cut to 60 in memory too
        r.padding1 = {'p', 'q', 'r'};
        r.padding2 = {'x', 'y', 'z'};
        const QByteArray bytes = r.toBytes();
        QCOMPARE(bytes.size(), 76);
        QCOMPARE(bytes.left(4), QByteArray("\x11\x22\x33\x00", 4));
        QCOMPARE(quint8(bytes[4]), quint8(60));
        QCOMPARE(bytes.mid(5, 60), QByteArray(60, 'A'));
        QCOMPARE(bytes.mid(65, 3), QByteArray("pqr"));
        QCOMPARE(qFromLittleEndian<qint32>(bytes.constData() + 68), 12);
        QCOMPARE(quint8(bytes[72]), quint8(3)); // bold italic
        QCOMPARE(bytes.mid(73, 3), QByteArray("xyz"));
        QCOMPARE(FontRecord::fromBytes(bytes), r);

        // Polish face names are Windows-1250; a short name leaves the rest of the field zero.
        const QByteArray polish = record(QStringLiteral("Łódź"), 8, 0, -1).toBytes();
        QCOMPARE(polish.mid(0, 4), QByteArray("\xff\xff\xff\xff", 4));
        QCOMPARE(polish.mid(4, 6), QByteArray("\x04\xa3\xf3\x64\x9f\x00", 6));
        QCOMPARE(FontRecord::fromBytes(polish).faceName, QStringLiteral("Łódź"));
    }

    void readingAMissingFileChangesNothing() {
        WorkDir work;
        FontSettings fonts(work.path());
        fonts.CzytajFonty(kPrintFontFile);
        QCOMPARE(fonts.record(), FontRecord{});
        QCOMPARE(fonts.faceName(), QString());
        QCOMPARE(fonts.size(), 0);

        work.write(kPrintFontFile, record(QStringLiteral("Arial"), 11, 1, colour::Red).toBytes());
        fonts.CzytajFonty(kPrintFontFile);
        const FontRecord loaded = fonts.record();
        QCOMPARE(fonts.faceName(), QStringLiteral("Arial"));
        QCOMPARE(fonts.size(), 11);
        // The shared record keeps the print font when the list font's file is missing.
        fonts.CzytajFonty(kListFile);
        QCOMPARE(fonts.record(), loaded);
        const PrintFont print = fonts.printFont();
        QCOMPARE(print.face, QStringLiteral("Arial"));
        QCOMPARE(print.size, 11);
        QCOMPARE(print.style, fontstyle::Bold);
        QCOMPARE(print.colour, colour::Red);
    }

    void shortOrUnreadableFileIsAnError() {
        WorkDir work;
        work.write(kPrintFontFile, QByteArray(75, '\0'));
        FontSettings fonts(work.path());
        QVERIFY_THROWS_EXCEPTION(IoError, fonts.CzytajFonty(kPrintFontFile));
        QCOMPARE(fonts.record(), FontRecord{});
    }

    void storingAChosenFont() {
        WorkDir work;
        FontSettings fonts(work.path());
        ScriptedDialogs dialogs;
        dialogs.expectFont(choice(QStringLiteral("Courier New"), 14,
                                  fontstyle::Underline | fontstyle::StrikeOut,
                                  QColor(0, 128, 128)));
        QVERIFY(fonts.ZapiszFonty(kListFile, dialogs));
        QVERIFY(dialogs.done());
        // No file yet: the dialog showed its start-up font.
        QCOMPARE(dialogs.fontPresets(),
                 (QList<FontChoice>{choice(QStringLiteral("Tahoma"), 8, 0, Qt::black)}));
        const FontRecord stored = FontRecord::fromBytes(work.read(kListFile));
        QCOMPARE(stored, record(QStringLiteral("Courier New"), 14, 12, colour::Teal));
        QCOMPARE(fonts.record(), stored);
        QCOMPARE(fonts.faceName(), QStringLiteral("Courier New"));
        QCOMPARE(fonts.size(), 14);

        // The next choice starts from the stored setting, whatever the record held meanwhile.
        work.write(kPrintFontFile, record(QStringLiteral("Arial"), 9, 0, 0).toBytes());
        fonts.CzytajFonty(kPrintFontFile);
        dialogs.expectFont(choice(QString(70, QLatin1Char('L')), 10, fontstyle::Bold, Qt::red));
        QVERIFY(fonts.ZapiszFonty(kListFile, dialogs));
        QCOMPARE(dialogs.fontPresets().last(),
                 choice(QStringLiteral("Courier New"), 14, 12, QColor(0, 128, 128)));
        QCOMPARE(fonts.faceName(), QString(60, QLatin1Char('L')));
        QCOMPARE(FontRecord::fromBytes(work.read(kListFile)).faceName,
                 QString(60, QLatin1Char('L')));
    }

    // Cancelling with a stored list font: the record holds it (it was just loaded), the copies
    // keep what they had, and no file is written.
    void cancelWithStoredFile() {
        WorkDir work;
        const QByteArray listBytes =
            record(QStringLiteral("Verdana"), 12, fontstyle::Italic, colour::Red).toBytes();
        work.write(kListFile, listBytes);
        work.write(kPrintFontFile, record(QStringLiteral("Arial"), 9, 0, 0).toBytes());
        FontSettings fonts(work.path());
        fonts.CzytajFonty(kPrintFontFile);
        ScriptedDialogs dialogs;
        dialogs.expectFont(std::nullopt);
        QVERIFY(!fonts.ZapiszFonty(kListFile, dialogs));
        QCOMPARE(dialogs.fontPresets().last(),
                 choice(QStringLiteral("Verdana"), 12, fontstyle::Italic, Qt::red));
        QCOMPARE(fonts.record(), FontRecord::fromBytes(listBytes));
        QCOMPARE(fonts.faceName(), QStringLiteral("Arial"));
        QCOMPARE(fonts.size(), 9);
        QCOMPARE(work.read(kListFile), listBytes);
    }

    // Cancelling without a stored list font applies whatever the record last held.
    void cancelWithoutFile() {
        WorkDir work;
        work.write(kPrintFontFile, record(QStringLiteral("Arial"), 9, 1, colour::Teal).toBytes());
        FontSettings fonts(work.path());
        fonts.CzytajFonty(kPrintFontFile);
        ScriptedDialogs dialogs;
        dialogs.expectFont(std::nullopt);
        QVERIFY(!fonts.ZapiszFonty(kListFile, dialogs));
        QCOMPARE(fonts.record().faceName, QStringLiteral("Arial"));
        QVERIFY(!QFile::exists(work.font(kListFile)));
    }

    void failedWriteKeepsRecordAndFile() {
        WorkDir work;
        const QByteArray old = record(QStringLiteral("Verdana"), 12, 0, 0).toBytes();
        work.write(kListFile, old);
        FontSettings fonts(work.path());
        ScriptedDialogs dialogs;
        dialogs.expectFont(choice(QStringLiteral("Arial"), 20, 0, Qt::black));
        files::FaultInjector faults;
        faults.failWritesAfter(10, ENOSPC);
        QVERIFY_THROWS_EXCEPTION(IoError, fonts.ZapiszFonty(kListFile, dialogs, &faults));
        QCOMPARE(work.read(kListFile), old);
        QCOMPARE(fonts.record(), FontRecord::fromBytes(old));
    }

    void missingFontFolderIsAnError() {
        WorkDir work(false);
        FontSettings fonts(work.path());
        fonts.CzytajFonty(kListFile); // nothing to read: silent
        ScriptedDialogs dialogs;
        dialogs.expectFont(choice(QStringLiteral("Arial"), 20, 0, Qt::black));
        QVERIFY_THROWS_EXCEPTION(IoError, fonts.ZapiszFonty(kListFile, dialogs));
        QCOMPARE(fonts.faceName(), QString());
    }

    // Every print run loads the print font afresh and prints with its style and colour.
    void printoutsUseTheStoredPrintFont() {
        WorkDir work;
        FontSettings fonts(work.path());
        ScriptedDialogs dialogs;
        TraceSurface trace(300, 300);
        const Printout printout = [](PageHelper& page, const PrintFont& font) {
            page.beginDocument();
            page.UstawStrone();
            page.Czcionka(font.face, font.size + 2);
            page.Pisz(1, 1, QStringLiteral("x"));
            page.ZakonczWydruk();
        };
        dialogs.expectPrintCancel();
        work.write(kPrintFontFile,
                   record(QStringLiteral("Arial"), 9, fontstyle::Italic, colour::Red).toBytes());
        QVERIFY(!runPrintout(dialogs, fonts, QStringLiteral("Lista"), printout));
        QCOMPARE(fonts.faceName(), QString()); // nothing loaded for a cancelled run
        dialogs.expectPrint(trace);
        QVERIFY(runPrintout(dialogs, fonts, QStringLiteral("Lista"), printout));
        QCOMPARE(dialogs.shown(), (QStringList{QStringLiteral("Lista"), QStringLiteral("Lista")}));
        QCOMPARE(trace.lines().at(1), QStringLiteral("text\t12\t12\tArial\t-46\ti\t#ff0000\tx"));
    }

    void listTakesTheRecord() {
        QListWidget list;
        const QFont before = list.font();
        // The zero record: the face the list already has, the platform's size, black, plain.
        applyFontRecord(list, FontRecord{});
        QCOMPARE(list.font().family(), before.family());
        QCOMPARE(list.font().pointSize(), QApplication::font().pointSize());
        QCOMPARE(list.palette().color(QPalette::Text), QColor(Qt::black));

        applyFontRecord(list, record(QStringLiteral("Liberation Mono"), 15,
                                     fontstyle::Bold | fontstyle::Italic, colour::Red));
        QCOMPARE(list.font().family(), QStringLiteral("Liberation Mono"));
        QCOMPARE(list.font().pointSize(), 15);
        QVERIFY(list.font().bold() && list.font().italic() && !list.font().underline());
        QCOMPARE(list.palette().color(QPalette::Text), QColor(Qt::red));
    }
};

KESTRANA_TEST(FontSettingsTest)
#include "FontSettingsTest.moc"
