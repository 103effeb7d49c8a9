#include "dialogs/menus/ControlPainters.h"

#include "dialogs/menus/ControlKinds.h"
#include "dialogs/menus/ControlSubClass.h"
#include "dialogs/menus/FlatMenu.h"
#include "dialogs/menus/PaintCanvas.h"
#include "platform/gui/TextDraw.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>

namespace {

bool UsesBaseColor(const QWidget &control)
{
    return qobject_cast<const QLineEdit *>(&control) || qobject_cast<const QComboBox *>(&control)
        || qobject_cast<const QAbstractScrollArea *>(&control)
        || qobject_cast<const QAbstractSpinBox *>(&control);
}

// The face of a push or speed button: the parent's colour lightened, or the icon
// column's colour (hot: button face lightened).
TColor ButtonFace(const TFlatMenuColors &k, const TControlState &s, bool hot, bool parentFace)
{
    if (hot)
        return NewColor(parentFace ? s.P : clBtnFace, k.FDimParentColorSelect);
    return parentFace ? NewColor(s.P, k.FDimParentColor) : k.FFIconBackColor;
}

// The rounded face with its edge lines, shared by push and bitmap buttons.
TColor PaintButtonFrame(
    TFlatMenu &menu, TPaintCanvas &c, const TControlState &s, bool hot, bool parentFace, bool noBorder)
{
    const TFlatMenuColors &k = menu.Colors();
    const TColor face = ButtonFace(k, s, hot, parentFace);
    TColor border = hot || s.Focused ? NewColor(k.FFSelectBorderColor, 60) : ColorToRGB(clBtnShadow);
    if (noBorder)
        border = face;
    c.FillRect(s.R, s.P);
    c.SetBrush(face);
    c.SetPen(NewColor(border, 30));
    c.RoundRect(s.R, 4, 4);
    if (s.Enabled && !noBorder) {
        const int l = s.R.Left, t = s.R.Top, rt = s.R.Right, b = s.R.Bottom;
        c.SetPen(GetShadeColor(border, 50));
        if (s.SpacePressed || (s.LButtonPressed && hot))
            c.Polyline({ { l, b - 2 }, { l, t + 1 }, { l + 1, t }, { rt - 1, t } });
        else
            c.Polyline({ { rt - 1, t + 1 }, { rt - 1, b - 2 }, { rt - 2, b - 1 }, { l, b - 1 } });
    }
    return face;
}

QSize CaptionSize(QPainter &painter, const TButtonContent &content, bool rightToLeft)
{
    if (content.Caption.isEmpty())
        return { 0, 0 };
    painter.setFont(*content.Font);
    TRect calc = Rect(0, 0, 0x7FFF, 0x7FFF);
    DrawTextEx(painter, content.Caption, calc, DT_CALCRECT | (rightToLeft ? DT_RTLREADING : 0u));
    return { calc.Width(), calc.Height() };
}

void DrawCaption(TFlatMenu &menu, TPaintCanvas &c, const TControlState &s, const TButtonContent &content,
    const TRect &rect, TColor face, unsigned format, bool isDefault)
{
    // Soft copies of a default caption shade the face beneath them.
    c.Painter().setBackground(ToQColor(face));
    menu.DrawTheText(c, content.Caption, QString(), rect, false, s.Enabled, isDefault, false, s.RightToLeft,
        *content.Font, content.FontColor, format | (s.RightToLeft ? DT_RTLREADING : 0u));
}

} // namespace

TControlState ControlStateOf(const TControlSubClass &record, const QWidget &control)
{
    TControlState s;
    s.R = FromQRect(control.rect());
    s.Hot = record.MouseInControl();
    s.Focused = record.IsFocused();
    s.Enabled = control.isEnabled();
    s.RightToLeft = control.layoutDirection() == Qt::RightToLeft;
    s.LButtonPressed = record.LButtonPressed();
    s.SpacePressed = record.SpacePressed();
    s.HadBorder = record.HadBorder();
    const QWidget *parent = control.parentWidget();
    s.P = FromQColor(parent ? parent->palette().color(parent->backgroundRole())
                            : control.palette().color(QPalette::Window));
    s.K = FromQColor(
        control.palette().color(UsesBaseColor(control) ? QPalette::Base : control.backgroundRole()));
    s.Tag = GetTag(&control);
    return s;
}

