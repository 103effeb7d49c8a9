// Painting of menu items, the menu bar's entries and the menu window's border.
#include "dialogs/menus/FlatMenu.h"
#include "dialogs/menus/PaintCanvas.h"
#include "platform/gui/TextDraw.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

namespace {

TRect IconColumn(const TRect &r, int iconWidth, bool rightToLeft)
{
    return rightToLeft ? Rect(r.Right - iconWidth, r.Top, r.Right, r.Bottom)
                       : Rect(r.Left, r.Top, r.Left + iconWidth, r.Bottom);
}

} // namespace

void TFlatMenu::DrawItem(QPainter &canvas, const TMenuItemInfo &item, const TRect &rect, bool selected)
{
    if (!FActive)
        return;
    // A failed paint leaves the menu as it is.
    try {
        MenueDrawItem(canvas, item, rect, selected);
    } catch (...) { }
}

void TFlatMenu::PaintItemBackground(TPaintCanvas &canvas, const TRect &r, int bitmapWidth, bool rightToLeft)
{
    const TFlatMenuColors &k = Colors();
    if (FGradient && FIs16Bit) {
        // The strip left of the item is not part of the gradient.
        canvas.FillRect(Rect(0, r.Top, r.Left, r.Bottom), k.FFColor);
        DrawGradient(canvas, Rect(r.Left, r.Top, r.Right + 2, r.Bottom), rightToLeft);
        return;
    }
    canvas.FillRect(Rect(0, r.Top, bitmapWidth, r.Bottom), k.FFColor);
    canvas.FillRect(IconColumn(r, FIconWidth, rightToLeft), k.FFIconBackColor);
}

