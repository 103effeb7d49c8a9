// What anyone who can write the share may put into the sharing folder: links to
// folders and files elsewhere, and files far beyond what a document holds. Every
// instance passes them over (and logs them) and goes on sharing with the others.
#include "document/program/Log.h"
#include "tests/document/sharing/SharingTestSupport.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

const QString kComment = "<Comment>%1</Comment>";

QString logSince(qint64 from)
{
    QFile log(LogFilePath());
    if (!log.open(QIODevice::ReadOnly))
        return QString();
    log.seek(from);
    return QString::fromUtf8(log.readAll());
}

qint64 logSize()
{
    return QFileInfo(LogFilePath()).size();
}

// A folder outside the share that only the attacker's victims can reach.
struct Elsewhere {
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.path() + "/" + name; }
    QStringList entries() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
};

} // namespace

TEST(HostileFiles, ALinkedWorkingFolderIsPassedOverAndNothingIsWrittenThrough)
{
    SharedFolder folder;
    SharingInstance anna(folder.path, "pc.anna");
    anna.doc->SetData(anna.doc->AddNode("a.1", tbTable, true), 5, "from anna");
    anna.sync();

    // Folder 7 leads elsewhere, to another plan and records of its own.
    Elsewhere other;
    SharedFolder::write(other.path("Plan.kez"), TXMLFile::DefaultText().toLatin1());
    SharedFolder::write(other.path("pc.mallory.1.diff"),
        ("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><document><setup /><data /><diff index=\"2\">"
            + newRecord("m.1", 1, "pc.mallory")
            + changeRecord("m.1", 2, 1, "pc.mallory", kComment.arg("bait")) + "</diff></document>")
            .toLatin1());
    const QStringList before = other.entries();
    const qint64 logged = logSize();
    ASSERT_TRUE(QFile::link(other.dir.path(), folder.dir.path() + "/.kez/Plan.kez/7"));

    SharingInstance bert(folder.path, "pc.bert");
    bert.doc->SetData(bert.doc->AddNode("b.1", tbTable, true), 5, "from bert");
    for (int round = 0; round < 2; ++round) {
        anna.watcher->UpdatePending();
        anna.sync();
        bert.sync();
    }
    for (SharingInstance *instance : { &anna, &bert }) {
        EXPECT_EQ(instance->watcher->WorkingDirName(), "0");
        EXPECT_EQ(instance->row("m.1"), nullptr);
        EXPECT_EQ(instance->cell("a.1", 5), "from anna");
        EXPECT_EQ(instance->cell("b.1", 5), "from bert");
    }
    EXPECT_EQ(other.entries(), before);
    EXPECT_TRUE(logSince(logged).contains("/.kez/Plan.kez/7 is ignored"));
}