TGlyphPlacement PlaceGlyph(
    TGlyphLayout layout, int width, int height, QSize glyph, QSize caption, int spacing, bool speedButton)
{
    const int gw = glyph.width(), gh = glyph.height(), tw = caption.width(), th = caption.height();
    const int s = spacing;
    TGlyphPlacement p;
    switch (layout) {
    case GlyphLeft:
        p.Glyph = QPoint((width - (s + gw + tw)) / 2, (height - gh) / 2 - (speedButton ? 1 : 0));
        p.Caption = QPoint(p.Glyph.x() + gw + s, (height - th) / 2);
        break;
    case GlyphRight:
        p.Glyph = QPoint((s + gw + tw + width) / 2 - gw, (height - gh) / 2);
        p.Caption = QPoint(p.Glyph.x() - s - tw, (height - th) / 2);
        break;
    case GlyphTop:
        p.Glyph = QPoint((width - gw) / 2, (height - (s + gh + th)) / 2);
        p.Caption = QPoint((width - tw) / 2, p.Glyph.y() + gh + s);
        break;
    case GlyphBottom:
        p.Glyph = QPoint((width - gw) / 2, (s + gh + th + height) / 2 - gh);
        p.Caption = QPoint((width - tw) / 2, p.Glyph.y() - s - th);
        break;
    }
    return p;
}

void PaintButton(TFlatMenu &menu, TPaintCanvas &canvas, const TControlState &s, const TButtonContent &content)
{
    const TColor face = PaintButtonFrame(menu, canvas, s, s.Hot, s.Tag == TagParentFace, false);
    const QSize text = CaptionSize(canvas.Painter(), content, s.RightToLeft);
    const TRect rect = Bounds(s.R.Left + (s.R.Width() - text.width()) / 2,
        s.R.Top + (s.R.Height() - text.height()) / 2, text.width(), text.height());
    DrawCaption(menu, canvas, s, content, rect, face, DT_CENTER | DT_VCENTER, content.Default);
}

void PaintBitButn(
    TFlatMenu &menu, TPaintCanvas &canvas, const TControlState &s, const TButtonContent &content)
{
    const bool hot = s.Hot || s.SpacePressed;
    const TColor face = PaintButtonFrame(
        menu, canvas, s, hot, (s.Tag & TagParentFace) == TagParentFace, (s.Tag & TagNoBorder) == TagNoBorder);
    const QSize text = CaptionSize(canvas.Painter(), content, s.RightToLeft);
    const QSize glyph = content.Glyph.isNull() ? QSize(0, 0) : content.Glyph.size();
    const int spacing = content.Caption.trimmed().isEmpty() ? 0 : content.Spacing;
    const TGlyphPlacement at
        = PlaceGlyph(content.Layout, s.R.Width(), s.R.Height(), glyph, text, spacing, false);
    if (!content.Glyph.isNull()) {
        menu.DrawIcon(canvas, content.Glyph,
            Bounds(s.R.Left + at.Glyph.x(), s.R.Top + at.Glyph.y(), glyph.width(), glyph.height()), s.Hot,
            s.Focused, s.Enabled, false, false, s.RightToLeft, false);
    }
    if ((s.Tag & TagSideCaption) == TagSideCaption) {
        DrawCaption(menu, canvas, s, content, InflateRect(s.R, -4, -2), face,
            (s.RightToLeft ? DT_RIGHT : DT_LEFT) | DT_VCENTER | DT_SINGLELINE, content.Default);
        return;
    }
    DrawCaption(menu, canvas, s, content,
        Bounds(s.R.Left + at.Caption.x(), s.R.Top + at.Caption.y(), text.width(), text.height()), face,
        DT_CENTER | DT_VCENTER, content.Default);
}

