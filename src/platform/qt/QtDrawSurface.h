// The drawing surface on a QPainter: screen, printer, PDF, SVG and images.
// Symbols, pins and the junction dot are vector drawings, crisp at any zoom.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <optional>

#include "platform/IDrawSurface.h"

class QColor;
class QPainter;
class QRectF;

namespace ostra {

// A colour of the core (0x00BBGGRR) as Qt has it.
QColor ToQColor(Colour c);

class QtDrawSurface : public IDrawSurface {
  public:
    explicit QtDrawSurface(QPainter& painter);

    bool SetPen(PenStyle style, int width, Colour colour) override;
    void DrawLine(CPoint from, CPoint to) override;
    void DrawRect(const CRect& r) override;
    void FillRect(const CRect& r, Colour colour) override;
    void SetFont(const FontSpec& font) override;
    void DrawText(CPoint ref, const std::string& utf8, TextAlign align) override;
    CSize TextExtent(const std::string& utf8) override;
    void DrawImage(int imageId, const CRect& src, const CRect& dst) override;

    // The artwork of an image id stretched into a rectangle.
    static void DrawArtwork(QPainter& p, int imageId, const QRectF& dst);

  private:
    const QFontMetrics& Metrics();

    QPainter& p_;
    QFont font_;
    // A full sheet sets thousands of pens and measures hundreds of texts:
    // the pen is only replaced when it changes, the metrics kept per font.
    std::optional<QFontMetrics> metrics_;
    bool penSet_ = false;
    PenStyle penStyle_ = PenStyle::Solid;
    int penWidth_ = 0;
    Colour penColour_ = 0;
};

}  // namespace ostra
