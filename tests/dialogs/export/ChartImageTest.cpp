// The chart saved as a JPEG image: painted in bands exactly as in one piece, read
// back with the size and colours the chart's geometry gives, and the save command
// as a user meets it (file name, overwrite question, range, failures).
#include "dialogs/export/ChartImage.h"

#include "controls/DateTimePopup.h"
#include "dialogs/export/SaveGraphicsDialog.h"
#include "dialogs/print/DateRangeControls.h"
#include "document/DocumentTable.h"
#include "document/program/MessageDialog.h"
#include "platform/gui/JpegReader.h"
#include "platform/gui/JpegWriter.h"
#include "tests/dialogs/print/ChartPrintSupport.h"
#include "tests/support/ModalWindows.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TextsFit.h"
#include "timechart/ChartPainter.h"
#include "timechart/TimeChart.h"

#include <QApplication>
#include <QDateEdit>
#include <QFile>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using testsupport::PixelAt;
using testsupport::WhenModal;

namespace {

// Free input from `start` for `days` days, then OK.
void ChooseRange(TForm1 *form, TDateTime start, int days)
{
    TDateRangeControls &range = *form->Range();
    QTest::mouseClick(
        range.RadioButton3(), Qt::LeftButton, {}, QPoint(6, range.RadioButton3()->height() / 2));
    range.startpicker()->setDate(ToQDate(start));
    range.EditTage()->setValue(days);
    QTest::mouseClick(form->ButtonOK(), Qt::LeftButton);
}

// Channels within what JPEG compression keeps of flat areas.
bool Near(TColor a, TColor b, int tolerance = 12)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance
        && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance
        && std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

int DarkPixels(const QImage &image, const QRect &area)
{
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            dark += qGray(image.pixel(x, y)) < 100;
    return dark;
}

} // namespace

// Two positions A and B, a task of two days from Monday 4 March 2024 on A, 20
// pixels a day: the header is 40 pixels high, each row 42 (an 8 pt font at zoom 100).
class ChartImageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixture.SetPositions({ charttest::PositionItem("A"), charttest::PositionItem("B") });
        fixture.AddTask(QStringLiteral("A"), QStringLiteral("04.03.2024"), QStringLiteral("2"));
        fixture.chart->SetTimeChartFontName(QString::fromLatin1(testsupport::TestFontFamily));
        fixture.chart->SetTimeChartColWidth(20);
        fixture.chart->UpdateBoundsProc();
        fixture.chart->Painter().SetLogoFolder(folder.path());
    }

    QString File(const char *name) const { return folder.filePath(QString::fromLatin1(name)); }

    QTemporaryDir folder;
    charttest::ChartFixture fixture;
    TTimeChart &chart = *fixture.chart;
    const TDateTime march1 = EncodeDate(2024, 3, 1); // a Friday
    TScriptedMessageDialogs questions;
    ScopedMessageDialogs scoped { &questions };
};

TEST_F(ChartImageTest, BandsPaintExactlyWhatOnePieceDoes)
{
    const TChartImage image(chart, march1, march1 + 30, QStringLiteral("plan.kez (01.03.2024 10:00:00)"));
    ASSERT_EQ(image.Size(), QSize(600, 40 + 2 * 42));
    QImage whole = testsupport::MakeCanvas(600, image.Size().height());
    {
        QPainter painter(&whole);
        image.PaintBand(painter, whole.rect());
    }
    // As the JPEG writer hands them: 7 rows at a time, translated and clipped.
    QImage banded = testsupport::MakeCanvas(600, image.Size().height());
    for (int top = 0; top < banded.height(); top += 7) {
        QImage band = testsupport::MakeCanvas(600, 7);
        {
            QPainter painter(&band);
            painter.translate(0, -top);
            const QRect area(0, top, 600, 7);
            painter.setClipRect(area);
            image.PaintBand(painter, area);
        }
        QPainter(&banded).drawImage(0, top, band);
    }
    testsupport::SavePng(whole, QStringLiteral("chart_image_whole"));
    EXPECT_EQ(banded, whole);
}

