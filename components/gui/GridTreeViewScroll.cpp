// The tree view's scrolling: the offsets and their one setter, the scroll bars
// and their actions, bringing rows and columns into view, the geometry of a
// node's rectangle, the wheel, auto scrolling, middle-button panning and the
// stepping of animations (the expand and collapse animation among them).
#include "components/PositionCache.h"
#include "components/gui/AlphaBlend.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeOptions.h"
#include "components/gui/GridTreeView.h"
#include "components/gui/ImageList.h"
#include "components/gui/ScrollBarOptions.h"
#include "components/gui/WheelPanning.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace {

// How far the mouse may move from the panning start before it counts as a direction.
constexpr int PanningDeadZone = 8;

// R narrowed to content Width placed by Alignment; left aligned it keeps LeftWidth.
void PlaceContent(TRect &R, int Width, TAlignment Alignment, int LeftWidth)
{
    switch (Alignment) {
    case taLeftJustify:
        R.Right = R.Left + LeftWidth;
        break;
    case taRightJustify:
        R.Left = R.Right - Width;
        break;
    case taCenter:
        R.Left = (R.Left + R.Right - Width) / 2;
        R.Right = R.Left + Width;
        break;
    }
}

} // namespace

// ---- offsets ---------------------------------------------------------------------------------

int TGridTreeView::EffectiveOffsetX() const
{
    return -FOffsetX;
}

void TGridTreeView::SetOffsetX(int Value)
{
    DoSetOffsetXY(QPoint(Value, FOffsetY));
}

void TGridTreeView::SetOffsetY(int Value)
{
    DoSetOffsetXY(QPoint(FOffsetX, Value));
}

bool TGridTreeView::DoSetOffsetXY(QPoint Value, TScrollUpdateOptions Options, const TRect *ClipRect)
{
    const int x = std::clamp(Value.x(), std::min(0, ClientWidth() - FRangeX), 0);
    const int y = std::clamp(Value.y(), std::min(0, ClientHeight() - RangeY()), 0);
    const int dx = x - FOffsetX;
    const int dy = y - FOffsetY;
    if (dx == 0 && dy == 0)
        return false;
    FOffsetX = x;
    FOffsetY = y;
    QToolTip::hideText();

    if (!IsUpdating() && Options.contains(suoScrollClientArea)
        && !(FTree && FTree->TreeStates().contains(tsToggling))) {
        QWidget &client = *viewport();
        const QRect area = ClipRect ? ToQRect(*ClipRect) : client.rect();
        const int fixed = FHeader->Columns().GetVisibleFixedWidth();
        if (FOptions->PaintOptions().contains(toShowBackground) && !FBackground.isNull()) {
            client.update();
        } else if (dx != 0 && fixed > 0) {
            // The fixed columns stay where they are.
            client.scroll(dx, 0, area.intersected(QRect(fixed, 0, client.width() - fixed, client.height())));
            if (dy != 0)
                client.scroll(0, dy, area);
        } else {
            client.scroll(dx, dy, area);
        }
    }
    if (Options.contains(suoUpdateNCArea)) {
        const bool repaint = Options.contains(suoRepaintScrollBars);
        if (dx != 0) {
            if (Options.contains(suoRepaintHeader) && FHeader->Options().contains(hoVisible))
                FHeader->Invalidate();
            if (!FViewStates.contains(tsSizing))
                UpdateHorizontalScrollBar(repaint);
        }
        if (dy != 0 && !FViewStates.contains(tsSizing) && !FViewStates.contains(tsThumbTracking)) {
            UpdateVerticalScrollBar(repaint);
            // Without columns the widest row on screen is the range.
            if (FHeader->Columns().Count() == 0 && !IsMouseSelecting())
                UpdateHorizontalScrollBar(repaint);
        }
    }
    DoScroll(dx, dy);
    return true;
}

void TGridTreeView::ClampOffsets()
{
    DoSetOffsetXY(QPoint(FOffsetX, FOffsetY));
}

void TGridTreeView::DoScroll(int DeltaX, int DeltaY)
{
    UpdateEditBounds();
    if (OnScroll)
        OnScroll(*this, DeltaX, DeltaY);
}

