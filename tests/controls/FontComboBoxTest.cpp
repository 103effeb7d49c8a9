#include "controls/FontComboBox.h"

#include "controls/FontPreview.h"
#include "controls/FontSizeComboBox.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/support/PixelTest.h"

#include <QAbstractItemView>
#include <QFontDatabase>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>

using testsupport::MakeCanvas;
using testsupport::PixelAt;
using testsupport::SavePng;

namespace {

const QString kBitmapFamily = QStringLiteral("Zeltrano Bitmap");

// Registers a bitmap family of one glyph in the sizes 16 and 24 pixels at 96
// pixels per inch, that is 12 and 18 points.
void AddBitmapFont()
{
    static QTemporaryDir dir;
    static bool added = false;
    const QString bdf = QStringLiteral(R"(STARTFONT 2.1
FONT -misc-zeltrano-medium-r-normal--%1-%20-96-96-c-60-iso10646-1
SIZE %2 96 96
FONTBOUNDINGBOX 6 %1 0 -2
STARTPROPERTIES 4
FAMILY_NAME "Zeltrano Bitmap"
FONT_ASCENT %3
FONT_DESCENT 2
DEFAULT_CHAR 65
ENDPROPERTIES
CHARS 1
STARTCHAR A
ENCODING 65
SWIDTH 600 0
DWIDTH 6 0
BBX 6 2 0 0
BITMAP
FC
FC
ENDCHAR
ENDFONT
)");
    if (added)
        return;
    added = true;
    for (int pixels : { 16, 24 }) {
        QFile file(dir.filePath(QStringLiteral("zeltrano%1.bdf").arg(pixels)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bdf.arg(pixels).arg(pixels * 72 / 96).arg(pixels - 2).toLatin1());
        file.close();
        ASSERT_GE(QFontDatabase::addApplicationFont(file.fileName()), 0);
    }
}

QStringList Items(const QComboBox &Box, int Count = -1)
{
    QStringList items;
    for (int i = 0; i < (Count < 0 ? Box.count() : Count); ++i)
        items.append(Box.itemText(i));
    return items;
}

class FontComboBox : public controlstest::GermanLocale {
protected:
    void SetUp() override
    {
        GermanLocale::SetUp();
        AddBitmapFont();
    }
};

} // namespace

TEST_F(FontComboBox, ListOffersTheWantedTypesSortedWithoutVerticalFonts)
{
    const QList<TFontFace> faces
        = { { "Zapf", ftTrueTypeAnsi }, { "@Vertical", ftTrueTypeAnsi }, { "Symbolic", ftTrueTypeSymbol },
              { "Fixed", ftRaster }, { "arial", ftTrueTypeAnsi }, { "Bitstream", ftTrueTypeAnsi } };
    auto names = [&faces](TFontTypes Types) {
        QStringList listed;
        for (const TFontFace &face : FontListItems(faces, Types))
            listed.append(face.Name);
        return listed;
    };
    EXPECT_EQ(
        names(ftTrueTypeAnsi | ftTrueTypeSymbol), QStringList({ "arial", "Bitstream", "Symbolic", "Zapf" }));
    EXPECT_EQ(names(ftRaster | ftTrueTypeAnsi), QStringList({ "arial", "Bitstream", "Fixed", "Zapf" }));

    TScFontComboBox box;
    const int liberation = box.findText(testsupport::TestFontFamily);
    ASSERT_GE(liberation, 0);
    EXPECT_EQ(box.ItemFontType(liberation), "TA");
    EXPECT_EQ(box.findText(kBitmapFamily), -1);
    box.SetFontTypes(ftTrueTypeAnsi | ftTrueTypeSymbol | ftRaster);
    ASSERT_GE(box.findText(kBitmapFamily), 0);
    EXPECT_EQ(box.ItemFontType(box.findText(kBitmapFamily)), "R");
}

TEST_F(FontComboBox, ChosenFontsGoOnTopOnceAndTheirNumberIsCapped)
{
    TScFontComboBox box;
    const int fonts = box.count();
    box.SetFontName("Liberation Sans");
    EXPECT_EQ(box.FontName(), "Liberation Sans");
    EXPECT_EQ(box.UsedCount(), 1);
    EXPECT_EQ(box.currentIndex(), 0);
    box.SetFontName("DejaVu Serif");
    box.SetFontName("Liberation Sans");
    EXPECT_EQ(Items(box, 2), QStringList({ "Liberation Sans", "DejaVu Serif" }));
    EXPECT_EQ(box.UsedCount(), 2);
    EXPECT_EQ(box.count(), fonts + 2);

    for (const char *name : { "Liberation Mono", "Liberation Serif", "DejaVu Sans", "DejaVu Sans Mono" })
        box.SetFontName(name);
    EXPECT_EQ(box.UsedCount(), 5);
    EXPECT_EQ(Items(box, 5),
        QStringList(
            { "DejaVu Sans Mono", "DejaVu Sans", "Liberation Serif", "Liberation Mono", "Liberation Sans" }));
    EXPECT_EQ(box.count(), fonts + 5);

    // A name is chosen as a whole, not as the end of a longer one.
    box.SetFontName("Serif");
    EXPECT_EQ(box.itemText(0), "Serif");
    box.SetFontName("Wingdings");
    EXPECT_EQ(box.FontName(), "Wingdings");
    EXPECT_EQ(box.currentIndex(), -1);
}

TEST_F(FontComboBox, ChoosingFromTheOpenListWithPreview)
{
    TScFontComboBox box;
    box.SetFontName("Liberation Sans");
    ASSERT_TRUE(controlstest::ShowActive(box));
    QSignalSpy clicked(&box, &TScFontComboBox::Clicked);

    box.showPopup();
    QAbstractItemView *list = box.view();
    ASSERT_TRUE(list->isVisible());
    EXPECT_TRUE(box.Preview()->isVisible());
    EXPECT_EQ(box.Preview()->FontName(), "Liberation Sans");
    EXPECT_EQ(box.Preview()->SampleText(), "AaBbYyZz");
    EXPECT_EQ(box.Preview()->pos(), box.mapToGlobal(QPoint(box.width(), box.height())));
    EXPECT_FALSE(box.Preview()->isActiveWindow());
    SavePng(list->window()->grab().toImage(), "font_combo_open_list");

    const QModelIndex serif = list->model()->index(box.findText("Liberation Serif", Qt::MatchExactly), 0);
    list->scrollTo(serif);
    QTest::mouseMove(list->viewport(), list->visualRect(serif).center());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(serif).center());
    EXPECT_TRUE(QTest::qWaitFor([&] { return box.FontName() == "Liberation Serif"; }));
    EXPECT_FALSE(box.Preview()->isVisible());
    EXPECT_EQ(box.itemText(0), "Liberation Serif");
    EXPECT_EQ(box.UsedCount(), 2);
    EXPECT_EQ(clicked.count(), 1);

