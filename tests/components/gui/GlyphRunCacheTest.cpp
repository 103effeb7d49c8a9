// Text drawn from kept glyphs must look exactly as text shaped at each paint:
// the same pixels for random texts, fonts, positions and colours, first laid
// out and then drawn again from the cache, and in a whole table with shortened
// texts, bold and italic rows, right-aligned numbers and selected rows.
#include "components/gui/GlyphRunCache.h"

#include "components/gui/GTColors.h"
#include "components/gui/StringGridTree.h"
#include "components/gui/TreeText.h"
#include "platform/gui/TextDraw.h"
#include "tests/components/gui/TreeViewTestSupport.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <random>

using namespace treetest;

namespace {

QString RandomText(std::mt19937 &Random)
{
    static const QString pieces[] = { "Task", "Ärger", "12.5", "1,234", "déjà vu", " ", "WWii", "fi fl", "x",
        "Montag", "— end", "שלום", "مرحبا", "(3)", "A-b_c", "ÿñ" };
    QString text;
    const int count = 1 + int(Random() % 4);
    for (int i = 0; i < count; ++i)
        text += pieces[Random() % std::size(pieces)];
    return text;
}

QImage Blank()
{
    QImage image(160, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

} // namespace

TEST(GlyphRunCache, DrawsTheSamePixelsAsShapingAtEachPaint)
{
    std::mt19937 random(7);
    TGlyphRunCache cache;
    int compared = 0;
    for (int i = 0; i < 300; ++i) {
        QFont font;
        font.setPixelSize(9 + int(random() % 8));
        font.setBold(random() % 3 == 0);
        font.setItalic(random() % 4 == 0);
        const QString text = RandomText(random);
        const int x = int(random() % 40) - 10;
        const int baseline = 10 + int(random() % 20);
        const QColor background = random() % 2 ? QColor(Qt::white) : QColor(10, 20, 200);
        const QColor pen = background == Qt::white ? QColor(Qt::black) : QColor(Qt::white);
        const bool auto_direction = random() % 2;
        const auto paint = [&](bool Cached) {
            QImage image = Blank();
            image.fill(background);
            QPainter painter(&image);
            painter.setLayoutDirection(auto_direction ? Qt::LayoutDirectionAuto : Qt::LeftToRight);
            painter.setFont(font);
            painter.setPen(pen);
            if (Cached)
                EXPECT_TRUE(cache.Draw(painter, x, baseline, text));
            else
                painter.drawText(x, baseline, text);
            return image;
        };
        const QImage shaped = paint(false);
        // Laid out on the first draw, taken from the cache on the second.
        EXPECT_EQ(paint(true), shaped) << text.toStdString();
        EXPECT_EQ(paint(true), shaped) << text.toStdString();
        QImage empty = Blank();
        empty.fill(background);
        compared += shaped != empty;
    }
    // Nearly every text lands in the image (a few start left of it).
    EXPECT_GT(compared, 250);
}

TEST(GlyphRunCache, LeavesWhatItDoesNotLayOutToTheCaller)
{
    TGlyphRunCache cache;
    QImage image = Blank();
    QPainter painter(&image);
    QFont font;
    font.setUnderline(true);
    painter.setFont(font);
    EXPECT_FALSE(cache.Draw(painter, 0, 20, "under"));
    painter.setFont(QFont());
    EXPECT_FALSE(cache.Draw(painter, 0, 20, QString()));
    EXPECT_FALSE(cache.Draw(painter, 0, 20, QString(1000, u'a')));
    painter.setLayoutDirection(Qt::RightToLeft);
    EXPECT_FALSE(cache.Draw(painter, 0, 20, "text"));
    painter.end();
    EXPECT_EQ(image, Blank());
}

// Many fonts in turn: each is still drawn right after others pushed it out.
TEST(GlyphRunCache, FontsTakenInTurnKeepTheirOwnGlyphs)
{
    TGlyphRunCache cache;
    for (int round = 0; round < 2; ++round) {
        for (int size = 8; size < 16; ++size) {
            QFont font;
            font.setPixelSize(size);
            QImage shaped = Blank();
            QImage cached = Blank();
            QPainter a(&shaped);
            a.setFont(font);
            a.drawText(2, 20, "Planning");
            QPainter b(&cached);
            b.setFont(font);
            EXPECT_TRUE(cache.Draw(b, 2, 20, "Planning"));
            a.end();
            b.end();
            EXPECT_EQ(cached, shaped) << size;
        }
    }
}

TEST(GlyphRunCache, TableLooksTheSameAsWithTextShapedAtEachPaint)
{
    std::mt19937 random(11);
    std::vector<QString> texts;
    for (int i = 0; i < 40 * 3; ++i)
        texts.push_back(i % 3 == 2 ? QString::number(int(random() % 100000)) : RandomText(random));
    TStringGridTree view;
    view.SetColor(clWhite);
    view.Colors().SetColor(TGTColors::FocusedSelectionColor, RGB(10, 20, 200));
    view.TreeOptions().SetSelectionOptions({ toFullRowSelect, toMultiSelect });
    AddColumns(view, { 45, 70, 50 });
    view.Header().Columns()[2].SetAlignment(taRightJustify);
    view.OnGetText
        = [&texts](TCustomStringGridTree &, TGridNode *Node, TColumnIndex Column, TGSTTextType,
              QString &CellText) { CellText = texts[std::size_t(Node->Index()) * 3 + std::size_t(Column)]; };
    view.OnPaintText
        = [](TCustomStringGridTree &, QPainter &Canvas, TGridNode *Node, TColumnIndex, TGSTTextType) {
              QFont font = Canvas.font();
              font.setBold(Node->Index() % 3 == 1);
              font.setItalic(Node->Index() % 4 == 2);
              Canvas.setFont(font);
          };
    view.Tree()->SetRootNodeCount(40);
    ShowTree(view, 200, 40 * 18);
    for (int row = 0; row < 40; row += 5)
        view.Tree()->SetSelected(Row(view, row), true);
    QApplication::setActiveWindow(&view);
    view.setFocus();

    const QImage cached = Screen(view);
    EXPECT_EQ(Screen(view), cached);
    int drawn = 0;
    view.OnDrawText = [&drawn](TCustomStringGridTree &, QPainter &Canvas, TGridNode *, TColumnIndex Column,
                          const QString &Text, const TRect &R, bool &Default) {
        // The same placement as the tree's, without the kept glyphs.
        const QFontMetrics metrics(Canvas.font(), Canvas.device());
        unsigned format = DT_NOPREFIX | DT_VCENTER | DT_SINGLELINE;
        if (Column == 2)
            format |= DT_RIGHT;
        ASSERT_TRUE(DrawSingleLine(
            Canvas, Text, R, format, metrics.horizontalAdvance(Text), metrics.ascent(), metrics.height()));
        ++drawn;
        Default = false;
    };
    view.viewport()->update();
    const QImage shaped = Screen(view);
    EXPECT_GT(drawn, 100);
    EXPECT_EQ(cached, shaped);
}