TEST_F(ChartImageTest, TheSavedFileHasTheChartsSizeWeekendsBarAndStamp)
{
    const QString chosen = File("chart.jpeg");
    QString suggested;
    WhenModal<TForm1>([&](TForm1 *form) {
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Save Graphics"));
        ChooseRange(form, march1, 30);
    });
    TForm1 form(chart);
    EXPECT_EQ(Grafikspeichern1Click(form, QStringLiteral("/srv/plaene/Werk.kez"),
                  [&](const QString &s) {
                      suggested = s;
                      return chosen;
                  }),
        File("chart.jpg"));
    EXPECT_EQ(suggested, QStringLiteral("/srv/plaene/Werk.jpg")); // beside the document
    EXPECT_FALSE(QFile::exists(chosen)); // "chart.jpeg" writes "chart.jpg"
    const QImage image = ReadJpegFile(File("chart.jpg"));
    ASSERT_EQ(image.size(), QSize(30 * 20, 40 + 2 * 42)); // 30 days at 20 pixels a day
    EXPECT_TRUE(questions.Questions().isEmpty());

    // Saturday 9 March in row B: a weekend cell; Monday 11 March: white.
    EXPECT_TRUE(Near(PixelAt(image, 8 * 20 + 10, 40 + 42 + 21), NonWorkingColor));
    EXPECT_TRUE(Near(PixelAt(image, 10 * 20 + 10, 40 + 42 + 21), clWhite));
    // The task on A from 4 March, two days, in the colour its colour cell names.
    const TNodeData *task = fixture.doc->GetTable(tbTable).First();
    const TColor barColor
        = fixture.doc->Setup().FColors.at(std::size_t(fixture.doc->GetDataIndex_(task, cnColor)));
    EXPECT_TRUE(Near(PixelAt(image, 3 * 20 + 20, 40 + 21), barColor));
    // The stamp's text in the bottom right corner; none in the same box a row higher.
    const QRect corner(600 - 150, image.height() - 12, 150, 12);
    EXPECT_GT(DarkPixels(image, corner), 50);
    EXPECT_EQ(DarkPixels(image, corner.translated(0, -42)), 0);
}

TEST_F(ChartImageTest, CancelledQuestionsAndFailuresWriteNothingAndSaySo)
{
    const QString existing = File("plan.jpg");
    {
        QFile file(existing);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old");
    }
    TForm1 form(chart);
    const auto choose = [](const QString &path) { return [path](const QString &) { return path; }; };

    // Cancel to the overwrite question: the file stays.
    questions.QueueAnswer(mrCancel);
    EXPECT_EQ(
        Grafikspeichern1Click(form, QStringLiteral("/x/plan.kez"), choose(File("plan.jpeg"))), QString());
    ASSERT_EQ(questions.Questions().size(), 1);
    EXPECT_EQ(questions.Questions()[0].Msg,
        QStringLiteral("File %1 already exists.\nOverwrite this file?").arg(existing));
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("old"));

    // The save dialog cancelled; the range dialog cancelled.
    EXPECT_EQ(Grafikspeichern1Click(form, QStringLiteral("/x/plan.kez"), choose(QString())), QString());
    WhenModal<TForm1>([](TForm1 *shown) { QTest::mouseClick(shown->ButtonCancel(), Qt::LeftButton); });
    EXPECT_EQ(
        Grafikspeichern1Click(form, QStringLiteral("/x/plan.kez"), choose(File("other.jpg"))), QString());
    EXPECT_FALSE(QFile::exists(File("other.jpg")));

    // A range wider than a JPEG file can be is refused in the range dialog, which stays open.
    questions.QueueAnswer(mrOk);
    WhenModal<TForm1>([&](TForm1 *shown) {
        ChooseRange(shown, march1, 4000); // 80,000 pixels
        EXPECT_TRUE(shown->isVisible());
        EXPECT_FALSE(shown->Image());
        QTest::mouseClick(shown->ButtonCancel(), Qt::LeftButton);
    });
    EXPECT_EQ(
        Grafikspeichern1Click(form, QStringLiteral("/x/plan.kez"), choose(File("wide.jpg"))), QString());
    ASSERT_EQ(questions.Questions().size(), 2);
    EXPECT_EQ(questions.Questions()[1].DlgType, mtError);
    EXPECT_TRUE(questions.Questions()[1].Msg.contains(QStringLiteral("80000 x ")));
    EXPECT_FALSE(QFile::exists(File("wide.jpg")));

    // A folder that does not exist: the failure is shown, nothing is written.
    const QString lost = File("no/such/folder/plan.jpg");
    questions.QueueAnswer(mrOk);
    WhenModal<TForm1>([&](TForm1 *shown) { ChooseRange(shown, march1, 10); });
    EXPECT_EQ(Grafikspeichern1Click(form, QStringLiteral("/x/plan.kez"), choose(lost)), QString());
    ASSERT_EQ(questions.Questions().size(), 3);
    EXPECT_EQ(questions.Questions()[2].DlgType, mtError);
    EXPECT_TRUE(questions.Questions()[2].Msg.startsWith(
        QStringLiteral("File could not be saved, please try saving with a different filename\n")));
    EXPECT_FALSE(QFile::exists(lost));
    EXPECT_EQ(questions.UnexpectedCount(), 0);
}

// At a font half as large again (a 144 dpi screen) the dialog shows its choices,
// dates and buttons whole.
TEST_F(ChartImageTest, TheDialogShowsEveryTextWholeAtALargerFont)
{
    TForm1 form(chart);
    testsupport::EnlargeWindowFont(form);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    testsupport::SavePng(form.grab().toImage(), QStringLiteral("save_graphics_dialog_large_font"));
    EXPECT_EQ(testsupport::CutTexts(form), QStringList());
}
