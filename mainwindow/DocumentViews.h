#pragma once

#include "document/Document.h"
#include "document/DocumentObserver.h"

#include <array>

class TStringGridTree;
class TTimeChart;

// The two table windows as views of the document: their columns follow the
// document's (count, captions, alignment), a row whose cells or bar changed is
// repainted, and while the document is in an update bracket both trees are in
// theirs (nothing repaints, sorting waits for the end).
class TTableViews final : public IDocumentObserver {
public:
    TTableViews(Document &doc, TStringGridTree &tasks, TStringGridTree &absentDays);
    ~TTableViews() override;
    TTableViews(const TTableViews &) = delete;
    TTableViews &operator=(const TTableViews &) = delete;

    // The tree's header columns take the document's: missing ones are added with
    // the default width, surplus ones removed; captions and alignment copied.
    void SyncColumns(TWhichTable table);

    // The width a whole date (with its time in minute plans) takes in a column of
    // the table, in the bold font of selected rows: a fitted date column is never
    // narrower, whether its rows are on screen when it is fitted or not.
    int DateColumnWidth(TWhichTable table) const;

    void InvalidateNodeArea(const TNodeData &node, bool selected) override;
    void RowChanged(const TNodeData &node) override;
    // The time unit changed (dates gain or lose their time): the date columns
    // are fitted again.
    void InvalidateTimeChart() override;
    void ColumnsChanged(TWhichTable table) override;
    void UpdateTextChanged(const QString &text, bool busy) override;

private:
    void RepaintRow(const TNodeData &node);
    void FitDateColumns();

    Document &FDoc;
    std::array<TStringGridTree *, kTableCount> FTrees;
    bool FInBracket = false;
    TMinUnit FFittedUnit;
    ScopedDocumentObserver FObservation;
};

// The time chart as a view of the document: a row's bar, the whole chart, the
// layout passes asked for at once, the colour flash and the update bracket reach
// the chart.
class TChartView final : public IDocumentObserver {
public:
    TChartView(Document &doc, TTimeChart &chart);

    void InvalidateNodeArea(const TNodeData &node, bool selected) override;
    void InvalidateTimeChart() override;
    void RunLayoutPass(TLayoutPass pass) override;
    void StartFlashSelected() override;
    void UpdateTextChanged(const QString &text, bool busy) override;
    void RowBatchStarted() override;
    void RowBatchEnded() override;

private:
    TTimeChart &FChart;
    ScopedDocumentObserver FObservation;
};
