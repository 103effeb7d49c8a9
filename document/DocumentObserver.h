#pragma once

#include "document/DocumentTypes.h"

#include <QString>

// The deferred layout passes of the chart: the shown rows with empty rows
// hidden, the scrollable date range, and the overlapping tasks.
enum class TLayoutPass { EmptyRows, Bounds, Overlapping };

// A view of the document (a table, the chart, the editor): the document tells
// every registered view of its changes and each view repaints what it shows.
// Every call has a harmless default, so a view overrides only what concerns it.
class IDocumentObserver {
public:
    virtual ~IDocumentObserver() = default;

    // Repaint the row in its table and its bar areas on the charts (grown for
    // the marks of a selected bar).
    virtual void InvalidateNodeArea(const TNodeData &node, bool selected) { }
    // A cell of the row changed (whatever its role): its table row shows it anew.
    virtual void RowChanged(const TNodeData &node) { }
    // Repaint the whole time chart (roles changed, all rows revalidated).
    virtual void InvalidateTimeChart() { }
    // The columns of a table changed: count, caption, type or order.
    virtual void ColumnsChanged(TWhichTable table) { }
    // The selection of a table changed.
    virtual void SelectionChanged(TWhichTable table) { }
    // Run this layout pass now (the chart computes it).
    virtual void RunLayoutPass(TLayoutPass pass) { }
    // The colour of a row changed: flash the selected bars.
    virtual void StartFlashSelected() { }
    // Refresh the editor panel for the selection.
    virtual void UpdateEditor() { }
    // The update bracket opened (text shown, hourglass) or closed (text restored).
    virtual void UpdateTextChanged(const QString &text, bool busy) { }
    // A walk over many rows starts or ends (walks inside it join it): a view may
    // gather the areas the rows ask to repaint and repaint them once at its end.
    virtual void RowBatchStarted() { }
    virtual void RowBatchEnded() { }
};
