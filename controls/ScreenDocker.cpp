#include "controls/ScreenDocker.h"

#include "controls/ControlErrors.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <array>
#include <cstdlib>

namespace {

// The pull that puts Edge of R onto the same edge of Area.
int PullOnto(TScreenEdge Edge, const TRect &R, const TRect &Area)
{
    switch (Edge) {
    case seLeft:
        return Area.Left - R.Left;
    case seTop:
        return Area.Top - R.Top;
    case seRight:
        return Area.Right - R.Right;
    case seBottom:
        return Area.Bottom - R.Bottom;
    }
    return 0;
}

bool Horizontal(TScreenEdge Edge)
{
    return Edge == seLeft || Edge == seRight;
}

// Wayland leaves placing windows to the compositor.
bool CanPlaceWindows()
{
    return !QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

} // namespace

TDockResult DockToEdges(
    const TRect &Proposed, const TRect &Area, TScreenEdges DockableTo, int DockDistance, QPoint Delta)
{
    const TRect own = OffsetRect(Proposed, -Delta.x(), -Delta.y());
    TDockResult result;
    result.Rect = own;
    for (TScreenEdge edge : std::array { seLeft, seTop, seRight, seBottom }) {
        if (!DockableTo.testFlag(edge))
            continue;
        const int pull = PullOnto(edge, result.Rect, Area);
        if (std::abs(pull) > DockDistance)
            continue;
        result.Rect = Horizontal(edge) ? OffsetRect(result.Rect, pull, 0) : OffsetRect(result.Rect, 0, pull);
        result.Edges.append(edge);
    }
    result.Delta = QPoint(result.Rect.Left - own.Left, result.Rect.Top - own.Top);
    return result;
}

TScreenDocker::TScreenDocker(QWidget *OwnerForm)
    : FOwnerForm(OwnerForm)
{
    if (!OwnerForm || !OwnerForm->isWindow())
        throw EControlError(QStringLiteral("TScreenDocker can only be placed on a TForm."));
    if (!OwnerForm->findChildren<TScreenDocker *>(Qt::FindDirectChildrenOnly).isEmpty())
        throw EControlError(QStringLiteral("Only one instance of TScreenDocker is allowed per form."));
    setParent(OwnerForm);
    OwnerForm->installEventFilter(this);
}

TScreenDocker::~TScreenDocker()
{
    FOwnerForm->removeEventFilter(this);
}

bool TScreenDocker::eventFilter(QObject *Watched, QEvent *Event)
{
    if (Watched == FOwnerForm && Event->type() == QEvent::Move)
        Moving();
    return false;
}

void TScreenDocker::Moving()
{
    const QRect frame = FOwnerForm->frameGeometry();
    if (FPlacedAt) {
        const bool ours = *FPlacedAt == frame.topLeft();
        FPlacedAt.reset();
        if (ours)
            return;
    }
    if (!FActive || !FOwnerForm->isVisible() || !CanPlaceWindows())
        return;
    const QScreen *screen = FOwnerForm->screen();
    if (!screen)
        return;
    const QRect area = FDockArea == daScreen ? screen->geometry() : screen->availableGeometry();
    const TDockResult docked
        = DockToEdges(FromQRect(frame), FromQRect(area), FDockableTo, FDockDistance, FDelta);
    FDelta = docked.Delta;
    if (docked.Rect.TopLeft() != frame.topLeft()) {
        FPlacedAt = docked.Rect.TopLeft();
        FOwnerForm->move(docked.Rect.TopLeft());
    }
    for (TScreenEdge edge : docked.Edges)
        emit Docked(edge);
}
