// What the main window shows the rest of the program: the start-up's few calls,
// and none of its widgets or parts to change from outside.
#include "tests/mainwindow/MainFormTestSupport.h"

#include <QFileInfo>
#include <type_traits>
#include <utility>

using namespace mainformtest;

namespace {

// Whether code outside the window may make a call on the window and on its probe.
struct TCallAsked {
    const char *name;
    bool window;
    bool probe;
};
template <class Call> TCallAsked Ask(const char *name, Call)
{
    return { name, std::is_invocable_v<Call, TMainForm &>,
        std::is_invocable_v<Call, const TMainFormProbe &> };
}

TEST(WindowSurface, TheWindowHandsOutNoWidgetNorPartButTheProbeDoes)
{
    // The widgets and parts as the window handed them out before.
    const TCallAsked parts[] = {
        Ask("Tree", [](auto &w) -> decltype(w.Tree(tbTable)) {}),
        Ask("StringGridTree1", [](auto &w) -> decltype(w.StringGridTree1()) {}),
        Ask("ActiveTree", [](auto &w) -> decltype(w.ActiveTree()) {}),
        Ask("Splitter1", [](auto &w) -> decltype(w.Splitter1()) {}),
        Ask("Splitter2", [](auto &w) -> decltype(w.Splitter2()) {}),
        Ask("Panel1", [](auto &w) -> decltype(w.Panel1()) {}),
        Ask("PageControl1", [](auto &w) -> decltype(w.PageControl1()) {}),
        Ask("StatusPanel", [](auto &w) -> decltype(w.StatusPanel(0)) {}),
        Ask("ToolBar1", [](auto &w) -> decltype(w.ToolBar1()) {}),
        Ask("Edit2", [](auto &w) -> decltype(w.Edit2()) {}),
        Ask("ToolButton17", [](auto &w) -> decltype(w.ToolButton17()) {}),
        Ask("Doc", [](auto &w) -> decltype(w.Doc()) {}),
        Ask("Commands", [](auto &w) -> decltype(w.Commands()) {}),
        Ask("Chart", [](auto &w) -> decltype(w.Chart()) {}),
        Ask("Editor", [](auto &w) -> decltype(w.Editor()) {}),
        Ask("DialogWindows", [](auto &w) -> decltype(w.DialogWindows()) {}),
        Ask("Menus", [](auto &w) -> decltype(w.Menus()) {}),
    };
    for (const TCallAsked &call : parts) {
        EXPECT_FALSE(call.window) << call.name;
        EXPECT_TRUE(call.probe) << call.name;
    }
    // Handlers of the window's own events and commands.
    const TCallAsked handlers[] = {
        Ask("ActionUndoExecute", [](auto &w) -> decltype(w.ActionUndoExecute()) {}),
        Ask("SortSubMenuClick", [](auto &w) -> decltype(w.SortSubMenuClick(0)) {}),
        Ask("IdleTimerTimer", [](auto &w) -> decltype(w.IdleTimerTimer()) {}),
        Ask("UpdateStatusBar", [](auto &w) -> decltype(w.UpdateStatusBar()) {}),
    };
    for (const TCallAsked &call : handlers)
        EXPECT_FALSE(call.window) << call.name;
    // What the program's start-up calls.
    const TCallAsked startUp[] = {
        Ask("MakeStartWindows", [](auto &w) -> decltype(w.MakeStartWindows()) {}),
        Ask("LoadIni", [](auto &w) -> decltype(w.LoadIni()) {}),
        Ask("Open", [](auto &w) -> decltype(w.Open(QString())) {}),
        Ask("FileName", [](auto &w) -> decltype(std::as_const(w).FileName()) {}),
    };
    for (const TCallAsked &call : startUp)
        EXPECT_TRUE(call.window) << call.name;
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
