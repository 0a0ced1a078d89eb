// The scrolling view of one sheet: zoom steps, pixel-to-grid mapping, scroll
// sizes, and the repaint in its fixed order (frame, lines, texts, blocks,
// wires, each list from its last object to its first).
#pragma once

#include <QAbstractScrollArea>
#include <functional>

#include "platform/Geometry.h"

namespace ostra {

class COstra_PLCDoc;

class COstra_PLCView : public QAbstractScrollArea {
    Q_OBJECT
  public:
    static constexpr int kZoomSteps[9] = {4, 5, 6, 7, 8, 10, 11, 13, 16};
    static constexpr int kStartZoom = 4;
    static constexpr int kSheetWidth = 126;  // grid units scrolled
    static constexpr int kSheetHeight = 84;
    static constexpr int kFrameWidth = 125;  // grid units framed

    COstra_PLCView(COstra_PLCDoc* doc, QWidget* parent = nullptr);

    COstra_PLCDoc* Document() const { return doc_; }
    int Scale() const { return scale_; }
    int ZoomIndex() const { return zoomIndex_; }
    bool CanMagnify() const { return zoomIndex_ < 8; }
    bool CanReduce() const { return zoomIndex_ > 0; }
    void Magnify();
    void Reduce();

    // A logical pixel value to grid units: rounded half away from zero.
    static int32_t RoundDiv(int64_t v, int32_t scale);
    // A pixel of the viewport to the grid point under it.
    CPoint PixelToGrid(QPoint viewportPixel) const;
    void UpdateScrollSizes();

    // Draws the sheet at `scale`; a printer page shifts everything by the
    // print offset (2, 5) grid units and leaves out selection marks.
    void Render(QPainter& p, int scale, bool printing);

    // Called after every repaint: the main frame's refresh and the block count.
    std::function<void()> onPainted;

  protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

  private:
    void Zoom(int index);

    COstra_PLCDoc* doc_;
    int zoomIndex_ = kStartZoom;
    int scale_ = kZoomSteps[kStartZoom];
    int savedScale_ = kZoomSteps[kStartZoom];
};

}  // namespace ostra
