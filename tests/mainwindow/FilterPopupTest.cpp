#include "mainwindow/FilterPopup.h"

#include "controls/AutocompletingEdit.h"
#include "document/ChartRows.h"
#include "document/text/CommaText.h"
#include "mainwindow/FilterCommands.h"
#include "tables/TaskTables.h"
#include "tests/mainwindow/MainWindowTestSupport.h"
#include "tests/support/PixelTest.h"
#include "timechart/TimeChart.h"

#include <QAction>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <map>

namespace {

class FilterPopupTest : public mainwindowtest::EditorTest {
protected:
    // One task per comment, on Position 1, with its comment as ID.
    void tasks(const QStringList &comments)
    {
        for (const QString &c : comments)
            task(c.isEmpty() ? "empty" : c, c);
    }
    // The IDs of the task rows in order, hidden ones in brackets.
    QStringList order() const
    {
        QStringList ids;
        const DocumentTable &rows = doc->GetTable(tbTable);
        for (const TNodeData *r = rows.First(); r; r = rows.Next(r))
            ids << (rows.IsHidden(r) ? "(" + r->ID + ")" : r->ID);
        return ids;
    }

    TFilterPopup &popup() const { return Probe(*form).Filters().FilterPopup(); }
    QRadioButton &radio(const QString &text) const
    {
        for (QRadioButton *r : popup().findChildren<QRadioButton *>()) {
            if (r->text() == text && !r->isHidden())
                return *r;
        }
        ADD_FAILURE() << "no shown radio button " << text.toStdString();
        return *popup().findChild<QRadioButton *>();
    }
    template <typename T> T &control(const char *name) const
    {
        T *found = popup().findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }
    // The screen point at the column's left edge on top of the tree.
    QPoint columnTopLeft(int column) const
    {
        int left = 0, right = 0;
        const TStringGridTree &tree = Probe(*form).Tree(tbTable);
        tree.Header().Columns().GetColumnBounds(column, left, right);
        return tree.HeaderWidget().mapToGlobal(QPoint(left, 0));
    }
    // A click into the filter zone of the column's header.
    void open(int column)
    {
        TStringGridTree &tree = Probe(*form).Tree(tbTable);
        int left = 0, right = 0;
        tree.Header().Columns().GetColumnBounds(column, left, right);
        QTest::mouseClick(&tree.HeaderWidget(), Qt::LeftButton, {}, QPoint(left + 5, 8));
        ASSERT_TRUE(QTest::qWaitForWindowActive(&popup()));
    }
    void click(QAbstractButton &button) { QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(4, 4)); }
    void type(QLineEdit &edit, const QString &text)
    {
        edit.setFocus();
        edit.selectAll();
        QTest::keyClicks(&edit, text);
    }
    // The header column's image and hint.
    std::pair<int, QString> mark(int column) const
    {
        const TGridTreeColumn &header = Probe(*form).Tree(tbTable).Header().Columns()[column];
        return { header.ImageIndex(), header.Hint() };
    }
    // Shows a position-group tab of the chart as a click on it does.
    void showGroup(int tab)
    {
        QTabBar &tabs = Probe(*form).Chart().TabControl1();
        QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(tab).center());
        QCoreApplication::processEvents();
    }
    TFilterCommands &filters() const { return Probe(*form).Filters(); }
};

} // namespace

