#include "controls/AutocompletingEdit.h"
#include "controls/CompletingComboBox.h"
#include "controls/DateTimePopup.h"
#include "document/NodeEvents.h"
#include "document/sharing/DirWatch.h"
#include "document/xml/XMLFile.h"
#include "mainwindow/EditorForm.h"
#include "mainwindow/EditorScrollBox.h"
#include "platform/gui/Color.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/mainwindow/MainWindowTestSupport.h"
#include "tests/support/PixelTest.h"
#include "tests/support/TestFiles.h"
#include "timechart/CanvasPanel.h"

#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <functional>

using mainwindowtest::EditorTest;
using mainwindowtest::LinkRecorder;

namespace {

TColor BaseColorOf(const QWidget &Field)
{
    return FromQColor(Field.palette().color(QPalette::Base));
}

// The darkest grey level in the image (the arrow of a date button).
int DarkestGray(const QImage &Image)
{
    int darkest = 255;
    for (int y = 0; y < Image.height(); ++y) {
        for (int x = 0; x < Image.width(); ++x)
            darkest = std::min(darkest, qGray(Image.pixel(x, y)));
    }
    return darkest;
}

// Clicks into a field, so it has the focus as after a user's click.
void ClickInto(QWidget &Field)
{
    QTest::mouseClick(&Field, Qt::LeftButton, {}, QPoint(5, Field.height() / 2));
    Field.setFocus(Qt::MouseFocusReason);
}

} // namespace

TEST_F(EditorTest, DifferingRowsGiveATintedEmptyFieldThatWritesAllOnceTyped)
{
    TNodeData *a = task("a", "A");
    TNodeData *b = task("b", "B");
    rebuild();
    select({ a, b });
    const TEditorRow &comment = row(5);
    ASSERT_NE(comment.Text, nullptr);
    EXPECT_EQ(comment.Text->text(), "");
    EXPECT_EQ(BaseColorOf(*comment.Text), kDifferingFieldColor);
    // Shared values show white with their text.
    EXPECT_EQ(row(1).Date->text(), "04.03.2024");
    EXPECT_EQ(BaseColorOf(*row(1).Date), kSharedFieldColor);
    EXPECT_EQ(editor->EditorForm().StatusText(), "2 items selected");

    const std::size_t records = sink.records.size();
    ClickInto(*comment.Text);
    QTest::keyClicks(comment.Text, "C");
    EXPECT_EQ(cell("a", 5), "C");
    EXPECT_EQ(cell("b", 5), "C");
    EXPECT_EQ(BaseColorOf(*comment.Text), kSharedFieldColor);
    EXPECT_EQ(sink.records.size(), records + 2);
    QTest::keyClicks(comment.Text, "x");
    QCoreApplication::processEvents();
    EXPECT_EQ(comment.Text->text(), "Cx");

    // The typing in the field is one undo step over both rows.
    doc->UndoRedo().Undo();
    EXPECT_EQ(cell("a", 5), "A");
    EXPECT_EQ(cell("b", 5), "B");
    QCoreApplication::processEvents();
    EXPECT_EQ(comment.Text->text(), "");

    // A cleared white field writes the empty text to all rows; a tinted one
    // that is emptied writes nothing.
    ClickInto(*comment.Text);
    QTest::keyClicks(comment.Text, "Z");
    QTest::keyClick(comment.Text, Qt::Key_Backspace);
    EXPECT_EQ(cell("a", 5), "");
    EXPECT_EQ(cell("b", 5), "");
    doc->SetData(a, 5, "A");
    QCoreApplication::processEvents();
    EXPECT_EQ(BaseColorOf(*comment.Text), kDifferingFieldColor);
    QTest::keyClick(comment.Text, Qt::Key_Backspace);
    EXPECT_EQ(cell("a", 5), "A");
    EXPECT_EQ(cell("b", 5), "");
}