void TGridTreeView::DoShowScrollbar(TScrollBarKind Bar, bool Show)
{
    if (OnShowScrollbar)
        OnShowScrollbar(*this, Bar, Show);
}

// ---- scroll bars -------------------------------------------------------------------------------

void TGridTreeView::UpdateScrollBars(bool DoRepaint)
{
    if (!HasWindow())
        return;
    // Showing or hiding one bar changes the client size and so the other's range.
    ++FUpdatingBars;
    struct Done {
        int &depth;
        ~Done() { --depth; }
    } done { FUpdatingBars };
    QSize client;
    for (int round = 0; round < 4 && client != viewport()->size(); ++round) {
        client = viewport()->size();
        UpdateVerticalScrollBar(DoRepaint);
        UpdateHorizontalScrollBar(DoRepaint);
    }
}

void TGridTreeView::UpdateVerticalScrollBar(bool DoRepaint)
{
    (void)DoRepaint;
    if (!FTree || IsUpdating())
        return;
    const TScrollStyle bars = FScrollBarOptions->ScrollBars();
    UpdateScrollBar(*verticalScrollBar(), bars == ssVertical || bars == ssBoth,
        FScrollBarOptions->VerticalIncrement(), ClientHeight(), RangeY(), -FOffsetY);
    ClampOffsets();
}

void TGridTreeView::UpdateHorizontalScrollBar(bool DoRepaint)
{
    (void)DoRepaint;
    FRangeX = FHeader->Columns().Count() > 0 ? FHeader->Columns().TotalWidth() : GetMaxRightExtend();
    if (IsUpdating())
        return;
    const TScrollStyle bars = FScrollBarOptions->ScrollBars();
    UpdateScrollBar(*horizontalScrollBar(), bars == ssHorizontal || bars == ssBoth,
        FScrollBarOptions->HorizontalIncrement(), ClientWidth(), FRangeX, EffectiveOffsetX());
    ClampOffsets();
}

void TGridTreeView::UpdateScrollBar(QScrollBar &Bar, bool Wanted, int Step, int Page, int Range, int Position)
{
    const bool needed = Page < Range;
    const bool show = Wanted && (needed || FScrollBarOptions->AlwaysVisible());
    FSettingScrollBars = true;
    Bar.setSingleStep(Step);
    Bar.setPageStep(std::max(1, Page));
    Bar.setRange(0, std::max(0, Range - Page));
    Bar.setValue(Position);
    // Always visible without a range: shown disabled.
    Bar.setEnabled(needed);
    FSettingScrollBars = false;

    const bool vertical = &Bar == verticalScrollBar();
    bool &shown = vertical ? FVerticalShown : FHorizontalShown;
    const Qt::ScrollBarPolicy policy = show ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (vertical ? verticalScrollBarPolicy() != policy : horizontalScrollBarPolicy() != policy) {
        if (vertical)
            setVerticalScrollBarPolicy(policy);
        else
            setHorizontalScrollBarPolicy(policy);
        // The scroll area placed its bars anew.
        UpdateHeaderRect();
    }
    if (shown != show) {
        shown = show;
        DoShowScrollbar(vertical ? sbVertical : sbHorizontal, show);
    }
}

void TGridTreeView::ApplyScrollBarPolicies()
{
    UpdateScrollBars(true);
}

void TGridTreeView::ScrollBarAction(Qt::Orientation Orientation, int Action)
{
    const bool vertical = Orientation == Qt::Vertical;
    QScrollBar &bar = vertical ? *verticalScrollBar() : *horizontalScrollBar();
    const int line
        = vertical ? FScrollBarOptions->VerticalIncrement() : FScrollBarOptions->HorizontalIncrement();
    const int page = vertical ? ClientHeight() : ClientWidth() - FHeader->Columns().GetVisibleFixedWidth();
    const int offset = vertical ? FOffsetY : FOffsetX;
    int target = offset;
    switch (Action) {
    case QAbstractSlider::SliderSingleStepSub:
        target = offset + line;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        target = offset - line;
        break;
    case QAbstractSlider::SliderPageStepSub:
        target = offset + page;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        target = offset - page;
        break;
    case QAbstractSlider::SliderMove:
        if (bar.isSliderDown())
            DoViewStateChange({ tsThumbTracking });
        target = -bar.sliderPosition();
        break;
    case QAbstractSlider::SliderToMinimum:
        target = 0;
        break;
    case QAbstractSlider::SliderToMaximum:
        target = vertical ? -int(std::min<uint32_t>(FTree ? FTree->RootNode()->TotalHeight() : 0, INT32_MAX))
                          : -FRangeX;
        break;
    default:
        return;
    }
    if (vertical)
        SetOffsetY(target);
    else
        SetOffsetX(target);
    // The bar takes the clamped offset, not its own idea of the step.
    bar.setSliderPosition(vertical ? -FOffsetY : -FOffsetX);
}

