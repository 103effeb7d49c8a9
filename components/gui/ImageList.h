#pragma once

#include "platform/gui/Color.h"

#include <QImage>
#include <QObject>
#include <vector>

class QPainter;

// Colour values of image lists: no colour, and the default colour (the
// highlight colour when an image is blended).
inline constexpr TColor CLR_NONE = 0xFFFFFFFF;
inline constexpr TColor CLR_DEFAULT = 0xFF000000;

// A colour as an image list takes it: clNone becomes CLR_NONE, clDefault
// CLR_DEFAULT, system colours their value.
TColor GetRGBColor(TColor Value);

// A list of equally sized images with transparency, drawn by index: the tree's
// check, state and node images and the header's images. Whoever draws from a
// list repaints on Changed.
class TImageList : public QObject {
    Q_OBJECT

public:
    explicit TImageList(int Width = 16, int Height = 16, QObject *Parent = nullptr);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int Count() const { return int(FImages.size()); }
    // A new size drops every image.
    void SetSize(int Width, int Height);
    void Clear();

    // Adds the top-left Width x Height part of Image (padded with transparency
    // when it is smaller) and returns its index.
    int Add(const QImage &Image);
    // The same with every pixel of MaskColor made transparent.
    int AddMasked(const QImage &Image, TColor MaskColor);
    // The image at Index (ARGB32 premultiplied), a null image for a bad index.
    QImage Image(int Index) const;

    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor Value);

    // Draws image Index with its top-left corner at (X, Y), greyed when not
    // Enabled; with a Blend colour (a GetRGBColor value) other than CLR_NONE
    // mixed half and half with that colour (CLR_DEFAULT: the highlight colour).
    // A bad index draws nothing.
    void Draw(QPainter &Painter, int X, int Y, int Index, bool Enabled = true, TColor Blend = CLR_NONE) const;

signals:
    void Changed();

private:
    int FWidth;
    int FHeight;
    TColor FBkColor = CLR_NONE;
    std::vector<QImage> FImages;
};
