#pragma once

#include "document/DocumentTypes.h"

#include <QString>

// The deferred layout passes of the chart: the shown rows with empty rows
// hidden, the scrollable date range, and the overlapping tasks.
enum class TLayoutPass { EmptyRows, Bounds, Overlapping };

// What the document core asks of the window around it. The main window
// implements it; tests use a recording fake. Every call has a harmless default
// so the document works with no window at all.
class IDocumentHost {
public:
    virtual ~IDocumentHost() = default;

    // Repaint the row in its table and its bar areas on the charts (grown for
    // the marks of a selected bar).
    virtual void InvalidateNodeArea(const TNodeData &node, bool selected) { }
    // Repaint the whole time chart (roles changed, all rows revalidated).
    virtual void InvalidateTimeChart() { }
    // The table whose page is shown.
    virtual TWhichTable GetActiveTable() const { return FActiveTable; }
    // Show that table's page (the page-change handler runs in the window).
    virtual void SetActiveTable(TWhichTable table) { FActiveTable = table; }
    // Focus, select and show a newly added row.
    virtual void FocusNewNode(TNodeData &node) { }
    // A deferred layout pass was requested (bounds, overlaps, empty rows).
    virtual void LayoutPassRequested() { }
    // Run this layout pass now (the chart computes it).
    virtual void RunLayoutPass(TLayoutPass pass) { }
    // The colour of a row changed: flash the selected bars.
    virtual void StartFlashSelected() { }
    // Refresh the editor panel for the selection.
    virtual void UpdateEditor() { }
    // Refresh the status bar counts.
    virtual void UpdateStatusBar() { }
    // The update bracket opened (text shown, hourglass) or closed (text restored).
    virtual void UpdateTextChanged(const QString &text, bool busy) { }
    // Undo or redo availability may have changed (hints: Document::UndoRedo()).
    virtual void UpdateUndoActions(bool canUndo, bool canRedo) { }

private:
    TWhichTable FActiveTable = tbTable;
};
