// What the tree draws in the main column besides the content: the connecting
// lines of each indentation level, the expand buttons (their images made
// here), check images and the owner's node images, and the alignment of all
// of them in a row.
#include "components/gui/GTColors.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeOptions.h"
#include "components/gui/GridTreeView.h"
#include "components/gui/ImageList.h"
#include "components/gui/ImageStrips.h"
#include "components/gui/TreeUtils.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace {

// The button images are transparent where nothing is drawn.
QImage NewButtonImage(QSize Size, QColor Fill)
{
    QImage image(Size, QImage::Format_ARGB32);
    image.fill(Fill);
    return image;
}

// What a check image index shows: its kind (1-8 radio, 9-20 check box, 21-24
// button) and its look within the kind, by the numbering of the image sets.
struct TCheckLook {
    enum TKind { Radio, CheckBox, Button } Kind;
    bool Checked;
    bool Mixed;
    bool Hot;
    bool Pressed;
    bool Disabled;
};

TCheckLook CheckLookOf(int Index)
{
    TCheckLook look {};
    int state = 0;
    if (Index <= 8) {
        look.Kind = TCheckLook::Radio;
        state = Index - 1;
    } else if (Index <= 20) {
        look.Kind = TCheckLook::CheckBox;
        state = Index - 9;
    } else {
        look.Kind = TCheckLook::Button;
        state = Index - 21;
    }
    // By fours: unchecked, checked, mixed; within them normal, hot, pressed, disabled.
    look.Checked = look.Kind != TCheckLook::Button && state / 4 == 1;
    look.Mixed = look.Kind == TCheckLook::CheckBox && state / 4 == 2;
    look.Hot = state % 4 == 1;
    look.Pressed = state % 4 == 2;
    look.Disabled = state % 4 == 3;
    return look;
}

} // namespace

// ---- tree lines ----------------------------------------------------------------------------------

int TGridTreeView::DetermineLineImageAndSelectLevel(TGridNode *Node, TLineImage &LineImage)
{
    TGridNode *root = FTree->RootNode();
    const TGTPaintOptions paint = FOptions->PaintOptions();
    const bool showRoot = paint.contains(toShowRoot);
    int levels = showRoot ? 1 : 0;
    int selectLevel = 0;
    for (TGridNode *p = Node->Parent(); p && p != root; p = p->Parent()) {
        ++levels;
        if (p->Has(vsSelected))
            ++selectLevel;
    }
    LineImage.assign(std::size_t(levels), ltNone);
    if (!paint.contains(toShowTreeLines)
        || (paint.contains(toHideTreeLinesIfThemed) && FViewStates.contains(tsUseThemes)) || levels == 0)
        return selectLevel;

    const bool nested = Node->Parent() != root;
    int index = levels - 1;
    if (paint.contains(toChildrenAbove)) {
        // Children drawn above their parent: the lines come up from below.
        const bool below = nested || FTree->HasVisibleNextSibling(Node);
        if (FTree->HasVisiblePreviousSibling(Node))
            LineImage[std::size_t(index)] = below ? ltTopDownRight : ltTopRight;
        else
            LineImage[std::size_t(index)] = below ? ltBottomRight : ltRight;
        for (TGridNode *p = Node->Parent(); p != root && --index >= 0; p = p->Parent())
            if (FTree->HasVisiblePreviousSibling(p))
                LineImage[std::size_t(index)] = ltTopDown;
        return selectLevel;
    }

    if (nested) {
        LineImage[std::size_t(index)] = FTree->HasVisibleNextSibling(Node) ? ltTopDownRight : ltTopRight;
        TGridNode *p = Node->Parent();
        for (; p->Parent() != root; p = p->Parent())
            if (--index >= 0 && FTree->HasVisibleNextSibling(p))
                LineImage[std::size_t(index)] = ltTopDown;
        // p is the top-level ancestor now.
        if (showRoot)
            LineImage[0] = FTree->HasVisibleNextSibling(p) ? ltTopDown : ltNone;
    } else if (showRoot) {
        const bool last = !FTree->HasVisibleNextSibling(Node);
        if (FTree->IsFirstVisibleChild(root, Node))
            LineImage[0] = last ? ltRight : ltBottomRight;
        else
            LineImage[0] = last ? ltTopRight : ltTopDownRight;
    }
    return selectLevel;
}