void TGridTreeView::ScrollBarReleased(Qt::Orientation Orientation)
{
    DoViewStateChange({}, { tsThumbTracking });
    if (Orientation == Qt::Vertical) {
        UpdateVerticalScrollBar(true);
        viewport()->update();
    } else {
        UpdateHorizontalScrollBar(false);
    }
}

void TGridTreeView::scrollContentsBy(int, int)
{
    // Bar values set elsewhere than by an action (or by us) move the offsets.
    if (FSettingScrollBars)
        return;
    DoSetOffsetXY(QPoint(-horizontalScrollBar()->value(), -verticalScrollBar()->value()));
}

// ---- geometry ----------------------------------------------------------------------------------

int TGridTreeView::GetMaxRightExtend()
{
    if (!FTree || !FCache)
        return FMargin;
    const TGTPaintOptions paint = FOptions->PaintOptions();
    const bool checks = FOptions->MiscOptions().contains(toCheckSupport) && CheckImages();
    const int images = (FStateImages ? FStateImages->Width() + 2 : 0) + (FImages ? FImages->Width() + 2 : 0);
    int top = 0;
    int result = 0;
    const int height = ClientHeight();
    for (TGridNode *node = GetNodeAt(0, 0, true, top); node && top < height;
         node = FTree->GetNextVisible(node)) {
        int extent = int(FTree->GetNodeLevel(node) + (paint.contains(toShowRoot) ? 1 : 0)) * FIndent + images;
        if (checks && node->CheckType() != TCheckType::ctNone)
            extent += CheckImages()->Width() + 2;
        extent += DoGetNodeWidth(node, MainColumn());
        result = std::max(result, extent);
        top += int(FTree->NodeHeight(node));
    }
    return result + FMargin;
}

TRect TGridTreeView::GetDisplayRect(
    TGridNode *Node, TColumnIndex Column, bool TextOnly, bool Unclipped, bool ApplyCellContentMargin)
{
    if (!Node)
        throw EGridTreeAssertion(GridTreeTexts::NodeIsNil);
    if (!FTree || Node == FTree->RootNode())
        throw EGridTreeAssertion(GridTreeTexts::NodeIsRoot);
    uint32_t top = 0;
    if (!FCache || !FCache->NodeTop(Node, top))
        return {};
    const TGridTreeColumns &columns = FHeader->Columns();
    const bool useColumns = columns.IsValidColumn(Column);
    const bool main = Column == MainColumn();
    const TGTPaintOptions paint = FOptions->PaintOptions();
    const int indent = main ? int(FTree->GetNodeLevel(Node)) * FIndent : 0;
    const int height = int(FTree->NodeHeight(Node));

    TRect r = Rect(0, int(top), std::max(ClientWidth(), FRangeX), int(top) + height);
    if (!useColumns) {
        r = OffsetRect(r, -EffectiveOffsetX(), FOffsetY);
    } else {
        columns.GetColumnBounds(Column, r.Left, r.Right);
        --r.Right;
        r = OffsetRect(r, 0, FOffsetY);
    }
    if (!TextOnly)
        return r;

    TAlignment alignment = useColumns ? columns[Column].Alignment() : FAlignment;
    const bool ltr = !useColumns || columns[Column].BiDiMode() == bdLeftToRight;
    int offset = FMargin + indent;
    if (main) {
        if (paint.contains(toShowRoot))
            offset += FIndent;
        const TImageList *checks = CheckImages();
        if (checks && FOptions->MiscOptions().contains(toCheckSupport)
            && Node->CheckType() != TCheckType::ctNone)
            offset += checks->Width() + 2;
    }
    if (FStateImages && HasImage(Node, ikState, Column))
        offset += FStateImages->Width() + 2;
    if (FImages && HasImage(Node, ikNormal, Column))
        offset += FImages->Width() + 2;
    if (ltr) {
        r.Left += offset;
    } else {
        r.Right -= offset;
        alignment = alignment == taLeftJustify ? taRightJustify
            : alignment == taRightJustify      ? taLeftJustify
                                               : alignment;
    }
    const int width = DoGetNodeWidth(Node, Column);
    if (ApplyCellContentMargin) {
        QPainter &canvas = MeasureCanvas();
        canvas.save();
        const TRect cell = r;
        DoBeforeCellPaint(canvas, Node, Column, cpmGetContentMargin, cell, r);
        canvas.restore();
    }
    if (!Unclipped) {
        if (width < r.Width())
            PlaceContent(r, width, alignment, width);
        return r;
    }
    if (r.Width() < width - 1)
        alignment = ltr ? taLeftJustify : taRightJustify;
    const int textHeight = std::min(QFontMetrics(font()).height(), height);
    if (textHeight > r.Height()) {
        const int grow = (textHeight - r.Height() + 1) / 2;
        r.Top -= grow;
        r.Bottom += grow;
    }
    PlaceContent(r, width, alignment, width - 1);
    return r;
}

