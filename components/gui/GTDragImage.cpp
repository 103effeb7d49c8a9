#include "components/gui/GTDragImage.h"

#include "components/gui/AlphaBlend.h"

#include <QPainter>
#include <QWidget>
#include <cmath>

// The child window that shows the blended image, opaque: the blend already
// holds what lies under it.
class TGTDragImage::TImageWindow : public QWidget {
public:
    explicit TImageWindow(QWidget &Parent)
        : QWidget(&Parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_OpaquePaintEvent);
        hide();
    }
    QImage Image;

protected:
    void paintEvent(QPaintEvent *) override
    {
        // The blend's alpha bytes are no transparency here.
        const QImage opaque(
            Image.constBits(), Image.width(), Image.height(), Image.bytesPerLine(), QImage::Format_RGB32);
        QPainter(this).drawImage(0, 0, opaque);
    }
};

TGTDragImage::TGTDragImage(QWidget &Owner)
    : FOwner(Owner)
{ }

TGTDragImage::~TGTDragImage() = default;

void TGTDragImage::MakeAlphaChannel(QImage &Image, TColor ColorKey)
{
    const int w = Image.width();
    const int h = Image.height();
    const double d = std::max(w, h);
    const QRgb key = ColorKey == clNone ? 0 : ToQRgb(ColorKey);
    for (int y = 0; y < h; ++y) {
        auto *row = reinterpret_cast<QRgb *>(Image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double dx = (x - w / 2) / d;
            const double dy = (y - h / 2) / d;
            int alpha = int(std::nearbyint(255 * std::exp(-8 * std::sqrt(dx * dx + dy * dy))));
            if (ColorKey != clNone && (row[x] & 0xFFFFFF) == (key & 0xFFFFFF))
                alpha = 0;
            row[x] = (row[x] & 0xFFFFFF) | (QRgb(alpha) << 24);
        }
    }
}

void TGTDragImage::PrepareDrag(const QImage &Image, QPoint ImagePosition, QPoint HotSpot)
{
    FLastPosition = HotSpot;
    const QImage source = Image.convertToFormat(QImage::Format_ARGB32);
    if (FPreBlendBias != 0) {
        FDragImage = QImage(source.size(), QImage::Format_ARGB32);
        FDragImage.fill(0);
        AlphaBlend(source, FDragImage, Rect(0, 0, source.width(), source.height()), { 0, 0 }, bmConstantAlpha,
            255, FPreBlendBias);
    } else {
        FDragImage = source;
    }
    MakeAlphaChannel(FDragImage, FColorKey);
    FImagePosition = ImagePosition;
    FInDrag = true;
    FPrepared = true;
    FHidden = true;
    if (!FWindow)
        FWindow = std::make_unique<TImageWindow>(FOwner);
}

bool TGTDragImage::Visible() const
{
    return FInDrag && FPrepared && !FHidden;
}

TRect TGTDragImage::GetDragImageRect() const
{
    return Bounds(FImagePosition.x(), FImagePosition.y(), FDragImage.width(), FDragImage.height());
}

void TGTDragImage::ShowDragImage()
{
    if (!FHidden || !FInDrag || !FPrepared)
        return;
    FHidden = false;
    InternalShowDragImage();
}

void TGTDragImage::HideDragImage()
{
    if (!Visible())
        return;
    FHidden = true;
    FWindow->hide();
}

bool TGTDragImage::DragTo(QPoint P, bool ForceRepaint)
{
    QPoint delta = P - FLastPosition;
    if (FRestriction == dmrVerticalOnly)
        delta.setX(0);
    if (FRestriction == dmrHorizontalOnly)
        delta.setY(0);
    FLastPosition = P;
    if (delta.isNull() && !ForceRepaint)
        return false;
    FImagePosition += delta;
    if (Visible())
        InternalShowDragImage();
    return true;
}

void TGTDragImage::EndDrag()
{
    HideDragImage();
    FInDrag = false;
    FPrepared = false;
    FDragImage = QImage();
    if (FWindow)
        FWindow->Image = QImage();
}

void TGTDragImage::InternalShowDragImage()
{
    const QRect image(FImagePosition, FDragImage.size());
    const QRect shown = image.intersected(FOwner.rect());
    FWindow->hide();
    if (shown.isEmpty())
        return;
    // What the owner paints under the image, without the image.
    QImage back(shown.size(), QImage::Format_ARGB32);
    back.fill(0);
    FOwner.render(&back, QPoint(), QRegion(shown), QWidget::DrawChildren);
    const QPoint from = shown.topLeft() - image.topLeft();
    const TBlendMode mode = FFade || FColorKey != clNone ? bmMasterAlpha : bmConstantAlpha;
    AlphaBlend(FDragImage, back, Bounds(from.x(), from.y(), shown.width(), shown.height()), { 0, 0 }, mode,
        FTransparency, FPostBlendBias);
    FWindow->Image = back;
    FWindow->setGeometry(shown);
    FWindow->show();
    FWindow->raise();
    FWindow->update();
}
