#pragma once

#include "platform/gui/Color.h"
#include "platform/gui/Rect.h"

#include <QImage>
#include <QPoint>
#include <cstdint>
#include <memory>

class QWidget;

enum TGTDragMoveRestriction { dmrNone, dmrHorizontalOnly, dmrVerticalOnly };

// An image that follows the mouse across a widget while something is dragged,
// blended into what lies under it: prepared with a pre-blend bias and a radial
// alpha channel, shown with a constant transparency (master alpha with Fade or
// a colour key) and a post-blend bias. It is drawn by a child window of the
// widget over a capture of the widget's own painting under it.
class TGTDragImage {
public:
    explicit TGTDragImage(QWidget &Owner);
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

    // Takes Image to be shown with its top-left corner at ImagePosition (owner
    // coordinates) while the mouse, now at HotSpot, moves.
    void PrepareDrag(const QImage &Image, QPoint ImagePosition, QPoint HotSpot);
    // Moves the image with the mouse (within the move restriction) and shows it
    // anew; true when it moved or ForceRepaint.
    bool DragTo(QPoint P, bool ForceRepaint = false);
    void ShowDragImage();
    void HideDragImage();
    void EndDrag();
    bool Visible() const;
    bool InDrag() const { return FInDrag; }
    // Where the image is, in owner coordinates.
    TRect GetDragImageRect() const;

    // Alpha 255 at the centre falling off as e^(-8 d) with the distance d from
    // it (in units of the larger side); pixels of ColorKey get alpha 0.
    static void MakeAlphaChannel(QImage &Image, TColor ColorKey);

private:
    class TImageWindow;
    // Captures the owner's painting under the image, blends, shows.
    void InternalShowDragImage();

    QWidget &FOwner;
    std::unique_ptr<TImageWindow> FWindow;
    QImage FDragImage;
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
};
