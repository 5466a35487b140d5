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

std::unique_ptr<Surface> ScriptedDialogs::choosePrinter(const QString& documentName) {
    const Step* step = take(Kind::Print, documentName);
    if (!step || !step->surface)
        return nullptr;
    return std::make_unique<ForwardingSurface>(*step->surface);
}

bool ScriptedDialogs::previewPrint(const QString& documentName, const PreviewDrawing& draw) {
    const Step* step = take(Kind::Preview, documentName);
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

} // namespace kestrana::test
