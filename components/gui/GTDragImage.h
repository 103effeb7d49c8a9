#pragma once

#include "platform/gui/Color.h"
#include "platform/gui/Rect.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <cstdint>
#include <functional>
#include <memory>

class QPainter;
class QWidget;

enum TGTDragMoveRestriction { dmrNone, dmrHorizontalOnly, dmrVerticalOnly };

// What a drag image is drawn on: pixels it reads before covering them and
// writes back when it moves on. A screen would be one; a widget and an image
// are what this program draws on.
class TGTDragSurface {
public:
    virtual ~TGTDragSurface() = default;
    // The pixels shown in R (surface coordinates).
    virtual QImage Capture(const QRect &R) = 0;
    // Shows Image with its top-left corner at Position.
    virtual void Put(const QImage &Image, QPoint Position) = 0;
    // Puts back what lay under the image there.
    virtual void Restore(const QImage &Background, QPoint Position) { Put(Background, Position); }
    // The pixels under the image change without the image being told (a
    // widget repainting itself): the image reads them anew whenever it moves.
    virtual bool Volatile() const { return false; }
};

// A surface over an image (every pixel read and written for real).
class TGTImageSurface : public TGTDragSurface {
public:
    explicit TGTImageSurface(QImage &Image)
        : FImage(Image)
    { }
    QImage Capture(const QRect &R) override;
    void Put(const QImage &Image, QPoint Position) override;

private:
    QImage &FImage;
};

// The rectangles of a move of a drag image of Width x Height by (DeltaX,
// DeltaY) pixels (the new position less the old), each in image coordinates:
// Clip the whole image; Scroll the part of the saved background that stays
// under the image (old image coordinates; it lands at Scroll moved by minus the
// move); Sample1/Sample2 the strips of the new position not covered before,
// read from the surface (new image coordinates); Draw1/Draw2 the strips of the
// old position no longer covered, restored from the saved background (old
// image coordinates). Sample1 and Draw1 are vertical strips as wide as the
// horizontal move, Sample2 and Draw2 horizontal strips as high as the
// vertical move; empty where the move has no such part.
struct TDragRectangles {
    QRect Clip;
    QRect Scroll;
    QRect Sample1;
    QRect Sample2;
    QRect Draw1;
    QRect Draw2;
};
TDragRectangles FillDragRectangles(int Width, int Height, int DeltaX, int DeltaY);

// An image that follows the mouse while something is dragged, blended into
// what lies under it: prepared with a pre-blend bias and a radial alpha
// channel, shown with a constant transparency (master alpha with Fade or a
// colour key) and a post-blend bias. It keeps what it covers and, moving a
// little, restores only the strips it uncovers and reads only those it newly
// covers.
class TGTDragImage {
public:
    // Drawn over Owner's own painting.
    explicit TGTDragImage(QWidget &Owner);
    explicit TGTDragImage(std::unique_ptr<TGTDragSurface> Surface);
    ~TGTDragImage();
    TGTDragImage(const TGTDragImage &) = delete;
    TGTDragImage &operator=(const TGTDragImage &) = delete;

    uint8_t Transparency() const { return FTransparency; }
    void SetTransparency(uint8_t Value) { FTransparency = Value; }
    int PreBlendBias() const { return FPreBlendBias; }
    void SetPreBlendBias(int Value) { FPreBlendBias = Value; }
    int PostBlendBias() const { return FPostBlendBias; }
    void SetPostBlendBias(int Value) { FPostBlendBias = Value; }
    bool Fade() const { return FFade; }
    void SetFade(bool Value) { FFade = Value; }
    TGTDragMoveRestriction MoveRestriction() const { return FRestriction; }
    void SetMoveRestriction(TGTDragMoveRestriction Value) { FRestriction = Value; }
    // Pixels of this colour are fully transparent (clNone: none).
    TColor ColorKey() const { return FColorKey; }
    void SetColorKey(TColor Value) { FColorKey = Value; }
    // The drag's data travels through the system, which shows the image
    // itself: this one is not drawn.
    bool SystemSupport() const { return FSystemSupport; }

    // Takes Image to be shown with its top-left corner at ImagePosition
    // (surface coordinates) while the mouse, now at HotSpot, moves. With
    // SystemDrag the system shows the image (SystemImage() hands it over).
    void PrepareDrag(const QImage &Image, QPoint ImagePosition, QPoint HotSpot, bool SystemDrag = false);
    // The prepared image with its alpha channel (for the system to show).
    const QImage &SystemImage() const { return FDragImage; }
    // Moves the image with the mouse (within the move restriction) and shows
    // it anew; true when it moved or ForceRepaint.
    bool DragTo(QPoint P, bool ForceRepaint = false);
    // Whether DragTo(P) would move a visible image.
    bool WillMove(QPoint P) const;
    void ShowDragImage();
    void HideDragImage();
    void EndDrag();
    bool Visible() const;
    bool InDrag() const { return FInDrag; }
    // Where the image is (surface coordinates), empty while it is not visible.
    TRect GetDragImageRect() const;
    // The part R of the surface (surface coordinates) under the visible image
    // is painted anew by PaintArea (which draws that area of the surface with
    // its top-left corner at the painter's origin) into the saved background;
    // with ReshowDragImage the image is shown again over it.
    void RecaptureBackground(const std::function<void(QPainter &, const QRect &)> &PaintArea, const QRect &R,
        bool ReshowDragImage);

    // Alpha 255 at the centre falling off as e^(-8 d) with the distance d from
    // it (in units of the larger side); pixels of ColorKey get alpha 0.
    static void MakeAlphaChannel(QImage &Image, TColor ColorKey);

private:
    // Blends the image onto the saved background and puts it on the surface.
    void InternalShowDragImage();
    QPoint Move(QPoint P) const;

    std::unique_ptr<TGTDragSurface> FSurface;
    QImage FDragImage;
    // What the image covers (FBackImage) and the blend of both (FAlphaImage).
    QImage FBackImage;
    QImage FAlphaImage;
    QPoint FImagePosition;
    QPoint FLastPosition;
    uint8_t FTransparency = 128;
    int FPreBlendBias = 0;
    int FPostBlendBias = 0;
    bool FFade = false;
    TGTDragMoveRestriction FRestriction = dmrNone;
    TColor FColorKey = clNone;
    bool FInDrag = false;
    bool FPrepared = false;
    bool FHidden = true;
    bool FSystemSupport = false;
};
