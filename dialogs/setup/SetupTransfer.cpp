#include "dialogs/setup/SetupTransfer.h"

#include "dialogs/setup/MinUnitChange.h"
#include "dialogs/setup/PositionRemap.h"
#include "document/Document.h"
#include "document/PositionGroupMembers.h"
#include "document/commands/DocumentCommands.h"
#include "document/program/MessageDialog.h"
#include "document/program/Translation.h"
#include "document/sharing/DirWatch.h"
#include "document/text/CommaText.h"

#include <QSet>
#include <algorithm>
#include <numeric>

namespace {

std::vector<int> identity(int count)
{
    std::vector<int> origins(std::size_t(std::max(0, count)));
    std::iota(origins.begin(), origins.end(), 0);
    return origins;
}

QStringList itemsOf(const TSetupPositions &positions)
{
    QStringList items;
    for (const TSetupPosition &p : positions.positions)
        items.append(p.item);
    return items;
}

std::vector<int> originsOf(const TSetupPositions &positions)
{
    std::vector<int> origins;
    for (const TSetupPosition &p : positions.positions)
        origins.push_back(p.origin);
    return origins;
}

} // namespace

TSetupTransfer::TSetupTransfer(Document &doc, ISetupTransferHost *host, TDocumentCommands *commands)
    : FDoc(doc)
    , FHost(host ? host : &FDefaultHost)
    , FCommands(commands)
{ }

void TSetupTransfer::MainFormToSetupDialog(TSetupState &state) const
{
    const Document &doc = FDoc;
    const TDocumentSetup &setup = doc.Setup();

    TSetupAbsentDays &absent = state.absentDays;
    absent.wasActive = false;
    absent.lines = ItemValues(doc.GetColumnStrings(tbExclude, doc.GetConnection(tbExclude, cnColor)));
    absent.defaultReason
        = absent.lines.contains(setup.FDefaultHolidayReason) ? setup.FDefaultHolidayReason : QString();
    absent.calcWorkdays = setup.FDefaultCalcWorkdays;

    const QStringList positionItems = doc.GetColumnStrings(tbTable, doc.GetConnection(tbTable, cnPosition));
    TSetupGroups &groups = state.groups;
    groups.wasActive = false;
    groups.names = ItemValues(positionItems);
    groups.pages.clear();
    const TPositionGroupMembers lookup(positionItems);
    for (int g = 0; g < setup.FPositionGroup.size(); ++g) {
        TSetupGroupPage page { setup.FPositionGroupNames.value(g), {} };
        // Members are whole items or names, matched ignoring case.
        QSet<int> members;
        for (const QString &member : ParseCommaText(setup.FPositionGroup[g]))
            members.insert(lookup.IndexOf(member));
        for (int j = 0; j < positionItems.size(); ++j)
            page.checked.push_back(g == 0 || members.contains(j));
        groups.pages.push_back(std::move(page));
    }

    TSetupHolidays &holidays = state.holidays;
    holidays.wasActive = false;
    holidays.holidays.clear();
    QSet<QString> names; // a name identifies a holiday: the first one stays
    for (const THolidayData &holiday : setup.FHolidayList) {
        if (!names.contains(holiday.name)) {
            names.insert(holiday.name);
            holidays.holidays.push_back(holiday);
        }
    }

    TSetupTable &table = state.table;
    table.wasActive = false;
    table.columns.clear();
    QStringList captions;
    for (int c = 0; c < doc.GetTableColCount(tbTable); ++c) {
        const QString caption = CheckCaption(captions, doc.GetColumnCaption(tbTable, c));
        captions.append(caption);
        table.columns.push_back(
            { caption, doc.GetColumnType(tbTable, c), ToCommaText(doc.GetColumnStrings(tbTable, c)), c });
    }
    for (TSetupRoleLabel &label : table.labels) {
        // By the list row, whose caption is unique: a role bound to the second
        // of two equally named columns keeps it.
        const int c = doc.GetConnection(tbTable, label.role);
        if (c >= 0 && c < int(table.columns.size())) {
            label.caption = table.columns[std::size_t(c)].caption;
            label.type = table.columns[std::size_t(c)].type;
        } else {
            label.caption.clear();
        }
    }

    TSetupPositions &positions = state.positions;
    positions.wasActive = false;
    positions.minUnit = doc.GetMinUnit();
    positions.positions.clear();
    for (int j = 0; j < positionItems.size(); ++j)
        positions.positions.push_back({ positionItems[j], j });
    positions.originItems = positionItems;
}

bool TSetupTransfer::SetupDialogOk(TSetupState &state, TSetupSection dialog, bool nested)
{
    if (dialog == TSetupSection::Positions && nested)
        return true;
    if (state.table.wasActive && !CheckTableSetup(state.table).Valid()) {
        MessageDlg(InvalidTableSetupMessage(), mtInformation, { mbOK });
        return false;
    }
    return SetupDialogToMainForm(state);
}

bool TSetupTransfer::SetupDialogToMainForm(TSetupState &state)
{
    if (state.table.wasActive && !CheckTableSetup(state.table).Valid())
        return false;
    const bool named = FCommands && !FCommands->FileName().isEmpty();
    // What was changed before is saved as it was, apart from the setup.
    if (named && FCommands->Watcher().Changed())
        FCommands->ActionSaveExecute();
    TChartViewPoint view;
    {
        UpdateBracket bracket(FDoc, Translate(QStringLiteral("setting up...")));
        view = FHost->ChartView();
        if (state.absentDays.wasActive)
            ApplyAbsentDays(state.absentDays);
        if (state.table.wasActive)
            ApplyTable(state.table);
        if (state.positions.wasActive)
            ApplyPositions(state.positions);
        if (state.groups.wasActive) {
            const int positionCount
                = int(FDoc.GetColumnStrings(tbTable, FDoc.GetConnection(tbTable, cnPosition)).size());
            ApplyGroups(state.groups,
                state.positions.wasActive ? originsOf(state.positions) : identity(positionCount));
        }
        if (state.holidays.wasActive)
            ApplyHolidays(state.holidays);
    }
    if (named)
        FCommands->ActionSaveExecute();
    FHost->SetChartDestination(view);
    Renumber(state, state.table.wasActive, state.positions.wasActive);
    return true;
}

