// The string tree's texts as they reach the screen: what OnDrawText is handed
// (text and rectangle, worked out from the margins: Margin 4 before the
// content, TextMargin 4 on both sides of the text, one indent of 18 for the
// root level in the main column) and the pixels they leave.
#include "components/gui/StringGridTree.h"

#include "components/gui/DrawGridTree.h"
#include "tests/components/gui/TreeViewTestSupport.h"

#include <QFontMetrics>
#include <QPainter>
#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string_view>

using namespace treetest;
using testsupport::PixelAt;

namespace {

struct TDrawn {
    TColumnIndex Column;
    int Row;
    QString Text;
    TRect Rect;
};

// A string tree with texts by row and column, recording what it draws.
struct TTextTree {
    TStringGridTree view;
    std::function<QString(int Row, TColumnIndex Column)> text;
    std::vector<TDrawn> drawn;

    explicit TTextTree(std::initializer_list<int> Widths)
    {
        view.SetColor(clWhite);
        AddColumns(view, Widths);
        view.OnGetText = [this](TCustomStringGridTree &, TGridNode *Node, TColumnIndex Column,
                             TGSTTextType Type, QString &Text) {
            if (text && Type == ttNormal)
                Text = text(int(Node->Index()), Column);
        };
        view.OnDrawText = [this](TCustomStringGridTree &, QPainter &, TGridNode *Node, TColumnIndex Column,
                              const QString &Text, const TRect &R, bool &) {
            drawn.push_back({ Column, int(Node->Index()), Text, R });
        };
    }

    const TDrawn *Find(int Row, TColumnIndex Column) const
    {
        for (const TDrawn &d : drawn)
            if (d.Row == Row && d.Column == Column)
                return &d;
        return nullptr;
    }

    QImage Paint()
    {
        drawn.clear();
        return Screen(view);
    }
};

int Width(const TGridTreeView &View, const QString &Text, bool Bold = false)
{
    QFont font = View.font();
    font.setBold(Bold);
    return QFontMetrics(font).horizontalAdvance(Text);
}

// The leftmost and rightmost columns of non-white pixels in a band of rows.
std::pair<int, int> Ink(const QImage &Image, int Top, int Bottom, int Left = 0, int Right = -1)
{
    if (Right < 0)
        Right = Image.width();
    int first = -1;
    int last = -1;
    for (int x = Left; x < Right; ++x)
        for (int y = Top; y < Bottom; ++y)
            if (PixelAt(Image, x, y) != clWhite) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
    return { first, last };
}

} // namespace

TEST(StringTree, CellsWithoutAHandlerShowNode)
{
    TStringGridTree view;
    AddColumns(view, { 80, 80 });
    view.Tree()->SetRootNodeCount(2);
    QStringList texts;
    view.OnDrawText = [&texts](TCustomStringGridTree &, QPainter &, TGridNode *, TColumnIndex,
                          const QString &Text, const TRect &, bool &) { texts << Text; };
    ShowTree(view, 200, 60);
    texts.clear();
    Screen(view);
    EXPECT_EQ(texts, QStringList({ "Node", "Node", "Node", "Node" }));
    EXPECT_EQ(view.Text(Row(view, 1), 1), "Node");
    view.SetDefaultText(QStringLiteral("Leer"));
    EXPECT_EQ(view.Text(Row(view, 1), 0), "Leer");
    EXPECT_THROW(view.Text(nullptr, 0), EGridTreeAssertion);
}

