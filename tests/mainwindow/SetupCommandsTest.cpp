// The setup menu of the real main window: a setup made in the dialogs reaches
// the document once, is saved, and survives reading the file back.
#include "dialogs/setup/gui/EditTableColumnDialog.h"
#include "dialogs/setup/gui/OrganizePositionsDialog.h"
#include "dialogs/setup/gui/SetupPositionsDialog.h"
#include "dialogs/setup/gui/SetupTableDialog.h"
#include "tests/dialogs/setup/gui/SetupDialogTestSupport.h"
#include "tests/mainwindow/MainFormTestSupport.h"
#include "timechart/TimeChart.h"

#include <QMenuBar>
#include <QPlainTextEdit>
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
        Click(d->Button1());
    });
    Action("ositionengruppieren1")->trigger();
    IdleTick();
    EXPECT_EQ(form->Chart().TabControl1().count(), 3);
    WhenModal<TOrganizePositionsDialog>([this](TOrganizePositionsDialog *d) {
        d->PageControl1()->setCurrentIndex(1);
        Click(d->SpeedButton2());
        Click(d->Button1());
    });
    Action("ositionengruppieren1")->trigger();
    IdleTick();
    EXPECT_EQ(form->Chart().TabControl1().count(), 2);
}
