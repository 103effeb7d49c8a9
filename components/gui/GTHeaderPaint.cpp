// Painting the header into the columns' header bitmap.
#include "components/gui/GTColors.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeView.h"
#include "components/gui/ImageList.h"
#include "components/gui/ImageStrips.h"
#include "components/gui/SharedImages.h"
#include "components/gui/TreeText.h"
#include "platform/gui/Edges.h"
#include "platform/gui/TextDraw.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionHeader>
#include <algorithm>

namespace {

// Images of "GT_UTILITIES".
constexpr int DropMarkBefore = 0;
constexpr int DropMarkAfter = 1;
constexpr int SortDescending = 2;
constexpr int SortAscending = 3;
constexpr int ThemedSortOffset = 2;

} // namespace

void TGTHeader::PaintHeader(QPainter &Target, const TRect &R, QPoint Offset)
{
    UpdateHeaderBitmap();
    Target.drawImage(Offset, FColumns->HeaderBitmap(), ToQRect(R));
}

void TGTHeader::UpdateHeaderBitmap()
{
    // The strip runs on above the vertical scroll bar.
    const int width = std::max({ 1, FOwner.ClientWidth(), FOwner.HeaderWidget().width() });
    const int height = std::max(1, FHeight);
    QImage &bitmap = FColumns->HeaderBitmap();
    if (bitmap.width() != width || bitmap.height() != height) {
        bitmap = QImage(width, height, QImage::Format_ARGB32);
        // Geometry is kept at 96 pixels per inch.
        bitmap.setDotsPerMeterX(3780);
        bitmap.setDotsPerMeterY(3780);
    }
    QPainter painter(&bitmap);
    painter.setFont(FFont);
    const TRect whole = Rect(0, 0, width, height);

    const bool advanced
        = FOptions.contains(hoOwnerDraw) && FOwner.OnHeaderDrawQueryElements && FOwner.OnAdvancedHeaderDraw;
    const bool simple = FOptions.contains(hoOwnerDraw) && !advanced && FOwner.OnHeaderDraw;
    THeaderPaintInfo background;
    background.TargetCanvas = &painter;
    background.PaintRectangle = whole;
    THeaderPaintElements elements;
    if (advanced)
        FOwner.OnHeaderDrawQueryElements(*this, background, elements);
    if (advanced && elements.contains(hpeBackground)) {
        FOwner.OnAdvancedHeaderDraw(*this, background, { hpeBackground });
    } else if (simple) {
        FOwner.OnHeaderDraw(*this, painter, nullptr, whole, false, false, dmmNone);
    } else if (FOwner.ViewStates().contains(tsUseThemes)) {
        QStyleOptionHeader option;
        option.initFrom(&FOwner.HeaderWidget());
        option.rect = ToQRect(whole);
        option.orientation = Qt::Horizontal;
        FOwner.HeaderWidget().style()->drawControl(
            QStyle::CE_HeaderEmptyArea, &option, &painter, &FOwner.HeaderWidget());
    } else {
        painter.fillRect(ToQRect(whole), ToQColor(FBackground));
        if (FStyle == hsXPStyle)
            DrawButtonFace(painter, whole, false, false, true);
    }

    // Scrolling columns first, then the fixed ones over them.
    const std::vector<TGridTreeColumn *> visible = FColumns->GetVisibleColumns();
    const int fixedWidth = FColumns->GetVisibleFixedWidth();
    for (const bool fixed : { false, true }) {
        for (TGridTreeColumn *column : visible) {
            if (column->Options().contains(coFixed) != fixed)
                continue;
            int left = 0;
            int right = 0;
            FColumns->GetColumnBounds(column->Index(), left, right);
            if (right <= 0 || left >= width)
                continue;
            painter.save();
            painter.setClipRect(ToQRect(Rect(fixed ? 0 : fixedWidth, 0, width, height)));
            PaintCell(painter, column, Rect(left, 0, right, height), column == visible.back());
            painter.restore();
        }
    }
}

