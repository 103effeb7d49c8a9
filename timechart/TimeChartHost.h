#pragma once

#include "document/DocumentTypes.h"
#include "document/program/Settings.h"
#include "platform/gui/Color.h"
#include "platform/gui/Rect.h"

#include <QPoint>
#include <QString>
#include <optional>
#include <vector>

// What the new-entry dialog shows for a band drawn on the chart: its first date,
// the last day the new row gets in each table (a task skips the position's free
// days; an absent day may count calendar days), the row's name, and the table
// whose button is the default. The dialog answers with the table the user chose.
struct TNewEntry {
    QString LabelBegin;
    QString LabelEnd[kTableCount];
    QString LabelPos;
    TWhichTable table = tbTable;
};

// The enabled state of the chart popup's actions.
struct TChartPopupActions {
    bool Split = false; // the pointer lies inside the bar under it
    bool CutCopy = false; // the active table has selected rows
    bool Paste = false; // exactly one row is there to paste
};

// What the time chart asks of the main window: the status bar, the cursor, the
// boxes and menus that show the chart's zoom, transparency, font and row set,
// the tables' filters, the colour picker and the view options. Every call has a
// harmless default, so the chart works in a window of its own (tests).
class ITimeChartHost {
public:
    virtual ~ITimeChartHost() = default;

    // The update bracket: show `text` in the status bar's fourth panel and the
    // hourglass while busy (both tables are in a tree update meanwhile); the
    // outermost end restores the text the panel had and the cursor.
    virtual void ShowUpdateState(const QString &text, bool busy) { }

    // The zoom is now `percent`: select it in the zoom box and menu, and show
    // `caption` as the menu's caption and the box's hint. The same for the
    // transparency of filtered tasks.
    virtual void ShowZoom(int percent, const QString &caption) { }
    virtual void ShowTransparency(int percent, const QString &caption) { }
    // Show the chart font in the font name and size boxes (the size box lists the
    // sizes of that font).
    virtual void ShowFont(const QString &name, int size) { }
    // Show the row set on the row-set tool button.
    virtual void ShowRowSet(TRowSet rowSet) { }

    // The position-group tab `tab` (caption `caption`) is shown: switch every
    // column filter of both tables to the filters stored for this tab, refilter
    // both tables, and give the editor's Position input the names of the shown rows.
    virtual void PositionGroupChanged(int tab, const QString &caption) { }

    // The colour picker, opened below `screenRect` with `current` selected: the
    // chosen colour, or nothing when the user cancels.
    virtual std::optional<TColor> PickColor(TColor current, const TRect &screenRect) { return std::nullopt; }

    // The new-entry dialog, modal: true when the user pressed OK (entry.table is
    // then the table chosen).
    virtual bool NewEntryDialog(TNewEntry &entry) { return false; }
    // The rows the clipboard holds that could be pasted.
    virtual int NumPasteableNodes() const { return 0; }
    // The chart's popup menu for the chart's point `chartPoint` (where a paste puts
    // its first row), opened at `screenPos`, with its actions enabled as given.
    virtual void TimeChartPopup(QPoint chartPoint, QPoint screenPos, const TChartPopupActions &actions) { }
    // `node` became the focused row of its table (and the table shows it).
    virtual void FocusNode(TNodeData &node) { }
    // These rows of `table` were moved: filter them again.
    virtual void RefilterNodes(TWhichTable table, const std::vector<TNodeData *> &nodes) { }
    // The table's first row was drawn on the chart: fit its columns to their contents.
    virtual void FitColumnsToContents(TWhichTable table) { }
    // The text a table shows in a cell of `node` (hints list them).
    virtual QString CellText(const TNodeData &node, int column) const
    {
        return column >= 0 && column < node.StringList.size() ? node.StringList[column] : QString();
    }
    // Whether overlaps exist, so the two commands that solve them can run.
    virtual void SolveOverlappingEnabled(bool enabled) { }

    // The user's program settings (view options: hide empty rows, automatic arrange).
    virtual const TProgramSettings &ProgramSettings() const
    {
        static const TProgramSettings defaults;
        return defaults;
    }
    // The user's view settings of the document (move into the past denied).
    virtual const TDocumentSettings &DocumentSettings() const
    {
        static const TDocumentSettings defaults;
        return defaults;
    }
    // A print is being made: the chart leaves the window's scroll bars alone.
    virtual bool IsPrinting() const { return false; }
};
