#include "components/gui/GTDragImage.h"

#include "components/gui/AlphaBlend.h"

#include <QPainter>
#include <QWidget>
#include <cmath>
#include <cstdlib>

namespace {

// A widget as the surface: what it paints is read by rendering it, and the
// image is shown by a child window over it. Putting the background back
// uncovers the widget's own, live painting.
class TWidgetSurface : public TGTDragSurface {
public:
    explicit TWidgetSurface(QWidget &Owner)
        : FOwner(Owner)
    { }

    QImage Capture(const QRect &R) override
    {
        QImage image(R.size(), QImage::Format_ARGB32);
        image.fill(0);
        const bool shown = FWindow && FWindow->isVisible();
        if (shown)
            FWindow->hide();
        FOwner.render(&image, QPoint(), QRegion(R), QWidget::DrawChildren);
        if (shown)
            FWindow->show();
        return image;
    }
    void Put(const QImage &Image, QPoint Position) override
    {
        if (!FWindow)
            FWindow = std::make_unique<TImageWindow>(FOwner);
        FWindow->Image = Image;
        FWindow->setGeometry(QRect(Position, Image.size()));
        FWindow->show();
        FWindow->raise();
        FWindow->update();
    }
    void Restore(const QImage &, QPoint) override
    {
        if (FWindow)
            FWindow->hide();
    }
    bool Volatile() const override { return true; }

private:
    // The child window that shows the blended image, opaque: the blend already
    // holds what lies under it.
    class TImageWindow : public QWidget {
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