TEST(StringTree, TextTooWideEndsInAnEllipsisInsideItsCell)
{
    TTextTree tree({ 100, 60, 60, 15 });
    const QString longText = QStringLiteral("A long text that does not fit");
    tree.text = [&](int, TColumnIndex Column) { return Column == 1 || Column == 3 ? longText : QString(); };
    tree.view.Tree()->SetRootNodeCount(1);
    ShowTree(tree.view, 300, 40);
    const QImage image = tree.Paint();

    // Column 1 spans 100 to 160: the text has 108 to 156.
    const TDrawn *cut = tree.Find(0, 1);
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->Rect, Rect(108, 0, 156, 18));
    ASSERT_TRUE(cut->Text.endsWith("..."));
    const QString prefix = cut->Text.chopped(3);
    EXPECT_TRUE(longText.startsWith(prefix));
    EXPECT_LE(Width(tree.view, cut->Text), 48);
    EXPECT_GT(Width(tree.view, longText.left(prefix.size() + 1) + "..."), 48);
    // Nothing of it reaches the next (empty) cell.
    EXPECT_EQ(Ink(image, 0, 18, 160, 220).first, -1);
    EXPECT_GE(Ink(image, 0, 18, 100, 160).first, 108);

    // Column 3 leaves 3 pixels: not even room for "...".
    const TDrawn *none = tree.Find(0, 3);
    ASSERT_TRUE(none);
    EXPECT_EQ(none->Text, "");
}

TEST(StringTree, ShortenedTextsStartLeftUnlessRightAligned)
{
    TTextTree tree({ 40, 80 });
    TGridTreeColumn &column = tree.view.Header().Columns()[1];
    column.SetAlignment(taCenter);
    tree.text = [](int Row, TColumnIndex Column) {
        return Column == 0 ? QString()
            : Row == 0     ? QStringLiteral("Wide text shortened here")
                           : QStringLiteral("ab");
    };
    tree.view.Tree()->SetRootNodeCount(2);
    ShowTree(tree.view, 200, 60);
    // The text area is 48 to 112 (64 pixels).
    QImage image = tree.Paint();
    EXPECT_LE(Ink(image, 0, 18, 40).first, 50);
    const int ab = Width(tree.view, "ab");
    const int centred = 48 + (64 - ab) / 2;
    EXPECT_GE(Ink(image, 18, 36, 40).first, centred - 1);
    EXPECT_LE(Ink(image, 18, 36, 40).first, centred + 2);

    column.SetAlignment(taRightJustify);
    image = tree.Paint();
    EXPECT_GE(Ink(image, 0, 18, 40).second, 108);
    EXPECT_GE(Ink(image, 18, 36, 40).second, 108);
}

TEST(StringTree, LongMainTextSpansIntoEmptyCells)
{
    TTextTree tree({ 60, 60, 60 });
    const QString main = QStringLiteral("Main text over two");
    bool secondEmpty = true;
    tree.text = [&](int, TColumnIndex Column) {
        return Column == 0 ? main
            : Column == 1  ? (secondEmpty ? QString() : QStringLiteral("x"))
                           : QStringLiteral("Z");
    };
    tree.view.Tree()->SetRootNodeCount(1);
    AddPaintOptions(tree.view, {});
    TGTAutoOptions autoOptions = tree.view.TreeOptions().AutoOptions();
    autoOptions.include(toAutoSpanColumns);
    tree.view.TreeOptions().SetAutoOptions(autoOptions);
    ShowTree(tree.view, 200, 40);

    tree.Paint();
    // The main cell takes the empty second one: text from 4 + 18 + 4 to 120 - 4.
    const TDrawn *spanned = tree.Find(0, 0);
    ASSERT_TRUE(spanned);
    EXPECT_EQ(spanned->Rect, Rect(26, 0, 116, 18));
    EXPECT_EQ(spanned->Text, main);
    EXPECT_FALSE(tree.Find(0, 1));
    ASSERT_TRUE(tree.Find(0, 2));

    // With text in the second cell the main one keeps its own width.
    secondEmpty = false;
    tree.view.InvalidateNode(Row(tree.view, 0));
    tree.Paint();
    EXPECT_EQ(tree.Find(0, 0)->Rect, Rect(26, 0, 56, 18));
    EXPECT_TRUE(tree.Find(0, 0)->Text.endsWith("..."));
}

