#pragma once

#include "print/Surface.h"

#include <QString>
#include <QStringList>

namespace kestrana {

// Writes each device operation as one line of UTF-8 text, fields separated by one TAB:
//   begin <portrait|landscape> <dpiX> <dpiY>
//   paper <name> <width mm> <height mm>    (right after begin, only when a paper was set)
//   page
//   text <x> <y> <face> <height> <style> <#rrggbb> <text>   (style: letters of b i u s, or -)
//   rect <x1> <y1> <x2> <y2> <#rrggbb>
//   image <x1> <y1> <x2> <y2> <width> <height>
//   end
// Backslash, TAB, CR and LF in a text or face are written as \\, \t, \r, \n. The file is
// written when a document ends or is aborted (an aborted one lacks its "end" line).
class TraceSurface : public Surface {
public:
    // An empty path keeps the lines in memory only.
    TraceSurface(int dpiX, int dpiY, QString path = {});
    ~TraceSurface() override;

    const QStringList& lines() const { return lines_; }

    int dpiX() const override { return dpiX_; }
    int dpiY() const override { return dpiY_; }
    bool landscape() const override { return landscape_; }
    void setLandscape(bool landscape) override { landscape_ = landscape; }

    void begin() override;
    void newPage() override;
    void end() override;
    void abort() override;

    void text(int x, int y, const SurfaceFont& font, QRgb colour, const QString& text) override;
    void rect(int x1, int y1, int x2, int y2, QRgb pen) override;
    void image(int x1, int y1, int x2, int y2, const QImage& picture) override;

    // A trace has no margins: the printable area is the whole paper.
    QPageSize paper() const override { return paper_; }
    void setPaper(const QPageSize& paper) override { paper_ = paper; }

    static QString escape(const QString& text);
    static QString styleLetters(std::uint8_t style);

private:
    void add(const QStringList& fields);
    void flush();

    int dpiX_;
    int dpiY_;
    QString path_;
    bool landscape_ = false;
    QPageSize paper_;
    QStringList lines_;
    bool dirty_ = false;
};

} // namespace kestrana