void TGTHeader::DrawButtonFace(QPainter &Painter, const TRect &R, bool Hover, bool Down, bool Enabled)
{
    if (FStyle == hsXPStyle) {
        // A flat face with a shaded bottom band and a separator at the right.
        const QColor face = ToQColor(FBackground);
        Painter.fillRect(ToQRect(R), Down ? face.darker(110) : face);
        const QColor band = Hover ? FOwner.Colors().QtColor(TGTColors::HeaderHotColor) : face.darker(115);
        Painter.fillRect(ToQRect(Rect(R.Left, R.Bottom - 3, R.Right, R.Bottom)), band);
        Painter.fillRect(ToQRect(Rect(R.Right - 1, R.Top + 2, R.Right, R.Bottom - 4)), ToQColor(clBtnShadow));
        return;
    }
    Painter.fillRect(ToQRect(R), ToQColor(FBackground));
    if (Down) {
        DrawEdge(Painter, R, FStyle == hsThickButtons ? unsigned(EDGE_SUNKEN) : unsigned(BDR_SUNKENOUTER),
            BF_RECT);
        return;
    }
    switch (FStyle) {
    case hsThickButtons:
        DrawEdge(Painter, R, EDGE_RAISED, BF_RECT);
        break;
    case hsFlatButtons:
        DrawEdge(Painter, R, BDR_RAISEDINNER, BF_RECT);
        break;
    default:
        // Plates stand out only under the mouse.
        if (Hover && Enabled)
            DrawEdge(Painter, R, BDR_RAISEDINNER, BF_RECT);
        break;
    }
}

