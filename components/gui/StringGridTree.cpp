#include "components/gui/StringGridTree.h"

#include "components/gui/GTColors.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeOptions.h"
#include "components/gui/TreeText.h"
#include "platform/gui/TextDraw.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

namespace {

unsigned AlignmentFlag(TAlignment Alignment)
{
    return Alignment == taRightJustify ? DT_RIGHT : Alignment == taCenter ? DT_CENTER : DT_LEFT;
}

} // namespace

TCustomStringGridTree::TCustomStringGridTree(QWidget *Parent)
    : TGridTreeView(Parent)
{
    Construct();
}

TCustomStringGridTree::TCustomStringGridTree(TBaseGridTree &Store, QWidget *Parent)
    : TGridTreeView(Store, Parent)
{
    Construct();
}

void TCustomStringGridTree::Construct()
{
    ReplaceTreeOptions(std::make_unique<TCustomStringTreeOptions>(*this));
    FontChanged();
}

TCustomStringTreeOptions &TCustomStringGridTree::StringTreeOptions() const
{
    return static_cast<TCustomStringTreeOptions &>(TreeOptions());
}

uint32_t &TCustomStringGridTree::CachedWidth(TGridNode *Node) const
{
    return *reinterpret_cast<uint32_t *>(reinterpret_cast<char *>(Node) + Tree()->StringTreeDataOffset());
}

void TCustomStringGridTree::ResetWidths()
{
    if (!Tree())
        return;
    for (TGridNode *node = Tree()->GetFirstNoInit(); node; node = Tree()->GetNextNoInit(node))
        CachedWidth(node) = 0;
}

void TCustomStringGridTree::FontChanged()
{
    const QFontMetrics metrics(font(), MeasureCanvas().device());
    FTextHeight = metrics.height();
    FEllipsisWidth = metrics.horizontalAdvance(QStringLiteral("..."));
    FWidths.Clear();
    FGlyphRuns.Clear();
    ResetWidths();
}

bool TCustomStringGridTree::event(QEvent *Event)
{
    const bool result = TGridTreeView::event(Event);
    if (Event->type() == QEvent::FontChange)
        FontChanged();
    return result;
}

void TCustomStringGridTree::SetCanvasFont(QPainter &Canvas, const QFont &Font)
{
    // The font this tree last gave the painter, unchanged since, is told apart
    // without comparing families, every cell.
    if (&Canvas == FFontCanvas && Canvas.font().isCopyOf(FCanvasFont) && Font.isCopyOf(FCanvasFontSource))
        return;
    if (!(Canvas.font() == Font))
        Canvas.setFont(Font);
    FFontCanvas = &Canvas;
    FCanvasFont = Canvas.font();
    FCanvasFontSource = Font;
}

QColor TCustomStringGridTree::TextColor() const
{
    return PaletteColor(palette(), clWindowText);
}

// ---- texts --------------------------------------------------------------------------------------

QString TCustomStringGridTree::Text(TGridNode *Node, TColumnIndex Column)
{
    if (!Node)
        throw EGridTreeAssertion(GridTreeTexts::NodeIsNil);
    if (!Node->Has(vsInitialized) && Tree())
        Tree()->ValidateNode(Node, false);
    QString text = FDefaultText;
    DoGetText(Node, Column, ttNormal, text);
    return text;
}

void TCustomStringGridTree::SetText(TGridNode *Node, TColumnIndex Column, const QString &Value)
{
    DoNewText(Node, Column, Value);
    InvalidateNode(Node);
}

void TCustomStringGridTree::SetDefaultText(const QString &Value)
{
    if (Value == FDefaultText)
        return;
    FDefaultText = Value;
    ResetWidths();
    InvalidateTree();
}

void TCustomStringGridTree::DoGetText(
    TGridNode *Node, TColumnIndex Column, TGSTTextType TextType, QString &Text)
{
    if (OnGetText)
        OnGetText(*this, Node, Column, TextType, Text);
}

void TCustomStringGridTree::DoPaintText(
    TGridNode *Node, QPainter &Canvas, TColumnIndex Column, TGSTTextType TextType)
{
    if (OnPaintText)
        OnPaintText(*this, Canvas, Node, Column, TextType);
}

void TCustomStringGridTree::DoNewText(TGridNode *Node, TColumnIndex Column, const QString &Text)
{
    if (OnNewText)
        OnNewText(*this, Node, Column, Text);
    if (!IsUpdating())
        UpdateHorizontalScrollBar(true);
}

