#pragma once

#include <QCursor>

// The cursors of the windows by number: 0 the default arrow; 1 .. 9 "HAND_TIMER_1"
// .. "HAND_TIMER_9", a closed hand with a countdown face filling up; 10
// "HAND_OPEN", 11 "HAND_CLOSED", 12 "HAND_SWITCH" (an open hand with a double
// arrow); then the system's west-east sizing, four-way move and busy cursors.
enum TCursorId : int {
    crDefault = 0,
    crHandTimer1 = 1,
    crHandTimer9 = 9,
    crHandOpen = 10,
    crHandClosed = 11,
    crHandSwitch = 12,
    crSizeWE = 13,
    crSizeAll = 14,
    crHourGlass = 15,
};

// The cursor of a number; an unknown number gives the default arrow.
QCursor MakeCursor(int id);

// The application's screen cursor, which overrides every window's own: one slot,
// set or taken away, never stacked.
class TScreenCursor {
public:
    // crDefault takes the override away.
    static void Set(int id);
    static int Current();
};
