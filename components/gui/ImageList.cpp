#include "components/gui/ImageList.h"

#include <QPainter>
#include <algorithm>

TColor GetRGBColor(TColor Value)
{
    if (Value == clNone)
        return CLR_NONE;
    if (Value == clDefault)
        return CLR_DEFAULT;
    return ColorToRGB(Value);
}

namespace {

// A disabled image: grey by brightness, lightened half way to white.
QImage Greyed(const QImage &image)
{
    QImage grey = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const QRgb p = row[x];
            const int level = (qRed(p) * 11 + qGreen(p) * 16 + qBlue(p) * 5) / 32;
            const int light = (level + 255) / 2;
            row[x] = qRgba(light, light, light, qAlpha(p));
        }
    }
    return grey;
}

} // namespace

TImageList::TImageList(int Width, int Height, QObject *Parent)
    : QObject(Parent)
    , FWidth(std::max(1, Width))
    , FHeight(std::max(1, Height))
{ }

void TImageList::SetSize(int Width, int Height)
{
    FWidth = std::max(1, Width);
    FHeight = std::max(1, Height);
    FImages.clear();
    emit Changed();
}

void TImageList::Clear()
{
    FImages.clear();
    emit Changed();
}

int TImageList::Add(const QImage &Image)
{
    QImage cell(FWidth, FHeight, QImage::Format_ARGB32_Premultiplied);
    cell.fill(Qt::transparent);
    QPainter painter(&cell);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, Image, 0, 0, std::min(FWidth, Image.width()), std::min(FHeight, Image.height()));
    painter.end();
    FImages.push_back(cell);
    emit Changed();
    return Count() - 1;
}

int TImageList::AddMasked(const QImage &Image, TColor MaskColor)
{
    QImage masked = Image.convertToFormat(QImage::Format_ARGB32);
    const QRgb mask = ToQRgb(MaskColor) & 0xFFFFFF;
    for (int y = 0; y < masked.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x)
            if ((row[x] & 0xFFFFFF) == mask)
                row[x] = 0;
    }
    return Add(masked);
}

QImage TImageList::Image(int Index) const
{
    if (Index < 0 || Index >= Count())
        return {};
    return FImages[std::size_t(Index)];
}

void TImageList::SetBkColor(TColor Value)
{
    if (FBkColor == Value)
        return;
    FBkColor = Value;
    emit Changed();
}

void TImageList::Draw(QPainter &Painter, int X, int Y, int Index, bool Enabled, TColor Blend) const
{
    if (Index < 0 || Index >= Count())
        return;
    QImage image = FImages[std::size_t(Index)];
    if (!Enabled)
        image = Greyed(image);
    if (Blend != CLR_NONE) {
        QPainter tint(&image);
        tint.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        tint.setOpacity(0.5);
        tint.fillRect(image.rect(), ToQColor(Blend == CLR_DEFAULT ? clHighlight : Blend));
    }
    Painter.drawImage(X, Y, image);
}
