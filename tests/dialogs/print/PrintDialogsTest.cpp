// The chart and list print dialogs as a user goes through them: the range controls,
// the page sketch, the question, the preview cancelled and printed, the settings.
#include "controls/DateTimePopup.h"
#include "dialogs/print/ChartPrinting.h"
#include "dialogs/print/ColumnCheckList.h"
#include "dialogs/print/DateRangeControls.h"
#include "dialogs/print/PageGeometry.h"
#include "dialogs/print/PreviewForm.h"
#include "dialogs/print/PrintListDialog.h"
#include "dialogs/print/PrintOptionsBox.h"
#include "dialogs/print/PrintTimeChartDialog.h"
#include "document/program/MessageDialog.h"
#include "document/program/Settings.h"
#include "tests/dialogs/print/ChartPrintSupport.h"
#include "tests/dialogs/print/CheckListClicks.h"
#include "tests/dialogs/print/PrintTestSupport.h"
#include "tests/support/ModalWindows.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TextsFit.h"
#include "tests/timechart/ChartPixelTest.h"
#include "timechart/CanvasPanel.h"
#include "timechart/TimeChart.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

using namespace printtest;
using testsupport::ClickMark;
using testsupport::PixelAt;
using testsupport::WhenModal;

namespace {

TDateTime Shown(const QDateEdit *picker)
{
    return FromQDate(picker->date());
}

} // namespace

class PrintTimeChartDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PinPageFont();
        dialog.SetOnPrinting([this](bool on) { printing.push_back(on); });
        TDocumentSettings settings;
        settings.Header = QStringLiteral("Montage");
        settings.PrintHeader = true;
        settings.Footer = QStringLiteral("Entwurf");
        settings.PrintToday = true;
        dialog.LoadSettings(settings);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    TScriptedMessageDialogs questions;
    ScopedMessageDialogs scoped { &questions };
    TPlanChart plan;
    TFakePrinter printer;
    TPrintTimeChartDialog dialog { *plan.chart, printer };
    std::vector<bool> printing;
};

TEST_F(PrintTimeChartDialogTest, RangeButtonsTakeTheWholeOrTheVisibleRangeAndFreeInputEnablesThePickers)
{
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Print Timechart"));
    testsupport::SavePng(dialog.grab().toImage(), QStringLiteral("print_timechart_dialog"));
    TDateRangeControls &range = *dialog.Range();
    // "Print Summary" when shown: the chart's whole range, pickers disabled.
    EXPECT_TRUE(range.RadioButton1()->isChecked());
    EXPECT_EQ(Shown(range.startpicker()), DatePart(plan.chart->MinDate()));
    EXPECT_EQ(Shown(range.endepicker()), DatePart(plan.chart->MaxDate()));
    EXPECT_EQ(range.Tage(), int(DatePart(plan.chart->MaxDate()) - DatePart(plan.chart->MinDate())));
    EXPECT_FALSE(range.startpicker()->isEnabled());

    ClickMark(range.RadioButton2());
    EXPECT_EQ(Shown(range.startpicker()), DatePart(plan.chart->TimeChartStart()));
    EXPECT_EQ(Shown(range.endepicker()), DatePart(plan.chart->GetTimeChartEnd()));
    EXPECT_FALSE(range.EditTage()->isEnabled());

    ClickMark(range.RadioButton3());
    EXPECT_TRUE(range.startpicker()->isEnabled());
    EXPECT_TRUE(range.EditTage()->isEnabled());
    range.startpicker()->setDate(ToQDate(plan.Jan1 + 10));
    // An end before the start moves the start to the day before it.
    range.endepicker()->setFocus();
    range.endepicker()->setDate(ToQDate(plan.Jan1 + 4));
    EXPECT_EQ(Shown(range.startpicker()), plan.Jan1 + 3);
    EXPECT_EQ(range.Tage(), 1);
    // The day count moves the end.
    range.EditTage()->setFocus();
    QTest::keyClick(range.EditTage(), Qt::Key_Up);
    EXPECT_EQ(Shown(range.endepicker()), plan.Jan1 + 5);

    ClickMark(range.RadioButton1());
    EXPECT_FALSE(range.endepicker()->isEnabled());
    EXPECT_EQ(Shown(range.startpicker()), DatePart(plan.chart->MinDate()));
}