bool TGridTreeView::ScrollIntoView(TGridNode *Node, bool Center, bool Horizontally)
{
    if (!Node || !FTree || Node == FTree->RootNode())
        return false;
    ExpandAncestors(Node);

    const TGridTreeColumns &columns = FHeader->Columns();
    const TColumnIndex column
        = columns.Count() > 0 && columns.IsValidColumn(FocusedColumn()) ? FocusedColumn() : NoColumn;
    const TRect r = GetDisplayRect(Node, column, !FOptions->MiscOptions().contains(toGridExtensions));
    if (r == TRect())
        return false;
    const int height = ClientHeight();
    bool result = false;
    if (r.Top < 0) {
        SetOffsetY(FOffsetY - r.Top + (Center ? height / 2 : 0));
        result = true;
    } else if (r.Bottom > height || Center) {
        int y = FOffsetY + (Center ? height / 2 : height) - r.Bottom;
        const TScrollStyle bars = FScrollBarOptions->ScrollBars();
        if (columns.Count() == 0 && bars != ssHorizontal && bars != ssBoth && FRangeX > ClientWidth())
            y -= style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        SetOffsetY(y);
        result = true;
    }
    if (Horizontally)
        result = ScrollIntoView(FocusedColumn(), Center) || result;
    return result;
}

bool TGridTreeView::ScrollIntoView(TColumnIndex Column, bool Center)
{
    const TGridTreeColumns &columns = FHeader->Columns();
    if (columns.Count() == 0 || !columns.IsValidColumn(Column))
        return false;
    const TGridTreeColumn &column = columns[Column];
    if (column.Options().contains(coFixed))
        return false;
    const int fixed = columns.GetVisibleFixedWidth();
    const int width = ClientWidth();
    int left = 0;
    int right = 0;
    column.GetAbsoluteBounds(left, right);
    int effective = EffectiveOffsetX();
    if (Center) {
        effective = (left + right) / 2 - (fixed + (width - fixed) / 2);
    } else if (right - effective > width) {
        effective = right - width;
    } else if (left - effective < fixed) {
        effective = left - fixed;
    } else {
        return false;
    }
    return DoSetOffsetXY(QPoint(-effective, FOffsetY));
}

// ---- the wheel -----------------------------------------------------------------------------------