TEST_F(FilterPopupTest, ATextPatternSetThroughThePopupHidesTheRowsItDoesNotMatch)
{
    tasks({ "ab", "cab", "AB", "" });
    open(5);
    EXPECT_EQ(popup().Caption(), "Filter Column Comment");
    EXPECT_EQ(popup().pos(), columnTopLeft(5));
    EXPECT_TRUE(radio("no Filter").isChecked());
    // A text column offers the list, not numbers or dates.
    EXPECT_FALSE(control<QListWidget>("ListBox").isHidden());
    EXPECT_TRUE(control<QLineEdit>("Number").isHidden());
    EXPECT_TRUE(control<QDateEdit>("DateFrom").isHidden());
    EXPECT_FALSE(control<TAutocompletingEdit>("Pattern").isEnabled());

    testsupport::SavePng(popup().grab().toImage(), "filter_popup_text");
    click(radio("equal to"));
    TAutocompletingEdit &pattern = control<TAutocompletingEdit>("Pattern");
    EXPECT_TRUE(pattern.isEnabled());
    EXPECT_EQ(QSet<QString>(pattern.Items().begin(), pattern.Items().end()),
        QSet<QString>({ "", "ab", "AB", "cab" }));
    type(pattern, "*b");
    click(control<QPushButton>("OK"));
    EXPECT_FALSE(popup().isVisible());
    EXPECT_EQ(order(), QStringList({ "ab", "cab", "AB", "(empty)" }));
    EXPECT_EQ(mark(5), std::make_pair(22, QString("[contains *b]")));
    EXPECT_EQ(mark(4), std::make_pair(23, QString()));
    ASSERT_EQ(filters().Filters().Items().size(), 1u);
    EXPECT_EQ(filters().Filters().Items()[0].header, "Comment");

    // Reopened it shows the filter; Cancel, Escape and a click outside (after
    // that earlier OK) leave it as it is; Enter applies.
    open(5);
    EXPECT_TRUE(radio("equal to").isChecked());
    EXPECT_EQ(pattern.text(), "*b");
    type(pattern, "ab");
    click(control<QPushButton>("ButtonCancel"));
    open(5);
    type(pattern, "ab");
    QTest::keyClick(&pattern, Qt::Key_Escape);
    EXPECT_FALSE(popup().isVisible());
    open(5);
    type(pattern, "ab");
    clickStatusBar();
    EXPECT_FALSE(popup().isVisible());
    EXPECT_EQ(order(), QStringList({ "ab", "cab", "AB", "(empty)" }));
    open(5);
    type(pattern, "ab");
    QTest::keyClick(&pattern, Qt::Key_Return);
    EXPECT_FALSE(popup().isVisible());
    EXPECT_EQ(order(), QStringList({ "ab", "(cab)", "AB", "(empty)" }));

    // Empty fields, then no filter.
    open(5);
    click(radio("only empty fields"));
    click(control<QPushButton>("OK"));
    EXPECT_EQ(order(), QStringList({ "(ab)", "(cab)", "(AB)", "empty" }));
    EXPECT_EQ(mark(5).second, "[empty fields]");
    open(5);
    click(radio("no Filter"));
    QTest::keyClick(&popup(), Qt::Key_Enter);
    EXPECT_EQ(order(), QStringList({ "ab", "cab", "AB", "empty" }));
    EXPECT_EQ(mark(5), std::make_pair(23, QString()));
}

TEST_F(FilterPopupTest, AListTakesTheClickedItemsAndKeepsThemWhenNoneIsChosen)
{
    TNodeData *a = task("a", "");
    TNodeData *b = task("b", "");
    TNodeData *c = task("c", "");
    doc->DoSetData(a, 4, "State 1", false);
    doc->DoSetData(b, 4, "State 2", false);
    doc->DoSetData(c, 4, "State 3", false);
    open(4);
    QListWidget &list = control<QListWidget>("ListBox");
    ASSERT_EQ(list.count(), 3);
    EXPECT_FALSE(list.isEnabled());
    click(radio("List"));
    EXPECT_TRUE(list.isEnabled());
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(0)).center());
    QTest::mouseClick(
        list.viewport(), Qt::LeftButton, Qt::ControlModifier, list.visualItemRect(list.item(2)).center());
    click(control<QPushButton>("OK"));
    EXPECT_EQ(order(), QStringList({ "a", "(b)", "c" }));
    EXPECT_EQ(mark(4).second, "[= State 1,State 3]");

    open(4);
    EXPECT_TRUE(list.item(0)->isSelected());
    EXPECT_FALSE(list.item(1)->isSelected());
    list.clearSelection();
    click(control<QPushButton>("OK"));
    EXPECT_EQ(order(), QStringList({ "a", "(b)", "c" }));
}

