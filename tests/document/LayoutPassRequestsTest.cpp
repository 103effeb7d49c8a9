// What the document does with requests of the chart's layout passes, and the
// overlap marks on its rows.
#include "tests/document/DocumentTestSupport.h"

#include <gtest/gtest.h>

namespace {

// Records the requests and the passes the document asks its window to run.
class PassHost : public RecordingHost {
public:
    void RunLayoutPass(TLayoutPass pass) override { events << QStringLiteral("run %1").arg(int(pass)); }
};

class LayoutPassRequests : public ::testing::Test {
protected:
    LayoutPassRequests()
    {
        doc.SetIdentity("pc.tester");
        host.events.clear();
    }
    PassHost host;
    Document doc { &host };
};

} // namespace

TEST_F(LayoutPassRequests, DeferredRequestsWaitImmediateOnesRunThroughTheHost)
{
    doc.UpdateOverlapping(true);
    doc.UpdateBounds(true);
    EXPECT_EQ(host.events, QStringList({ "pass", "pass" }));
    EXPECT_TRUE(doc.BoundsPassPending());
    // Run now, a pass also answers the request waiting for it.
    doc.UpdateBounds(false);
    doc.UpdateEmptyRows(false);
    EXPECT_EQ(host.events.mid(2), QStringList({ "run 1", "run 0" }));
    EXPECT_FALSE(doc.BoundsPassPending());
    EXPECT_TRUE(doc.TakePendingPass(TLayoutPass::Overlapping));
    EXPECT_FALSE(doc.TakePendingPass(TLayoutPass::Overlapping));

    // Nothing at all while updating.
    host.events.clear();
    doc.BeginUpdate("x");
    doc.UpdateBounds(false);
    doc.UpdateOverlapping(true);
    EXPECT_FALSE(host.events.contains("run 1"));
    EXPECT_FALSE(doc.OverlappingPassPending());
    doc.EndUpdate();
    EXPECT_TRUE(doc.OverlappingPassPending()); // the bracket's end asks for it
}

TEST_F(LayoutPassRequests, OverlapMarksLiveOnTheRows)
{
    TNodeData *a = doc.AddNode("a", tbTable, false);
    TNodeData *b = doc.AddNode("b", tbTable, false);
    TNodeData *c = doc.AddNode("c", tbTable, false);
    doc.SetOverlappingNodes({ a, b, a });
    EXPECT_TRUE(doc.GetNodeIsOverlapping(a) && doc.GetNodeIsOverlapping(b));
    EXPECT_FALSE(doc.GetNodeIsOverlapping(c) || doc.GetNodeIsOverlapping(nullptr));
    EXPECT_EQ(doc.OverlappingCount(), 2);
    host.events.clear();
    doc.DeleteNode(a, false);
    EXPECT_EQ(doc.OverlappingCount(), 1);
    EXPECT_TRUE(host.events.contains("pass"));
    doc.SetOverlappingNodes({ c });
    EXPECT_FALSE(doc.GetNodeIsOverlapping(b));
    EXPECT_EQ(doc.OverlappingCount(), 1);
    doc.ClearTable(tbTable);
    EXPECT_FALSE(doc.HasOverlappingNodes());
}