void TGTHeader::PaintCell(QPainter &Painter, TGridTreeColumn *Column, const TRect &R, bool ShowRightBorder)
{
    const TColumnIndex index = Column->Index();
    const TGTColumnOptions options = Column->Options();
    const bool advanced
        = FOptions.contains(hoOwnerDraw) && FOwner.OnHeaderDrawQueryElements && FOwner.OnAdvancedHeaderDraw;
    const bool simple = FOptions.contains(hoOwnerDraw) && !advanced && FOwner.OnHeaderDraw;
    const bool themed = FOwner.ViewStates().contains(tsUseThemes);

    THeaderPaintInfo info;
    info.TargetCanvas = &Painter;
    info.Column = Column;
    info.PaintRectangle = R;
    info.IsHoverIndex = FOptions.contains(hoHotTrack) && index == FColumns->FHoverIndex;
    info.IsDownIndex = index == FColumns->FDownIndex;
    info.IsEnabled = options.contains(coEnabled) && FOwner.isEnabled();
    const TImageList *checks = FOwner.CheckImages();
    const bool showCheck = Column->CheckBox() && checks;
    const bool showImage = !showCheck && FOptions.contains(hoShowImages) && FImages
        && Column->ImageIndex() >= 0 && Column->ImageIndex() < FImages->Count();
    info.ShowHeaderGlyph = showCheck || showImage;
    info.ShowSortGlyph = FOptions.contains(hoShowSortGlyphs) && index == SortColumn();
    info.ShowRightBorder = ShowRightBorder;
    if (FStates.contains(hsDragging) && index == FColumns->FDropTarget && index != FColumns->FDragIndex
        && options.contains(coShowDropMark))
        info.DropMark = FColumns->FDropBefore ? dmmLeft : dmmRight;

    THeaderPaintElements elements;
    if (advanced)
        FOwner.OnHeaderDrawQueryElements(*this, info, elements);

    // The face of the button.
    if (elements.contains(hpeBackground)) {
        FOwner.OnAdvancedHeaderDraw(*this, info, { hpeBackground });
    } else if (themed) {
        QStyleOptionHeader option;
        option.initFrom(&FOwner.HeaderWidget());
        option.rect = ToQRect(R);
        option.orientation = Qt::Horizontal;
        option.section = index;
        option.position = ShowRightBorder ? QStyleOptionHeader::End : QStyleOptionHeader::Middle;
        option.state |= QStyle::State_Raised;
        option.state.setFlag(QStyle::State_Enabled, info.IsEnabled);
        option.state.setFlag(QStyle::State_MouseOver, info.IsHoverIndex);
        option.state.setFlag(QStyle::State_Sunken, info.IsDownIndex);
        FOwner.HeaderWidget().style()->drawControl(
            QStyle::CE_HeaderSection, &option, &Painter, &FOwner.HeaderWidget());
    } else {
        const bool clickable = options.contains(coAllowClick) && info.IsEnabled;
        DrawButtonFace(Painter, R, info.IsHoverIndex && clickable, info.IsDownIndex, info.IsEnabled);
    }

    if (simple || Column->Style() == vsOwnerDraw) {
        if (FOwner.OnHeaderDraw)
            FOwner.OnHeaderDraw(
                *this, Painter, Column, R, info.IsHoverIndex, info.IsDownIndex, info.DropMark);
        return;
    }

    // The layout: sort glyph at the right, the header glyph beside or above the
    // caption by Layout, the caption in what is left.
    const int margin = Column->Margin();
    const int spacing = Column->Spacing();
    int left = R.Left + margin;
    int right = R.Right - margin;
    int top = R.Top;
    int bottom = R.Bottom;
    if (info.ShowSortGlyph) {
        info.SortGlyphPos = QPoint(right - StripImageSize, R.Top + (R.Height() - StripImageSize) / 2);
        right -= StripImageSize + spacing;
    }
    const QSize glyph = showCheck ? QSize(checks->Width(), checks->Height())
        : showImage               ? QSize(FImages->Width(), FImages->Height())
                                  : QSize();
    if (info.ShowHeaderGlyph) {
        const int centreY = R.Top + (R.Height() - glyph.height()) / 2;
        switch (Column->Layout()) {
        case blGlyphLeft:
            info.GlyphPos = QPoint(left, centreY);
            left += glyph.width() + spacing;
            break;
        case blGlyphRight:
            info.GlyphPos = QPoint(right - glyph.width(), centreY);
            right -= glyph.width() + spacing;
            break;
        case blGlyphTop:
            info.GlyphPos = QPoint(left + (right - left - glyph.width()) / 2, top + margin);
            top += margin + glyph.height() + spacing;
            break;
        case blGlyphBottom:
            info.GlyphPos
                = QPoint(left + (right - left - glyph.width()) / 2, bottom - margin - glyph.height());
            bottom -= margin + glyph.height() + spacing;
            break;
        }
        Column->FImageRect = Bounds(info.GlyphPos.x(), info.GlyphPos.y(), glyph.width(), glyph.height());
    }
    Column->FHasImage = info.ShowHeaderGlyph;
    info.TextRectangle = Rect(left, top, std::max(left, right), std::max(top, bottom));

    // The caption, wrapped or shortened to fit.
    Painter.setFont(FFont);
    const QFontMetrics metrics(FFont, Painter.device());
    const int available = info.TextRectangle.Width();
    QString caption = Column->Text();
    if (options.contains(coWrapCaption))
        caption = WrapString(Painter, caption, info.TextRectangle, false, DT_NOPREFIX);
    else if (metrics.horizontalAdvance(caption) > available)
        caption = ShortenString(Painter, caption, available);
    Column->FCaptionText = caption;

    if (info.ShowHeaderGlyph && !elements.contains(hpeHeaderGlyph)) {
        if (showCheck)
            checks->Draw(Painter, info.GlyphPos.x(), info.GlyphPos.y(),
                FOwner.GetCheckImage(nullptr, Column->CheckType(), Column->CheckState(), info.IsEnabled));
        else
            FImages->Draw(
                Painter, info.GlyphPos.x(), info.GlyphPos.y(), Column->ImageIndex(), info.IsEnabled);
    }
    if (!elements.contains(hpeText) && !caption.isEmpty()) {
        unsigned format = DT_NOPREFIX;
        switch (Column->CaptionAlignment()) {
        case taRightJustify:
            format |= DT_RIGHT;
            break;
        case taCenter:
            format |= DT_CENTER;
            break;
        default:
            break;
        }
        // Centred as a block of lines, pressed one pixel down and right.
        const int lines = int(caption.count(QLatin1Char('\n'))) + 1;
        const int textHeight = lines * metrics.height();
        TRect text = info.TextRectangle;
        text.Top += (text.Height() - textHeight) / 2;
        text.Bottom = text.Top + textHeight;
        if (info.IsDownIndex)
            text = OffsetRect(text, 1, 1);
        if (!info.IsEnabled) {
            Painter.setPen(ToQColor(clBtnHighlight));
            DrawTextEx(Painter, caption, OffsetRect(text, 1, 1), format);
            Painter.setPen(ToQColor(clBtnShadow));
        } else if (info.IsHoverIndex && !themed) {
            Painter.setPen(FOwner.Colors().QtColor(TGTColors::HeaderHotColor));
        } else {
            Painter.setPen(ToQColor(clBtnText));
        }
        DrawTextEx(Painter, caption, text, format);
    }
    const TImageList &utilities = SharedImages(silUtilities);
    if (info.ShowSortGlyph && !elements.contains(hpeSortGlyph)) {
        const int image = (SortDirection() == sdAscending ? SortAscending : SortDescending)
            + (themed ? ThemedSortOffset : 0);
        utilities.Draw(Painter, info.SortGlyphPos.x(), info.SortGlyphPos.y(), image);
    }
    if (info.DropMark != dmmNone && !elements.contains(hpeDropMark)) {
        const int y = R.Top + (R.Height() - utilities.Height()) / 2;
        if (info.DropMark == dmmLeft)
            utilities.Draw(Painter, R.Left, y, DropMarkBefore);
        else
            utilities.Draw(Painter, R.Right - utilities.Width(), y, DropMarkAfter);
    }
    const THeaderPaintElements owned = elements - THeaderPaintElements { hpeBackground };
    if (!owned.empty())
        FOwner.OnAdvancedHeaderDraw(*this, info, owned);
}