bool TCustomStringGridTree::ColumnIsEmpty(TGridNode *Node, TColumnIndex Column)
{
    if (!Text(Node, Column).isEmpty())
        return false;
    return TGridTreeView::ColumnIsEmpty(Node, Column);
}

void TCustomStringGridTree::InvalidateNode(TGridNode *Node)
{
    TGridTreeView::InvalidateNode(Node);
    if (Node && Tree() && Node != Tree()->RootNode()) {
        CachedWidth(Node) = 0;
        Tree()->SetHeightMeasured(Node, false);
    }
}

void TCustomStringGridTree::MainColumnChanged()
{
    TGridTreeView::MainColumnChanged();
    ResetWidths();
}

// ---- painting --------------------------------------------------------------------------------

void TCustomStringGridTree::DoPaintNode(TGTPaintInfo &PaintInfo)
{
    QString text = Text(PaintInfo.Node, PaintInfo.Column);
    if (!text.isEmpty())
        PaintNormalText(PaintInfo, text);
    if (Alignment() != taCenter && !PaintInfo.Node->Has(vsMultiline)
        && StringTreeOptions().StringOptions().contains(toShowStaticText)) {
        text.clear();
        DoGetText(PaintInfo.Node, PaintInfo.Column, ttStatic, text);
        if (!text.isEmpty())
            PaintStaticText(PaintInfo, text);
    }
}

void TCustomStringGridTree::InitializeTextProperties(TGTPaintInfo &PaintInfo)
{
    QPainter &canvas = *PaintInfo.Canvas;
    TGridNode *node = PaintInfo.Node;
    const TGTPaintOptions paint = TreeOptions().PaintOptions();
    const bool explorer = ViewStates().contains(tsUseThemes) && paint.contains(toUseExplorerTheme);
    QFont font = this->font();
    QColor color = TextColor();
    if (paint.contains(toHotTrack) && node == Tree()->HotNode()) {
        if (!explorer)
            font.setUnderline(true);
        color = Colors().QtColor(TGTColors::HotColor);
    }
    if (PaintInfo.PaintOptions.contains(poDrawSelection)
        && (PaintInfo.Column == FocusedColumn() || TreeOptions().SelectionOptions().contains(toFullRowSelect))
        && !explorer) {
        const QColor highlight = PaletteColor(palette(), clHighlightText);
        if (node == Tree()->DropTargetNode()) {
            if (LastDropMode() == dmOnNode || node->Has(vsSelected))
                color = highlight;
        } else if (node->Has(vsSelected) && (Focused() || paint.contains(toPopupMode))) {
            color = highlight;
        }
    }
    SetCanvasFont(canvas, font);
    // A new pen costs an allocation per cell.
    if (canvas.pen().color() != color || canvas.pen().style() != Qt::SolidLine)
        canvas.setPen(color);
}

void TCustomStringGridTree::PaintNormalText(TGTPaintInfo &PaintInfo, QString Text)
{
    InitializeTextProperties(PaintInfo);
    QPainter &canvas = *PaintInfo.Canvas;
    TGridNode *node = PaintInfo.Node;
    TRect r = PaintInfo.ContentRect;
    r.Left += TextMargin();
    r.Right -= TextMargin();
    canvas.setBackgroundMode(Qt::TransparentMode);
    const unsigned rtl = PaintInfo.BidiMode != bdLeftToRight ? unsigned(DT_RTLREADING) : 0u;
    const bool disabled = node->Has(vsDisabled) || !isEnabled();
    unsigned format = 0;
    if (node->Has(vsMultiline)) {
        DoPaintText(node, canvas, PaintInfo.Column, ttNormal);
        if (disabled)
            canvas.setPen(Colors().QtColor(TGTColors::DisabledColor));
        format = AlignmentFlag(PaintInfo.Alignment) | DT_NOPREFIX | DT_WORDBREAK | DT_END_ELLIPSIS
            | DT_EDITCONTROL | rtl;
    } else {
        int ellipsis = FEllipsisWidth;
        // A handler that changes the font changes the text's width.
        const QFont before = canvas.font();
        DoPaintText(node, canvas, PaintInfo.Column, ttNormal);
        if (!(canvas.font() == before))
            ellipsis = 0;
        // Measured as painted: a width kept from before the text changed (a
        // position renamed in many rows at once) would clip a longer text
        // mid-letter instead of shortening it.
        PaintInfo.NodeWidth = TextExtent(canvas, Text) + 2 * TextMargin();
        if (disabled)
            canvas.setPen(Colors().QtColor(TGTColors::DisabledColor));
        format = DT_NOPREFIX | DT_VCENTER | DT_SINGLELINE | rtl;
        if (PaintInfo.Column >= 0 && PaintInfo.NodeWidth - 2 * TextMargin() > r.Width()) {
            // Shortened texts start at the left unless right aligned.
            Text = DoShortenString(canvas, node, PaintInfo.Column, Text, r.Width(), ellipsis);
            if (PaintInfo.Alignment == taRightJustify)
                format |= DT_RIGHT;
        } else {
            format |= AlignmentFlag(PaintInfo.Alignment);
        }
    }
    DoTextDrawing(PaintInfo, Text, r, format);
}