// The sharing folder itself, or the document's folder in it, made a link by
// another user: nothing is read or written through it, and the instance says so.
TEST(HostileFiles, ALinkedSharingFolderIsNotUsedAtAll)
{
    for (const QString &linked : { QString("/.kez"), QString("/.kez/Plan.kez") }) {
        SCOPED_TRACE(linked.toStdString());
        SharedFolder folder;
        Elsewhere other;
        ASSERT_TRUE(QDir().mkpath(other.path("0")));
        SharedFolder::write(other.path("0/Plan.kez"), TXMLFile::DefaultText().toLatin1());
        SharedFolder::write(other.path("0/pc.mallory.1.diff"),
            ("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><document><setup /><data /><diff index=\"1\">"
                + newRecord("m.1", 1, "pc.mallory") + "</diff></document>")
                .toLatin1());
        if (linked.count('/') > 1) {
            ASSERT_TRUE(QDir().mkpath(folder.dir.path() + "/.kez"));
        }
        ASSERT_TRUE(QFile::link(other.dir.path(), folder.dir.path() + linked));
        const QStringList before = QDir(other.path("0")).entryList(QDir::Files | QDir::Hidden);

        SharingInstance bert(folder.path, "pc.bert");
        EXPECT_TRUE(bert.watcher->Error());
        EXPECT_TRUE(bert.watcher->ErrorText().contains("is not a folder of its own"));
        bert.doc->SetData(bert.doc->AddNode("b.1", tbTable, true), 5, "from bert");
        bert.sync();
        EXPECT_EQ(bert.row("m.1"), nullptr);
        EXPECT_EQ(bert.cell("b.1", 5), "from bert");
        EXPECT_EQ(QDir(other.path("0")).entryList(QDir::Files | QDir::Hidden), before);
        EXPECT_EQ(QDir(other.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList { "0" });
    }
}

TEST(HostileFiles, LinkedFilesInAWorkingFolderAreNeitherReadNorWrittenThrough)
{
    SharedFolder folder;
    Elsewhere other;
    const QByteArray secret
        = ("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><document><setup /><data /><diff index=\"1\">"
            + newRecord("m.1", 1, "pc.mallory") + "</diff></document>")
              .toLatin1();
    SharedFolder::write(other.path("secret.diff"), secret);
    QDir().mkpath(folder.workingDir());
    // A peer's transaction file, and the names Anna's own files would take.
    ASSERT_TRUE(QFile::link(other.path("secret.diff"), folder.workingDir() + "pc.mallory.1.diff"));
    ASSERT_TRUE(QFile::link(other.path("secret.diff"), folder.workingDir() + "pc.anna.1.diff"));
    ASSERT_TRUE(QFile::link(other.path("presence"), folder.dir.path() + "/.kez/Plan.kez/pc.anna.user"));

    SharingInstance anna(folder.path, "pc.anna"), bert(folder.path, "pc.bert");
    anna.doc->SetData(anna.doc->AddNode("a.1", tbTable, true), 5, "from anna");
    anna.sync();
    bert.sync();
    EXPECT_EQ(bert.row("m.1"), nullptr);
    EXPECT_EQ(anna.row("m.1"), nullptr);
    EXPECT_EQ(bert.cell("a.1", 5), "from anna");
    EXPECT_EQ(QFileInfo(anna.watcher->DiffFileName()).fileName(), "pc.anna.2.diff");
    EXPECT_EQ(SharedFolder::read(other.path("secret.diff")), secret);
    EXPECT_FALSE(QFileInfo::exists(other.path("presence")));
}

TEST(HostileFiles, ACounterFarAboveTheRowsOthersIsRefusedAndLaterChangesReachEveryone)
{
    SharedFolder folder;
    SharingInstance anna(folder.path, "pc.anna"), bert(folder.path, "pc.bert");
    // Carl's file lifts the row to the top of the counter's range.
    folder.writeDiff("pc.carl.1.diff", 3,
        newRecord("r.1", 1, "pc.carl") + changeRecord("r.1", 2, 1, "pc.carl", kComment.arg("carl"))
            + changeRecord("r.1", 3, 2147483647, "pc.carl", kComment.arg("frozen")));
    const qint64 logged = logSize();
    anna.sync();
    bert.sync();
    EXPECT_EQ(anna.cell("r.1", 5), "carl");
    EXPECT_LT(anna.row("r.1")->ChangeIndex, 1000u);

    anna.doc->SetData(anna.row("r.1"), 5, "anna");
    bert.doc->SetData(bert.row("r.1"), 3, "4");
    for (int round = 0; round < 2; ++round) {
        anna.sync();
        bert.sync();
    }
    for (SharingInstance *instance : { &anna, &bert }) {
        EXPECT_EQ(instance->cell("r.1", 5), "anna");
        EXPECT_EQ(instance->cell("r.1", 3), "4");
        EXPECT_EQ(instance->watcher->NumPendingConflicts(), 0);
    }
    EXPECT_TRUE(logSince(logged).contains("change counter 2147483647 is refused"));

    // A counter within reach of the row's others is taken as always.
    folder.writeDiff(
        "pc.carl.2.diff", 1, changeRecord("r.1", 1, 500000, "pc.carl", kComment.arg("carl again")));
    anna.sync();
    bert.sync();
    EXPECT_EQ(anna.cell("r.1", 5), "carl again");
    anna.doc->SetData(anna.row("r.1"), 5, "anna again");
    anna.sync();
    bert.sync();
    EXPECT_EQ(bert.cell("r.1", 5), "anna again");
}

TEST(HostileFiles, FilesBeyondTheLimitsAreRefusedAndTheOthersStillRead)
{
    SharedFolder folder;
    SharingInstance anna(folder.path, "pc.anna");
    TSharingLimits limits;
    limits.textLength = 1000;
    limits.records = 3;
    limits.cellsPerRecord = 4;
    limits.fileBytes = 4096;
    anna.watcher->SetLimits(limits);
    const QString cells = kComment.arg("ok");
    folder.writeDiff("pc.long.1.diff", 2,
        newRecord("l.1", 1, "pc.long")
            + changeRecord("l.1", 2, 1, "pc.long", kComment.arg(QString(1001, 'x'))));
    folder.writeDiff("pc.many.1.diff", 4,
        newRecord("m.1", 1, "pc.many") + changeRecord("m.1", 2, 1, "pc.many", cells)
            + changeRecord("m.1", 3, 2, "pc.many", cells) + changeRecord("m.1", 4, 3, "pc.many", cells));
    folder.writeDiff("pc.wide.1.diff", 2,
        newRecord("w.1", 1, "pc.wide") + changeRecord("w.1", 2, 1, "pc.wide", cells.repeated(5)));
    folder.writeDiff("pc.large.1.diff", 2,
        newRecord("g.1", 1, "pc.large")
            + changeRecord("g.1", 2, 1, "pc.large", kComment.arg(QString(900, 'x'))) + QString(4096, ' '));
    folder.writeDiff(
        "pc.fair.1.diff", 2, newRecord("f.1", 1, "pc.fair") + changeRecord("f.1", 2, 1, "pc.fair", cells));
    const qint64 logged = logSize();
    anna.sync();
    for (const char *id : { "l.1", "m.1", "w.1", "g.1" })
        EXPECT_EQ(anna.row(id), nullptr) << id;
    EXPECT_EQ(anna.cell("f.1", 5), "ok");
    EXPECT_EQ(logSince(logged).count("Transaction file refused"), 4);

    // Refused for its size, a file is read again only once it changed.
    anna.sync();
    EXPECT_EQ(logSince(logged).count("Transaction file refused"), 4);
    folder.writeDiff(
        "pc.many.1.diff", 2, newRecord("m.1", 1, "pc.many") + changeRecord("m.1", 2, 1, "pc.many", cells));
    anna.sync();
    EXPECT_EQ(anna.cell("m.1", 5), "ok");
}

TEST(HostileFiles, ACompressedFileStatingMoreTextThanAnyDocumentHoldsIsNotUnpacked)
{
    SharedFolder folder;
    SharingInstance anna(folder.path, "pc.anna");
    QDir().mkpath(folder.workingDir());
    // "zip", 0, then a stated length of 4 GB, then blocks of runs that would fill it.
    QByteArray bomb("zip\0\xff\xff\xff\xff", 8);
    SharedFolder::write(folder.workingDir() + "pc.bomb.1.diff", bomb + QByteArray(4000, '\x01'));
    folder.writeDiff("pc.fair.1.diff", 1, newRecord("f.1", 1, "pc.fair"));
    const qint64 logged = logSize();
    anna.sync();
    EXPECT_NE(anna.row("f.1"), nullptr);
    EXPECT_TRUE(logSince(logged).contains("pc.bomb.1.diff holds more than"));
}
