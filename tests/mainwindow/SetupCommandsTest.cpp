// The setup menu of the real main window: a setup made in the dialogs reaches
// the document once, is saved, and survives reading the file back.
#include "controls/CompletingComboBox.h"
#include "dialogs/setup/gui/EditTableColumnDialog.h"
#include "dialogs/setup/gui/OrganizePositionsDialog.h"
#include "dialogs/setup/gui/SetupPositionsDialog.h"
#include "dialogs/setup/gui/SetupTableDialog.h"
#include "document/ChartRows.h"
#include "document/text/CommaText.h"
#include "mainwindow/EditorScrollBox.h"
#include "tests/dialogs/setup/gui/SetupDialogTestSupport.h"
#include "tests/mainwindow/MainFormTestSupport.h"
#include "timechart/TimeChart.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabBar>
#include <QToolButton>

using namespace mainformtest;
using setupgui::ClickRow;
using testsupport::WhenModal;

namespace {

class SetupCommandsTest : public MainFormTest {
protected:
    void SetUp() override
    {
        GeneratorOptions options;
        options.tasks = 30;
        options.absentRows = 6;
        options.positions = 5;
        options.spanDays = 30;
        plan = OpenPlan(QStringLiteral("Werk.kez"), options);
    }
    static void Click(QAbstractButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
    QStringList positions() const
    {
        return ItemValues(doc().GetColumnStrings(tbTable, doc().GetConnection(tbTable, cnPosition)));
    }
    // Everything a reader of the document gets of the tables.
    QStringList contents() const
    {
        QStringList out;
        for (int c = 0; c < doc().GetTableColCount(tbTable); ++c)
            out << doc().GetColumnCaption(tbTable, c);
        return out + positions() + rowTexts(doc(), tbTable) + rowTexts(doc(), tbExclude);
    }
    QByteArray fileBytes() const
    {
        QFile file(plan);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Table dialog → "Edit resources..." → "Machine 1" renamed, OK → the last
    // column moved up one → the table dialog's OK (or Cancel).
    void renameAndMove(bool ok)
    {
        const int positionRow = doc().GetConnection(tbTable, cnPosition);
        const QStringList before = contents();
        WhenModal<TSetupTableDialog>([=, this](TSetupTableDialog *table) {
            WhenModal<TEditTableColumnDialog>([=, this](TEditTableColumnDialog *column) {
                WhenModal<TSetupPositionsDialog>([](TSetupPositionsDialog *positions) {
                    ClickRow(*positions->ListView1(), 1);
                    positions->Memo1()->selectAll();
                    QTest::keyClicks(positions->Memo1(), "Press");
                    Click(positions->Button3());
                });
                Click(column->Button3());
                // Only accepted: nothing reaches the document yet.
                EXPECT_EQ(contents(), before);
                Click(column->ButtonOK());
            });
            ClickRow(*table->ListView1(), positionRow);
            Click(table->Button2());
            ClickRow(*table->ListView1(), table->ListView1()->topLevelItemCount() - 1);
            Click(table->UpButton());
            Click(ok ? table->Button1() : table->findChild<QPushButton *>(QStringLiteral("Button3")));
        });
        Action("Tabellebearbeiten1")->trigger();
    }

    // Selects the task row by a click in its table; the editor then shows.
    void select(TNodeData *row)
    {
        TStringGridTree &tree = Probe(*form).Tree(tbTable);
        const QRect place = ToQRect(tree.GetDisplayRect(row->VNode, -1, false));
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, place.center());
        Probe(*form).Editor().ChangeEditorVisibleTimerTimer();
        QCoreApplication::processEvents();
    }
    // The items the editor's Position field offers.
    QStringList positionChoices() const
    {
        const TEditorRow *row
            = Probe(*form).Editor().EditorScrollBox().RowOf(doc().GetConnection(tbTable, cnPosition));
        QStringList items;
        for (int i = 0; row && row->Combo && i < row->Combo->count(); ++i)
            items << row->Combo->itemText(i);
        return items;
    }

    QString plan;
};

} // namespace

TEST_F(SetupCommandsTest, TheSetupMenuCarriesTheFiveDialogsThenTheLanguage)
{
    // One setup menu in the bar, however many parts of the window fill it.
    QMenu *menu = nullptr;
    for (QAction *entry : form->menuBar()->actions()) {
        if (entry->menu() && entry->menu()->objectName() == QLatin1String("Format1")) {
            EXPECT_FALSE(menu) << "a second setup menu";
            menu = entry->menu();
        }
    }
    ASSERT_TRUE(menu);
    QStringList entries;
    for (QAction *entry : menu->actions()) {
        if (!entry->isSeparator())
            entries << (entry->menu() ? entry->menu()->objectName() : entry->objectName());
    }
    EXPECT_EQ(entries,
        QStringList({ "Tabellebearbeiten1", "Fehltagebearbeiten1", "Arbeitspltzebearbeiten1",
            "ositionengruppieren1", "EditHoliday1", "Sprache1" }));
    for (const char *name : { "Tabellebearbeiten1", "Fehltagebearbeiten1", "ositionengruppieren1",
             "Arbeitspltzebearbeiten1", "EditHoliday1" }) {
        QAction *action = Action(name);
        ASSERT_TRUE(action) << name;
        EXPECT_TRUE(action->isEnabled()) << name;
    }
}

TEST_F(SetupCommandsTest, ARenameInsideTheTableDialogAndAColumnMoveAreAppliedOnceAndSaved)
{
    const QStringList before = contents();
    const QByteArray saved = fileBytes();
    renameAndMove(false);
    EXPECT_EQ(contents(), before);
    EXPECT_EQ(fileBytes(), saved);

    const int onPress = int(std::count_if(before.begin(), before.end(), [](const QString &row) {
        return row.contains(QStringLiteral("|Machine 1|")) || row.contains(": Machine 1|");
    }));
    ASSERT_GT(onPress, 0);
    renameAndMove(true);
    EXPECT_EQ(positions(), QStringList({ "Machine 0", "Press", "Machine 2", "Machine 3", "Machine 4" }));
    const QStringList after = contents();
    EXPECT_EQ(after.mid(0, 6), QStringList({ "Position", "Start", "End", "Length", "Comment", "State" }));
    int renamed = 0;
    for (qsizetype i = 0; i < after.size(); ++i) {
        EXPECT_FALSE(after[i].contains(QStringLiteral("Machine 1|"))) << after[i].toStdString();
        renamed += after[i].contains(QStringLiteral(": Press|")) ? 1 : 0;
    }
    EXPECT_EQ(renamed, onPress);
    EXPECT_NE(fileBytes(), saved);

    // The saved file holds the same setup and rows.
    ASSERT_TRUE(form->Open(plan));
    EXPECT_EQ(contents(), after);
}

// Deleting a group in its dialog removes its tab from the chart.
TEST_F(SetupCommandsTest, GroupsMadeInTheirDialogBecomeTheChartsTabs)
{
    WhenModal<TOrganizePositionsDialog>([this](TOrganizePositionsDialog *d) {
        Click(d->SpeedButton1());
        Click(d->SpeedButton1());
        // Two tabs of one name could not be told apart: the second is renamed.
        d->NameEdit(2)->selectAll();
        QTest::keyClicks(d->NameEdit(2), "Saws");
        Click(d->Button1());
    });
    Action("ositionengruppieren1")->trigger();
    IdleTick();
    EXPECT_EQ(Probe(*form).Chart().TabControl1().count(), 3);
    WhenModal<TOrganizePositionsDialog>([this](TOrganizePositionsDialog *d) {
        d->PageControl1()->setCurrentIndex(1);
        Click(d->SpeedButton2());
        Click(d->Button1());
    });
    Action("ositionengruppieren1")->trigger();
    IdleTick();
    EXPECT_EQ(Probe(*form).Chart().TabControl1().count(), 2);
}

TEST_F(SetupCommandsTest, TheEditorsPositionListFollowsTheEditedPositions)
{
    select(row(tbTable, 0));
    ASSERT_TRUE(Probe(*form).Editor().EditorPanel().isVisible());
    // The plan's first position has two rows.
    EXPECT_EQ(positionChoices(),
        QStringList({ "Machine 0", "Machine 0 (1)", "Machine 1", "Machine 2", "Machine 3", "Machine 4" }));
    // "Machine 1" renamed, and a second row given to "Machine 3".
    WhenModal<TSetupPositionsDialog>([](TSetupPositionsDialog *d) {
        ClickRow(*d->ListView1(), 1);
        d->Memo1()->selectAll();
        QTest::keyClicks(d->Memo1(), "Press");
        ClickRow(*d->ListView1(), 3);
        d->Edit1()->setValue(2);
        Click(d->Button3());
    });
    Action("Arbeitspltzebearbeiten1")->trigger();
    IdleTick();
    EXPECT_EQ(positionChoices(),
        QStringList({ "Machine 0", "Machine 0 (1)", "Press", "Machine 2", "Machine 3", "Machine 3 (1)",
            "Machine 4" }));
    // Back to one row: its second row is offered no more.
    WhenModal<TSetupPositionsDialog>([](TSetupPositionsDialog *d) {
        ClickRow(*d->ListView1(), 3);
        d->Edit1()->setValue(1);
        Click(d->Button3());
    });
    Action("Arbeitspltzebearbeiten1")->trigger();
    IdleTick();
    EXPECT_EQ(positionChoices(),
        QStringList({ "Machine 0", "Machine 0 (1)", "Press", "Machine 2", "Machine 3", "Machine 4" }));
}

TEST_F(SetupCommandsTest, AGroupOfPositionNamesShowsTheSameRowsInTheTableAndTheChart)
{
    // A group as the document format words it: the names of its positions.
    Probe(*form).Chart().AddPositionGroup(QStringLiteral("Q"), ToCommaText({ "Machine 1", "machine 3" }));
    QTabBar &tabs = Probe(*form).Chart().TabControl1();
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(1).center());
    IdleTick();
    const DocumentTable &tasks = doc().GetTable(tbTable);
    int inGroup = 0;
    for (TNodeData *r = tasks.First(); r; r = tasks.Next(r)) {
        const QString position = doc().GetData_(r, cnPosition);
        const bool member = position == "Machine 1" || position == "Machine 3";
        inGroup += member ? 1 : 0;
        EXPECT_EQ(tasks.IsHidden(r), !member) << position.toStdString();
        EXPECT_EQ(doc().GetPositionOf(r) >= 0, member) << position.toStdString();
    }
    ASSERT_GT(inGroup, 0);
    EXPECT_EQ(doc().ChartRows().GlobalPositionFilter().size(), 2);
    EXPECT_EQ(Probe(*form).StatusPanel(1).text(), QStringLiteral("in Q: %1").arg(inGroup));

    // The groups dialog shows them as members; its OK writes the whole items.
    std::vector<bool> checked;
    WhenModal<TOrganizePositionsDialog>([&checked](TOrganizePositionsDialog *d) {
        checked = d->Groups().pages.at(1).checked;
        Click(d->Button1());
    });
    Action("ositionengruppieren1")->trigger();
    EXPECT_EQ(checked, std::vector<bool>({ false, true, false, true, false }));
    const QStringList items = doc().GetColumnStrings(tbTable, doc().GetConnection(tbTable, cnPosition));
    EXPECT_EQ(ParseCommaText(doc().Setup().FPositionGroup.value(1)), QStringList({ items[1], items[3] }));
}