void TCustomStringGridTree::PaintStaticText(const TGTPaintInfo &PaintInfo, const QString &Text)
{
    QPainter &canvas = *PaintInfo.Canvas;
    TGridNode *node = PaintInfo.Node;
    canvas.setFont(font());
    QColor color = TextColor();
    if (TreeOptions().SelectionOptions().contains(toFullRowSelect)) {
        const bool onNode
            = node == Tree()->DropTargetNode() && (LastDropMode() == dmOnNode || node->Has(vsSelected));
        const bool selected = node != Tree()->DropTargetNode() && node->Has(vsSelected)
            && (Focused() || TreeOptions().PaintOptions().contains(toPopupMode));
        if (onNode || selected)
            color = PaletteColor(palette(), clHighlightText);
    }
    canvas.setPen(color);
    DoPaintText(node, canvas, PaintInfo.Column, ttStatic);
    if (node->Has(vsDisabled) || !isEnabled())
        canvas.setPen(Colors().QtColor(TGTColors::DisabledColor));
    TRect r = PaintInfo.ContentRect;
    unsigned format = DT_NOPREFIX | DT_VCENTER | DT_SINGLELINE;
    const int distance = PaintInfo.NodeWidth + TextMargin();
    if (PaintInfo.Alignment == taRightJustify) {
        r.Right -= distance;
        format |= DT_RIGHT;
    } else {
        r.Left += distance;
    }
    TGTPaintInfo info = PaintInfo;
    DoTextDrawing(info, Text, r, format);
}

void TCustomStringGridTree::DoTextDrawing(
    TGTPaintInfo &PaintInfo, const QString &Text, TRect CellRect, unsigned DrawFormat)
{
    bool defaultDraw = true;
    if (OnDrawText)
        OnDrawText(*this, *PaintInfo.Canvas, PaintInfo.Node, PaintInfo.Column, Text, CellRect, defaultDraw);
    if (!defaultDraw)
        return;
    // A single line is placed with the width already measured.
    QPainter &canvas = *PaintInfo.Canvas;
    const QFontMetrics &metrics = FWidths.Metrics(canvas.font(), canvas.device());
    if (!DrawSingleLine(canvas, Text, CellRect, DrawFormat, TextExtent(canvas, Text), metrics.ascent(),
            metrics.height(), &FGlyphRuns))
        DrawTextEx(canvas, Text, CellRect, DrawFormat);
}

QString TCustomStringGridTree::DoShortenString(
    QPainter &Canvas, TGridNode *Node, TColumnIndex Column, const QString &S, int Width, int EllipsisWidth)
{
    QString result;
    bool done = false;
    if (OnShortenString)
        OnShortenString(*this, Canvas, Node, Column, S, Width, result, done);
    if (done)
        return result;
    return ShortenString(
        [this, &Canvas](const QString &Part) { return TextExtent(Canvas, Part); }, S, Width, EllipsisWidth);
}

void TCustomStringGridTree::AdjustPaintCellRect(TGTPaintInfo &PaintInfo, TColumnIndex &NextNonEmpty)
{
    TGridTreeView::AdjustPaintCellRect(PaintInfo, NextNonEmpty);
    const TGridTreeColumns &columns = Header().Columns();
    if (!TreeOptions().AutoOptions().contains(toAutoSpanColumns) || columns.Count() == 0
        || PaintInfo.BidiMode != bdLeftToRight)
        return;
    while (NextNonEmpty >= 0 && columns[NextNonEmpty].BiDiMode() == bdLeftToRight
        && ColumnIsEmpty(PaintInfo.Node, NextNonEmpty)) {
        PaintInfo.CellRect.Right += columns[NextNonEmpty].Width();
        NextNonEmpty = columns.GetNextVisibleColumn(NextNonEmpty);
    }
}

// ---- measuring ----------------------------------------------------------------------------------