TEST_F(FilterPopupTest, NumberAndDateFiltersSetTheirBoundsThroughTheirFields)
{
    for (const QString days : { "1", "2", "3", "4" })
        task("d" + days, "", "04.03.2024", days);
    // The filter menu's item of the column opens the popup too.
    QAction *length = Probe(*form).Menus().FilterMenu->actions().at(3);
    EXPECT_EQ(length->text(), "Length");
    length->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&popup()));
    EXPECT_FALSE(control<QLineEdit>("Number").isHidden());
    EXPECT_TRUE(control<QListWidget>("ListBox").isHidden());
    click(radio("from"));
    testsupport::SavePng(popup().grab().toImage(), "filter_popup_number");
    EXPECT_FALSE(control<QLineEdit>("Number").isEnabled());
    type(control<QLineEdit>("NumberFrom"), "1");
    type(control<QLineEdit>("NumberTo"), "4");
    click(control<QPushButton>("OK"));
    EXPECT_EQ(order(), QStringList({ "(d1)", "d2", "d3", "(d4)" }));
    EXPECT_EQ(mark(3).second, "[from 1 to 4]");

    // The single number field stands beside the comparison clicked.
    open(3);
    QRadioButton &bigger = radio("bigger than");
    click(bigger);
    QLineEdit &number = control<QLineEdit>("Number");
    EXPECT_EQ(number.y(), bigger.y() - 3);
    type(number, "2");
    click(control<QPushButton>("OK"));
    EXPECT_EQ(order(), QStringList({ "(d1)", "(d2)", "d3", "d4" }));

    // A date range includes both end days.
    task("late", "", "06.03.2024", "3");
    open(1);
    EXPECT_FALSE(control<QDateEdit>("DateFrom").isHidden());
    click(radio("Date"));
    testsupport::SavePng(popup().grab().toImage(), "filter_popup_date");
    // Tabbed into, a picker takes the digits section by section.
    for (auto [name, digits] :
        { std::pair { "DateFrom", "05032024" }, std::pair { "DateTill", "06032024" } }) {
        QDateEdit &picker = control<QDateEdit>(name);
        picker.setFocus(Qt::TabFocusReason);
        QTest::keyClicks(&picker, digits);
    }
    click(control<QPushButton>("OK"));
    EXPECT_EQ(mark(1).second, "[from 05.03.2024 till 06.03.2024]");
    EXPECT_EQ(order(), QStringList({ "(d1)", "(d2)", "(d3)", "(d4)", "late" }));
}

TEST_F(FilterPopupTest, EachGroupTabKeepsItsFiltersAndTheClearCommandsRemoveThem)
{
    tasks({ "ab", "cd" });
    TNodeData *incomplete = doc->AddNode("incomplete", tbTable, false);
    doc->DoSetData(incomplete, 5, "zz", false);
    Probe(*form).Chart().ResetPositionGroups();
    // A group of the first two positions (their whole items).
    const QStringList &positions = doc->GetColumnStrings(tbTable, 0);
    Probe(*form).Chart().AddPositionGroup("Team", TCommaText(positions.mid(0, 2)).AsString());
    showGroup(1);
    open(0);
    click(radio("List"));
    QListWidget &list = control<QListWidget>("ListBox");
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(1)).center());
    click(control<QPushButton>("OK"));
    EXPECT_EQ(order(), QStringList({ "(ab)", "(cd)", "incomplete" }));
    open(5);
    click(radio("equal to"));
    type(control<TAutocompletingEdit>("Pattern"), "a*");
    click(control<QPushButton>("OK"));

    // The first tab has no filters; back on "Team" both return, the first
    // column's too. Incomplete rows are never hidden.
    showGroup(0);
    EXPECT_EQ(order(), QStringList({ "ab", "cd", "incomplete" }));
    showGroup(1);
    EXPECT_EQ(order(), QStringList({ "(ab)", "(cd)", "incomplete" }));
    EXPECT_EQ(mark(0).first, 22);

    // And again from the view settings, as after reopening the document.
    TDocumentSettings settings;
    Probe(*form).GetViewSettings(settings);
    doc->GetHeader(tbTable, 0)->Filter = {};
    Probe(*form).ApplyViewSettings(settings);
    EXPECT_TRUE(doc->GetHeader(tbTable, 0)->IsFiltered());
    EXPECT_TRUE(doc->GetHeader(tbTable, 5)->IsFiltered());

    // Clearing one column, then all: their copies go too, so a tab switch does
    // not bring them back.
    Probe(*form).UpdateActions();
    EXPECT_TRUE(Probe(*form).Menus().ActionClearAllFilters->isEnabled());
    Probe(*form).Tables().SetActiveColumn(0);
    Probe(*form).Menus().ActionClearFilter->trigger();
    EXPECT_EQ(order(), QStringList({ "ab", "(cd)", "incomplete" }));
    Probe(*form).Menus().ActionClearAllFilters->trigger();
    Probe(*form).UpdateActions();
    EXPECT_FALSE(Probe(*form).Menus().ActionClearAllFilters->isEnabled());
    showGroup(0);
    showGroup(1);
    EXPECT_EQ(order(), QStringList({ "ab", "cd", "incomplete" }));
    EXPECT_TRUE(filters().Filters().Items().empty());
}