TEST_F(EditorTest, OneSelectedRowTakesEveryChange)
{
    TNodeData *a = task("a", "A");
    task("b", "B");
    rebuild();
    select({ a });
    const TEditorRow &length = row(3);
    ASSERT_NE(length.Number, nullptr);
    EXPECT_EQ(length.Number->text(), "1");
    ClickInto(*length.Number);
    QTest::keyClick(length.Number, Qt::Key_End);
    QTest::keyClicks(length.Number, "0");
    EXPECT_EQ(cell("a", 3), "10");
    EXPECT_EQ(cell("b", 3), "1");
    // The derived end follows and shows in the disabled End field.
    QCoreApplication::processEvents();
    EXPECT_EQ(row(2).Date->text(), DateToStr(doc->GetEndOf(a)));
}

TEST_F(EditorTest, FieldsFollowTheColumnsTypesRolesAndCaptions)
{
    rebuild();
    auto &box = editor->EditorScrollBox();
    ASSERT_EQ(box.Rows().size(), 6u);
    const auto captionOf = [&](int column) { return row(column).Caption->text(); };
    EXPECT_EQ(captionOf(0), "   Position");
    EXPECT_EQ(captionOf(3), "   Length (days)");

    // Position: a fixed list of the group's positions; State (the colour
    // column): a fixed list with swatches; both without typing.
    ASSERT_NE(row(0).Combo, nullptr);
    EXPECT_FALSE(row(0).Combo->isEditable());
    EXPECT_EQ(row(0).Combo->count(), 3);
    EXPECT_EQ(row(0).Combo->itemText(2), "Position 3");
    EXPECT_FALSE(row(4).Combo->isEditable());
    EXPECT_NE(qobject_cast<TColorItemDelegate *>(row(4).Combo->itemDelegate()), nullptr);
    // Start has a date button; End is read-only and says why.
    EXPECT_NE(row(1).DateButton, nullptr);
    EXPECT_EQ(row(2).DateButton, nullptr);
    EXPECT_FALSE(row(2).Date->isEnabled());
    EXPECT_EQ(row(2).Date->toolTip(), "Enddate cannot be edited");
    // Number and check-box fields start in the info colour.
    EXPECT_EQ(BaseColorOf(*row(3).Number), ColorToRGB(clInfoBk));
    EXPECT_EQ(box.ScrollRange(), 7 * box.RowHeight());
    EXPECT_EQ(box.RowHeight(), QLineEdit().sizeHint().height() + 6);

    // Hours documents count task lengths in hours and minutes; absent days
    // always in days, with a check box and a position "*" for everyone.
    doc->SetMinUnit(muMinute);
    rebuild();
    EXPECT_EQ(captionOf(3), "   Length (h,min)");
    rebuild(tbExclude);
    EXPECT_EQ(captionOf(3), "   Length (days)");
    EXPECT_NE(row(4).Check, nullptr);
    EXPECT_EQ(row(0).Combo->itemText(row(0).Combo->count() - 1), "*");

    // Hidden columns get no field; with none visible the editor stays hidden.
    showTable(tbTable);
    hideColumns(tbTable, { 1, 2 });
    rebuild();
    EXPECT_EQ(box.Rows().size(), 4u);
    EXPECT_EQ(box.RowOf(1), nullptr);
    EXPECT_EQ(row(3).Frame->y(), box.RowHeight() + (box.RowHeight() - 21) / 2);
    hideColumns(tbTable, { 0, 3, 4, 5 });
    rebuild();
    TNodeData *a = task("a", "A");
    select({ a });
    EXPECT_FALSE(editor->EditorVisible());
    EXPECT_FALSE(editor->EditorPanel().isVisible());
}

TEST_F(EditorTest, CompletionOffersTheColumnsTextsAndLeavingAddsTheTyped)
{
    TNodeData *a = task("a", "Drilling");
    task("b", "Deburring");
    task("c", "Drilling");
    rebuild();
    select({ a });
    TAutocompletingEdit &comment = *row(5).Text;
    EXPECT_EQ(comment.Items(), QStringList({ "Deburring", "Drilling" }));
    ClickInto(comment);
    comment.selectAll();
    QTest::keyClicks(&comment, "De");
    EXPECT_EQ(comment.text(), "Deburring");
    EXPECT_EQ(cell("a", 5), "Deburring");
    comment.selectAll();
    QTest::keyClicks(&comment, "Milling");
    ClickInto(*row(3).Number);
    EXPECT_TRUE(comment.Items().contains("Milling"));
    EXPECT_EQ(cell("a", 5), "Milling");
}

