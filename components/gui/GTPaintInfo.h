#pragma once

#include "components/gui/ColumnTypes.h"
#include "platform/gui/Rect.h"

#include <QPoint>
#include <array>
#include <cstdint>
#include <vector>

class QPainter;
class TImageList;

// What one call of the tree's painting asks for; narrowed per cell.
enum TGTInternalPaintOption : uint8_t {
    poBackground, // the background picture
    poColumnColor, // cells filled with their column's colour
    poDrawFocusRect,
    poDrawSelection,
    poDrawDropMark,
    poGridLines,
    poMainOnly, // only the main column
    poSelectedOnly // only selected rows and rows below a selected node
};
using TGTInternalPaintOptions = TSmallSet<TGTInternalPaintOption, uint8_t>;
// What the window paints itself with.
inline constexpr TGTInternalPaintOptions WindowPaintOptions { poBackground, poColumnColor, poDrawFocusRect,
    poDrawSelection, poDrawDropMark, poGridLines };

enum TGTImageKind { ikNormal, ikSelected, ikState, ikOverlay };
enum TGTImageInfoIndex { iiNormal, iiState, iiCheck, iiOverlay };

// One image of a cell: its index in Images (-1: none) and where it goes.
struct TGTImageInfo {
    int Index = -1;
    int XPos = 0;
    int YPos = 0;
    bool Ghosted = false;
    const TImageList *Images = nullptr;
};

// One cell as it is painted, refilled per cell. Rectangles are in row-buffer
// coordinates: x as in the whole tree (unscrolled), y from the row's top.
struct TGTPaintInfo {
    QPainter *Canvas = nullptr;
    TGTInternalPaintOptions PaintOptions;
    TGridNode *Node = nullptr;
    TColumnIndex Column = NoColumn;
    TColumnPosition Position = 0;
    TRect CellRect;
    TRect ContentRect;
    int NodeWidth = 0;
    TAlignment Alignment = taLeftJustify;
    TAlignment CaptionAlignment = taLeftJustify;
    TBiDiMode BidiMode = bdLeftToRight;
    QPoint BrushOrigin;
    std::array<TGTImageInfo, 4> ImageInfo;
};

// What the tree does to erase a row.
enum TItemEraseAction { eaColor, eaDefault, eaNone };
// Why a cell is asked before painting: to paint it, or only for the margins
// its content keeps (then nothing may reach the screen).
enum TGTCellPaintMode { cpmPaint, cpmGetContentMargin };
enum TGTCellContentMarginType { ccmtAllSides, ccmtTopLeftOnly, ccmtBottomRightOnly };
// Where a drag would drop relative to the node under the mouse.
enum TDropMode { dmNowhere, dmAbove, dmOnNode, dmBelow };
// How a band selection is shown.
enum TGTDrawSelectionMode { smDottedRectangle, smBlendedRectangle };

// The connecting lines of one indentation level of a row.
enum TGTLineType {
    ltNone,
    ltBottomRight,
    ltTopDown,
    ltTopDownRight,
    ltRight,
    ltTopRight,
    ltLeft,
    ltLeftBottom
};
// One entry per indentation level, the top level first.
using TLineImage = std::vector<TGTLineType>;
