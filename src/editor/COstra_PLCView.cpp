// Sheet view geometry and drawing.
#include "editor/COstra_PLCView.h"

#include <QPainter>
#include <QScrollBar>
#include <cmath>

#include "model/COstra_PLCDoc.h"
#include "model/SheetDrawing.h"
#include "platform/qt/QtDrawSurface.h"

namespace ostra {

COstra_PLCView::COstra_PLCView(COstra_PLCDoc* doc, QWidget* parent)
    : QAbstractScrollArea(parent), doc_(doc) {
    viewport()->setAutoFillBackground(true);
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(pal);
    UpdateScrollSizes();
}

int32_t COstra_PLCView::RoundDiv(int64_t v, int32_t scale) {
    if (scale == 0) return 0;
    const double q = std::floor(std::fabs(static_cast<double>(v)) / std::abs(scale) + 0.5);
    const bool negative = (v < 0) != (scale < 0) && v != 0;
    return static_cast<int32_t>(negative ? -q : q);
}

CPoint COstra_PLCView::PixelToGrid(QPoint px) const {
    const int64_t x = int64_t{px.x()} + horizontalScrollBar()->value();
    const int64_t y = int64_t{px.y()} + verticalScrollBar()->value();
    return {RoundDiv(x, scale_), RoundDiv(y, scale_)};
}

void COstra_PLCView::UpdateScrollSizes() {
    if (doc_) {
        doc_->sheetWidth = kSheetWidth * scale_;
        doc_->sheetHeight = kSheetHeight * scale_;
    }
    const QSize vp = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, kSheetWidth * scale_ - vp.width()));
    verticalScrollBar()->setRange(0, std::max(0, kSheetHeight * scale_ - vp.height()));
    horizontalScrollBar()->setPageStep(8 * scale_);
    verticalScrollBar()->setPageStep(8 * scale_);
    horizontalScrollBar()->setSingleStep(scale_);
    verticalScrollBar()->setSingleStep(scale_);
}

void COstra_PLCView::Zoom(int index) {
    zoomIndex_ = index;
    scale_ = savedScale_ = kZoomSteps[zoomIndex_];
    UpdateScrollSizes();
    viewport()->update();
}

void COstra_PLCView::Magnify() {
    if (CanMagnify()) Zoom(zoomIndex_ + 1);
}

void COstra_PLCView::Reduce() {
    if (CanReduce()) Zoom(zoomIndex_ - 1);
}

void COstra_PLCView::Render(QPainter& p, int scale, bool printing) {
    if (!doc_) return;
    QtDrawSurface dc(p);
    DrawSheet(*doc_, dc, scale, printing);
}

void COstra_PLCView::paintEvent(QPaintEvent*) {
    if (!doc_) return;
    UpdateScrollSizes();
    QPainter p(viewport());
    p.translate(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    Render(p, scale_, false);
    p.end();
    if (onPainted) onPainted();
}

void COstra_PLCView::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    UpdateScrollSizes();
}

}  // namespace ostra
