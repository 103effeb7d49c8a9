// Views registered with a document hear of its changes beside the host: the
// tables repaint rows and follow the columns, the chart repaints bars.
#include "tests/document/DocumentTestSupport.h"

#include <gtest/gtest.h>

namespace {

class RecordingView : public IDocumentObserver {
public:
    explicit RecordingView(QString name, QStringList &log)
        : FName(std::move(name))
        , FLog(log)
    { }
    void InvalidateNodeArea(const TNodeData &node, bool) override { FLog << FName + " area " + node.ID; }
    void RowChanged(const TNodeData &node) override { FLog << FName + " row " + node.ID; }
    void ColumnsChanged(TWhichTable table) override { FLog << FName + " columns " + TableName(table); }
    void SelectionChanged(TWhichTable table) override { FLog << FName + " selection " + TableName(table); }
    void UpdateTextChanged(const QString &text, bool busy) override
    {
        FLog << FName + (busy ? " busy " + text : " idle");
        if (onBusy)
            onBusy();
    }
    std::function<void()> onBusy;

private:
    QString FName;
    QStringList &FLog;
};

class DocumentObserverTest : public ::testing::Test, public DocumentFixture { };

} // namespace

TEST_F(DocumentObserverTest, EveryViewHearsWhatTheHostHears)
{
    QStringList log;
    RecordingView tables("tables", log), chart("chart", log);
    ScopedDocumentObserver a(*doc, tables), b(*doc, chart);
    doc->ResizeTable(tbTable, 7); // a column of no role
    TNodeData *row = addTask("t1", "Position 1", "04.03.2024", "2");
    log.clear();
    host.events.clear();

    // A cell the chart does not show still repaints the table row.
    doc->SetData(row, 6, "note");
    EXPECT_EQ(log, QStringList({ "tables row t1", "chart row t1" }));
    EXPECT_TRUE(host.events.contains("editor"));
    // A start moves the bar: every view repaints the row's area.
    log.clear();
    doc->SetData(row, 1, "05.03.2024");
    EXPECT_TRUE(log.contains("tables area t1") && log.contains("chart area t1"));
    // Column changes and selection reach the views once each.
    log.clear();
    doc->SetColumnCaption(tbTable, 5, "Remark");
    doc->SetColumnCaption(tbTable, 5, "Remark"); // unchanged: no notice
    doc->SelectionChanged(tbExclude);
    EXPECT_EQ(log,
        QStringList({ "tables columns tbTable", "chart columns tbTable", "tables selection tbExclude",
            "chart selection tbExclude" }));
}

TEST_F(DocumentObserverTest, AStepWithoutATextInsideALongerOneKeepsTheLongerOnesText)
{
    QStringList log;
    RecordingView view("view", log);
    ScopedDocumentObserver observing(*doc, view);
    doc->BeginUpdate("Open File plan.kez...");
    doc->BeginUpdate(QString());
    doc->BeginUpdate("Checking");
    doc->EndUpdate();
    doc->EndUpdate();
    doc->EndUpdate();
    EXPECT_EQ(log,
        QStringList(
            { "view busy Open File plan.kez...", "view busy Open File plan.kez...", "view busy Checking",
                "view busy Open File plan.kez...", "view busy Open File plan.kez...", "view idle" }));
}

TEST_F(DocumentObserverTest, AViewMayLeaveWhileTheViewsAreTold)
{
    QStringList log;
    RecordingView first("first", log), second("second", log), third("third", log);
    doc->AddObserver(&first);
    doc->AddObserver(&second);
    doc->AddObserver(&second); // once only
    doc->AddObserver(&third);
    // The first view removes the second and itself when the bracket opens.
    first.onBusy = [&] {
        doc->RemoveObserver(&second);
        doc->RemoveObserver(&first);
    };
    {
        UpdateBracket bracket(*doc, "work");
    }
    EXPECT_EQ(log, QStringList({ "first busy work", "third busy work", "third idle" }));
    doc->RemoveObserver(&third);
    log.clear();
    doc->SetColumnCaption(tbTable, 0, "Where");
    EXPECT_TRUE(log.isEmpty());
}