void TGridTreeView::DrawLineImage(
    const TGTPaintInfo &PaintInfo, int X, int Y, int H, int VAlign, TGTLineType Style, bool Reverse)
{
    const int half = FIndent / 2;
    const int end = Reverse ? X : X + FIndent;
    switch (Style) {
    case ltNone:
        break;
    case ltBottomRight:
        DrawDottedVLine(PaintInfo, Y + VAlign, Y + H, X + half);
        DrawDottedHLine(PaintInfo, X + half, end, Y + VAlign);
        break;
    case ltTopDown:
        DrawDottedVLine(PaintInfo, Y, Y + H, X + half);
        break;
    case ltTopDownRight:
        DrawDottedVLine(PaintInfo, Y, Y + H, X + half);
        DrawDottedHLine(PaintInfo, X + half, end, Y + VAlign);
        break;
    case ltRight:
        DrawDottedHLine(PaintInfo, X + half, end, Y + VAlign);
        break;
    case ltTopRight:
        DrawDottedVLine(PaintInfo, Y, Y + VAlign, X + half);
        DrawDottedHLine(PaintInfo, X + half, end, Y + VAlign);
        break;
    case ltLeft:
    case ltLeftBottom: {
        const int x = Reverse ? X + FIndent : X;
        DrawDottedVLine(PaintInfo, Y, Y + H, x);
        if (Style == ltLeftBottom)
            DrawDottedHLine(PaintInfo, X, X + FIndent, Y + H);
        break;
    }
    }
}

void TGridTreeView::PaintTreeLines(
    const TGTPaintInfo &PaintInfo, int VAlignment, int IndentSize, const TLineImage &LineImage)
{
    QPainter &canvas = *PaintInfo.Canvas;
    const bool reverse = PaintInfo.BidiMode != bdLeftToRight;
    const int step = reverse ? -FIndent : FIndent;
    const int startX = reverse ? PaintInfo.CellRect.Right - FIndent : PaintInfo.CellRect.Left;
    const int y = PaintInfo.CellRect.Top;
    TGridNode *node = PaintInfo.Node;
    const int height = int(FTree->NodeHeight(node));
    const int count = std::min(IndentSize, int(LineImage.size()));

    if (FLineMode == lmNormal) {
        canvas.setPen(FColors->QtColor(TGTColors::TreeLineColor));
        for (int i = 0, x = startX; i < count; ++i, x += step)
            DrawLineImage(PaintInfo, x, y, height, VAlignment, LineImage[std::size_t(i)], reverse);
        return;
    }
    if (!PaintInfo.PaintOptions.contains(poGridLines))
        return;
    // Bands: each level's area framed on the left, closed below where a branch ends.
    TLineImage bands(std::size_t(count), ltNone);
    const bool open = node->Has(vsExpanded) && !node->Has(vsAllChildrenHidden);
    for (int i = count - 1; i >= 0; --i) {
        const TGTLineType line = LineImage[std::size_t(i)];
        if (open) {
            bands[std::size_t(i)] = ltLeft;
            continue;
        }
        switch (line) {
        case ltBottomRight:
        case ltTopDownRight:
        case ltRight:
        case ltTopRight:
            bands[std::size_t(i)] = ltLeftBottom;
            break;
        case ltNone:
        case ltTopDown: {
            const bool deepest = i == count - 1;
            const TGTLineType deeper = deepest ? ltNone : LineImage[std::size_t(i) + 1];
            if (deeper != ltNone && deeper != ltTopRight)
                bands[std::size_t(i)] = ltLeft;
            else
                bands[std::size_t(i)] = deepest ? ltNone : bands[std::size_t(i) + 1];
            break;
        }
        case ltLeft:
        case ltLeftBottom:
            bands[std::size_t(i)] = ltNone;
            break;
        }
    }
    canvas.setPen(FColors->QtColor(TGTColors::GridLineColor));
    for (int i = 0, x = startX; i < count; ++i, x += step)
        DrawLineImage(PaintInfo, x, y, height - 1, VAlignment, bands[std::size_t(i)], reverse);
}

// ---- expand buttons and line pattern ----------------------------------------------------------------

