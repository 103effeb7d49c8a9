// The setup transfer as the dialogs use it: filled from a document, edited as
// a user would in the dialogs, applied by OK.
#include "dialogs/setup/SetupState.h"
#include "document/calendar/DateList.h"
#include "document/program/MessageDialog.h"
#include "tests/dialogs/setup/SetupTestSupport.h"

#include <algorithm>

namespace {

const TSetupRoleLabel &label(const TSetupState &state, TConnection role)
{
    return state.table.Label(role);
}

} // namespace

TEST_F(SetupTest, TheFillShowsColumnsRolesPositionsGroupsHolidaysAndReasons)
{
    doc->SetColumnCaption(tbTable, 5, "Start"); // two columns of one caption
    changeSetup(*doc, [](TDocumentSetup &s) {
        s.FDefaultHolidayReason = "Sick";
        s.FDefaultCalcWorkdays = false;
        s.FHolidayList = { { "Neujahr", 1, 1, true, false }, { "Ostern", 0, 0, false, true },
            { "Neujahr", 2, 1, true, false } };
    });
    const QStringList items = positions();
    // Members are whole items and match ignoring case.
    doc->AddPositionGroup("Team", ToCommaText({ items[2].toUpper(), items[0] }));
    for (TSetupSection s : { TSetupSection::AbsentDays, TSetupSection::Table, TSetupSection::Positions,
             TSetupSection::Groups, TSetupSection::Holidays })
        state.Activate(s);

    fill();

    QStringList shownCaptions;
    for (const TSetupColumn &c : state.table.columns)
        shownCaptions << c.caption;
    EXPECT_EQ(shownCaptions, QStringList({ "Position", "Start", "End", "Length", "State", "Start 1" }));
    EXPECT_EQ(state.table.columns[1].type, ctDate);
    EXPECT_EQ(state.table.columns[4].items, R"("""State 1""","""State 2""","""State 3""")");
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(state.table.columns[std::size_t(c)].origin, c);
    EXPECT_EQ(label(state, cnStart).caption, "Start");
    EXPECT_EQ(label(state, cnStart).type, ctDate);
    EXPECT_EQ(label(state, cnLength).type, ctNumber);
    EXPECT_EQ(label(state, cnPosition).caption, "Position");
    EXPECT_EQ(label(state, cnColor).caption, "State");
    EXPECT_EQ(label(state, cnTermin).caption, "");
    // The role stays with the second "Start", shown under its own caption.
    EXPECT_EQ(label(state, cnTextCenterMiddle).caption, "Start 1");

    EXPECT_EQ(state.positions.minUnit, muDay);
    ASSERT_EQ(state.positions.positions.size(), 3u);
    EXPECT_EQ(state.positions.positions[1].item, items[1]);
    EXPECT_EQ(state.positions.positions[2].origin, 2);
    EXPECT_EQ(PositionCaption(state.positions.positions[1].item), "Position 2");
    EXPECT_EQ(state.positions.originItems, items);

    EXPECT_EQ(state.groups.names, QStringList({ "Position 1", "Position 2", "Position 3" }));
    ASSERT_EQ(state.groups.pages.size(), 2u);
    EXPECT_EQ(state.groups.pages[0].checked, std::vector<bool>({ true, true, true }));
    EXPECT_EQ(state.groups.pages[1].name, "Team");
    EXPECT_EQ(state.groups.pages[1].checked, std::vector<bool>({ true, false, true }));

    // A name identifies a holiday: the second "Neujahr" is not shown.
    ASSERT_EQ(state.holidays.holidays.size(), 2u);
    EXPECT_EQ(state.holidays.holidays[1], THolidayData({ "Ostern", 0, 0, false, true }));

    EXPECT_EQ(state.absentDays.lines, QStringList({ "Holiday", "Sick", "Other" }));
    EXPECT_EQ(state.absentDays.defaultReason, "Sick");
    EXPECT_FALSE(state.absentDays.calcWorkdays);
    for (TSetupSection s : { TSetupSection::AbsentDays, TSetupSection::Table, TSetupSection::Positions,
             TSetupSection::Groups, TSetupSection::Holidays })
        EXPECT_FALSE(state.WasActive(s));
}

TEST_F(SetupTest, OnlyTheDialogsShownSinceTheFillAreApplied)
{
    addTask("pc.tester.1", "Position 1", "04.03.2024", "2");
    fill();
    // Edited, but these dialogs were not shown since the fill.
    state.table.columns.pop_back();
    state.positions.positions.pop_back();
    state.absentDays.lines = { "Elsewhere" };
    state.holidays.holidays.push_back({ "Neujahr", 1, 1, true, false });

    ASSERT_TRUE(ok(TSetupSection::Holidays));

    EXPECT_EQ(doc->GetTableColCount(tbTable), 6);
    EXPECT_EQ(positions().size(), 3);
    EXPECT_EQ(ItemValues(doc->Setup().FHolidayReasons), QStringList({ "Holiday", "Sick", "Other" }));
    EXPECT_EQ(doc->Setup().FHolidayList.size(), 1u);
    EXPECT_TRUE(transferHost.relaid.empty());
    // The chart goes back to where it stood.
    ASSERT_EQ(transferHost.destinations.size(), 1u);
    EXPECT_EQ(transferHost.destinations[0], transferHost.view);
}

// Columns moved, deleted and added: each keeps its cells, its filter, sort and
// autofill flags, its alignment and its roles; nothing is shared (the saved
// document carries the layout), and undo entries that name columns are gone.
TEST_F(SetupTest, ColumnsMovedDeletedAndAddedTakeTheirCellsDefinitionsAndRolesAlong)
{
    TNodeData *first = addTask("pc.tester.1", "Position 1", "04.03.2024", "2");
    doc->SetData(first, 5, "first");
    addTask("pc.tester.2", "Position 2", "05.03.2024", "3");
    THeaderData &length = *doc->GetHeader(tbTable, 3);
    length.Filter = TFilterParams { ftNumber, fsGreater, "1", "" };
    length.SortAscending = false;
    length.HasAutofill = true;
    doc->SetConnection(tbTable, cnInterval, 3);
    ASSERT_GT(columnEntries(), 0);
    const auto records = sink.records.size();

    fill();
    std::swap(state.table.columns[2], state.table.columns[3]); // "Length" above "End"
    state.table.columns.pop_back(); // "Comment" deleted, its label emptied
    state.table.Label(cnTextCenterMiddle).caption.clear();
    state.table.columns.insert(state.table.columns.begin() + 1, { "Note", ctNumber, "", -1 });
    ASSERT_TRUE(ok(TSetupSection::Table));

    EXPECT_EQ(captions(), QStringList({ "Position", "Note", "Start", "Length", "End", "State" }));
    EXPECT_EQ(rowTexts(*doc, tbTable),
        QStringList({ "pc.tester.1: Position 1||04.03.2024|2|05.03.2024|State 1",
            "pc.tester.2: Position 2||05.03.2024|3|07.03.2024|State 1" }));
    const THeaderData &moved = *doc->GetHeader(tbTable, 3);
    EXPECT_EQ(moved.Filter.FilterType, ftNumber);
    EXPECT_EQ(moved.Filter.Text1, "1");
    EXPECT_FALSE(moved.SortAscending);
    EXPECT_TRUE(moved.HasAutofill);
    EXPECT_FALSE(doc->GetHeader(tbTable, 1)->IsFiltered());
    EXPECT_TRUE(doc->GetTable(tbTable).RightAligned(1));
    EXPECT_TRUE(doc->GetTable(tbTable).RightAligned(3));
    EXPECT_FALSE(doc->GetTable(tbTable).RightAligned(4));
    EXPECT_EQ(doc->GetConnection(tbTable, cnLength), 3);
    EXPECT_EQ(doc->GetConnection(tbTable, cnEnd), 4);
    EXPECT_EQ(doc->GetConnection(tbTable, cnInterval), 3); // a role the dialog does not show
    EXPECT_EQ(doc->GetConnection(tbTable, cnTextCenterMiddle), -1);
    EXPECT_EQ(transferHost.relaid, std::vector<std::vector<int>>({ { 0, -1, 1, 3, 2, 4 } }));
    EXPECT_EQ(sink.records.size(), records);
    EXPECT_EQ(columnEntries(), 0);
    EXPECT_TRUE(first->nodeValid);
    EXPECT_EQ(first->nodeLength, 960);

    // A label naming a deleted column's caption binds a new column of that name.
    fill();
    state.table.columns.push_back({ "Comment", ctText, "", -1 });
    state.table.Label(cnTextCenterMiddle).caption = "Comment";
    ASSERT_TRUE(ok(TSetupSection::Table));
    EXPECT_EQ(doc->GetConnection(tbTable, cnTextCenterMiddle), 6);
    EXPECT_EQ(column(tbTable, 6), QStringList({ "", "" }));
}

// "Edit resources..." opens the positions dialog from the table dialog: its OK
// only accepts, and the table dialog's OK applies both, once.
TEST_F(SetupTest, TheTableDialogsOkAppliesTheNestedPositionsDialogOnce)
{
    TNodeData *task = addTask("pc.tester.1", "Position 2", "04.03.2024", "2");
    doc->SetData(task, 5, "first");
    const QStringList before = positions();
    const QStringList rowsBefore = rowTexts(*doc, tbTable);

    fill();
    state.Activate(TSetupSection::Table);
    state.Activate(TSetupSection::Positions);
    state.positions.SetDescription(1, { "Press" });
    EXPECT_TRUE(transfer.SetupDialogOk(state, TSetupSection::Positions, true));
    EXPECT_EQ(positions(), before);
    EXPECT_EQ(rowTexts(*doc, tbTable), rowsBefore);

    // Cancel in the table dialog: nothing applied, and the next fill shows the
    // document as it is.
    fill();
    EXPECT_EQ(PositionCaption(state.positions.positions[1].item), "Position 2");

    // Again, this time ending in OK after a column move.
    state.Activate(TSetupSection::Table);
    state.Activate(TSetupSection::Positions);
    state.positions.SetDescription(1, { "Press" });
    ASSERT_TRUE(transfer.SetupDialogOk(state, TSetupSection::Positions, true));
    std::swap(state.table.columns[4], state.table.columns[5]);
    state.table.columns[0].items = "stale"; // the positions dialog owns them
    const auto records = sink.records.size();
    ASSERT_TRUE(transfer.SetupDialogOk(state, TSetupSection::Table));

    EXPECT_EQ(TCommaText(positions()[1]).Item(0), "Press");
    EXPECT_EQ(positions()[0], before[0]);
    EXPECT_EQ(captions(), QStringList({ "Position", "Start", "End", "Length", "Comment", "State" }));
    EXPECT_EQ(
        rowTexts(*doc, tbTable), QStringList({ "pc.tester.1: Press|04.03.2024|05.03.2024|2|first|State 1" }));
    EXPECT_EQ(sink.records.size(), records + 1); // the one Position cell
    EXPECT_EQ(transferHost.relaid.size(), 1u);
    EXPECT_TRUE(task->nodeValid);
}

TEST_F(SetupTest, AnInvalidRoleConfigurationIsRefusedWithItsMessage)
{
    TScriptedMessageDialogs dialogs;
    ScopedMessageDialogs scoped(&dialogs);
    fill();
    state.table.Label(cnPosition).caption.clear();
    state.table.columns.pop_back();

    EXPECT_FALSE(ok(TSetupSection::Table));
    ASSERT_EQ(dialogs.Questions().size(), 1);
    EXPECT_EQ(dialogs.Questions()[0].Msg,
        "The current configuration is invalid.\rPlease connect the remaining red fields with a column "
        "of the table.");
    EXPECT_EQ(dialogs.Questions()[0].DlgType, mtInformation);
    EXPECT_EQ(dialogs.Questions()[0].Buttons, TMsgDlgButtons({ mbOK }));
    EXPECT_EQ(doc->GetTableColCount(tbTable), 6);
    // Another dialog's OK applies nothing either while the table's roles fail.
    EXPECT_FALSE(ok(TSetupSection::Holidays));
    EXPECT_EQ(dialogs.Questions().size(), 2);
    EXPECT_FALSE(transfer.SetupDialogToMainForm(state));

    // One column for the start and the end is invalid too; a text spot may
    // share a column with any role.
    state.table.Label(cnPosition).caption = "Position";
    state.table.Label(cnEnd).caption = "Start";
    state.table.Label(cnTextLeftTop).caption = "Start";
    const TTableSetupCheck check = CheckTableSetup(state.table);
    EXPECT_FALSE(check.Valid());
    EXPECT_TRUE(check.unbound.empty());
    EXPECT_EQ(check.overbound, QStringList({ "Start" }));
    EXPECT_TRUE(check.IsRed(state.table.Label(cnStart)));
    EXPECT_TRUE(check.IsRed(state.table.Label(cnEnd)));
    EXPECT_FALSE(check.IsRed(state.table.Label(cnTextLeftTop)));
    EXPECT_FALSE(ok(TSetupSection::Table));

    // An unbound deadline does not block.
    state.table.Label(cnEnd).caption = "End";
    EXPECT_TRUE(ok(TSetupSection::Table));
    EXPECT_EQ(doc->GetTableColCount(tbTable), 5);
    EXPECT_EQ(doc->GetConnection(tbTable, cnTextLeftTop), 1);
}

// Positions renamed, deleted, moved, given fewer rows and added: every task
// and absent day stays on its position and sub-row, in one undo group that
// gives the real old names back; each changed cell is shared once.
TEST_F(SetupTest, PositionCellsFollowRenamesDeletionsMovesAndRowCounts)
{
    setPositions({ positionItem("Press", 3), positionItem("Saw"), positionItem("Drill") });
    const QStringList cells { "Press", "Press (1)", "Press (2)", "Saw", "Drill", "*", "Nobody", "" };
    for (int i = 0; i < cells.size(); ++i)
        addTask(QString("t%1").arg(i), cells[i], "04.03.2024", "1");
    addAbsence("a0", "Press (2)", "04.03.2024", "1");
    addAbsence("a1", "Saw", "05.03.2024", "1");
    addAbsence("a2", "Drill", "06.03.2024", "1");
    const QStringList old = positions();
    doc->AddPositionGroup("Cutting", ToCommaText({ old[1], old[2] }));
    doc->AddPositionGroup("Drilling", ToCommaText({ old[2] }));
    doc->AddPositionGroup("Pressing", ToCommaText({ old[0] }));

    fill();
    std::vector<TSetupPosition> &p = state.positions.positions;
    state.positions.SetDescription(1, { "Band saw" });
    TCommaText press(p[0].item);
    press.SetItem(2, "2");
    p[0].item = press.AsString();
    p.erase(p.begin() + 2); // Drill
    std::swap(p[0], p[1]); // Press after the saw
    p.push_back({ positionItem("Lathe"), -1 });
    const QStringList wanted { p[0].item, p[1].item, p[2].item };
    const auto records = sink.records.size();
    const auto entries = doc->UndoRedo().undoList().size();
    ASSERT_TRUE(ok(TSetupSection::Positions));

    EXPECT_EQ(positions(), wanted);
    EXPECT_EQ(column(tbTable, 0),
        QStringList({ "Press", "Press (1)", "Press (1)", "Band saw", "", "*", "Nobody", "" }));
    EXPECT_EQ(column(tbExclude, 0), QStringList({ "Press (1)", "Band saw", "" }));
    EXPECT_EQ(doc->GetData(doc->FindNode("t2"), 0), "Press (1)");
    EXPECT_EQ(doc->FindNode("t2")->nodePosition, 2); // Band saw, Press, Press (1)
    // Stored groups follow; a group left without members is empty.
    EXPECT_EQ(doc->Setup().FPositionGroup.mid(1),
        QStringList({ ToCommaText({ wanted[0] }), "", ToCommaText({ wanted[1] }) }));

    // Shared once per changed row: t2, t3, t4, a0, a1, a2.
    QStringList shared;
    for (auto i = records; i < sink.records.size(); ++i)
        shared << sink.records[i]->FID;
    shared.sort();
    EXPECT_EQ(shared, QStringList({ "a0", "a1", "a2", "t2", "t3", "t4" }));

    ASSERT_EQ(doc->UndoRedo().undoList().size(), entries + 6);
    doc->UndoRedo().Undo();
    EXPECT_EQ(column(tbTable, 0), cells);
    EXPECT_EQ(column(tbExclude, 0), QStringList({ "Press (2)", "Saw", "Drill" }));
}

TEST_F(SetupTest, TheTimeUnitConvertsLengthsThroughWorkingMinutes)
{
    const QStringList days { "2", "abc", "", "1", "1", "1", "1", "1" };
    for (int i = 0; i < days.size(); ++i)
        addTask(QString("t%1").arg(i), "Position 1", "04.03.2024", days[i]);
    TNodeData *first = doc->FindNode("t0");
    const auto records = sink.records.size();

    fill();
    state.positions.minUnit = muMinute;
    ASSERT_TRUE(ok(TSetupSection::Positions));
    EXPECT_EQ(doc->GetMinUnit(), muMinute);
    EXPECT_EQ(column(tbTable, 3), QStringList({ "16", "abc", "", "8", "8", "8", "8", "8" }));
    // Two working days of 7:00 to 15:45 with 45 minutes of breaks.
    EXPECT_EQ(doc->GetData(first, 2), "05.03.2024 15:45:00");
    EXPECT_EQ(sink.records.size(), records + 6);
    EXPECT_EQ(columnEntries(), 0);

    const QStringList hours { "20", "2,30", "12", "36", "4" };
    for (int i = 0; i < hours.size(); ++i)
        doc->SetData(doc->FindNode(QString("t%1").arg(i + 3)), 3, hours[i]);
    doc->SetData(first, 1, "04.03.2024 08:30:00");
    fill();
    state.positions.minUnit = muDay;
    ASSERT_TRUE(ok(TSetupSection::Positions));
    EXPECT_EQ(doc->GetMinUnit(), muDay);
    // Half days round to even; a length above 0 is at least a day.
    EXPECT_EQ(column(tbTable, 3), QStringList({ "2", "abc", "", "2", "1", "2", "4", "1" }));
    EXPECT_EQ(doc->GetData(first, 1), "04.03.2024");
    EXPECT_TRUE(first->nodeValid);
    EXPECT_EQ(doc->GetData(first, 2), "05.03.2024");
    EXPECT_EQ(columnEntries(), 0);
}

TEST_F(SetupTest, ReasonsAreTheMemosNonEmptyLinesQuotedTwice)
{
    fill();
    state.absentDays.lines = { "Holiday", "", "Say \"hi\"", "Sick" };
    state.absentDays.defaultReason = "Sick";
    state.absentDays.calcWorkdays = false;
    ASSERT_TRUE(ok(TSetupSection::AbsentDays));

    const QStringList reasons = doc->GetColumnStrings(tbExclude, doc->GetConnection(tbExclude, cnColor));
    EXPECT_EQ(ItemValues(reasons), QStringList({ "Holiday", "Say \"hi\"", "Sick" }));
    // As the document stores the list.
    EXPECT_EQ(ToCommaText(reasons), R"("""Holiday""","""Say """"hi""""""","""Sick""")");
    EXPECT_EQ(doc->Setup().FDefaultHolidayReason, "Sick");
    EXPECT_GE(doc->Setup().FHolidayColors.size(), 3u);
    TNodeData *absent = doc->AddNode("a1", tbExclude, true);
    EXPECT_EQ(doc->GetData_(absent, cnColor), "Sick");
    EXPECT_EQ(doc->GetData_(absent, cnLengthWithWeekend), "Nein");
    EXPECT_EQ(doc->GetDataIndex_(absent, cnColor), 2);
}

TEST_F(SetupTest, HolidaysReplaceTheListAndMoveEveryEnd)
{
    doc->updateAutoEntries(EncodeDate(2024, 1, 1), EncodeDate(2024, 12, 31));
    TNodeData *task = addTask("pc.tester.1", "Position 1", "04.03.2024", "3");
    ASSERT_EQ(doc->GetData(task, 2), "06.03.2024");

    fill();
    state.holidays.holidays = { { "Day off", 5, 3, true, false }, { "Ostern", 0, 0, false, true } };
    ASSERT_TRUE(ok(TSetupSection::Holidays));

    EXPECT_EQ(doc->Setup().FHolidayList, state.holidays.holidays);
    EXPECT_EQ(doc->GetData(task, 2), "07.03.2024");
    // The chart's entries over the same years: the enabled one.
    ASSERT_EQ(doc->AutoExcludeList().Count(), 1);
    EXPECT_EQ(doc->AutoExcludeList()[0].start, EncodeDate(2024, 3, 5));
    EXPECT_EQ(doc->AutoExcludeList()[0].name, "Day off");
}

// After an apply the state's origins count in the document as it is now:
// pressing OK again, or OK in a second dialog after the same fill, changes
// nothing, and the state reads as a fresh fill would.
TEST_F(SetupTest, ApplyingTheSameStateAgainChangesNothing)
{
    TNodeData *task = addTask("pc.tester.1", "Position 2", "04.03.2024", "2");
    doc->SetData(task, 5, "first");
    addTask("pc.tester.2", "Position 3", "05.03.2024", "1");
    addAbsence("a1", "Position 3", "04.03.2024", "1");
    doc->AddPositionGroup("Two", ToCommaText({ positions()[1], positions()[2] }));

    fill();
    for (TSetupSection s : { TSetupSection::AbsentDays, TSetupSection::Table, TSetupSection::Positions,
             TSetupSection::Groups, TSetupSection::Holidays })
        state.Activate(s);
    std::swap(state.table.columns[0], state.table.columns[5]);
    state.table.columns.insert(state.table.columns.begin() + 2, { "Note", ctText, "", -1 });
    std::vector<TSetupPosition> &p = state.positions.positions;
    state.positions.SetDescription(2, { "Press" });
    p.erase(p.begin());
    p.insert(p.begin(), { positionItem("Lathe"), -1 });
    state.groups.pages[1].checked = { true, false, true };
    state.holidays.holidays.push_back({ "Neujahr", 1, 1, true, false });
    ASSERT_TRUE(transfer.SetupDialogOk(state, TSetupSection::Groups));
    ASSERT_EQ(doc->Setup().FPositionGroup.value(1), ToCommaText({ positions()[2] }));

    const TSetupState applied = state;
    const QStringList tasks = rowTexts(*doc, tbTable), absences = rowTexts(*doc, tbExclude);
    const QStringList items = positions(), shownCaptions = captions();
    const TDocumentSetup setup = doc->Setup();
    const auto records = sink.records.size();
    const auto entries = doc->UndoRedo().undoList().size();

    ASSERT_TRUE(transfer.SetupDialogOk(state, TSetupSection::Holidays));
    EXPECT_EQ(rowTexts(*doc, tbTable), tasks);
    EXPECT_EQ(rowTexts(*doc, tbExclude), absences);
    EXPECT_EQ(positions(), items);
    EXPECT_EQ(captions(), shownCaptions);
    EXPECT_EQ(doc->Setup(), setup);
    EXPECT_EQ(sink.records.size(), records);
    EXPECT_EQ(doc->UndoRedo().undoList().size(), entries);

    TSetupState fresh;
    transfer.MainFormToSetupDialog(fresh);
    for (std::size_t c = 0; c < fresh.table.columns.size(); ++c)
        EXPECT_EQ(applied.table.columns[c].origin, fresh.table.columns[c].origin);
    for (std::size_t j = 0; j < fresh.positions.positions.size(); ++j) {
        EXPECT_EQ(applied.positions.positions[j].item, fresh.positions.positions[j].item);
        EXPECT_EQ(applied.positions.positions[j].origin, fresh.positions.positions[j].origin);
    }
    EXPECT_EQ(applied.positions.originItems, fresh.positions.originItems);
    EXPECT_EQ(applied.groups.names, fresh.groups.names);
    EXPECT_EQ(applied.groups.pages[1].checked, fresh.groups.pages[1].checked);
    EXPECT_EQ(applied.groups.pages[0].checked, fresh.groups.pages[0].checked);
}
