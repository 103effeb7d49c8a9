// The colour legend's counts of selected rows per colour, kept as the selection
// changes, against a plain recount of the selected rows after each of a random
// walk of a planner's actions through the real window: clicks with and without
// Shift and Ctrl, select all, a filter and clearing it, delete and undo, and a
// click on a legend swatch that recolours the selected rows. The chart's list of
// selected rows is held against the selection too.
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "document/program/Translation.h"
#include "mainwindow/FilterCommands.h"
#include "mainwindow/FilterPopup.h"
#include "tests/mainwindow/MainWindowTestSupport.h"
#include "timechart/CanvasPanel.h"
#include "timechart/ColorLegend.h"
#include "timechart/TimeChart.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <map>
#include <random>
#include <set>

namespace {

class SelectedColorsProperty : public mainwindowtest::EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        GeneratorOptions options;
        options.tasks = 60;
        options.absentRows = 8;
        options.positions = 5;
        options.barTexts = true; // a colour column with three items
        OpenPlan("colours.kez", options);
        FColumn = doc->GetConnection(tbTable, cnColor);
        Probe(*form).Chart().RedrawTimer().stop();
    }

    void Settle()
    {
        for (int round = 0; round < 50; ++round) {
            QCoreApplication::processEvents();
            IdleTick();
            if (Probe(*form).IsIdle())
                break;
        }
    }

    int Pick(int n) { return std::uniform_int_distribution<int>(0, std::max(0, n - 1))(FRandom); }

    void Click(Qt::KeyboardModifiers keys)
    {
        QWidget &view = *Probe(*form).Tree(tbTable).viewport();
        QTest::mouseClick(&view, Qt::LeftButton, keys, QPoint(30, 2 + Pick(view.height() - 4)));
    }
    QString Filter()
    {
        TStringGridTree &tree = Probe(*form).Tree(tbTable);
        int left = 0, right = 0;
        tree.Header().Columns().GetColumnBounds(FColumn, left, right);
        TFilterPopup &popup = Probe(*form).Filters().FilterPopup();
        QTest::mouseClick(&tree.HeaderWidget(), Qt::LeftButton, {}, QPoint(left + 5, 8));
        if (!QTest::qWaitForWindowActive(&popup))
            return QStringLiteral("no popup");
        for (QRadioButton *r : popup.findChildren<QRadioButton *>())
            if (r->text() == Translate(QStringLiteral("equal to")) && !r->isHidden())
                QTest::mouseClick(r, Qt::LeftButton, {}, QPoint(4, 4));
        auto *pattern = popup.findChild<QLineEdit *>(QStringLiteral("Pattern"));
        const QStringList items = doc->GetColumnStrings(tbTable, FColumn);
        const QString text = items.value(Pick(int(items.size()))).section(QLatin1Char(','), 0, 0);
        pattern->setFocus();
        pattern->selectAll();
        QTest::keyClicks(pattern, text);
        QTest::mouseClick(
            popup.findChild<QPushButton *>(QStringLiteral("OK")), Qt::LeftButton, {}, QPoint(4, 4));
        return text;
    }
    void Recolour()
    {
        TCanvasPanel &legend = Probe(*form).Chart().ItemColorPanel();
        const TLegendLayout layout(3, legend.width(), legend.height());
        QTest::mouseClick(&legend, Qt::LeftButton, {}, ToQRect(layout.SwatchRect(Pick(3))).center());
    }

    QString Act()
    {
        TStringGridTree &tree = Probe(*form).Tree(tbTable);
        switch (Pick(10)) {
        case 0:
        case 1:
            Click({});
            return QStringLiteral("click");
        case 2:
            Click(Qt::ShiftModifier);
            return QStringLiteral("shift-click");
        case 3:
            Click(Qt::ControlModifier);
            return QStringLiteral("ctrl-click");
        case 4:
            tree.setFocus();
            QTest::keyClick(&tree, Qt::Key_A, Qt::ControlModifier);
            return QStringLiteral("select all");
        case 5:
            if (Pick(2))
                return QStringLiteral("filter ") + Filter();
            Probe(*form).Menus().ActionClearAllFilters->trigger();
            return QStringLiteral("clear the filters");
        case 6:
            if (dialogs.PendingAnswers() == 0)
                dialogs.QueueAnswer(mrOk); // the question before deleting
            Probe(*form).Menus().ActionDeleteNode->trigger();
            return QStringLiteral("delete");
        case 7:
            Probe(*form).Menus().ActionUndo->trigger();
            return QStringLiteral("undo");
        case 8:
            Recolour();
            return QStringLiteral("recolour");
        default:
            Probe(*form).Menus().ActionRedo->trigger();
            return QStringLiteral("redo");
        }
    }

    // The counts against the selected rows counted one by one.
    QString Mismatch() const
    {
        const DocumentTable &rows = doc->GetTable(tbTable);
        std::map<int, int> plain;
        for (const TNodeData *row : rows.Rows())
            if (rows.IsSelected(row))
                ++plain[row->nodeColor];
        std::map<int, int> kept;
        rows.SelectedColors().AnyColor([&](int color) {
            kept[color] = rows.SelectedColors().Count(color);
            return false;
        });
        QString differ;
        for (int color = -1; color < 4; ++color) {
            const int count = plain.count(color) ? plain.at(color) : 0;
            if (rows.SelectedColors().Count(color) != count)
                differ += QStringLiteral("colour %1: %2, counted %3; ")
                              .arg(color)
                              .arg(rows.SelectedColors().Count(color))
                              .arg(count);
            if (color >= 0 && Probe(*form).Chart().IsColorSelected(tbTable, color) != (count > 0))
                differ += QStringLiteral("colour %1 flashes wrongly; ").arg(color);
        }
        if (kept != plain)
            differ += QStringLiteral("the colours in use differ");
        // The list the chart repaints from names the same rows.
        for (const TNodeData *row : rows.Rows())
            if (Probe(*form).Tables().Listed(*row) != rows.IsSelected(row)) {
                differ += QStringLiteral("row %1 listed wrongly; ").arg(row->ID);
                break;
            }
        return differ;
    }

    std::mt19937 FRandom { 5 };
    int FColumn = -1;
};

} // namespace

TEST_F(SelectedColorsProperty, CountsFollowEverySelectionChangeAsARecountFindsThem)
{
    ASSERT_GE(FColumn, 0);
    std::set<int> colours;
    for (const TNodeData *row : doc->GetTable(tbTable).Rows())
        colours.insert(row->nodeColor);
    ASSERT_GE(colours.size(), 3u) << "the plan's rows should use several colours";
    int recoloured = 0;
    for (int step = 1; step <= 160; ++step) {
        const QString action = Act();
        recoloured += action == QStringLiteral("recolour") && doc->GetTable(tbTable).SelectedCount() > 0;
        Settle();
        const QString differ = Mismatch();
        ASSERT_EQ(differ, QString()) << "step " << step << ": " << action.toStdString();
    }
    // The walk went through the paths it is meant to.
    EXPECT_GT(recoloured, 0);
}