TEST(StringTree, MultiLineRowsWrapWithinTheirCell)
{
    TTextTree tree({ 40, 70 });
    tree.text = [](int, TColumnIndex Column) {
        return Column == 1 ? QStringLiteral("alpha beta gamma delta epsilon") : QString();
    };
    tree.view.Tree()->OnInitNode = [](TBaseGridTree &, TGridNode *, TGridNode *,
                                       TGridNodeInitStates &States) { States.include(ivsMultiline); };
    tree.view.Tree()->SetRootNodeCount(1);
    tree.view.Tree()->SetNodeHeight(Row(tree.view, 0), 60);
    ShowTree(tree.view, 200, 80);
    const QImage image = tree.Paint();
    // Text from 48 to 106, lines from the cell's top.
    const int line = QFontMetrics(tree.view.font()).height();
    int lines = 0;
    for (int top = 0; top + line <= 60; top += line)
        if (Ink(image, top, top + line, 40, 110).first >= 0)
            ++lines;
    EXPECT_GE(lines, 3);
    EXPECT_GE(Ink(image, 0, 60, 40, 110).first, 48);
    EXPECT_LT(Ink(image, 0, 60, 40, 110).second, 106);
    EXPECT_EQ(Ink(image, 0, 60, 110).first, -1);
}

// A width change measures multi-line rows again (they wrap anew); a tree that
// never had one skips the walk over its nodes, and emptying the tree forgets them.
TEST(StringTree, AWidthChangeMeasuresMultiLineRowsAgain)
{
    TTextTree tree({ 40, 70 });
    tree.text = [](int, TColumnIndex) { return QStringLiteral("alpha beta gamma"); };
    bool multiline = false;
    tree.view.Tree()->OnInitNode
        = [&multiline](TBaseGridTree &, TGridNode *, TGridNode *, TGridNodeInitStates &States) {
              if (multiline)
                  States.include(ivsMultiline);
          };
    tree.view.Tree()->SetRootNodeCount(2);
    ShowTree(tree.view, 200, 80);
    EXPECT_FALSE(tree.view.Tree()->MayHaveMultilineNodes());

    tree.view.Tree()->Clear();
    multiline = true;
    tree.view.Tree()->SetRootNodeCount(2);
    TGridNode *node = tree.view.Tree()->GetNext(tree.view.Tree()->GetFirst());
    ASSERT_TRUE(node && node->Has(vsMultiline));
    EXPECT_TRUE(tree.view.Tree()->MayHaveMultilineNodes());
    tree.view.Tree()->SetHeightMeasured(node, true);
    tree.view.Header().Columns().Items(1).SetWidth(90);
    EXPECT_FALSE(node->Has(vsHeightMeasured));

    tree.view.Tree()->Clear();
    EXPECT_FALSE(tree.view.Tree()->MayHaveMultilineNodes());
}

TEST(StringTree, StaticTextFollowsTheNormalText)
{
    TTextTree tree({ 200 });
    tree.view.StringTreeOptions().SetStringOptions({ toShowStaticText });
    tree.view.OnGetText
        = [](TCustomStringGridTree &, TGridNode *, TColumnIndex, TGSTTextType Type, QString &Text) {
              Text = Type == ttNormal ? QStringLiteral("Main") : QStringLiteral("Static");
          };
    tree.view.Tree()->SetRootNodeCount(1);
    ShowTree(tree.view, 250, 40);
    tree.Paint();
    ASSERT_EQ(tree.drawn.size(), 2u);
    EXPECT_EQ(tree.drawn[0].Text, "Main");
    EXPECT_EQ(tree.drawn[0].Rect.Left, 26);
    EXPECT_EQ(tree.drawn[1].Text, "Static");
    // After the content's left edge (22) by the main text's width (text
    // margins included) and one more text margin.
    EXPECT_EQ(tree.drawn[1].Rect.Left, 22 + Width(tree.view, "Main") + 8 + 4);
    EXPECT_EQ(tree.drawn[1].Rect.Right, 200);
}