void TGridTreeView::wheelEvent(QWheelEvent *Event)
{
    StopWheelPanning();
    Event->accept();
    const QPoint delta = Event->angleDelta();
    const double factor = (delta.y() != 0 ? delta.y() : delta.x()) / 120.0;
    const Qt::KeyboardModifiers keys = Event->modifiers();
    const bool ctrl = keys.testFlag(Qt::ControlModifier);
    // All bits set: the system scrolls by pages.
    const int lines = QApplication::wheelScrollLines();
    const bool pages = lines == -1;
    if (ClientHeight() < RangeY() && !keys.testFlag(Qt::ShiftModifier)) {
        const double amount = ctrl || pages ? ClientHeight() * factor : lines * factor * DefaultNodeHeight();
        SetOffsetY(FOffsetY + int(std::nearbyint(amount)));
    } else {
        const double amount = ctrl ? (ClientWidth() - FHeader->Columns().GetVisibleFixedWidth()) * factor
                                   : lines * FHeader->Columns().GetScrollWidth() * factor;
        SetOffsetX(FOffsetX + int(std::nearbyint(amount)));
    }
}

// ---- auto scroll -------------------------------------------------------------------------------------

bool TGridTreeView::CanAutoScroll() const
{
    const bool panning = Panning();
    const THeaderStates tracking { hsColumnWidthTracking, hsColumnWidthTrackPending, hsDragging,
        hsDragPending, hsHeightTracking, hsHeightTrackPending };
    // A drag over the tree scrolls it too.
    const bool dragOver
        = (FDragManager && FDragManager->IsDropTarget()) || FViewStates.contains(tsVCLDragging);
    return (FOptions->AutoOptions().contains(toAutoScroll) || panning)
        && (FHeader->States() * tracking).empty() && (IsMouseSelecting() || dragOver || panning);
}

TScrollDirections TGridTreeView::DetermineScrollDirections(int X, int Y)
{
    TScrollDirections result;
    if (!CanAutoScroll())
        return result;
    if (Panning()) {
        if (std::abs(X - FLastClickPos.x()) > PanningDeadZone)
            result.include(X < FLastClickPos.x() ? sdLeft : sdRight);
        if (std::abs(Y - FLastClickPos.y()) > PanningDeadZone)
            result.include(Y < FLastClickPos.y() ? sdUp : sdDown);
        return result;
    }
    const int band = int(DefaultNodeHeight());
    const int width = ClientWidth();
    const int height = ClientHeight();
    if (X < band && EffectiveOffsetX() != 0)
        result.include(sdLeft);
    if (width + EffectiveOffsetX() < FRangeX && X > width - band)
        result.include(sdRight);
    if (Y < band && FOffsetY != 0)
        result.include(sdUp);
    if (height - FOffsetY < RangeY() && Y > height - band)
        result.include(sdDown);
    // The edge must be held for a while before scrolling starts.
    if (result.empty()) {
        FDragScrollStart.invalidate();
    } else {
        if (!FDragScrollStart.isValid())
            FDragScrollStart.start();
        if (FDragScrollStart.elapsed() < FAutoScrollDelay)
            result = {};
    }
    return result;
}

void TGridTreeView::DoAutoScroll(int X, int Y)
{
    FScrollDirections = DetermineScrollDirections(X, Y);
    if (Panning())
        return;
    const bool running = FViewStates.contains(tsScrollPending) || FViewStates.contains(tsScrolling);
    if (!FScrollDirections.empty() && !running) {
        DoViewStateChange({ tsScrollPending });
        StartScrollTimer(FAutoScrollDelay);
    } else if (FScrollDirections.empty() && running) {
        StopScrollTimer();
        DoViewStateChange({}, { tsScrollPending, tsScrolling });
    }
}

