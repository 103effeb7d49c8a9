// The autofill table's file lies beside a shared document: only a plain file of
// its own, of a bounded size, is read; a pipe is never waited on.
#include "document/text/CSVData.h"
#include "tests/support/HostileEntries.h"

#include <QTemporaryDir>

TEST(CSVDataFile, OnlyAPlainFileOfItsOwnWithinTheLimitIsRead)
{
    QTemporaryDir share, home;
    const QString own = home.filePath("contacts.csv");
    {
        QFile file(own);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Name;Phone\nanna;123\n");
    }
    TCSVData csv;
    ASSERT_TRUE(csv.LoadFromFile(own));
    EXPECT_EQ(csv.GetCell(1, 1), "123");

    const QString pipe = share.filePath("Pipe.autofill");
    hostile::makeFifo(pipe);
    hostile::makeLink("/dev/zero", share.filePath("Zero.autofill"));
    hostile::makeLink(own, share.filePath("Link.autofill"));
    hostile::makeSparse(share.filePath("Huge.autofill"), TCSVData::MaxFileBytes + 1);
    const hostile::PipeWatchdog watchdog(pipe);
    for (const char *name : { "Pipe.autofill", "Zero.autofill", "Link.autofill", "Huge.autofill" }) {
        const platform::OpenStatus read = csv.LoadFromFile(share.filePath(name));
        EXPECT_FALSE(read) << name;
        EXPECT_TRUE(read.reason().contains(name)) << name << ": " << read.reason().toStdString();
        EXPECT_NE(read.code(), platform::ReadFailure::Missing) << name;
        EXPECT_EQ(csv.GetRows(), 0) << name;
    }
    EXPECT_FALSE(watchdog.ReaderSeen());

    const platform::OpenStatus missing = csv.LoadFromFile(share.filePath("Missing.autofill"));
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.code(), platform::ReadFailure::Missing);
}