void TGridTreeView::PrepareBitmaps(bool NeedButtons, bool NeedLines)
{
    if (NeedButtons) {
        const bool themed = FViewStates.contains(tsUseThemes);
        const bool explorer = ExplorerTheme();
        const QSize size(ButtonImageSize, ButtonImageSize);
        const TGridTreeColumns &columns = FHeader->Columns();
        const TColumnIndex main = MainColumn();
        // Under the explorer look the button sits on the main column's colour.
        QColor fill = Qt::transparent;
        if (explorer)
            fill = columns.IsValidColumn(main) && !columns[main].Options().contains(coParentColor)
                ? PaletteColor(palette(), columns[main].Color())
                : PaletteColor(palette(), FColor);
        const QColor treeColor = PaletteColor(palette(), FColor);
        const QColor lineColor = FColors->QtColor(TGTColors::TreeLineColor);
        const QColor signColor = palette().color(QPalette::WindowText);

        for (QImage *target : { &FMinusBM, &FPlusBM }) {
            const bool minus = target == &FMinusBM;
            QImage image = NewButtonImage(size, fill);
            if (!themed) {
                if (FButtonFillMode == fmShaded && FButtonStyle == bsRectangle) {
                    image = LoadImageStrip(
                        minus ? QStringLiteral("GT_XPBUTTONMINUS") : QStringLiteral("GT_XPBUTTONPLUS"))
                                .convertToFormat(QImage::Format_ARGB32);
                    // The strip's mask colour is no colour.
                    for (int y = 0; y < image.height(); ++y)
                        for (int x = 0; x < image.width(); ++x)
                            if (image.pixel(x, y) == ToQRgb(clFuchsia))
                                image.setPixel(x, y, 0);
                } else {
                    QPainter p(&image);
                    const int w = size.width();
                    if (FButtonStyle == bsTriangle) {
                        p.setPen(Qt::black);
                        p.setBrush(Qt::black);
                        const QPolygon triangle = minus
                            ? QPolygon({ QPoint(0, 2), QPoint(8, 2), QPoint(4, 6) })
                            : QPolygon({ QPoint(2, 0), QPoint(6, 4), QPoint(2, 8) });
                        p.drawPolygon(triangle);
                    } else {
                        // The frame over the whole image, the inside in the fill colour.
                        if (FButtonFillMode != fmTransparent)
                            p.fillRect(1, 1, w - 2, w - 2,
                                FButtonFillMode == fmWindowColor ? palette().color(QPalette::Base)
                                                                 : treeColor);
                        p.setPen(lineColor);
                        p.drawRect(0, 0, w - 1, w - 1);
                        // The strokes end a pixel before their end point.
                        p.setPen(signColor);
                        p.drawLine(2, w / 2, w - 3, w / 2);
                        if (!minus)
                            p.drawLine(w / 2, 2, w / 2, w - 3);
                    }
                }
            } else {
                // The style's own branch glyph takes the place of the drawn button.
                QPainter p(&image);
                QStyleOption option;
                option.initFrom(this);
                option.rect = QRect(QPoint(), size);
                option.state = QStyle::State_Children | QStyle::State_Item | QStyle::State_Enabled;
                option.state.setFlag(QStyle::State_Open, minus);
                style()->drawPrimitive(QStyle::PE_IndicatorBranch, &option, &p, this);
            }
            *target = image;
        }
        FHotMinusBM = FMinusBM;
        FHotPlusBM = FPlusBM;
        if (explorer) {
            for (QImage *target : { &FHotMinusBM, &FHotPlusBM }) {
                QImage image = NewButtonImage(size, fill);
                QPainter p(&image);
                QStyleOption option;
                option.initFrom(this);
                option.rect = QRect(QPoint(), size);
                option.state = QStyle::State_Children | QStyle::State_Item | QStyle::State_Enabled
                    | QStyle::State_MouseOver;
                option.state.setFlag(QStyle::State_Open, target == &FHotMinusBM);
                // The glyph under the mouse lights up in the highlight colour.
                const QColor hot = palette().color(QPalette::Highlight);
                for (const QPalette::ColorRole role :
                    { QPalette::WindowText, QPalette::ButtonText, QPalette::Text })
                    option.palette.setColor(role, hot);
                style()->drawPrimitive(QStyle::PE_IndicatorBranch, &option, &p, this);
                p.end();
                *target = image;
            }
        }
    }
    if (NeedLines) {
        // Solid: every pixel the line colour; dotted (and the custom style's
        // default): every other one, shifting by one per row.
        std::array<uint16_t, 8> bits {};
        for (std::size_t y = 0; y < bits.size(); ++y)
            bits[y] = FLineStyle == lsSolid ? 0x00 : (y % 2 == 0 ? 0x55 : 0xAA);
        if (FLineStyle == lsCustomStyle)
            DoGetLineStyle(bits);
        for (std::size_t y = 0; y < bits.size(); ++y)
            FDottedPattern[y] = uint8_t(bits[y] & 0xFF);
        FDottedBrush = QBrush();
    }
}

void TGridTreeView::DoGetLineStyle(std::array<uint16_t, 8> &Bits)
{
    if (OnGetLineStyle)
        OnGetLineStyle(*this, Bits);
}

