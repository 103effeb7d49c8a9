// The tree view's painting: every visible row through a row buffer, cell by
// cell in position order, with the paint events in their order; the
// backgrounds, the selection marks and the dotted grid lines.
#include "components/gui/AlphaBlend.h"
#include "components/gui/FramedRect.h"
#include "components/gui/GTColors.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeOptions.h"
#include "components/gui/GridTreeView.h"
#include "components/gui/ImageList.h"
#include "components/gui/PainterStateMark.h"
#include "components/gui/TreeUtils.h"
#include "platform/gui/Edges.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QtDebug>
#include <algorithm>
#include <cmath>

namespace {

// The row buffer: 32 bits, Width x Height in the 96 pixels per inch geometry is
// kept in, with as many device pixels to each as the target has (a scaled
// screen gets sharp rows, not rows painted small and stretched).
QImage MakeBuffer(int Width, int Height, qreal Ratio)
{
    QImage image(std::max(int(std::ceil(Width * Ratio)), 1), std::max(int(std::ceil(Height * Ratio)), 1),
        QImage::Format_ARGB32);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.setDevicePixelRatio(Ratio);
    return image;
}

// A rectangle in the buffer's geometry as its device pixels.
TRect DevicePixels(const QImage &Image, const TRect &R)
{
    const qreal ratio = Image.devicePixelRatio();
    if (ratio == 1)
        return R;
    return Rect(int(std::floor(R.Left * ratio)), int(std::floor(R.Top * ratio)),
        int(std::ceil(R.Right * ratio)), int(std::ceil(R.Bottom * ratio)));
}

// The buffer is an opaque surface: its alpha bytes mean nothing, as on the
// screen. A blend towards a colour leaves them changed; they are set back so
// that what is drawn over the blend composes as over any pixel.
void MakeOpaque(QImage &Image, const TRect &R)
{
    const TRect area = IntersectRect(DevicePixels(Image, R), Rect(0, 0, Image.width(), Image.height()));
    for (int y = area.Top; y < area.Bottom; ++y) {
        auto *row = reinterpret_cast<uint32_t *>(Image.scanLine(y));
        for (int x = area.Left; x < area.Right; ++x)
            row[x] |= 0xFF000000u;
    }
}

// Copies the buffer to the target as it stands, alpha bytes ignored.
void BlitBuffer(QPainter &Target, QPoint At, const QImage &Buffer)
{
    QImage opaque(
        Buffer.constBits(), Buffer.width(), Buffer.height(), Buffer.bytesPerLine(), QImage::Format_RGB32);
    opaque.setDevicePixelRatio(Buffer.devicePixelRatio());
    Target.drawImage(At, opaque);
}

QImage *ImageOf(QPainter &Canvas)
{
    QPaintDevice *device = Canvas.device();
    return device && device->devType() == QInternal::Image ? static_cast<QImage *>(device) : nullptr;
}

TAlignment Mirrored(TAlignment Alignment)
{
    return Alignment == taLeftJustify ? taRightJustify
        : Alignment == taRightJustify ? taLeftJustify
                                      : Alignment;
}

} // namespace

// The state of one PaintTree call.
struct TGridTreeView::TPaintRun {
    explicit TPaintRun(QPainter &TargetCanvas)
        : Target(TargetCanvas)
    { }
    ~TPaintRun()
    {
        if (Canvas.isActive())
            Canvas.end();
    }
    TPaintRun(const TPaintRun &) = delete;
    TPaintRun &operator=(const TPaintRun &) = delete;

    // A buffer of the window's width and Height rows, its painter's x the
    // tree's x.
    void SizeBuffer(int Height)
    {
        if (Canvas.isActive() && BufferHeight() == Height)
            return;
        if (Canvas.isActive())
            Canvas.end();
        const QPaintDevice *device = Target.device();
        Buffer = MakeBuffer(Window.Width(), Height, device ? device->devicePixelRatio() : 1.0);
        Canvas.begin(&Buffer);
        Canvas.translate(-Window.Left, 0);
        Info.Canvas = &Canvas;
    }

    // The buffer's size in the tree's geometry.
    int BufferWidth() const { return int(std::lround(Buffer.deviceIndependentSize().width())); }
    int BufferHeight() const { return int(std::lround(Buffer.deviceIndependentSize().height())); }

    QPainter &Target;
    TRect Window;
    QPoint TargetOrigin;
    TGTInternalPaintOptions Options;
    QImage Buffer;
    QPainter Canvas;
    TGTPaintInfo Info;
    TRect SelectionRect;
    bool Band = false;
    bool UseBackground = false;
    bool UseColumns = false;
    int MaximumRight = 0;
    TColumnIndex FirstColumn = InvalidColumn;
    // The row's top in tree and in target coordinates.
    int RowTop = 0;
    int TargetTop = 0;
};

// ---- the window's painting ----------------------------------------------------------------

void TGridTreeView::Paint(QPainter &Canvas, const TRect &UpdateRect)
{
    if (UpdateRect.IsEmpty())
        return;
    const int fixed = FHeader->Columns().GetVisibleFixedWidth();
    if (fixed <= 0) {
        PaintTree(Canvas, OffsetRect(UpdateRect, EffectiveOffsetX(), -FOffsetY), UpdateRect.TopLeft(),
            WindowPaintOptions);
        return;
    }
    // The fixed columns do not scroll horizontally: both parts of the whole client area.
    const TRect client = Rect(0, 0, ClientWidth(), ClientHeight());
    const TRect left = Rect(0, 0, std::min(fixed, client.Right), client.Bottom);
    PaintTree(Canvas, OffsetRect(left, 0, -FOffsetY), left.TopLeft(), WindowPaintOptions);
    if (fixed <= client.Right) {
        const TRect right = Rect(fixed, 0, client.Right, client.Bottom);
        PaintTree(
            Canvas, OffsetRect(right, EffectiveOffsetX(), -FOffsetY), right.TopLeft(), WindowPaintOptions);
    }
}

