#include "dialogs/print/PageDisplay.h"

#include "dialogs/print/PrintJob.h"
#include "platform/gui/Color.h"
#include "platform/gui/Rect.h"

#include <QPainter>
#include <cmath>

namespace {

// The light grey of the page furniture.
constexpr TColor FurnitureColor = 0xF0F0F0;

// Printer pixels to box pixels.
class TBoxScale {
public:
    TBoxScale(double sx, double sy)
        : FX(sx)
        , FY(sy)
    { }
    int X(double x) const { return int(std::nearbyint(x * FX)); }
    int Y(double y) const { return int(std::nearbyint(y * FY)); }
    TRect Of(const TRect &r) const { return Rect(X(r.Left), Y(r.Top), X(r.Right), Y(r.Bottom)); }

private:
    double FX;
    double FY;
};

// Outline covering the rectangle's edge pixels (right and bottom exclusive).
QRect OutlineRect(const TRect &r)
{
    return QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1);
}

void DrawPunchHoles(QPainter &painter, QSize box, const TDeviceCaps &caps)
{
    if (caps.HorzSize <= 0 || caps.VertSize <= 0)
        return;
    const TBoxScale mm(double(box.width()) / caps.HorzSize, double(box.height()) / caps.VertSize);
    painter.setPen(QPen(ToQColor(FurnitureColor), 0, Qt::SolidLine));
    painter.setBrush(ToQColor(FurnitureColor));
    constexpr double Radius = 3, FromEdge = 10.5, FromMiddle = 39.5;
    for (const double centre : { caps.VertSize / 2.0 - FromMiddle, caps.VertSize / 2.0 + FromMiddle }) {
        const TRect hole = Rect(
            mm.X(FromEdge - Radius), mm.Y(centre - Radius), mm.X(FromEdge + Radius), mm.Y(centre + Radius));
        painter.drawEllipse(OutlineRect(hole));
    }
}

} // namespace

void PlayPage(QPainter &painter, const TPagePicture &page, QSize pageSize, const QRectF &target)
{
    if (pageSize.isEmpty() || target.isEmpty())
        return;
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    painter.translate(target.topLeft());
    painter.scale(target.width() / pageSize.width(), target.height() / pageSize.height());
    page.Play(painter);
    painter.restore();
}

void DisplayPage(QPainter &painter, QSize box, const TPrintJob &job, int page)
{
    const TPagePicture *picture = job.GetMetafile(page);
    const TPageGeometry &geometry = job.Geometry();
    const TDeviceCaps &caps = geometry.Caps();
    if (!picture || caps.PhysicalWidth <= 0 || caps.PhysicalHeight <= 0 || box.isEmpty())
        return;
    const TBoxScale scale(
        double(box.width()) / caps.PhysicalWidth, double(box.height()) / caps.PhysicalHeight);
    painter.save();
    painter.fillRect(QRect(QPoint(0, 0), box), Qt::white);

    painter.setPen(QPen(ToQColor(FurnitureColor), 0, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    const QPoint sheet = geometry.PhysicalOffset();
    const QSize area = geometry.PrintableSize(false, false);
    const TRect printable = Bounds(sheet.x(), sheet.y(), area.width(), area.height());
    const QPoint bodyAt = sheet + geometry.PrintableOffset();
    const QSize bodySize = geometry.PrintableSize(true, true);
    painter.drawRect(OutlineRect(scale.Of(printable)));
    painter.drawRect(
        OutlineRect(scale.Of(Bounds(bodyAt.x(), bodyAt.y(), bodySize.width(), bodySize.height()))));

    // Inch lines run the whole box, up to but not including its far edge.
    if (caps.LogPixelsX > 0)
        for (int k = 1; k <= caps.PhysicalWidth / caps.LogPixelsX; ++k) {
            const int x = scale.X(double(k) * caps.LogPixelsX);
            painter.drawLine(x, 0, x, box.height() - 1);
        }
    if (caps.LogPixelsY > 0)
        for (int k = 1; k <= caps.PhysicalHeight / caps.LogPixelsY; ++k) {
            const int y = scale.Y(double(k) * caps.LogPixelsY);
            painter.drawLine(0, y, box.width() - 1, y);
        }

    if (geometry.Lochrand())
        DrawPunchHoles(painter, box, caps);

    const TRect target = scale.Of(printable);
    PlayPage(painter, *picture, QSize(caps.HorzRes, caps.VertRes),
        QRectF(target.Left, target.Top, target.Width(), target.Height()));
    painter.restore();
}