TEST_F(EditorTest, ListsAndCheckBoxesWriteEverySelectedRow)
{
    TNodeData *a = task("a", "A");
    TNodeData *b = task("b", "B", "04.03.2024", "1", "Position 2");
    rebuild();
    select({ a, b });
    TCompletingComboBox &position = *row(0).Combo;
    EXPECT_EQ(position.currentIndex(), -1);
    EXPECT_EQ(BaseColorOf(position), kDifferingFieldColor);
    position.setFocus();
    QTest::keyClick(&position, Qt::Key_Down);
    EXPECT_EQ(cell("a", 0), position.currentText());
    EXPECT_EQ(cell("b", 0), position.currentText());
    // The wheel over a list pages the editor instead of changing every row.
    const QString before = cell("a", 0);
    QWheelEvent wheel(QPointF(5, 5), position.mapToGlobal(QPointF(5, 5)), {}, QPoint(0, -120), Qt::NoButton,
        Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&position, &wheel);
    EXPECT_EQ(cell("a", 0), before);

    // Absent days: the check box writes its state to all selected rows, also
    // when they differed.
    TNodeData *x = doc->AddNode("x", tbExclude, false);
    TNodeData *y = doc->AddNode("y", tbExclude, false);
    doc->DoSetData(x, 4, "Ja", false);
    doc->DoSetData(y, 4, "Nein", false);
    rebuild(tbExclude);
    select({ x, y }, tbExclude);
    QCheckBox &days = *row(4).Check;
    EXPECT_EQ(FromQColor(days.palette().color(QPalette::Window)), kDifferingFieldColor);
    QTest::mouseClick(&days, Qt::LeftButton, {}, QPoint(8, days.height() / 2));
    EXPECT_EQ(cell("x", 4, tbExclude), cell("y", 4, tbExclude));
    const QString state = days.isChecked() ? "Ja" : "Nein";
    EXPECT_EQ(cell("x", 4, tbExclude), state);
}

TEST_F(EditorTest, TypedDatesTakeTheDocumentsFormAndMistypedOnesStayAsTyped)
{
    TNodeData *a = task("a", "A");
    TNodeData *b = task("b", "B", "05.03.2024");
    rebuild();
    select({ a, b });
    QLineEdit &start = *row(1).Date;
    EXPECT_EQ(start.text(), "");
    ClickInto(start);
    QTest::keyClicks(&start, "6.3.2024");
    ClickInto(*row(5).Text);
    EXPECT_EQ(start.text(), "06.03.2024");
    EXPECT_EQ(cell("a", 1), "06.03.2024");
    EXPECT_EQ(cell("b", 1), "06.03.2024");

    // A text that is no date is kept as typed in every row (they show as
    // incomplete), not turned into day 0.
    ClickInto(start);
    start.selectAll();
    QTest::keyClicks(&start, "6.3.");
    ClickInto(*row(5).Text);
    EXPECT_EQ(start.text(), "6.3.");
    EXPECT_EQ(cell("a", 1), "6.3.");
    EXPECT_FALSE(doc->GetNodeValid(a));
}