int TCustomStringGridTree::TextExtent(QPainter &Canvas, const QString &Text)
{
    return FWidths.Width(Canvas.font(), Canvas.device(), Text);
}

int TCustomStringGridTree::DoGetNodeWidth(TGridNode *Node, TColumnIndex Column, QPainter *Canvas)
{
    const TGridTreeColumns &columns = Header().Columns();
    if (Node->Has(vsMultiline) && columns.IsValidColumn(Column))
        return columns[Column].Width();
    QPainter &canvas = Canvas ? *Canvas : MeasureCanvas();
    if (Column != MainColumn())
        return CalculateTextWidth(canvas, Node, Column, Text(Node, Column));
    uint32_t &cached = CachedWidth(Node);
    if (cached == 0)
        cached = uint32_t(CalculateTextWidth(canvas, Node, Column, Text(Node, Column)));
    return int(cached);
}

int TCustomStringGridTree::CalculateTextWidth(
    QPainter &Canvas, TGridNode *Node, TColumnIndex Column, const QString &Text)
{
    int result = 2 * TextMargin();
    if (!Text.isEmpty()) {
        SetCanvasFont(Canvas, font());
        DoPaintText(Node, Canvas, Column, ttNormal);
        result += DoTextMeasuring(Canvas, Node, Column, Text);
    }
    return result;
}

int TCustomStringGridTree::DoTextMeasuring(
    QPainter &Canvas, TGridNode *Node, TColumnIndex Column, const QString &Text)
{
    int extent = TextExtent(Canvas, Text);
    if (Node->Has(vsMultiline)) {
        TRect r = Rect(0, 0, extent, 0);
        DrawTextEx(Canvas, Text, r,
            AlignmentFlag(Alignment()) | DT_WORDBREAK | DT_END_ELLIPSIS | DT_EDITCONTROL | DT_NOPREFIX
                | DT_CALCRECT);
        extent = r.Width();
    }
    if (OnMeasureTextWidth)
        OnMeasureTextWidth(*this, Canvas, Node, Column, Text, extent);
    return extent;
}

// ---- the editor's text ---------------------------------------------------------------------------

void TCustomStringGridTree::GetTextInfo(
    TGridNode *Node, TColumnIndex Column, QFont &AFont, TRect &R, QString &Text)
{
    QPainter &canvas = MeasureCanvas();
    canvas.setFont(font());
    const QFont before = canvas.font();
    DoPaintText(Node, canvas, Column, ttNormal);
    int textHeight = FTextHeight;
    if (canvas.font() == before) {
        AFont = font();
    } else {
        AFont = canvas.font();
        textHeight = QFontMetrics(AFont, canvas.device()).height();
    }
    Text = this->Text(Node, Column);
    R = GetDisplayRect(Node, Column, true, !Node->Has(vsMultiline), false);
    if (TreeOptions().PaintOptions().contains(toShowHorzGridLines))
        --R.Bottom;
    const int half = (textHeight - R.Height()) / 2;
    R.Top -= half;
    R.Bottom += half;
}

int TCustomStringGridTree::ComputeNodeHeight(
    QPainter &Canvas, TGridNode *Node, TColumnIndex Column, const QString &S)
{
    const QString text = S.isEmpty() ? Text(Node, Column) : S;
    const TGridTreeColumns &columns = Header().Columns();
    const bool useColumns = columns.IsValidColumn(Column);
    const int width = useColumns ? columns[Column].Width() : ClientWidth();
    int left = TextMargin() + Margin();
    if (!useColumns || Column == MainColumn()) {
        const TGTPaintOptions paint = TreeOptions().PaintOptions();
        const int levels = paint.contains(toFixedIndent)
            ? 1
            : int(Tree()->GetNodeLevel(Node)) + (paint.contains(toShowRoot) ? 1 : 0);
        left += levels * Indent();
    }
    unsigned format = DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX;
    if (useColumns && columns[Column].BiDiMode() != bdLeftToRight)
        format |= DT_RTLREADING | DT_RIGHT;
    TRect r = Rect(left, 0, std::max(left, width - TextMargin()), 0);
    DrawTextEx(Canvas, text, r, format);
    return r.Height();
}

int TCustomStringGridTree::DoIncrementalSearch(TGridNode *Node, const QString &Text)
{
    if (OnIncrementalSearch)
        return TGridTreeView::DoIncrementalSearch(Node, Text);
    return this->Text(Node, FocusedColumn()).startsWith(Text) ? 0 : 1;
}

QString TCustomStringGridTree::NodeText(TGridNode *Node, TColumnIndex Column)
{
    return Text(Node, Column);
}
