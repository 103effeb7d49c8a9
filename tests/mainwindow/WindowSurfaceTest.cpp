// What the main window shows the rest of the program: the start-up's few calls,
// and none of its widgets or parts to change from outside.
#include "tests/mainwindow/MainFormTestSupport.h"

#include <QFileInfo>

using namespace mainformtest;

namespace {

// Each is true when a caller outside the window may call it.
template <class T>
concept HandsOutTables = requires(T &w)
{
    w.Tree(tbTable);
}
|| requires(T &w)
{
    w.StringGridTree1();
}
|| requires(T &w)
{
    w.ActiveTree();
};
template <class T>
concept HandsOutFrameWidgets = requires(T &w)
{
    w.Splitter1();
}
|| requires(T &w)
{
    w.Splitter2();
}
|| requires(T &w)
{
    w.Panel1();
}
|| requires(T &w)
{
    w.PageControl1();
}
|| requires(T &w)
{
    w.StatusPanel(0);
}
|| requires(T &w)
{
    w.ToolBar1();
};
template <class T>
concept HandsOutFindBox = requires(T &w)
{
    w.Edit2();
}
|| requires(T &w)
{
    w.ToolButton17();
};
template <class T>
concept HandsOutParts = requires(T &w)
{
    w.Doc();
}
|| requires(T &w)
{
    w.Commands();
}
|| requires(T &w)
{
    w.Chart();
}
|| requires(T &w)
{
    w.Tables();
}
|| requires(T &w)
{
    w.Editor();
}
|| requires(T &w)
{
    w.Filters();
}
|| requires(T &w)
{
    w.DialogWindows();
}
|| requires(T &w)
{
    w.Menus();
};
template <class T>
concept RunsHandlers = requires(T &w)
{
    w.ActionUndoExecute();
}
|| requires(T &w)
{
    w.PageControl1Change();
}
|| requires(T &w)
{
    w.IdleTimerTimer();
}
|| requires(T &w)
{
    w.SortSubMenuClick(0);
};
template <class T>
concept StartsUp = requires(T &w, const QString &name)
{
    w.MakeStartWindows();
    w.LoadIni();
    {
        w.Open(name)
        } -> std::same_as<bool>;
    {
        std::as_const(w).FileName()
        } -> std::same_as<QString>;
};

TEST(WindowSurface, TheWindowHandsOutNoWidgetNorPartButTheProbeDoes)
{
    EXPECT_FALSE(HandsOutTables<TMainForm>);
    EXPECT_FALSE(HandsOutFrameWidgets<TMainForm>);
    EXPECT_FALSE(HandsOutFindBox<TMainForm>);
    EXPECT_FALSE(HandsOutParts<TMainForm>);
    EXPECT_FALSE(RunsHandlers<TMainForm>);
    EXPECT_TRUE(StartsUp<TMainForm>);
    // The same questions asked of the probe: the concepts can tell.
    EXPECT_TRUE(HandsOutTables<TMainFormProbe>);
    EXPECT_TRUE(HandsOutFrameWidgets<TMainFormProbe>);
    EXPECT_TRUE(HandsOutFindBox<TMainFormProbe>);
    EXPECT_TRUE(HandsOutParts<TMainFormProbe>);
}

class WindowSurfaceTest : public MainFormTest { };

// The start-up's calls in the program's order; the file name follows the
// document through an open and a new one.
TEST_F(WindowSurfaceTest, TheStartUpOpensTheDocumentAndNamesItsFile)
{
    GeneratorOptions options;
    options.tasks = 12;
    const QString path = WritePlan("plan.kez", options);
    EXPECT_TRUE(form->FileName().isEmpty());
    form->MakeStartWindows();
    form->LoadIni();
    ShowForm();
    ASSERT_TRUE(form->Open(path));
    EXPECT_EQ(QFileInfo(form->FileName()).canonicalFilePath(), QFileInfo(path).canonicalFilePath());
    EXPECT_EQ(Probe(*form).Doc().TotalCount(tbTable), 12);

    Probe(*form).Menus().ActionNew->trigger();
    EXPECT_TRUE(form->FileName().isEmpty());
    EXPECT_EQ(Probe(*form).Doc().TotalCount(tbTable), 0);
}

} // namespace