TEST_F(EditorTest, CaptionFramesSwatchesAndDateButtonsPaintAsTheirRolesAndStates)
{
    // Comment as the deadline column for once: its frame takes that role's fill.
    doc->SetConnection(tbTable, cnTermin, 5);
    TNodeData *a = task("a", "Drilling");
    TNodeData *b = task("b", "Deburring", "05.03.2024");
    rebuild();
    select({ a, b });
    testsupport::SavePng(form->grab().toImage(), "main_window_editor");
    testsupport::SavePng(editor->EditorPanel().grab().toImage(), "editor_panel");

    const std::pair<int, TColor> fills[]
        = { { 0, 0xE0CA92 }, { 1, 0xE0CA92 }, { 3, 0xE0CA92 }, { 4, 0xF0E5CC }, { 5, 0x7362D6 } };
    for (const auto &[column, fill] : fills) {
        const QImage frame = row(column).Frame->grab().toImage();
        ASSERT_EQ(frame.height(), 17);
        EXPECT_EQ(testsupport::PixelAt(frame, frame.width() / 2, 8), fill) << column;
        EXPECT_EQ(testsupport::PixelAt(frame, frame.width() / 2, 0), kCaptionFramePen) << column;
        EXPECT_NE(testsupport::PixelAt(frame, 0, 0), fill) << "rounded corner " << column;
    }

    // A colour item: the swatch 2 pixels in from the left and top, as wide as
    // the item is high less 4, 2 short of the bottom, with a raised edge.
    TColorItemDelegate colors({ 0x0000FF, 0x00FF00 });
    QImage item = testsupport::MakeCanvas(100, 18);
    {
        QPainter painter(&item);
        colors.DrawItem(painter, Bounds(0, 0, 100, 18), 1, "Green");
    }
    EXPECT_EQ(TColorItemDelegate::SwatchRect(Bounds(0, 0, 100, 18)), Rect(2, 2, 16, 16));
    EXPECT_EQ(testsupport::PixelAt(item, 9, 9), 0x00FF00u);
    EXPECT_NE(testsupport::PixelAt(item, 2, 9), 0x00FF00u);
    EXPECT_NE(testsupport::PixelAt(item, 15, 9), 0x00FF00u);
    EXPECT_EQ(testsupport::PixelAt(item, 17, 9), clWhite);

    // The date button's arrow: dark when normal or hot, light when disabled.
    for (TDateButtonState state :
        { TDateButtonState::Normal, TDateButtonState::Hot, TDateButtonState::Disabled }) {
        QImage button = testsupport::MakeCanvas(15, 25);
        {
            QPainter painter(&button);
            PaintDateButton(painter, Bounds(0, 0, 15, 25), state, *QApplication::style());
        }
        if (state == TDateButtonState::Disabled)
            EXPECT_GT(DarkestGray(button), 0x90);
        else
            EXPECT_LT(DarkestGray(button), 0x80);
    }
}

namespace {

// Clicks the date button of a field and runs Action while the popup is open.
void WithDatePopup(const TEditorRow &Row, TDateTimePopup &Popup, std::function<void()> Action)
{
    controlstest::WhileRolledDown(
        Popup, [&] { QTest::mouseClick(Row.DateButton, Qt::LeftButton, {}, QPoint(7, 7)); },
        std::move(Action));
}

} // namespace