TEST(StringTree, MainColumnWidthIsMeasuredOncePerNode)
{
    TTextTree tree({ 100, 100 });
    tree.text = [](int Row, TColumnIndex Column) {
        return QStringLiteral("Row %1 column %2").arg(Row).arg(Column);
    };
    std::map<TColumnIndex, int> measured;
    tree.view.OnMeasureTextWidth = [&measured](TCustomStringGridTree &, QPainter &, TGridNode *,
                                       TColumnIndex Column, const QString &, int &) { ++measured[Column]; };
    tree.view.Tree()->SetRootNodeCount(3);
    ShowTree(tree.view, 250, 80);
    tree.Paint();
    measured.clear();
    tree.Paint();
    EXPECT_EQ(measured[0], 0);
    EXPECT_EQ(measured[1], 3);

    // A changed node is measured again, and all of them after a font change.
    measured.clear();
    tree.view.InvalidateNode(Row(tree.view, 1));
    tree.Paint();
    EXPECT_EQ(measured[0], 1);
    measured.clear();
    QFont bigger = tree.view.font();
    bigger.setPointSize(12);
    tree.view.setFont(bigger);
    tree.Paint();
    EXPECT_EQ(measured[0], 3);
    EXPECT_EQ(tree.view.TextHeight(), QFontMetrics(bigger).height());
    EXPECT_EQ(tree.view.EllipsisWidth(), QFontMetrics(bigger).horizontalAdvance("..."));

    // A new text goes to OnNewText.
    QString received;
    tree.view.OnNewText = [&received](TCustomStringGridTree &, TGridNode *, TColumnIndex,
                              const QString &Text) { received = Text; };
    measured.clear();
    tree.view.SetText(Row(tree.view, 2), 0, QStringLiteral("new"));
    tree.Paint();
    EXPECT_EQ(received, "new");
    EXPECT_EQ(measured[0], 1);
}

TEST(StringTree, BoldTextFromOnPaintTextWidensTheNode)
{
    TStringGridTree view;
    view.OnPaintText
        = [](TCustomStringGridTree &, QPainter &Canvas, TGridNode *Node, TColumnIndex, TGSTTextType) {
              if (Node->Index() == 1) {
                  QFont font = Canvas.font();
                  font.setBold(true);
                  Canvas.setFont(font);
              }
          };
    view.Tree()->SetRootNodeCount(2);
    ShowTree(view, 200, 60);
    const int plain = Width(view, "Node") + 8;
    const int bold = Width(view, "Node", true) + 8;
    ASSERT_GT(bold, plain);
    EXPECT_EQ(view.GetDisplayRect(Row(view, 0), NoColumn, true).Width(), plain);
    EXPECT_EQ(view.GetDisplayRect(Row(view, 1), NoColumn, true).Width(), bold);
    EXPECT_EQ(view.GetMaxRightExtend(), 18 + bold + 4);

    // The editor gets the bold font and a rectangle of the bold text.
    QFont font;
    TRect r;
    QString text;
    view.GetTextInfo(Row(view, 1), NoColumn, font, r, text);
    EXPECT_TRUE(font.bold());
    EXPECT_EQ(text, "Node");
    EXPECT_EQ(r.Left, 22);
    EXPECT_EQ(r.Width(), bold - 1);
    view.GetTextInfo(Row(view, 0), NoColumn, font, r, text);
    EXPECT_FALSE(font.bold());
}

namespace {

// Content 30 pixels wide.
class TMarginTree : public TGridTreeView {
public:
    using TGridTreeView::DoGetCellContentMargin;
    using TGridTreeView::TGridTreeView;

protected:
    int DoGetNodeWidth(TGridNode *, TColumnIndex, QPainter *) override { return 30; }
};

} // namespace

