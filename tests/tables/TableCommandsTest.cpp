#include "tables/TableCommands.h"

#include "tables/ClipboardRows.h"
#include "tables/RowFinder.h"
#include "tests/tables/TablesTestSupport.h"

namespace {

class CommandsTest : public TablesTest {
protected:
    void undo()
    {
        UpdateBracket bracket(*doc, "undo");
        doc->UndoRedo().Undo();
    }
    void select(const QStringList &ids, TWhichTable table = tbTable)
    {
        for (const QString &id : ids)
            doc->GetTable(table).SetSelected(doc->FindNode(id), true);
    }
};

TEST_F(CommandsTest, CopyWritesTheSelectedRowsWithTheirGroupRowsAndPasteMakesNewRows)
{
    task("first", "Position 2", "04.03.2024", "2");
    task("tab\there", "Position 3", "05.03.2024", "1");
    task("not selected");
    select({ "first", "tab\there" });
    const QString text = SelectedRowsText(*doc, tbTable);
    EXPECT_EQ(text,
        "1\t04.03.2024\t05.03.2024\t2\tState 1\tfirst\r\n"
        "2\t05.03.2024\t05.03.2024\t1\tState 1\t\"tab\there\"");
    ASSERT_EQ(NumPasteableNodes(text, 6), 2);
    EXPECT_EQ(NumPasteableNodes(text, 5), 0);

    // The End cell is derived, not taken: a wrong one in the text changes nothing.
    const QString edited = QString(text).replace("05.03.2024\t2\t", "31.12.2024\t2\t");
    const std::vector<TNodeData *> rows = PasteRows(*doc, tbTable, ReadClipboardRows(edited, 6).rows);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0]->StringList,
        QStringList({ "Position 2", "04.03.2024", "05.03.2024", "2", "State 1", "first" }));
    EXPECT_EQ(rows[1]->StringList,
        QStringList({ "Position 3", "05.03.2024", "05.03.2024", "1", "State 1", "tab\there" }));
    EXPECT_NE(rows[0]->ID, rows[1]->ID);
    EXPECT_EQ(doc->TotalCount(tbTable), 5);

    undo(); // one group
    EXPECT_EQ(order(), QStringList({ "first", "tab\there", "not selected" }));
}

TEST_F(CommandsTest, PastedPositionNumbersBecomeNamesAllPositionsAStar)
{
    // Numbers from a larger group shift so the largest is the last row: 4 -> Position 3.
    const auto rows = PasteRows(*doc, tbTable,
        { { "4", "04.03.2024", "", "1", "", "a" }, { "3", "04.03.2024", "", "1", "", "b" },
            { "-1", "04.03.2024", "", "1", "", "c" }, { "x", "04.03.2024", "", "1", "", "d" } });
    EXPECT_EQ(doc->GetData(rows[0], 0), "Position 3");
    EXPECT_EQ(doc->GetData(rows[1], 0), "Position 2");
    EXPECT_EQ(doc->GetData(rows[2], 0), ""); // no row in this group
    EXPECT_EQ(doc->GetData(rows[3], 0), ""); // "x" is 0, shifted out of the rows

    const auto absent = PasteRows(*doc, tbExclude, { { "-9", "11.03.2024", "", "1", "Ja", "", "all" } });
    EXPECT_EQ(doc->GetData(absent[0], 0), "*");
    QStringList copied;
    CB_NodeToStringList(*doc, *absent[0], copied);
    EXPECT_EQ(copied, QStringList({ "-9\t11.03.2024\t11.03.2024\t1\tJa\t\tall" }));

    // "paste Task here": the first row goes to the point of the chart's menu.
    const auto here = PasteRows(*doc, tbTable, { { "0", "04.03.2024", "", "1", "", "e" } },
        TPastePoint { EncodeDate(2024, 3, 7), 2 });
    EXPECT_EQ(doc->GetData(here[0], 0), "Position 3");
    EXPECT_EQ(doc->GetData(here[0], 1), "07.03.2024");
}

TEST_F(CommandsTest, SplittingFiveWorkdaysOnTheThirdGivesTwoAndThreeDays)
{
    TNodeData *row = task("week", "Position 1", "04.03.2024", "5"); // Monday to Friday
    EXPECT_EQ(PlanSplit(*doc, *row, EncodeDate(2024, 3, 4)), std::nullopt); // at the start
    EXPECT_EQ(PlanSplit(*doc, *row, EncodeDate(2024, 3, 9)), std::nullopt); // the day after the end
    EXPECT_EQ(PlanSplit(*doc, *row, EncodeDate(2024, 3, 8))->lengthB, 480);

    dialogs.QueueAnswer(mrCancel);
    EXPECT_FALSE(SplitTask(*doc, *row, EncodeDate(2024, 3, 6) + 0.4));
    EXPECT_EQ(dialogs.Questions().last().Msg, "Split task at this position (06.03.2024)?");
    EXPECT_EQ(order(), QStringList({ "week" }));

    dialogs.QueueAnswer(mrOk);
    const auto pieces = SplitTask(*doc, *row, EncodeDate(2024, 3, 6) + 0.4);
    ASSERT_TRUE(pieces);
    EXPECT_EQ(pieces->first->StringList,
        QStringList({ "Position 1", "04.03.2024", "05.03.2024", "2", "State 1", "week" }));
    EXPECT_EQ(pieces->second->StringList,
        QStringList({ "Position 1", "06.03.2024", "08.03.2024", "3", "State 1", "week" }));
    EXPECT_EQ(doc->TotalCount(tbTable), 2);
    const QStringList week = { "Position 1", "04.03.2024", "08.03.2024", "5", "State 1", "week" };
    undo(); // the row comes back (under an ID of its own), the pieces go
    ASSERT_EQ(doc->TotalCount(tbTable), 1);
    EXPECT_EQ(doc->GetTable(tbTable).First()->StringList, week);
}