void TSetupTransfer::ApplyAbsentDays(const TSetupAbsentDays &absentDays)
{
    const QStringList items = MemoLinesToItems(absentDays.lines);
    FDoc.SetColumnStrings(tbExclude, FDoc.GetConnection(tbExclude, cnColor), items);
    TDocumentSetup setup = FDoc.Setup();
    setup.FDefaultHolidayReason = absentDays.defaultReason;
    setup.FDefaultCalcWorkdays = absentDays.calcWorkdays;
    Document::FillUpColors(setup.FHolidayColors, int(items.size()));
    FDoc.SetSetup(std::move(setup));
}

void TSetupTransfer::ApplyTable(const TSetupTable &table)
{
    std::vector<int> origin;
    for (const TSetupColumn &column : table.columns)
        origin.push_back(column.origin);
    const bool relaid = FDoc.RelayColumns(tbTable, origin);
    for (const TSetupRoleLabel &label : table.labels)
        FDoc.SetConnection(tbTable, label.role, table.FindColumn(label.caption));
    // The positions dialog owns the position items.
    const int positionColumn = FDoc.GetConnection(tbTable, cnPosition);
    for (int i = 0; i < int(table.columns.size()); ++i) {
        const TSetupColumn &column = table.columns[std::size_t(i)];
        FDoc.SetColumnCaption(tbTable, i, column.caption);
        FDoc.SetColumnType(tbTable, i, column.type);
        if (i != positionColumn)
            FDoc.SetColumnStrings(tbTable, i, ParseCommaText(column.items));
    }
    TDocumentSetup setup = FDoc.Setup();
    Document::FillUpColors(
        setup.FColors, int(FDoc.GetColumnStrings(tbTable, FDoc.GetConnection(tbTable, cnColor)).size()));
    FDoc.SetSetup(std::move(setup));
    // Undo entries name columns by index.
    if (relaid)
        FDoc.ColumnLayoutChanged();
    FHost->ColumnsRelaid(tbTable, origin);
}

void TSetupTransfer::ApplyPositions(const TSetupPositions &positions)
{
    if (positions.minUnit != FDoc.GetMinUnit())
        ChangeMinUnit(FDoc, TMinUnit(positions.minUnit));
    // After the unit: its change drops the undo entries recorded before it.
    const QStringList items = itemsOf(positions);
    const TPositionRemap remap(positions.originItems, items, originsOf(positions));
    // Set in place: the bracket's end lays the chart rows out once for all
    // sections, and the remap reads no chart row.
    if (THeaderData *header = FDoc.GetHeader(tbTable, FDoc.GetConnection(tbTable, cnPosition)))
        header->Strings = items;
    remap.Apply(FDoc);
    TDocumentSetup setup = FDoc.Setup();
    if (setup.FPositionGroup.size() > 1) {
        const QStringList groups = remap.RemapGroups(setup.FPositionGroup.mid(1));
        setup.FPositionGroup = QStringList { setup.FPositionGroup[0] } + groups;
        FDoc.SetSetup(std::move(setup));
    }
}

void TSetupTransfer::ApplyGroups(const TSetupGroups &groups, const std::vector<int> &positionOrigins)
{
    const QStringList items = FDoc.GetColumnStrings(tbTable, FDoc.GetConnection(tbTable, cnPosition));
    FDoc.ResetPositionGroups();
    for (std::size_t g = 1; g < groups.pages.size(); ++g) {
        const std::vector<bool> &checked = groups.pages[g].checked;
        QStringList members;
        for (int j = 0; j < items.size() && j < int(positionOrigins.size()); ++j) {
            const int o = positionOrigins[std::size_t(j)];
            if (o >= 0 && o < int(checked.size()) && checked[std::size_t(o)])
                members.append(items[j]);
        }
        FDoc.AddPositionGroup(groups.pages[g].name, ToCommaText(members));
    }
}

void TSetupTransfer::ApplyHolidays(const TSetupHolidays &holidays)
{
    FDoc.ClearHoliday();
    for (const THolidayData &h : holidays.holidays)
        FDoc.AddHoliday(h.name, h.day, h.month, h.enabled, h.easter);
    FDoc.updateAutoEntries();
}

void TSetupTransfer::Renumber(TSetupState &state, bool table, bool positions)
{
    if (table) {
        for (std::size_t i = 0; i < state.table.columns.size(); ++i)
            state.table.columns[i].origin = int(i);
    }
    if (!positions)
        return;
    TSetupPositions &p = state.positions;
    // The group pages check positions by their index.
    for (std::size_t g = 0; g < state.groups.pages.size(); ++g) {
        std::vector<bool> &checked = state.groups.pages[g].checked;
        std::vector<bool> renumbered;
        for (const TSetupPosition &position : p.positions) {
            const int o = position.origin;
            renumbered.push_back(g == 0 || (o >= 0 && o < int(checked.size()) && checked[std::size_t(o)]));
        }
        checked = std::move(renumbered);
    }
    p.originItems = itemsOf(p);
    state.groups.names = ItemValues(p.originItems);
    for (std::size_t j = 0; j < p.positions.size(); ++j)
        p.positions[j].origin = int(j);
}
