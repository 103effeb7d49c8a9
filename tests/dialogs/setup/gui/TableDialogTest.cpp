// The table dialog as a user works in it: columns dragged onto the bar's
// roles and between them, the labels' menu, the list's commands, the column
// dialog, and OK refusing roles left without a column.
#include "dialogs/setup/gui/EditTableColumnDialog.h"
#include "dialogs/setup/gui/RoleLabels.h"
#include "dialogs/setup/gui/SetupTableDialog.h"
#include "tests/dialogs/setup/gui/SetupDialogTestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

using namespace setupgui;
using testsupport::WhenModal;

namespace {

class TableDialogTest : public SetupDialogTest {
protected:
    TSetupTableDialog &dialog = dialogs.SetupTableDialog();

    QString bound(TConnection role) const { return dialog.Table().Label(role).caption; }
    // Drags list row `row` onto a role's label.
    void dragRow(int row, TConnection onto)
    {
        ClickRow(*dialog.ListView1(), row);
        dialog.DragRunner = DragTo { dialog.Label(onto), {}, nullptr };
        DragFrom(dialog.ListView1()->viewport(), RowPoint(*dialog.ListView1(), row));
    }
    void dragLabel(TConnection from, TConnection onto)
    {
        dialog.DragRunner = DragTo { dialog.Label(onto), {}, nullptr };
        DragFrom(dialog.Label(from), { 5, 10 });
    }
    // Opens a label's menu and picks an item.
    void pickFromLabelMenu(TConnection role, const QString &item)
    {
        QContextMenuEvent event(
            QContextMenuEvent::Mouse, { 5, 5 }, dialog.Label(role)->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(dialog.Label(role), &event);
        ClickMenuItem(*dialog.LabelPopupMenu(), item);
    }
    void listCommand(const QString &item)
    {
        QWidget *viewport = dialog.ListView1()->viewport();
        QContextMenuEvent event(QContextMenuEvent::Mouse, { 5, 5 }, viewport->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(viewport, &event);
        ClickMenuItem(*dialog.ListViewPopupMenu(), item);
    }
};

} // namespace

// Rows: Position, Start, End, Length, State, Comment.
TEST_F(TableDialogTest, DragsAreTakenOrRefusedByTheRolesTypeAndLabelsSwap)
{
    Show<TSetupTableDialog>(dialog, [this](TSetupTableDialog *d) {
        dragRow(3, cnStart); // a number is no start
        EXPECT_EQ(bound(cnStart), "Start");
        dragRow(3, cnTermin);
        EXPECT_EQ(bound(cnTermin), "");
        dragRow(2, cnTermin); // End is a date
        EXPECT_EQ(bound(cnTermin), "End");
        EXPECT_EQ(d->Label(cnTermin)->text(), "End");
        dragRow(5, cnTextLeftTop); // a text spot takes any column
        EXPECT_EQ(bound(cnTextLeftTop), "Comment");

        // Label to label swaps two bindings that fit both.
        dragLabel(cnStart, cnEnd);
        EXPECT_EQ(bound(cnStart), "End");
        EXPECT_EQ(bound(cnEnd), "Start");
        // A date does not fit the duration: nothing changes.
        dragLabel(cnStart, cnLength);
        EXPECT_EQ(bound(cnStart), "End");
        EXPECT_EQ(bound(cnLength), "Length");
        // Onto a text spot: the spot takes the date; the start cannot take the
        // spot's text column back and is left without a column.
        dragLabel(cnStart, cnTextLeftTop);
        EXPECT_EQ(bound(cnTextLeftTop), "End");
        EXPECT_EQ(bound(cnStart), "");
        EXPECT_FALSE(d->ValidConfiguration());

        // A drop that is not a column of this dialog is refused.
        QMimeData text;
        text.setText("Start");
        QDragEnterEvent enter({ 5, 5 }, Qt::CopyAction, &text, Qt::LeftButton, {});
        QCoreApplication::sendEvent(d->Label(cnStart), &enter);
        EXPECT_FALSE(enter.isAccepted());
        d->reject();
    });
    // Cancel: the document keeps its roles.
    EXPECT_EQ(doc->GetConnection(tbTable, cnStart), 1);
    EXPECT_EQ(doc->GetConnection(tbTable, cnTermin), -1);
}

// Each shape's colour (0xBBGGRR values read by hand): slate 62 87 97 for an
// ordinary role, light blue 92 CA E0 for the roles of the selected column,
// red D6 62 73 for a required role without a column. A text spot's shape is
// shown only for the selected column.
TEST_F(TableDialogTest, TheShapesShowWhichRolesTheSelectedColumnHasAndWhichAreMissing)
{
    Show<TSetupTableDialog>(dialog, [this](TSetupTableDialog *d) {
        ClickRow(*d->ListView1(), 1); // Start
        pickFromLabelMenu(cnColor, "Delete Connection");
        pickFromLabelMenu(cnTextRightBottom, "Start");
        const QImage picture = d->Image1()->grab().toImage();
        auto colourOf = [&](TConnection role) {
            const QRect shape = d->Shape(role)->geometry();
            return QColor(picture.pixel(shape.left() + 3, shape.center().y()));
        };
        const QColor slate(0x62, 0x87, 0x97), light(0x92, 0xCA, 0xE0), red(0xD6, 0x62, 0x73);
        EXPECT_EQ(colourOf(cnStart), light);
        EXPECT_EQ(colourOf(cnTextRightBottom), light);
        EXPECT_EQ(colourOf(cnEnd), slate);
        EXPECT_EQ(colourOf(cnLength), slate);
        EXPECT_EQ(colourOf(cnPosition), slate);
        EXPECT_EQ(colourOf(cnTermin), slate);
        EXPECT_EQ(colourOf(cnColor), red);
        // The bar shows through where a text spot has no shape (F5 E6 D2).
        EXPECT_EQ(colourOf(cnTextCenterMiddle), QColor(0xD2, 0xE6, 0xF5));
        EXPECT_FALSE(d->Shape(cnTextCenterMiddle)->isVisible());
        d->grab().save(QStringLiteral("setup-table-dialog.png"));
        d->reject();
    });
}

TEST_F(TableDialogTest, TheLabelMenuOffersTheColumnsThatFitAndClearsABinding)
{
    Show<TSetupTableDialog>(dialog, [this](TSetupTableDialog *d) {
        pickFromLabelMenu(cnTermin, "End");
        EXPECT_EQ(bound(cnTermin), "End");
        QMenu &menu = *d->LabelPopupMenu();
        EXPECT_EQ(menu.actions().size(), 2 + 6);
        for (const char *column : { "Start", "End" })
            EXPECT_TRUE(MenuItem(menu, column)->isEnabled()) << column;
        for (const char *column : { "Position", "Length", "State", "Comment" })
            EXPECT_FALSE(MenuItem(menu, column)->isEnabled()) << column;
        pickFromLabelMenu(cnTermin, "Delete Connection");
        EXPECT_EQ(bound(cnTermin), "");
        EXPECT_TRUE(d->ValidConfiguration()); // the deadline is optional
        d->reject();
    });
}

// New columns get unique names, a deleted column takes its roles along,
// moves stop at the ends; OK lays the table out anew with the cells along.
TEST_F(TableDialogTest, ColumnsAddedRenamedDeletedAndMovedReachTheTableOnOk)
{
    addTask("t1", "Position 1", "04.03.2024", "2");
    doc->SetData(doc->FindNode("t1"), 5, "first");
    Show<TSetupTableDialog>(dialog, [this](TSetupTableDialog *d) {
        int shown = 0;
        auto acceptColumn = [&](const QString &name) {
            WhenModal<TEditTableColumnDialog>([&, name](TEditTableColumnDialog *c) {
                ++shown;
                EXPECT_TRUE(c->ComboBox1()->isEnabled());
                if (!name.isEmpty()) {
                    c->Edit1()->selectAll();
                    QTest::keyClicks(c->Edit1(), name);
                }
                Click(c->ButtonOK());
            });
        };
        acceptColumn({});
        listCommand("new Column");
        acceptColumn({});
        listCommand("new Column");
        EXPECT_EQ(shown, 2);
        EXPECT_EQ(d->Table().Captions(),
            QStringList(
                { "Position", "Start", "End", "Length", "State", "Comment", "New Column", "New Column 1" }));
        // Renamed to a caption in use.
        acceptColumn("Start");
        DoubleClickRow(*d->ListView1(), 7);
        EXPECT_EQ(d->Table().columns[7].caption, "Start 1");
        EXPECT_EQ(d->ListView1()->topLevelItem(7)->text(0), "Start 1");

        // The Color column goes, and its role with it.
        ClickRow(*d->ListView1(), 4);
        listCommand("delete Column");
        EXPECT_EQ(bound(cnColor), "");
        EXPECT_FALSE(d->ValidConfiguration());
        // A pulldown fits, but one column cannot be both position and colour.
        pickFromLabelMenu(cnColor, "Position");
        EXPECT_EQ(bound(cnColor), "Position");
        EXPECT_FALSE(d->ValidConfiguration());
        EXPECT_EQ(d->Shape(cnPosition)->BrushColor(), clRoleShapeInvalid);
        EXPECT_EQ(d->Shape(cnColor)->BrushColor(), clRoleShapeInvalid);

        // "Comment" to the top and on past it; "Start 1" down past the end.
        ClickRow(*d->ListView1(), 4);
        for (int i = 0; i < 6; ++i)
            Click(d->UpButton());
        ClickRow(*d->ListView1(), 6);
        Click(d->DownButton());
        EXPECT_EQ(d->Table().Captions(),
            QStringList({ "Comment", "Position", "Start", "End", "Length", "New Column", "Start 1" }));
        EXPECT_EQ(d->ListView1()->selectedItems().value(0)->text(0), "Start 1");
        d->reject();
    });

    // Again, ending in OK: Comment moved up, State's items edited.
    Show<TSetupTableDialog>(dialog, [this](TSetupTableDialog *d) {
        ClickRow(*d->ListView1(), 5);
        Click(d->UpButton()); // Comment above State
        ClickRow(*d->ListView1(), 5);
        WhenModal<TEditTableColumnDialog>([](TEditTableColumnDialog *c) {
            // Bound to Color: the type stays a pulldown.
            EXPECT_FALSE(c->ComboBox1()->isEnabled());
            EXPECT_EQ(c->Memo1()->toPlainText(), "State 1\nState 2\nState 3");
            c->Memo1()->setPlainText("open\n\nclosed, for good\n");
            Click(c->ButtonOK());
        });
        Click(d->Button2());
        Click(d->Button1());
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(captions(), QStringList({ "Position", "Start", "End", "Length", "Comment", "State" }));
    EXPECT_EQ(column(tbTable, 4), QStringList({ "first" }));
    EXPECT_EQ(ToCommaText(doc->GetColumnStrings(tbTable, 5)), R"("""open""","""closed, for good""")");
    EXPECT_EQ(doc->GetConnection(tbTable, cnColor), 5);
    EXPECT_EQ(doc->GetConnection(tbTable, cnTextCenterMiddle), 4);
}

TEST_F(TableDialogTest, ARequiredRoleWithoutAColumnKeepsTheDialogOpenWithItsMessage)
{
    Show<TSetupTableDialog>(dialog, [this](TSetupTableDialog *d) {
        pickFromLabelMenu(cnPosition, "Delete Connection");
        Click(d->Button1());
        EXPECT_TRUE(d->isVisible());
        ASSERT_EQ(messages.Questions().size(), 1);
        EXPECT_EQ(messages.Questions()[0].Msg,
            "The current configuration is invalid.\rPlease connect the remaining red fields with a column of "
            "the "
            "table.");
        // The column of the position's role, taken again by a drag.
        dragRow(0, cnPosition);
        Click(d->Button1());
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(messages.Questions().size(), 1);
    EXPECT_EQ(doc->GetConnection(tbTable, cnPosition), 0);
}

// The Position column's items are the positions: its column dialog shows no
// lines but "Edit resources...", and its items stay whatever it stores.
TEST_F(TableDialogTest, ThePositionColumnsDialogOffersThePositionsInsteadOfLines)
{
    const QStringList before = positions();
    Show<TSetupTableDialog>(dialog, [this](TSetupTableDialog *d) {
        ClickRow(*d->ListView1(), 0);
        WhenModal<TEditTableColumnDialog>([](TEditTableColumnDialog *c) {
            EXPECT_FALSE(c->Memo1()->isVisible());
            EXPECT_FALSE(c->Label3()->isVisible());
            EXPECT_TRUE(c->Button3()->isVisible());
            EXPECT_FALSE(c->ComboBox1()->isEnabled());
            c->Edit1()->setText("Machine");
            Click(c->ButtonOK());
        });
        DoubleClickRow(*d->ListView1(), 0);
        EXPECT_EQ(bound(cnPosition), "Machine");
        Click(d->Button1());
    });
    EXPECT_EQ(doc->GetColumnCaption(tbTable, 0), "Machine");
    EXPECT_EQ(positions(), before);
}