TEST_F(EditorTest, TheDateButtonsPopupPicksADayAndKeepsTheTime)
{
    doc->SetMinUnit(muMinute);
    TNodeData *a = task("a", "A", "04.03.2024 08:30:00");
    TNodeData *b = task("b", "B", "04.03.2024 08:30:00");
    rebuild();
    select({ a, b });
    const TEditorRow &start = row(1);
    TDateTimePopup &popup = editor->EditorScrollBox().DateTimePopup();
    QRect placed;
    int arrowWhileOpen = 0;
    WithDatePopup(start, popup, [&] {
        placed = popup.geometry();
        arrowWhileOpen = DarkestGray(start.DateButton->grab().toImage());
        controlstest::ClickDay(*popup.Calendar(), 15);
    });
    // The button of the open popup is drawn disabled: a light arrow.
    EXPECT_GT(arrowWhileOpen, 0x90);
    EXPECT_LT(DarkestGray(start.DateButton->grab().toImage()), 0x80);
    // Below the field, at its left edge (inside the screen on the right).
    const QRect screen = form->screen()->geometry();
    const QPoint field = start.Date->mapToGlobal(QPoint(0, 0));
    const int left = std::min(field.x(), screen.right() + 1 - placed.width());
    EXPECT_EQ(placed.topLeft(), QPoint(left, field.y() + start.Date->height()));
    EXPECT_EQ(cell("a", 1), "15.03.2024 08:30:00");
    EXPECT_EQ(cell("b", 1), "15.03.2024 08:30:00");

    // Escape, and a click elsewhere after that earlier pick, change nothing.
    WithDatePopup(start, popup, [&] { QTest::keyClick(popup.Calendar(), Qt::Key_Escape); });
    WithDatePopup(start, popup, [&] { clickStatusBar(); });
    EXPECT_EQ(cell("a", 1), "15.03.2024 08:30:00");

    // Rows with differing starts: an empty field; the popup opens on today and a
    // closing without a pick writes nothing (never "now").
    doc->SetData(b, 1, "05.03.2024 08:30:00");
    QCoreApplication::processEvents();
    EXPECT_EQ(start.Date->text(), "");
    WithDatePopup(start, popup, [&] { clickStatusBar(); });
    EXPECT_EQ(cell("a", 1), "15.03.2024 08:30:00");
    EXPECT_EQ(cell("b", 1), "05.03.2024 08:30:00");

    // Near the screen's bottom the popup opens above the field.
    form->move(100, screen.bottom() - 60 - start.Date->mapTo(form.get(), QPoint(0, 0)).y());
    QCoreApplication::processEvents();
    WithDatePopup(start, popup, [&] {
        placed = popup.geometry();
        popup.CloseDropDown();
    });
    const QPoint moved = start.Date->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(placed.bottom() + 1, moved.y());
}

TEST_F(EditorTest, AutofillFillsTheSelectedRowsFromTheKeysFileRow)
{
    ASSERT_TRUE(testsupport::writeFile(folder.filePath("plan.autofill"),
        "Comment;State;Length;Customer\n"
        "Drill 10;State 2;3;Meyer\n"
        "Drill 12;State 3;5;Schulz\n"
        "Mill;State 2;3;Meyer\n"));
    TNodeData *a = task("a", "x");
    TNodeData *b = task("b", "y");
    fileDialogs->saveAnswers << folder.filePath("plan.kez");
    Probe(*form).Menus().ActionSaveAs->trigger();
    rebuild();
    select({ a, b });
    // Comment's values are unique: it can serve as a key. State's are not.
    EXPECT_EQ(row(5).Caption->text(), "   Comment *");
    EXPECT_EQ(row(4).Caption->text(), "   State *");
    ASSERT_NE(row(5).AutofillButton, nullptr);
    EXPECT_EQ(row(4).AutofillButton, nullptr);
    EXPECT_EQ(row(5).Text->width(), row(1).Date->width() - 15);
    EXPECT_TRUE(row(5).Text->Items().contains("Drill 12"));

    TAutocompletingEdit &comment = *row(5).Text;
    ClickInto(comment);
    QTest::keyClicks(&comment, "Mi");
    EXPECT_EQ(comment.text(), "Mill");
    QTest::mouseClick(row(5).AutofillButton, Qt::LeftButton);
    for (const QString id : { "a", "b" }) {
        EXPECT_EQ(cell(id, 5), "Mill");
        EXPECT_EQ(cell(id, 4), "State 2");
        EXPECT_EQ(cell(id, 3), "3");
    }
    EXPECT_TRUE(dialogs.Questions().isEmpty());

    // A key two rows contain, and one no row has, fill nothing.
    comment.selectAll();
    QTest::keyClicks(&comment, "rill 1");
    QTest::mouseClick(row(5).AutofillButton, Qt::LeftButton);
    comment.selectAll();
    QTest::keyClicks(&comment, "Saw");
    QTest::mouseClick(row(5).AutofillButton, Qt::LeftButton);
    ASSERT_EQ(dialogs.Questions().size(), 2);
    EXPECT_EQ(dialogs.Questions()[0].Msg, "Cannot autofill, key not unique");
    EXPECT_EQ(dialogs.Questions()[1].Msg, "Cannot autofill, key not found");
    EXPECT_EQ(cell("a", 4), "State 2");
    EXPECT_EQ(cell("a", 3), "3");

    // The whole fill is one undo step.
    comment.selectAll();
    QTest::keyClicks(&comment, "Drill 12");
    QTest::mouseClick(row(5).AutofillButton, Qt::LeftButton);
    EXPECT_EQ(cell("b", 4), "State 3");
    doc->UndoRedo().Undo();
    EXPECT_EQ(cell("a", 4), "State 2");
    EXPECT_EQ(cell("b", 3), "3");
    EXPECT_EQ(cell("b", 5), "Drill 12");

    // Without the file no column has autofill.
    QFile::remove(folder.filePath("plan.autofill"));
    rebuild();
    EXPECT_EQ(row(5).Caption->text(), "   Comment");
    EXPECT_EQ(row(5).AutofillButton, nullptr);
}

