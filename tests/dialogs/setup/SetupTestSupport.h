#pragma once

#include "dialogs/setup/SetupTransfer.h"
#include "document/text/CommaText.h"
#include "tests/document/DocumentTestSupport.h"

#include <gtest/gtest.h>
#include <vector>

// A main window that records what applying a setup asks of it.
class RecordingTransferHost : public ISetupTransferHost {
public:
    TChartViewPoint view { EncodeDate(2024, 3, 1), 120 };
    std::vector<TChartViewPoint> destinations;
    std::vector<std::vector<int>> relaid;

    TChartViewPoint ChartView() const override { return view; }
    void SetChartDestination(const TChartViewPoint &v) override { destinations.push_back(v); }
    void ColumnsRelaid(TWhichTable table, const std::vector<int> &origin) override
    {
        EXPECT_EQ(table, tbTable);
        relaid.push_back(origin);
    }
};

// A position item as the positions dialog keeps it: name, working week, rows.
inline QString positionItem(const QString &name, int rows = 1)
{
    TCommaText item;
    item.Add(name);
    item.Add(WeekInfo2String(DefaultWeekInfo()));
    if (rows != 1)
        item.Add(QString::number(rows));
    return item.AsString();
}

// A document with German formats, the recording hosts and the setup state the
// dialogs would share.
class SetupTest : public ::testing::Test, public DocumentFixture {
protected:
    RecordingTransferHost transferHost;
    TSetupTransfer transfer { *doc, &transferHost };
    TSetupState state;

    void fill() { transfer.MainFormToSetupDialog(state); }
    // The dialog of `section` was shown and its OK pressed.
    bool ok(TSetupSection section)
    {
        state.Activate(section);
        return transfer.SetupDialogOk(state, section);
    }
    // The absent row on a position from a start, `days` long.
    TNodeData *addAbsence(
        const QString &id, const QString &position, const QString &start, const QString &days)
    {
        TNodeData *node = doc->AddNode(id, tbExclude, true);
        doc->SetData(node, 0, position);
        doc->SetData(node, 1, start);
        doc->SetData(node, 3, days);
        return node;
    }
    void setPositions(const QStringList &items)
    {
        doc->SetColumnStrings(tbTable, doc->GetConnection(tbTable, cnPosition), items);
    }
    QStringList positions() const
    {
        return doc->GetColumnStrings(tbTable, doc->GetConnection(tbTable, cnPosition));
    }
    QStringList captions() const
    {
        QStringList list;
        for (int c = 0; c < doc->GetTableColCount(tbTable); ++c)
            list << doc->GetColumnCaption(tbTable, c);
        return list;
    }
    // Column `c` of every task row, in table order.
    QStringList column(TWhichTable table, int c) const
    {
        QStringList cells;
        const DocumentTable &rows = doc->GetTable(table);
        for (const TNodeData *row = rows.First(); row; row = rows.Next(row))
            cells << doc->GetData(row, c);
        return cells;
    }
    int columnEntries() const
    {
        int n = 0;
        for (const auto &entry : doc->UndoRedo().undoList())
            n += entry->RefersToColumns() ? 1 : 0;
        return n;
    }
};
