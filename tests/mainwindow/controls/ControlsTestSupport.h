// Shared by the control tests: a pinned locale and a window whose keyboard focus
// moves as a user's would.
#pragma once

#include <QApplication>
#include <QLocale>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace controlstest {

// Completion compares in the user's locale; tests pin German.
class GermanLocale : public ::testing::Test {
protected:
    void SetUp() override
    {
        FPrevious = QLocale();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    void TearDown() override { QLocale::setDefault(FPrevious); }

private:
    QLocale FPrevious;
};

// Shows Window and makes it the active one, so focus changes reach its widgets.
inline bool ShowActive(QWidget &Window)
{
    Window.show();
    QApplication::setActiveWindow(&Window);
    return QTest::qWaitForWindowActive(&Window);
}

} // namespace controlstest
