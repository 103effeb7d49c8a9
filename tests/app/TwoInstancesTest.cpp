// Two instances of the program on one document: this test's main window and a
// peer process running the real main window too. A paste saved here reaches
// the peer, its undo as well; an exception in a handler of the peer is logged.
#include "tests/app/MainFormPeer.h"
#include "tests/mainwindow/MainFormTestSupport.h"

#include <QClipboard>
#include <QFile>
#include <QLabel>

using namespace mainformtest;

namespace {

class TwoInstancesTest : public MainFormTest {
protected:
    // The idle work of this instance for a while, as the event loop runs it.
    void RunIdle(int ms)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            IdleTick();
            // The peer's changes arrive in real time: this paces the idle ticks over it.
            QTest::qWait(50);
        }
    }
    static bool HasComment(const QStringList &rows, const QString &comment)
    {
        return std::any_of(
            rows.begin(), rows.end(), [&](const QString &r) { return r.split('|').contains(comment); });
    }
};

} // namespace

TEST_F(TwoInstancesTest, APasteSavedHereReachesThePeerAndSoDoesItsUndo)
{
    GeneratorOptions options;
    options.tasks = 40;
    options.positions = 6;
    const QString plan = WritePlan("shared.kez", options);
    ASSERT_TRUE(form->Open(plan));
    ShowForm();
    Peer peer(folder.path() + "/peer-appdata");
    ASSERT_TRUE(peer.Started());
    ASSERT_EQ(peer.Command("open " + plan).value(0), "ok") << peer.Errors().toStdString();

    // A row copied, its comment changed in the clipboard text, pasted back.
    TStringGridTree &tree = Probe(*form).Tree(tbTable);
    tree.setFocus();
    store(tbTable).SetSelected(row(tbTable, 0)->VNode, true);
    QTest::keyClick(&tree, Qt::Key_C, Qt::ControlModifier);
    QStringList cells = QGuiApplication::clipboard()->text().split('\t');
    ASSERT_EQ(cells.size(), doc().GetTableColCount(tbTable));
    cells[5] = "Shared note";
    QGuiApplication::clipboard()->setText(cells.join('\t'));
    QTest::keyClick(&tree, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(doc().TotalCount(tbTable), 41);
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(dialogs.Questions().isEmpty());

    QStringList rows = peer.Command("idle 3000");
    rows = peer.Command("rows");
    EXPECT_EQ(rows.size(), 42); // 41 rows and "end"
    EXPECT_TRUE(HasComment(rows, "Shared note")) << rows.join('\n').toStdString();

    // Undone here: the row goes there too.
    QTest::keyClick(&tree, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(doc().TotalCount(tbTable), 40);
    RunIdle(2500);
    peer.Command("idle 3000");
    rows = peer.Command("rows");
    EXPECT_FALSE(HasComment(rows, "Shared note")) << rows.join('\n').toStdString();
    EXPECT_EQ(rows.size(), 41);
}

TEST_F(TwoInstancesTest, AnExceptionInAHandlerIsLoggedAndShownToNobody)
{
    const QString peerData = folder.path() + "/peer-appdata";
    {
        Peer peer(peerData);
        ASSERT_TRUE(peer.Started());
        EXPECT_EQ(peer.Command("throw").value(0), "ok");
        // The program goes on.
        EXPECT_EQ(peer.Command("rows").value(0), "end");
        EXPECT_FALSE(peer.Errors().contains("peer:")); // nothing was shown
    }
    QFile log(peerData + "/kez/kez.log");
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(log.readAll()).contains(" - Exception: a handler of the peer failed"));
}

// Another user saves: this window reloads the plan and keeps naming it in its
// title, in the window list another instance of this session shows, and in its
// status bar (the new working folder).
TEST_F(TwoInstancesTest, AfterAnotherUsersSaveTheWindowStillNamesThePlan)
{
    GeneratorOptions options;
    options.tasks = 10;
    options.positions = 3;
    const QString plan = WritePlan("shared.kez", options);
    const QString other = WritePlan("other.kez", options);
    ASSERT_TRUE(form->Open(plan));
    ShowForm();
    const QString title = form->windowTitle();
    ASSERT_EQ(title, "KEZ - " + plan);
    IdleTick();
    const QString version = Probe(*form).StatusPanel(3).text();
    ASSERT_TRUE(version.contains("[version ")) << "<" << version.toStdString() << ">";

    // The other user works on another computer; a second instance of this
    // user's session shows another plan.
    Peer saver(folder.path() + "/saver-appdata");
    ASSERT_TRUE(saver.Started());
    ASSERT_EQ(saver.Command("open " + plan).value(0), "ok") << saver.Errors().toStdString();
    Peer beside(folder.path() + "/beside-appdata", folder.path() + "/runtime", "peer.beside");
    ASSERT_TRUE(beside.Started());
    ASSERT_EQ(beside.Command("open " + other).value(0), "ok") << beside.Errors().toStdString();

    ASSERT_EQ(saver.Command("save").value(0), "ok") << saver.Errors().toStdString();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            IdleTick();
            return Probe(*form).StatusPanel(3).text() != version;
        },
        20000))
        << "the reload was not seen";
    EXPECT_EQ(form->windowTitle(), title);
    EXPECT_TRUE(Probe(*form).StatusPanel(3).text().contains("[version "))
        << Probe(*form).StatusPanel(3).text().toStdString();
    QStringList menu;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            menu = beside.Command("menu");
            return menu.contains("1 " + plan);
        },
        10000))
        << menu.join('\n').toStdString();
    EXPECT_EQ(dialogs.UnexpectedCount(), 0);
}
