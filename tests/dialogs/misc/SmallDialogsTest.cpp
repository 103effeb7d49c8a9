// The new-entry, go-to and start-up dialogs as a user meets them.
#include "dialogs/misc/GotoDialog.h"
#include "dialogs/misc/NewEntryDialog.h"
#include "dialogs/misc/SplashForm.h"
#include "document/program/Utils.h"
#include "tests/support/PixelTest.h"
#include "tests/support/TextsFit.h"

#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

TEST(NewEntryDialog, EachTableButtonAcceptsAndSetsTheTable)
{
    TNewEntryDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("new Task"));
    dialog.LabelBegin()->setText(QStringLiteral("04.03.2024"));
    dialog.show();
    QTest::mouseClick(dialog.Button2(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.table(), tbExclude);

    dialog.show();
    QTest::mouseClick(dialog.Button1(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.table(), tbTable);

    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("Button3")), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

// The End label shows the end of the table whose button is the default, and the
// other table's end while the user is at that table's button.
TEST(NewEntryDialog, TheEndShownIsThatOfTheTableAtHand)
{
    TNewEntryDialog dialog;
    dialog.SetEnds(QStringLiteral("05.01.2024"), QStringLiteral("07.01.2024"), tbTable);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_TRUE(dialog.Button1()->isDefault());
    EXPECT_EQ(dialog.LabelEnd()->text(), QStringLiteral("05.01.2024"));
    dialog.Button2()->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(dialog.LabelEnd()->text(), QStringLiteral("07.01.2024"));
    dialog.Button1()->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(dialog.LabelEnd()->text(), QStringLiteral("05.01.2024"));

    TNewEntryDialog absent;
    absent.SetEnds(QStringLiteral("05.01.2024"), QStringLiteral("07.01.2024"), tbExclude);
    EXPECT_TRUE(absent.Button2()->isDefault());
    EXPECT_EQ(absent.LabelEnd()->text(), QStringLiteral("07.01.2024"));
}

TEST(GotoDialog, ThePickerShowsTheDayInTheUsersFormatAndGivesItBack)
{
    TGotoDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("goto Date"));
    dialog.SetDate(EncodeDate(2024, 2, 28) + 0.75); // the chart's start, at 18:00
    EXPECT_EQ(dialog.DateTimePicker1()->text(), QStringLiteral("28.02.2024"));
    dialog.show();
    dialog.DateTimePicker1()->setFocus();
    QTest::keyClick(dialog.DateTimePicker1(), Qt::Key_Up); // the day: into the leap day
    QTest::keyClick(dialog.DateTimePicker1(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Date(), EncodeDate(2024, 2, 29));
}

// At a larger font, and with the longer texts of a translation set after it was
// made, the dialog shows its picker and buttons whole.
TEST(GotoDialog, EveryTextShowsWholeAtALargerFontAndInALongerLanguage)
{
    TGotoDialog dialog;
    testsupport::EnlargeWindowFont(dialog);
    dialog.findChild<QPushButton *>(QStringLiteral("Button2"))
        ->setText(QStringLiteral("Abbrechen und zurück"));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    testsupport::SavePng(dialog.grab().toImage(), QStringLiteral("goto_dialog_large_font"));
    EXPECT_EQ(testsupport::CutTexts(dialog), QStringList());
    EXPECT_GE(dialog.width(), 240 * 14 / 10) << "the designed width grows with the font";
}

TEST(SplashForm, AFramelessWindowOnTopWithTheVersionHiddenByItsTimer)
{
    TSplashForm splash;
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(splash.windowFlags() & Qt::WindowStaysOnTopHint);
    QWidget mainForm;
    mainForm.setGeometry(100, 120, 800, 600);
    mainForm.show();
    splash.SetMainForm(&mainForm);
    splash.FormCreate();
    ASSERT_TRUE(splash.isVisible());
    EXPECT_EQ(splash.frameGeometry().center(), mainForm.frameGeometry().center());

    EXPECT_EQ(splash.VersionLabel()->text(), QStringLiteral("Version ") + GetFileVersion());
    EXPECT_EQ(splash.Shape(1)->width(), splash.VersionLabel()->width() + 5);
    EXPECT_EQ(splash.Shape(1)->height(), splash.VersionLabel()->height() + 1);
    EXPECT_EQ(splash.Shape(0)->width(), splash.findChild<QLabel *>(QStringLiteral("Label1"))->width() + 5);

    EXPECT_EQ(splash.Timer().interval(), 2000);
    splash.StartTimer();
    QCoreApplication::processEvents();
    EXPECT_TRUE(splash.isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !splash.isVisible(); }, 5000));
    EXPECT_FALSE(splash.Timer().isActive());
    EXPECT_TRUE(splash.StatusLabel()->text().isEmpty()); // start-up is over

    // Shown again as the information box, a click closes it.
    splash.show();
    QTest::mouseClick(&splash, Qt::LeftButton);
    EXPECT_FALSE(splash.isVisible());
}
