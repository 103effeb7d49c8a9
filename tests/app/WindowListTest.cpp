// The window menu across running instances: this test's main window and peer
// processes running the real main window, all in one session, each on its own
// document. Every menu lists all of them in the order they started, its own
// checked; one that ends or is killed drops out; a caption of just the prefix is
// not listed; opening a document another instance shows, or choosing that
// instance in the menu, brings it forward.
#include "tests/app/MainFormPeer.h"
#include "tests/mainwindow/MainFormTestSupport.h"
#include "tests/mainwindow/MenuClicks.h"

using namespace mainformtest;

namespace {

class WindowListTest : public MainFormTest {
protected:
    void SetUp() override { ShowForm(); }

    QString Plan(const QString &name)
    {
        GeneratorOptions options;
        options.tasks = 3;
        options.absentRows = 0;
        options.positions = 2;
        return WritePlan(name, options);
    }

    // A peer in this test's session showing `plan`.
    std::unique_ptr<Peer> StartPeer(const QString &name, const QString &plan)
    {
        auto peer = std::make_unique<Peer>(folder.path() + "/" + name, folder.path() + "/runtime", name);
        EXPECT_TRUE(peer->Started());
        EXPECT_EQ(peer->Command("open " + plan).value(0), "ok") << peer->Errors().toStdString();
        return peer;
    }

    // The window menu as the user sees it when opening it.
    QStringList Menu()
    {
        if (!OpenMenu(*form, *Probe(*form).Menus().Fenster1))
            return { "not opened" };
        const QStringList entries = Entries(*Probe(*form).Menus().Fenster1);
        CloseMenus();
        return entries;
    }

    static QStringList MenuOf(Peer &peer)
    {
        QStringList lines = peer.Command("menu");
        lines.removeLast(); // "end"
        return lines;
    }
};

} // namespace

TEST_F(WindowListTest, EveryWindowMenuListsAllInstancesTheOwnChecked)
{
    const QString a = Plan("a.kez"), b = Plan("b.kez"), c = Plan("c.kez");
    ASSERT_TRUE(form->Open(a));
    const auto one = StartPeer("peer.one", b);
    const auto two = StartPeer("peer.two", c);
    EXPECT_EQ(Menu(), QStringList({ "1 " + a + " *", "2 " + b, "3 " + c }));
    EXPECT_EQ(MenuOf(*one), QStringList({ "1 " + a, "2 " + b + " *", "3 " + c }));
    EXPECT_EQ(MenuOf(*two), QStringList({ "1 " + a, "2 " + b, "3 " + c + " *" }));

    // One that ends tells the others: the menu is rebuilt without waiting to be opened.
    EXPECT_EQ(two->Command("quit").value(0), "ok");
    EXPECT_TRUE(QTest::qWaitFor([&] { return Probe(*form).Menus().Fenster1->actions().size() == 2; }, 10000));
    EXPECT_EQ(Entries(*Probe(*form).Menus().Fenster1), QStringList({ "1 " + a + " *", "2 " + b }));

    // One that is killed tells nobody: opening the menu finds it gone.
    one->Kill();
    EXPECT_EQ(Menu(), QStringList({ "1 " + a + " *" }));
}

TEST_F(WindowListTest, ACaptionOfJustThePrefixIsNotListed)
{
    const QString a = Plan("a.kez");
    ASSERT_TRUE(form->Open(a));
    const auto peer = StartPeer("peer.one", Plan("b.kez"));
    EXPECT_EQ(peer->Command("caption").value(0), "ok");
    EXPECT_EQ(Menu(), QStringList({ "1 " + a + " *" }));
    EXPECT_EQ(MenuOf(*peer), QStringList({ "1 " + a })); // not even in its own menu
}

TEST_F(WindowListTest, TheInstanceShowingADocumentComesForward)
{
    const QString a = Plan("a.kez"), b = Plan("b.kez");
    ASSERT_TRUE(form->Open(a));
    const auto peer = StartPeer("peer.one", b);

    // Opening the document the peer shows: the peer's window comes back from
    // the task bar, and this window keeps its own document.
    EXPECT_EQ(peer->Command("minimize").value(0), "ok");
    EXPECT_EQ(peer->Command("state").value(0), "minimized");
    fileDialogs->openAnswers << b;
    Probe(*form).Menus().ActionOpen->trigger();
    EXPECT_EQ(form->FileName(), a);
    peer->Command("idle 200");
    EXPECT_EQ(peer->Command("state").value(0), "normal");

    // Choosing the peer in the window menu does the same.
    EXPECT_EQ(peer->Command("minimize").value(0), "ok");
    ASSERT_TRUE(OpenMenu(*form, *Probe(*form).Menus().Fenster1));
    Choose(*Probe(*form).Menus().Fenster1, Probe(*form).Menus().Fenster1->actions().value(1));
    peer->Command("idle 200");
    EXPECT_EQ(peer->Command("state").value(0), "normal");
    EXPECT_EQ(Menu(), QStringList({ "1 " + a + " *", "2 " + b }));
}
