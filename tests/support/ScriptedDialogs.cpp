#include "support/ScriptedDialogs.h"

#include "print/Surface.h"
#include "support/ScriptEnd.h"

#include <QTest>

namespace kestrana::test {

namespace {

const char* kindName(ScriptedDialogs::Kind kind) {
    switch (kind) {
    case ScriptedDialogs::Kind::Font:
        return "font dialog";
    case ScriptedDialogs::Kind::Print:
        return "print dialog";
    case ScriptedDialogs::Kind::Preview:
        return "print preview";
    case ScriptedDialogs::Kind::OpenFile:
        return "open file dialog";
    case ScriptedDialogs::Kind::SaveFile:
        return "save file dialog";
    case ScriptedDialogs::Kind::Choice:
        return "choice window";
    case ScriptedDialogs::Kind::TakeOver:
        return "take-over dialog";
    case ScriptedDialogs::Kind::Item:
        return "list pick";
    }
    return "dialog";
}

// Hands the printout a surface while the test keeps the real one for its checks.
class ForwardingSurface : public Surface {
public:
    explicit ForwardingSurface(Surface& target) : target_(target) {}
    int dpiX() const override { return target_.dpiX(); }
    int dpiY() const override { return target_.dpiY(); }
    bool landscape() const override { return target_.landscape(); }
    void setLandscape(bool landscape) override { target_.setLandscape(landscape); }
    void begin() override { target_.begin(); }
    void newPage() override { target_.newPage(); }
    void end() override { target_.end(); }
    void abort() override { target_.abort(); }
    void text(int x, int y, const SurfaceFont& font, QRgb colour, const QString& text) override {
        target_.text(x, y, font, colour, text);
    }
    void rect(int x1, int y1, int x2, int y2, QRgb pen) override {
        target_.rect(x1, y1, x2, y2, pen);
    }
    void image(int x1, int y1, int x2, int y2, const QImage& picture) override {
        target_.image(x1, y1, x2, y2, picture);
    }
    QPageSize paper() const override { return target_.paper(); }
    void setPaper(const QPageSize& paper) override { target_.setPaper(paper); }
    QPoint printableOrigin() const override { return target_.printableOrigin(); }

private:
    Surface& target_;
};

} // namespace

ScriptedDialogs::~ScriptedDialogs() {
    QStringList unused;
    for (const Step& step : steps_)
        unused.append(QLatin1String(kindName(step.kind)) +
                      (step.caption.isEmpty() ? QString() : QStringLiteral(" ") + step.caption));
    failOnUnusedAnswers("scripted dialogs", unused);
}

const ScriptedDialogs::Step* ScriptedDialogs::take(Kind kind, const QString& caption) {
    shown_.append(caption);
    if (steps_.empty()) {
        ++unexpected_;
        QTest::qFail(
            qPrintable(
                QStringLiteral("unexpected %1: %2").arg(QLatin1String(kindName(kind)), caption)),
            __FILE__, __LINE__);
        return nullptr;
    }
    current_ = steps_.front();
    steps_.pop_front();
    if (current_.kind != kind || (!current_.caption.isEmpty() && current_.caption != caption)) {
        ++unexpected_;
        QTest::qFail(qPrintable(QStringLiteral("%1 \"%2\" where a %3 \"%4\" was expected")
                                    .arg(QLatin1String(kindName(kind)), caption,
                                         QLatin1String(kindName(current_.kind)), current_.caption)),
                     __FILE__, __LINE__);
        return nullptr;
    }
    return &current_;
}

std::optional<FontChoice> ScriptedDialogs::chooseFont(const FontChoice& initial) {
    fontPresets_.append(initial);
    const Step* step = take(Kind::Font, initial.face);
    return step ? step->font : std::nullopt;
}

std::unique_ptr<Surface> ScriptedDialogs::choosePrinter(const PrintDocument& document) {
    proposedFiles_.append(document.proposedFileName());
    const Step* step = take(Kind::Print, document.name);
    if (!step || !step->surface)
        return nullptr;
    return std::make_unique<ForwardingSurface>(*step->surface);
}

bool ScriptedDialogs::previewPrint(const PrintDocument& document, const PreviewDrawing& draw) {
    proposedFiles_.append(document.proposedFileName());
    const Step* step = take(Kind::Preview, document.name);
    if (!step)
        return false;
    Surface* preview = step->surface;
    Surface* print = step->printSurface;
    draw(*preview, false);
    if (!print)
        return false;
    draw(*print, true);
    return true;
}

QString ScriptedDialogs::openFileName(const QString& caption, const QString& dir,
                                      const QString& filter) {
    lastDir_ = dir;
    lastFilter_ = filter;
    const Step* step = take(Kind::OpenFile, caption);
    return step ? step->fileName : QString();
}

QString ScriptedDialogs::saveFileName(const QString& caption, const QString& dir,
                                      const QString& filter) {
    lastDir_ = dir;
    lastFilter_ = filter;
    const Step* step = take(Kind::SaveFile, caption);
    return step ? step->fileName : QString();
}

int ScriptedDialogs::choose(const QString& caption, const QString& summary, const QString& details,
                            const QStringList& buttons) {
    lastSummary_ = summary;
    lastDetails_ = details;
    lastButtons_ = buttons;
    const int cancel = static_cast<int>(buttons.size()) - 1;
    const Step* step = take(Kind::Choice, caption);
    if (!step)
        return cancel;
    const int index = static_cast<int>(buttons.indexOf(step->fileName));
    if (index < 0) {
        ++unexpected_;
        QTest::qFail(qPrintable(QStringLiteral("no button \"%1\" among %2")
                                    .arg(step->fileName, buttons.join(QStringLiteral(", ")))),
                     __FILE__, __LINE__);
        return cancel;
    }
    return index;
}

int ScriptedDialogs::chooseItem(const QString& caption, const QString&, const QStringList& items) {
    lastItemList_ = items;
    const Step* step = take(Kind::Item, caption);
    if (!step || step->fileName.isEmpty())
        return -1;
    const int index = static_cast<int>(items.indexOf(step->fileName));
    if (index < 0) {
        ++unexpected_;
        QTest::qFail(qPrintable(QStringLiteral("no item \"%1\" among %2")
                                    .arg(step->fileName, items.join(QStringLiteral(", ")))),
                     __FILE__, __LINE__);
    }
    return index;
}

std::optional<TakeOverAnswer> ScriptedDialogs::chooseTakeOver(const QString& caption,
                                                              const QString& report,
                                                              const QList<TakeOverItem>& items) {
    lastReport_ = report;
    lastItems_ = items;
    const Step* step = take(Kind::TakeOver, caption);
    if (!step || !step->takeOver)
        return std::nullopt;
    // An answer that does not fit what was offered is a fault of the test or of the program.
    bool fits = step->takeOver->size() == items.size();
    for (qsizetype i = 0; fits && i < items.size(); ++i)
        fits = step->takeOver->at(i) >= -1 && step->takeOver->at(i) < items[i].values.size();
    if (!fits) {
        ++unexpected_;
        QTest::qFail("take-over answer does not fit the items offered", __FILE__, __LINE__);
        return std::nullopt;
    }
    return step->takeOver;
}

} // namespace kestrana::test