void TGridTreeView::PaintNodeButton(QPainter &Canvas, TGridNode *Node, TColumnIndex, const TRect &R,
    int ButtonX, int ButtonY, TBiDiMode BidiMode)
{
    const bool hot = FOptions->PaintOptions().contains(toHotTrack) && Node == HotNode() && FHotNodeButtonHit;
    const bool expanded = Node->Has(vsExpanded);
    const QImage &image = expanded ? (hot ? FHotMinusBM : FMinusBM) : (hot ? FHotPlusBM : FPlusBM);
    const int x = BidiMode == bdLeftToRight ? R.Left + ButtonX : R.Right - ButtonX - image.width();
    Canvas.drawImage(x, R.Top + ButtonY, image);
}

// ---- check images -----------------------------------------------------------------------------------

int TGridTreeView::GetCheckImage(
    TGridNode *Node, TCheckType ImgCheckType, TCheckState ImgCheckState, bool ImgEnabled)
{
    bool hot = false;
    if (Node) {
        ImgCheckType = Node->CheckType();
        ImgCheckState = Node->CheckState();
        ImgEnabled = !Node->Has(vsDisabled) && isEnabled();
        hot = Node == HotNode();
    }
    if (ImgCheckType == TCheckType::ctNone)
        return -1;
    const bool pressed = ImgCheckState == csUncheckedPressed || ImgCheckState == csCheckedPressed
        || ImgCheckState == csMixedPressed;
    const bool checked = ImgCheckState == csCheckedNormal || ImgCheckState == csCheckedPressed;
    const bool mixed = ImgCheckState == csMixedNormal || ImgCheckState == csMixedPressed;
    // Each group of four: normal, hot, pressed (hot or not), disabled (hot or not).
    int base = 0;
    if (mixed)
        base = 17;
    else if (ImgCheckType == TCheckType::ctButton)
        base = 21;
    else if (ImgCheckType == TCheckType::ctRadioButton)
        base = checked ? 5 : 1;
    else
        base = checked ? 13 : 9;
    if (!ImgEnabled)
        return base + 3;
    if (pressed)
        return base + 2;
    return hot ? base + 1 : base;
}

void TGridTreeView::PaintCheckImage(QPainter &Canvas, const TGTImageInfo &ImageInfo, bool Selected)
{
    (void)Selected;
    if (!ImageInfo.Images || ImageInfo.Index < 0)
        return;
    if (!FViewStates.contains(tsUseThemes) || FCheckImageKind != ckSystemDefault || ImageInfo.Index == 0
        || ImageInfo.Index > 24) {
        ImageInfo.Images->Draw(Canvas, ImageInfo.XPos, ImageInfo.YPos, ImageInfo.Index);
        return;
    }
    // The style draws the box, radio button or button in the image's place.
    const TCheckLook look = CheckLookOf(ImageInfo.Index);
    const QRect cell(ImageInfo.XPos, ImageInfo.YPos, ImageInfo.Images->Width(), ImageInfo.Images->Height());
    QStyleOptionButton option;
    option.initFrom(this);
    option.state = QStyle::State_None;
    option.state.setFlag(QStyle::State_Enabled, !look.Disabled);
    option.state.setFlag(QStyle::State_MouseOver, look.Hot);
    option.state.setFlag(QStyle::State_Sunken, look.Pressed);
    option.state |= look.Mixed ? QStyle::State_NoChange : look.Checked ? QStyle::State_On : QStyle::State_Off;
    QStyle::PrimitiveElement element = QStyle::PE_PanelButtonCommand;
    QSize size = cell.size() - QSize(2, 2);
    if (look.Kind == TCheckLook::Radio) {
        element = QStyle::PE_IndicatorRadioButton;
        size = QSize(style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, &option, this),
            style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, &option, this));
    } else if (look.Kind == TCheckLook::CheckBox) {
        element = QStyle::PE_IndicatorCheckBox;
        size = QSize(style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, this),
            style()->pixelMetric(QStyle::PM_IndicatorHeight, &option, this));
    } else {
        option.state |= look.Pressed ? QStyle::State_Sunken : QStyle::State_Raised;
    }
    size = size.boundedTo(cell.size());
    option.rect = QRect(
        cell.topLeft() + QPoint((cell.width() - size.width()) / 2, (cell.height() - size.height()) / 2),
        size);
    style()->drawPrimitive(element, &option, &Canvas, this);
}

// ---- node images ---------------------------------------------------------------------------------

