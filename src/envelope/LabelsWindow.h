#pragma once

#include "envelope/LabelPrintout.h"
#include "envelope/LabelSheet.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace kestrana {

class Dialogs;
class FontSettings;
class Prompts;

// "Etykiety adresowe…": the current list's addresses on a sheet of labels. The window chooses
// the sheet (a common stock or one this workstation defined), the address block and the first
// label, shows how many labels and sheets that makes, and prints (through the preview when it
// is on), previews, or prints a test page of frames. The fields below the sheet show its sizes;
// changed and named, they are kept as a sheet of this workstation.
class LabelsWindow : public QDialog {
    Q_OBJECT

public:
    struct Place {
        QString workDir;  // where this workstation's sheets are kept
        QString listFile; // the current list
        QString today;
    };
    LabelsWindow(Place place, Prompts& prompts, Dialogs& dialogs, FontSettings& fonts,
                 QWidget* parent = nullptr);

    // The controls' work, reachable by tests.
    void chooseSheet(int index);
    void print();
    void preview();
    void printTestPage();
    void saveSheet();
    void removeSheet();
    QString countText() const;
    LabelOptions options() const;

private:
    void loadSheets(const QString& select);
    void updateCount();
    // The sheet the fields describe; the problem with it in `problem`.
    LabelSheet sheetFromFields(QString& problem) const;
    bool hasLabels();

    Place place_;
    Prompts& prompts_;
    Dialogs& dialogs_;
    FontSettings& fonts_;
    QList<LabelSheet> sheets_;
    QComboBox* arkusz_ = nullptr;
    QComboBox* blok_ = nullptr;
    QSpinBox* start_ = nullptr;
    QLabel* count_ = nullptr;
    QLineEdit* name_ = nullptr;
    QSpinBox* columns_ = nullptr;
    QSpinBox* rows_ = nullptr;
    std::array<QLineEdit*, 6> lengths_{}; // width, height, top, left, gap across, gap down
};

} // namespace kestrana