void PaintSpeedButton(TFlatMenu &menu, TPaintCanvas &canvas, TControlState s, const TButtonContent &content,
    bool down, bool flat, bool transparent, QPoint cursor)
{
    const TFlatMenuColors &k = menu.Colors();
    const int l = s.R.Left, t = s.R.Top, rt = s.R.Right, b = s.R.Bottom;
    if (flat && s.Hot)
        s.Hot = l <= cursor.x() && cursor.x() <= rt && t <= cursor.y() && cursor.y() <= b;
    const bool hot = s.Hot;
    TColor face, border;
    if (hot) {
        face = flat ? k.FFSelectColor : ButtonFace(k, s, true, s.Tag == TagParentFace);
        border = NewColor(k.FFSelectBorderColor, 60);
    } else {
        face = flat ? ColorToRGB(s.P) : ButtonFace(k, s, false, s.Tag == TagParentFace);
        border = ColorToRGB(clBtnShadow);
    }
    if (down) {
        face = hot ? k.FCheckedAreaSelectColor : k.FCheckedAreaColor;
        border = k.FFSelectBorderColor;
    }
    if (!s.Enabled)
        border = ColorToRGB(clBtnShadow);

    QPainter &painter = canvas.Painter();
    if (transparent && (down || hot)) {
        // A tint combined with what lies beneath.
        const TColor tint = !menu.Is16Bit() ? face : flat ? NewColor(k.FFSelectColor, 20) : NewColor(face, 5);
        painter.save();
        painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        painter.fillRect(ToQRect(s.R), ToQColor(tint));
        painter.restore();
    } else if (!transparent) {
        canvas.FillRect(s.R, face);
    }
    const bool resting = !down && !hot;
    if (!(transparent && flat && resting)) {
        canvas.SetPen(flat && !transparent && resting ? face : NewColor(border, 30));
        if (transparent)
            canvas.SetHollowBrush();
        else
            canvas.SetBrush(face);
        canvas.Rectangle(s.R);
    }
    if (s.Enabled) {
        const bool pressed = s.LButtonPressed || down;
        if (flat && pressed) {
            canvas.FrameRect(s.R, border);
            canvas.SetPen(GetShadeColor(border, 50));
            canvas.Polyline({ { l, b - 1 }, { l, t }, { rt, t } });
        } else if (flat && hot) {
            canvas.FrameRect(s.R, k.FFSelectBorderColor);
        } else if (!flat && pressed) {
            canvas.SetPen(GetShadeColor(border, 50));
            canvas.Polyline({ { l, b - 1 }, { l, t }, { rt, t } });
        } else if (!flat) {
            canvas.SetPen(GetShadeColor(border, 50));
            canvas.Polyline({ { rt - 1, t }, { rt - 1, b - 1 }, { l, b - 1 } });
        }
    }

    TGlyphLayout layout = content.Layout;
    if (s.RightToLeft && (layout == GlyphLeft || layout == GlyphRight))
        layout = layout == GlyphLeft ? GlyphRight : GlyphLeft;
    const QSize text = CaptionSize(painter, content, s.RightToLeft);
    const QSize glyph = content.Glyph.isNull() ? QSize(0, 0) : content.Glyph.size();
    const TGlyphPlacement at = PlaceGlyph(layout, s.R.Width(), s.R.Height(), glyph, text,
        content.Caption.isEmpty() ? 0 : content.Spacing, true);
    if (!content.Glyph.isNull()) {
        menu.DrawIcon(canvas, content.Glyph,
            Bounds(l + at.Glyph.x(), t + at.Glyph.y(), glyph.width(), glyph.height()), s.Hot, s.Focused,
            s.Enabled, down || s.LButtonPressed, false, s.RightToLeft, false);
    }
    if (!content.Caption.isEmpty()) {
        DrawCaption(menu, canvas, s, content,
            Bounds(l + at.Caption.x(), t + at.Caption.y(), text.width(), text.height()), face,
            DT_CENTER | DT_VCENTER, false);
    }
}