TEST_F(EditorTest, LinksOpenWebAndMailAddressesAndPlainFilesAndAskForAnythingElse)
{
    LinkRecorder links;
    const QString notes = folder.filePath("notes.txt");
    ASSERT_TRUE(testsupport::writeFile(notes, "x"));
    const QString tool = folder.filePath("tool");
    ASSERT_TRUE(testsupport::writeFile(tool, "#!/bin/sh\n"));
    QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    doc->SetColumnType(tbTable, 5, ctLink);
    TNodeData *a = task("a", "https://example.org/plan");
    rebuild();
    select({ a });
    const TEditorRow &link = row(5);
    ASSERT_NE(link.LinkButton, nullptr);
    auto open = [&](const QString &text) {
        link.Text->setText(text);
        QTest::mouseClick(link.LinkButton, Qt::LeftButton);
    };

    open("https://example.org/plan");
    open("mailto:planning@example.org");
    open(notes);
    EXPECT_TRUE(dialogs.Questions().isEmpty());
    ASSERT_EQ(links.opened.size(), 3);
    EXPECT_EQ(links.opened[0], QUrl("https://example.org/plan"));
    EXPECT_EQ(links.opened[2], QUrl::fromLocalFile(notes));

    // A program, a missing file and other schemes are asked for first.
    dialogs.QueueAnswer(mrNo);
    open(tool);
    dialogs.QueueAnswer(mrYes);
    open("ftp://example.org/x");
    dialogs.QueueAnswer(mrNo);
    open(folder.filePath("missing.txt"));
    EXPECT_EQ(dialogs.Questions().size(), 3);
    ASSERT_EQ(links.opened.size(), 4);
    EXPECT_EQ(links.opened[3], QUrl("ftp://example.org/x"));
    open("");
    EXPECT_EQ(links.opened.size(), 4);
}

TEST_F(EditorTest, TheEditorShowsAndHidesHalfASecondAfterTheSelectionChanged)
{
    TNodeData *a = task("a", "A");
    rebuild();
    DocumentTable &tasks = doc->GetTable(tbTable);
    tasks.SetSelected(a, true);
    editor->SeteditorVisible(true);
    // Time passing is the point here and below: what the panel does before its half second.
    // A loaded machine may stretch a wait past the half second, and then there is nothing
    // left to check.
    QElapsedTimer waited;
    waited.start();
    QTest::qWait(100);
    if (waited.elapsed() < 450) {
        EXPECT_FALSE(editor->EditorPanel().isVisible());
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return editor->EditorPanel().isVisible(); }, 1000));

    // A selection emptied and filled again in quick turns changes nothing.
    editor->SeteditorVisible(false);
    waited.start();
    QTest::qWait(300);
    const qint64 hidden = waited.elapsed();
    editor->SeteditorVisible(true);
    QTest::qWait(300);
    if (hidden < 450) {
        EXPECT_TRUE(editor->EditorPanel().isVisible());
    }
    editor->SeteditorVisible(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !editor->EditorPanel().isVisible(); }, 1000));

    // While a document loads the editor waits.
    Probe(*form).SetState(gsLoading, true);
    editor->SeteditorVisible(true);
    // Time passing is the point: past the half second, still hidden.
    QTest::qWait(700);
    EXPECT_FALSE(editor->EditorPanel().isVisible());
    Probe(*form).SetState(gsLoading, false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return editor->EditorPanel().isVisible(); }, 1000));
}

