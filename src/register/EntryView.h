#pragma once

#include "register/EntryForm.h"

#include <QByteArray>

namespace kestrana {

class EntryList;

// What the editing session needs from the window that shows it: the entry form, the list with
// its selection, the add-mode caption and the contract picture. The main window implements it
// over its controls.
class EntryView {
public:
    virtual ~EntryView() = default;

    // The form as the user left it, and the form filled anew.
    virtual EntryFormValues formValues() const = 0;
    virtual void showForm(const EntryFormValues& values) = 0;
    // A list just built: its lines replace the shown ones, the count follows them, and the
    // first line is selected without loading it (none when the list is empty).
    virtual void showList(const EntryList& list) = 0;
    // The selected line (-1: none), and a selection made without loading the line's entry.
    virtual int selectedRow() const = 0;
    virtual void selectRow(int row) = 0;
    // "Dodaj wpis" reads "Zaniechaj" while add mode is on.
    virtual void showAddMode(bool on) = 0;
    // The contract picture of the entry in the buffer, as its file holds it.
    virtual void showContractPicture(const QByteArray& picture) = 0;
};

} // namespace kestrana