void TGridTreeView::paintEvent(QPaintEvent *Event)
{
    // Held still, the nodes may be half changed (a walk paused between two
    // paints); the window system's expose still comes, and gets the background.
    if (!updatesEnabled())
        return;
    QPainter painter(viewport());
    const TRect update = FromQRect(Event->rect());
    try {
        if (!FToggleStripe.IsEmpty()) {
            // A step of an animated toggle: only the stripe it uncovered.
            if (FToggleFill)
                FillToggleStripe(painter, FToggleStripe);
            else
                PaintTree(painter, OffsetRect(FToggleStripe, EffectiveOffsetX(), FToggleShift - FOffsetY),
                    FToggleStripe.TopLeft(), WindowPaintOptions);
            return;
        }
        Paint(painter, update);
    } catch (const std::exception &Error) {
        // An owner's handler failed: the rest of the window is left as it was.
        qWarning("Tree painting stopped: %s", Error.what());
    }
    // Rows and columns may have moved since the editor was placed.
    UpdateEditBounds();
}

bool TGridTreeView::IsMouseSelecting() const
{
    return FViewStates.contains(tsDrawSelPending) || FViewStates.contains(tsDrawSelecting);
}

bool TGridTreeView::ExplorerTheme() const
{
    return FViewStates.contains(tsUseThemes) && FOptions->PaintOptions().contains(toUseExplorerTheme);
}

// ---- PaintTree -----------------------------------------------------------------------------------

void TGridTreeView::PaintTree(
    QPainter &TargetCanvas, const TRect &Window, QPoint Target, TGTInternalPaintOptions PaintOptions)
{
    if (FViewStates.contains(tsPainting) || Window.IsEmpty())
        return;
    const TViewStateScope painting(*this, tsPainting);

    TPaintRun run(TargetCanvas);
    try {
        DoBeforePaint(TargetCanvas);
        const TGTPaintOptions paint = FOptions->PaintOptions();
        if (paint.contains(toAlwaysHideSelection) || (paint.contains(toHideSelection) && !Focused()))
            PaintOptions.exclude(poDrawSelection);
        if (paint.contains(toHideFocusRect))
            PaintOptions.exclude(poDrawFocusRect);
        run.Window = Window;
        run.TargetOrigin = Target;
        run.Options = PaintOptions;
        run.SelectionRect = OrderRect(FNewSelRect);
        run.Band = IsMouseSelecting() && !run.SelectionRect.IsEmpty();
        run.MaximumRight = std::max(ClientWidth(), FRangeX);
        run.UseBackground = paint.contains(toShowBackground) && !FBackground.isNull()
            && PaintOptions.contains(poBackground);
        run.UseColumns = FHeader->Columns().Count() > 0;

        int nodeTop = Window.Top;
        TGridNode *node = FTree ? GetNodeAt(0, Window.Top, false, nodeTop) : nullptr;
        if (!node)
            nodeTop = Window.Top;
        run.SelectionRect = OffsetRect(run.SelectionRect, 0, -nodeTop);
        int targetTop = Target.y() - (Window.Top - nodeTop);
        const int maximumBottom = Target.y() + Window.Height();
        const int buttonWidth = ButtonSize().width();
        int buttonX = int(std::nearbyint((FIndent - buttonWidth) / 2.0));
        TLineImage lineImage;
        while (node) {
            lineImage.clear();
            int selectLevel = DetermineLineImageAndSelectLevel(node, lineImage);
            const int indentSize = int(lineImage.size());
            if (!paint.contains(toFixedIndent))
                buttonX = int(std::nearbyint((FIndent - buttonWidth) / 2.0)) + (indentSize - 1) * FIndent;
            if (node->Has(vsSelected) && !paint.contains(toChildrenAbove))
                ++selectLevel;
            MeasureItemHeight(node);
            const int nodeHeight = int(FTree->NodeHeight(node));
            if (selectLevel > 0 || !PaintOptions.contains(poSelectedOnly)) {
                run.RowTop = nodeTop;
                run.TargetTop = targetTop;
                PaintRow(run, node, nodeHeight, indentSize, lineImage, buttonX);
                BlitBuffer(TargetCanvas, QPoint(Target.x(), targetTop), run.Buffer);
            }
            targetTop += nodeHeight;
            nodeTop += nodeHeight;
            if (targetTop >= maximumBottom)
                break;
            run.SelectionRect = OffsetRect(run.SelectionRect, 0, -nodeHeight);
            node = FTree->GetNextVisible(node, true);
        }
        if (targetTop < maximumBottom) {
            run.RowTop = nodeTop;
            run.TargetTop = targetTop;
            PaintBelowRows(run, Rect(Target.x(), targetTop, Target.x() + Window.Width(), maximumBottom));
        }
    } catch (...) {
        run.Canvas.end();
        DoAfterPaint(TargetCanvas);
        throw;
    }
    run.Canvas.end();
    DoAfterPaint(TargetCanvas);
}

