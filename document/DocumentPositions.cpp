// Positions and their chart rows, lengths and the role accessors.
#include "document/ChartRows.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/PositionGroupMembers.h"
#include "document/WorkingTimeCache.h"
#include "document/text/CommaText.h"

#include <climits>

QStringList Document::Positiongroups(bool ExpandRows, bool AllPositions) const
{
    const QStringList positions = GetColumnStrings(tbTable, GetConnection(tbTable, cnPosition));
    const QString group = FSetup.FPositionGroup.value(FShownGroup);
    QStringList items;
    if (AllPositions || group.isEmpty()) {
        items = positions;
    } else {
        // A member shows its position as it is now, whether it holds the whole
        // item or the name alone; one naming none stays a row of its own.
        const TPositionGroupMembers members(positions);
        items = TCommaText(group).Strings();
        for (QString &member : items) {
            const int position = members.IndexOf(member);
            if (position >= 0)
                member = positions[position];
        }
    }
    return ExpandRows ? TChartRows::ExpandRows(items) : items;
}

int Document::GetRowCount() const
{
    return FChartRows->RowCount();
}

void Document::RefreshPositionRows()
{
    FChartRows->SetPositionsAndGroupRows(
        Positiongroups(false, true), GetConnection(tbTable, cnPosition) >= 0, Positiongroups(true, false));
    FWorkingTime->SetPositions(*FChartRows);
    UpdateEmptyRows(true);
}

void Document::SetGlobalPositionFilter(const QStringList &rows)
{
    FChartRows->SetShownRows(rows);
    UpdateInternalVariables();
}

void Document::UpdateInternalVariables()
{
    FChartRows->SetPositions(Positiongroups(false, true), GetConnection(tbTable, cnPosition) >= 0);
    FWorkingTime->SetPositions(*FChartRows);
    UpdateEmptyRows(true);
}

void Document::SetShownGroup(int group)
{
    FShownGroup = group >= 0 && group < FSetup.FPositionGroup.size() ? group : 0;
    RefreshPositionRows();
}

void Document::ResetPositionGroups()
{
    FSetup.FPositionGroup = QStringList { QString() };
    FSetup.FPositionGroupNames = QStringList { QString() };
    FShownGroup = 0;
    RefreshPositionRows();
}

void Document::AddPositionGroup(const QString &name, const QString &filter)
{
    FSetup.FPositionGroup.append(filter);
    FSetup.FPositionGroupNames.append(name);
}

const tWeekInfo &Document::GetWeekInfo(int row) const
{
    return FChartRows->WeekInfoOfRow(row);
}

bool Document::findNodeWithPosition(TWhichTable table, const QString &name) const
{
    const int column = GetConnection(table, cnPosition);
    if (column < 0)
        return false;
    const DocumentTable &t = GetTable(table);
    for (TNodeData *node = t.First(); node; node = t.Next(node)) {
        if (GetData(node, column) == name)
            return true;
    }
    return false;
}

int Document::GetPositionOf(const TNodeData *node) const
{
    return node ? FChartRows->RowOfPosition(node->nodePosition) : -1;
}

std::int32_t Document::calcNodeLength(TWhichTable table, const QString &text) const
{
    auto number = [](QStringView part) -> qint64 {
        bool ok = false;
        const qint64 v = part.trimmed().toLongLong(&ok);
        return ok ? v : 0;
    };
    qint64 minutes;
    if (FSetup.FMinUnit == muMinute && table == tbTable) {
        const qsizetype comma = text.indexOf(QLatin1Char(','));
        const QStringView view(text);
        minutes = comma < 0 ? number(view) * 60 : number(view.left(comma)) * 60 + number(view.mid(comma + 1));
    } else {
        minutes = number(text) * 480;
    }
    // A length the 32-bit minute count cannot hold makes the row invalid, not wrapped.
    if (minutes > INT_MAX || minutes < INT_MIN)
        return 0;
    return std::int32_t(minutes);
}

std::int32_t Document::GetLengthOf(const TNodeData *node) const
{
    return node ? calcNodeLength(node->NodeTable, GetData_(node, cnLength)) : 0;
}

void Document::DoSetLengthOf(TNodeData *node, std::int32_t minutes, bool DoDiff)
{
    if (!node)
        return;
    QString text;
    if (FSetup.FMinUnit == muDay || node->NodeTable == tbExclude)
        text = QString::number(minutes / 480);
    else if (minutes % 60 == 0)
        text = QString::number(minutes / 60);
    else
        text = QString::number(minutes / 60) + QLatin1Char(',') + QString::number(minutes % 60);
    DoSetData_(node, cnLength, text, DoDiff);
}

void Document::DoSetStartOf(TNodeData *node, TDateTime date, bool DoDiff)
{
    if (!node)
        return;
    DoSetData_(node, cnStart, FormatDateTime(node->NodeTable == tbExclude ? DatePart(date) : date), DoDiff);
}

void Document::SetEndOf(TNodeData *node, TDateTime date)
{
    if (!node)
        return;
    // A file may bind the end to a column that also feeds it (start, length,
    // position): writing the end there would change its own input without end.
    const std::array<int, kConnectionCount> &connection = FConnection[node->NodeTable];
    const int column = connection[cnEnd];
    for (TConnection input : { cnPosition, cnStart, cnLength, cnLengthWithWeekend }) {
        if (column >= 0 && connection[input] == column)
            return;
    }
    if (column < 0)
        return;
    const QString &text = EndText(date);
    // Read without detaching the row's cells: most derived ends are unchanged.
    const QStringList &cells = node->StringList;
    if (column < cells.size() && SameText(cells.at(column), text))
        return;
    // A copy: writing the cell may derive other ends, which may move the cached text.
    DoSetData(node, column, QString(text), false);
}

void Document::DoSetPositionOf(TNodeData *node, int index, bool DoDiff)
{
    if (!node)
        return;
    const QStringList &rows = FChartRows->GlobalPositionFilter();
    if (!rows.isEmpty()) {
        const QString value = index >= 0 && index < rows.size() ? TCommaText(rows[index]).Item(0) : QString();
        DoSetData_(node, cnPosition, value, DoDiff);
    } else {
        DoSetDataIndex(node, GetConnection(node->NodeTable, cnPosition), index, DoDiff);
    }
}

TDateTime Document::GetTerminOf(const TNodeData *node) const
{
    if (!node || GetConnection(node->NodeTable, cnTermin) < 0)
        return 0;
    return node->nodeTermin;
}

void Document::SetTerminOf(TNodeData *node, TDateTime date)
{
    SetData_(node, cnTermin, FormatDateTime(date));
}
