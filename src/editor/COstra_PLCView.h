// The scrolling view of one sheet: zoom steps, pixel-to-grid mapping, scroll
// sizes, the repaint in its fixed order (frame, lines, texts, blocks, wires,
// each list from its last object to its first), and the translation of mouse
// and key events into the sheet editor, whose outputs it carries out.
#pragma once

#include <optional>

#include <QAbstractScrollArea>
#include <functional>
#include <map>
#include <memory>

#include "comm/COxMonitor.h"
#include "model/SheetEditor.h"
#include "platform/Geometry.h"
#include "platform/qt/QtMessageBox.h"

class QTimer;

namespace ostra {

class CFuncLibrary;
class COstra_PLCDoc;

// The application-wide object clipboard shared by every view.
CObjectClipboard& AppClipboard();

// What a view needs from the main frame; anything left empty is done without.
struct ViewServices {
    IMessageBox* msg = nullptr;  // the view's own QMessageBox when none
    CFuncLibrary* library = nullptr;
    std::function<bool()> runLibraryDialog;
    std::function<void()> checkBlockCount;
    std::function<void(int32_t)> sheetCommand;  // "This Sheet" commands
    std::function<void()> sheetChanged;
    std::function<void(const QString&)> editStatus;  // grid position and mode
};

class COstra_PLCView : public QAbstractScrollArea, private IEditorHost {
    Q_OBJECT
  public:
    static constexpr int kZoomSteps[9] = {4, 5, 6, 7, 8, 10, 11, 13, 16};
    static constexpr int kStartZoom = 4;
    static constexpr int kSheetWidth = 126;  // grid units scrolled
    static constexpr int kSheetHeight = 84;
    static constexpr int kFrameWidth = 125;  // grid units framed

    COstra_PLCView(COstra_PLCDoc* doc, QWidget* parent = nullptr);
    ~COstra_PLCView() override;

    COstra_PLCDoc* Document() const { return doc_; }
    CSheetEditor& Editor() { return *editor_; }
    void SetServices(ViewServices services);
    int Scale() const { return scale_; }
    int ZoomIndex() const { return zoomIndex_; }
    bool CanMagnify() const { return zoomIndex_ < 8; }
    bool CanReduce() const { return zoomIndex_ > 0; }
    // Magnify and Reduce keep the sheet point in the middle of the window
    // there (off: the top-left corner stays, as the scroll sizes give).
    bool ZoomKeepsCentre = true;
    void Magnify();
    void Reduce();
    // Beyond the zoom commands: a zoom step that keeps the sheet point under
    // `at` (a viewport pixel) where it is, as Ctrl+wheel does; and the
    // largest step that shows the whole frame.
    void ZoomAt(int index, QPoint at);
    void ZoomToFit();

    // A logical pixel value to grid units: rounded half away from zero.
    static int32_t RoundDiv(int64_t v, int32_t scale);
    // A pixel of the viewport to the grid point under it.
    CPoint PixelToGrid(QPoint viewportPixel) const;
    // A pixel of the viewport to logical pixels of the sheet.
    CPoint ToLogical(QPoint viewportPixel) const;
    void UpdateScrollSizes();

    // Draws the sheet at `scale`; a printer page shifts everything by the
    // print offset (2, 5) grid units and leaves out selection marks.
    void Render(QPainter& p, int scale, bool printing);

    // Called after every repaint: the main frame's refresh and the block count.
    std::function<void()> onPainted;

    // Monitor mode: the view's 100 ms timer, whose ticks call onMonitorTick.
    IMonitorTimer& MonitorTimer();
    bool MonitorTimerActive() const;
    std::function<void()> onMonitorTick;
    // Values of a tick, written under the wires' names; `live` marks the
    // wires of digital signals as on (true) or off (false). They stay until
    // the sheet is drawn afresh.
    void ShowMonitorValues(const std::vector<MonitorLabel>& labels,
                           const std::map<const COxWireSeg*, bool>& live);
    void ClearMonitorDrawing();
    const std::map<const COxWireSeg*, MonitorLabel>& MonitorLabels() const { return monLabels_; }
    bool WireShownLive(const COxWireSeg* s) const { return liveWires_.count(s) > 0; }

    // The editing overlay, for tests: the preview line and the rubber band.
    bool HasPreview() const { return previewShown_; }
    QLine PreviewLine() const { return previewLine_; }
    // Hints under the pointer: the block being placed (its grid point), and
    // the pin or wire end that a wire click here would join.
    std::optional<CPoint> PlacementGhost() const { return ghost_; }
    std::optional<CPoint> WireTarget() const { return wireTarget_; }

    // Scrolls the grid rectangle from `a` to `b` into the middle of the view
    // and flashes a ring around it for a moment (panels and Find lead here).
    void ShowPlace(CPoint a, CPoint b);
    // The flashed rectangle in sheet pixels, empty when none is shown.
    QRect FlashRect() const { return flash_; }
    QRect BandRect() const { return band_; }

  protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

  private:
    void Zoom(int index);
    void ShowEditStatus(CPoint logical);
    void UpdateHints(CPoint logical);
    // Panning with the middle button, or the left one while Space is held.
    bool Panning(QMouseEvent* e);

    // IEditorHost
    void InvalidateAll(bool erase) override;
    void InvalidateRect(const CRect& r, bool erase) override;
    void DrawPreviewLine(CPoint from, CPoint to, Colour colour) override;
    void DrawDragRect(const CRect& now, const CRect& previous) override;
    void SetCursor(int32_t cursorId) override;
    int32_t ShowPopupMenu(PopupMenu menu, const std::vector<MenuItem>& items,
                          CPoint where) override;
    void SheetCommand(int32_t id) override;
    IMessageBox& Msg() override;
    bool RunLibraryDialog() override;
    const COxFunc* SelectedLibFunc() const override;
    bool LibraryLoaded() const override;
    void CheckBlockCount() override;
    bool RunFBProps(FBPropsFields& fields) override;
    bool RunPinProps(const PinPropsFields& fields) override;
    bool RunWSProps(WSPropsFields& fields) override;
    bool RunTextProps(TextPropsFields& fields) override;
    bool RunLineProps(LinePropsFields& fields) override;
    bool ChooseColour(Colour& colour) override;
    void SheetChanged() override;

    COstra_PLCDoc* doc_;
    std::unique_ptr<CSheetEditor> editor_;
    ViewServices services_;
    QtMessageBox ownMsg_;
    int zoomIndex_ = kStartZoom;
    std::optional<CPoint> ghost_;
    std::optional<CPoint> wireTarget_;
    int wheelZoom_ = 0;  // wheel steps not yet taken (touchpads send parts)
    bool spaceHeld_ = false;
    bool panning_ = false;
    QPoint panFrom_;
    int scale_ = kZoomSteps[kStartZoom];
    int savedScale_ = kZoomSteps[kStartZoom];
    bool previewShown_ = false;
    QLine previewLine_;
    QColor previewColour_;
    QRect band_;
    QRect flash_;
    QTimer* flashTimer_ = nullptr;
    class Timer;
    std::unique_ptr<Timer> monitorTimer_;
    std::map<const COxWireSeg*, MonitorLabel> monLabels_;
    std::map<const COxWireSeg*, bool> liveWires_;
};

}  // namespace ostra