void TGridTreeView::PaintRow(
    TPaintRun &Run, TGridNode *Node, int NodeHeight, int IndentSize, const TLineImage &LineImage, int ButtonX)
{
    Run.SizeBuffer(NodeHeight);
    QPainter &canvas = Run.Canvas;
    // Patterns line up with the tree, across rows and scrolling.
    canvas.setBrushOrigin(0, -Run.RowTop);
    TGTPaintInfo &info = Run.Info;
    info.BrushOrigin = QPoint(0, -Run.RowTop);
    info.Node = Node;
    int vAlign = 0;
    int buttonY = 0;
    CalculateVerticalAlignments(Node, vAlign, buttonY);

    const TRect itemRect = Rect(0, 0, Run.MaximumRight, NodeHeight);
    bool customDraw = false;
    DoBeforeItemPaint(canvas, Node, itemRect, customDraw);
    if (!customDraw) {
        info.PaintOptions = Run.Options;
        ClearNodeBackground(info, Run.UseBackground, true,
            Rect(Run.Window.Left, Run.TargetTop, Run.Window.Right, Run.TargetTop + NodeHeight));
        const TGridTreeColumns &columns = FHeader->Columns();
        if (Run.UseColumns) {
            InitializeFirstColumnValues(info);
            while (info.Column >= 0 && info.CellRect.Right <= Run.Window.Left) {
                info.Column = columns.GetNextVisibleColumn(info.Column);
                if (info.Column >= 0) {
                    columns[info.Column].GetAbsoluteBounds(info.CellRect.Left, info.CellRect.Right);
                    info.Position = columns[info.Column].Position();
                }
            }
            if (Run.FirstColumn == InvalidColumn)
                Run.FirstColumn = info.Column;
        } else {
            info.Column = NoColumn;
            info.Position = 0;
            info.CellRect = Rect(0, 0, Run.MaximumRight, NodeHeight);
        }
        info.CellRect.Top = 0;
        info.CellRect.Bottom = NodeHeight;
        info.ContentRect = info.CellRect;

        const TColumnIndex main = MainColumn();
        const TGTSelectionOptions selection = FOptions->SelectionOptions();
        while ((info.Column >= 0 || !Run.UseColumns) && info.CellRect.Left < Run.Window.Right) {
            const TGridTreeColumn *column = Run.UseColumns ? &columns[info.Column] : nullptr;
            if (column) {
                info.Position = column->Position();
                info.BidiMode = column->BiDiMode();
                info.Alignment = column->Alignment();
                info.CaptionAlignment = column->CaptionAlignment();
            } else {
                info.BidiMode = TreeBiDiMode();
                info.Alignment = FAlignment;
                info.CaptionAlignment = FAlignment;
            }
            info.PaintOptions = Run.Options;
            if (FViewStates.contains(tsEditing) && Node == FTree->FocusedNode() && info.Column == FEditColumn)
                info.PaintOptions.exclude(poDrawSelection);
            if (!column
                || (Node->Has(vsSelected) && selection.contains(toFullRowSelect)
                    && info.PaintOptions.contains(poDrawSelection))
                || column->Options().contains(coParentColor))
                info.PaintOptions.exclude(poColumnColor);
            if (info.BidiMode != bdLeftToRight)
                info.Alignment = Mirrored(info.Alignment);

            TColumnIndex next = InvalidColumn;
            const bool shown = !column || column->Options().contains(coVisible);
            if (shown && (!Run.Options.contains(poMainOnly) || info.Column == main)) {
                AdjustPaintCellRect(info, next);
                if (info.CellRect.Right > Run.Window.Left)
                    PaintCell(Run, IndentSize, LineImage, ButtonX, vAlign, buttonY);
                if (!column)
                    break;
            } else {
                next = columns.GetNextVisibleColumn(info.Column);
            }
            // The next cell replaces the clip; the last one's goes after the loop.
            if (next < 0)
                break;
            info.Column = next;
            columns[next].GetAbsoluteBounds(info.CellRect.Left, info.CellRect.Right);
            info.CellRect.Top = 0;
            info.CellRect.Bottom = NodeHeight;
            info.ContentRect = info.CellRect;
        }
        canvas.setClipping(false);
    }
    DoAfterItemPaint(canvas, Node, itemRect);
    if (Node == FTree->DropTargetNode() && FOptions->PaintOptions().contains(toShowDropmark)
        && Run.Options.contains(poDrawDropMark))
        DoPaintDropMark(canvas, Node, itemRect);
    if (Run.Band)
        PaintSelectionRectangle(Run.Canvas, Run.Window.Left, Run.SelectionRect,
            Rect(0, 0, Run.BufferWidth(), Run.BufferHeight()));
}

