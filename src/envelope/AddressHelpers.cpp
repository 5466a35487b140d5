#include "envelope/AddressHelpers.h"

#include "envelope/EnvelopeSetup.h"
#include "station/Workstation.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

namespace kestrana {

void copySeatToCorrespondence(EntryFormValues& form) {
    form[Field::miejscowosck] = form[Field::miejscowosc];
    form[Field::adresk] = form[Field::adres];
    form[Field::wojewodztwok] = form[Field::wojewodztwo];
}

const QStringList& voivodeshipNames() {
    static const QStringList names = {
        QStringLiteral("pomorskie"),          QStringLiteral("dolnośląskie"),
        QStringLiteral("kujawsko-pomorskie"), QStringLiteral("lubelskie"),
        QStringLiteral("lubuskie"),           QStringLiteral("łódzkie"),
        QStringLiteral("małopolskie"),        QStringLiteral("mazowieckie"),
        QStringLiteral("opolskie"),           QStringLiteral("podkarpackie"),
        QStringLiteral("podlaskie"),          QStringLiteral("śląskie"),
        QStringLiteral("świętokrzyskie"),     QStringLiteral("warmińsko-mazurskie"),
        QStringLiteral("wielkopolskie"),      QStringLiteral("zachodniopomorskie"),
    };
    return names;
}

QStringList sortedVoivodeships() {
    QCollator collator{QLocale(QLocale::Polish, QLocale::Poland)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    QStringList names = voivodeshipNames();
    std::stable_sort(names.begin(), names.end(), [&](const QString& a, const QString& b) {
        return collator.compare(a, b) < 0;
    });
    return names;
}

Field voivodeshipField(AddressBlock block) {
    switch (block) {
    case AddressBlock::Correspondence:
        return Field::wojewodztwok;
    case AddressBlock::Contact:
        return Field::wojewodztwoo;
    case AddressBlock::Seat:
        break;
    }
    return Field::wojewodztwo;
}

void VoivodeshipChooser::open(AddressBlock target) {
    target_ = target;
    items_ = sortedVoivodeships();
    open_ = true;
}

bool VoivodeshipChooser::choose(const QString& name, EntryFormValues& form) {
    if (!open_ || name.isEmpty())
        return false;
    form[voivodeshipField(target_)] = name;
    open_ = false;
    return true;
}

QString mailCommandLine(const QString& address) {
    if (address.isEmpty())
        return {};
    return (QStringLiteral("kormel.exe ") + address).left(200);
}

QString mailCommandLine(const EntryFormValues& form, AddressBlock block) {
    return mailCommandLine(block == AddressBlock::Contact ? form[Field::mailo] : form[Field::mail]);
}

EnvelopeAddress envelopeAddress(const EntryFormValues& form, const CompanyRecord& firma,
                                AddressBlock block) {
    EnvelopeAddress a;
    a.sender = {firma.lines[0], firma.lines[1], firma.lines[2], QString()};
    switch (block) {
    case AddressBlock::Seat:
        a.recipient = {form[Field::nazwa1], form[Field::nazwa2], form[Field::adres],
                       form[Field::miejscowosc]};
        break;
    case AddressBlock::Correspondence:
        a.recipient = {form[Field::nazwa1], form[Field::nazwa2], form[Field::adresk],
                       form[Field::miejscowosck]};
        break;
    case AddressBlock::Contact:
        a.recipient = {form[Field::personaliao], form[Field::adreso], form[Field::miejscowosco],
                       QString()};
        break;
    }
    return a;
}

QString openEnvelope(const Workstation& ws, const EntryFormValues& form, AddressBlock block,
                     EnvelopeFields& fields, LogoPicture& picture) {
    const EnvelopeAddress address = envelopeAddress(form, ws.firma, block);
    fields.settings.sender = address.sender;
    fields.recipient = address.recipient;
    return envelope::prepare(ws, fields, picture);
}

} // namespace kestrana
