// Shared by the control tests: a pinned locale and a window whose keyboard focus
// moves as a user's would.
#pragma once

#include "controls/DropDown.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QLocale>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
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

// Runs Open, which opens Popup and runs its loop, and Action in that loop once
// the popup has rolled in (at once without AwaitShown). A popup still open after
// five seconds is closed so that a failing test ends.
inline void WhileRolledDown(TfmDropDown &Popup, const std::function<void()> &Open,
    std::function<void()> Action, bool AwaitShown = true)
{
    QTimer::singleShot(0, &Popup, [&Popup, Action, AwaitShown] {
        if (AwaitShown) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return Popup.DropDownState() == ddsShown; }));
        }
        Action();
    });
    QTimer safety;
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, &Popup, [&Popup] {
        ADD_FAILURE() << "the popup did not close";
        Popup.CloseDropDown();
    });
    safety.start(5000);
    Open();
}

// Clicks day Day (15..21, which the month grid shows once) of the shown month.
inline void ClickDay(QCalendarWidget &Calendar, int Day)
{
    auto *grid = Calendar.findChild<QTableView *>();
    ASSERT_NE(grid, nullptr);
    const QAbstractItemModel *model = grid->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        for (int column = 0; column < model->columnCount(); ++column) {
            const QModelIndex cell = model->index(row, column);
            if (model->data(cell).toString() == QString::number(Day)) {
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
                return;
            }
        }
    }
    ADD_FAILURE() << "no day " << Day;
}

} // namespace controlstest