void TGridTreeView::PaintCell(
    TPaintRun &Run, int IndentSize, const TLineImage &LineImage, int ButtonX, int VAlign, int ButtonY)
{
    TGTPaintInfo &info = Run.Info;
    QPainter &canvas = Run.Canvas;
    TGridNode *node = info.Node;
    const TGTPaintOptions paint = FOptions->PaintOptions();
    const bool main = !Run.UseColumns || info.Column == MainColumn();
    const bool ltr = info.BidiMode == bdLeftToRight;

    info.NodeWidth = DoGetNodeWidth(node, info.Column, &canvas);
    info.ContentRect = info.CellRect;
    if (ltr)
        info.ContentRect.Left += FMargin;
    else
        info.ContentRect.Right -= FMargin;
    for (TGTImageInfo &image : info.ImageInfo)
        image = TGTImageInfo();
    const TImageList *checks = CheckImages();
    if (main && checks && FOptions->MiscOptions().contains(toCheckSupport)) {
        TGTImageInfo &check = info.ImageInfo[iiCheck];
        check.Index = GetCheckImage(node);
        if (check.Index >= 0) {
            check.Images = checks;
            AdjustImageBorder(*checks, info.BidiMode, VAlign, info.ContentRect, check);
            check.Ghosted = false;
        }
    }
    if (FStateImages) {
        GetImageIndex(info, ikState, iiState, FStateImages);
        if (info.ImageInfo[iiState].Index >= 0 && info.ImageInfo[iiState].Images)
            AdjustImageBorder(*info.ImageInfo[iiState].Images, info.BidiMode, VAlign, info.ContentRect,
                info.ImageInfo[iiState]);
    }
    if (FImages) {
        GetImageIndex(info, ikNormal, iiNormal, FImages);
        if (info.ImageInfo[iiNormal].Index >= 0 && info.ImageInfo[iiNormal].Images)
            AdjustImageBorder(*info.ImageInfo[iiNormal].Images, info.BidiMode, VAlign, info.ContentRect,
                info.ImageInfo[iiNormal]);
    }
    if (main)
        AdjustCoordinatesByIndent(info, paint.contains(toFixedIndent) ? 1 : IndentSize);
    if (Run.UseColumns)
        canvas.setClipRect(ToQRect(info.CellRect));

    // Grid lines take the cell's last pixel on their side, so marks never cover them.
    if (info.PaintOptions.contains(poGridLines) && paint.contains(toShowHorzGridLines)) {
        canvas.setPen(FColors->QtColor(TGTColors::GridLineColor));
        const TRect &cell = info.CellRect;
        if (main && FLineMode == lmBands) {
            const int indent = IndentSize * FIndent;
            if (ltr)
                DrawDottedHLine(info, cell.Left + indent, cell.Right - 1, cell.Bottom - 1);
            else
                DrawDottedHLine(info, cell.Left, cell.Right - 1 - indent - 1, cell.Bottom - 1);
        } else {
            DrawDottedHLine(info, cell.Left, cell.Right, cell.Bottom - 1);
        }
        --info.CellRect.Bottom;
        --info.ContentRect.Bottom;
    }
    if (Run.UseColumns && info.PaintOptions.contains(poGridLines) && paint.contains(toShowVertGridLines)
        && !(FHeader->Options().contains(hoAutoResize)
            && info.Column == FHeader->Columns().GetLastVisibleColumn())) {
        if (ltr || !ColumnIsEmpty(node, info.Column)) {
            canvas.setPen(FColors->QtColor(TGTColors::GridLineColor));
            DrawDottedVLine(info, info.CellRect.Top, info.CellRect.Bottom, info.CellRect.Right - 1);
        }
        --info.CellRect.Right;
        --info.ContentRect.Right;
    }

    PrepareCell(info, Run.Window.Left, Run.BufferWidth());

    if (main) {
        if (paint.contains(toShowTreeLines)
            && !(paint.contains(toHideTreeLinesIfThemed) && FViewStates.contains(tsUseThemes)))
            PaintTreeLines(info, VAlign, IndentSize, LineImage);
        if (paint.contains(toShowButtons) && node->Has(vsHasChildren)
            && !(node->Has(vsAllChildrenHidden) && FOptions->AutoOptions().contains(toAutoHideButtons)))
            PaintNodeButton(canvas, node, info.Column, info.CellRect, ButtonX, ButtonY, info.BidiMode);
        if (info.ImageInfo[iiCheck].Index >= 0)
            PaintCheckImage(canvas, info.ImageInfo[iiCheck], node->Has(vsSelected));
    }
    PaintImage(info, iiState, false);
    PaintImage(info, iiNormal, true);
    if (!(FViewStates.contains(tsEditing) && node == FTree->FocusedNode() && info.Column == FEditColumn))
        DoPaintNode(info);
    DoAfterCellPaint(canvas, node, info.Column, info.CellRect);
}

void TGridTreeView::PaintBelowRows(TPaintRun &Run, const TRect &Area)
{
    bool handled = false;
    handled = DoPaintBackground(Run.Target, Area);
    if (handled)
        return;
    Run.SizeBuffer(Area.Height());
    QPainter &canvas = Run.Canvas;
    canvas.setBrushOrigin(0, -Run.RowTop);
    const TRect r = Rect(Run.Window.Left, 0, Run.Window.Right, Area.Height());
    const QColor treeColor = PaletteColor(palette(), FColor);
    const TGTPaintOptions paint = FOptions->PaintOptions();
    if (Run.UseBackground) {
        const QPoint offset(Run.TargetOrigin.x() - Run.Window.Left, Area.Top);
        if (paint.contains(toStaticBackground))
            StaticBackground(FBackground, canvas, offset, r);
        else
            TileBackground(FBackground, canvas, offset, r);
    } else if (!Run.UseColumns) {
        canvas.fillRect(ToQRect(r), treeColor);
    } else {
        const TGridTreeColumns &columns = FHeader->Columns();
        TColumnIndex column = Run.FirstColumn;
        if (column == InvalidColumn) {
            column = columns.GetFirstVisibleColumn();
            int left = 0;
            int right = 0;
            while (column >= 0 && (columns[column].GetAbsoluteBounds(left, right), right <= r.Left))
                column = columns.GetNextVisibleColumn(column);
        }
        const bool fullGrid = Run.Options.contains(poGridLines) && paint.contains(toFullVertGridLines)
            && paint.contains(toShowVertGridLines);
        const TColumnIndex last = columns.GetLastVisibleColumn();
        int right = r.Left;
        bool lined = false;
        Run.Info.Canvas = &canvas;
        for (; column >= 0; column = columns.GetNextVisibleColumn(column)) {
            TRect strip = r;
            columns[column].GetAbsoluteBounds(strip.Left, strip.Right);
            if (strip.Left >= r.Right)
                break;
            lined = fullGrid && !(FHeader->Options().contains(hoAutoResize) && column == last);
            if (lined) {
                canvas.setPen(FColors->QtColor(TGTColors::GridLineColor));
                DrawDottedVLine(Run.Info, strip.Top, strip.Bottom - 1, strip.Right - 1);
                --strip.Right;
            }
            const TGridTreeColumn &c = columns[column];
            canvas.fillRect(ToQRect(strip),
                c.Options().contains(coParentColor) ? treeColor : PaletteColor(palette(), c.Color()));
            right = strip.Right;
        }
        if (right + (lined ? 1 : 0) < r.Right)
            canvas.fillRect(ToQRect(Rect(right + (lined ? 1 : 0), r.Top, r.Right, r.Bottom)), treeColor);
    }
    if (Run.Band)
        PaintSelectionRectangle(Run.Canvas, Run.Window.Left, Run.SelectionRect,
            Rect(0, 0, Run.BufferWidth(), Run.BufferHeight()));
    BlitBuffer(Run.Target, Area.TopLeft(), Run.Buffer);
}

