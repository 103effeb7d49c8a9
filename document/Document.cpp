// Tables, columns, roles and the basic (new-document) layout.
#include "document/Document.h"

#include "document/ChartInvalidation.h"
#include "document/ChartRows.h"
#include "document/DocumentTable.h"
#include "document/WorkingTimeCache.h"
#include "document/calendar/WeekInfo.h"
#include "document/program/Identity.h"
#include "document/program/Log.h"
#include "document/program/Translation.h"
#include "document/text/CommaText.h"

#include <algorithm>

namespace {

const QStringList kEmptyStringList;

// The item list of a pulldown column: each item is a quoted comma text of one field.
QStringList numberedItems(const QString &name, int count)
{
    QStringList items;
    for (int i = 1; i <= count; ++i) {
        TCommaText item;
        item.Add(name + QLatin1Char(' ') + QString::number(i));
        items.append(item.AsString());
    }
    return items;
}

QStringList singleFieldItems(const QStringList &names)
{
    QStringList items;
    for (const QString &name : names) {
        TCommaText item;
        item.Add(name);
        items.append(item.AsString());
    }
    return items;
}

} // namespace

Document::Document(IDocumentHost *host)
    : FIdentity(UserIdentity())
    , FChartRows(std::make_unique<TChartRows>())
    , FWorkingTime(std::make_unique<TWorkingTimeCache>())
{
    if (host)
        FHost = host;
    for (int t = 0; t < kTableCount; ++t) {
        FTables[t] = std::make_unique<DocumentTable>(TWhichTable(t));
        FConnection[t].fill(-1);
    }
    FSetup.FPositionGroup.append(QString());
    FSetup.FPositionGroupNames.append(QString());
    FWorkingTime->SetHolidays(FSetup.FHolidayList);
    CreateBasicTable(tbTable);
    CreateBasicTable(tbExclude);
}

Document::~Document()
{
    // Rows go before the undo manager that may name them.
    for (auto &table : FTables)
        table->ClearRows();
}

void Document::SetHost(IDocumentHost *host)
{
    FHost = host ? host : &FDefaultHost;
}

void Document::AddObserver(IDocumentObserver *observer)
{
    if (observer && std::find(FObservers.begin(), FObservers.end(), observer) == FObservers.end())
        FObservers.push_back(observer);
}

void Document::RemoveObserver(IDocumentObserver *observer)
{
    auto it = std::find(FObservers.begin(), FObservers.end(), observer);
    if (it == FObservers.end())
        return;
    if (FNotifying > 0)
        *it = nullptr;
    else
        FObservers.erase(it);
}

void Document::SelectionChanged(TWhichTable table)
{
    Notify([table](IDocumentObserver &o) { o.SelectionChanged(table); });
}

TWhichTable Document::GetActiveTable() const
{
    return FHost->GetActiveTable();
}

void Document::SetActiveTable(TWhichTable table)
{
    if (FHost->GetActiveTable() != table)
        FHost->SetActiveTable(table);
}

int Document::GetTableColCount(TWhichTable table) const
{
    return GetTable(table).ColumnCount();
}

int Document::GetTableRowCount(TWhichTable table) const
{
    return GetTable(table).RowCount();
}

THeaderData *Document::GetHeader(TWhichTable table, int column)
{
    return GetTable(table).Header(column);
}

const THeaderData *Document::GetHeader(TWhichTable table, int column) const
{
    return GetTable(table).Header(column);
}

TColumnType Document::GetColumnType(TWhichTable table, int column) const
{
    const THeaderData *header = GetHeader(table, column);
    return header ? header->ColumnType : ctText;
}

QString Document::GetColumnCaption(TWhichTable table, int column) const
{
    return GetTable(table).Caption(column);
}

QString Document::GetColumnCaptionHack(TWhichTable table, int column) const
{
    if (table == tbExclude)
        return column >= 0 && column < FExcludeHeaderStrings.size() ? FExcludeHeaderStrings[column]
                                                                    : QString();
    return GetColumnCaption(table, column);
}

int Document::IndexOfColumnHack(TWhichTable table, const QString &name) const
{
    if (table == tbExclude)
        return FExcludeHeaderStrings.indexOf(name);
    return GetHeaderIndex(table, name);
}

int Document::GetHeaderIndex(TWhichTable table, const QString &caption) const
{
    const DocumentTable &t = GetTable(table);
    for (int i = 0; i < t.ColumnCount(); ++i) {
        if (t.Caption(i) == caption)
            return i;
    }
    return -1;
}

