#pragma once

#include "components/gui/ColumnTypes.h"
#include "components/gui/HeaderTypes.h"

#include <QPoint>
#include <QString>
#include <Qt>

class TGridNode;

// The parts of a row (or the places outside the rows) a point can lie on.
enum THitPosition : uint8_t {
    hiAbove,
    hiBelow,
    hiNowhere,
    hiOnItem,
    hiOnItemButton,
    hiOnItemButtonExact,
    hiOnItemCheckbox,
    hiOnItemIndent,
    hiOnItemLabel,
    hiOnItemLeft,
    hiOnItemRight,
    hiOnNormalIcon,
    hiOnStateIcon,
    hiToLeft,
    hiToRight,
    hiUpperSplitter,
    hiLowerSplitter
};
using THitPositions = TSmallSet<THitPosition, uint32_t>;

// What lies under a point of the tree's client area: the node, the part of its
// row and the column (NoColumn without columns, InvalidColumn right of them).
struct THitInfo {
    TGridNode *HitNode = nullptr;
    THitPositions HitPositions;
    TColumnIndex HitColumn = NoColumn;
};

// A mouse button event as the tree's handlers take it: the point in client
// coordinates, the button, and the keys and buttons held.
struct TGTMouseMessage {
    QPoint Pos;
    Qt::MouseButton Button = Qt::NoButton;
    TShiftState Keys;
};

// The questions outside tools may ask about the tree's items, answered by
// TGridTreeView::TVMGetNextItem.
enum TTVGetNextItem {
    tvgnRoot,
    tvgnNext,
    tvgnPrevious,
    tvgnParent,
    tvgnChild,
    tvgnFirstVisible,
    tvgnNextVisible,
    tvgnPreviousVisible,
    tvgnDropHighlight,
    tvgnCaret,
    tvgnLastVisible
};

// What TGridTreeView::TVMGetItem fills in: Mask says which fields are asked.
// The text goes into the caller's buffer of TextMax characters, cut to
// TextMax - 1 and terminated by a 0.
struct TTVItem {
    enum TMask : unsigned {
        tvifText = 0x1,
        tvifImage = 0x2,
        tvifState = 0x8,
        tvifSelectedImage = 0x20,
        tvifChildren = 0x40
    };
    // The state bits reported (within StateMask).
    enum TState : unsigned {
        tvisFocused = 0x1,
        tvisSelected = 0x2,
        tvisCut = 0x4,
        tvisDropHighlighted = 0x8,
        tvisExpanded = 0x20
    };
    static constexpr unsigned AllStates = 0xFF2F;

    unsigned Mask = 0;
    TGridNode *Node = nullptr;
    unsigned State = 0;
    unsigned StateMask = 0;
    char16_t *Text = nullptr;
    int TextMax = 0;
    int Image = -1;
    int SelectedImage = -1;
    int Children = 0;
};