namespace {

// Content as wide as a text in the measuring canvas's font, a little wider on
// every third row: a font a margin handler left behind would show in it.
class TFontMeasuringTree : public TGridTreeView {
public:
    using TGridTreeView::DoGetCellContentMargin;
    using TGridTreeView::MeasureCanvas;
    using TGridTreeView::TGridTreeView;

    int DoGetNodeWidth(TGridNode *Node, TColumnIndex, QPainter *Canvas) override
    {
        const QPainter &canvas = Canvas ? *Canvas : MeasureCanvas();
        return QFontMetrics(canvas.font()).horizontalAdvance(QStringLiteral("MMMMMMMMMMMM"))
            + int(Node->Index() % 3) * 5;
    }
};

} // namespace

// Fitting a column asks every row's margin on one canvas without a save and a
// restore a row: what a margin handler changes on the canvas must neither reach
// the next row's handler nor the measuring, so the width equals the one the rows
// give asked one at a time.
TEST(StringTree, FittingAColumnAsksEachRowsMarginOnAnUnchangedCanvas)
{
    TFontMeasuringTree view;
    view.SetColor(clWhite);
    AddColumns(view, { 40, 40, 40 });
    view.Header().Columns()[1].SetText(QString());
    view.Tree()->SetRootNodeCount(12);
    std::vector<TRect> cells;
    view.OnBeforeCellPaint = [&cells](TGridTreeView &, QPainter &Canvas, TGridNode *Node, TColumnIndex,
                                 TGTCellPaintMode Mode, const TRect &Cell, TRect &Content) {
        if (Mode != cpmGetContentMargin)
            return;
        cells.push_back(Cell);
        // The margin reads the canvas as the handler found it, then changes it.
        Content.Left = Cell.Left + Canvas.pen().width() + int(Node->Index() % 4);
        QFont big = Canvas.font();
        big.setPixelSize(40);
        Canvas.setFont(big);
        Canvas.setPen(QPen(Qt::red, 9));
        Canvas.setBrush(Qt::green);
        Canvas.translate(7, 7);
        Canvas.setOpacity(0.5);
        Canvas.setClipRect(0, 0, 1, 1);
    };
    ShowTree(view, 300, 200);
    QPainter &canvas = view.MeasureCanvas();
    const QFont font = canvas.font();
    const QPen pen = canvas.pen();
    const QTransform transform = canvas.worldTransform();

    int widest = 0;
    for (int row = 0; row < 12; ++row)
        widest = std::max(widest,
            view.DoGetCellContentMargin(Row(view, row), 1).x()
                + view.DoGetNodeWidth(Row(view, row), 1, nullptr));
    cells.clear();
    const int fitted = view.GetMaxColumnWidth(1);
    const int lines = view.TreeOptions().PaintOptions().contains(toShowVertGridLines) ? 1 : 0;
    EXPECT_EQ(fitted, view.Margin() + widest + lines);
    // Twelve rows of the second column, each asked in the column's bounds.
    ASSERT_EQ(cells.size(), 12U);
    int left = 0, right = 0;
    view.Header().Columns().GetColumnBounds(1, left, right);
    for (const TRect &cell : cells)
        EXPECT_TRUE(cell.Left == left && cell.Right == right);
    // The canvas is as it was before the fit.
    EXPECT_TRUE(canvas.font() == font);
    EXPECT_TRUE(canvas.pen() == pen);
    EXPECT_TRUE(canvas.worldTransform() == transform);
    EXPECT_FALSE(canvas.hasClipping());
    EXPECT_EQ(canvas.opacity(), 1.0);
}

