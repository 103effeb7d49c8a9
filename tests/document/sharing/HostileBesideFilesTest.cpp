// Files in the sharing folder larger than any plan, or than the sharing limits
// allow: the worker refuses them before unpacking them or building their tree,
// the user hears of each once, and the document is never copied whole when it
// is larger than a plan can be.
#include "tests/document/sharing/SharingTestSupport.h"
#include "tests/support/HostileEntries.h"

#include <QFileInfo>

TEST(HostileBesideFiles, AWorkingCopyStatingMoreThanAPlanIsRefusedByTheWorkerAndToldOnce)
{
    SharedFolder folder;
    QDir().mkpath(folder.workingDir());
    // A few kilobytes that state 4 GB and would unpack to half a gigabyte.
    SharedFolder::write(folder.workingDir() + "Plan.kez", hostile::compressedBomb(0xFFFFFFFFu, 16'000));
    SharingInstance anna(folder.path, "pc.anna");
    folder.writeDiff("pc.fair.1.diff", 1, newRecord("f.1", 1, "pc.fair"));
    anna.sync();
    EXPECT_EQ(anna.watcher->TakeRefused(), QStringList({ "Plan.kez" }));
    EXPECT_NE(anna.row("f.1"), nullptr);
    anna.sync();
    EXPECT_TRUE(anna.watcher->TakeRefused().isEmpty());
}

TEST(HostileBesideFiles, ElementsBeyondTheLimitAreRefusedBeforeTheTreeIsBuilt)
{
    SharedFolder folder;
    SharingInstance anna(folder.path, "pc.anna");
    TSharingLimits limits;
    limits.elements = 100;
    anna.watcher->SetLimits(limits);
    // Elements outside the records cost as much memory as any.
    SharedFolder::write(folder.workingDir() + "pc.junk.1.diff",
        ("<document><setup />" + QString("<x/>").repeated(100) + "<data /><diff index=\"1\">"
            + newRecord("j.1", 1, "pc.junk") + "</diff></document>")
            .toLatin1());
    folder.writeDiff("pc.fair.1.diff", 1, newRecord("f.1", 1, "pc.fair"));
    anna.sync();
    EXPECT_EQ(anna.row("j.1"), nullptr);
    EXPECT_NE(anna.row("f.1"), nullptr);
    EXPECT_EQ(anna.watcher->TakeRefused(), QStringList({ "pc.junk.1.diff" }));
    anna.sync();
    EXPECT_TRUE(anna.watcher->TakeRefused().isEmpty());
}

TEST(HostileBesideFiles, ADocumentLargerThanAPlanIsNotCopiedIntoTheSharingFolder)
{
    SharedFolder folder;
    QFile::remove(folder.path);
    hostile::makeSparse(folder.path, qint64(2) << 30);
    SharingInstance anna(folder.path, "pc.anna");
    anna.sync();
    EXPECT_FALSE(QFileInfo::exists(folder.workingDir() + "Plan.kez"));
}
