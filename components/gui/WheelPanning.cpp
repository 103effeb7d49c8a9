#include "components/gui/WheelPanning.h"

#include "components/GridTreeErrors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygon>
#include <cmath>

namespace {

constexpr int Size = 32;
constexpr QPoint Centre(16, 16);

enum TArrow { arN, arNE, arE, arSE, arS, arSW, arW, arNW };

// A filled arrow head pointing away from the centre.
void DrawArrow(QPainter &Painter, TArrow Arrow)
{
    const double angle = M_PI / 4 * int(Arrow);
    const double dx = std::sin(angle);
    const double dy = -std::cos(angle);
    const auto at = [&](double along, double across) {
        return QPointF(
            Centre.x() + 0.5 + along * dx - across * dy, Centre.y() + 0.5 + along * dy + across * dx);
    };
    const QPointF head[] = { at(14, 0), at(8, 5), at(8, -5) };
    Painter.drawPolygon(head, 3);
}

QImage Blank(QRgb Fill)
{
    QImage image(Size, Size, QImage::Format_ARGB32);
    image.fill(Fill);
    return image;
}

// A disc with the arrows for the directions that can move.
void DrawDisc(QPainter &Painter, bool Vertical, bool Horizontal)
{
    Painter.setRenderHint(QPainter::Antialiasing, false);
    Painter.setPen(QColor(0x40, 0x40, 0x40));
    Painter.setBrush(QColor(0xF0, 0xF0, 0xF0));
    Painter.drawEllipse(QRect(1, 1, Size - 3, Size - 3));
    Painter.setPen(Qt::NoPen);
    Painter.setBrush(Qt::black);
    if (Vertical) {
        DrawArrow(Painter, arN);
        DrawArrow(Painter, arS);
    }
    if (Horizontal) {
        DrawArrow(Painter, arE);
        DrawArrow(Painter, arW);
    }
    Painter.drawEllipse(QRect(Centre.x() - 2, Centre.y() - 2, 5, 5));
}

bool RestingKind(const QString &Name, bool &Vertical, bool &Horizontal)
{
    Vertical = Name == QLatin1String("GT_MOVENS") || Name == QLatin1String("GT_MOVEALL");
    Horizontal = Name == QLatin1String("GT_MOVEEW") || Name == QLatin1String("GT_MOVEALL");
    return Vertical || Horizontal;
}

} // namespace

QImage PanningImage(const QString &Name)
{
    bool vertical = false;
    bool horizontal = false;
    if (!RestingKind(Name, vertical, horizontal))
        return {};
    QImage image = Blank(PanningMaskColor);
    QPainter painter(&image);
    DrawDisc(painter, vertical, horizontal);
    return image;
}

QCursor PanningCursor(const QString &Name)
{
    QImage image = Blank(0);
    QPainter painter(&image);
    bool vertical = false;
    bool horizontal = false;
    if (RestingKind(Name, vertical, horizontal)) {
        DrawDisc(painter, vertical, horizontal);
    } else {
        static const char *const names[] = { "GT_MOVEN", "GT_MOVENE", "GT_MOVEE", "GT_MOVESE", "GT_MOVES",
            "GT_MOVESW", "GT_MOVEW", "GT_MOVENW" };
        int arrow = -1;
        for (int i = 0; i < 8; ++i)
            if (Name == QLatin1String(names[i]))
                arrow = i;
        if (arrow < 0)
            return QCursor(Qt::ArrowCursor);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(Qt::white);
        painter.setBrush(Qt::black);
        DrawArrow(painter, TArrow(arrow));
        painter.drawEllipse(QRect(Centre.x() - 2, Centre.y() - 2, 5, 5));
    }
    painter.end();
    return QCursor(QPixmap::fromImage(image), Centre.x(), Centre.y());
}

QRegion PanningRegion(const QImage &Image)
{
    QRegion region;
    const QImage pixels = Image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < pixels.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
        int x = 0;
        while (x < pixels.width()) {
            while (x < pixels.width() && row[x] == PanningMaskColor)
                ++x;
            const int start = x;
            while (x < pixels.width() && row[x] != PanningMaskColor)
                ++x;
            if (x > start)
                region += QRect(start, y, x - start, 1);
        }
    }
    if (region.isEmpty())
        throw EGridTreeAssertion("Invalid wheel panning image.");
    return region;
}

TPanningWindow::TPanningWindow(QWidget &Owner, const QImage &Image, QPoint Centre)
    : QWidget(
        &Owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , FImage(Image)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(FImage.size());
    setMask(PanningRegion(FImage));
    move(Centre - QPoint(FImage.width() / 2, FImage.height() / 2));
}

void TPanningWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, FImage);
}