const QStringList &Document::GetColumnStrings(TWhichTable table, int column) const
{
    if (column < 0 || column >= GetTableColCount(table))
        return kEmptyStringList;
    if (table == tbExclude) {
        // Both tables share the task table's position items (wherever its
        // position column stands); the absence reasons belong to the setup.
        if (RoleIs(table, column, cnPosition)) {
            const THeaderData *header = GetHeader(tbTable, GetConnection(tbTable, cnPosition));
            return header ? header->Strings : kEmptyStringList;
        }
        if (RoleIs(table, column, cnColor))
            return FSetup.FHolidayReasons;
    }
    return GetHeader(table, column)->Strings;
}

void Document::SetColumnStrings(TWhichTable table, int column, const QStringList &items)
{
    if (table == tbExclude && RoleIs(table, column, cnColor)) {
        FSetup.FHolidayReasons = items;
        return;
    }
    THeaderData *header = GetHeader(table, column);
    if (!header)
        return;
    header->Strings = items;
    if (RoleIs(table, column, cnPosition))
        RefreshPositionRows();
}

int Document::GetConnection(TWhichTable table, TConnection role) const
{
    return role > cnNone && role < kConnectionCount ? FConnection[table][role] : -1;
}

TConnection Document::GetColumnConnection(TWhichTable table, int column) const
{
    if (column < 0)
        return cnNone;
    for (int role = cnNone + 1; role < kConnectionCount; ++role) {
        if (FConnection[table][role] == column)
            return TConnection(role);
    }
    return cnNone;
}

bool Document::RoleIs(TWhichTable table, int column, TConnection role) const
{
    return column >= 0 && GetConnection(table, role) == column;
}

void Document::SetColumnCaption(TWhichTable table, int column, const QString &text)
{
    if (GetColumnCaption(table, column) == text)
        return;
    GetTable(table).SetCaption(column, text);
    ColumnsChanged(table);
}

void Document::SetColumnType(TWhichTable table, int column, TColumnType type)
{
    THeaderData *header = GetHeader(table, column);
    if (!header)
        return;
    header->ColumnType = ColumnTypeFromOrdinal(type);
    GetTable(table).SetRightAligned(column, header->ColumnType == ctNumber);
    ColumnsChanged(table);
}

void Document::SetConnection(TWhichTable table, TConnection role, int column)
{
    if (role <= cnNone || role >= kConnectionCount || column < -1 || column >= GetTableColCount(table))
        return;
    const bool positionsMoved = table == tbTable && role == cnPosition && FConnection[table][role] != column;
    if (FConnection[table][role] != column)
        FRowChanges.Reset();
    FConnection[table][role] = column;
    if (positionsMoved)
        RefreshPositionRows();
    ::InvalidateTimeChart(*this);
}

void Document::ResetConnections(TWhichTable table)
{
    for (int role = cnNone + 1; role < kConnectionCount; ++role)
        SetConnection(table, TConnection(role), -1);
}

void Document::ResizeTable(TWhichTable table, int count)
{
    count = std::max(0, count);
    DocumentTable &t = GetTable(table);
    while (t.ColumnCount() < count)
        t.AppendColumn();
    while (t.ColumnCount() > count)
        t.RemoveColumn(t.ColumnCount() - 1);
    for (TNodeData *row = t.First(); row; row = t.Next(row)) {
        while (row->StringList.size() < count)
            row->StringList.append(QString());
        row->StringList.resize(count);
    }
    // A role must not name a column that is gone.
    for (int &column : FConnection[table]) {
        if (column >= count)
            column = -1;
    }
    ColumnsChanged(table);
}

