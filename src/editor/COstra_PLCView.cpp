// Sheet view geometry, drawing and the translation of input events.
#include "editor/COstra_PLCView.h"

#include <QColorDialog>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <cmath>

#include "editor/PropertyDialogs.h"
#include "model/COstra_PLCDoc.h"
#include "model/SheetDrawing.h"
#include "model/WireTypes.h"
#include "platform/qt/QtDrawSurface.h"
#include "project/CFuncLibrary.h"

namespace ostra {

namespace {

// The mode cursors: a cross-hair whose centre is the hot spot, with a small
// picture of what the mode places below and right of it.
QCursor EditCursor(int32_t id) {
    if (id == kCursorNormal) return QCursor(Qt::ArrowCursor);
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    auto cross = [&p](const QColor& c, qreal w) {
        p.setPen(QPen(c, w));
        p.drawLine(QPointF(9, 9), QPointF(9, 2));
        p.drawLine(QPointF(9, 9), QPointF(9, 16));
        p.drawLine(QPointF(9, 9), QPointF(2, 9));
        p.drawLine(QPointF(9, 9), QPointF(16, 9));
    };
    cross(Qt::white, 3);
    cross(Qt::black, 1);
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(Qt::white);
    switch (id) {
        case kCursorBlock:
            p.drawRect(QRectF(17, 16, 11, 13));
            p.drawLine(QPointF(14, 20), QPointF(17, 20));
            p.drawLine(QPointF(14, 25), QPointF(17, 25));
            p.drawLine(QPointF(28, 22.5), QPointF(31, 22.5));
            break;
        case kCursorWires: {
            QPainterPath path(QPointF(15, 18));
            path.lineTo(23, 18);
            path.lineTo(23, 28);
            path.lineTo(31, 28);
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(Qt::black, 2));
            p.drawPath(path);
            p.setBrush(Qt::black);
            p.drawEllipse(QPointF(23, 18), 1.8, 1.8);
            break;
        }
        case kCursorText: {
            QFont f(QStringLiteral("DejaVu Sans"));
            f.setPixelSize(15);
            f.setBold(true);
            p.setFont(f);
            p.setPen(Qt::black);
            p.drawText(QRectF(15, 14, 16, 18), Qt::AlignCenter, QStringLiteral("T"));
            break;
        }
        case kCursorLines:
            p.setPen(QPen(QColor(0, 0, 255), 2));
            p.drawLine(QPointF(15, 30), QPointF(30, 16));
            break;
        case kCursorTrim:
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(19, 27), 3, 3);
            p.drawEllipse(QPointF(27, 27), 3, 3);
            p.drawLine(QPointF(21, 25), QPointF(28, 14));
            p.drawLine(QPointF(25, 25), QPointF(18, 14));
            break;
        default:
            break;
    }
    p.end();
    return QCursor(pm, 9, 9);
}

QString ModeName(int32_t mode) {
    switch (mode) {
        case kModeInsertBlock:
            return QStringLiteral("Insert function block");
        case kModeWires:
            return QStringLiteral("Add wires");
        case kModeText:
            return QStringLiteral("Add text");
        case kModeLines:
            return QStringLiteral("Add decorative lines");
        case kModeBand:
            return QStringLiteral("Select area");
        case kModeTrimLine:
            return QStringLiteral("Trim line");
        case kModeTrimWire:
            return QStringLiteral("Trim wire");
        default:
            return QStringLiteral("Select");
    }
}

MouseFlags FlagsOf(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons) {
    MouseFlags f;
    f.shift = mods.testFlag(Qt::ShiftModifier);
    f.ctrl = mods.testFlag(Qt::ControlModifier);
    f.leftButton = buttons.testFlag(Qt::LeftButton);
    return f;
}

}  // namespace

// The monitor timer of a view.
class COstra_PLCView::Timer : public IMonitorTimer {
  public:
    explicit Timer(COstra_PLCView& view) : timer_(&view) {
        QObject::connect(&timer_, &QTimer::timeout, &view, [&view] {
            if (view.onMonitorTick) view.onMonitorTick();
        });
    }
    bool Start(int periodMs) override {
        timer_.start(periodMs);
        return timer_.isActive();
    }
    void Stop() override { timer_.stop(); }
    bool Active() const { return timer_.isActive(); }

  private:
    QTimer timer_;
};

CObjectClipboard& AppClipboard() {
    static CObjectClipboard clipboard;
    return clipboard;
}