void PaintCombo(TFlatMenu &menu, TPaintCanvas &canvas, const TControlState &s, bool droppedDown)
{
    const TFlatMenuColors &k = menu.Colors();
    TColor arrow = s.Enabled ? clBlack : clWhite;
    TColor border, button;
    if (s.Hot) {
        border = k.FFSelectBorderColor;
        button = k.FFSelectColor;
    } else {
        border = ColorToRGB(s.K);
        button = s.Tag == TagParentFace ? NewColor(s.P, k.FDimParentColor) : ColorToRGB(clBtnFace);
        if (s.Focused) {
            border = NewColor(k.FFSelectBorderColor, 60);
            button = k.FCheckedAreaColor;
        }
    }
    TRect r = s.R;
    canvas.FrameRect(r, s.P);
    r = InflateRect(r, -1, -1);
    canvas.SetPen(s.P);
    canvas.MoveTo(r.Left, r.Top);
    canvas.LineTo(r.Right, r.Top);
    r.Top += 1;
    r.Bottom -= 1;
    if (s.Hot || s.Focused)
        r = InflateRect(r, 1, 1);
    canvas.FrameRect(r, s.K);
    r.Bottom += 1;
    canvas.FrameRect(r, border);
    if (droppedDown) {
        border = k.FFSelectBorderColor;
        arrow = clWhite;
        button = k.FCheckedAreaSelectColor;
    }
    r = InflateRect(r, -1, -1);
    const int width = VScrollBarWidth + 1;
    TRect box = s.RightToLeft ? Rect(r.Left, r.Top, r.Left + width, r.Bottom)
                              : Rect(r.Right - width, r.Top, r.Right, r.Bottom);
    if (s.Hot || s.Focused) {
        if (s.RightToLeft)
            box.Right += 2;
        else
            box.Left -= 1;
    }
    canvas.FillRect(box, button);
    const TRect strip = s.RightToLeft ? Rect(box.Right - 5, box.Top, box.Right, box.Bottom)
                                      : Rect(box.Left, box.Top, box.Left + 5, box.Bottom);
    canvas.FillRect(strip, s.K);
    canvas.SetPen(border);
    const int lineX = s.RightToLeft ? strip.Right - 5 : strip.Left + 5;
    canvas.MoveTo(lineX, strip.Top);
    canvas.LineTo(lineX, strip.Bottom);
    // The arrow is placed from the client rectangle, so that it stays where it is
    // when the frame grows for the hot look.
    const int x0 = s.RightToLeft ? s.R.Left + 5 : s.R.Right - 10;
    const int y0 = s.R.Top + 10;
    canvas.SetPen(arrow);
    canvas.Polyline({ { x0, y0 }, { x0 + 5, y0 } });
    canvas.Polyline({ { x0 + 1, y0 + 1 }, { x0 + 4, y0 + 1 } });
    canvas.Polyline({ { x0 + 2, y0 + 2 }, { x0 + 3, y0 + 2 } });
}

void PaintEdit(TFlatMenu &menu, TPaintCanvas &canvas, const TControlState &s)
{
    const TFlatMenuColors &k = menu.Colors();
    TColor border = s.Hot || s.Focused ? NewColor(k.FFSelectBorderColor, 60) : GetShadeColor(s.P, 60);
    if (!s.HadBorder)
        border = s.Hot && !s.Focused ? NewColor(MergColor({ s.K, s.P }), 40) : ColorToRGB(s.K);
    canvas.FrameRect(s.R, border);
}

namespace {

// The box of a check box or radio button: `height` high, centred in R shrunk by
// `inset` at top and bottom, at the side the reading order puts it.
TRect IndicatorBox(const TControlState &s, int inset, int height)
{
    TRect box = s.R;
    box.Top += inset;
    box.Bottom -= inset;
    box.Top += (box.Height() - height) / 2;
    box.Bottom = box.Top + height;
    if (s.RightToLeft)
        box.Left = box.Right - (VScrollBarWidth - 1);
    else
        box.Right = box.Left + VScrollBarWidth - 1;
    return box;
}

} // namespace

void PaintCheckBox(TFlatMenu &menu, TPaintCanvas &canvas, const TControlState &s, bool checked, bool grayed)
{
    const TFlatMenuColors &k = menu.Colors();
    const bool lit = s.Hot || s.Focused;
    const bool down = s.SpacePressed || s.LButtonPressed;
    TColor fill = lit ? k.FFSelectColor : ColorToRGB(clWindow);
    const TColor frame = lit ? k.FFSelectBorderColor : ColorToRGB(clBtnShadow);
    if (down)
        fill = k.FCheckedAreaSelectColor;
    if (grayed)
        fill = clSilver;
    TRect box = IndicatorBox(s, 3, VScrollBarWidth);
    canvas.FillRect(box, s.K);
    box = InflateRect(box, -2, -2);
    canvas.SetBrush(fill);
    canvas.SetPen(frame);
    canvas.Rectangle(box);
    if (!checked && !grayed)
        return;
    TColor mark = down ? ColorToRGB(clWindow) : grayed ? clGray : ColorToRGB(clHighlight);
    if (!s.Enabled)
        mark = k.FFDisabledColor;
    canvas.SetPen(mark);
    DrawCheckMark(canvas, box.Left, box.Bottom);
}