void TFlatMenu::MenueDrawItem(QPainter &canvas, const TMenuItemInfo &item, const TRect &rect, bool selected)
{
    const int w = rect.Width(), h = rect.Height();
    if (w <= 0 || h <= 0)
        return;
    const bool top = item.TopLevel;
    const bool rtl = item.RightToLeft;
    // A drop-down item is composed 4 pixels wider to the left; a bar entry is not.
    TRect r = top ? Rect(0, 0, w, h - 1) : Rect(4, 0, w + 4, h);
    const QPoint destination = top ? QPoint(rect.Left, rect.Top) : QPoint(rect.Left - 4, rect.Top);
    const QSize size(top ? w : w + 4, h);
    if (FItemBitmap.width() < size.width() || FItemBitmap.height() < size.height()) {
        FItemBitmap = QImage(size.expandedTo(FItemBitmap.size()), QImage::Format_ARGB32_Premultiplied);
        FItemBitmap.setDotsPerMeterX(3780);
        FItemBitmap.setDotsPerMeterY(3780);
    }
    const TFlatMenuColors &k = Colors();
    {
        QPainter painter(&FItemBitmap);
        painter.setClipRect(QRect(QPoint(0, 0), size));
        painter.setFont(FFont);
        TPaintCanvas c(painter);
        r.Bottom += 1;
        const QString text = QLatin1Char(' ') + item.Caption;
        const QImage &image = item.Image;
        const int imageWidth = image.isNull() ? 0 : image.width();
        const bool hasImage = imageWidth > 0;

        const TRect iconRect = IconColumn(r, FIconWidth, rtl);
        TRect checkRect;
        if (hasImage) {
            checkRect = Rect(iconRect.Left + 1, iconRect.Top + 2, iconRect.Right - 3, iconRect.Bottom - 2);
        } else {
            checkRect = Bounds(iconRect.Left + (iconRect.Width() - 10) / 2,
                iconRect.Top + (iconRect.Height() - 10) / 2, 10, 10);
        }
        if (imageWidth > FIconWidth) {
            if (rtl)
                checkRect.Left = checkRect.Right - imageWidth;
            else
                checkRect.Right = checkRect.Left + imageWidth;
        }
        if (top)
            checkRect.Top -= 1;

        TRect textRect = r;
        if (!rtl) {
            textRect.Left = top ? r.Left + 4 : r.Left + FIconWidth;
            if (textRect.Left < r.Left + imageWidth)
                textRect.Left = r.Left + imageWidth + 4;
        } else {
            textRect.Right = top ? r.Right - 4 : r.Right - FIconWidth;
            if (textRect.Right > r.Right - imageWidth)
                textRect.Right = r.Right - imageWidth - 8;
        }
        if (top && !hasImage)
            textRect = r;
        else if (top && !rtl)
            textRect.Left -= 5;
        else if (top)
            textRect.Right += 5;

        if (top) {
            if (FDrawMenuBar)
                FColors.FFMenuBarColor = ColorToRGB(FMenuBarColor);
            c.FillRect(r, k.FFMenuBarColor);
        } else {
            PaintItemBackground(c, r, size.width(), rtl);
        }

        bool paintedSelected = false;
        if (selected && FDrawSelect) {
            if (top) {
                DrawTopMenuItem(c, r, FMenuBarColor, rtl);
            } else if (item.Enabled) {
                c.SetBrush(k.FFSelectColor);
                c.SetPen(k.FFSelectBorderColor);
                c.Rectangle(Rect(r.Left, r.Top + 1, r.Right - (FFlatMenu ? 1 : 0), r.Bottom - 1));
            }
            paintedSelected = true;
        } else if (top && item.Enabled && FIsWNT && IsMouseInRect(item.MenuWindow, rect)) {
            c.SetBrush(k.FFSelectColor);
            c.SetPen(k.FFSelectBorderColor);
            c.Rectangle(Rect(r.Left, r.Top, r.Right - 7, r.Bottom));
            paintedSelected = true;
        }

        if (item.Checked || item.RadioItem)
            DrawCheckedItem(c, item, selected, item.Enabled, hasImage, checkRect);
        if (hasImage) {
            DrawIcon(c, image, iconRect, selected || paintedSelected, false, item.Enabled, item.Checked, top,
                rtl, true);
        }

        if (item.Separator) {
            const int y = textRect.Top + int(std::nearbyint(textRect.Height() / 2.0));
            c.SetPen(k.FFSeparatorColor);
            c.MoveTo(rtl ? textRect.Left : textRect.Left + 7, y);
            c.LineTo(rtl ? textRect.Right - 7 : textRect.Right, y);
        } else {
            unsigned format = DT_LEFT;
            if (!rtl) {
                textRect.Left += 3;
            } else {
                textRect.Right -= 3;
                format = DT_RIGHT | DT_RTLREADING;
            }
            textRect.Top += (textRect.Height() - QFontMetrics(FFont, &FItemBitmap).height()) / 2;
            DrawTheText(c, text, item.ShortCut, textRect, selected, item.Enabled, item.Default, top, rtl,
                FFont, FFontColor, format);
            if (item.HasSubItems && !top) {
                const TColor arrow = !item.Enabled ? k.FFDisabledColor
                    : selected                     ? k.FFSelectFontColor
                                                   : ColorToRGB(FFontColor);
                DrawSubMenuArrow(c, r, arrow, rtl);
            }
        }
    }
    canvas.drawImage(destination, FItemBitmap, QRect(QPoint(0, 0), size));
}

void TFlatMenu::DrawSubMenuArrow(TPaintCanvas &canvas, const TRect &r, TColor color, bool rightToLeft) const
{
    // The arrow the platform adds to an item with a submenu: 4 columns, 7 rows.
    const int middle = r.Top + (r.Height() - 1) / 2;
    for (int i = 0; i < 4; ++i) {
        const int x = rightToLeft ? r.Left + 12 - i : r.Right - 12 + i;
        const int reach = 3 - i;
        canvas.Painter().fillRect(x, middle - reach, 1, 2 * reach + 1, ToQColor(color));
    }
}

