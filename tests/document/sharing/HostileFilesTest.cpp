// What anyone who can write the share may put into the sharing folder: links to
// folders and files elsewhere, and files far beyond what a document holds. Every
// instance passes them over (and logs them) and goes on sharing with the others.
#include "document/program/Log.h"
#include "tests/document/sharing/SharingTestSupport.h"
#include "tests/support/QtPrinters.h"

#include <QFileInfo>
#include <algorithm>
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
    EXPECT_TRUE(logSince(logged).contains("is refused: its change counter 2147483647"));

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

TEST(HostileFiles, AChainOfCounterJumpsCannotClimbAndTheOwnersLaterEditsWin)
{
    SharedFolder folder;
    SharingInstance anna(folder.path, "pc.anna"), bert(folder.path, "pc.bert");
    // Carl changes r.1 2,147 times, each change just under a million above the
    // last, up to the top of the counter's range; on r.2 he takes turns with a
    // second name, each measured from the other's last change.
    QString carl = newRecord("r.1", 1, "pc.carl") + newRecord("r.2", 2, "pc.carl");
    int index = 2;
    for (int k = 1; k <= 2147; ++k)
        carl += changeRecord("r.1", ++index, k * 999'999, "pc.carl", kComment.arg(k));
    QString turns;
    int turnIndex = 0;
    for (int k = 1; k <= 200; ++k) {
        const QString writer = k % 2 ? "pc.carl" : "pc.dave";
        const QString record = changeRecord("r.2", k % 2 ? ++index : ++turnIndex, k * 999'999, writer,
            kComment.arg(writer + QString::number(k)));
        (k % 2 ? carl : turns) += record;
    }
    folder.writeDiff("pc.carl.1.diff", index, carl);
    folder.writeDiff("pc.dave.1.diff", turnIndex, turns);
    const qint64 logged = logSize();
    anna.sync();
    bert.sync();
    for (SharingInstance *instance : { &anna, &bert }) {
        EXPECT_EQ(instance->cell("r.1", 5), "1");
        EXPECT_EQ(instance->cell("r.2", 5), "pc.carl1");
        EXPECT_LT(instance->row("r.1")->ChangeIndex, 1'000'000u);
        EXPECT_LT(instance->row("r.2")->ChangeIndex, 1'000'000u);
    }

    // The owner's later edits of the row reach everyone, and so do Bert's.
    for (int edit = 1; edit <= 51; ++edit) {
        anna.doc->SetData(anna.row("r.1"), 5, "anna " + QString::number(edit));
        if (edit % 10 == 0) {
            bert.doc->SetData(bert.row("r.1"), 3, QString::number(edit / 10));
            anna.sync();
            bert.sync();
        }
    }
    for (int round = 0; round < 2; ++round) {
        anna.sync();
        bert.sync();
    }
    for (SharingInstance *instance : { &anna, &bert }) {
        EXPECT_EQ(instance->cell("r.1", 5), "anna 51");
        EXPECT_EQ(instance->cell("r.1", 3), "5");
        EXPECT_EQ(instance->watcher->NumPendingConflicts(), 0);
    }

    // Each instance logs each refused record once, however often its row is
    // replayed, and each writer's reason reaches the window once.
    const QString log = logSince(logged);
    EXPECT_EQ(log.count("of pc.carl in pc.carl.1.diff is refused"), 2 * (2146 + 99));
    EXPECT_EQ(log.count("of pc.dave in pc.dave.1.diff is refused"), 2 * 100);
    std::vector<QString> notices;
    for (const auto &notice : anna.watcher->TakeRefusalNotices())
        notices.push_back(notice.writer + ": " + notice.reason);
    std::sort(notices.begin(), notices.end());
    EXPECT_EQ(notices,
        std::vector<QString>({ "pc.carl: change counters far above the rows' own",
            "pc.carl: change counters near the top of their range",
            "pc.dave: change counters far above the rows' own" }));
    anna.sync();
    EXPECT_TRUE(anna.watcher->TakeRefusalNotices().empty());
}

TEST(HostileFiles, AnOwnChangeAtTheCeilingStillOrdersAfterEveryPeersChange)
{
    SharedFolder folder;
    SharingInstance anna(folder.path, "pc.anna"), bert(folder.path, "pc.bert");
    TSharingLimits limits;
    limits.counterCeiling = 1'000;
    for (SharingInstance *instance : { &anna, &bert })
        instance->watcher->SetLimits(limits);
    anna.doc->SetData(anna.doc->AddNode("r.1", tbTable, true), 5, "first");
    anna.sync();
    bert.sync();
    // Carl's record comes up to just below the ceiling; Anna's own changes had
    // taken her row to it.
    folder.writeDiff("pc.carl.1.diff", 1, changeRecord("r.1", 1, 999, "pc.carl", kComment.arg("carl")));
    anna.sync();
    bert.sync();
    ASSERT_EQ(anna.cell("r.1", 5), "carl");
    anna.row("r.1")->ChangeIndex = 1'000;
    anna.doc->SetData(anna.row("r.1"), 5, "anna");
    for (int round = 0; round < 2; ++round) {
        anna.sync();
        bert.sync();
    }
    EXPECT_EQ(anna.cell("r.1", 5), "anna");
    EXPECT_EQ(bert.cell("r.1", 5), "anna");
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
