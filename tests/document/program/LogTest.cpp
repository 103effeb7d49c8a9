#include "document/program/Log.h"

#include "document/calendar/DateTime.h"
#include "tests/support/TestFiles.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

TEST(Log, AppendsDatedLinesFromManyThreads)
{
    FormatSettings() = TFormatSettings {};
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const testsupport::ScopedEnv home("XDG_DATA_HOME", dir.path().toLocal8Bit().constData());

    EXPECT_EQ(LogFilePath(), dir.path() + "/kez/kez.log");
    Log("first");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 50; ++i)
                Log(QStringLiteral("thread %1 line %2").arg(t).arg(i));
        });
    }
    for (std::thread &t : threads)
        t.join();

    const QStringList lines = QString::fromUtf8(testsupport::readFile(dir.path() + "/kez/kez.log"))
                                  .split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 201);
    // German test formats: the date, the time unless it is midnight, " - ", the text.
    const QRegularExpression form(
        "^\\d\\d\\.\\d\\d\\.\\d{4}( \\d\\d:\\d\\d:\\d\\d)? - (first|thread \\d line \\d+)$");
    for (const QString &line : lines)
        ASSERT_TRUE(form.match(line).hasMatch()) << line.toStdString();
    EXPECT_TRUE(lines.front().endsWith(" - first"));
}
