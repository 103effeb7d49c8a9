#pragma once

#include "components/gui/ColumnTypes.h"
#include "platform/gui/Rect.h"

#include <QPoint>
#include <Qt>

class QMouseEvent;
class QPainter;
class TGridTreeColumn;

// Modifier keys and mouse buttons held during an input event, and whether it
// was the second click of a double click.
enum TShiftStateItem : uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSmallSet<TShiftStateItem, uint8_t>;
// The state of a mouse event (its buttons as held after the event).
TShiftState ShiftStateOf(const QMouseEvent &Event);
// The modifiers and buttons held now.
TShiftState CurrentShiftState();
// These modifiers and buttons.
TShiftState ShiftStateOf(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons);

enum TGTHeaderStyle { hsThickButtons, hsFlatButtons, hsPlates, hsXPStyle };
enum TGTDropMarkMode { dmmNone, dmmLeft, dmmRight };
// Which columns auto-fit measures from the rows on screen only.
enum TSmartAutoFitType { smaAllColumns, smaNoColumn, smaUseColumnOption };

enum TGTHeaderHitPosition : uint8_t { hhiNoWhere, hhiOnColumn, hhiOnIcon, hhiOnCheckbox };
using TGTHeaderHitPositions = TSmallSet<TGTHeaderHitPosition, uint8_t>;

// What a header click hit, in tree-window coordinates (the header's top-left
// corner is 0, 0).
struct TGTHeaderHitInfo {
    int X = 0;
    int Y = 0;
    Qt::MouseButton Button = Qt::NoButton;
    TShiftState Shift;
    TColumnIndex Column = NoColumn;
    TGTHeaderHitPositions HitPosition;
};

// The parts of a header cell an owner may draw itself.
enum THeaderPaintElement : uint8_t { hpeBackground, hpeDropMark, hpeHeaderGlyph, hpeSortGlyph, hpeText };
using THeaderPaintElements = TSmallSet<THeaderPaintElement, uint8_t>;

// One header cell (or, with no column, the background) as handed to an owner
// that draws parts of the header.
struct THeaderPaintInfo {
    QPainter *TargetCanvas = nullptr;
    TGridTreeColumn *Column = nullptr;
    TRect PaintRectangle;
    TRect TextRectangle;
    bool IsHoverIndex = false;
    bool IsDownIndex = false;
    bool IsEnabled = false;
    bool ShowHeaderGlyph = false;
    bool ShowSortGlyph = false;
    bool ShowRightBorder = false;
    TGTDropMarkMode DropMark = dmmNone;
    QPoint GlyphPos;
    QPoint SortGlyphPos;
};