void TGridTreeView::DoTimerScroll()
{
    const QPoint p = FLastMousePos;
    const QRect client = viewport()->rect();
    const bool inRect = client.contains(p);
    const bool panning = Panning();
    const bool band = FViewStates.contains(tsDrawSelecting);
    TScrollDirections directions = FScrollDirections;
    if (band || inRect || panning) {
        int dx = 0;
        int dy = 0;
        const int lineY = std::min(FScrollBarOptions->VerticalIncrement(), ClientHeight());
        const int lineX = FScrollBarOptions->HorizontalIncrement();
        if (directions.contains(sdUp)) {
            if (FOffsetY == 0)
                directions.exclude(sdUp);
            else
                dy = panning ? FLastClickPos.y() - p.y() - PanningDeadZone
                    : inRect ? lineY
                             : lineY * (0 - p.y());
        }
        if (directions.contains(sdDown)) {
            if (ClientHeight() - FOffsetY >= RangeY())
                directions.exclude(sdDown);
            else
                dy = panning ? FLastClickPos.y() - p.y() + PanningDeadZone
                    : inRect ? -lineY
                             : -lineY * (p.y() - ClientHeight());
        }
        if (directions.contains(sdLeft)) {
            if (EffectiveOffsetX() == 0)
                directions.exclude(sdLeft);
            else
                dx = panning ? FLastClickPos.x() - p.x() - PanningDeadZone
                    : inRect ? lineX
                             : lineX * (0 - p.x());
        }
        if (directions.contains(sdRight)) {
            if (ClientWidth() + EffectiveOffsetX() >= FRangeX)
                directions.exclude(sdRight);
            else
                dx = panning ? FLastClickPos.x() - p.x() + PanningDeadZone
                    : inRect ? -lineX
                             : -lineX * (p.x() - ClientWidth());
        }
        if (dx != 0 || dy != 0) {
            if (band) {
                // The band moves with the content, its corner stays under the
                // mouse and takes in the rows scrolled past: redrawn whole.
                const TRect clip = FromQRect(client.translated(dx, dy).intersected(client));
                DoSetOffsetXY(QPoint(FOffsetX + dx, FOffsetY + dy), DefaultScrollUpdateOptions, &clip);
                if (CalculateSelectionRect(p.x(), p.y()))
                    HandleDrawSelection(p.x(), p.y());
                viewport()->update();
            } else {
                DoSetOffsetXY(QPoint(FOffsetX + dx, FOffsetY + dy));
            }
            viewport()->repaint();
        }
    }
    FScrollDirections = directions;
    if (directions.empty() && !panning) {
        StopScrollTimer();
        DoViewStateChange({}, { tsScrollPending, tsScrolling });
    }
}

void TGridTreeView::StartScrollTimer(int Milliseconds)
{
    FScrollTimer.start(std::max(Milliseconds, 1), this);
}

void TGridTreeView::StopScrollTimer()
{
    FScrollTimer.stop();
}

// ---- wheel panning ---------------------------------------------------------------------------------

void TGridTreeView::StartWheelPanning(QPoint Position)
{
    StopScrollTimer();
    DoViewStateChange({ tsWheelPanning, tsWheelScrolling }, { tsScrollPending, tsScrolling });
    const bool horizontal = FRangeX > ClientWidth();
    const bool vertical = RangeY() > ClientHeight();
    const QString image = !horizontal ? QStringLiteral("GT_MOVENS")
        : !vertical                   ? QStringLiteral("GT_MOVEEW")
                                      : QStringLiteral("GT_MOVEALL");
    FPanningWindow = new TPanningWindow(*this, PanningImage(image), viewport()->mapToGlobal(Position));
    FPanningWindow->show();
    // A window manager may have given the image the focus: the tree keeps it.
    activateWindow();
    FPanningTracking = viewport()->hasMouseTracking();
    viewport()->setMouseTracking(true);
    viewport()->grabMouse();
    FPanningCursor.clear();
    AdjustPanningCursor(Position.x(), Position.y());
    FScrollDirections = {};
    FScrollTimer.start(20, this);
}

void TGridTreeView::StopWheelPanning()
{
    if (!Panning())
        return;
    StopScrollTimer();
    viewport()->releaseMouse();
    viewport()->setMouseTracking(FPanningTracking);
    DoViewStateChange({}, { tsWheelPanning, tsWheelScrolling });
    // It may be in the middle of an activation: it goes on the next turn.
    if (FPanningWindow) {
        FPanningWindow->hide();
        FPanningWindow->deleteLater();
        FPanningWindow = nullptr;
    }
    FPanningCursor.clear();
    viewport()->unsetCursor();
}

