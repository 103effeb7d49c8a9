// The archive file beside a shared document, as another user of the folder may
// have left it: a link to a private file of the user's, a pipe, a device. The
// archive neither reads nor writes through them, and no task leaves the table.
#include "dialogs/misc/Archive.h"
#include "document/DocumentTable.h"
#include "tests/support/HostileEntries.h"
#include "tests/timechart/ChartTestSupport.h"

#include <QTemporaryDir>

using charttest::Day;

namespace {

class ArchiveFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixture.SetPositions({ charttest::PositionItem("A") });
        fixture.AddTask(QStringLiteral("A"), QStringLiteral("04.03.2024"), QStringLiteral("2"));
        fixture.AddTask(QStringLiteral("A"), QStringLiteral("07.03.2024"), QStringLiteral("2"));
    }
    int Rows()
    {
        int rows = 0;
        doc.ForEach(tbTable, feAll, [&](TNodeData &) { ++rows; });
        return rows;
    }

    QTemporaryDir share, home;
    const QString archive = share.filePath(QStringLiteral("Plan.archiv"));
    charttest::ChartFixture fixture;
    Document &doc = *fixture.doc;
};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST_F(ArchiveFileTest, ALinkToAPrivateFileIsNotCopiedIntoTheShare)
{
    const QString secret = home.filePath(QStringLiteral("credentials"));
    const QByteArray secretText = "[default]\naws_secret_access_key=abc123\n";
    {
        QFile file(secret);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(secretText);
    }
    hostile::makeLink(secret, archive);

    const TArchiveResult result = ArchiveTasks(doc, Day(2024, 3, 31), archive, false);
    EXPECT_FALSE(result.Ok);
    EXPECT_FALSE(result.Error.isEmpty());
    EXPECT_EQ(Rows(), 2);
    EXPECT_TRUE(hostile::isLink(archive));
    EXPECT_EQ(readAll(secret), secretText);
    const TArchiveContents contents = ReadArchive(archive);
    EXPECT_FALSE(contents.Ok);
    EXPECT_TRUE(contents.Entries.empty());
}

TEST_F(ArchiveFileTest, APipeOrADeviceIsNeitherWaitedOnNorWrittenThrough)
{
    hostile::makeFifo(archive);
    const QString zero = share.filePath(QStringLiteral("Zero.archiv"));
    hostile::makeLink(QStringLiteral("/dev/zero"), zero);
    {
        const hostile::PipeWatchdog watchdog(archive);
        for (const QString &name : { archive, zero }) {
            EXPECT_FALSE(ReadArchive(name).Ok);
            EXPECT_FALSE(RestoreEntries(doc, { TArchivedEntry {} }, name, false).Ok);
            EXPECT_FALSE(ArchiveTasks(doc, Day(2024, 3, 31), name, false).Ok);
        }
        EXPECT_FALSE(watchdog.ReaderSeen());
    }
    EXPECT_EQ(Rows(), 2);
    EXPECT_TRUE(hostile::isLink(zero));
}