TEST_F(FilterPopupTest, NearTheScreensEdgesThePopupMovesAboveTheHeaderAndInside)
{
    tasks({ "ab" });
    const QRect screen = form->screen()->geometry();
    const QSize size = popup().size();
    const QPoint target(screen.right() - 40, screen.bottom() - 30);
    form->move(form->pos() + (target - columnTopLeft(5)));
    QCoreApplication::processEvents();
    ASSERT_EQ(columnTopLeft(5), target);
    open(5);
    const int header = Probe(*form).Tree(tbTable).Header().Height();
    EXPECT_EQ(popup().pos(), QPoint(screen.right() + 1 - size.width(), target.y() - size.height() - header));
    click(control<QPushButton>("ButtonCancel"));
}

TEST_F(FilterPopupTest, EnteringTheEditorRefiltersTheSelectedRows)
{
    tasks({ "ab", "ac" });
    open(5);
    click(radio("equal to"));
    type(control<TAutocompletingEdit>("Pattern"), "a*");
    click(control<QPushButton>("OK"));
    TNodeData *ab = doc->FindNode("ab", tbTable);
    select({ ab });
    // An edit that leaves the filter keeps the row until the editor is entered again.
    TAutocompletingEdit &comment = *row(5).Text;
    comment.setFocus(Qt::MouseFocusReason);
    comment.selectAll();
    QTest::keyClicks(&comment, "x");
    EXPECT_EQ(order(), QStringList({ "ab", "ac" }));
    row(3).Number->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(order(), QStringList({ "(ab)", "ac" }));
    EXPECT_EQ(doc->SelectedCount(tbTable), 0);
}

TEST_F(FilterPopupTest, AFilteredColumnsHeaderHintShowsItsFilter)
{
    tasks({ "ab", "cab" });
    open(5);
    click(radio("equal to"));
    type(control<TAutocompletingEdit>("Pattern"), "*b");
    click(control<QPushButton>("OK"));

    // The mouse over the header cells (past their filter zones).
    TStringGridTree &tree = Probe(*form).Tree(tbTable);
    auto hintOver = [&tree](int column) {
        int left = 0, right = 0;
        tree.Header().Columns().GetColumnBounds(column, left, right);
        QTest::mouseMove(&tree.HeaderWidget(), QPoint(left + 30, 8));
        QCoreApplication::processEvents();
        const TGridTreeHintWindow *hint = tree.HintWindow();
        return hint && hint->isVisible() ? hint->HintData().HintText : QString();
    };
    EXPECT_EQ(hintOver(5), QStringLiteral("[contains *b]"));
    EXPECT_EQ(hintOver(4), QString());
}
