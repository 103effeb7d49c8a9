// A random walk of user actions through the real window on a generated plan:
// after each action, once the window is idle, what the screen shows of the
// chart, its captions, the overview and the shown table equals what a forced
// full repaint of the same state shows, pixel for pixel.
//
// CI runs a fixed seed. ZELTRANO_PROPERTY_SEED=random (or a number) runs a
// longer walk from that seed and prints it, so a failure can be replayed.
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "controls/AutocompletingEdit.h"
#include "document/commands/DocumentCommands.h"
#include "document/program/Translation.h"
#include "document/sharing/DirWatch.h"
#include "mainwindow/EditorScrollBox.h"
#include "mainwindow/FilterCommands.h"
#include "mainwindow/FilterPopup.h"
#include "tests/document/sharing/SharingTestSupport.h"
#include "tests/mainwindow/MainWindowTestSupport.h"
#include "tests/mainwindow/MenuClicks.h"
#include "tests/support/PixelTest.h"
#include "timechart/CanvasPanel.h"
#include "timechart/TimeChart.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QTimer>
#include <QWheelEvent>
#include <cstdio>
#include <random>

namespace {

struct TWalk {
    unsigned seed = 51;
    int actions = 250;
};

TWalk WalkFromEnvironment()
{
    TWalk walk;
    const QByteArray asked = qgetenv("ZELTRANO_PROPERTY_SEED");
    if (asked.isEmpty())
        return walk;
    walk.actions = 2000;
    bool ok = false;
    const unsigned number = asked.toUInt(&ok);
    walk.seed = ok ? number : std::random_device {}();
    return walk;
}

class WindowRepaintProperty : public mainwindowtest::EditorTest {
protected:
    void SetUp() override
    {
        SetLanguageFolder(QStringLiteral(ZELTRANO_LANGUAGES));
        GeneratorOptions options;
        options.tasks = 70;
        options.absentRows = 14;
        options.positions = 7;
        options.spanDays = 50;
        options.barTexts = true;
        options.deadlines = true;
        FPlan = OpenPlan("plan.kez", options);
        FCommentColumn = ColumnNamed(tbTable, QStringLiteral("Comment"));
        // The minute's redraw would hide a stale picture.
        chart().RedrawTimer().stop();
        // A dialog an action opens (a drag that became a new entry) is closed.
        FModalGuard.setInterval(50);
        QObject::connect(&FModalGuard, &QTimer::timeout, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        FModalGuard.start();
        Settle();
    }
    void TearDown() override { SetLanguageFolder(QString()); }

    TTimeChart &chart() const { return Probe(*form).Chart(); }

    // Runs what the action left to do (timers and idle ticks) until nothing is.
    void Settle()
    {
        for (int round = 0; round < 400; ++round) {
            QCoreApplication::processEvents();
            bool worked = false;
            if (Probe(*form).OverlappingTimer().isActive()) {
                Probe(*form).OverlappingTimer().stop();
                Probe(*form).OverlappingTimerTimer();
                worked = true;
            }
            for (int tick = 0; tick < 100 && chart().SliderTimer().isActive(); ++tick, worked = true)
                chart().SliderTimerTimer();
            for (int tick = 0; tick < 10 && chart().FlashSelectedTimer().isActive(); ++tick, worked = true)
                chart().FlashSelectedTimerTimer();
            if (editor->ChangeEditorVisibleTimer().isActive()) {
                editor->ChangeEditorVisibleTimer().stop();
                editor->ChangeEditorVisibleTimerTimer();
                worked = true;
            }
            IdleTick();
            if (!worked && Probe(*form).IsIdle())
                break;
        }
        QCoreApplication::processEvents();
    }

    // The places compared, in the window's pixels.
    std::vector<std::pair<const char *, QRect>> Places() const
    {
        auto place = [this](const QWidget &w) { return QRect(w.mapTo(form.get(), QPoint(0, 0)), w.size()); };
        std::vector<std::pair<const char *, QRect>> places { { "chart", place(chart().TimeChart()) },
            { "chart caption", place(chart().TimeChartCaption()) },
            { "overview", place(chart().SmallTimeChart()) },
            { "overview caption", place(chart().SmallTimeChartCaption()) },
            { "table", place(Probe(*form).ActiveTree()) } };
        return places;
    }

    QImage Screen() const { return form->screen()->grabWindow(form->winId()).toImage(); }

    // Every panel painted whole from the document, no bar image kept.
    QImage FullRepaint()
    {
        doc->ForEach(feAll, [](TNodeData &node) { node.RecalcBitmap = true; });
        chart().InvalidateTimeChart(true);
        for (TCanvasPanel *panel : { &chart().TimeChart(), &chart().TimeChartCaption(),
                 &chart().SmallTimeChart(), &chart().SmallTimeChartCaption() })
            panel->update();
        for (TWhichTable table : { tbTable, tbExclude }) {
            Probe(*form).Tree(table).viewport()->update();
            Probe(*form).Tree(table).HeaderWidget().update();
            Probe(*form).Tree(table).update();
        }
        QCoreApplication::processEvents();
        return Screen();
    }

    // The places whose pixels differ from a full repaint, with their counts.
    QString Differences(int step, const QString &action)
    {
        const QImage shown = Screen();
        const QImage full = FullRepaint();
        QString differ;
        for (const auto &[name, r] : Places()) {
            int count = 0;
            QRect box;
            for (int y = r.top(); y <= r.bottom(); ++y) {
                for (int x = r.left(); x <= r.right(); ++x) {
                    if (shown.pixel(x, y) != full.pixel(x, y)) {
                        ++count;
                        box |= QRect(x - r.left(), y - r.top(), 1, 1);
                    }
                }
            }
            if (count == 0)
                continue;
            differ += QStringLiteral("%1: %2 px in %3,%4 %5x%6; ")
                          .arg(QString::fromLatin1(name))
                          .arg(count)
                          .arg(box.left())
                          .arg(box.top())
                          .arg(box.width())
                          .arg(box.height());
            testsupport::SavePng(shown.copy(r), QStringLiteral("repaint_%1_%2_shown").arg(step).arg(name));
            testsupport::SavePng(full.copy(r), QStringLiteral("repaint_%1_%2_full").arg(step).arg(name));
        }
        return differ.isEmpty() ? differ : action + " -> " + differ;
    }

    // --- the actions, through real events ---

    int Pick(int n) { return std::uniform_int_distribution<int>(0, std::max(0, n - 1))(FRandom); }
    QPoint PointIn(const QWidget &w) { return QPoint(2 + Pick(w.width() - 4), 2 + Pick(w.height() - 4)); }

    void ClickTableRow()
    {
        TStringGridTree &tree = Probe(*form).ActiveTree();
        const Qt::KeyboardModifiers keys
            = Pick(4) == 0 ? Qt::ControlModifier : (Pick(6) == 0 ? Qt::ShiftModifier : Qt::NoModifier);
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, keys, PointIn(*tree.viewport()));
    }
    void Mouse(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        TCanvasPanel &panel = chart().TimeChart();
        QMouseEvent event(type, pos, panel.mapToGlobal(pos), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(&panel, &event);
    }
    void ClickChart()
    {
        const QPoint at = PointIn(chart().TimeChart());
        Mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
        Mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    }
    // A drag on the chart from a point on a bar (moves it) or its right end
    // (resizes it); a drag from the empty chart asks for a new entry, which is
    // left alone: the walk starts only on a bar.
    QString DragBar(bool resize)
    {
        std::vector<TRect> bars;
        const DocumentTable &tasks = doc->GetTable(tbTable);
        const QRect view = chart().TimeChart().rect();
        for (TNodeData *r = tasks.First(); r; r = tasks.Next(r)) {
            const TRect bar = chart().ItemRect(r, false);
            if (!tasks.IsHidden(r) && bar.Width() > 12 && view.contains(QPoint(bar.Left + 3, bar.Top + 3))
                && view.contains(QPoint(bar.Right - 3, bar.Bottom - 3)))
                bars.push_back(bar);
        }
        if (bars.empty())
            return QStringLiteral("no bar in view");
        const TRect bar = bars[std::size_t(Pick(int(bars.size())))];
        const int y = (bar.Top + bar.Bottom) / 2;
        const QPoint from(resize ? bar.Right - 2 : (bar.Left + bar.Right) / 2, y);
        const int days = Pick(5) - 2;
        const QPoint to = from + QPoint(days * chart().GetTimeChartColWidth(), resize ? 0 : Pick(3) * 4);
        Mouse(QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton);
        Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i <= 3; ++i)
            Mouse(QEvent::MouseMove, from + (to - from) * i / 3, Qt::NoButton, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        return QStringLiteral("%1 days").arg(days);
    }
    void SwitchTable()
    {
        QTabBar &tabs = *Probe(*form).PageControl1().tabBar();
        QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(1 - tabs.currentIndex()).center());
    }
    int ColumnNamed(TWhichTable table, const QString &caption) const
    {
        for (int c = 0; c < doc->GetTableColCount(table); ++c)
            if (doc->GetColumnCaption(table, c) == caption)
                return c;
        return -1;
    }
    QString Filter()
    {
        if (GetActiveTableOfForm() != tbTable)
            SwitchTable();
        const int column = FCommentColumn;
        if (column < 0)
            return QStringLiteral("no comment column");
        TStringGridTree &tree = Probe(*form).Tree(tbTable);
        int left = 0, right = 0;
        tree.Header().Columns().GetColumnBounds(column, left, right);
        TFilterPopup &popup = Probe(*form).Filters().FilterPopup();
        QTest::mouseClick(&tree.HeaderWidget(), Qt::LeftButton, {}, QPoint(left + 5, 8));
        if (!QTest::qWaitForWindowActive(&popup))
            return QStringLiteral("no popup");
        for (QRadioButton *r : popup.findChildren<QRadioButton *>()) {
            if (r->text() == Translate(QStringLiteral("equal to")) && !r->isHidden()) {
                QTest::mouseClick(r, Qt::LeftButton, {}, QPoint(4, 4));
                break;
            }
        }
        auto *pattern = popup.findChild<QLineEdit *>(QStringLiteral("Pattern"));
        const QString text = QStringLiteral("*%1*").arg(Pick(10));
        pattern->setFocus();
        pattern->selectAll();
        QTest::keyClicks(pattern, text);
        QTest::mouseClick(
            popup.findChild<QPushButton *>(QStringLiteral("OK")), Qt::LeftButton, {}, QPoint(4, 4));
        return text;
    }
    TWhichTable GetActiveTableOfForm() const { return Probe(*form).GetActiveTable(); }
    // Another user on the same plan moves a task or changes its length; the
    // record of it reaches the window through the window's watcher.
    QString PeerChange()
    {
        if (!FPeer) {
            FPeer = std::make_unique<SharingInstance>(FPlan, QStringLiteral("pc.peer"));
            if (!FPeer->doc->LoadFrom(FPlan))
                return QStringLiteral("the peer could not open the plan");
        }
        FPeer->watcher->ForceLoadTransactions();
        Document &theirs = *FPeer->doc;
        const std::vector<TNodeData *> &rows = theirs.GetTable(tbTable).Rows();
        if (rows.empty())
            return QStringLiteral("no task");
        TNodeData *row = rows[std::size_t(Pick(int(rows.size())))];
        QString change;
        if (Pick(2) == 0) {
            const TDateTime start = theirs.GetStartOf(row) + Pick(7) - 3;
            change = DateToStr(start);
            theirs.SetData(row, theirs.GetConnection(tbTable, cnStart), change);
        } else {
            change = QString::number(1 + Pick(12));
            theirs.SetData(row, theirs.GetConnection(tbTable, cnLength), change);
        }
        FPeer->watcher->ForceStorePending();
        Probe(*form).Commands().Watcher().ForceLoadTransactions();
        return row->ID + " " + change;
    }
    QString Sort()
    {
        TStringGridTree &tree = Probe(*form).ActiveTree();
        const int column = Pick(doc->GetTableColCount(GetActiveTableOfForm()));
        int left = 0, right = 0;
        tree.Header().Columns().GetColumnBounds(column, left, right);
        if (right - left < 24 || left + 20 >= tree.HeaderWidget().width())
            return QStringLiteral("column %1 not in view").arg(column);
        QTest::mouseClick(
            &tree.HeaderWidget(), Qt::LeftButton, {}, QPoint(std::min(left + 22, right - 2), 8));
        return QStringLiteral("column %1").arg(column);
    }
    QString EditCell()
    {
        if (GetActiveTableOfForm() != tbTable)
            SwitchTable();
        if (doc->GetTable(tbTable).SelectedCount() == 0)
            ClickTableRow();
        Settle();
        const bool length = Pick(2) == 0;
        const int column = length ? 3 : FCommentColumn;
        const TEditorRow *r = editor->EditorScrollBox().RowOf(column);
        QLineEdit *edit = !r ? nullptr : length ? r->Number : static_cast<QLineEdit *>(r->Text);
        if (!edit || !edit->isVisible() || !edit->isEnabled())
            return QStringLiteral("no field");
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(4, 4));
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClick(edit, Qt::Key_Backspace);
        const QString typed = length ? QString::number(1 + Pick(9)) : QStringLiteral("x%1").arg(Pick(100));
        QTest::keyClicks(edit, typed);
        // The keys go back to the table, as a click on it gives them.
        Probe(*form).ActiveTree().setFocus();
        return typed;
    }
    void Wheel(Qt::KeyboardModifiers keys, int delta)
    {
        TCanvasPanel &panel = chart().TimeChart();
        const QPointF at = PointIn(panel);
        QWheelEvent event(at, panel.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, keys,
            Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&panel, &event);
    }