void TFlatMenu::DrawTopMenuItem(TPaintCanvas &canvas, const TRect &rect, TColor barColor, bool rightToLeft)
{
    const TFlatMenuColors &k = Colors();
    const int l = rect.Left, t = rect.Top, rt = rect.Right, b = rect.Bottom;
    canvas.FillRect(rect, k.FFSelectColor);
    canvas.SetPen(k.FFSelectBorderColor);
    if (!rightToLeft && FIs16Bit) {
        canvas.Polyline({ { l, b - 1 }, { l, t }, { rt - 8, t }, { rt - 8, b } });
        // A soft shadow in bands on the right and a rounded top-right corner.
        const TColor c = k.FFMenuBarColor;
        canvas.FillRect(Rect(rt - 7, t, rt, b), GetShadeColor(c, 10));
        canvas.FillRect(Rect(rt - 7, t + 3, rt - 2, b), GetShadeColor(c, 30));
        canvas.FillRect(Rect(rt - 7, t + 5, rt - 3, b), GetShadeColor(c, 60));
        canvas.FillRect(Rect(rt - 7, t + 6, rt - 5, b), GetShadeColor(c, 100));
        canvas.SetPen(c);
        canvas.Polyline({ { rt - 5, t + 1 }, { rt - 1, t + 1 }, { rt - 1, t + 6 } });
        canvas.Polyline({ { rt - 3, t + 2 }, { rt - 2, t + 2 }, { rt - 2, t + 3 }, { rt - 3, t + 3 } });
        canvas.SetPen(GetShadeColor(c, 10));
        canvas.Polyline({ { rt - 6, t + 3 }, { rt - 3, t + 3 }, { rt - 3, t + 6 }, { rt - 4, t + 6 },
            { rt - 4, t + 3 } });
        canvas.SetPen(GetShadeColor(c, 30));
        canvas.Polyline({ { rt - 5, t + 5 }, { rt - 4, t + 5 }, { rt - 4, t + 9 } });
        canvas.SetPen(GetShadeColor(c, 40));
        canvas.Polyline({ { rt - 6, t + 5 }, { rt - 6, t + 7 } });
        return;
    }
    const TColor shade = GetShadeColor(barColor, 70);
    canvas.SetBrush(shade);
    canvas.Polyline({ { l, b - 1 }, { l, t }, { rt - 3, t }, { rt - 3, b } });
    canvas.FillRect(Rect(rt - 2, t + 2, rt, b), shade);
    canvas.FillRect(Rect(rt - 2, t, rt, t + 2), barColor);
}

void TFlatMenu::DrawCheckedItem(TPaintCanvas &canvas, const TMenuItemInfo &item, bool selected, bool enabled,
    bool hasImage, const TRect &rect)
{
    if (!item.Checked)
        return;
    const TFlatMenuColors &k = Colors();
    if (enabled) {
        canvas.SetBrush(selected ? k.FCheckedAreaSelectColor : k.FCheckedAreaColor);
    } else {
        // The brush keeps the colour the canvas used last.
        canvas.SetBrush(canvas.Brush());
        canvas.SetPen(k.FFDisabledColor);
    }
    const int l = rect.Left, t = rect.Top, rt = rect.Right, b = rect.Bottom;
    if (item.RadioItem) {
        if (enabled)
            canvas.SetPen(k.FFSelectBorderColor);
        if (hasImage) {
            canvas.RoundRect(rect, 6, 6);
        } else {
            canvas.Ellipse(rect);
            canvas.SetBrush(canvas.Pen());
            canvas.Ellipse(InflateRect(rect, -2, -2));
        }
    } else if (hasImage) {
        if (enabled)
            canvas.SetPen(k.FFSelectBorderColor);
        canvas.Rectangle(rect);
    } else {
        if (enabled)
            canvas.SetPen(k.FFCheckedColor);
        canvas.Rectangle(rect);
        canvas.SetPen(enabled ? clBlack : k.FFDisabledColor);
        canvas.Polyline({ { l + 1, t + 5 }, { l + 4, b - 2 } });
        canvas.Polyline({ { l + 2, t + 5 }, { l + 4, b - 3 } });
        canvas.Polyline({ { l + 2, t + 4 }, { l + 5, b - 3 } });
        canvas.Polyline({ { l + 4, b - 3 }, { rt + 2, t - 1 } });
        canvas.Polyline({ { l + 4, b - 2 }, { rt - 2, t + 3 } });
    }
}

