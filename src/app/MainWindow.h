#pragma once

#include "app/PanelTakeover.h"
#include "envelope/AddressHelpers.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "print/Dialogs.h"
#include "print/FontSettings.h"
#include "register/CategoryNames.h"
#include "register/EntryForm.h"
#include "register/EntrySession.h"
#include "register/EntryStore.h"
#include "register/EntryView.h"
#include "register/ListLine.h"
#include "register/Register.h"
#include "register/Startup.h"
#include "reports/FilterCriteria.h"
#include "station/LockWait.h"
#include "station/Workstation.h"
#include "tools/CommandLines.h"
#include "tools/Notepad.h"

#include <QMainWindow>
#include <QStringList>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QKeySequence;
class QMenu;
class QLineEdit;
class QProgressDialog;

namespace Ui {
class Tbaza_f;
}

namespace kestrana {

namespace vat {
class Client;
}

// What the main window needs from outside: dialogs, the clock, the command line and the
// working directory at start.
struct MainWindowContext {
    Prompts& prompts;
    Dialogs& dialogs;
    FontSettings& fonts; // the program's one shared font record
    const Clock& clock;
    QStringList arguments;
    QString workDir;
    // When a wait for data another workstation holds shows the busy cursor and asks.
    LockWaitTimes lockWaitTimes = {};
    // A test's planned failures of file operations; none in the program.
    files::FaultInjector* faults = nullptr;
};

// The main window: the entry list on the left, the entry form on the right. It shows what the
// editing session (the rules of the list and the form) hands it and forwards the clicks; its
// constructor only builds the controls and wires them, and startUp() runs the program's
// start-up and fills the window from what start-up found.
class Tbaza_f : public QMainWindow, private EntryView {
    Q_OBJECT

public:
    explicit Tbaza_f(MainWindowContext context, QWidget* parent = nullptr);
    ~Tbaza_f() override;

    // The program's start-up (the same one kestrana-cli runs), then the window filled from what
    // it found: caption, list font, category names, the list with its first entry, the daily
    // backup. The window keeps the state reached when start-up stops: its menus and buttons
    // disabled. EndProgram means the program must end at once.
    startup::Report::Outcome startUp();

    const Workstation& workstation() const { return ws_; }
    Register& registerFiles() { return *register_; }
    EntrySession& session() { return *session_; }
    ViewMode viewMode() const { return session_->viewMode(); }
    qint64 currentPosition() const { return session_->currentPosition(); }
    bool startupCompleted() const { return startupCompleted_; }
    // Called after a confirmed exit has released the lock and faded the window.
    void setProcessEnd(std::function<void()> end) { endProcess_ = std::move(end); }
    // How the main window opens the notepad window (help).
    void setNotepadOpener(std::function<void(const notepad::Request&)> open) {
        openNotepad_ = std::move(open);
    }
    // Starts an outside program in a working directory; tests replace it to see the command
    // lines.
    using ProgramStarter =
        std::function<commands::StartOutcome(const commands::CommandLine&, const QString&)>;
    void setProgramStarter(ProgramStarter start) { startProgram_ = std::move(start); }
    // Hands a mailto: address to the desktop's mail client when the mail program is missing;
    // false when the desktop has none. Tests replace it.
    using MailOpener = std::function<bool(const QUrl&)>;
    void setMailOpener(MailOpener open) { openMail_ = std::move(open); }
    // The entry last loaded into the form (empty before any load and after a refusal).
    const EntryRecord& shownEntry() const { return session_->shownEntry(); }

    EntryFormValues formValues() const override;

    // The selection of a list line as a click: loads the entry into the form.
    void selectLine() { session_->selectLine(); }
    // The Enter key in the list: loads the selected entry again.
    void enterKey() { session_->reloadLine(); }
    // False when the build failed (shown to the user; the list holds what was built).
    bool buildList(const Register::Filter& filter = {}) { return session_->buildList(filter); }
    void setViewMode(ViewMode mode);
    // Runs the status timer's step once (the timer does it every 100 ms).
    void updateStatus();
    // The confirmed exit; false when the user answered No.
    bool requestExit();
    // The end a failed network check asks for: no question and no fade-out, but the lock of
    // the shown entry is released so that nobody is refused it afterwards.
    void endAfterNetworkFailure() {
        session_->releaseLock();
        endProcess_();
    }

    // Entry editing: the buttons under the list and the "&Edycja" menu.
    void navigate(EntrySession::Move move) { session_->navigate(move); }
    void toggleAddMode();
    void saveEntry() { session_->save(); }
    void deleteEntry() { session_->remove(); }
    void rememberEntry() { session_->remember(); }
    void insertRememberedEntry() { session_->insertRemembered(); }
    void openIdCounter();
    void storeIdCounter();

    // Sorting and search.
    void chooseSortField(SortField field);
    void sortEntries(bool descending) { session_->sort(descending); }
    void search();
    // "Dopasuj czcionkę listy".
    void chooseListFont();
    // How the main window opens the category names window.
    void setCategoryOpener(std::function<void()> open) { openCategories_ = std::move(open); }
    // New names from the category names window become the check boxes' captions.
    void showCategoryNames(const CategoryNames& names);

    // The filter panel.
    void openFilter();
    void buildFromFilter(bool filtered);
    FilterCriteria filterCriteria() const;
    bool fullList() const { return session_->fullList(); }

    // Printouts ("Wyd&ruki") and the definable-printout panel.
    void printList();
    void openDefinablePrintout();
    void printDefinable();
    void closeDefinablePrintout();
    void printEntry();
    void exportEntry();
    void printDescription();
    // "Podgląd wydruku": stored for this workstation, then every printout follows it.
    void setPrintPreview(bool on);