void TGridTreeView::AdjustPanningCursor(int X, int Y)
{
    const bool horizontal = FRangeX > ClientWidth();
    const bool vertical = RangeY() > ClientHeight();
    const int dx = X - FLastClickPos.x();
    const int dy = Y - FLastClickPos.y();
    const char *name = nullptr;
    if (std::abs(dx) <= PanningDeadZone && std::abs(dy) <= PanningDeadZone) {
        name = vertical && !horizontal ? "GT_MOVENS" : horizontal && !vertical ? "GT_MOVEEW" : "GT_MOVEALL";
    } else if (horizontal && vertical) {
        if (std::abs(dx) <= PanningDeadZone)
            name = dy < 0 ? "GT_MOVEN" : "GT_MOVES";
        else if (dx > 0)
            name = dy < -PanningDeadZone ? "GT_MOVENE" : dy > PanningDeadZone ? "GT_MOVESE" : "GT_MOVEE";
        else
            name = dy < -PanningDeadZone ? "GT_MOVENW" : dy > PanningDeadZone ? "GT_MOVESW" : "GT_MOVEW";
    } else if (vertical) {
        name = dy < 0 ? "GT_MOVEN" : "GT_MOVES";
    } else {
        name = dx < 0 ? "GT_MOVEW" : "GT_MOVEE";
    }
    const QString cursor = QString::fromLatin1(name);
    if (cursor == FPanningCursor)
        return;
    FPanningCursor = cursor;
    viewport()->setCursor(PanningCursor(cursor));
}

bool TGridTreeView::HandlePanningButton(QEvent *Event)
{
    const bool panning = Panning();
    const auto *mouse = static_cast<QMouseEvent *>(Event);
    const QPoint p = mouse->position().toPoint();
    switch (Event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (panning) {
            // Any button ends panning.
            StopWheelPanning();
            return true;
        }
        if (mouse->button() == Qt::MiddleButton && FOptions->MiscOptions().contains(toWheelPanning)
            && (FRangeX > ClientWidth() || RangeY() > ClientHeight())) {
            FLastClickPos = p;
            StartWheelPanning(p);
            return true;
        }
        return false;
    case QEvent::MouseButtonRelease:
        if (!panning || mouse->button() != Qt::MiddleButton)
            return panning;
        // A click without moving pans on until the next click; a drag ends here.
        if (FViewStates.contains(tsWheelScrolling))
            DoViewStateChange({}, { tsWheelPanning });
        else
            StopWheelPanning();
        return true;
    case QEvent::MouseMove:
        if (!panning)
            return false;
        PanningMouseMove(p);
        return true;
    default:
        return false;
    }
}

void TGridTreeView::PanningMouseMove(QPoint P)
{
    if (FViewStates.contains(tsWheelPanning) && FViewStates.contains(tsWheelScrolling)
        && (P - FLastClickPos).manhattanLength() >= QApplication::startDragDistance())
        DoViewStateChange({}, { tsWheelScrolling });
    AdjustPanningCursor(P.x(), P.y());
    DoAutoScroll(P.x(), P.y());
}

// ---- animation -------------------------------------------------------------------------------------

void TGridTreeView::Animate(uint32_t Steps, uint32_t Duration, const TGTAnimationCallback &Callback)
{
    if (FViewStates.contains(tsInAnimation) || Duration == 0)
        return;
    const TViewStateScope animating(*this, tsInAnimation);
    FAnimationCancelled = false;
    using Clock = std::chrono::steady_clock;
    const auto stopped = [this] { return QCoreApplication::closingDown() || FAnimationCancelled; };

    const double ratio = double(Steps) / Duration;
    int64_t stepSize = ratio >= 1 ? int64_t(std::nearbyint(ratio)) : 1;
    int64_t remainingSteps = int64_t(Steps) / stepSize;
    int64_t remainingTime = Duration;
    int64_t step = 0;
    while (remainingSteps > 0 && remainingTime > 0 && !stopped()) {
        const Clock::time_point start = Clock::now();
        const Clock::time_point next = start + std::chrono::milliseconds(remainingTime / remainingSteps);
        if (!Callback(int(step), int(stepSize)))
            break;
        // Sleep, rather than spin, until this step's time has come.
        std::this_thread::sleep_until(next);
        const int64_t elapsed
            = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        if (elapsed > remainingTime)
            break;
        remainingTime -= elapsed;
        --remainingSteps;
        step += stepSize;
        // Too little time left for the steps: larger ones.
        while (remainingSteps > 0 && remainingTime / remainingSteps == 0) {
            ++stepSize;
            remainingSteps = (int64_t(Steps) - step) / stepSize;
        }
    }
    if (!QCoreApplication::closingDown())
        Callback(0, 0);
}

