#include "resources/ProgramMark.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

void PaintProgramMark(QPainter &p, const QRectF &box)
{
    const double u = box.width() / 16; // the design is laid out on a 16 x 16 grid
    auto at = [&](double x, double y, double w, double h) {
        return QRectF(box.left() + x * u, box.top() + y * u, w * u, h * u);
    };
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath sheet;
    sheet.addRoundedRect(at(0.5, 0.5, 15, 15), 2.2 * u, 2.2 * u);
    p.fillPath(sheet, QColor(0xF7, 0xF8, 0xFA));
    p.setClipPath(sheet);
    // The date header.
    p.fillRect(at(0.5, 0.5, 15, 3.5), QColor(0x3B, 0x5B, 0x86));
    // Day columns, a weekend shaded.
    p.fillRect(at(11, 4, 2.5, 11.5), QColor(0xE3, 0xE7, 0xEE));
    p.setPen(QPen(QColor(0xC9, 0xD0, 0xDB), 0.15 * u));
    for (double x = 3; x < 15.5; x += 2.5)
        p.drawLine(at(x, 4, 0, 0).topLeft(), at(x, 15.5, 0, 0).topLeft());
    p.setClipping(false);
    // Three bars, as tasks of three positions.
    const struct {
        double x, y, w;
        QColor color;
    } bars[] = { { 1.7, 5.4, 7.6, QColor(0x2E, 0x8B, 0x57) }, { 5.6, 8.9, 7.9, QColor(0xE0, 0x8A, 0x1E) },
        { 3.2, 12.4, 5.5, QColor(0x4A, 0x7F, 0xC1) } };
    for (const auto &bar : bars) {
        QPainterPath path;
        path.addRoundedRect(at(bar.x, bar.y, bar.w, 2.2), 0.6 * u, 0.6 * u);
        p.fillPath(path, bar.color);
    }
    p.setPen(QPen(QColor(0x2B, 0x3A, 0x4F), 0.35 * u));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(at(0.5, 0.5, 15, 15), 2.2 * u, 2.2 * u);
    p.restore();
}

QImage ProgramMarkImage(int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    PaintProgramMark(p, QRectF(0, 0, side, side));
    return image;
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int side : { 16, 24, 32, 48, 64, 128, 256 })
        icon.addPixmap(QPixmap::fromImage(ProgramMarkImage(side)));
    return icon;
}