void TGridTreeView::PaintImage(TGTPaintInfo &PaintInfo, TGTImageInfoIndex ImageInfoIndex, bool DoOverlay)
{
    const TGTImageInfo &image = PaintInfo.ImageInfo[ImageInfoIndex];
    if (!image.Images || image.Index < 0)
        return;
    TGridNode *node = PaintInfo.Node;
    const TGTPaintOptions paint = FOptions->PaintOptions();
    const bool cut = node->Has(vsCutOrCopy) && FViewStates.contains(tsCutPending);
    const bool focusedLook = Focused() || paint.contains(toGhostedIfUnfocused);
    const bool selected = node->Has(vsSelected);
    if (DoOverlay)
        GetImageIndex(PaintInfo, ikOverlay, iiOverlay, FImages);
    else
        PaintInfo.ImageInfo[iiOverlay] = TGTImageInfo();
    const bool halfBlended = paint.contains(toUseBlendedImages) && focusedLook
        && (image.Ghosted
            || (selected && !FOptions->SelectionOptions().contains(toFullRowSelect)
                && !FOptions->MiscOptions().contains(toGridExtensions))
            || cut);
    // A blended selected image leans to the highlight colour, any other to the tree colour.
    const TColor blend = !halfBlended ? CLR_NONE
        : selected && !image.Ghosted  ? CLR_DEFAULT
                                      : ColorToRGB(FColor);
    const bool enabled = !node->Has(vsDisabled) && isEnabled();
    QPainter &canvas = *PaintInfo.Canvas;
    image.Images->Draw(canvas, image.XPos, image.YPos, image.Index, enabled, blend);
    const TGTImageInfo &overlay = PaintInfo.ImageInfo[iiOverlay];
    if (overlay.Images && overlay.Index >= 0)
        overlay.Images->Draw(canvas, image.XPos, image.YPos, overlay.Index, enabled, blend);
}

void TGridTreeView::GetImageIndex(
    TGTPaintInfo &Info, TGTImageKind Kind, TGTImageInfoIndex InfoIndex, const TImageList *DefaultImages)
{
    TGTImageInfo &image = Info.ImageInfo[InfoIndex];
    image.Index = -1;
    image.Ghosted = false;
    const TImageList *list = DoGetImageIndex(Info.Node, Kind, Info.Column, image.Ghosted, image.Index);
    image.Images = list ? list : DefaultImages;
}

const TImageList *TGridTreeView::DoGetImageIndex(
    TGridNode *Node, TGTImageKind Kind, TColumnIndex Column, bool &Ghosted, int &Index)
{
    const TImageList *list = nullptr;
    if (OnGetImageEx)
        OnGetImageEx(*this, Node, Kind, Column, Ghosted, Index, list);
    else if (OnGetImage)
        OnGetImage(*this, Node, Kind, Column, Ghosted, Index);
    return list;
}

QString TGridTreeView::DoGetImageText(TGridNode *Node, TGTImageKind Kind, TColumnIndex Column)
{
    QString text;
    if (OnGetImageText)
        OnGetImageText(*this, Node, Kind, Column, text);
    return text;
}

bool TGridTreeView::HasImage(TGridNode *Node, TGTImageKind Kind, TColumnIndex Column)
{
    bool ghosted = false;
    int index = -1;
    DoGetImageIndex(Node, Kind, Column, ghosted, index);
    return index > -1;
}

// ---- alignment and heights ----------------------------------------------------------------------------

void TGridTreeView::CalculateVerticalAlignments(TGridNode *Node, int &VAlign, int &VButtonAlign)
{
    const int height = int(FTree->NodeHeight(Node));
    const int align = Node->Align();
    const int buttonHeight = ButtonSize().height();
    switch (FNodeAlignment) {
    case naFromTop:
        VAlign = align;
        break;
    case naFromBottom:
        VAlign = height - align;
        break;
    case naProportional: {
        const TImageList *images = FImages ? FImages : FStateImages;
        if (images)
            VAlign = MulDiv(height - images->Height(), align, 100) + images->Height() / 2;
        else if (FOptions->PaintOptions().contains(toShowButtons))
            VAlign = MulDiv(height - buttonHeight, align, 100) + buttonHeight / 2;
        else
            VAlign = MulDiv(height, align, 100);
        break;
    }
    }
    VButtonAlign = VAlign - buttonHeight / 2;
}

bool TGridTreeView::DoNodeHeightDblClickResize(
    TGridNode *Node, TColumnIndex Column, TShiftState Shift, QPoint P)
{
    bool allowed = true;
    if (OnNodeHeightDblClickResize)
        OnNodeHeightDblClickResize(*this, Node, Column, Shift, P, allowed);
    return allowed;
}
