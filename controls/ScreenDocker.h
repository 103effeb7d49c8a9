#pragma once

#include "platform/gui/Rect.h"

#include <QFlags>
#include <QList>
#include <QObject>
#include <QPoint>
#include <optional>

class QWidget;

enum TScreenEdge { seLeft = 0x1, seTop = 0x2, seRight = 0x4, seBottom = 0x8 };
Q_DECLARE_FLAGS(TScreenEdges, TScreenEdge)
Q_DECLARE_OPERATORS_FOR_FLAGS(TScreenEdges)

// daScreen: the whole screen; daWorkArea: the screen without panels and task bars.
enum TDockArea { daScreen, daWorkArea };

struct TDockResult {
    TRect Rect; // where the window goes
    QPoint Delta; // how far it was pulled onto edges, per axis
    QList<TScreenEdge> Edges; // the edges it snapped to, in the order checked
    bool Snapped() const { return !Edges.isEmpty(); }
};

// Snaps a window that a move proposes to place at Proposed onto the edges of Area.
// Delta is the pull of the previous move: the window's own place is Proposed moved
// back by it. Every edge in DockableTo that lies within DockDistance pixels of
// the area's edge (inside or outside) puts the window flush with it; an axis
// without a snap gets no pull, so moving on beyond the distance releases it.
TDockResult DockToEdges(
    const TRect &Proposed, const TRect &Area, TScreenEdges DockableTo, int DockDistance, QPoint Delta);

// Makes a window snap to the screen's edges while it is moved. One per window; it
// lives as the window's child. Where the platform lets programs place windows only.
class TScreenDocker : public QObject {
    Q_OBJECT
public:
    // OwnerForm must be a window without a docker yet (else EControlError).
    explicit TScreenDocker(QWidget *OwnerForm);
    ~TScreenDocker() override;

    bool Active() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }
    TScreenEdges DockableTo() const { return FDockableTo; }
    void SetDockableTo(TScreenEdges Value) { FDockableTo = Value; }
    TDockArea DockArea() const { return FDockArea; }
    void SetDockArea(TDockArea Value) { FDockArea = Value; }
    int DockDistance() const { return FDockDistance; }
    void SetDockDistance(int Value) { FDockDistance = Value; }
    QPoint Delta() const { return FDelta; }

signals:
    void Docked(TScreenEdge Edge);

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    void Moving();

    QWidget *FOwnerForm;
    bool FActive = true;
    TScreenEdges FDockableTo = seLeft | seTop | seRight | seBottom;
    TDockArea FDockArea = daWorkArea;
    int FDockDistance = 10;
    QPoint FDelta;
    // Where the docker itself put the window: that move is not the user's.
    std::optional<QPoint> FPlacedAt;
};
