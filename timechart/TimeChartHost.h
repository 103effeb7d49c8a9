#pragma once

#include "document/DocumentTypes.h"
#include "document/program/Settings.h"
#include "platform/gui/Color.h"
#include "platform/gui/Rect.h"

#include <QString>
#include <optional>

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

    // The user's program settings (view options: hide empty rows, automatic arrange).
    virtual const TProgramSettings &ProgramSettings() const
    {
        static const TProgramSettings defaults;
        return defaults;
    }
    // A print is being made: the chart leaves the window's scroll bars alone.
    virtual bool IsPrinting() const { return false; }
};
