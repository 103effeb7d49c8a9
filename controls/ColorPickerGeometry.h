#pragma once

#include "platform/gui/Color.h"
#include "platform/gui/Rect.h"

#include <QPoint>
#include <QPolygon>
#include <QSize>
#include <array>
#include <optional>
#include <vector>

// One hexagon of a comb: its centre (relative to the colour comb's centre, or to the
// top-left corner of the black-and-white comb's rectangle) and its colour.
struct TCombEntry {
    QPoint Position;
    TColor Color = 0;
};

struct TFloatPoint {
    double X = 0;
    double Y = 0;
};

// Channels from 0 to 1.
struct TRGB {
    float Red = 1;
    float Green = 1;
    float Blue = 1;
};

struct TNamedColor {
    const char *Name;
    TColor Color;
};

enum class TPickerKey { Left, Right, Up, Down };

// Everything of the colour picker that needs no window: the table of colours, the
// layout of cells, captions and mix area, the two combs, hit tests, the keyboard
// cycle and the search for a colour. Numbers are pixels at 96 dpi.
//
// Cell indices: 0 to 39 the named colours, 40 to 64 the system colours, -1 none,
// -2 the mix caption (and the mix area it opens), -3 the default-text caption.
class TColorPickerGeometry {
public:
    static constexpr int NoCell = -1;
    static constexpr int CustomCell = -2;
    static constexpr int DefaultCell = -3;
    static constexpr int DefaultColorCount = 40;
    static constexpr int SystemColorCount = 25;

    // The 40 named colours in grid order, then the 25 system colours (values that
    // refer to the palette, resolved when painted).
    static const std::array<TNamedColor, DefaultColorCount + SystemColorCount> &Colors();

    TColorPickerGeometry();

    // Lays out the window for the given options. A caption is shown when its text
    // extent is given (the size of the text in the picker's font).
    void AdjustWindow(bool showSysColors, std::optional<QSize> defaultText, std::optional<QSize> customText);
    // Rebuilds both combs from the radius, the comb size and the centre colour.
    void CalculateCombLayout();
    // The brightness of the colour comb's centre (0 black to 1 white); the colour comb
    // follows it.
    void SetCenterIntensity(double intensity);
    double CenterIntensity() const { return FCenterIntensity; }

    int GetRow(int index) const;
    int GetColumn(int index) const;
    // The rectangle of a cell or caption; false (and `r` untouched) for anything else.
    bool GetCellRect(int index, TRect &r) const;
    // The cell or caption whose rectangle holds `p`, else -1.
    int SelectionFromPoint(QPoint p) const;
    // The entry of a comb under a point of the popup, else -1.
    int FindColorArea(int x, int y) const;
    int FindBWArea(int x, int y) const;
    static bool PtInComb(const TCombEntry &entry, QPoint p, int radius);

    // The hovered cell that `index` stands for: -1 for a cell that is not shown.
    int HoverIndexFor(int index) const;
    // Where an arrow key moves from `index` (around the grid and through the captions).
    int MoveHover(int index, TPickerKey key) const;
    int LastCell() const { return CellCount() - 1; }
    int CellCount() const;
    TColor CellColor(int index) const { return Colors()[std::size_t(index)].Color; }
    // The colour of a comb choice: entry customIndex - 1 of the colour comb when
    // positive, entry -customIndex - 1 of the black-and-white comb when negative.
    std::optional<TColor> CustomColor(int customIndex) const;

    // Where a colour is found: the cell (or -2 for the mix area, -3 for the default
    // text), and for a comb entry the choice that picks it.
    struct TMatch {
        int Index = NoCell;
        std::optional<int> CustomIndex;
    };
    TMatch FindColor(TColor color) const;

    // The corners of a comb hexagon of `size` around (x, y).
    QPolygon CombPolygon(int x, int y, int size) const;
    // The grey of slider line j (0 at the top) and the marker's y at an intensity.
    int SliderGrey(int j) const;
    int SliderLineCount() const { return FSliderRect.Height(); }
    int MarkerY(double intensity) const;
    // The intensity a point at height y on the slider stands for.
    double IntensityAt(int y) const;

    // The popup's height with or without the mix area.
    int PopupHeight(bool mixShown) const;
    // Where a popup of `size` goes next to `dest` on `screen` (all in screen pixels).
    static TRect PopupPlacement(const TRect &dest, QSize size, const TRect &screen);

    int Margin() const { return FMargin; }
    int Spacing() const { return FSpacing; }
    int BoxSize() const { return FBoxSize; }
    int RowCount() const { return FRowCount; }
    int Radius() const { return FRadius; }
    int CombSize() const { return FCombSize; }
    bool ShowSysColors() const { return FShowSysColors; }
    bool HasDefaultText() const { return FHasDefaultText; }
    bool HasCustomText() const { return FHasCustomText; }
    const TRect &WindowRect() const { return FWindowRect; }
    const TRect &CustomTextRect() const { return FCustomTextRect; }
    const TRect &DefaultTextRect() const { return FDefaultTextRect; }
    const TRect &ColorCombRect() const { return FColorCombRect; }
    const TRect &BWCombRect() const { return FBWCombRect; }
    const TRect &SliderRect() const { return FSliderRect; }
    const TRect &CustomColorRect() const { return FCustomColorRect; }
    // The strip of the popup the mix area covers (below the captions).
    TRect MixAreaRect() const;
    // The y of the etched line between the named and the system colours.
    int SystemSeparatorY() const;
    const std::vector<TCombEntry> &ColorCombs() const { return FColorCombs; }
    const std::vector<TCombEntry> &BWCombs() const { return FBWCombs; }
    QPoint ColorCombCenter() const;

private:
    int CellTop(int row) const;
    int LeaveBackward() const;
    int LeaveForward() const;

    int FMargin = 2;
    int FSpacing = 8;
    int FColumnCount = 8;
    int FRowCount = 5;
    int FSysRowCount = 0;
    int FBoxSize = 18;
    TRect FWindowRect;
    TRect FCustomTextRect;
    TRect FDefaultTextRect;
    TRect FColorCombRect;
    TRect FBWCombRect;
    TRect FSliderRect;
    TRect FCustomColorRect;
    bool FShowSysColors = false;
    bool FHasDefaultText = false;
    bool FHasCustomText = false;
    int FCombSize = 11; // set by the layout from the radius
    int FLevels = 7;
    std::vector<TCombEntry> FBWCombs;
    std::vector<TCombEntry> FColorCombs;
    std::array<TFloatPoint, 6> FCombCorners;
    TRGB FCenterColor;
    double FCenterIntensity = 1.0;
    int FRadius = 66; // set by the layout from the cell size
};
