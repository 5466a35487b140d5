#pragma once

#include "cash/Voucher.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "print/Dialogs.h"
#include "print/FontSettings.h"
#include "station/Workstation.h"

#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QKeyEvent;
class QLabel;
class QLineEdit;

namespace Ui {
class Tkp_f;
}

namespace kestrana {

// The KP/KW voucher window: the issuer and company blocks, ten "Tytułem" lines with amounts,
// the cash handed over; it keeps the total and the change current, offers the fixed texts,
// saves and loads the grid, prints. Created once at start-up, hidden between openings; left
// only through "Powrót".
class Tkp_f : public QWidget {
    Q_OBJECT

public:
    // Opens a text file below the base directory for editing, under a title (the notepad
    // window, which the program hands in).
    using TextEditorOpener = std::function<void(const QString& fileName, const QString& title)>;
    // Starts the platform's calculator.
    using CalculatorStarter = std::function<void()>;

    // `ws` is the main window's: its own company data are read at every opening. Runs the
    // preparation with no document kind.
    Tkp_f(const Workstation& ws, Prompts& prompts, Dialogs& dialogs, FontSettings& fonts,
          const Clock& clock, TextEditorOpener editText, CalculatorStarter calculator,
          QWidget* parent = nullptr);
    ~Tkp_f() override;

    // What the main window does for "Kp"/"Kw": takes the boss level, the kind, the company
    // block (the form's first name line and seat address as typed) and the issuer block (its
    // own company data), prepares the window and shows it centred, not modal. False when the
    // preparation failed (the error has been shown; the window stays hidden).
    bool open(DocumentKind kind, const VoucherBlock& company, bool boss);

    // The preparation: base directory afresh from Admini/siec.dat, block editor cleared, black
    // print; with a kind also captions, the counter file (created when missing), the timer,
    // the total cleared and today's date. False when a file operation failed.
    bool FormCreate();

    // One step of the 100 ms timer: "Zapisz parametry" enabled while there is a number, the
    // colour mode, amounts reformatted on a change of cell, total and change.
    void Timer1Timer();
    // Every non-zero "Kwota" cell in the amount format.
    void reformatAmounts();
    // Enter in the grid or in the cash field.
    void enterInGrid();
    void acceptCash();

    // The buttons' handlers; the comment gives each button's caption.
    void leave();                  // "Powrót"
    void startCalculator();        // "Kalkulator"
    void saveDocument();           // "Zapisz dokument"
    void openDocument();           // "Czytaj dokument"
    void editFixedTexts();         // "Edytor treści"
    void offerFixedTexts();        // "Wstaw treść"
    void editIssuerBlock();        // "Edytuj" the issuer block
    void editCompanyBlock();       // "Edytuj" the company block
    void applyBlockEdit();         // "Wstaw" (block editor)
    void cancelBlockEdit();        // "Zaniechaj" (block editor)
    void showHelp();               // "Pomoc"
    void hideHelp();               // "Koniec pomocy"
    void printVoucher();           // "Drukuj dokument"
    void clearDocument();          // "Wyczyść dokument"
    void storeCounterParameters(); // "Zapisz parametry"
    // A double click in the pick list: the selected text into the current row's "Tytułem".
    void insertPickedText();
    // "Słownie z pełną odmianą": stored for this workstation, then every voucher follows it. A
    // choice that cannot be stored is shown and the box goes back.
    void chooseFullWords(bool on);

    DocumentKind documentKind() const { return kind_; }
    bool bossLevel() const { return szef_; }
    // 0 black, 1 colour, as the timer last set it.
    int colourMode() const { return colourMode_; }
    const QString& baseDir() const { return here_.baseDir; }
    // The voucher as the controls hold it.
    Voucher voucher() const;
    VoucherGrid grid() const;
    void setGrid(const VoucherGrid& grid);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    enum class BlockTarget { Issuer, Company };

    bool gridKeyPress(QObject* watched, QKeyEvent* event);
    void setCell(int row, int column, const QString& text);
    QString cell(int row, int column) const;
    void showBlockEditor(BlockTarget target);
    std::array<QLabel*, 4> blockLabels(BlockTarget target) const;
    std::array<QLineEdit*, 4> editLines() const;
    void showWordingSetting();

    std::unique_ptr<Ui::Tkp_f> ui;
    const Workstation& ws_;
    Workstation here_;
    Prompts& prompts_;
    Dialogs& dialogs_;
    FontSettings& fonts_;
    const Clock& clock_;
    TextEditorOpener editText_;
    CalculatorStarter startCalculator_;
    QTimer Timer1;

    DocumentKind kind_ = DocumentKind::None;
    bool szef_ = false;
    int colourMode_ = 0;
    int rememberedColumn_ = 0;
    int rememberedRow_ = 0;
    BlockTarget target_ = BlockTarget::Issuer;
    bool fullWords_ = false; // as stored for the workstation
};

} // namespace kestrana
