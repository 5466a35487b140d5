// Times the main window on a large register, offscreen: start-up to the first entry shown, a
// change of view, a search that finds only the last line, the save of one entry, and the
// filter of the command-line rows (given as arguments, as kestrana-cli takes them) right after
// the full list. Prints one line per operation:
// "<name> <seconds>".
#include "app/EntryListView.h"
#include "app/MainWindow.h"
#include "cash/CompanyData.h"
#include "platform/MemoryTuning.h"
#include "platform/Prompts.h"
#include "print/FontSettings.h"
#include "reports/EntryFilter.h"
#include "reports/FilterOptions.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>

#include <cstdio>
#include <memory>
#include <optional>

using namespace kestrana;

namespace {

// Any message box during the benchmark is a failure, but for the save's question and the
// one-time note of a generated register's empty company data.
class FailingPrompts : public Prompts {
public:
    using Prompts::question;
    bool question(const QString&, const QString& text) override {
        return text == QStringLiteral("Zapisać zmiany w danych ?") || fail(text);
    }
    void information(const QString& text) override {
        if (text != companydata::clerkNote())
            fail(text);
    }
    void error(const QString& text) override { fail(text); }

private:
    static bool fail(const QString& text) {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        std::exit(1);
    }
};

class NoDialogs : public Dialogs {
public:
    std::optional<FontChoice> chooseFont(const FontChoice&) override { return std::nullopt; }
    std::unique_ptr<Surface> choosePrinter(const PrintDocument&) override { return nullptr; }
    bool previewPrint(const PrintDocument&, const PreviewDrawing&) override { return false; }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    int choose(const QString&, const QString&, const QString&,
               const QStringList& buttons) override {
        return static_cast<int>(buttons.size()) - 1;
    }
    std::optional<TakeOverAnswer> chooseTakeOver(const QString&, const QString&,
                                                 const QList<TakeOverItem>&) override {
        return std::nullopt;
    }
};

void report(const char* name, const QElapsedTimer& timer) {
    std::printf("%s %.3f\n", name, timer.nsecsElapsed() / 1e9);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    keepFreedMemory();
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(data);
    FailingPrompts prompts;
    NoDialogs dialogs;
    SystemClock clock;
    FontSettings fonts;

    QElapsedTimer timer;
    timer.start();
    Tbaza_f window(MainWindowContext{
        prompts, dialogs, fonts, clock, {app.arguments().first()}, QDir::currentPath()});
    if (window.startUp() != startup::Report::Outcome::Ready) {
        std::fprintf(stderr, "start-up did not complete\n");
        return 1;
    }
    window.show();
    QApplication::processEvents();
    report("startup", timer);

    auto* list = window.findChild<EntryListView*>(QStringLiteral("lista"));
    timer.restart();
    window.setViewMode(ViewMode::KodNazwa);
    QApplication::processEvents();
    report("view-change", timer);

    // The whole last line, record number included, occurs in no other line.
    const QString last = list->lineText(list->count() - 1);
    window.findChild<QLineEdit*>(QStringLiteral("coszukac"))->setText(last);
    timer.restart();
    window.search();
    QApplication::processEvents();
    report("search-last", timer);
    if (list->currentRow() != list->count() - 1) {
        std::fprintf(stderr, "search did not reach the last line\n");
        return 1;
    }

    // A change of the entry shown saved, the list built again with it, as the user sees it.
    list->setCurrentRow(0);
    window.selectLine();
    window.findChild<QLineEdit*>(QStringLiteral("nazwa2"))->setText(QStringLiteral("Zmiana"));
    timer.restart();
    window.session().save();
    QApplication::processEvents();
    report("save-entry", timer);

    const FilterOptions filter = parseFilterOptions(app.arguments().mid(1));
    if (!filter.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(filter.error));
        return 1;
    }
    if (filter.given) {
        timer.restart();
        window.buildList(makeEntryFilter(filter.criteria, window.workstation()));
        QApplication::processEvents();
        report("filter", timer);
    }
    window.setProcessEnd([] {});
    window.endAfterNetworkFailure(); // releases the entry's lock without asking
    return 0;
}
