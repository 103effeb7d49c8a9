#pragma once

#include "platform/gui/Color.h"
#include "platform/gui/Rect.h"

#include <QImage>
#include <QString>

class QFont;
class QWidget;
class TControlSubClass;
class TFlatMenu;
class TPaintCanvas;

// The painters that give taken-over standard controls the flat look, in the
// colours of a TFlatMenu. Each paints into a canvas over the control's rectangle.

// The vertical scroll-bar width the painters size boxes and buttons by (that of a
// 96-dpi screen).
inline constexpr int VScrollBarWidth = 17;

// What a painter knows of its control.
struct TControlState {
    TRect R; // the control's client rectangle
    bool Hot = false; // mouse over the control, or focus
    bool Focused = false;
    bool Enabled = true;
    bool RightToLeft = false;
    bool LButtonPressed = false;
    bool SpacePressed = false;
    bool HadBorder = true; // the control had a border of its own when taken over
    TColor P = clBtnFace; // the parent's colour
    TColor K = clWindow; // the control's own colour
    int Tag = 0;
};
TControlState ControlStateOf(const TControlSubClass &record, const QWidget &control);

enum TGlyphLayout { GlyphLeft, GlyphRight, GlyphTop, GlyphBottom };
struct TButtonContent {
    QString Caption;
    QImage Glyph; // null without glyph
    TGlyphLayout Layout = GlyphLeft;
    int Spacing = 4;
    bool Default = false;
    const QFont *Font = nullptr;
    TColor FontColor = clBtnText;
};
struct TGlyphPlacement {
    QPoint Glyph;
    QPoint Caption;
};
// Where glyph and caption go in a button of `width` x `height`.
TGlyphPlacement PlaceGlyph(
    TGlyphLayout layout, int width, int height, QSize glyph, QSize caption, int spacing, bool speedButton);

void PaintButton(
    TFlatMenu &menu, TPaintCanvas &canvas, const TControlState &s, const TButtonContent &content);
void PaintBitButn(
    TFlatMenu &menu, TPaintCanvas &canvas, const TControlState &s, const TButtonContent &content);
// `cursor` is the mouse position in the button's coordinates.
void PaintSpeedButton(TFlatMenu &menu, TPaintCanvas &canvas, TControlState s, const TButtonContent &content,
    bool down, bool flat, bool transparent, QPoint cursor);
void PaintCombo(TFlatMenu &menu, TPaintCanvas &canvas, const TControlState &s, bool droppedDown);
void PaintEdit(TFlatMenu &menu, TPaintCanvas &canvas, const TControlState &s);
void PaintCheckBox(TFlatMenu &menu, TPaintCanvas &canvas, const TControlState &s, bool checked, bool grayed);
void PaintRadio(TFlatMenu &menu, TPaintCanvas &canvas, const TControlState &s, bool checked);
// s.R is the up-down's rectangle; `cursorY` the mouse's y relative to its top.
void PaintUpDownButton(TFlatMenu &menu, TPaintCanvas &canvas, const TControlState &s, int cursorY);
enum TArrowDirection { ArrowUp, ArrowDown, ArrowLeft, ArrowRight };
void DrawUpDownButton(TFlatMenu &menu, TPaintCanvas &canvas, const TControlState &s, const TRect &half,
    TArrowDirection direction, bool hot);
void PaintGroupBox(TPaintCanvas &canvas, const TControlState &s, const QString &caption, const QFont &font,
    TColor fontColor, bool ctl3D);
enum TPanelBevel { BevelNone, BevelLowered, BevelRaised };
void PaintPanel(TPaintCanvas &canvas, const TControlState &s, TPanelBevel outer, int bevelWidth);
void PaintNCWinControl(TFlatMenu &menu, TPaintCanvas &canvas, const TControlState &s);
void PaintProgressBar(TFlatMenu &menu, TPaintCanvas &canvas, const TControlState &s);

// The up-down arrows (tip at x, y for up) in the pen colour; nothing for left and right.
void DrawArrow(TPaintCanvas &canvas, int x, int y, TArrowDirection direction);
// The check box's mark: three strokes from the box's left edge and bottom.
void DrawCheckMark(TPaintCanvas &canvas, int x, int y);
// `width` rings around `rect`, top and left in one colour, bottom and right in the
// other; `rect` shrinks by `width`.
void Frame3D(TPaintCanvas &canvas, TRect &rect, TColor topLeft, TColor bottomRight, int width);