bool Document::RelayColumns(TWhichTable table, std::vector<int> &origin)
{
    DocumentTable &t = GetTable(table);
    const int oldCount = t.ColumnCount();
    // A column moves once; an entry naming no old column (or one taken already)
    // makes a new one.
    std::vector<int> newIndexOf(std::size_t(oldCount), -1);
    for (std::size_t i = 0; i < origin.size(); ++i) {
        int &from = origin[i];
        if (from < 0 || from >= oldCount || newIndexOf[std::size_t(from)] >= 0)
            from = -1;
        else
            newIndexOf[std::size_t(from)] = int(i);
    }
    bool changed = int(origin.size()) != oldCount;
    for (std::size_t i = 0; i < origin.size() && !changed; ++i)
        changed = origin[i] != int(i);
    if (!changed)
        return false;

    t.RelayColumns(origin);
    if (table == tbExclude && FExcludeHeaderStrings.size() == oldCount) {
        QStringList captions;
        for (int from : origin)
            captions.append(from >= 0 ? FExcludeHeaderStrings[from] : QString());
        FExcludeHeaderStrings = captions;
    }
    // The cells are moved into each row's new list, never copied.
    for (TNodeData *row = t.First(); row; row = t.Next(row)) {
        QStringList cells;
        cells.reserve(qsizetype(origin.size()));
        for (int from : origin)
            cells.append(
                from >= 0 && from < row->StringList.size() ? std::move(row->StringList[from]) : QString());
        row->StringList = std::move(cells);
    }
    const bool positionsBound = GetConnection(tbTable, cnPosition) >= 0;
    FRowChanges.Reset();
    for (int &column : FConnection[table])
        column = column >= 0 && column < oldCount ? newIndexOf[std::size_t(column)] : -1;
    FColumnItemIndex[table].clear();
    // The positions moved with their column; only a removed one changes the rows.
    if (table == tbTable && positionsBound && GetConnection(tbTable, cnPosition) < 0)
        RefreshPositionRows();
    ColumnsChanged(table);
    ::InvalidateTimeChart(*this);
    return true;
}

void Document::SetTableColCount(TWhichTable table, int count)
{
    count = std::max(0, count);
    DocumentTable &t = GetTable(table);
    while (t.ColumnCount() > count) {
        t.RemoveColumn(0);
        for (TNodeData *row = t.First(); row; row = t.Next(row)) {
            if (!row->StringList.isEmpty())
                row->StringList.removeFirst();
        }
    }
    while (t.ColumnCount() < count) {
        t.AppendColumn();
        for (TNodeData *row = t.First(); row; row = t.Next(row))
            row->StringList.append(QString());
    }
    for (int &column : FConnection[table]) {
        if (column >= count)
            column = -1;
    }
    ColumnsChanged(table);
}

void Document::ColumnsChanged(TWhichTable table)
{
    ++FCellsRevision;
    Notify([table](IDocumentObserver &o) { o.ColumnsChanged(table); });
}

void Document::ClearTable(TWhichTable table)
{
    if (table == tbTable) {
        ResetConnections(table);
        GetTable(table).FreeHeaders();
        ColumnsChanged(table);
    }
    DocumentTable &t = GetTable(table);
    for (TNodeData *row = t.First(); row; row = t.Next(row)) {
        ForgetDates(*row);
        if (row->nodeOverlapping)
            --FOverlappingCount;
    }
    t.ClearRows();
    ++FRowsRevision;
    FRowChanges.Reset();
    if (table == tbExclude) // absent days feed the working-time walk
        AbsentDaysChanged();
}

void Document::FillUpColors(std::vector<std::uint32_t> &colors, int count)
{
    static constexpr std::uint32_t cycle[] = { 0x008080, 0x00FFFF, 0x00BF00, 0xFFFFFF, 0xC0C0C0, 0xFFFFFF,
        0x808000, 0x008000, 0x808080, 0x800000 };
    const std::size_t first = colors.size();
    for (std::size_t i = first; i < std::size_t(std::max(0, count)); ++i)
        colors.push_back(cycle[(i - first) % 10]);
}

void Document::CreateBasicTable(TWhichTable table)
{
    struct ColumnDef {
        const char *caption;
        TColumnType type;
        TConnection role;
    };
    if (table == tbTable) {
        static constexpr ColumnDef columns[] = {
            { "Position", ctPulldown, cnPosition },
            { "Start", ctDate, cnStart },
            { "End", ctDate, cnEnd },
            { "Length", ctNumber, cnLength },
            { "State", ctPulldown, cnColor },
            { "Comment", ctText, cnTextCenterMiddle },
        };
        ResizeTable(table, 6);
        ResetConnections(table);
        ClearTable(table);
        for (int i = 0; i < 6; ++i) {
            SetColumnCaption(table, i, Translate(QString::fromLatin1(columns[i].caption)));
            SetColumnType(table, i, columns[i].type);
            SetConnection(table, columns[i].role, i);
        }
        GetHeader(table, 0)->Strings = numberedItems(Translate(QStringLiteral("Position")), 3);
        GetHeader(table, 4)->Strings = numberedItems(Translate(QStringLiteral("State")), 3);
        FSetup.FColors.clear();
        FillUpColors(FSetup.FColors, 3);
        CreateDefaultWeekInfo();
        RefreshPositionRows();
        return;
    }
    static constexpr ColumnDef columns[] = {
        { "Position", ctPulldown, cnPosition },
        { "Start", ctDate, cnStart },
        { "End", ctDate, cnEnd },
        { "Length", ctNumber, cnLength },
        { "Working Days", ctCheckBox, cnLengthWithWeekend },
        { "Absent reason", ctPulldown, cnColor },
        { "Comment", ctText, cnTextCenterMiddle },
    };
    ResizeTable(table, 7);
    ResetConnections(table);
    ClearTable(table);
    FExcludeHeaderStrings.clear();
    for (int i = 0; i < 7; ++i) {
        const QString english = QString::fromLatin1(columns[i].caption);
        FExcludeHeaderStrings.append(english);
        SetColumnCaption(table, i, Translate(english));
        SetColumnType(table, i, columns[i].type);
        SetConnection(table, columns[i].role, i);
    }
    FSetup.FHolidayReasons = singleFieldItems({ Translate(QStringLiteral("Holiday")),
        Translate(QStringLiteral("Sick")), Translate(QStringLiteral("Other")) });
    FSetup.FHolidayColors.clear();
    FillUpColors(FSetup.FHolidayColors, 3);
}