// The sketch takes the sheet's proportions in its panel and shows one page's strip,
// as large as fits, in the sketch colour on white.
TEST_F(PrintTimeChartDialogTest, TheSketchShowsAStripsProportionsOnThePage)
{
    TCanvasPanel &sketch = *dialog.pb();
    EXPECT_EQ(FromQRect(sketch.geometry()), PositionPaintBox(FakeCaps, dialog.Panel()->size()));
    ClickMark(dialog.Range()->RadioButton3());
    dialog.Range()->EditTage()->setValue(80);
    dialog.pages()->setValue(4);
    // 20 days of 8 pixels, widened so that the names and captions show whole, beside
    // the chart's rows and caption row.
    const QSize strip = StripSize(*plan.chart, TStripLegibility(*plan.chart), 20, 0);
    EXPECT_GT(strip.width(), 20 * 8);
    const double w = strip.width(), h = strip.height();
    const double scale = std::min(sketch.width() / w, sketch.height() / h);
    const int shownWidth = int(std::nearbyint(w * scale)), shownHeight = int(std::nearbyint(h * scale));
    const QImage image = testsupport::RenderWidget(sketch);
    const int left = (sketch.width() - shownWidth) / 2, top = (sketch.height() - shownHeight) / 2;
    const int x = sketch.width() / 2, y = sketch.height() / 2;
    EXPECT_EQ(PixelAt(image, left + 1, y), TColor(0xE0CA92));
    EXPECT_EQ(PixelAt(image, left + shownWidth - 2, y), TColor(0xE0CA92));
    EXPECT_EQ(PixelAt(image, x, top + 1), TColor(0xE0CA92));
    EXPECT_EQ(PixelAt(image, x, top + shownHeight - 2), TColor(0xE0CA92));
    EXPECT_EQ(PixelAt(image, left - 2, y) == clWhite || left < 2, true);
    EXPECT_EQ(PixelAt(image, x, top - 2) == clWhite || top < 2, true);
}

TEST_F(PrintTimeChartDialogTest, CancellingThePreviewKeepsTheDialogOpenAndPrintingPrintsEveryStrip)
{
    ClickMark(dialog.Range()->RadioButton3());
    dialog.Range()->startpicker()->setDate(ToQDate(plan.Jan1));
    dialog.Range()->EditTage()->setValue(10);
    dialog.pages()->setValue(3);
    questions.QueueAnswer(mrNo);
    int pages = 0;
    WhenModal<TPrintPreviewForm>([&](TPrintPreviewForm *form) {
        pages = dialog.PrintPreviewDialog1().GetPageCount();
        EXPECT_EQ(printing, std::vector<bool> { true });
        ClickMark(form->Button3());
    });
    ClickMark(dialog.ButtonOK());
    EXPECT_EQ(pages, 3); // 10 days on 3 pages: three strips of 3 days
    EXPECT_FALSE(dialog.printAsBitmap());
    ASSERT_EQ(questions.Questions().size(), 1);
    EXPECT_EQ(questions.Questions()[0].Msg,
        QStringLiteral("Print in screen resolution to improve printing performance?"));
    EXPECT_EQ(questions.Questions()[0].Buttons, (TMsgDlgButtons { mbYes, mbNo }));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.Range()->Tage(), 10);
    EXPECT_EQ(printer.BeginCount, 0);
    EXPECT_EQ(printing, (std::vector<bool> { true, false }));

    questions.QueueAnswer(mrYes);
    WhenModal<TPrintPreviewForm>([](TPrintPreviewForm *form) { ClickMark(form->Button1()); });
    ClickMark(dialog.ButtonOK());
    EXPECT_TRUE(dialog.printAsBitmap());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(printer.Pages.size(), 3u);

    TDocumentSettings settings;
    dialog.StoreSettings(settings);
    EXPECT_EQ(settings.Header, QStringLiteral("Montage"));
    EXPECT_TRUE(settings.PrintHeader);
    EXPECT_EQ(settings.Footer, QStringLiteral("Entwurf"));
    EXPECT_FALSE(settings.PrintFooter);
    EXPECT_TRUE(settings.PrintToday);
}

// Tasks on four positions, one on all positions ("*"), one on a position that is
// not in the list; the active table is the task table.
class PrintListDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PinPageFont();
        chart.SetPositions({ charttest::PositionItem("A"), charttest::PositionItem("B") });
        for (const char *position : { "A", "B", "A", "*", "Gone" })
            rows.push_back(chart.AddTask(QString::fromLatin1(position), QStringLiteral("04.03.2024"), "2"));
    }

    charttest::ChartFixture chart;
    Document &doc = *chart.doc;
    std::vector<TNodeData *> rows;
    TFakePrinter printer;
};