// ---- cells -------------------------------------------------------------------------------------

void TGridTreeView::InitializeFirstColumnValues(TGTPaintInfo &PaintInfo) const
{
    const TGridTreeColumns &columns = FHeader->Columns();
    PaintInfo.Column = columns.GetFirstVisibleColumn();
    if (PaintInfo.Column < 0) {
        PaintInfo.Column = InvalidColumn;
        PaintInfo.Position = 0;
        return;
    }
    const TGridTreeColumn &column = columns[PaintInfo.Column];
    PaintInfo.Position = column.Position();
    PaintInfo.CellRect.Left = column.Left();
    PaintInfo.CellRect.Right = column.Left() + column.Width();
}

void TGridTreeView::AdjustPaintCellRect(TGTPaintInfo &PaintInfo, TColumnIndex &NextNonEmpty)
{
    NextNonEmpty
        = PaintInfo.Column >= 0 ? FHeader->Columns().GetNextVisibleColumn(PaintInfo.Column) : InvalidColumn;
}

void TGridTreeView::DoPaintNode(TGTPaintInfo &) { }

void TGridTreeView::AdjustImageBorder(
    const TImageList &Images, TBiDiMode BidiMode, int VAlign, TRect &R, TGTImageInfo &ImageInfo) const
{
    if (BidiMode == bdLeftToRight) {
        ImageInfo.XPos = R.Left;
        R.Left += Images.Width() + 2;
    } else {
        ImageInfo.XPos = R.Right - Images.Width();
        R.Right -= Images.Width() + 2;
    }
    ImageInfo.YPos = R.Top + VAlign - Images.Height() / 2;
}

void TGridTreeView::AdjustCoordinatesByIndent(TGTPaintInfo &PaintInfo, int Indent) const
{
    const int offset = Indent * FIndent;
    const int sign = PaintInfo.BidiMode == bdLeftToRight ? 1 : -1;
    if (sign > 0)
        PaintInfo.ContentRect.Left += offset;
    else
        PaintInfo.ContentRect.Right -= offset;
    for (const TGTImageInfoIndex index : { iiNormal, iiState, iiCheck })
        PaintInfo.ImageInfo[index].XPos += sign * offset;
}

