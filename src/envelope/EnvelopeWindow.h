#pragma once

#include "envelope/AddressHelpers.h"
#include "envelope/EnvelopeFields.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "print/Dialogs.h"
#include "print/FontSettings.h"
#include "register/EntryForm.h"
#include "station/SmallRecords.h"
#include "station/Workstation.h"

#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class Tkoperta_f;
}

namespace kestrana {

class Tfont_f;

// The envelope window: one envelope at a time, its sender, recipient, positions, logo and
// options, stored as defaults or as profiles, printed through the page helper. Created once at
// start-up and prepared then; the main window's "Koperta" buttons fill and reopen it. It has no
// close button: "Koniec" is the way out. Every file failure is shown and ends that action; the
// values it changed so far stay on screen.
class Tkoperta_f : public QWidget {
    Q_OBJECT

public:
    Tkoperta_f(const Workstation& ws, Prompts& prompts, Dialogs& dialogs, FontSettings& fonts,
               Tfont_f& fontWindow, const Clock& clock, QWidget* parent = nullptr);
    ~Tkoperta_f() override;

    // Preparation: the base directory decided afresh from the working directory, the help
    // panel hidden, then the stored defaults (created when missing) without the sender and
    // recipient lines. False when a file operation failed (the error has been shown).
    bool FormCreate();

    // "Koperta" on the main window: sender lines from the own company's lines 1 to 3 (line 4
    // empty), recipient lines from the entry form's `block`, then the preparation, and the
    // window is shown centred, not modal. Nothing is shown when preparing fails.
    bool open(const EntryFormValues& form, const CompanyRecord& firma, AddressBlock block);

    // The buttons' handlers; the comment gives each button's caption.
    void storeAsDefaults();      // "Zapisz ustalenia jako domyślne"
    void readDefaults();         // "Czytaj ustalenia domyślne"
    void storeProfile();         // "Zapisz profil"
    void readProfile();          // "Czytaj profil"
    void attachPicture();        // "Dołącz obrazek"
    void detachPicture();        // "Odłącz obrazek"
    void chooseSize(int k);      // "rozmiar 1" .. "rozmiar 4"
    bool printCurrentEnvelope(); // "Drukuj kopertę": true when printed
    // "Koperty seryjne": one envelope per entry of the current list with an address in the
    // chosen block, as one print job; true when printed.
    bool printSerialEnvelopes();
    // "Papier koperty": the paper chosen is stored for this workstation at once.
    void choosePaper();
    void choosePrintFont(); // "Czcionka druku"
    void showHelp();        // "Pomoc"
    void hideHelp();        // "Powrót" on the help panel
    bool leave();           // "Koniec": true when the window was left
    void Timer1Timer();

    // The values the controls hold now.
    EnvelopeFields fields() const;
    // The logo picture held by Image2 and Image3.
    const LogoPicture& picture() const { return picture_; }
    // The workstation with the base directory of the last preparation.
    const Workstation& station() const { return here_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Runs a file operation on the window's values; what it changed is shown even when it
    // fails. The operation returns a logo loader's error (shown, the rest stands) or throws.
    bool apply(const std::function<QString(EnvelopeFields&)>& operation);
    void showFields(const EnvelopeFields& f);
    void showPicture();
    void refreshSizeLabel();
    // The paper this workstation stored, the printer's page when none.
    void showStoredPaper();

    std::unique_ptr<Ui::Tkoperta_f> ui;
    const Workstation& ws_;
    Prompts& prompts_;
    Dialogs& dialogs_;
    FontSettings& fonts_;
    Tfont_f& fontWindow_;
    const Clock& clock_;
    Workstation here_;
    LogoPicture picture_;
    QTimer Timer1;
};

} // namespace kestrana
