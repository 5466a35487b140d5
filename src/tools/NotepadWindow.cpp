#include "tools/NotepadWindow.h"

#include "platform/DataPaths.h"
#include "platform/EscapeKey.h"
#include "platform/IoError.h"
#include "platform/TabOrder.h"
#include "print/FontWindow.h"
#include "print/TextPrintout.h"
#include "station/StorageLocation.h"
#include "tools/ui_Tlogowania_f.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTextBlock>
#include <QTextLayout>

namespace kestrana {

Tlogowania_f::Tlogowania_f(Prompts& prompts, Dialogs& dialogs, FontSettings& fonts, QString workDir,
                           QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui(std::make_unique<Ui::Tlogowania_f>()), prompts_(prompts), dialogs_(dialogs), fonts_(fonts),
      workDir_(std::move(workDir)) {
    ui->setupUi(this);
    setFixedSize(size());
    connect(ui->SpeedButton4, &QAbstractButton::clicked, this, &Tlogowania_f::leave);
    connect(ui->SpeedButton3, &QAbstractButton::clicked, this, &Tlogowania_f::print);
    bindEscape(this, {ui->SpeedButton4});
    setReadingTabOrder(this);
}

Tlogowania_f::~Tlogowania_f() = default;

QString Tlogowania_f::filePath() const {
    return resolvePath(baseDir_, request.fileName);
}

bool Tlogowania_f::FormCreate() {
    preparationFailed_ = false;
    setWindowTitle(request.title);
    try {
        baseDir_ = startup::locateStorage(workDir_).baseDir;
        const startup::NetworkState network = startup::checkNetwork(workDir_);
        if (network.networkMode && !network.reachable) {
            if (prompts_.question(captionInformation(), startup::networkQuestion())) {
                startup::switchToLocal(workDir_, network.record);
                prompts_.information(QStringLiteral("Uruchom ponownie program"));
            }
            return false;
        }
        if (request.fileName.isEmpty())
            return true;
        // The editor shows the text in the print font.
        fonts_.setWorkDir(workDir_);
        fonts_.CzytajFonty(kPrintFontFile);
        applyFontRecord(*ui->Memo1, fonts_.record());
        ui->Memo1->clear();
        ui->Memo1->setPlainText(notepad::load(filePath()));
    } catch (const IoError& error) {
        prompts_.error(error.text());
        preparationFailed_ = true;
    }
    return true;
}

bool Tlogowania_f::open(const notepad::Request& newRequest) {
    request = newRequest;
    setEnabled(true);
    if (!FormCreate())
        return false;
    if (preparationFailed_) {
        setEnabled(false);
        return true;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    return true;
}

void Tlogowania_f::leave() {
    if (request.mode == 2 && !request.fileName.isEmpty()) {
        try {
            notepad::save(filePath(), ui->Memo1->toPlainText());
        } catch (const IoError& error) {
            prompts_.error(error.text());
            return;
        }
    }
    setEnabled(false);
    hide();
}

void Tlogowania_f::print() {
    try {
        runNotepadPrintout(dialogs_, fonts_, windowTitle(), displayedLines());
    } catch (const IoError& error) {
        prompts_.error(error.text());
    }
}

QStringList Tlogowania_f::displayedLines() const {
    QStringList lines;
    const QTextDocument* document = ui->Memo1->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        const QTextLayout* layout = block.layout();
        if (!layout || layout->lineCount() == 0) {
            lines.append(text);
            continue;
        }
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            lines.append(text.mid(line.textStart(), line.textLength()));
        }
    }
    // An empty last line after a final line break is not a line of its own.
    if (!lines.isEmpty() && lines.last().isEmpty() &&
        ui->Memo1->toPlainText().endsWith(QLatin1Char('\n')))
        lines.removeLast();
    if (ui->Memo1->toPlainText().isEmpty())
        lines.clear();
    return lines;
}

void Tlogowania_f::closeEvent(QCloseEvent* event) {
    // Left only through "Powrót".
    event->ignore();
}

} // namespace kestrana
