#include "components/gui/PainterStateMark.h"

TPainterStateMark::TPainterStateMark(const QPainter &Canvas)
    : FFont(Canvas.font())
    , FPen(Canvas.pen())
    , FBrush(Canvas.brush())
    , FBackground(Canvas.background())
    , FTransform(Canvas.worldTransform())
    , FBrushOrigin(Canvas.brushOrigin())
    , FOpacity(Canvas.opacity())
    , FComposition(Canvas.compositionMode())
    , FHints(Canvas.renderHints())
    , FBackgroundMode(Canvas.backgroundMode())
    , FDirection(Canvas.layoutDirection())
{ }

void TPainterStateMark::Restore(QPainter &Canvas) const
{
    // Each part is compared first: setting even an equal font or pen costs a copy.
    if (!Canvas.font().isCopyOf(FFont))
        Canvas.setFont(FFont);
    if (Canvas.pen() != FPen)
        Canvas.setPen(FPen);
    if (Canvas.brush() != FBrush)
        Canvas.setBrush(FBrush);
    if (Canvas.background() != FBackground)
        Canvas.setBackground(FBackground);
    if (Canvas.worldTransform() != FTransform)
        Canvas.setWorldTransform(FTransform);
    if (Canvas.brushOrigin() != FBrushOrigin)
        Canvas.setBrushOrigin(FBrushOrigin);
    if (Canvas.opacity() != FOpacity)
        Canvas.setOpacity(FOpacity);
    if (Canvas.compositionMode() != FComposition)
        Canvas.setCompositionMode(FComposition);
    if (Canvas.renderHints() != FHints) {
        Canvas.setRenderHints(~FHints, false);
        Canvas.setRenderHints(FHints, true);
    }
    if (Canvas.backgroundMode() != FBackgroundMode)
        Canvas.setBackgroundMode(FBackgroundMode);
    if (Canvas.layoutDirection() != FDirection)
        Canvas.setLayoutDirection(FDirection);
    if (Canvas.hasClipping())
        Canvas.setClipping(false);
}