TEST(StringTree, ContentMarginsAreAskedWithoutPainting)
{
    TMarginTree view;
    view.SetColor(clWhite);
    AddColumns(view, { 100 });
    view.Tree()->SetRootNodeCount(1);
    int asked = 0;
    view.OnBeforeCellPaint = [&asked](TGridTreeView &, QPainter &Canvas, TGridNode *, TColumnIndex,
                                 TGTCellPaintMode Mode, const TRect &Cell, TRect &Content) {
        // A handler that paints in either mode: only the paint reaches the screen.
        Canvas.fillRect(ToQRect(Cell), Qt::black);
        if (Mode == cpmGetContentMargin) {
            ++asked;
            Content = Rect(Cell.Left + 3, Cell.Top + 2, Cell.Right - 5, Cell.Bottom - 4);
        }
    };
    ShowTree(view, 150, 40);
    EXPECT_EQ(view.DoGetCellContentMargin(Row(view, 0), 0), QPoint(8, 6));
    EXPECT_EQ(view.DoGetCellContentMargin(Row(view, 0), 0, ccmtTopLeftOnly), QPoint(3, 2));
    EXPECT_EQ(view.DoGetCellContentMargin(Row(view, 0), 0, ccmtBottomRightOnly), QPoint(5, 4));
    EXPECT_EQ(asked, 3);
    // The content's rectangle: after margin and indent (22), 30 wide, moved in
    // by the handler's left margin.
    EXPECT_EQ(view.GetDisplayRect(Row(view, 0), 0, true, false, true), Rect(25, 2, 55, 14));
    EXPECT_EQ(PixelAt(Screen(view), 120, 30), clWhite);
    EXPECT_EQ(PixelAt(Screen(view), 50, 9), clBlack);
}

// An owner whose cell handler keeps no margins is not asked for them, neither by
// the fit of a column nor for a content rectangle; the handler still paints.
TEST(StringTree, AnOwnerWithoutMarginsIsNotAskedForThem)
{
    TMarginTree view;
    view.SetColor(clWhite);
    AddColumns(view, { 100 });
    view.Tree()->SetRootNodeCount(3);
    int asked = 0;
    int painted = 0;
    view.OnBeforeCellPaint
        = [&](TGridTreeView &, QPainter &, TGridNode *, TColumnIndex, TGTCellPaintMode Mode, const TRect &,
              TRect &) { ++(Mode == cpmGetContentMargin ? asked : painted); };
    view.SetNoContentMargins(true);
    ShowTree(view, 150, 60);
    const int lines = view.TreeOptions().PaintOptions().contains(toShowVertGridLines) ? 1 : 0;
    EXPECT_EQ(view.GetMaxColumnWidth(0), view.Margin() + view.Indent() + 30 + lines);
    EXPECT_EQ(view.DoGetCellContentMargin(Row(view, 0), 0), QPoint());
    EXPECT_EQ(asked, 0);
    Screen(view);
    EXPECT_GT(painted, 0);
    // Asked again once the owner says it may keep margins.
    view.SetNoContentMargins(false);
    view.GetMaxColumnWidth(0);
    EXPECT_EQ(asked, 3);
}