void TFlatMenu::DrawTheText(TPaintCanvas &canvas, const QString &text, const QString &shortCut,
    const TRect &rect, bool selected, bool enabled, bool isDefault, bool topLevel, bool rightToLeft,
    const QFont &font, TColor fontColor, unsigned format)
{
    const TFlatMenuColors &k = Colors();
    QPainter &painter = canvas.Painter();
    painter.setFont(font);
    painter.setBackgroundMode(Qt::TransparentMode);
    TColor color = ColorToRGB(fontColor);
    if (selected)
        color = k.FFSelectFontColor;
    if (!enabled)
        color = k.FFDisabledColor;
    if (selected && topLevel && FUseSystemColors)
        color = TopMenuFontColor(k.FFIconBackColor, ColorToRGB(fontColor));
    const int l = rect.Left, t = rect.Top, rt = rect.Right, b = rect.Bottom;
    if (enabled && isDefault) {
        // Four soft copies, each a shade of what lies under its own corner.
        const struct {
            TRect r;
            int amount;
        } copies[] = { { Rect(l + 1, t, rt, b), 30 }, { Rect(l + 1, t + 2, rt + 1, b), 30 },
            { Rect(l, t + 1, rt, b), 40 }, { Rect(l + 1, t + 1, rt + 1, b), 60 } };
        for (const auto &copy : copies) {
            painter.setPen(ToQColor(GetShadeColor(canvas.Pixel(copy.r.Left, copy.r.Top), copy.amount)));
            DrawTextEx(painter, text, copy.r, format | DT_EXPANDTABS);
        }
    }
    painter.setPen(ToQColor(color));
    DrawTextEx(painter, text, rect, format | DT_EXPANDTABS);
    if (shortCut.isEmpty())
        return;
    const unsigned plain = format & ~unsigned(DT_CENTER | DT_RIGHT | DT_EXPANDTABS);
    const TRect room = rightToLeft ? Rect(l + 10, t, rt, b) : Rect(l, t, rt - 10, b);
    DrawTextEx(painter, shortCut + QLatin1Char(' '), room, rightToLeft ? plain : plain | DT_RIGHT);
}

void TFlatMenu::DrawBitmapShadow(TPaintCanvas &canvas, const QImage &image, int x, int y, TColor color) const
{
    if (image.isNull())
        return;
    const QRgb key = image.pixel(0, image.height() - 1);
    const QColor shadow = ToQColor(color);
    QPainter &painter = canvas.Painter();
    for (int row = 0; row < image.height(); ++row) {
        for (int column = 0; column < image.width(); ++column) {
            const QRgb pixel = image.pixel(column, row);
            if (qAlpha(pixel) != 0 && pixel != key)
                painter.fillRect(x + column, y + row, 1, 1, shadow);
        }
    }
}