TEST_F(EditorTest, AnUndoThatRemovesTheSelectedRowHidesTheEditor)
{
    task("a", "A");
    rebuild();
    showTable(tbTable);
    Probe(*form).Menus().ActionAddNode->trigger();
    QCoreApplication::processEvents();
    ASSERT_EQ(doc->SelectedCount(tbTable), 1);
    editor->ChangeEditorVisibleTimerTimer();
    ASSERT_TRUE(editor->EditorPanel().isVisible());

    Probe(*form).Menus().ActionUndo->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 1);
    EXPECT_EQ(doc->SelectedCount(tbTable), 0);
    EXPECT_FALSE(editor->EditorVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !editor->EditorPanel().isVisible(); }, 1000));
}

TEST_F(EditorTest, TheKeystrokesOfAFieldAreOneStepUntilItIsLeftOrTypingPauses)
{
    TNodeData *a = task("a", "A");
    rebuild();
    select({ a });
    const TEditorRow &start = row(1);
    ClickInto(*start.Date);
    start.Date->selectAll();
    QTest::keyClicks(start.Date, "11.03.2024");
    EXPECT_EQ(cell("a", 1), "11.03.2024");

    // Ctrl+Z in the field takes back the whole date, never a part of it;
    // Ctrl+Shift+Z brings it back whole.
    QTest::keyClick(start.Date, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(cell("a", 1), "04.03.2024");
    QCoreApplication::processEvents();
    EXPECT_EQ(start.Date->text(), "04.03.2024");
    EXPECT_EQ(row(2).Date->text(), "04.03.2024");
    EXPECT_FALSE(doc->UndoRedo().GetCanUndo());
    QTest::keyClick(start.Date, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(cell("a", 1), "11.03.2024");

    // Leaving the field ends its step, and so does a pause of a second.
    const TEditorRow &comment = row(5);
    ClickInto(*comment.Text);
    QTest::keyClick(comment.Text, Qt::Key_End);
    QTest::keyClicks(comment.Text, "x");
    // Time passing is the point: a pause in typing.
    QTest::qWait(1200);
    QTest::keyClicks(comment.Text, "yz");
    EXPECT_EQ(cell("a", 5), "Axyz");
    doc->UndoRedo().Undo();
    EXPECT_EQ(cell("a", 5), "Ax");
    doc->UndoRedo().Undo();
    EXPECT_EQ(cell("a", 5), "A");
    EXPECT_EQ(cell("a", 1), "11.03.2024");
    doc->UndoRedo().Undo();
    EXPECT_EQ(cell("a", 1), "04.03.2024");
}

TEST_F(EditorTest, AsAWindowEachTableKeepsItsSize)
{
    TNodeData *a = task("a", "A");
    TNodeData *x = doc->AddNode("x", tbExclude, false);
    rebuild();
    select({ a });
    ASSERT_TRUE(editor->EditorPanel().isVisible());
    Probe(*form).Menus().EditorAsForm->trigger();
    EXPECT_TRUE(editor->EditorAsForm());
    EXPECT_TRUE(Probe(*form).Menus().EditorAsForm->isChecked());
    editor->ChangeEditorVisibleTimerTimer();
    TEditorForm &window = editor->EditorForm();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(editor->EditorPanel().isVisible());
    EXPECT_EQ(window.windowTitle(), "KEZ Editor");
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(window.isAncestorOf(&editor->EditorScrollBox()));
    EXPECT_EQ(window.StatusText(), "1 items selected");

    window.resize(260, 150);
    QCoreApplication::processEvents();
    rebuild(tbExclude);
    select({ x }, tbExclude);
    EXPECT_EQ(window.size(), QSize(300, std::min(300, window.maximumHeight())));
    window.resize(280, 170);
    QCoreApplication::processEvents();
    rebuild();
    EXPECT_EQ(window.size(), QSize(260, 150));
    EXPECT_EQ(editor->GetEditorSize(tbExclude), QSize(280, 170));
    // The window is no higher than its fields and status bar.
    EXPECT_EQ(window.maximumHeight(),
        editor->EditorScrollBox().ScrollRange() + window.StatusBar1()->sizeHint().height());

    Probe(*form).Menus().EditorAsForm->trigger();
    editor->ChangeEditorVisibleTimerTimer();
    EXPECT_FALSE(Probe(*form).Menus().EditorAsForm->isChecked());
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(editor->EditorPanel().isVisible());
    EXPECT_TRUE(editor->EditorPanel().isAncestorOf(&editor->EditorScrollBox()));
}

TEST_F(EditorTest, TheWheelPagesAndAClickBesideTheFieldsLeavesThem)
{
    TNodeData *a = task("a", "A");
    rebuild();
    select({ a });
    form->resize(1000, 260);
    QCoreApplication::processEvents();
    TEditorScrollBox &box = editor->EditorScrollBox();
    QScrollBar &bar = *box.verticalScrollBar();
    ASSERT_GT(bar.maximum(), 0);
    auto wheel = [](QWidget &target, int delta) {
        QWheelEvent event(QPointF(5, 5), target.mapToGlobal(QPointF(5, 5)), {}, QPoint(0, delta),
            Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&target, &event);
    };
    wheel(*row(1).Caption, -120);
    EXPECT_EQ(bar.value(), std::min(bar.maximum(), bar.pageStep()));
    wheel(*row(3).Number, 120);
    EXPECT_EQ(bar.value(), 0);

    ClickInto(*row(3).Number);
    ASSERT_TRUE(row(3).Number->hasFocus());
    QTest::mouseClick(row(0).Caption, Qt::LeftButton);
    EXPECT_FALSE(row(3).Number->hasFocus());
}

namespace {

// The editor in a window whose document is shared through its folder.
class EditorSharingTest : public mainformtest::MainFormTest {
protected:
    void SetUp() override
    {
        GeneratorOptions options;
        options.tasks = 5;
        options.absentRows = 0;
        options.positions = 2;
        OpenPlan(QStringLiteral("Shared.kez"), options);
    }
};

} // namespace

TEST_F(EditorSharingTest, TheOtherInstancesGetTheTypedValueNotEachKeystroke)
{
    TNodeData *task = row(tbTable, 0);
    TStringGridTree &tree = Probe(*form).Tree(tbTable);
    QTest::mouseClick(
        tree.viewport(), Qt::LeftButton, {}, ToQRect(tree.GetDisplayRect(task->VNode, -1, false)).center());
    Probe(*form).Editor().ChangeEditorVisibleTimerTimer();
    QCoreApplication::processEvents();
    const TEditorScrollBox &fields = Probe(*form).Editor().EditorScrollBox();
    QLineEdit &start = *fields.RowOf(1)->Date;
    ClickInto(start);
    start.selectAll();
    // The sharing cycle runs while the date is half typed.
    QTest::keyClicks(&start, "11.03.");
    IdleTick();
    QTest::keyClicks(&start, "2024");
    // Into a text field: the date field is left.
    for (const auto &field : fields.Rows()) {
        if (field->Text) {
            ClickInto(*field->Text);
            break;
        }
    }
    ASSERT_FALSE(start.hasFocus());
    IdleTick();

    TDirWatchThread &watcher = Probe(*form).Commands().Watcher();
    ASSERT_TRUE(watcher.ForceStorePending());
    TXMLFile file(watcher.DiffFileName(), true);
    ASSERT_TRUE(file.Load());
    const TXMLNode *diff = file.xml().namedNode(QStringList { "document", "diff" });
    ASSERT_NE(diff, nullptr);
    QStringList starts;
    for (const auto &record : diff->Nodes()) {
        const TXMLAttribute *id = record->namedAttribute(THashedString(QStringLiteral("id")));
        if (record->Name().Value() == QLatin1String("change") && id && id->Value() == task->ID)
            starts << GetValue(record->namedNode(THashedString(QStringLiteral("Start"))));
    }
    EXPECT_EQ(starts, QStringList({ "2024-03-11 00:00:00" }));
}