void PaintRadio(TFlatMenu &menu, TPaintCanvas &canvas, const TControlState &s, bool checked)
{
    const TFlatMenuColors &k = menu.Colors();
    TRect box = IndicatorBox(s, 4, VScrollBarWidth - 1);
    canvas.FillRect(box, s.K);
    box = InflateRect(box, -2, -2);
    canvas.SetBrush(s.Hot || s.Focused ? k.FFSelectColor : ColorToRGB(clWindow));
    canvas.SetPen(s.Hot ? k.FFSelectBorderColor : ColorToRGB(clBtnShadow));
    canvas.Ellipse(box);
    if (!checked)
        return;
    const TColor dot = s.Enabled ? ColorToRGB(clHighlight) : k.FFDisabledColor;
    canvas.SetBrush(dot);
    canvas.SetPen(dot);
    canvas.Ellipse(InflateRect(box, -2, -2));
}

void PaintUpDownButton(TFlatMenu &menu, TPaintCanvas &canvas, const TControlState &s, int cursorY)
{
    const int h = s.R.Height() / 2;
    const bool hot = s.Enabled && s.Hot;
    DrawUpDownButton(
        menu, canvas, s, Rect(s.R.Left, s.R.Top, s.R.Right, s.R.Top + h), ArrowUp, hot && cursorY < h);
    DrawUpDownButton(menu, canvas, s, Rect(s.R.Left, s.R.Bottom - h, s.R.Right, s.R.Bottom), ArrowDown,
        hot && cursorY >= h);
}

void DrawUpDownButton(TFlatMenu &menu, TPaintCanvas &canvas, const TControlState &s, const TRect &half,
    TArrowDirection direction, bool hot)
{
    const TFlatMenuColors &k = menu.Colors();
    TColor arrow = s.Enabled ? clBlack : clWhite;
    TColor face, border;
    if (hot) {
        border = k.FFSelectBorderColor;
        face = NewColor(k.FFSelectColor, 60);
        if (s.LButtonPressed) {
            face = k.FCheckedAreaSelectColor;
            arrow = clWhite;
        }
    } else {
        face = NewColor(s.Tag == TagParentFace ? s.P : k.FFSelectColor, k.FDimParentColor);
        border = NewColor(s.P, 80);
    }
    canvas.SetBrush(face);
    canvas.SetPen(border);
    canvas.Rectangle(half);
    canvas.SetPen(arrow);
    DrawArrow(canvas, half.Left + half.Width() / 2, half.Top + half.Height() / 2 - 2, direction);
}

void DrawArrow(TPaintCanvas &canvas, int x, int y, TArrowDirection direction)
{
    const auto stroke = [&canvas](int x0, int y0, int x1, int y1) {
        canvas.Polyline({ { x0, y0 }, { x1, y1 } });
    };
    if (direction == ArrowUp) {
        stroke(x, y, x, y - 1);
        stroke(x + 1, y + 1, x + 4, y + 4);
        stroke(x, y + 1, x + 3, y + 4);
        stroke(x, y + 2, x + 2, y + 4);
        stroke(x - 1, y + 1, x - 4, y + 4);
        stroke(x, y + 2, x - 3, y + 4);
        stroke(x, y + 1, x - 2, y + 4);
    } else if (direction == ArrowDown) {
        stroke(x, y + 3, x, y + 4);
        stroke(x + 1, y + 2, x + 4, y - 1);
        stroke(x, y + 2, x + 3, y - 1);
        stroke(x, y + 1, x + 2, y);
        stroke(x - 1, y + 2, x - 4, y - 1);
        stroke(x, y + 2, x - 3, y - 1);
        stroke(x, y + 1, x - 2, y);
    }
}

void DrawCheckMark(TPaintCanvas &canvas, int x, int y)
{
    for (int k = 5; k <= 7; ++k)
        canvas.Polyline({ { x + 2, y - k }, { x + 4, y - k + 2 }, { x + 9, y - k - 3 } });
}