COstra_PLCView::COstra_PLCView(COstra_PLCDoc* doc, QWidget* parent)
    : QAbstractScrollArea(parent), doc_(doc), ownMsg_(this) {
    viewport()->setAutoFillBackground(true);
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(pal);
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setWhatsThis(QStringLiteral(
        "The sheet. Click an object to select it, Shift+click or Ctrl+click to add or remove it, "
        "drag on empty sheet to select with a frame, drag the selection to move it; the arrow keys "
        "move it too (Ctrl: 8 units) and Delete removes it. Right-click an object for its menu. "
        "Insert places blocks, wires, texts and lines."));
    monitorTimer_ = std::make_unique<Timer>(*this);
    if (doc_) {
        editor_ =
            std::make_unique<CSheetEditor>(*doc_, static_cast<IEditorHost&>(*this), AppClipboard());
        editor_->Scale = scale_;
    }
    UpdateScrollSizes();
}

COstra_PLCView::~COstra_PLCView() = default;

void COstra_PLCView::SetServices(ViewServices services) {
    services_ = std::move(services);
}

int32_t COstra_PLCView::RoundDiv(int64_t v, int32_t scale) {
    if (scale == 0) return 0;
    const double q = std::floor(std::fabs(static_cast<double>(v)) / std::abs(scale) + 0.5);
    const bool negative = (v < 0) != (scale < 0) && v != 0;
    return static_cast<int32_t>(negative ? -q : q);
}

CPoint COstra_PLCView::ToLogical(QPoint px) const {
    return {ClampPx(int64_t{px.x()} + horizontalScrollBar()->value()),
            ClampPx(int64_t{px.y()} + verticalScrollBar()->value())};
}

