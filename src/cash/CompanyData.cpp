#include "cash/CompanyData.h"

#include "platform/CheckedFile.h"
#include "platform/CodePage.h"
#include "register/RegisterServer.h"
#include "station/Workstation.h"

#include <QList>

namespace kestrana::companydata {

using namespace Qt::StringLiterals;

const std::array<QString, 6>& lineLabels() {
    static const std::array<QString, 6> labels = {
        u"Nazwa firmy"_s, u"Adres"_s, u"Kod i miejscowość"_s, u"NIP"_s, u"Bank"_s, u"Numer konta"_s,
    };
    return labels;
}

QString lineProblem(int line, const QString& text) {
    // Counted as stored: one byte per character, a character beyond the BMP counts as one.
    const QByteArray encoded = cp1250::encode(text);
    if (encoded.size() > CompanyRecord::LineWidth)
        return u"Wiersz %1 jest za długi (liczba znaków: %2, najwyżej %3). Skróć go."_s.arg(line)
            .arg(encoded.size())
            .arg(CompanyRecord::LineWidth);
    const QString stored = cp1250::decode(encoded);
    for (qsizetype i = 0, j = 0; i < text.size(); ++j) {
        const char32_t codePoint = text.at(i).isHighSurrogate() && i + 1 < text.size()
                                       ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1))
                                       : text.at(i).unicode();
        const qsizetype width = codePoint > 0xFFFF ? 2 : 1;
        const bool control = codePoint < 0x20 || codePoint == 0x7F;
        if (stored.at(j) != text.at(i) || width == 2 || control) {
            const QString shown = control ? u"kod %1"_s.arg(uint(codePoint)) : text.mid(i, width);
            return u"Wiersz %1 zawiera znak „%2”, którego nie można zapisać w danych firmy. "
                   u"Usuń go lub zastąp innym."_s.arg(QString::number(line), shown);
        }
        i += width;
    }
    return {};
}

QString problem(const CompanyRecord& record) {
    for (int i = 0; i < int(record.lines.size()); ++i) {
        const QString found = lineProblem(i + 1, record.lines[i]);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

CompanyRecord load(const Workstation& ws) {
    if (ws.server)
        return CompanyRecord::fromBytes(
            ws.server->read(RegisterServer::Record::Company).value_or(QByteArray()));
    const QString path = ws.firmaFile();
    if (!files::exists(path))
        return {};
    return CompanyRecord::fromBytes(files::readRecord(path, 0, CompanyRecord::Size));
}

void store(const Workstation& ws, const CompanyRecord& record) {
    if (ws.server) {
        ws.server->change(RegisterServer::Record::Company,
                          [&](const std::optional<QByteArray>&) { return record.toBytes(); });
        return;
    }
    files::replaceFile(ws.firmaFile(), record.toBytes(), ws.faults);
}

namespace {

QString markPath(const Workstation& ws) {
    return ws.localPath(u"ADMINI/firma_pytanie.dat"_s);
}

// One line per level told: the level's word.
QByteArray levelWord(const Workstation& ws) {
    return ws.boss ? "szef" : "pracownik";
}

QList<QByteArray> levelsTold(const Workstation& ws) {
    const QString path = markPath(ws);
    if (!files::exists(path))
        return {};
    return files::readFile(path, ws.faults).split('\n');
}

} // namespace

bool promptDue(const Workstation& ws) {
    for (const QString& line : ws.firma.lines) {
        if (!line.trimmed().isEmpty())
            return false;
    }
    return !levelsTold(ws).contains(levelWord(ws));
}

void markPrompted(const Workstation& ws) {
    QList<QByteArray> told = levelsTold(ws);
    told.removeAll(QByteArray());
    told.append(levelWord(ws));
    files::replaceFile(markPath(ws), told.join('\n') + '\n', ws.faults);
}

QString bossQuestion() {
    return u"Dane firmy nie są jeszcze wpisane. Bez nich dokumenty KP i KW nie mają wystawcy, a "
           u"koperty nadawcy.\n\nWpisać je teraz? (Później: menu „Dodatki” → „Dane firmy”.)"_s;
}

QString clerkNote() {
    return u"Dane firmy nie są jeszcze wpisane, więc dokumenty KP i KW nie mają wystawcy, a "
           u"koperty nadawcy. Wpisuje je Szef: „Kestrana — poziom Szefa”, menu „Dodatki” → "
           u"„Dane firmy”."_s;
}

} // namespace kestrana::companydata