void Frame3D(TPaintCanvas &canvas, TRect &rect, TColor topLeft, TColor bottomRight, int width)
{
    for (int i = 0; i < width && !rect.IsEmpty(); ++i) {
        QPainter &p = canvas.Painter();
        const QColor top = ToQColor(topLeft), bottom = ToQColor(bottomRight);
        p.fillRect(rect.Left, rect.Top, rect.Width() - 1, 1, top);
        p.fillRect(rect.Left, rect.Top, 1, rect.Height() - 1, top);
        p.fillRect(rect.Right - 1, rect.Top, 1, rect.Height(), bottom);
        p.fillRect(rect.Left, rect.Bottom - 1, rect.Width(), 1, bottom);
        rect = InflateRect(rect, -1, -1);
    }
}

void PaintGroupBox(TPaintCanvas &canvas, const TControlState &s, const QString &caption, const QFont &font,
    TColor fontColor, bool ctl3D)
{
    QPainter &painter = canvas.Painter();
    painter.setFont(font);
    const QFontMetrics metrics(font, painter.device());
    const int th = metrics.height();
    const int tw = metrics.horizontalAdvance(caption.isEmpty() ? QStringLiteral(" ") : caption);
    const TColor shadow = GetShadeColor(s.K, 60);
    const TColor light = NewColor(s.K, 60);
    const int l = s.R.Left, t = s.R.Top, rt = s.R.Right;

    // The frame below the caption.
    TRect r = InflateRect(s.R, -1, -1);
    r.Top += th - 1;
    canvas.FrameRect(r, s.K);
    r = s.R;
    r.Top += th / 2 - 1;
    canvas.SetPen(s.K);
    canvas.MoveTo(l + 1, r.Top);
    canvas.LineTo(l + 1, r.Bottom);
    Frame3D(canvas, r, ctl3D ? light : shadow, shadow, 1);
    canvas.FillRect(Rect(l, t, rt, t + th / 2 + 1), s.P);

    const TRect text
        = s.RightToLeft ? Rect(rt - 9 - tw, t, rt - 9, t + th) : Rect(l + 9, t, l + 9 + tw, t + th);
    canvas.FillRect(Bounds(text.Left, t + th / 2, text.Width(), th / 2 + 1), s.K);
    canvas.SetPen(s.K);
    canvas.MoveTo(rt - 2, t + th / 2);
    canvas.LineTo(rt - 2, text.Bottom);
    painter.setPen(ToQColor(fontColor));
    painter.setBackgroundMode(Qt::TransparentMode);
    DrawTextEx(painter, caption, text, DT_SINGLELINE | DT_NOCLIP | (s.RightToLeft ? DT_RTLREADING : 0u));

    canvas.SetPen(ctl3D ? light : shadow);
    const int y = t + th / 2 + 1;
    canvas.MoveTo(l, y);
    canvas.LineTo(text.Left, y);
    canvas.MoveTo(text.Right, y);
    canvas.LineTo(rt - 1, y);
}

void PaintPanel(TPaintCanvas &canvas, const TControlState &s, TPanelBevel outer, int bevelWidth)
{
    if (outer == BevelNone)
        return;
    const TColor shadow = GetShadeColor(s.K, 60);
    const TColor light = NewColor(s.K, 60);
    TRect r = s.R;
    if (outer == BevelLowered)
        Frame3D(canvas, r, shadow, light, bevelWidth);
    else
        Frame3D(canvas, r, light, shadow, bevelWidth);
}

void PaintNCWinControl(TFlatMenu &menu, TPaintCanvas &canvas, const TControlState &s)
{
    menu.SetGlobalColor();
    const TFlatMenuColors &k = menu.Colors();
    TColor border;
    if (s.Hot || s.Focused)
        border = NewColor(k.FFSelectBorderColor, s.HadBorder ? 60 : 80);
    else
        border = s.HadBorder ? GetShadeColor(s.P, 60) : ColorToRGB(s.P);
    canvas.FrameRect(s.R, border);
}

void PaintProgressBar(TFlatMenu &menu, TPaintCanvas &canvas, const TControlState &s)
{
    canvas.FrameRect(s.R, s.Hot ? menu.Colors().FFSelectBorderColor : GetShadeColor(s.P, 60));
}
