#include "envelope/LabelPrintout.h"

#include "envelope/LabelLayout.h"
#include "envelope/SerialEnvelopes.h"

#include <QPageSize>

namespace kestrana {

namespace {

// A4 portrait for the labels' document, positions from the paper's corner; the printer's
// paper back afterwards.
class LabelPaperScope {
public:
    explicit LabelPaperScope(PageHelper& page) : page_(page), printerPage_(page.surface().paper()) {
        page.UstawPionowo();
        page.surface().setPaper(QPageSize(QPageSize::A4));
        page.setOrigin(-page.surface().printableOrigin());
    }
    ~LabelPaperScope() {
        if (page_.documentOpen())
            page_.surface().abort();
        page_.surface().setPaper(printerPage_);
        page_.setOrigin({});
    }
    LabelPaperScope(const LabelPaperScope&) = delete;
    LabelPaperScope& operator=(const LabelPaperScope&) = delete;

private:
    PageHelper& page_;
    QPageSize printerPage_;
};

void begin(PageHelper& page) {
    page.beginDocument();
    page.UstawStrone();
}

} // namespace

PrintDocument labelsPrintDocument(const QString& today) {
    const QString name = QStringLiteral("Etykiety adresowe");
    return PrintDocument(name, name + QLatin1Char(' ') + today);
}

LabelSource listFileLabels(const QString& listFile, AddressBlock block) {
    return [listFile, block](const std::function<void(const QStringList&)>& each) {
        forEachListRecipient(listFile, block, [&](const std::array<QString, 4>& recipient) {
            each(QStringList(recipient.begin(), recipient.end()));
        });
    };
}

Printout labelPrintout(const LabelOptions& options, LabelSource source,
                       std::shared_ptr<qint64> cut) {
    return [options, source, cut](PageHelper& page, const PrintFont& font) {
        const LabelSheet& sheet = options.sheet;
        const int maxPoints = font.size > 0 ? font.size : kPlatformPoints;
        LabelPaperScope paper(page);
        int index = std::clamp(options.start, 1, std::max(sheet.capacity(), 1)) - 1;
        bool first = true;
        source([&](const QStringList& lines) {
            if (first) {
                begin(page);
                first = false;
            } else if (index == sheet.capacity()) {
                page.newPage();
                index = 0;
            }
            const int dpiX = page.metrics().dpiX;
            const int dpiY = page.metrics().dpiY;
            const QRect label = labelRect(sheet, index++, dpiX, dpiY);
            const int padX = hundredthsToDots(kLabelPaddingX, dpiX);
            const int padY = hundredthsToDots(kLabelPaddingY, dpiY);
            const QSize room(label.width() - 2 * padX, label.height() - 2 * padY);
            const FittedLabel fitted =
                fitLabel(lines, room, maxPoints, std::min(kSmallestPrintPoints, maxPoints),
                         [&](int points, const QString& text) {
                             page.Czcionka(font.face, points);
                             return page.textSize(text);
                         });
            if (fitted.cut && cut)
                ++*cut;
            page.Czcionka(font.face, fitted.points);
            // The block in the middle of the label's height.
            int y = label.top() + padY +
                    (room.height() - int(fitted.lines.size()) * fitted.lineHeight) / 2;
            for (const QString& line : fitted.lines) {
                page.writeAtDots(label.left() + padX, y, line);
                y += fitted.lineHeight;
            }
        });
        if (!first)
            page.ZakonczWydruk();
    };
}

Printout labelTestPage(const LabelSheet& sheet) {
    return [sheet](PageHelper& page, const PrintFont&) {
        LabelPaperScope paper(page);
        begin(page);
        for (int i = 0; i < sheet.capacity(); ++i) {
            const QRect r = labelRect(sheet, i, page.metrics().dpiX, page.metrics().dpiY);
            page.frameAtDots(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
        }
        page.ZakonczWydruk();
    };
}

} // namespace kestrana