    QString Act(int kind)
    {
        switch (kind) {
        case 0:
            ClickTableRow();
            return QStringLiteral("click a table row");
        case 1:
            ClickChart();
            return QStringLiteral("click the chart");
        case 2:
            SwitchTable();
            return QStringLiteral("switch the table");
        case 3:
            return QStringLiteral("filter ") + Filter();
        case 4:
            Probe(*form).Menus().ActionClearAllFilters->trigger();
            return QStringLiteral("clear the filters");
        case 5:
            return QStringLiteral("sort ") + Sort();
        case 6:
            return QStringLiteral("edit ") + EditCell();
        case 7:
            return QStringLiteral("move a bar ") + DragBar(false);
        case 8:
            return QStringLiteral("resize a bar ") + DragBar(true);
        case 9:
            Probe(*form).Menus().ActionUndo->trigger();
            return QStringLiteral("undo");
        case 10:
            Probe(*form).Menus().ActionRedo->trigger();
            return QStringLiteral("redo");
        case 11: {
            QAction *hide = Pick(2) == 0 ? Probe(*form).Menus().leereArbeitspltzeausblenden1
                                         : Probe(*form).Menus().leeremultiArbeitspltzeausblenden1;
            if (hide->isEnabled())
                hide->trigger();
            return QStringLiteral("hide empty rows ") + hide->objectName();
        }
        case 12:
            Wheel(Qt::ControlModifier, Pick(2) ? 120 : -120);
            return QStringLiteral("zoom");
        case 13:
            Wheel(Pick(2) ? Qt::ShiftModifier : Qt::NoModifier, Pick(2) ? 120 : -120);
            return QStringLiteral("scroll");
        case 14: {
            const QSize size(900 + Pick(500), 600 + Pick(300));
            form->resize(size);
            return QStringLiteral("resize to %1x%2").arg(size.width()).arg(size.height());
        }
        case 15: {
            const QString language = Pick(2) ? QStringLiteral("Deutsch") : QStringLiteral("English");
            // As a user chooses it: Setup, Language, the language's entry.
            const TMainMenus &menus = Probe(*form).Menus();
            EXPECT_TRUE(mainformtest::OpenMenu(*form, *menus.Format1));
            EXPECT_TRUE(mainformtest::OpenSubmenu(*menus.Format1, *menus.Sprache1));
            QAction *item = MenuItemWithData(*menus.Sprache1, language);
            EXPECT_NE(item, nullptr) << language.toStdString();
            if (item)
                mainformtest::Choose(*menus.Sprache1, item);
            mainformtest::CloseMenus();
            return QStringLiteral("language ") + language;
        }
        case 16:
            return QStringLiteral("a peer's change ") + PeerChange();
        default:
            return QString();
        }
    }

    std::mt19937 FRandom;
    QString FPlan;
    std::unique_ptr<SharingInstance> FPeer;
    int FCommentColumn = -1;
    QTimer FModalGuard;
};

} // namespace

TEST_F(WindowRepaintProperty, AfterEveryActionTheScreenEqualsAFullRepaint)
{
    const TWalk walk = WalkFromEnvironment();
    std::printf("window repaint walk: seed %u, %d actions\n", walk.seed, walk.actions);
    FRandom.seed(walk.seed);
    // Weights: clicks and scrolls often, window-wide changes now and then.
    const std::vector<int> weights { 8, 6, 3, 2, 2, 3, 3, 4, 3, 3, 2, 1, 2, 4, 1, 1, 3 };
    std::discrete_distribution<int> kind(weights.begin(), weights.end());
    ASSERT_EQ(Differences(0, QStringLiteral("open")), QString());
    int failures = 0;
    for (int step = 1; step <= walk.actions && failures < 3; ++step) {
        const QString action = Act(kind(FRandom));
        Settle();
        const QString differ = Differences(step, action);
        EXPECT_EQ(differ, QString()) << "seed " << walk.seed << ", step " << step;
        failures += !differ.isEmpty();
    }
}
