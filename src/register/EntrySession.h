#pragma once

#include "register/EntryList.h"
#include "register/EntryRecord.h"
#include "register/ListLine.h"
#include "register/Register.h"
#include "register/Sort.h"
#include "station/Workstation.h"

#include <QString>

#include <functional>
#include <optional>

namespace kestrana {

class EntryStore;
class EntryView;
class Prompts;

// The editing rules of the main window without the window: add mode, the entry the form
// shows, the list with its record numbers and whether it lists every entry, and what each
// button and menu item of the list and the form does, refusals included. It reaches the entries
// only through the register's storage (Register::store()), asks and tells through `prompts`,
// and shows everything through `view`. A failed file operation is shown to the user and ends
// the action at that step.
class EntrySession {
public:
    EntrySession(const Workstation& ws, Register& reg, Prompts& prompts, EntryView& view);

    bool addMode() const { return addMode_; }
    ViewMode viewMode() const { return viewMode_; }
    // The filter panel's full-list flag: off from opening the panel until "Buduj listę bez
    // filtrów".
    bool fullList() const { return fullList_; }
    // The position of the entry last selected.
    qint64 currentPosition() const { return currentPosition_; }
    // The entry last loaded into the form (empty before any load and after a refusal).
    const EntryRecord& shownEntry() const { return shownEntry_; }
    const EntryList& list() const { return list_; }

    // The end of start-up: a blank form, the list, its first line selected as a click. False
    // when a file operation failed.
    bool start();
    // Rebuilds the list in the current view from every entry (those passing `filter`, when
    // given) and selects its first line without loading it. False when the build failed; the
    // list then holds the lines built so far.
    bool buildList(const Register::Filter& filter = {});
    // The view menu: the list rebuilt in `mode`, its first line selected as a click.
    void changeView(ViewMode mode);

    // The selected line as a click: its entry is loaded into the form and locked for this
    // workstation; an entry another workstation holds is refused and a blank form shown. False
    // when a file operation failed.
    bool selectLine();
    // The Enter key: the selected line's entry loaded again, its lock neither checked nor taken.
    bool reloadLine();

    // "<<", "<", ">", ">>": leave add mode and select a line as a click.
    enum class Move { First, Previous, Next, Last };
    void navigate(Move move);
    // "Dodaj wpis" (a blank form for a new entry) and "Zaniechaj" (the selected entry again).
    void toggleAddMode();
    // "Zapisz dane": a new entry in add mode, otherwise the shown entry's changes; refused
    // without a loaded entry or when another workstation holds it.
    void save();
    // "Usuń wpis": refused for the list's last line, without a loaded entry, or when another
    // workstation holds it.
    void remove();
    // "Zapamiętaj wpis" and "Wstaw wpis".
    void remember();
    void insertRemembered();

    // The ID counter panel: the counter's value (nothing when it could not be read), and the
    // text typed into the panel stored as the new value (false when it could not be; a value
    // outside 1..editing::kIdLimit is refused and nothing written).
    std::optional<qint32> idCounter();
    bool storeIdCounter(const QString& text);

    // Sorting: the menu's field, and the sort itself (boss level, after a question).
    void chooseSortField(SortField field);
    const SortChoice& sortChoice() const { return sortChoice_; }
    void sort(bool descending);

    // Finds `text` in the lines below the selected one and selects that line as a click. False
    // when no line further down has it (the user is told).
    bool search(const QString& text);

    // The filter panel: opening it blanks the form and leaves add mode; its build buttons
    // rebuild the list through the filter `makeFilter` gives ("Buduj listę przefiltrowaną")
    // or without one (an empty `makeFilter`, "Buduj listę bez filtrów").
    void openFilter();
    using FilterFactory = std::function<Register::Filter()>;
    void buildFromFilter(const FilterFactory& makeFilter);

    // After entries were added from elsewhere (an import): the list rebuilt and the entry at
    // `position` selected as a click.
    void showEntryAt(qint64 position);
    // The entry at `position` shown as a click on its line: in the list as it is when the list
    // holds it, otherwise in the full list built again.
    void showRecord(qint64 position);
    // After entries were removed from elsewhere (an import undone): a blank form, the list
    // rebuilt and its first line selected as a click.
    void showListAfterRemoval();

    // True on the boss level; otherwise the user is told that the operation needs it.
    bool requireBoss();
    // Gives up this workstation's entry lock (the end of the program).
    void releaseLock();

private:
    bool loadSelected(bool takeLock);
    void setAddMode(bool on);
    void showBlankEntry();
    void showContractPicture();
    void clearShownEntry();
    bool mayChangeShownEntry();
    void selectRecordLine(qint64 position);
    void showIoError(const class IoError& error);

    const Workstation& ws_;
    Register& register_;
    EntryStore& store_;
    Prompts& prompts_;
    EntryView& view_;

    EntryList list_;
    ViewMode viewMode_ = ViewMode::Nazwa;
    SortChoice sortChoice_;
    bool fullList_ = true;
    bool addMode_ = false;
    qint64 currentPosition_ = 0;
    // The form shows an entry read from storage (not the blank form after a refusal).
    bool entryLoaded_ = false;
    QString shownId_;
    EntryRecord shownEntry_;
};

} // namespace kestrana
