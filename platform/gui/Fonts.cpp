#include "platform/gui/Fonts.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <cstdlib>

int PointsToPixels(int points, int ppi)
{
    const long long product = static_cast<long long>(points) * ppi;
    const long long rounded = product >= 0 ? (product + 36) / 72 : -((-product + 36) / 72);
    if (points > 0 && rounded < 1)
        return 1;
    return static_cast<int>(rounded);
}

int DevicePpi(const QPaintDevice &device)
{
    return device.logicalDpiY() > 0 ? device.logicalDpiY() : 96;
}

void SetFontPoints(QFont &font, int points, int ppi)
{
    font.setPixelSize(std::max(1, PointsToPixels(std::abs(points), ppi)));
}

QFont MakeFont(const QString &family, int points, int ppi)
{
    QFont font(family);
    SetFontPoints(font, points, ppi);
    return font;
}

void TextOutTopLeft(QPainter &painter, int x, int y, const QString &text)
{
    painter.drawText(x, y + QFontMetrics(painter.font(), painter.device()).ascent(), text);
}
