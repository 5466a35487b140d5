#pragma once

#include "envelope/EnvelopeFields.h"
#include "register/EntryForm.h"
#include "station/SmallRecords.h"

#include <QRect>
#include <QString>
#include <QStringList>

#include <array>

namespace kestrana {

struct Workstation;

// The entry form's three address blocks; the numbers are the voivodeship chooser's targets.
enum class AddressBlock { Seat = 1, Correspondence = 2, Contact = 3 };

// "Wklej": the seat's town, street address and voivodeship into the correspondence address.
void copySeatToCorrespondence(EntryFormValues& form);

// The sixteen voivodeships in the order they are put into the list, and as the sorted list
// shows them (Polish collation, case-insensitive).
const QStringList& voivodeshipNames();
QStringList sortedVoivodeships();

// The voivodeship field of a block.
Field voivodeshipField(AddressBlock block);

// The chooser panel Panel17 ("Lista województw") without its widgets: which block it fills and
// what its list shows. Opening it again rebuilds the list.
class VoivodeshipChooser {
public:
    // Where Panel17 is placed on the main window.
    static QRect panelGeometry() { return QRect(12, 16, 252, 527); }

    void open(AddressBlock target);
    // A double-click on `name`: writes it into the target block's voivodeship and closes the
    // panel. With no name selected (empty) nothing changes and the panel stays open.
    bool choose(const QString& name, EntryFormValues& form);
    // "Zaniechaj wyboru".
    void cancel() { open_ = false; }

    bool isOpen() const { return open_; }
    AddressBlock target() const { return target_; }
    const QStringList& items() const { return items_; }

private:
    AddressBlock target_ = AddressBlock::Seat;
    QStringList items_;
    bool open_ = false;
};

// The mail program's command line for the seat's `mail` or the contact's `mailo`:
// "kormel.exe " and the address as typed, cut to 200 characters; empty when the address is
// empty (the button then does nothing). It is started with the base directory as working
// directory and nothing waits for it.
QString mailCommandLine(const QString& address);
QString mailCommandLine(const EntryFormValues& form, AddressBlock block);

// What "Koperta" puts into the envelope window: sender lines n1..n3 are the own company's
// lines 1 to 3 and n4 is empty; recipient lines o2..o5 come from the block.
struct EnvelopeAddress {
    std::array<QString, 4> sender;
    std::array<QString, 4> recipient;
    bool operator==(const EnvelopeAddress&) const = default;
};
EnvelopeAddress envelopeAddress(const EntryFormValues& form, const CompanyRecord& firma,
                                AddressBlock block);

// "Koperta": fills the sender and recipient lines, then prepares the window from the stored
// defaults (which keeps those lines). Returns the logo loader's error text, empty when none;
// throws IoError as the preparation does.
QString openEnvelope(const Workstation& ws, const EntryFormValues& form, AddressBlock block,
                     EnvelopeFields& fields, LogoPicture& picture);

} // namespace kestrana
