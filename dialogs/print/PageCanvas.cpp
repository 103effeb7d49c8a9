#include "dialogs/print/PageCanvas.h"

#include "platform/gui/Fonts.h"
#include "platform/gui/TextDraw.h"

#include <QFontMetrics>
#include <QPaintDevice>

TPageFont::TPageFont(int pixelsPerInch)
    : FFont(QStringLiteral("Arial"))
    , FPixelsPerInch(pixelsPerInch > 0 ? pixelsPerInch : 96)
{
    SetSize(10);
}

void TPageFont::SetSize(int points)
{
    FSize = points;
    SetFontPoints(FFont, points, FPixelsPerInch);
}

QPicture &TPagePicture::Append()
{
    return FPictures.emplace_back();
}

void TPagePicture::Play(QPainter &painter) const
{
    if (FPictures.empty())
        return;
    // A picture replays scaled by the target's resolution over its own; pages are
    // recorded in printer pixels already.
    const QPaintDevice *device = painter.device();
    const QPicture &first = FPictures.front();
    painter.save();
    painter.scale(double(first.logicalDpiX()) / device->logicalDpiX(),
        double(first.logicalDpiY()) / device->logicalDpiY());
    for (const QPicture &picture : FPictures) {
        // A picture leaves out what its painter began with: it plays on a painter
        // in that state, not in the state the caller's drawing left.
        painter.setPen(QPen());
        painter.setBrush(Qt::NoBrush);
        painter.setFont(QFont());
        painter.setBackground(Qt::white);
        painter.setBackgroundMode(Qt::TransparentMode);
        painter.drawPicture(0, 0, picture);
    }
    painter.restore();
}

TPageCanvas::TPageCanvas(TPagePicture &page, int pixelsPerInch)
    : FPage(page)
    , FFont(pixelsPerInch)
    , FPen(Qt::black, 0)
    , FBrush(Qt::NoBrush)
{ }

TPageCanvas::~TPageCanvas()
{
    Close();
}

QPainter &TPageCanvas::Painter()
{
    if (!FPainter.isActive())
        FPainter.begin(&FPage.Append());
    return FPainter;
}

void TPageCanvas::Close()
{
    if (FPainter.isActive())
        FPainter.end();
}

QPainter &TPageCanvas::SelectPen()
{
    QPen pen = FPen;
    if (pen.widthF() <= 1)
        pen.setWidth(0); // cosmetic: one pixel on every device, however it is scaled
    QPainter &painter = Painter();
    painter.setPen(pen);
    return painter;
}

QPainter &TPageCanvas::SelectFont()
{
    QPainter &painter = Painter();
    painter.setFont(FFont.Font());
    painter.setPen(ToQColor(FFont.Color()));
    if (FBrush.style() == Qt::NoBrush) {
        painter.setBackgroundMode(Qt::TransparentMode);
    } else {
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(FBrush);
    }
    return painter;
}

void TPageCanvas::Line(QPoint from, QPoint to)
{
    if (from == to)
        return;
    QPoint last = to;
    if (from.y() == to.y())
        last.rx() += to.x() > from.x() ? -1 : 1;
    else if (from.x() == to.x())
        last.ry() += to.y() > from.y() ? -1 : 1;
    SelectPen().drawLine(from, last);
}

void TPageCanvas::Rectangle(const TRect &rect)
{
    if (rect.IsEmpty())
        return;
    if (FBrush.style() != Qt::NoBrush)
        Painter().fillRect(ToQRect(rect), FBrush);
    if (FPen.style() == Qt::NoPen)
        return;
    QPainter &painter = SelectPen();
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(rect.Left, rect.Top, rect.Width() - 1, rect.Height() - 1));
}

void TPageCanvas::TextOut(int x, int y, const QString &text)
{
    TextOutTopLeft(SelectFont(), x, y, text);
}

int TPageCanvas::DrawText(TRect &rect, const QString &text, unsigned format)
{
    return DrawTextEx(SelectFont(), text, rect, format);
}

int TPageCanvas::TextWidth(const QString &text) const
{
    // The font has a pixel size: its measures do not depend on a device.
    return QFontMetrics(FFont.Font()).horizontalAdvance(text);
}

int TPageCanvas::TextHeight() const
{
    return QFontMetrics(FFont.Font()).height();
}
