#include "resources/Cursors.h"

#include "cursors/hand_closed.xpm"
#include "cursors/hand_open.xpm"
#include "cursors/hand_switch.xpm"
#include "cursors/hand_timer_1.xpm"
#include "cursors/hand_timer_2.xpm"
#include "cursors/hand_timer_3.xpm"
#include "cursors/hand_timer_4.xpm"
#include "cursors/hand_timer_5.xpm"
#include "cursors/hand_timer_6.xpm"
#include "cursors/hand_timer_7.xpm"
#include "cursors/hand_timer_8.xpm"
#include "cursors/hand_timer_9.xpm"

#include <QGuiApplication>
#include <QPixmap>

namespace {

// Where the hands point: the middle of the palm.
constexpr int HotSpot = 15;

int ScreenCursorId = crDefault;

const char *const *HandImage(int id)
{
    static const char *const *const timers[]
        = { hand_timer_1_xpm, hand_timer_2_xpm, hand_timer_3_xpm, hand_timer_4_xpm, hand_timer_5_xpm,
              hand_timer_6_xpm, hand_timer_7_xpm, hand_timer_8_xpm, hand_timer_9_xpm };
    if (id >= crHandTimer1 && id <= crHandTimer9)
        return timers[id - crHandTimer1];
    switch (id) {
    case crHandOpen:
        return hand_open_xpm;
    case crHandClosed:
        return hand_closed_xpm;
    case crHandSwitch:
        return hand_switch_xpm;
    default:
        return nullptr;
    }
}

} // namespace

QCursor MakeCursor(int id)
{
    if (const char *const *image = HandImage(id))
        return QCursor(QPixmap(image), HotSpot, HotSpot);
    switch (id) {
    case crSizeWE:
        return QCursor(Qt::SizeHorCursor);
    case crSizeAll:
        return QCursor(Qt::SizeAllCursor);
    case crHourGlass:
        return QCursor(Qt::WaitCursor);
    default:
        return QCursor(Qt::ArrowCursor);
    }
}

void TScreenCursor::Set(int id)
{
    if (id == ScreenCursorId)
        return;
    if (id == crDefault) {
        QGuiApplication::restoreOverrideCursor();
    } else if (ScreenCursorId == crDefault) {
        QGuiApplication::setOverrideCursor(MakeCursor(id));
    } else {
        QGuiApplication::changeOverrideCursor(MakeCursor(id));
    }
    ScreenCursorId = id;
}

int TScreenCursor::Current()
{
    return ScreenCursorId;
}
