// Driving windows that run their own event loop (modal dialogs) and the buttons in
// them, with real events.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace testsupport {

// Runs `step` once a modal window of type T is up (the event loop may turn before the
// click that opens it is complete); a failure when none comes.
template <typename T> void WhenModal(std::function<void(T *)> step, int tries = 200)
{
    QTimer::singleShot(10, [step = std::move(step), tries]() mutable {
        if (auto *window = qobject_cast<T *>(QApplication::activeModalWidget()))
            step(window);
        else if (tries > 0)
            WhenModal<T>(std::move(step), tries - 1);
        else
            ADD_FAILURE() << "window not shown";
    });
}

// A click near the left edge: a radio button or check box takes clicks on its mark
// and its text only, and a layout may make it wider than those.
inline void ClickMark(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

} // namespace testsupport
