#pragma once

#include <QBrush>
#include <QFont>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QTransform>

// The parts of a painter's state a handler may set, noted before it runs and put
// back afterwards where it changed them: a much cheaper bracket than save() and
// restore() around a call that almost never changes anything. Not covered: a
// clip region changed while clipping was already on (Covers() says so), and
// saves a handler leaves unbalanced.
class TPainterStateMark {
public:
    explicit TPainterStateMark(const QPainter &Canvas);

    // Whether putting back restores all a handler may have changed on Canvas.
    static bool Covers(const QPainter &Canvas) { return !Canvas.hasClipping(); }
    // Puts back on Canvas what differs from the noted state.
    void Restore(QPainter &Canvas) const;

private:
    QFont FFont;
    QPen FPen;
    QBrush FBrush;
    QBrush FBackground;
    QTransform FTransform;
    QPoint FBrushOrigin;
    qreal FOpacity = 1;
    QPainter::CompositionMode FComposition = QPainter::CompositionMode_SourceOver;
    QPainter::RenderHints FHints;
    Qt::BGMode FBackgroundMode = Qt::TransparentMode;
    Qt::LayoutDirection FDirection = Qt::LeftToRight;
};
