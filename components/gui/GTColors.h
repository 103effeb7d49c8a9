#pragma once

#include "platform/gui/Color.h"

#include <QColor>
#include <array>

class QPalette;
class TGridTreeView;

// A colour value as the tree paints it: a system colour takes the widget
// palette's role for it (highlight, button face, button shadow, window text,
// ...), other values are converted as they are.
QColor PaletteColor(const QPalette &Palette, TColor Color);

// The tree's own colours, by index, defaulting to system colours.
class TGTColors {
public:
    enum TIndex {
        DisabledColor,
        DropMarkColor,
        DropTargetColor,
        FocusedSelectionColor,
        GridLineColor,
        TreeLineColor,
        UnfocusedSelectionColor,
        BorderColor,
        HotColor,
        FocusedSelectionBorderColor,
        UnfocusedSelectionBorderColor,
        DropTargetBorderColor,
        SelectionRectangleBlendColor,
        SelectionRectangleBorderColor,
        HeaderHotColor,
        ColorCount
    };

    explicit TGTColors(TGridTreeView &Owner);

    TColor Color(TIndex Index) const { return FColors[Index]; }
    // Repaints what the colour is used for (tree lines, the frame, the tree).
    void SetColor(TIndex Index, TColor Value);
    // The colour resolved through the tree's palette, ready to paint.
    QColor QtColor(TIndex Index) const;
    // Every colour of Source, with the side effects of the changed ones.
    void Assign(const TGTColors &Source);

private:
    TGridTreeView &FOwner;
    std::array<TColor, ColorCount> FColors;
};
