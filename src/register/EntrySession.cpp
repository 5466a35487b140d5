#include "register/EntrySession.h"

#include "platform/CheckedFile.h"
#include "platform/IoError.h"
#include "platform/Numbers.h"
#include "platform/Prompts.h"
#include "register/Editing.h"
#include "register/EntryStore.h"
#include "register/EntryView.h"
#include "register/FullListFlag.h"
#include "register/Search.h"

#include <algorithm>

namespace kestrana {

namespace {

const QString kBossOnly = QStringLiteral(
    "Nie masz uprawnień do tej operacji. Jest ona dostępna jedynie z poziomu Szefa.");
const QString kBusy = QStringLiteral("Rekord danych chwilowo zajęty przez innego użytkownika.\n"
                                     "Poczekaj na jego zwolnienie a następnie ponów operację");
const QString kNothingLoaded = QStringLiteral("Formularz nie pokazuje żadnego wpisu z bazy.\n"
                                              "Wybierz wpis z listy i ponów operację.");
const QString kEntryGone =
    QStringLiteral("Tego wpisu nie ma już w bazie: usunął go w międzyczasie inny użytkownik.\n"
                   "Nic nie zostało zapisane.");

// A new entry was stored, only its side copy KOSZ/wpis.dat was not.
QString sideCopyMessage(const QString& id, const IoError& error) {
    return QStringLiteral("Nowy wpis został zapisany (numer ID %1). Nie udało się zapisać "
                          "jedynie kopii poprzednio pokazanego wpisu w KOSZ/wpis.dat:\n%2")
        .arg(id, error.text());
}

} // namespace

EntrySession::EntrySession(const Workstation& ws, Register& reg, Prompts& prompts, EntryView& view)
    : ws_(ws), register_(reg), store_(reg.store()), prompts_(prompts), view_(view) {}

void EntrySession::showIoError(const IoError& error) {
    prompts_.error(error.text());
}

bool EntrySession::requireBoss() {
    if (ws_.boss)
        return true;
    prompts_.information(kBossOnly);
    return false;
}

void EntrySession::releaseLock() {
    store_.releaseLock();
}

void EntrySession::setAddMode(bool on) {
    addMode_ = on;
    view_.showAddMode(on);
}

bool EntrySession::start() {
    currentPosition_ = 0;
    view_.showForm(EntryFormValues{});
    return buildList() && loadSelected(true);
}

bool EntrySession::buildList(const Register::Filter& filter) {
    bool built = true;
    try {
        register_.buildList(viewMode_, list_, filter);
    } catch (const IoError& error) {
        showIoError(error);
        built = false;
    }
    view_.showList(list_);
    return built;
}

void EntrySession::changeView(ViewMode mode) {
    viewMode_ = mode;
    buildList();
    selectLine();
}

void EntrySession::showContractPicture() {
    view_.showContractPicture(
        files::readFile(ws_.dataPath(contractPictureSubPath(register_.buffer()))));
}

void EntrySession::showBlankEntry() {
    register_.buffer().clear();
    shownEntry_.clear();
    EntryFormValues values = view_.formValues();
    recordToForm(register_.buffer(), values);
    showFlags(register_.buffer(), values);
    view_.showForm(values);
    entryLoaded_ = false;
    try {
        showContractPicture();
    } catch (const IoError& error) {
        showIoError(error);
    }
}

bool EntrySession::loadSelected(bool takeLock) {
    const int row = view_.selectedRow();
    if (row < 0 || row >= list_.count())
        return true;
    currentPosition_ = list_.recordNumber(row) - 1;
    try {
        register_.load(currentPosition_);
    } catch (const IoError& error) {
        showIoError(error); // a stale line: the form keeps what it shows
        return false;
    }
    const QString id = register_.buffer().text(Field::id);
    try {
        if (takeLock && store_.checkLock(id) == EntryStore::Lock::HeldByOther) {
            prompts_.information(kBusy);
            showBlankEntry();
            return true;
        }
        EntryFormValues values = view_.formValues();
        recordToForm(register_.buffer(), values);
        showFlags(register_.buffer(), values);
        view_.showForm(values);
        entryLoaded_ = true;
        shownId_ = id;
        shownEntry_ = register_.buffer();
        showContractPicture();
        if (!takeLock)
            return true;
        switch (store_.takeLock(id)) {
        case EntryStore::Lock::Taken:
            break;
        case EntryStore::Lock::HeldByOther:
            // Another workstation took the entry between our check and our lock.
            prompts_.information(kBusy);
            showBlankEntry();
            break;
        case EntryStore::Lock::InvalidId:
            prompts_.information(
                QStringLiteral("Wpis ma nieprawidłowy numer ID „%1”, więc nie można go "
                               "zablokować dla innych użytkowników.")
                    .arg(id));
            break;
        }
    } catch (const IoError& error) {
        showIoError(error);
        return false;
    }
    return true;
}

bool EntrySession::selectLine() {
    return loadSelected(true);
}

bool EntrySession::reloadLine() {
    return loadSelected(false);
}

void EntrySession::navigate(Move move) {
    setAddMode(false);
    const int count = list_.count();
    if (count == 0)
        return;
    const int selected = view_.selectedRow();
    int row = 0;
    switch (move) {
    case Move::First:
        row = 0;
        break;
    case Move::Previous:
        row = std::max(selected - 1, 0);
        break;
    case Move::Next:
        row = std::min(selected + 1, count - 1);
        break;
    case Move::Last:
        row = count - 1;
        break;
    }
    view_.selectRow(row);
    selectLine();
}

void EntrySession::toggleAddMode() {
    if (!addMode_) {
        view_.showForm(EntryFormValues{});
        setAddMode(true);
        return;
    }
    selectLine();
    setAddMode(false);
}

void EntrySession::clearShownEntry() {
    view_.showForm(EntryFormValues{});
    entryLoaded_ = false;
    shownEntry_.clear();
}

bool EntrySession::mayChangeShownEntry() {
    if (!entryLoaded_) {
        prompts_.information(kNothingLoaded);
        return false;
    }
    bool held = false;
    try {
        held = store_.heldByOther(shownId_);
    } catch (const IoError& error) {
        showIoError(error);
        return false;
    }
    if (held) {
        prompts_.information(kBusy);
        return false;
    }
    return true;
}

void EntrySession::selectRecordLine(qint64 position) {
    // In a full list line i is record i; the list may be shorter, and then the number decides.
    const int found = list_.rowOfRecord(position + 1);
    view_.selectRow(found >= 0 ? found
                               : static_cast<int>(std::min<qint64>(position, list_.count() - 1)));
}

void EntrySession::save() {
    // An edit is saved only over the entry the form shows, never from a blank form; an entry
    // whose ID is empty is saved like any other.
    if (!addMode_ && !mayChangeShownEntry())
        return;
    const bool adding = addMode_;
    QString sideCopyFailure;
    if (prompts_.question(adding ? QStringLiteral("Zapisać nowe dane ?")
                                 : QStringLiteral("Zapisać zmiany w danych ?"))) {
        try {
            EntryRecord& buffer = register_.buffer();
            qint64 position = 0;
            if (adding) {
                // The new entry's ID comes from the counter as the entry goes in.
                EntryRecord added;
                formToRecord(view_.formValues(), added, true);
                added.setText(Field::datamodyfikacji, ws_.today);
                position = store_.add(added);
                EntryFormValues values = view_.formValues();
                values[Field::id] = added.text(Field::id);
                view_.showForm(values);
                // The entry is stored: a failed side copy must not make it look unsaved, or
                // another "Zapisz dane" would store it twice.
                try {
                    store_.keepPrevious(buffer);
                } catch (const IoError& error) {
                    sideCopyFailure = sideCopyMessage(added.text(Field::id), error);
                }
                buffer = added;
            } else {
                const std::optional<qint64> saved =
                    store_.saveEdited(buffer, view_.formValues(), shownId_, currentPosition_);
                if (!saved) {
                    prompts_.information(kEntryGone);
                    setAddMode(false);
                    return;
                }
                position = *saved;
            }
            EntryFormValues values = view_.formValues();
            showFlags(buffer, values);
            view_.showForm(values);
            buildList();
            selectRecordLine(position);
        } catch (const IoError& error) {
            showIoError(error);
            return;
        }
    }
    selectLine();
    setAddMode(false);
    if (!sideCopyFailure.isEmpty())
        prompts_.error(sideCopyFailure);
}

void EntrySession::remove() {
    if (list_.count() <= 1) {
        prompts_.information(QStringLiteral("Nie można skasować ostatniego wpisu."));
        return;
    }
    setAddMode(false);
    if (!mayChangeShownEntry())
        return;
    if (prompts_.question(QStringLiteral("Usunąć wpis ?"))) {
        try {
            if (store_.remove(shownId_, currentPosition_))
                prompts_.information(QStringLiteral("Wpis został usunięty."));
            else
                prompts_.information(kEntryGone);
        } catch (const IoError& error) {
            showIoError(error);
            return;
        }
    }
    clearShownEntry();
    buildList();
    selectLine();
}

void EntrySession::remember() {
    try {
        formToRecord(view_.formValues(), register_.buffer(), addMode_);
        store_.remember(register_.buffer());
    } catch (const IoError& error) {
        showIoError(error);
    }
}

void EntrySession::insertRemembered() {
    try {
        const EntryRecord remembered = store_.remembered();
        EntryFormValues values = view_.formValues();
        // The form keeps the ID it shows: the remembered data go under the shown entry.
        const QString id = values[Field::id];
        register_.buffer() = remembered;
        recordToForm(remembered, values);
        showFlags(remembered, values);
        values[Field::id] = id;
        view_.showForm(values);
        showContractPicture();
    } catch (const IoError& error) {
        showIoError(error);
    }
}

std::optional<qint32> EntrySession::idCounter() {
    try {
        return store_.idCounter();
    } catch (const IoError& error) {
        showIoError(error);
        return std::nullopt;
    }
}

bool EntrySession::storeIdCounter(const QString& text) {
    const qint64 value = readLeadingNumber(text);
    if (value < 1 || value > editing::kIdLimit) {
        prompts_.information(
            QStringLiteral("Numer ID musi być liczbą od 1 do %1. Licznik nie został zmieniony.")
                .arg(editing::kIdLimit));
        return false;
    }
    try {
        store_.setIdCounter(static_cast<qint32>(value));
    } catch (const IoError& error) {
        showIoError(error);
        return false;
    }
    return true;
}

void EntrySession::chooseSortField(SortField field) {
    sortChoice_.choose(field);
}

void EntrySession::sort(bool descending) {
    if (!requireBoss())
        return;
    if (!prompts_.question(sortQuestion(sortChoice_.name)))
        return;
    try {
        store_.sort(sortChoice_.field, descending);
    } catch (const IoError& error) {
        showIoError(error);
        return;
    }
    navigate(Move::First);
    buildList();
}

bool EntrySession::search(const QString& text) {
    const int found = list_.findNext(view_.selectedRow(), text);
    if (found < 0) {
        prompts_.information(searchNotFoundMessage());
        return false;
    }
    view_.selectRow(found);
    selectLine();
    return true;
}

void EntrySession::openFilter() {
    clearShownEntry();
    setAddMode(false);
    fullList_ = false;
}

void EntrySession::buildFromFilter(const FilterFactory& makeFilter) {
    const bool filtered = static_cast<bool>(makeFilter);
    if (filtered) {
        try {
            buildList(makeFilter());
        } catch (const IoError& error) {
            showIoError(error); // the filter could not be prepared: nothing was built
        }
    } else {
        fullList_ = true;
        buildList();
    }
    selectLine();
    fullList_ = fullListAfter(filtered ? ListBuild::Filtered : ListBuild::Unfiltered);
}

void EntrySession::showListAfterRemoval() {
    setAddMode(false);
    clearShownEntry();
    buildList();
    selectLine();
}

void EntrySession::showRecord(qint64 position) {
    const int row = list_.rowOfRecord(position + 1);
    if (row < 0) {
        showEntryAt(position);
        return;
    }
    setAddMode(false);
    view_.selectRow(row);
    selectLine();
}

void EntrySession::showEntryAt(qint64 position) {
    setAddMode(false);
    buildList();
    selectRecordLine(position);
    selectLine();
}

} // namespace kestrana