    // Spreadsheets ("&Baza"): the current list to CSV or XLSX; a CSV file's rows as new entries
    // after a preview, and the undoing of this workstation's last import (both boss level).
    void exportCsv();
    void exportXlsx();
    // Writes the list to a file the user picks (`suffix` added when the name has none) by
    // `write`, which returns how many entries it wrote; says so, or shows the failure.
    void exportList(const QString& title, const QString& filter, const QString& suffix,
                    const std::function<qint64(const QString& path)>& write);
    void importCsv();
    void undoLastImport();

    // Address helpers: "Wklej", the voivodeship chooser, e-mail and envelope buttons.
    void pasteSeatAddress();
    void openVoivodeships(AddressBlock block);
    void chooseVoivodeship();
    void startMail(AddressBlock block);
    // Starts an outside program; one that cannot be started is named in a message.
    void runProgram(const commands::CommandLine& line, const QString& workDir);
    // How "Kp"/"Kw" open the voucher window (kind 1 KP, 2 KW) with the company block of the form.
    void setVoucherOpener(std::function<void(int, const EntryFormValues&)> open) {
        openVoucher_ = std::move(open);
    }
    // "Dane firmy": the office's own company data, boss level.
    void editCompanyData();
    // At the end of start-up: the one-time offer of "Dane firmy" when they are empty.
    void offerCompanyData();
    // How "Koperta" opens the envelope window (block 1 seat, 2 correspondence, 3 contact).
    void setEnvelopeOpener(std::function<void(const EntryFormValues&, int)> open) {
        openEnvelope_ = std::move(open);
    }

    // Writing to many producers (MainWindowWriting.cpp): "Znajdź powtórzone wpisy…" (boss
    // level) lists the groups of likely repeated entries, a line selected there shows its
    // entry here; "Wyślij e-mail do listy…" and "Etykiety adresowe…" work on the current list.
    void findDuplicates();
    void sendGroupMail();
    void openLabels();
    // The entry found as a repeat shown as a click on its line; told when it moved meanwhile.
    void showFoundEntry(qint64 position, const QString& id);

    // Backups: "Kopia zapasowa" makes one now and reports its folder; the first start of a
    // day makes one silently. A failure is shown and the program goes on.
    void makeBackupNow();
    // "Przywróć kopię…" (boss level): a copy picked from KOPIE put back after a copy of the
    // present state.
    void restoreBackup();
    void makeDailyBackup();

    // The VAT register (MainWindowVat.cpp): "Pobierz z wykazu VAT" asks for the form's NIP and
    // puts what the user picks into the form (nothing is saved); "Sprawdź konto" asks whether the
    // form's account belongs to its NIP. Each runs without blocking the window.
    void lookUpVat();
    void checkVatAccount();
    vat::Client& vatClient() { return *vatClient_; }

    // The description panel.
    void openDescription();
    void closeDescription();
    bool addMode() const { return session_->addMode(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What the editing session shows through the window.
    void showForm(const EntryFormValues& values) override;
    void showList(const EntryList& list) override;
    int selectedRow() const override;
    void selectRow(int row) override;
    void showAddMode(bool on) override;
    void showContractPicture(const QByteArray& picture) override;

    void applyCategoryNames(const CategoryNames& names);
    void applyListFont();
    void showPreviewSetting();
    void resetControls();
    void startingState();
    void enableMainControls();
    void showIoError(const class IoError& error);
    void wireControls();
    void wireEditing();
    void wirePanels();
    void wireTools();
    void wireIdentifierMarks();
    void wireCsv();
    void wireWriting();
    void wireVat();
    void wireKeys();
    void addMenuKey(const QKeySequence& key, QAction* action, QMenu* menu);
    // The busy cursor and a window with "Anuluj" while the register is asked.
    void showVatProgress(const QString& text);
    void endVatProgress();
    // The view menu's items and the view mode each chooses.
    std::array<std::pair<QAction*, ViewMode>, 5> viewActions() const;
    void markUnwired();
    // A panel that takes over the window (description, filter, definable printout, ID counter,
    // voivodeship chooser): shown with the focus in its first field while everything else is
    // disabled; one at a time.
    void openPanel(QWidget* panel);
    void closePanel();

    std::unique_ptr<Ui::Tbaza_f> ui;
    MainWindowContext context_;
    AskingWait lockWait_;
    Workstation ws_;
    std::unique_ptr<EntryStore> store_;
    std::unique_ptr<Register> register_;
    std::unique_ptr<EntrySession> session_;
    QTimer statusTimer_;
    std::function<void()> endProcess_;
    std::function<void(const notepad::Request&)> openNotepad_;
    ProgramStarter startProgram_;
    MailOpener openMail_;
    std::function<void(const EntryFormValues&, int)> openEnvelope_;
    std::function<void(int, const EntryFormValues&)> openVoucher_;
    VoivodeshipChooser voivodeships_;
    PanelTakeover takeover_;
    std::function<void()> openCategories_;

    std::array<QLineEdit*, kTextFieldCount> fields_{};
    QCheckBox* umowa_ = nullptr;
    std::array<QCheckBox*, kCategoryCount> k_{};
    std::array<QCheckBox*, kGroupCount> z_{};

    int clockMode_ = 2;
    bool startupCompleted_ = false;
    QList<QObject*> unwired_;
    QString descriptionId_; // of the entry shown when the description panel opened
    int pressedRow_ = -1;
    vat::Client* vatClient_ = nullptr;       // a child of the window
    QProgressDialog* vatProgress_ = nullptr; // while a request runs
};

} // namespace kestrana
