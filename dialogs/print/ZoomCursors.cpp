#include "dialogs/print/ZoomCursors.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

namespace {

constexpr int CursorSize = 32;
constexpr QPoint GlassCentre(12, 12);
constexpr int GlassRadius = 8;

// 32 x 32, transparent around the glass.
QImage ZoomCursorImage(TZoom zoom)
{
    QImage image(CursorSize, CursorSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // The handle, then the glass over its end.
    painter.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(GlassCentre + QPoint(7, 7), QPoint(27, 27));
    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(GlassCentre), GlassRadius, GlassRadius);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int arm = GlassRadius - 4;
    painter.fillRect(GlassCentre.x() - arm, GlassCentre.y() - 1, 2 * arm + 1, 2, Qt::black);
    if (zoom == TZoom::In)
        painter.fillRect(GlassCentre.x() - 1, GlassCentre.y() - arm, 2, 2 * arm + 1, Qt::black);
    return image;
}

} // namespace

QCursor ZoomCursor(TZoom zoom)
{
    return QCursor(QPixmap::fromImage(ZoomCursorImage(zoom)), GlassCentre.x(), GlassCentre.y());
}