CPoint COstra_PLCView::PixelToGrid(QPoint px) const {
    const CPoint p = ToLogical(px);
    return {RoundDiv(p.x, scale_), RoundDiv(p.y, scale_)};
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

IMonitorTimer& COstra_PLCView::MonitorTimer() {
    return *monitorTimer_;
}

bool COstra_PLCView::MonitorTimerActive() const {
    return monitorTimer_->Active();
}

void COstra_PLCView::ShowMonitorValues(const std::vector<MonitorLabel>& labels,
                                       const std::map<const COxWireSeg*, bool>& live) {
    for (const MonitorLabel& l : labels) monLabels_[l.segment] = l;
    for (const auto& [segment, on] : live) {
        if (on)
            liveWires_[segment] = true;
        else
            liveWires_.erase(segment);
    }
    if (!labels.empty() || !live.empty()) viewport()->update();
}

void COstra_PLCView::ClearMonitorDrawing() {
    if (monLabels_.empty() && liveWires_.empty()) return;
    monLabels_.clear();
    liveWires_.clear();
    viewport()->update();
}

void COstra_PLCView::Zoom(int index) {
    monLabels_.clear();
    liveWires_.clear();
    zoomIndex_ = index;
    scale_ = savedScale_ = kZoomSteps[zoomIndex_];
    if (editor_) editor_->Scale = scale_;
    previewShown_ = false;
    UpdateScrollSizes();
    viewport()->update();
}

void COstra_PLCView::Magnify() {
    if (!CanMagnify()) return;
    if (ZoomKeepsCentre)
        ZoomAt(zoomIndex_ + 1, viewport()->rect().center());
    else
        Zoom(zoomIndex_ + 1);
}

void COstra_PLCView::Reduce() {
    if (!CanReduce()) return;
    if (ZoomKeepsCentre)
        ZoomAt(zoomIndex_ - 1, viewport()->rect().center());
    else
        Zoom(zoomIndex_ - 1);
}

void COstra_PLCView::ZoomAt(int index, QPoint at) {
    if (index < 0 || index > 8 || index == zoomIndex_) return;
    // The sheet point under `at`, in grid units, comes back under `at`.
    const double gx = (horizontalScrollBar()->value() + at.x()) / static_cast<double>(scale_);
    const double gy = (verticalScrollBar()->value() + at.y()) / static_cast<double>(scale_);
    Zoom(index);
    horizontalScrollBar()->setValue(static_cast<int>(std::lround(gx * scale_ - at.x())));
    verticalScrollBar()->setValue(static_cast<int>(std::lround(gy * scale_ - at.y())));
}

void COstra_PLCView::ZoomToFit() {
    const QSize vp = viewport()->size();
    int index = 0;
    for (int i = 8; i > 0; --i) {
        if (kSheetWidth * kZoomSteps[i] <= vp.width() && kSheetHeight * kZoomSteps[i] <= vp.height()) {
            index = i;
            break;
        }
    }
    Zoom(index);
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

void COstra_PLCView::ShowPlace(CPoint a, CPoint b) {
    const QRect grid = QRect(QPoint(a.x, a.y), QPoint(b.x, b.y)).normalized();
    // A ring a little larger than the object; a block's body lies right of
    // and below its position, so that side gets more room.
    const int margin = 2;
    const int extra = a == b ? 6 : 0;
    flash_ = QRect(QPoint((grid.left() - margin) * scale_, (grid.top() - margin) * scale_),
                   QPoint((grid.right() + margin + extra) * scale_,
                          (grid.bottom() + margin + extra) * scale_));
    UpdateScrollSizes();
    const QPoint centre = flash_.center();
    horizontalScrollBar()->setValue(centre.x() - viewport()->width() / 2);
    verticalScrollBar()->setValue(centre.y() - viewport()->height() / 2);
    if (!flashTimer_) {
        flashTimer_ = new QTimer(this);
        flashTimer_->setSingleShot(true);
        connect(flashTimer_, &QTimer::timeout, this, [this] {
            flash_ = QRect();
            viewport()->update();
        });
    }
    flashTimer_->start(1500);
    viewport()->update();
}

void COstra_PLCView::Render(QPainter& p, int scale, bool printing) {
    if (!doc_) return;
    QtDrawSurface dc(p);
    DrawSheet(*doc_, dc, scale, printing);
}

void COstra_PLCView::paintEvent(QPaintEvent* e) {
    if (!doc_) return;
    UpdateScrollSizes();
    QPainter p(viewport());
    // Paper whatever the window's look: the sheet's colours are its own.
    p.fillRect(e->rect(), Qt::white);
    p.translate(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    Render(p, scale_, false);
    if (!liveWires_.empty() || !monLabels_.empty()) {
        // Live values over the sheet: wires of digital signals that are on in
        // green, then each value two units under where its wire's name stands.
        const DrawParams dp{scale_, {}, false};
        p.setPen(QPen(QColor(0, 170, 0), std::max(3, scale_ / 3), Qt::SolidLine, Qt::RoundCap));
        for (const auto& seg : doc_->segments) {
            if (!liveWires_.count(seg.get())) continue;
            const CPoint a = PxPoint(seg->start, dp);
            const CPoint b = PxPoint(seg->end, dp);
            p.drawLine(a.x, a.y, b.x, b.y);
        }
        QtDrawSurface dc(p);
        for (const auto& seg : doc_->segments) {
            const auto it = monLabels_.find(seg.get());
            if (it == monLabels_.end()) continue;
            const MonitorLabel& l = it->second;
            dc.SetPen(PenStyle::Solid, 1, kBlack);
            DrawLabel(dc, l.at.x, l.at.y, l.text, 12, l.align, dp);
        }
    }
    if (previewShown_) {
        p.setPen(QPen(previewColour_, 1));
        p.drawLine(previewLine_);
    }
    const DrawParams hintParams{scale_, {}, false};
    if (ghost_ && editor_ && editor_->EditMode == kModeInsertBlock && SelectedLibFunc()) {
        // The block as it would be placed, faint.
        COxFunc ghost(*SelectedLibFunc());
        ghost.position = *ghost_;
        p.save();
        p.setOpacity(0.35);
        QtDrawSurface dc(p);
        ghost.Draw(&dc, hintParams);
        p.restore();
    }
    if (ghost_ && editor_ && editor_->EditMode == kModeText) {
        // The text and its frame where a click would put it.
        COxText ghost(*ghost_, editor_->TextDialog.text, editor_->TextDialog.size);
        p.save();
        p.setOpacity(0.45);
        QtDrawSurface dc(p);
        ghost.Draw(&dc, hintParams);
        p.setPen(QPen(QColor(0, 0, 160), 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        const CRect& b = ghost.bounds;
        p.drawRect(QRect(QPoint(b.left, b.top), QPoint(b.right, b.bottom)).adjusted(-2, -2, 2, 2));
        p.restore();
    }
    if (wireTarget_ && editor_ && editor_->EditMode == kModeWires) {
        const CPoint c = PxPoint(*wireTarget_, hintParams);
        const int r = std::max(3, scale_ / 2);
        p.setPen(QPen(QColor(0, 160, 0), 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPoint(c.x, c.y), r, r);
    }
    if (!flash_.isNull()) {
        p.setPen(QPen(QColor(255, 140, 0), std::max(3, scale_ / 3)));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(flash_, scale_, scale_);
    }
    if (!band_.isNull()) {
        // An inverting frame, visible on white and on drawn objects alike.
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(QPen(Qt::white, 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(band_.normalized());
    }
    p.end();
    if (onPainted) onPainted();
}

void COstra_PLCView::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    UpdateScrollSizes();
}

// --- input ---

bool COstra_PLCView::Panning(QMouseEvent* e) {
    const bool starts = e->type() == QEvent::MouseButtonPress &&
                        (e->button() == Qt::MiddleButton ||
                         (e->button() == Qt::LeftButton && spaceHeld_));
    if (starts) {
        panning_ = true;
        panFrom_ = e->position().toPoint();
        viewport()->setCursor(Qt::ClosedHandCursor);
        return true;
    }
    if (!panning_) return false;
    const QPoint now = e->position().toPoint();
    const QPoint d = now - panFrom_;
    panFrom_ = now;
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() - d.x());
    verticalScrollBar()->setValue(verticalScrollBar()->value() - d.y());
    if (e->type() == QEvent::MouseButtonRelease) {
        panning_ = false;
        if (spaceHeld_)
            viewport()->setCursor(Qt::OpenHandCursor);
        else
            SetCursor(editor_ ? editor_->CursorNow : kCursorNormal);
    }
    return true;
}

void COstra_PLCView::wheelEvent(QWheelEvent* e) {
    const QPoint angle = e->angleDelta();
    if (e->modifiers().testFlag(Qt::ControlModifier)) {
        // One zoom step for each notch (120), at the pointer.
        wheelZoom_ += angle.y();
        const QPoint at = e->position().toPoint();
        while (wheelZoom_ >= 120) {
            ZoomAt(zoomIndex_ + 1, at);
            wheelZoom_ -= 120;
        }
        while (wheelZoom_ <= -120) {
            ZoomAt(zoomIndex_ - 1, at);
            wheelZoom_ += 120;
        }
        e->accept();
        return;
    }
    if (e->modifiers().testFlag(Qt::ShiftModifier) && angle.x() == 0 && angle.y() != 0) {
        // Shift turns the wheel sideways, three lines a notch.
        QScrollBar* h = horizontalScrollBar();
        h->setValue(h->value() - angle.y() * 3 * h->singleStep() / 120);
        e->accept();
        return;
    }
    // Plain wheels and touchpads: both directions, as the scroll area does.
    QAbstractScrollArea::wheelEvent(e);
}

void COstra_PLCView::keyReleaseEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Space && !e->isAutoRepeat()) {
        spaceHeld_ = false;
        if (!panning_) SetCursor(editor_ ? editor_->CursorNow : kCursorNormal);
        e->accept();
        return;
    }
    QAbstractScrollArea::keyReleaseEvent(e);
}

void COstra_PLCView::mousePressEvent(QMouseEvent* e) {
    if (Panning(e)) return;
    if (!editor_) return;
    const CPoint p = ToLogical(e->position().toPoint());
    const MouseFlags f = FlagsOf(e->modifiers(), e->buttons());
    if (e->button() == Qt::LeftButton)
        editor_->LeftPress(f, p);
    else if (e->button() == Qt::RightButton)
        editor_->RightPress(f, p);
    ShowEditStatus(p);
}

void COstra_PLCView::mouseDoubleClickEvent(QMouseEvent* e) {
    // In the placement modes the second click is a click like any other.
    if (!editor_ || e->button() != Qt::LeftButton || editor_->EditMode != kModeSelect) {
        mousePressEvent(e);
        return;
    }
    const CPoint p = ToLogical(e->position().toPoint());
    editor_->LeftDoubleClick(p);
    ShowEditStatus(p);
}

void COstra_PLCView::mouseReleaseEvent(QMouseEvent* e) {
    if (Panning(e)) return;
    if (!editor_ || e->button() != Qt::LeftButton) return;
    const CPoint p = ToLogical(e->position().toPoint());
    editor_->LeftRelease(FlagsOf(e->modifiers(), e->buttons()), p);
    ShowEditStatus(p);
}

void COstra_PLCView::mouseMoveEvent(QMouseEvent* e) {
    if (Panning(e)) return;
    if (!editor_) return;
    const CPoint p = ToLogical(e->position().toPoint());
    editor_->MouseMove(FlagsOf(e->modifiers(), e->buttons()), p);
    UpdateHints(p);
    ShowEditStatus(p);
}

bool COstra_PLCView::viewportEvent(QEvent* e) {
    if (e->type() == QEvent::Leave && editor_) {
        editor_->PointerLeft();
        if (ghost_ || wireTarget_) {
            ghost_.reset();
            wireTarget_.reset();
            viewport()->update();
        }
    }
    return QAbstractScrollArea::viewportEvent(e);
}

void COstra_PLCView::UpdateHints(CPoint logical) {
    const CPoint g(RoundDiv(logical.x, scale_), RoundDiv(logical.y, scale_));
    std::optional<CPoint> ghost, target;
    if ((editor_->EditMode == kModeInsertBlock && SelectedLibFunc()) ||
        editor_->EditMode == kModeText)
        ghost = g;
    if (editor_->EditMode == kModeWires) {
        // The sheet's own hit test: a pin, or the end of a wire.
        doc_->HitTest(g);
        const int32_t kind = doc_->hit.kind;
        if (kind == kHitInputPin || kind == kHitOutputPin || kind == kHitSegStart ||
            kind == kHitSegEnd)
            target = g;
    }
    if (ghost == ghost_ && target == wireTarget_) return;
    ghost_ = ghost;
    wireTarget_ = target;
    viewport()->update();
}

void COstra_PLCView::keyPressEvent(QKeyEvent* e) {
    // The cursor block's keys only; the keypad's arrows and Delete are left alone.
    EditKey key = EditKey::Other;
    if (!e->modifiers().testFlag(Qt::KeypadModifier)) {
        switch (e->key()) {
            case Qt::Key_Up:
                key = EditKey::Up;
                break;
            case Qt::Key_Down:
                key = EditKey::Down;
                break;
            case Qt::Key_Left:
                key = EditKey::Left;
                break;
            case Qt::Key_Right:
                key = EditKey::Right;
                break;
            case Qt::Key_Delete:
                key = EditKey::Delete;
                break;
            default:
                break;
        }
    }
    if (e->key() == Qt::Key_Escape) key = EditKey::Escape;
    if (e->key() == Qt::Key_Space && !e->isAutoRepeat()) {
        spaceHeld_ = true;  // Space and a left drag pan the sheet
        viewport()->setCursor(Qt::OpenHandCursor);
        e->accept();
        return;
    }
    if (editor_ && key != EditKey::Other &&
        editor_->KeyPress(key, FlagsOf(e->modifiers(), Qt::NoButton))) {
        e->accept();
        return;
    }
    QAbstractScrollArea::keyPressEvent(e);
}

void COstra_PLCView::contextMenuEvent(QContextMenuEvent* e) {
    // A right press has shown its menu already; only the keyboard's menu key
    // brings "This Sheet" here.
    if (e->reason() == QContextMenuEvent::Mouse || !editor_) return;
    QPoint at = e->pos();
    if (at.isNull()) at = QPoint(5, 5);
    QMenu menu(this);
    for (const MenuItem& item : PopupMenuItems(PopupMenu::ThisSheet)) {
        QAction* a = menu.addAction(QString::fromStdString(item.text));
        a->setData(item.id);
    }
    QAction* chosen = menu.exec(viewport()->mapToGlobal(at));
    if (chosen) SheetCommand(chosen->data().toInt());
}

void COstra_PLCView::ShowEditStatus(CPoint logical) {
    if (!services_.editStatus || !editor_) return;
    services_.editStatus(QStringLiteral("x %1, y %2   %3")
                             .arg(RoundDiv(logical.x, scale_))
                             .arg(RoundDiv(logical.y, scale_))
                             .arg(ModeName(editor_->EditMode)));
}

// --- editor outputs ---

void COstra_PLCView::InvalidateAll(bool) {
    // A repaint clears what was drawn straight onto the window.
    previewShown_ = false;
    monLabels_.clear();
    liveWires_.clear();
    viewport()->update();
}

void COstra_PLCView::InvalidateRect(const CRect& r, bool) {
    if (previewShown_) {
        // The preview may lie outside the rectangle; it goes with a whole repaint.
        InvalidateAll(true);
        return;
    }
    viewport()->update(QRect(r.left - horizontalScrollBar()->value() - 1,
                             r.top - verticalScrollBar()->value() - 1, r.Width() + 2,
                             r.Height() + 2));
}

void COstra_PLCView::DrawPreviewLine(CPoint from, CPoint to, Colour colour) {
    if (colour == Rgb(255, 255, 255)) {
        previewShown_ = false;
    } else {
        previewShown_ = true;
        previewLine_ = QLine(from.x, from.y, to.x, to.y);
        previewColour_ = ToQColor(colour);
    }
    viewport()->update();
}

void COstra_PLCView::DrawDragRect(const CRect& now, const CRect&) {
    // An empty rectangle ends the band.
    band_ =
        now == CRect() ? QRect() : QRect(QPoint(now.left, now.top), QPoint(now.right, now.bottom));
    viewport()->update();
}

void COstra_PLCView::SetCursor(int32_t cursorId) {
    viewport()->setCursor(EditCursor(cursorId));
}

int32_t COstra_PLCView::ShowPopupMenu(PopupMenu which, const std::vector<MenuItem>& items,
                                      CPoint where) {
    static const QHash<int, const char*> kPrompts = {
        {kCmdSheetRedraw, "Re-draw this sheet to give a clean view"},
        {kCmdSheetWireCheck, "Check the wiring and signal naming integrity on this sheet"},
        {kCmdSheetSave, "Save this Sheet to disk"},
        {kCmdSheetSaveAs, "Save this Sheet to disk under a different name"},
    };
    QMenu menu(this);
    menu.setTitle(QString::fromStdString(PopupMenuName(which)));
    for (const MenuItem& item : items) {
        QAction* a = menu.addAction(QString::fromStdString(item.text));
        a->setData(item.id);
        a->setEnabled(item.enabled);
        if (kPrompts.contains(item.id)) a->setStatusTip(QString::fromUtf8(kPrompts[item.id]));
    }
    const QPoint client(where.x - horizontalScrollBar()->value(),
                        where.y - verticalScrollBar()->value());
    QAction* chosen = menu.exec(viewport()->mapToGlobal(client));
    return chosen ? chosen->data().toInt() : 0;
}

void COstra_PLCView::SheetCommand(int32_t id) {
    if (id == kCmdSheetRedraw) {
        InvalidateAll(true);
        return;
    }
    if (services_.sheetCommand) services_.sheetCommand(id);
}

IMessageBox& COstra_PLCView::Msg() {
    return services_.msg ? *services_.msg : ownMsg_;
}

bool COstra_PLCView::RunLibraryDialog() {
    return services_.runLibraryDialog && services_.runLibraryDialog();
}

const COxFunc* COstra_PLCView::SelectedLibFunc() const {
    return services_.library ? services_.library->SelectedLibFunc : nullptr;
}

bool COstra_PLCView::LibraryLoaded() const {
    return services_.library && !services_.library->Empty();
}

void COstra_PLCView::CheckBlockCount() {
    if (services_.checkBlockCount) services_.checkBlockCount();
}

namespace {

// Shows a property dialog of type D on `fields`; true for OK.
template <typename D, typename F>
bool RunModal(F& fields, IMessageBox& msg, QWidget* parent) {
    D dialog(fields, msg, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace

bool COstra_PLCView::RunFBProps(FBPropsFields& fields) {
    return fields.terminal ? RunModal<CDlgTermProps>(fields, Msg(), this)
                           : RunModal<CDlgFBProps>(fields, Msg(), this);
}

bool COstra_PLCView::RunPinProps(const PinPropsFields& fields) {
    return RunModal<CDlgPinProps>(fields, Msg(), this);
}

bool COstra_PLCView::RunWSProps(WSPropsFields& fields) {
    return RunModal<CDlgWSProps>(fields, Msg(), this);
}

bool COstra_PLCView::RunTextProps(TextPropsFields& fields) {
    return RunModal<CDlgTxtProps>(fields, Msg(), this);
}

bool COstra_PLCView::RunLineProps(LinePropsFields& fields) {
    return RunModal<CDlgLineProps>(fields, Msg(), this);
}

bool COstra_PLCView::ChooseColour(Colour& colour) {
    const QColor chosen = QColorDialog::getColor(ToQColor(colour), this, QStringLiteral("Colour"));
    if (!chosen.isValid()) return false;
    colour = Rgb(static_cast<uint32_t>(chosen.red()), static_cast<uint32_t>(chosen.green()),
                 static_cast<uint32_t>(chosen.blue()));
    return true;
}

void COstra_PLCView::SheetChanged() {
    if (services_.sheetChanged) services_.sheetChanged();
}

}  // namespace ostra
