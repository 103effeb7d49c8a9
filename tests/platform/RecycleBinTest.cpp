#include "platform/RecycleBin.h"

#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A user whose data folder does not exist yet still gets the trash there, not a
// "files" folder wherever the program happens to run.
TEST(RecycleBin, AMissingDataFolderIsCreatedForTheTrash)
{
    QTemporaryDir dir;
    const QString home = dir.path() + "/not/yet/there";
    const testsupport::ScopedEnv dataHome("XDG_DATA_HOME", home.toLocal8Bit().constData());
    const QString oldCurrent = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QDir().mkpath(dir.path() + "/work");
    const QString file = dir.path() + "/work/Plan.kez";
    ASSERT_TRUE(testsupport::writeFile(file, "plan"));
    const platform::Status moved = platform::moveToRecycleBin(file);
    QDir::setCurrent(oldCurrent);
    ASSERT_TRUE(moved) << qPrintable(moved.reason());
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_TRUE(QFile::exists(home + "/Trash/files/Plan.kez"));
    EXPECT_FALSE(QFile::exists(dir.path() + "/files/Plan.kez"));
}