void TFlatMenu::DrawIcon(TPaintCanvas &canvas, QImage image, const TRect &iconRect, bool hot, bool selected,
    bool enabled, bool checked, bool topLevel, bool rightToLeft, bool menuItem)
{
    if (image.isNull() || image.width() == 0)
        return;
    const int w = image.width();
    int x = iconRect.Left;
    int y = iconRect.Top + 1;
    if (menuItem) {
        y = iconRect.Top + 3;
        if (w < FIconWidth)
            x = (FIconWidth - w) / 2 + iconRect.Left - 1;
        else
            x = rightToLeft ? iconRect.Right - w - 2 : iconRect.Left + 2;
        if (topLevel)
            x = rightToLeft ? iconRect.Right - w - 5 : iconRect.Left + 1;
    }
    if (hot && topLevel && enabled && !selected) {
        x -= 1;
        y -= 2;
    } else if (hot && !topLevel && enabled && !checked && !selected) {
        x -= 1;
        y -= 1;
    }
    if (!hot && enabled && !checked && FIs16Bit)
        DimBitmap(image, FDimLevel);
    if (!enabled) {
        GrayBitmap(image, FGrayLevel);
        DimBitmap(image, 40);
    }
    if (hot && enabled && !checked)
        DrawBitmapShadow(canvas, image, x + 2, y + 2, GetShadeColor(Colors().FFSelectColor, 50));
    canvas.Painter().drawImage(x, y, image);
}

void TFlatMenu::DrawGradient(TPaintCanvas &canvas, const TRect &rect, bool rightToLeft)
{
    const TColor base = Colors().FFIconBackColor;
    const int l = rect.Left, rt = rect.Right;
    int p = 0;
    for (int i = 0; i < rt - l + 1; ++i) {
        const int x = rightToLeft ? rt - 1 - i : l + i;
        const bool steep
            = rightToLeft ? (x < rt && x > rt - FIconWidth + 5) : (l < x && x < l + FIconWidth + 5);
        p = std::min(p + (steep ? 3 : 1), 96);
        canvas.FillRect(Rect(x, rect.Top, x + 1, rect.Bottom), NewColor(base, p));
    }
}

void TFlatMenu::DrawMenuBackground(QPainter &canvas, QSize size, bool rightToLeft)
{
    TPaintCanvas c(canvas);
    PaintItemBackground(
        c, Rect(MenuFrameWidth, 0, size.width() - MenuFrameWidth, size.height()), size.width(), rightToLeft);
}

void TFlatMenu::DrawWindowBorder(QPainter &canvas, QSize size, bool rightToLeft)
{
    const TFlatMenuColors &k = Colors();
    TPaintCanvas c(canvas);
    const int l = 0, t = 0;
    int rt = size.width(), b = size.height();
    if (!FIsWXP) {
        rt -= 2;
        b -= 2;
    }
    c.FrameRect(Rect(l, t, rt, b), k.FMenuBorderColor);
    // The icon column reaches the outline.
    if (!rightToLeft) {
        c.FrameRect(Rect(l + 1, t + 2, l + 3, b - 1), k.FFIconBackColor);
    } else {
        c.SetPen(k.FFIconBackColor);
        c.MoveTo(rt - 3, t + 2);
        c.LineTo(rt - 2, b - 1);
    }
    // Rows that show what the first item row (y = t + 3) shows.
    const auto copyFirstRow = [&](int first) {
        canvas.save();
        canvas.setClipRect(ToQRect(Rect(l + 1, first, rt, first + 2)), Qt::IntersectClip);
        PaintItemBackground(c, Rect(MenuFrameWidth, first, size.width() - MenuFrameWidth, first + 2),
            size.width(), rightToLeft);
        if (!rightToLeft)
            c.FillRect(Rect(l + 1, first, l + 3, first + 2), k.FFIconBackColor);
        else
            c.FillRect(Rect(rt - 3, first, rt - 2, first + 2), k.FFIconBackColor);
        c.FillRect(Rect(rt - 1, first, rt, first + 2), k.FMenuBorderColor);
        canvas.restore();
    };
    copyFirstRow(t + 1);
    if (FIsWXP) {
        copyFirstRow(b - 3);
        c.FrameRect(Rect(rt - 3, t + 1, rt - 1, b - 1), k.FFColor);
        return;
    }
    rt += 2;
    b += 2;
    c.FrameRect(Rect(l + 2, b - 2, rt, b), k.FMenuShadowColor);
    c.FrameRect(Rect(rt - 2, t + 2, rt, b), k.FMenuShadowColor);
}