TEST_F(PrintListDialogTest, TheCountFollowsTheChoiceAndCoversTasksOnAllPositions)
{
    TPrintListDialog dialog(doc, printer);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Print Table"));
    testsupport::SavePng(dialog.grab().toImage(), QStringLiteral("print_list_dialog"));
    EXPECT_EQ(dialog.StringGridTree1()->Count(), doc.GetTableColCount(tbTable));
    EXPECT_TRUE(dialog.StringGridTree1()->Checked(0));
    EXPECT_EQ(dialog.EditCount()->text(), QStringLiteral("4")); // "Gone" is on no position
    EXPECT_TRUE(dialog.ButtonOK()->isEnabled());
    ClickMark(dialog.RadioButton3());
    EXPECT_EQ(dialog.EditCount()->text(), QStringLiteral("0"));
    EXPECT_FALSE(dialog.ButtonOK()->isEnabled());
    doc.GetTable(tbTable).SetSelected(rows[3], true);
    doc.GetTable(tbTable).SetSelected(rows[1], true);
    ClickMark(dialog.RadioButton2());
    EXPECT_EQ(dialog.EditCount()->text(), QStringLiteral("5")); // no filter: every row
    ClickMark(dialog.RadioButton3());
    EXPECT_EQ(dialog.EditCount()->text(), QStringLiteral("2"));

    // The grid holds the shown texts of the covered rows, the unchecked column is not printed.
    ClickCheckBox(*dialog.StringGridTree1(), 2);
    EXPECT_FALSE(dialog.StringGridTree1()->Checked(2));
    WhenModal<TPrintPreviewForm>([](TPrintPreviewForm *form) { ClickMark(form->Button3()); });
    ClickMark(dialog.ButtonOK());
    EXPECT_TRUE(dialog.isVisible()); // cancelled: still open
    const TStringGrid &grid = dialog.grid();
    ASSERT_EQ(grid.RowCount(), 3);
    EXPECT_EQ(grid.Cell(0, 0), doc.GetColumnCaption(tbTable, 0));
    EXPECT_EQ(grid.Cell(0, 1), QStringLiteral("B"));
    EXPECT_EQ(grid.Cell(0, 2), QStringLiteral("*"));
    EXPECT_EQ(grid.Cell(1, 1), QStringLiteral("04.03.2024"));
    EXPECT_EQ(grid.ColWidth(1), 1);
    EXPECT_EQ(grid.ColWidth(2), 0);

    ClickMark(dialog.RadioButton1());
    WhenModal<TPrintPreviewForm>([](TPrintPreviewForm *form) { ClickMark(form->Button1()); });
    ClickMark(dialog.ButtonOK());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.grid().RowCount(), 5);
    EXPECT_EQ(printer.Pages.size(), 1u);
}

// At a font half as large again (a 144 dpi screen) both print dialogs open half as
// large again, their sketch or column list with them, and show every text whole.
TEST_F(PrintTimeChartDialogTest, BothPrintDialogsGrowWithTheFont)
{
    const QSize normal = dialog.size();
    TPrintTimeChartDialog large { *plan.chart, printer };
    testsupport::EnlargeWindowFont(large);
    large.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&large));
    testsupport::SavePng(large.grab().toImage(), QStringLiteral("print_chart_dialog_large_font"));
    EXPECT_EQ(testsupport::CutTexts(large), QStringList());
    EXPECT_GE(large.width(), normal.width() * 14 / 10);
    EXPECT_GE(large.height(), normal.height() * 14 / 10);

    charttest::ChartFixture list;
    TPrintListDialog listDialog(*list.doc, printer);
    listDialog.show();
    const QSize listNormal = listDialog.size();
    listDialog.hide();
    TPrintListDialog listLarge(*list.doc, printer);
    testsupport::EnlargeWindowFont(listLarge);
    listLarge.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&listLarge));
    testsupport::SavePng(listLarge.grab().toImage(), QStringLiteral("print_list_dialog_large_font"));
    EXPECT_EQ(testsupport::CutTexts(listLarge), QStringList());
    EXPECT_GE(listLarge.width(), listNormal.width() * 14 / 10);
    EXPECT_GE(listLarge.height(), listNormal.height() * 14 / 10);
}
