#include "envelope/SerialEnvelopes.h"

#include "envelope/EnvelopeLayout.h"
#include "envelope/EnvelopePrintout.h"
#include "platform/CheckedFile.h"
#include "register/EntryForm.h"
#include "register/EntryRecord.h"

#include <functional>

namespace kestrana {

namespace {

bool hasAddress(const EntryFormValues& form, AddressBlock block) {
    const auto blank = [&](Field field) { return form[field].trimmed().isEmpty(); };
    switch (block) {
    case AddressBlock::Seat:
        return !blank(Field::adres) || !blank(Field::miejscowosc);
    case AddressBlock::Correspondence:
        return !blank(Field::adresk) || !blank(Field::miejscowosck);
    case AddressBlock::Contact:
        return !blank(Field::adreso) || !blank(Field::miejscowosco);
    }
    return false;
}

} // namespace

qint64 forEachListRecipient(const QString& listFile, AddressBlock block,
                            const std::function<void(const std::array<QString, 4>&)>& each) {
    files::RecordReader list(listFile, EntryRecord::Size);
    EntryFormValues form;
    qint64 withoutAddress = 0;
    while (const char* bytes = list.next()) {
        recordToForm(EntryRecord::fromBytes(bytes), form);
        if (!hasAddress(form, block)) {
            ++withoutAddress;
            continue;
        }
        each(envelopeAddress(form, CompanyRecord{}, block).recipient);
    }
    return withoutAddress;
}

SerialEnvelopeCount countSerialEnvelopes(const QString& listFile, AddressBlock block) {
    SerialEnvelopeCount count;
    count.withoutAddress = forEachListRecipient(
        listFile, block, [&](const std::array<QString, 4>&) { ++count.envelopes; });
    return count;
}

Printout serialEnvelopePrintout(const EnvelopeFields& fields, const LogoPicture& picture,
                                const QString& listFile, AddressBlock block) {
    const QImage logo = logoToPrint(fields, picture);
    return [fields, logo, listFile, block](PageHelper& page, const PrintFont& font) {
        // Every envelope has the same size and so the same paper and orientation.
        EnvelopePaperScope paper(page, fields.landscape, fields.paper);
        bool first = true;
        forEachListRecipient(listFile, block, [&](const std::array<QString, 4>& recipient) {
            EnvelopeFields one = fields;
            one.recipient = recipient;
            if (first) {
                page.beginDocument();
                page.UstawStrone();
                first = false;
            } else {
                page.newPage();
            }
            drawEnvelope(page, font, layoutEnvelope(one, logo.size()), logo);
        });
        if (!first)
            page.ZakonczWydruk();
    };
}

} // namespace kestrana
