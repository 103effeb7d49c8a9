#include "platform/gui/Fonts.h"
#include "tests/timechart/ChartPaintFixture.h"
#include "timechart/CaptionPainter.h"

#include <QFile>
#include <QPicture>
#include <QTemporaryDir>

using testsupport::PixelAt;
using testsupport::Unpainted;

namespace {

// The chart for printing and export: 400 x 200 from Monday 1 January at 30 pixels a
// day, so the third header row shows days and each day line lies on a multiple of 30.
class ChartExportTest : public charttest::ChartPaintTest {
protected:
    QTemporaryDir folder;

    void SetUp() override
    {
        ChartPaintTest::SetUp();
        SetPositions({ charttest::PositionItem("A"), charttest::PositionItem("B") });
        geometry.ColWidth = 30;
        painter.SetLogoFolder(folder.path());
    }

    void Draw(QPainter &p)
    {
        painter.DrawBitmap(
            TChartCanvas(p, TCanvasKind::Other), Jan1, Jan1 + 400.0 / 30, 0, 0, 400, 200, false, 0, 0);
    }

    QImage Image()
    {
        QImage image = testsupport::MakeCanvas(400, 200, Unpainted);
        QPainter p(&image);
        Draw(p);
        return image;
    }

    // The label column's box: as wide as the label of the widest name.
    TRect LogoBox()
    {
        QImage scratch = testsupport::MakeCanvas(1, 1);
        QPainter p(&scratch);
        p.setFont(MakeFont(geometry.TimeChartFontName(), 8, 96));
        return Rect(0, 0, geometry.PositionRect(p, 0, 0, 400, 42).Width(), 40);
    }

    void WriteLogo(const QByteArray &bytes)
    {
        QFile file(painter.LogoFileName());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

} // namespace

TEST_F(ChartExportTest, TheHeaderLinesUpWithTheBodyRightOfTheLabelColumn)
{
    const QImage image = Keep(Image(), "chart");
    const TRect box = LogoBox();
    ASSERT_LT(box.Right, 30);
    // Day 2 begins at 30 in the header's day row and in the body below it.
    EXPECT_PIXEL(image, 30, 28, CaptionLineColor);
    EXPECT_PIXEL(image, 30, 100, GridColor);
    EXPECT_PIXEL(image, 45, 100, ChartBackColor);
    // The header leaves the label column alone; without a logo it stays empty.
    EXPECT_PIXEL(image, box.Right / 2, 20, Unpainted);
    EXPECT_PIXEL(image, box.Right, 20, CaptionWeekBackColor);
}

TEST_F(ChartExportTest, ALogoBesideTheProgramFillsTheLabelColumnsBox)
{
    QImage red(40, 20, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(painter.LogoFileName(), "JPG", 95));
    const QImage image = Keep(Image(), "logo");
    const TRect box = LogoBox();
    // Scaled to the box's width, centred in its height.
    const TColor centre = PixelAt(image, box.Right / 2, 20);
    EXPECT_GT(GetRValue(centre), 200);
    EXPECT_LT(GetGValue(centre), 60);
    EXPECT_PIXEL(image, box.Right / 2, 2, Unpainted);

    // The same recorded as a page.
    QPicture page;
    {
        QPainter p(&page);
        Draw(p);
    }
    QImage played = testsupport::MakeCanvas(400, 200, Unpainted);
    {
        QPainter p(&played);
        p.drawPicture(0, 0, page);
    }
    Keep(played, "page");
    EXPECT_GT(GetRValue(PixelAt(played, box.Right / 2, 20)), 200);
    EXPECT_PIXEL(played, 30, 28, CaptionLineColor);
    EXPECT_PIXEL(played, 30, 100, GridColor);
}

TEST_F(ChartExportTest, ALogoThatCannotBeReadLeavesTheBoxEmpty)
{
    WriteLogo(QByteArray("\xFF\xD8\xFF\xE0 this is no picture", 24));
    const QImage image = Keep(Image(), "broken");
    EXPECT_PIXEL(image, LogoBox().Right / 2, 20, Unpainted);
    EXPECT_PIXEL(image, 30, 100, GridColor);
}

// A generated plan as printing and export draw it, saved for a person to look at:
// weekends, holidays, absent days, bars with all nine texts, overlaps, a selection,
// a filtered bar, deadline arrows and the header rows.
TEST_F(ChartExportTest, AGeneratedPlanIsSavedForAPerson)
{
    GenerateDocument(doc, charttest::PicturePlan());
    DocumentTable &tasks = doc.GetTable(tbTable);
    TNodeData *first = tasks.First();
    TNodeData *second = tasks.Next(first);
    tasks.SetSelected(first, true);
    doc.SetNodeFiltered(second, true);
    doc.SetOverlappingNodes({ tasks.Next(second) });
    geometry.ColWidth = 28;
    const TDateTime start = charttest::PictureStart; // a Monday
    painter.SetNow([&] { return start + 9.5; });
    QImage image = testsupport::MakeCanvas(1400, 420, clWhite);
    {
        QPainter p(&image);
        painter.DrawBitmap(
            TChartCanvas(p, TCanvasKind::Other), start, start + 50, 0, 0, 1400, 420, true, 0, 0);
    }
    const QString path = testsupport::SavePng(image, QStringLiteral("generated_plan"));
    std::printf("saved %s\n", qPrintable(path));
    EXPECT_PIXEL(image, 84, 30, CaptionLineColor); // 21 March in the day row
}