    // Keys on the closed box choose too, without reordering.
    QTest::keyClick(&box, Qt::Key_Down);
    EXPECT_EQ(box.FontName(), "Liberation Sans");
    EXPECT_EQ(box.itemText(0), "Liberation Serif");
    EXPECT_EQ(clicked.count(), 2);
}

TEST_F(FontComboBox, ItemsShowTypePictureNameAndChosenColour)
{
    TScFontComboBox box;
    box.SetFontName("Liberation Serif");
    box.SetFontName("Liberation Sans");
    // Item Index painted into a 200 x 18 canvas; the darkest pixel of columns
    // From..To-1 above the bottom row.
    auto ink = [&box](int Index, bool InList, int From, int To) {
        QImage image = MakeCanvas(200, 18);
        QPainter painter(&image);
        box.DrawItem(painter, Index, Rect(0, 0, 200, 18), false, InList);
        TColor darkest = clWhite;
        for (int x = From; x < To; ++x) {
            for (int y = 0; y < 17; ++y) {
                const TColor c = PixelAt(image, x, y);
                if (GetRValue(c) + GetGValue(c) + GetBValue(c)
                    < GetRValue(darkest) + GetGValue(darkest) + GetBValue(darkest))
                    darkest = c;
            }
        }
        return std::pair(darkest, PixelAt(image, 150, 17));
    };

    // The type picture from x = 2, the name from x = 20; chosen fonts in the open
    // list in navy, a grey line under the last of them.
    EXPECT_EQ(ink(1, true, 0, 2).first, clWhite);
    EXPECT_NE(ink(1, true, 2, 18).first, clWhite);
    EXPECT_EQ(ink(1, true, 18, 20).first, clWhite);
    const auto [usedInk, line] = ink(1, true, 20, 120);
    EXPECT_LT(GetRValue(usedInk), 0x40);
    EXPECT_GT(GetBValue(usedInk), 0x60);
    EXPECT_EQ(line, GetSysColor(COLOR_GRAYTEXT));
    // In the closed box and below the chosen part: black, no line.
    EXPECT_LT(GetBValue(ink(1, false, 20, 120).first), 0x40);
    EXPECT_EQ(ink(5, true, 20, 120).second, clWhite);
    // Without pictures the name starts at x = 4.
    box.SetShowImagesFontType(false);
    EXPECT_EQ(ink(1, false, 0, 4).first, clWhite);
    EXPECT_NE(ink(1, false, 4, 8).first, clWhite);
}

TEST_F(FontComboBox, SizesForScalableAndBitmapFonts)
{
    const QStringList scalable
        = { "8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26", "28", "36", "48", "72" };
    TFontSizeComboBox sizes;
    sizes.SetFontName("Liberation Sans");
    EXPECT_EQ(Items(sizes), scalable);
    sizes.setEditText("11");
    sizes.SetFontName(kBitmapFamily);
    EXPECT_EQ(Items(sizes), QStringList({ "12", "18" }));
    EXPECT_EQ(sizes.currentText(), "11");
    // A font this machine lacks is drawn scalable.
    sizes.SetFontName("Wingdings");
    EXPECT_EQ(Items(sizes), scalable);
}