void TGridTreeView::PrepareCell(TGTPaintInfo &PaintInfo, int WindowOrgX, int MaxWidth)
{
    QPainter &canvas = *PaintInfo.Canvas;
    TGridNode *node = PaintInfo.Node;
    const TGTPaintOptions paint = FOptions->PaintOptions();
    const TGTSelectionOptions selection = FOptions->SelectionOptions();
    const TGTMiscOptions misc = FOptions->MiscOptions();
    const bool theme = ExplorerTheme();
    TRect themedInner = PaintInfo.CellRect;
    if (theme && paint.contains(toShowVertGridLines))
        --themedInner.Right;

    if (PaintInfo.PaintOptions.contains(poColumnColor) && PaintInfo.Column >= 0)
        canvas.fillRect(ToQRect(PaintInfo.CellRect),
            PaletteColor(palette(), FHeader->Columns()[PaintInfo.Column].Color()));
    DoBeforeCellPaint(canvas, node, PaintInfo.Column, cpmPaint, PaintInfo.CellRect, PaintInfo.ContentRect);

    // The content's own part of the cell.
    TRect inner = PaintInfo.ContentRect;
    if (!misc.contains(toGridExtensions)) {
        const int width = PaintInfo.NodeWidth;
        switch (PaintInfo.Alignment) {
        case taLeftJustify:
            inner.Right = std::min(inner.Right, inner.Left + width);
            break;
        case taRightJustify:
            if (width < inner.Width())
                inner.Left = inner.Right - width;
            break;
        case taCenter:
            if (width < inner.Width()) {
                inner.Left = (inner.Left + inner.Right - width) / 2;
                inner.Right = inner.Left + width;
            }
            break;
        }
    }

    const bool wholeRow = selection.contains(toFullRowSelect);
    const TColumnIndex focusedColumn = FocusedColumn();
    const bool markedColumn = PaintInfo.Column == focusedColumn || wholeRow;
    const bool focusedLook = Focused() || paint.contains(toPopupMode);
    const bool selected = node->Has(vsSelected);
    const TRect marked = misc.contains(toGridExtensions) || wholeRow ? PaintInfo.CellRect : inner;
    const bool blend = HasMMX && paint.contains(toUseBlendedSelection);
    const bool hot = theme && paint.contains(toHotTrack) && node == FTree->HotNode()
        && (PaintInfo.Column == FCurrentHotColumn || wholeRow);
    if (markedColumn && PaintInfo.PaintOptions.contains(poDrawSelection)) {
        if (node == FTree->DropTargetNode()) {
            if ((FLastDropMode == dmOnNode || selected) && !marked.IsEmpty())
                FillSelection(PaintInfo, marked, FColors->QtColor(TGTColors::DropTargetColor),
                    FColors->QtColor(TGTColors::DropTargetBorderColor), WindowOrgX, MaxWidth, blend);
        } else if (selected && !marked.IsEmpty()) {
            const QColor brush = FColors->QtColor(
                focusedLook ? TGTColors::FocusedSelectionColor : TGTColors::UnfocusedSelectionColor);
            const QColor pen = FColors->QtColor(focusedLook ? TGTColors::FocusedSelectionBorderColor
                                                            : TGTColors::UnfocusedSelectionBorderColor);
            if (!theme)
                FillSelection(PaintInfo, marked, brush, pen, WindowOrgX, MaxWidth, blend);
            else if (!hot)
                DrawThemedBackground(canvas, marked, true, focusedLook, false);
        }
    }
    if (hot)
        DrawThemedBackground(canvas, marked, selected, focusedLook, true);

    if (markedColumn && PaintInfo.PaintOptions.contains(poDrawFocusRect) && focusedLook
        && node == FTree->FocusedNode()
        && (PaintInfo.Column == focusedColumn
            || (!selection.contains(toExtendedFocus) && wholeRow && theme))) {
        TRect frame = theme && wholeRow       ? themedInner
            : misc.contains(toGridExtensions) ? PaintInfo.CellRect
                                              : inner;
        if (theme)
            frame = InflateRect(frame, -1, -1);
        DrawFocusRect(canvas, frame);
    }
}

void TGridTreeView::FillSelection(TGTPaintInfo &PaintInfo, const TRect &R, QColor Brush, QColor Pen,
    int WindowOrgX, int MaxWidth, bool Blend)
{
    QPainter &canvas = *PaintInfo.Canvas;
    QImage *image = ImageOf(canvas);
    if (Blend && image) {
        TRect area = OffsetRect(R, -WindowOrgX, 0);
        area.Left = std::max(area.Left, 0);
        area.Right = std::min(area.Right, MaxWidth);
        if (area.IsEmpty())
            return;
        AlphaBlend(*image, *image, DevicePixels(*image, area), QPoint(), bmConstantAlphaAndColor,
            FSelectionBlendFactor, int(FromQColor(Brush)));
        MakeOpaque(*image, area);
        return;
    }
    if (FSelectionCurveRadius <= 0) {
        FillFramedRect(canvas, ToQRect(R), Brush, Pen);
        return;
    }
    canvas.save();
    canvas.setRenderHint(QPainter::Antialiasing, false);
    canvas.setPen(QPen(Pen, 0));
    canvas.setBrush(Brush);
    canvas.drawRoundedRect(QRectF(R.Left + 0.5, R.Top + 0.5, R.Width() - 1, R.Height() - 1),
        FSelectionCurveRadius / 2.0, FSelectionCurveRadius / 2.0);
    canvas.restore();
}

void TGridTreeView::DrawThemedBackground(
    QPainter &Canvas, const TRect &R, bool Selected, bool Focused, bool Hot)
{
    QStyleOptionViewItem option;
    option.initFrom(this);
    option.rect = ToQRect(R);
    option.showDecorationSelected = true;
    option.viewItemPosition = QStyleOptionViewItem::OnlyOne;
    option.state |= QStyle::State_Enabled;
    option.state.setFlag(QStyle::State_Selected, Selected);
    option.state.setFlag(QStyle::State_Active, Focused);
    option.state.setFlag(QStyle::State_MouseOver, Hot);
    style()->drawPrimitive(QStyle::PE_PanelItemViewItem, &option, &Canvas, this);
}

// ---- backgrounds ---------------------------------------------------------------------------------

void TGridTreeView::ClearNodeBackground(TGTPaintInfo &PaintInfo, bool UseBackground, bool Floating, TRect R)
{
    QPainter &canvas = *PaintInfo.Canvas;
    TGridNode *node = PaintInfo.Node;
    TItemEraseAction action = eaDefault;
    TColor back = FColor;
    QPoint offset;
    if (Floating) {
        // Row buffer coordinates; the background stays anchored to the target.
        offset = QPoint(-EffectiveOffsetX(), R.Top);
        R = OffsetRect(R, 0, -R.Top);
    }
    DoBeforeItemErase(canvas, node, R, back, action);
    const TGTPaintOptions paint = FOptions->PaintOptions();
    switch (action) {
    case eaColor:
        canvas.fillRect(ToQRect(R), PaletteColor(palette(), back));
        break;
    case eaNone:
        break;
    case eaDefault:
        if (UseBackground) {
            if (paint.contains(toStaticBackground))
                StaticBackground(FBackground, canvas, offset, R);
            else
                TileBackground(FBackground, canvas, offset, R);
        } else if (PaintInfo.PaintOptions.contains(poDrawSelection)
            && FOptions->SelectionOptions().contains(toFullRowSelect) && node && node->Has(vsSelected)
            && !paint.contains(toUseBlendedSelection)) {
            canvas.fillRect(ToQRect(R), PaletteColor(palette(), back));
            if (!ExplorerTheme()) {
                TRect marked = R;
                if (paint.contains(toShowHorzGridLines))
                    --marked.Bottom;
                const bool focusedLook = Focused() || paint.contains(toPopupMode);
                FillSelection(PaintInfo, marked,
                    FColors->QtColor(
                        focusedLook ? TGTColors::FocusedSelectionColor : TGTColors::UnfocusedSelectionColor),
                    FColors->QtColor(focusedLook ? TGTColors::FocusedSelectionBorderColor
                                                 : TGTColors::UnfocusedSelectionBorderColor),
                    0, 0, false);
            }
        } else {
            canvas.fillRect(ToQRect(R), PaletteColor(palette(), back));
        }
        break;
    }
    DoAfterItemErase(canvas, node, R);
}