void Document::ResetDocument(TRowIDs ids)
{
    if (ids == TRowIDs::StartAgain)
        FLastFreeID = 0;
    // Clearing is no change of the shared document: nothing is queued.
    for (int t = 0; t < kTableCount; ++t)
        ClearTable(TWhichTable(t));
    FSetup.FPositionGroup = QStringList { QString() };
    FSetup.FPositionGroupNames = QStringList { QString() };
    FShownGroup = 0;
    FSetup.FRowSets.clear();
    FRowSet = rsTopMiddleBottom;
    FSetup.FHolidayList.clear();
    FWorkingTime->ClearAutoEntries();
    FWorkingTime->SetHolidays(FSetup.FHolidayList);
    CreateBasicTable(tbTable);
    CreateBasicTable(tbExclude);
    FUndoRedo.Clear();
    FSharedTexts.Clear();
}

void Document::CreateDefaultWeekInfo()
{
    const int column = GetConnection(tbTable, cnPosition);
    THeaderData *header = GetHeader(tbTable, column);
    if (!header)
        return;
    const QString week = WeekInfo2String(DefaultWeekInfo());
    for (QString &item : header->Strings) {
        TCommaText fields(item);
        fields.SetItem(1, week);
        item = fields.AsString();
    }
}

void Document::SetMinUnit(int unit)
{
    if (unit < muDay || unit > muMinute) {
        Log(QStringLiteral("tried to set minunit to ") + QString::number(unit));
        return;
    }
    FSetup.FMinUnit = TMinUnit(unit);
    ++FCellsRevision;
    FRowChanges.Reset();
    ::InvalidateTimeChart(*this);
}

void Document::SetSetup(TDocumentSetup setup)
{
    const bool groupsChanged = setup.FPositionGroup != FSetup.FPositionGroup;
    FRowChanges.Reset();
    // The unit is checked by SetMinUnit; a bad one leaves the present one.
    const int unit = setup.FMinUnit;
    setup.FMinUnit = FSetup.FMinUnit;
    FSetup = std::move(setup);
    SetMinUnit(unit);
    if (FSetup.FPositionGroup.isEmpty())
        FSetup.FPositionGroup.append(QString());
    while (FSetup.FPositionGroupNames.size() < FSetup.FPositionGroup.size())
        FSetup.FPositionGroupNames.append(QString());
    FillUpColors(FSetup.FColors, int(GetColumnStrings(tbTable, GetConnection(tbTable, cnColor)).size()));
    FillUpColors(FSetup.FHolidayColors, int(FSetup.FHolidayReasons.size()));
    if (groupsChanged) {
        if (FShownGroup >= FSetup.FPositionGroup.size())
            FShownGroup = 0;
        RefreshPositionRows();
    }
    // A changed holiday list moves the ends.
    if (FWorkingTime->SetHolidays(FSetup.FHolidayList))
        RecalcAllEnds();
}

int Document::StoredRowHeight() const
{
    // The height a bar of all three text lines would have.
    if (FRowSet == rsTopMiddle)
        return FSetup.FTimeChartRowHeight * 3 / 2;
    if (FRowSet == rsTop)
        return FSetup.FTimeChartRowHeight * 3;
    return FSetup.FTimeChartRowHeight;
}

void Document::ColumnLayoutChanged()
{
    FUndoRedo.DropColumnEntries();
}

void Document::UpdateUndoActions(bool canUndo, bool canRedo)
{
    FHost->UpdateUndoActions(canUndo, canRedo);
}
