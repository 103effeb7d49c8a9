#pragma once

#include "document/DocumentObserver.h"
#include "document/DocumentTypes.h"

#include <QString>

// What the document core asks of the window around it. The main window
// implements it; tests use a recording fake. Every call has a harmless default
// so the document works with no window at all. The host is told of every change
// the views are told of (it is the first observer), beside those it answers
// alone.
class IDocumentHost : public IDocumentObserver {
public:
    // The table whose page is shown.
    virtual TWhichTable GetActiveTable() const { return FActiveTable; }
    // Show that table's page (the page-change handler runs in the window).
    virtual void SetActiveTable(TWhichTable table) { FActiveTable = table; }
    // Focus, select and show a newly added row.
    virtual void FocusNewNode(TNodeData &node) { }
    // A deferred layout pass was requested (bounds, overlaps, empty rows).
    virtual void LayoutPassRequested() { }
    // Refresh the status bar counts.
    virtual void UpdateStatusBar() { }
    // Undo or redo availability may have changed (hints: Document::UndoRedo()).
    virtual void UpdateUndoActions(bool canUndo, bool canRedo) { }

private:
    // The whole chart is repainted through the document (InvalidateTimeChart(doc)
    // in document/ChartInvalidation.h), which tells the views too; the host alone
    // would repaint none of them.
    using IDocumentObserver::InvalidateTimeChart;

    TWhichTable FActiveTable = tbTable;
};