void TGridTreeView::TileBackground(const QImage &Source, QPainter &Target, QPoint Offset, const TRect &R)
{
    const int width = Source.width();
    const int height = Source.height();
    if (width <= 0 || height <= 0 || R.IsEmpty())
        return;
    const auto wrap = [](int value, int size) { return ((value % size) + size) % size; };
    int sourceY = wrap(R.Top + Offset.y() + FBackgroundOffsetY, height);
    for (int y = R.Top; y < R.Bottom;) {
        const int rows = std::min(height - sourceY, R.Bottom - y);
        int sourceX = wrap(R.Left + Offset.x() + FBackgroundOffsetX, width);
        for (int x = R.Left; x < R.Right;) {
            const int columns = std::min(width - sourceX, R.Right - x);
            Target.drawImage(QPoint(x, y), Source, QRect(sourceX, sourceY, columns, rows));
            x += columns;
            sourceX = 0;
        }
        y += rows;
        sourceY = 0;
    }
}

void TGridTreeView::StaticBackground(const QImage &Source, QPainter &Target, QPoint Offset, const TRect &R)
{
    Target.fillRect(ToQRect(R), PaletteColor(palette(), FColor));
    const TRect picture = Bounds(FBackgroundOffsetX, FBackgroundOffsetY, Source.width(), Source.height());
    const TRect part = IntersectRect(picture, OffsetRect(R, Offset.x(), Offset.y()));
    if (part.IsEmpty())
        return;
    // Transparent pixels of the picture keep what lies below.
    Target.drawImage(QPoint(part.Left - Offset.x(), part.Top - Offset.y()), Source,
        ToQRect(OffsetRect(part, -picture.Left, -picture.Top)));
}

bool TGridTreeView::DoPaintBackground(QPainter &Canvas, const TRect &R)
{
    bool handled = false;
    if (OnPaintBackground)
        OnPaintBackground(*this, Canvas, R, handled);
    return handled;
}

void TGridTreeView::PaintSelectionRectangle(
    QPainter &Target, int WindowOrgX, const TRect &SelectionRect, const TRect &TargetRect)
{
    const TRect band = OrderRect(SelectionRect);
    QImage *image = ImageOf(Target);
    if ((FDrawSelectionMode == smBlendedRectangle || FViewStates.contains(tsUseThemes)) && HasMMX && image) {
        const TRect area = IntersectRect(OffsetRect(band, -WindowOrgX, 0), TargetRect);
        if (!area.IsEmpty()) {
            AlphaBlend(*image, *image, DevicePixels(*image, area), QPoint(), bmConstantAlphaAndColor,
                FSelectionBlendFactor,
                int(FromQColor(FColors->QtColor(TGTColors::SelectionRectangleBlendColor))));
            MakeOpaque(*image, area);
        }
        if (!band.IsEmpty()) {
            Target.save();
            Target.setRenderHint(QPainter::Antialiasing, false);
            Target.setPen(QPen(FColors->QtColor(TGTColors::SelectionRectangleBorderColor), 0));
            Target.setBrush(Qt::NoBrush);
            Target.drawRect(QRect(band.Left, band.Top, band.Width() - 1, band.Height() - 1));
            Target.restore();
        }
    } else {
        DrawFocusRect(Target, band);
    }
}

// ---- grid lines -----------------------------------------------------------------------------------

