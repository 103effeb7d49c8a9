// A setup applied to a named document: saved before (only with unsaved
// changes) and after, and read back whole by another instance.
#include "dialogs/setup/SetupTransfer.h"
#include "tests/dialogs/setup/SetupTestSupport.h"
#include "tests/document/commands/CommandsTestSupport.h"

namespace {

class SetupSaveReload : public CommandsTest {
protected:
    // Everything a reader of the file gets: columns, roles, setup and rows.
    static QStringList contents(const Document &doc)
    {
        QStringList out;
        for (int c = 0; c < doc.GetTableColCount(tbTable); ++c)
            out << QString("column %1 %2 %3 %4")
                       .arg(doc.GetColumnCaption(tbTable, c))
                       .arg(doc.GetColumnType(tbTable, c))
                       .arg(ToCommaText(doc.GetColumnStrings(tbTable, c)))
                       .arg(doc.GetColumnConnection(tbTable, c));
        const TDocumentSetup &s = doc.Setup();
        out << "unit " + QString::number(s.FMinUnit) << "reasons " + ToCommaText(s.FHolidayReasons)
            << "default " + s.FDefaultHolidayReason << "groups " + s.FPositionGroup.join('|')
            << "group names " + s.FPositionGroupNames.join('|');
        for (const THolidayData &h : s.FHolidayList)
            out << QString("holiday %1 %2 %3 %4 %5")
                       .arg(h.name)
                       .arg(h.day)
                       .arg(h.month)
                       .arg(h.enabled)
                       .arg(h.easter);
        return out + rowTexts(doc, tbTable) + rowTexts(doc, tbExclude);
    }
};

} // namespace

TEST_F(SetupSaveReload, ASetupSurvivesSaveAndReloadWithEveryTaskOnItsColumnAndPosition)
{
    CommandsInstance me("pc.me");
    Document &doc = me.doc;
    TNodeData *task = doc.AddNode("pc.me.1", tbTable, true);
    doc.SetData(task, 0, "Position 2");
    doc.SetData(task, 1, "04.03.2024");
    doc.SetData(task, 3, "2");
    doc.SetData(task, 5, "weld frame");
    TNodeData *absent = doc.AddNode("pc.me.2", tbExclude, true);
    doc.SetData(absent, 0, "Position 1");
    doc.SetData(absent, 1, "05.03.2024");
    doc.SetData(absent, 3, "1");
    ASSERT_TRUE(me.saveAs(path("Plan.kez")));
    const auto saves = me.host.lastFiles.size();

    RecordingTransferHost host;
    TSetupTransfer transfer(doc, &host, &me.commands);
    TSetupState state;
    transfer.MainFormToSetupDialog(state);
    for (TSetupSection s : { TSetupSection::AbsentDays, TSetupSection::Table, TSetupSection::Positions,
             TSetupSection::Groups, TSetupSection::Holidays })
        state.Activate(s);
    std::swap(state.table.columns[0], state.table.columns[5]); // Comment first, Position last
    state.table.columns.insert(
        state.table.columns.begin() + 1, { "Customer", ctPulldown, R"("""ACME""")", -1 });
    state.positions.SetDescription(1, { "Welding robot", "hall 2" });
    state.positions.positions.erase(state.positions.positions.begin() + 2);
    state.positions.minUnit = muMinute;
    state.groups.pages.push_back({ "Robots", { false, true, true } });
    state.holidays.holidays.push_back({ "Day off", 5, 3, true, false });
    state.absentDays.lines = { "Holiday", "Training" };
    state.absentDays.defaultReason = "Training";
    // Nothing unsaved before: one save, after.
    ASSERT_TRUE(transfer.SetupDialogOk(state, TSetupSection::Table));
    EXPECT_EQ(me.host.lastFiles.size(), saves + 1);

    const QString robot = doc.GetData(task, 6);
    EXPECT_EQ(robot, R"("Welding robot","hall 2")");
    EXPECT_EQ(doc.GetData(task, 0), "weld frame");
    EXPECT_EQ(doc.GetData(task, 4), "16");
    // The absent days read the positions from the task table's Position column, wherever it stands.
    EXPECT_EQ(doc.GetColumnStrings(tbExclude, 0), doc.GetColumnStrings(tbTable, 6));
    EXPECT_EQ(doc.GetDataIndex_(absent, cnPosition), 0);
    EXPECT_TRUE(absent->nodeValid);
    EXPECT_EQ(doc.Setup().FPositionGroup.value(1), ToCommaText({ doc.GetColumnStrings(tbTable, 6)[1] }));

    Document reader;
    reader.SetIdentity("pc.reader");
    ASSERT_TRUE(reader.LoadFrom(path("Plan.kez")));
    EXPECT_EQ(contents(reader), contents(doc));
    const TNodeData *read = reader.FindNode("pc.me.1");
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(read->nodeValid);
    EXPECT_EQ(reader.GetDataIndex_(read, cnPosition), 1);

    // With a change not yet saved: saved before and after.
    doc.SetData(task, 0, "weld frame again");
    transfer.MainFormToSetupDialog(state);
    ASSERT_TRUE(transfer.SetupDialogOk(state, TSetupSection::Holidays));
    EXPECT_EQ(me.host.lastFiles.size(), saves + 3);
    Document again;
    ASSERT_TRUE(again.LoadFrom(path("Plan.kez")));
    EXPECT_EQ(again.GetData(again.FindNode("pc.me.1"), 0), "weld frame again");
}
