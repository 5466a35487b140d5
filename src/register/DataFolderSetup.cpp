#include "register/DataFolderSetup.h"

#include "platform/CheckedFile.h"
#include "platform/CodePage.h"
#include "platform/DataPaths.h"
#include "platform/IoError.h"
#include "platform/TextFile.h"
#include "register/CategoryNames.h"
#include "register/Editing.h"
#include "register/EntryRecord.h"
#include "register/EntryStore.h"
#include "register/Register.h"
#include "register/StartupFiles.h"
#include "station/DataDirectories.h"
#include "station/StorageLocation.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>

namespace kestrana {

namespace {

QString resourceText(const QString& name) {
    QFile file(QStringLiteral(":/kestrana/") + name);
    if (!file.open(QIODevice::ReadOnly))
        throw IoError(QStringLiteral("Odczyt danych programu"), name, ENOENT);
    return QString::fromUtf8(file.readAll());
}

QStringList tsvRows(const QString& name) {
    QStringList rows = textfile::splitLines(resourceText(name));
    rows.removeIf([](const QString& row) { return row.trimmed().isEmpty(); });
    return rows;
}

void writeText(const QString& path, const QString& utf8Text) {
    files::writeFile(path,
                     cp1250::encode(textfile::splitLines(utf8Text).join(QStringLiteral("\r\n")) +
                                    QStringLiteral("\r\n")));
}

void installDemo(const QString& dir, const QString& today) {
    Workstation ws;
    ws.workDir = dir;
    ws.baseDir = dir;
    ws.today = today;
    if (files::exists(ws.mainFile()))
        throw IoError(
            QStringLiteral("Folder zawiera już rejestr; dane przykładowe nie zostały zapisane"),
            ws.mainFile(), EEXIST);

    QStringList rows = tsvRows(QStringLiteral("demo/firmy.tsv"));
    const QStringList header = rows.takeFirst().split(QLatin1Char('\t'));
    QByteArray main;
    qint32 id = 1;
    for (const QString& row : std::as_const(rows)) {
        const QStringList cells = row.split(QLatin1Char('\t'));
        EntryRecord record;
        record.setText(Field::id, QString::number(id));
        for (int c = 0; c < header.size() && c < cells.size(); ++c) {
            const QString& column = header[c];
            if (column == QLatin1String("umowa")) {
                record.setUmowa(cells[c].trimmed() == QLatin1String("1"));
                continue;
            }
            if (column == QLatin1String("kategorie") || column == QLatin1String("grupy")) {
                for (const QString& n : cells[c].split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                    const int number = n.trimmed().toInt();
                    if (number < 1 || number > 20)
                        continue;
                    if (column == QLatin1String("kategorie"))
                        record.setCategory(number, true);
                    else
                        record.setGroup(number, true);
                }
                continue;
            }
            for (int f = 1; f < kTextFieldCount; ++f) {
                if (column == QLatin1String(fieldLayouts()[f].name))
                    record.setText(static_cast<Field>(f), cells[c]);
            }
        }
        main.append(record.data(), EntryRecord::Size);
        const QString description = QStringLiteral("demo/opisy/%1.txt").arg(id);
        if (QFile::exists(QStringLiteral(":/kestrana/") + description))
            writeText(ws.dataPath(QStringLiteral("OPISY/opis_ks_%1.dat").arg(id)),
                      resourceText(description));
        ++id;
    }
    files::replaceFile(ws.mainFile(), main);
    files::replaceFile(ws.idFile(), int32Bytes(id));

    CategoryNames names = CategoryNames::defaults();
    for (const QString& row : tsvRows(QStringLiteral("demo/kategorie.tsv"))) {
        const QStringList cells = row.split(QLatin1Char('\t'));
        if (cells.size() < 3)
            continue;
        const int n = cells[1].toInt();
        if (n < 1 || n > 20)
            continue;
        (cells[0] == QLatin1String("K") ? names.categories : names.groups)[n - 1] = cells[2];
    }
    CategoryNames::write(ws.categoriesFile(), names);

    CompanyRecord firma;
    const QStringList lines = textfile::splitLines(resourceText(QStringLiteral("demo/firma.txt")));
    for (int i = 0; i < 6 && i < lines.size(); ++i)
        firma.lines[i] = lines[i];
    files::replaceFile(ws.firmaFile(), firma.toBytes());
}

} // namespace

void installDataFolder(const QString& dir, bool demo, const QString& today) {
    files::makeDirectory(dir);
    const QStringList all = startup::dataDirectoryNames() + startup::functionDirectoryNames() +
                            QStringList{startup::fontDirectoryName()};
    QStringList missing;
    for (const QString& name : all) {
        if (!files::isDirectory(resolvePath(dir, name)))
            missing.append(name);
    }
    startup::createDataDirectories(dir, missing);
    // Pictures belong in OBRAZKI even when the directory was there already.
    startup::createDataDirectories(dir, {QStringLiteral("OBRAZKI")});
    writeText(resolvePath(dir, QStringLiteral("POMOC/bazaadresowa.dat")),
              resourceText(QStringLiteral("POMOC/bazaadresowa.txt")));
    startup::locateStorage(dir);
    Workstation ws;
    ws.workDir = dir;
    ws.baseDir = dir;
    startup::prepareLockFiles(ws);
    if (demo)
        installDemo(dir, today);
}

namespace {

// Nine digits that differ for every ID below 900 000 000 (7919 is prime to 900 000 000), and
// the check digit; a check sum of 10, which no NIP has, gives 0.
QString generatedNip(qint32 id) {
    const qint64 body = 100000000 + (qint64(id) * 7919) % 900000000;
    const QString digits = QString::number(body);
    static const int weights[] = {6, 5, 7, 2, 3, 4, 5, 6, 7};
    int sum = 0;
    for (int i = 0; i < 9; ++i)
        sum += weights[i] * digits[i].digitValue();
    return digits + QString::number(sum % 11 % 10);
}

} // namespace

editing::Appended generateEntries(const Workstation& ws, qint64 count, quint32 seed) {
    static const char16_t* const firstWords[] = {
        u"Zakład",    u"Przedsiębiorstwo", u"Spółdzielnia", u"Hurtownia", u"Wytwórnia", u"Fabryka",
        u"Pracownia", u"Drukarnia",        u"Piekarnia",    u"Tartak",    u"Odlewnia"};
    static const char16_t* const trades[] = {
        u"Stolarski", u"Metalowy",   u"Spożywcza", u"Mebli", u"Opakowań", u"Tekstylna",
        u"Ceramiki",  u"Kosmetyków", u"Słodyczy",  u"Okien", u"Narzędzi", u"Papieru"};
    static const char16_t* const names[] = {u"Ábel",    u"Bór",   u"Cis",   u"Dąb",   u"Echo",
                                            u"Faktor",  u"Gród",  u"Jawor", u"Klon",  u"Łąka",
                                            u"Modrzew", u"Nurt",  u"Orzeł", u"Piast", u"Róża",
                                            u"Śnieżka", u"Tęcza", u"Wisła", u"Zorza", u"Żuraw"};
    static const char16_t* const towns[] = {
        u"00-950 Warszawa",  u"30-001 Kraków",  u"50-001 Wrocław", u"80-001 Gdańsk",
        u"60-001 Poznań",    u"90-001 Łódź",    u"20-001 Lublin",  u"40-001 Katowice",
        u"15-001 Białystok", u"35-001 Rzeszów", u"25-001 Kielce",  u"10-001 Olsztyn"};
    static const char16_t* const provinces[] = {
        u"mazowieckie",   u"małopolskie",  u"dolnośląskie",   u"pomorskie",
        u"wielkopolskie", u"łódzkie",      u"lubelskie",      u"śląskie",
        u"podlaskie",     u"podkarpackie", u"świętokrzyskie", u"warmińsko-mazurskie"};
    auto pick = [](QRandomGenerator& rng, const auto& list) {
        return QString::fromUtf16(list[rng.bounded(static_cast<int>(std::size(list)))]);
    };

    QRandomGenerator rng(seed);
    // Added as an import adds: as one step, IDs from the counter, all or none.
    Register reg(ws);
    return reg.store().appendNew(count, [&](qint64, qint32 id, EntryRecord& r) {
        const int town = rng.bounded(static_cast<int>(std::size(towns)));
        r.setText(Field::numer, QStringLiteral("G-%1").arg(id, 7, 10, QLatin1Char('0')));
        r.setText(Field::data, QStringLiteral("%1-%2-%3")
                                   .arg(1995 + rng.bounded(32))
                                   .arg(1 + rng.bounded(12), 2, 10, QLatin1Char('0'))
                                   .arg(1 + rng.bounded(28), 2, 10, QLatin1Char('0')));
        r.setText(Field::nazwa1, pick(rng, firstWords) + QLatin1Char(' ') + pick(rng, trades) +
                                     QStringLiteral(" „") + pick(rng, names) +
                                     QStringLiteral("” nr ") + QString::number(id));
        if (rng.bounded(3) == 0)
            r.setText(Field::nazwa2, QStringLiteral("Oddział ") + pick(rng, names));
        r.setText(Field::miejscowosc, QString::fromUtf16(towns[town]));
        r.setText(Field::adres,
                  QStringLiteral("ul. %1 %2").arg(pick(rng, names)).arg(1 + rng.bounded(120)));
        r.setText(Field::wojewodztwo, QString::fromUtf16(provinces[town]));
        r.setText(Field::telefon, QStringLiteral("+48 %1 %2 %3 %4")
                                      .arg(12 + rng.bounded(80))
                                      .arg(100 + rng.bounded(900))
                                      .arg(10 + rng.bounded(90))
                                      .arg(10 + rng.bounded(90)));
        r.setText(Field::mail, QStringLiteral("biuro%1@firma.example.pl").arg(id));
        // Each entry its own NIP (a random one would repeat among a million entries, and a
        // generated register stands for one without repeated companies); the draw stays, so
        // that a seed gives the same entries otherwise.
        rng.bounded(899999999);
        r.setText(Field::nip, generatedNip(id));
        r.setText(Field::datamodyfikacji, QStringLiteral("2026-11-30"));
        r.setUmowa(rng.bounded(10) == 0);
        for (int n = 1; n <= 20; ++n) {
            r.setCategory(n, rng.bounded(8) == 0);
            if (n < 20)
                r.setGroup(n, rng.bounded(10) == 0);
        }
    });
}

} // namespace kestrana
