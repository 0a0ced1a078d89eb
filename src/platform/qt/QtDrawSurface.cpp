// QPainter drawing surface and the vector artwork.
#include "platform/qt/QtDrawSurface.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cstring>

namespace ostra {

QColor ToQColor(Colour c) {
    return QColor(static_cast<int>(RedOf(c)), static_cast<int>(GreenOf(c)),
                  static_cast<int>(BlueOf(c)));
}

namespace {

const QColor kSymbolInk(0, 0, 160);

}  // namespace

QtDrawSurface::QtDrawSurface(QPainter& painter) : p_(painter), font_("Arial") {
    font_.setStyleHint(QFont::SansSerif);
}

bool QtDrawSurface::SetPen(PenStyle style, int width, Colour colour) {
    if (penSet_ && style == penStyle_ && width == penWidth_ && colour == penColour_) return true;
    penSet_ = true;
    penStyle_ = style;
    penWidth_ = width;
    penColour_ = colour;
    QPen pen(ToQColor(colour));
    pen.setWidth(std::max(width, 0));
    pen.setStyle(style == PenStyle::Dot ? Qt::DotLine : Qt::SolidLine);
    pen.setCapStyle(Qt::FlatCap);
    p_.setPen(pen);
    return true;
}

void QtDrawSurface::DrawLine(CPoint a, CPoint b) {
    p_.drawLine(QPoint(a.x, a.y), QPoint(b.x, b.y));
}

void QtDrawSurface::DrawRect(const CRect& r) {
    p_.setBrush(Qt::NoBrush);
    p_.drawRect(QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)));
}

void QtDrawSurface::FillRect(const CRect& r, Colour colour) {
    p_.fillRect(QRect(r.left, r.top, r.Width(), r.Height()), ToQColor(colour));
}

void QtDrawSurface::SetFont(const FontSpec& f) {
    font_ = QFont(QString::fromStdString(f.face));
    font_.setStyleHint(QFont::SansSerif);
    font_.setPixelSize(std::max(1, f.height));
    font_.setWeight(f.weight >= 700 ? QFont::Bold : QFont::Normal);
    p_.setFont(font_);
    metrics_.reset();
}

const QFontMetrics& QtDrawSurface::Metrics() {
    if (!metrics_) metrics_.emplace(font_, p_.device());
    return *metrics_;
}

void QtDrawSurface::DrawText(CPoint ref, const std::string& utf8, TextAlign align) {
    if (utf8.empty()) return;
    const QString s = QString::fromStdString(utf8);
    const int width = align == TextAlign::Left ? 0 : Metrics().horizontalAdvance(s);
    int x = ref.x;
    if (align == TextAlign::Right) x -= width;
    if (align == TextAlign::Center) x -= width / 2;
    // Text is black whatever pen the objects chose for their lines.
    const QPen pen = p_.pen();
    p_.setPen(Qt::black);
    p_.drawText(QPoint(x, ref.y), s);
    p_.setPen(pen);
}

CSize QtDrawSurface::TextExtent(const std::string& utf8) {
    const QFontMetrics& m = Metrics();
    return {m.horizontalAdvance(QString::fromStdString(utf8)), m.height()};
}

void QtDrawSurface::DrawImage(int imageId, const CRect&, const CRect& dst) {
    // The artwork saves and restores the painter, so the pen stays as it was.
    DrawArtwork(p_, imageId, QRectF(dst.left, dst.top, dst.Width(), dst.Height()));
}

void QtDrawSurface::DrawArtwork(QPainter& p, int id, const QRectF& r) {
    if (r.width() <= 0 || r.height() <= 0) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const double unit = std::max(1.0, r.height() / 8.0);
    if (const char* text = image::SymbolOperatorText(id)) {
        // A gate: a box with its operator, and the inverting bubble of NOT.
        QPen pen(kSymbolInk, std::max(1.0, r.width() / 16.0));
        p.setPen(pen);
        p.setBrush(QColor(250, 250, 255));
        const QRectF box =
            r.adjusted(r.width() * 0.08, r.height() * 0.04, -r.width() * 0.08, -r.height() * 0.04);
        p.drawRect(box);
        if (id == 155) {
            const double d = r.width() * 0.16;
            p.drawEllipse(
                QRectF(box.right() - d / 2, box.top() + box.height() * 0.25 - d / 2, d, d));
        }
        QFont f("Arial");
        f.setPixelSize(
            std::max(1, static_cast<int>(box.height() * (std::strlen(text) > 2 ? 0.3 : 0.45))));
        f.setBold(true);
        p.setFont(f);
        p.drawText(box, Qt::AlignCenter, QString::fromUtf8(text));
    } else if (id == image::kJunctionDot) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawEllipse(r);
    } else {
        // Pins: a stub of wire; inverted pins end in a bubble at the body,
        // analogue pins in an arrowhead pointing along the signal.
        const bool input =
            id == image::kPinDigitalIn || id == image::kPinInvertIn || id == image::kPinAnalogIn;
        const double y = r.center().y();
        QPen pen(Qt::black, std::max(1.0, unit * 0.9));
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        const double bubble = r.height() * 0.5;
        if (id == image::kPinInvertIn) {
            p.drawLine(QPointF(r.left(), y), QPointF(r.right() - bubble, y));
            p.drawEllipse(QRectF(r.right() - bubble, y - bubble / 2, bubble, bubble));
        } else if (id == image::kPinInvertOut) {
            p.drawEllipse(QRectF(r.left(), y - bubble / 2, bubble, bubble));
            p.drawLine(QPointF(r.left() + bubble, y), QPointF(r.right(), y));
        } else {
            p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
            if (id == image::kPinAnalogIn || id == image::kPinAnalogOut) {
                const double tip = input ? r.right() : r.right();
                const double h = r.height() * 0.3;
                QPainterPath head;
                head.moveTo(tip, y);
                head.lineTo(tip - h * 1.4, y - h);
                head.lineTo(tip - h * 1.4, y + h);
                head.closeSubpath();
                p.setBrush(Qt::black);
                p.drawPath(head);
            }
        }
    }
    p.restore();
}

}  // namespace ostra