QBrush TGridTreeView::DottedBrush(QColor Line) const
{
    const QRgb line = Line.rgba();
    const QRgb back = PaletteColor(palette(), FColor).rgba();
    if (FDottedBrush.style() == Qt::TexturePattern && line == FDottedBrushLine && back == FDottedBrushBack)
        return FDottedBrush;
    QImage tile(8, 8, QImage::Format_ARGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            tile.setPixel(x, y, (FDottedPattern[std::size_t(y)] >> (7 - x)) & 1 ? back : line);
    FDottedBrush = QBrush(tile);
    FDottedBrushLine = line;
    FDottedBrushBack = back;
    return FDottedBrush;
}

void TGridTreeView::DrawDottedHLine(const TGTPaintInfo &PaintInfo, int Left, int Right, int Top)
{
    QPainter &canvas = *PaintInfo.Canvas;
    const int from = std::min(Left, Right);
    canvas.fillRect(QRect(from, Top, std::max(Left, Right) - from + 1, 1), DottedBrush(canvas.pen().color()));
}

void TGridTreeView::DrawDottedVLine(const TGTPaintInfo &PaintInfo, int Top, int Bottom, int Left)
{
    QPainter &canvas = *PaintInfo.Canvas;
    const int from = std::min(Top, Bottom);
    canvas.fillRect(
        QRect(Left, from, 1, std::max(Top, Bottom) - from + 1), DottedBrush(canvas.pen().color()));
}

// ---- content margins ------------------------------------------------------------------------------

QPoint TGridTreeView::DoGetCellContentMargin(
    TGridNode *Node, TColumnIndex Column, TGTCellContentMarginType MarginType, QPainter *Canvas)
{
    if (!OnBeforeCellPaint || !Node || FNoContentMargins)
        return QPoint();
    // Only the cell's size matters for its margins: a column's cell is taken at
    // the column's place and the node's height, without looking up where the
    // node's row is (a walk over the rows while the position cache is not built,
    // which made fitting the columns of a large table quadratic).
    const bool walk = FMarginWalk.Active && Column == FMarginWalk.Column && !Canvas;
    TRect cell;
    if (walk) {
        cell = Rect(FMarginWalk.Left, 0, FMarginWalk.Right, int(FTree ? FTree->NodeHeight(Node) : 0));
    } else if (FHeader->Columns().IsValidColumn(Column)) {
        int left = 0, right = 0;
        FHeader->Columns().GetColumnBounds(Column, left, right);
        cell = Rect(left, 0, right, int(FTree ? FTree->NodeHeight(Node) : 0));
    } else {
        cell = GetDisplayRect(Node, Column, false);
    }
    TRect content = cell;
    // Whatever the handler draws in this mode lands in a scratch image.
    QPainter &canvas = Canvas ? *Canvas : MeasureCanvas();
    if (walk && TPainterStateMark::Covers(canvas)) {
        const TPainterStateMark mark(canvas);
        DoBeforeCellPaint(canvas, Node, Column, cpmGetContentMargin, cell, content);
        mark.Restore(canvas);
    } else {
        canvas.save();
        DoBeforeCellPaint(canvas, Node, Column, cpmGetContentMargin, cell, content);
        canvas.restore();
    }
    switch (MarginType) {
    case ccmtTopLeftOnly:
        return QPoint(content.Left - cell.Left, content.Top - cell.Top);
    case ccmtBottomRightOnly:
        return QPoint(cell.Right - content.Right, cell.Bottom - content.Bottom);
    case ccmtAllSides:
        break;
    }
    return QPoint(cell.Width() - content.Width(), cell.Height() - content.Height());
}

// ---- event dispatchers --------------------------------------------------------------------------

void TGridTreeView::DoBeforePaint(QPainter &Canvas)
{
    if (OnBeforePaint)
        OnBeforePaint(*this, Canvas);
}

void TGridTreeView::DoAfterPaint(QPainter &Canvas)
{
    if (OnAfterPaint)
        OnAfterPaint(*this, Canvas);
}

void TGridTreeView::DoBeforeItemPaint(
    QPainter &Canvas, TGridNode *Node, const TRect &ItemRect, bool &CustomDraw)
{
    if (OnBeforeItemPaint)
        OnBeforeItemPaint(*this, Canvas, Node, ItemRect, CustomDraw);
}

void TGridTreeView::DoBeforeItemErase(
    QPainter &Canvas, TGridNode *Node, const TRect &ItemRect, TColor &Color, TItemEraseAction &EraseAction)
{
    if (OnBeforeItemErase)
        OnBeforeItemErase(*this, Canvas, Node, ItemRect, Color, EraseAction);
}

void TGridTreeView::DoAfterItemErase(QPainter &Canvas, TGridNode *Node, const TRect &ItemRect)
{
    if (OnAfterItemErase)
        OnAfterItemErase(*this, Canvas, Node, ItemRect);
}

void TGridTreeView::DoBeforeCellPaint(QPainter &Canvas, TGridNode *Node, TColumnIndex Column,
    TGTCellPaintMode CellPaintMode, const TRect &CellRect, TRect &ContentRect)
{
    if (OnBeforeCellPaint)
        OnBeforeCellPaint(*this, Canvas, Node, Column, CellPaintMode, CellRect, ContentRect);
}

void TGridTreeView::DoAfterCellPaint(
    QPainter &Canvas, TGridNode *Node, TColumnIndex Column, const TRect &CellRect)
{
    if (OnAfterCellPaint)
        OnAfterCellPaint(*this, Canvas, Node, Column, CellRect);
}

void TGridTreeView::DoAfterItemPaint(QPainter &Canvas, TGridNode *Node, const TRect &ItemRect)
{
    if (OnAfterItemPaint)
        OnAfterItemPaint(*this, Canvas, Node, ItemRect);
}

void TGridTreeView::FillToggleStripe(QPainter &Canvas, const TRect &R)
{
    const QColor treeColor = PaletteColor(palette(), FColor);
    const TGridTreeColumns &columns = FHeader->Columns();
    Canvas.fillRect(ToQRect(R), treeColor);
    if (columns.Count() == 0)
        return;
    for (TColumnIndex c = columns.GetFirstVisibleColumn(); c >= 0; c = columns.GetNextVisibleColumn(c)) {
        int left = 0;
        int right = 0;
        columns.GetColumnBounds(c, left, right);
        const TRect strip = IntersectRect(R, Rect(left, R.Top, right, R.Bottom));
        if (!strip.IsEmpty() && !columns[c].Options().contains(coParentColor))
            Canvas.fillRect(ToQRect(strip), PaletteColor(palette(), columns[c].Color()));
    }
}