    QWidget &FOwner;
    std::unique_ptr<TImageWindow> FWindow;
};

// Image to Target at Position, pixel for pixel (alpha included).
void CopyPixels(const QImage &Image, QImage &Target, QPoint Position, const QRect &Part)
{
    QPainter painter(&Target);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(Position, Image, Part);
}

} // namespace

// ---- the image surface ------------------------------------------------------------------------------

QImage TGTImageSurface::Capture(const QRect &R)
{
    QImage result(R.size(), QImage::Format_ARGB32);
    result.fill(0);
    CopyPixels(FImage, result, QPoint(0, 0), R);
    return result;
}

void TGTImageSurface::Put(const QImage &Image, QPoint Position)
{
    CopyPixels(Image, FImage, Position, Image.rect());
}

// ---- the rectangles of a move -------------------------------------------------------------------------

TDragRectangles FillDragRectangles(int Width, int Height, int DeltaX, int DeltaY)
{
    TDragRectangles r;
    r.Clip = QRect(0, 0, Width, Height);
    const int dx = std::abs(DeltaX);
    const int dy = std::abs(DeltaY);
    if (dx >= Width || dy >= Height)
        return r;
    // What stays covered, where it lay under the old image.
    r.Scroll = QRect(std::max(DeltaX, 0), std::max(DeltaY, 0), Width - dx, Height - dy);
    if (DeltaX != 0) {
        // Moving right covers the right edge anew and uncovers the left one.
        r.Sample1 = QRect(DeltaX > 0 ? Width - dx : 0, 0, dx, Height);
        r.Draw1 = QRect(DeltaX > 0 ? 0 : Width - dx, 0, dx, Height);
    }
    if (DeltaY != 0) {
        r.Sample2 = QRect(0, DeltaY > 0 ? Height - dy : 0, Width, dy);
        r.Draw2 = QRect(0, DeltaY > 0 ? 0 : Height - dy, Width, dy);
    }
    return r;
}

// ---- the drag image -------------------------------------------------------------------------------------

TGTDragImage::TGTDragImage(QWidget &Owner)
    : FSurface(std::make_unique<TWidgetSurface>(Owner))
{ }

TGTDragImage::TGTDragImage(std::unique_ptr<TGTDragSurface> Surface)
    : FSurface(std::move(Surface))
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

void TGTDragImage::PrepareDrag(const QImage &Image, QPoint ImagePosition, QPoint HotSpot, bool SystemDrag)
{
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
    FSystemSupport = SystemDrag;
    if (FSystemSupport)
        return;
    FLastPosition = HotSpot;
    FImagePosition = ImagePosition;
    FBackImage = QImage();
    FInDrag = true;
    FPrepared = true;
    FHidden = true;
}

bool TGTDragImage::Visible() const
{
    return FInDrag && FPrepared && !FHidden && !FSystemSupport;
}

TRect TGTDragImage::GetDragImageRect() const
{
    if (!Visible())
        return {};
    return Bounds(FImagePosition.x(), FImagePosition.y(), FDragImage.width(), FDragImage.height());
}

void TGTDragImage::ShowDragImage()
{
    if (!FHidden || !FInDrag || !FPrepared || FSystemSupport)
        return;
    FHidden = false;
    FBackImage = FSurface->Capture(QRect(FImagePosition, FDragImage.size()));
    InternalShowDragImage();
}

void TGTDragImage::HideDragImage()
{
    if (!Visible())
        return;
    FHidden = true;
    FSurface->Restore(FBackImage, FImagePosition);
}

QPoint TGTDragImage::Move(QPoint P) const
{
    QPoint delta = P - FLastPosition;
    if (FRestriction == dmrVerticalOnly)
        delta.setX(0);
    if (FRestriction == dmrHorizontalOnly)
        delta.setY(0);
    return delta;
}

bool TGTDragImage::WillMove(QPoint P) const
{
    return Visible() && !Move(P).isNull();
}

bool TGTDragImage::DragTo(QPoint P, bool ForceRepaint)
{
    const QPoint delta = Move(P);
    if (delta.isNull() && !ForceRepaint)
        return false;
    if (Visible()) {
        const int width = FDragImage.width();
        const int height = FDragImage.height();
        const bool jump = std::abs(delta.x()) >= width || std::abs(delta.y()) >= height;
        if (jump || ForceRepaint || FSurface->Volatile()) {
            // All the old background back; the new one read whole.
            FSurface->Restore(FBackImage, FImagePosition);
            FImagePosition += delta;
            FBackImage = FSurface->Capture(QRect(FImagePosition, FDragImage.size()));
        } else {
            const TDragRectangles r = FillDragRectangles(width, height, delta.x(), delta.y());
            // The uncovered strips get their background back.
            for (const QRect &strip : { r.Draw1, r.Draw2 })
                if (!strip.isEmpty())
                    FSurface->Restore(FBackImage.copy(strip), FImagePosition + strip.topLeft());
            // What stays covered moves along; the newly covered strips are read.
            QImage back(FDragImage.size(), QImage::Format_ARGB32);
            back.fill(0);
            CopyPixels(FBackImage, back, r.Scroll.topLeft() - delta, r.Scroll);
            FImagePosition += delta;
            for (const QRect &strip : { r.Sample1, r.Sample2 })
                if (!strip.isEmpty())
                    CopyPixels(FSurface->Capture(strip.translated(FImagePosition)), back, strip.topLeft(),
                        QRect(QPoint(0, 0), strip.size()));
            FBackImage = back;
        }
        InternalShowDragImage();
    } else {
        FImagePosition += delta;
    }
    FLastPosition = P;
    return true;
}

void TGTDragImage::EndDrag()
{
    HideDragImage();
    FInDrag = false;
    FPrepared = false;
    FSystemSupport = false;
    FDragImage = QImage();
    FBackImage = QImage();
    FAlphaImage = QImage();
}

void TGTDragImage::RecaptureBackground(
    const std::function<void(QPainter &, const QRect &)> &PaintArea, const QRect &R, bool ReshowDragImage)
{
    if (!Visible())
        return;
    const QRect image(FImagePosition, FDragImage.size());
    const QRect part = R.intersected(image);
    if (part.isEmpty())
        return;
    {
        QPainter painter(&FBackImage);
        painter.translate(part.topLeft() - image.topLeft());
        painter.setClipRect(QRect(QPoint(0, 0), part.size()));
        PaintArea(painter, part);
    }
    if (ReshowDragImage)
        InternalShowDragImage();
}

void TGTDragImage::InternalShowDragImage()
{
    FAlphaImage = FBackImage.copy();
    const TBlendMode mode = FFade || FColorKey != clNone ? bmMasterAlpha : bmConstantAlpha;
    AlphaBlend(FDragImage, FAlphaImage, Rect(0, 0, FDragImage.width(), FDragImage.height()), { 0, 0 }, mode,
        FTransparency, FPostBlendBias);
    FSurface->Put(FAlphaImage, FImagePosition);
}