// Fitting columns of random texts in fonts that change from row to row gives each
// column the width of its widest text as the font shapes it whole: summing texts
// from their character pairs changes no width.
TEST(StringTree, FittedColumnsHoldTheirWidestTextsAsShaped)
{
    TTextTree tree({ 40, 40, 40 });
    TStringGridTree &view = tree.view;
    QFont base(QStringLiteral("Liberation Sans"));
    base.setPixelSize(12);
    view.setFont(base);
    const auto fontOf = [&base](int Row) {
        QFont font = base;
        font.setBold(Row % 3 == 0);
        font.setItalic(Row % 5 == 0);
        return font;
    };
    view.OnPaintText = [&fontOf](TCustomStringGridTree &, QPainter &Canvas, TGridNode *Node, TColumnIndex,
                           TGSTTextType) { Canvas.setFont(fontOf(int(Node->Index()))); };
    static constexpr std::u16string_view Letters = u"AVTWYLPfilrty.,-'1047 \u00e4\u00df\u00c9";
    std::mt19937 random(3);
    std::uniform_int_distribution<int> length(1, 30);
    std::uniform_int_distribution<int> pick(0, int(Letters.size()) * 8);
    // Enough texts for each font to learn its pairs.
    constexpr int Rows = 2500;
    std::vector<std::array<QString, 3>> texts(Rows);
    for (auto &row : texts)
        for (QString &text : row)
            for (int n = length(random); n > 0; --n) {
                const int i = pick(random);
                // Now and then a character the sums leave to shaping.
                text += i >= int(Letters.size()) * 8 ? QChar(u'\u0301')
                                                     : QChar(Letters[std::size_t(i % Letters.size())]);
            }
    tree.text
        = [&texts](int Row, TColumnIndex Column) { return texts[std::size_t(Row)][std::size_t(Column)]; };
    for (int column = 0; column < 3; ++column)
        view.Header().Columns()[column].SetText(QString());
    view.Tree()->SetRootNodeCount(Rows);
    ShowTree(view, 300, 200);

    const int lines = view.TreeOptions().PaintOptions().contains(toShowVertGridLines) ? 1 : 0;
    std::array<int, 3> widest {};
    for (int column = 1; column < 3; ++column)
        for (int row = 0; row < Rows; ++row)
            widest[std::size_t(column)] = std::max(widest[std::size_t(column)],
                QFontMetrics(fontOf(row)).horizontalAdvance(texts[std::size_t(row)][std::size_t(column)]));
    // Again as the first fits teach the fonts their pairs.
    for (int round = 0; round < 6; ++round)
        for (int column = 1; column < 3; ++column)
            EXPECT_EQ(view.GetMaxColumnWidth(column),
                view.Margin() + 2 * view.TextMargin() + widest[std::size_t(column)] + lines)
                << column << " " << round;
}

TEST(StringTree, DrawTreeOwnerMeasuresAndDrawsTheContent)
{
    TCustomDrawGridTree view;
    view.SetColor(clWhite);
    view.Tree()->SetRootNodeCount(2);
    view.OnGetNodeWidth
        = [](TCustomDrawGridTree &Tree, QPainter &, TGridNode *Node, TColumnIndex, int &Width) {
              EXPECT_EQ(Width, 2 * Tree.TextMargin());
              Width = 20 + 10 * int(Node->Index());
          };
    view.OnDrawNode = [](TCustomDrawGridTree &, const TGTPaintInfo &Info) {
        Info.Canvas->fillRect(QRect(Info.ContentRect.Left, 2, Info.NodeWidth, 4), Qt::black);
    };
    ShowTree(view, 120, 50);
    const QImage image = Screen(view);
    EXPECT_EQ(PixelAt(image, 22, 3), clBlack);
    EXPECT_EQ(PixelAt(image, 41, 3), clBlack);
    EXPECT_EQ(PixelAt(image, 42, 3), clWhite);
    EXPECT_EQ(PixelAt(image, 51, 21), clBlack);
    EXPECT_EQ(PixelAt(image, 52, 21), clWhite);
}

// A main-column text that grew while nobody told the tree (a position renamed in
// many rows at once) is shortened with "..." at the next paint, not clipped after
// the width measured for the old text.
TEST(StringTree, AMainColumnTextThatGrewUnannouncedIsShortenedAtOnce)
{
    TTextTree tree({ 80, 60 });
    QString name = "Saw";
    tree.text = [&](int, TColumnIndex Column) { return Column == 0 ? name : QString(); };
    tree.view.Tree()->SetRootNodeCount(1);
    tree.Paint();
    ASSERT_NE(tree.Find(0, 0), nullptr);
    EXPECT_EQ(tree.Find(0, 0)->Text, "Saw");

    name = "Saw of the second press line";
    tree.view.viewport()->update();
    tree.Paint();
    const TDrawn *cut = tree.Find(0, 0);
    ASSERT_NE(cut, nullptr);
    EXPECT_TRUE(cut->Text.endsWith("...")) << cut->Text.toStdString();
    EXPECT_LE(Width(tree.view, cut->Text), cut->Rect.Width());
}