TEST_F(CommandsTest, HoursDocumentsSplitAtTheExactTime)
{
    doc->SetMinUnit(muMinute);
    // Monday 7:00 for 16 hours: to Tuesday 15:45 (7:00 to 15:45 less 45 minutes of pauses a day).
    TNodeData *row = task("two days", "Position 1", "04.03.2024 07:00:00", "16");
    ASSERT_EQ(doc->GetData(row, 2), "05.03.2024 15:45:00");
    // Monday 10:00: 7:00 to 9:00 and 9:15 to 10:00 are 165 minutes.
    const TDateTime ten = EncodeDate(2024, 3, 4) + EncodeTime(10, 0, 0, 0);
    EXPECT_EQ(PlanSplit(*doc, *row, ten), (TSplitPieces { row->nodeStart, ten, 165, 795 }));
    EXPECT_EQ(PlanSplit(*doc, *row, EncodeDate(2024, 3, 5) + EncodeTime(15, 45, 0, 0)), std::nullopt);
    dialogs.QueueAnswer(mrOk);
    const auto pieces = SplitTask(*doc, *row, ten);
    ASSERT_TRUE(pieces);
    EXPECT_EQ(doc->GetData(pieces->first, 2), "04.03.2024 10:00:00");
    EXPECT_EQ(doc->GetData(pieces->second, 1), "04.03.2024 10:00:00");
    EXPECT_EQ(doc->GetData(pieces->second, 2), "05.03.2024 15:45:00");
}

TEST_F(CommandsTest, DeletingAsksWithTheCountAndOneUndoBringsAllBack)
{
    for (const char *id : { "a", "b", "c", "d" })
        task(id);
    EXPECT_FALSE(DeleteSelectedRows(*doc, tbTable)); // nothing selected, nothing asked
    select({ "a", "b", "d" });
    dialogs.QueueAnswer(mrCancel);
    EXPECT_FALSE(DeleteSelectedRows(*doc, tbTable));
    EXPECT_EQ(dialogs.Questions().last().Msg, "Delete all 3 selected tasks?");
    dialogs.QueueAnswer(mrOk);
    EXPECT_TRUE(DeleteSelectedRows(*doc, tbTable));
    EXPECT_EQ(order(), QStringList({ "c" }));
    undo();
    EXPECT_EQ(doc->TotalCount(tbTable), 4);
    select({ "c" });
    dialogs.QueueAnswer(mrCancel);
    DeleteSelectedRows(*doc, tbTable);
    EXPECT_EQ(dialogs.Questions().last().Msg, "Delete selected task?");

    dialogs.QueueAnswer(mrOk);
    EXPECT_EQ(CopyNode(*doc, nullptr), nullptr);
    EXPECT_EQ(dialogs.Questions().last().Msg, "A task must be selected to copy from.");
    EXPECT_EQ(dialogs.UnexpectedCount(), 0);
}

TEST_F(CommandsTest, FindMatchesAnyCellIgnoringCaseAndWrapsOnce)
{
    task("Alpha");
    task("Stra\u00DFe", "Position 2");
    task("ALPHABET");
    doc->SetNodeFiltered(doc->FindNode("ALPHABET"), true); // hidden rows are found too
    TRowFinder finder;
    EXPECT_EQ(finder.FindFirst(*doc, tbTable, "alp")->ID, "Alpha");
    EXPECT_EQ(finder.FindNext(*doc, tbTable, doc->FindNode("Alpha"))->ID, "ALPHABET");
    EXPECT_EQ(finder.FindNext(*doc, tbTable, doc->FindNode("ALPHABET")), nullptr);
    EXPECT_EQ(finder.FindNextWrapped(*doc, tbTable, doc->FindNode("ALPHABET"))->ID, "Alpha");
    EXPECT_EQ(finder.FindFirst(*doc, tbTable, "strasse")->ID, "Stra\u00DFe");
    EXPECT_EQ(finder.FindFirst(*doc, tbTable, "position 2")->ID, "Stra\u00DFe");
    EXPECT_EQ(finder.FindFirst(*doc, tbTable, ""), nullptr);

    EXPECT_EQ(FindFirstInRow(*doc, tbTable, 0)->ID, "Alpha");
    EXPECT_EQ(FindNextInRow(*doc, tbTable, 0, doc->FindNode("Alpha"))->ID, "ALPHABET");
    EXPECT_EQ(FindFirstInRow(*doc, tbTable, 2), nullptr);
}

} // namespace