THintAnimationType TGridTreeView::DoGetAnimationType() const
{
    THintAnimationType result = FHintAnimation;
    if (result == hatSystemDefault) {
        if (!QApplication::isEffectEnabled(Qt::UI_AnimateTooltip))
            result = hatNone;
        else
            result = QApplication::isEffectEnabled(Qt::UI_FadeTooltip) ? hatFade : hatSlide;
    }
    if (result == hatFade && !HasMMX)
        result = hatSlide;
    return result;
}

void TGridTreeView::BeginToggle(TGridNode *Node)
{
    int top = 0;
    FToggleNode = Node;
    FToggleRowKnown = NodeRowTop(Node, top);
    FToggleRowTop = top - FOffsetY;
}

bool TGridTreeView::ToggleRowKnown(TGridNode *Node) const
{
    // A toggle started by a handler of this one has noted its own row.
    return FToggleRowKnown && Node == FToggleNode;
}

void TGridTreeView::AnimateToggle(TGridNode *Node, bool Expand, uint32_t Height)
{
    if (!ToggleRowKnown(Node) || !HasWindow() || !isVisible() || FAnimationDuration <= 0 || Height == 0
        || !FOptions->AnimationOptions().contains(toAnimatedToggle)
        || FOptions->PaintOptions().contains(toChildrenAbove))
        return;
    const int top = FToggleRowTop + FOffsetY;
    const int bandTop = top + int(FTree->NodeHeight(Node));
    if (top < 0 || bandTop >= ClientHeight())
        return;
    // Only what the client area shows moves.
    const int steps = std::min(int(std::min<uint32_t>(Height, INT32_MAX)), ClientHeight() - bandTop);
    Animate(uint32_t(steps), uint32_t(FAnimationDuration), [&](int Step, int StepSize) {
        if (StepSize > 0)
            ToggleStep(Node, Expand, bandTop, int(std::min<uint32_t>(Height, INT32_MAX)), Step, StepSize);
        return true;
    });
}

void TGridTreeView::ToggleStep(TGridNode *, bool Expand, int Band, int Height, int Step, int StepSize)
{
    QWidget &client = *viewport();
    const int width = client.width();
    const int bottom = client.height();
    const int done = Step + StepSize;
    const QRect band(0, Band, width, bottom - Band);
    // The rows below the node slide; the stripe they uncover shows the tree's
    // colours, or with the advanced animation the rows that slide in.
    if (Expand) {
        client.scroll(0, StepSize, band);
        FToggleStripe = Rect(0, Band, width, Band + StepSize);
        FToggleShift = Height - done;
    } else {
        client.scroll(0, -StepSize, band);
        FToggleStripe = Rect(0, bottom - StepSize, width, bottom);
        FToggleShift = done;
    }
    FToggleFill = !FOptions->AnimationOptions().contains(toAdvancedAnimatedToggle);
    struct Clear {
        TRect &stripe;
        ~Clear() { stripe = {}; }
    } clear { FToggleStripe };
    client.repaint(ToQRect(FToggleStripe));
}

bool TGridTreeView::ScrollExpandedIntoView(TGridNode *Node)
{
    if (!FOptions->AutoOptions().contains(toAutoScrollOnExpand) || !ToggleRowKnown(Node))
        return false;
    const int top = FToggleRowTop + FOffsetY;
    const int children = int(Node->TotalHeight()) - int(FTree->NodeHeight(Node));
    bool scrolled = false;
    if (FOptions->PaintOptions().contains(toChildrenAbove)) {
        // The children open above: the node stays where it was.
        scrolled = DoSetOffsetXY(QPoint(FOffsetX, FOffsetY - children));
    } else {
        const int excess = top + int(Node->TotalHeight()) - ClientHeight();
        const int delta = std::min(excess, top);
        if (delta > 0)
            scrolled = DoSetOffsetXY(QPoint(FOffsetX, FOffsetY - delta));
    }
    if (scrolled)
        InvalidateTree();
    return scrolled;
}
