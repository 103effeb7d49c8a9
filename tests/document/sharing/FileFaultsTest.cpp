// Faults at the file layer: a write that stops part-way (a full disk), a rename
// that fails, and files cut short at every byte. The document file, the own
// transaction file and the files of other users each keep what was there before,
// lose no queued record, and the failure is reported.
#include "document/program/Log.h"
#include "platform/AtomicFile.h"
#include "tests/document/sharing/SharingTestSupport.h"

#include <QDirIterator>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// Keeps the log of the many refused reads out of the user's folder.
class FileFaults : public ::testing::Test {
protected:
    QTemporaryDir home;
    QByteArray oldDataHome = qgetenv("XDG_DATA_HOME");
    FileFaults() { qputenv("XDG_DATA_HOME", home.path().toLocal8Bit()); }
    ~FileFaults() override { qputenv("XDG_DATA_HOME", oldDataHome); }
};

// Every row of both tables with its cells, in ID order.
QStringList tables(Document &doc)
{
    QStringList rows;
    doc.ForEach(feAll, [&](TNodeData &row) { rows << row.ID + ':' + row.StringList.join('|'); });
    rows.sort();
    return rows;
}

// Files an atomic write left behind (temporary files), anywhere below `dir`.
QStringList leftovers(const QString &dir)
{
    QStringList found;
    QDirIterator it(dir, { "*.tmp~" }, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next();
    return found;
}

// A write to files whose name ends in `suffix` stops after `limit` bytes.
platform::FileFaults shortWriteOf(const QString &suffix, qint64 limit)
{
    platform::FileFaults faults;
    faults.shortWrite
        = [suffix, limit](const QString &path, qint64) { return path.endsWith(suffix) ? limit : -1; };
    return faults;
}

platform::FileFaults failedRenameOf(const QString &suffix)
{
    platform::FileFaults faults;
    faults.failRename = [suffix](const QString &path) { return path.endsWith(suffix); };
    return faults;
}

void fillPlan(Document &doc)
{
    for (int i = 1; i <= 3; ++i) {
        TNodeData *task = doc.AddNode(QString("pc.anna.%1").arg(i), tbTable, false);
        doc.DoSetData(task, 0, "Position 1", false);
        doc.DoSetData(task, 1, QString("0%1.03.2024").arg(i + 3), false);
        doc.DoSetData(task, 3, "2", false);
        doc.DoSetData(task, 5, QString("Müller & Söhne <%1>").arg(i), false);
    }
    TNodeData *absent = doc.AddNode("pc.anna.9", tbExclude, false);
    doc.DoSetData(absent, 1, "11.03.2024", false);
    doc.DoSetData(absent, 3, "1", false);
}

} // namespace

TEST_F(FileFaults, ASaveThatBreaksOffAnywhereKeepsTheOldDocumentFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Plan.kez");
    for (const bool compressed : { false, true }) {
        Document doc;
        doc.SetIdentity("pc.anna");
        fillPlan(doc);
        doc.SetCompressedSave(compressed);
        ASSERT_TRUE(doc.SaveTo(path));
        const QByteArray old = SharedFolder::read(path);

        // The next save would write a bigger file; it breaks off at every byte.
        doc.DoSetData(doc.FindNode("pc.anna.2"), 5, QString(300, 'x'), false);
        const QStringList rows = tables(doc);
        ASSERT_TRUE(doc.SaveTo(dir.filePath("scratch.kez")));
        const qint64 size = QFileInfo(dir.filePath("scratch.kez")).size();
        for (qint64 cut = 0; cut < size; ++cut) {
            platform::ScopedFileFaults faults(shortWriteOf("Plan.kez", cut));
            const platform::Status saved = doc.SaveTo(path);
            ASSERT_FALSE(saved) << cut;
            ASSERT_FALSE(saved.reason().isEmpty());
            ASSERT_EQ(SharedFolder::read(path), old) << cut;
        }
        {
            platform::ScopedFileFaults faults(failedRenameOf("Plan.kez"));
            const platform::Status saved = doc.SaveTo(path);
            EXPECT_FALSE(saved);
            EXPECT_TRUE(saved.reason().contains("Plan.kez")) << qPrintable(saved.reason());
            EXPECT_EQ(SharedFolder::read(path), old);
        }
        EXPECT_EQ(tables(doc), rows);
        EXPECT_EQ(leftovers(dir.path()), QStringList());

        ASSERT_TRUE(doc.SaveTo(path));
        Document reread;
        ASSERT_TRUE(reread.LoadFrom(path));
        EXPECT_EQ(tables(reread), rows);
    }
}

TEST_F(FileFaults, ADocumentFileCutShortAtAnyByteIsRefused)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Plan.kez");
    for (const bool compressed : { false, true }) {
        Document doc;
        doc.SetIdentity("pc.anna");
        fillPlan(doc);
        doc.SetCompressedSave(compressed);
        ASSERT_TRUE(doc.SaveTo(path));
        const QByteArray whole = SharedFolder::read(path);
        // What follows the closing root tag (the line end) may go missing.
        const qsizetype end = compressed ? whole.size() : whole.lastIndexOf("</document>") + 11;
        // An empty file reads as the empty template (a new document).
        Document reader;
        for (qsizetype cut = 1; cut < end; ++cut) {
            SharedFolder::write(path, whole.left(cut));
            ASSERT_FALSE(reader.LoadFrom(path)) << cut;
            ASSERT_EQ(reader.TotalCount(tbTable) + reader.TotalCount(tbExclude), 0) << cut;
        }
        for (qsizetype cut = end; cut <= whole.size(); ++cut) {
            SharedFolder::write(path, whole.left(cut));
            Document fresh;
            ASSERT_TRUE(fresh.LoadFrom(path)) << cut;
            EXPECT_EQ(tables(fresh), tables(doc));
        }
    }
    EXPECT_TRUE(QFileInfo(LogFilePath()).size() > 0);
}

TEST_F(FileFaults, AStoreThatBreaksOffAnywhereKeepsTheRecordsAndTheOwnFile)
{
    for (const bool compressed : { false, true }) {
        SharedFolder folder;
        auto anna = std::make_unique<SharingInstance>(folder.path, "pc.anna");
        anna->doc->SetCompressedSave(compressed);

        // The very first store fails: no own file appears.
        TNodeData *row = anna->doc->AddNode("pc.anna.1", tbTable, true);
        anna->doc->SetData(row, 5, "one");
        {
            platform::ScopedFileFaults faults(shortWriteOf(".diff", 7));
            EXPECT_FALSE(anna->watcher->ForceStorePending());
        }
        EXPECT_TRUE(anna->watcher->Error());
        EXPECT_TRUE(anna->watcher->ErrorText().contains("cannot write"))
            << qPrintable(anna->watcher->ErrorText());
        EXPECT_EQ(QDir(folder.workingDir()).entryList({ "*.diff" }), QStringList());

        // The owner replaces a failed watcher and hands the records over.
        auto replaceWatcher = [&] {
            TNodeEventList events = anna->watcher->TakePendingEvents();
            anna->doc->SetDiffSink(nullptr);
            anna->watcher = std::make_unique<TDirWatchThread>(folder.path, *anna->doc);
            anna->doc->SetDiffSink(anna->watcher.get());
            anna->watcher->AdoptPendingEvents(std::move(events));
        };
        replaceWatcher();
        ASSERT_TRUE(anna->watcher->ForceStorePending());
        const QString own = anna->watcher->DiffFileName();
        const QByteArray stored = SharedFolder::read(own);

        // The next store breaks off at every byte of the file it writes, then at
        // the rename; each time a new watcher takes the records over.
        anna->doc->SetData(anna->row("pc.anna.1"), 5, "two");
        anna->doc->SetData(anna->doc->AddNode("pc.anna.2", tbExclude, true), 6, "Ski trip");
        anna->doc->DeleteNode(anna->row("pc.anna.1"), true);
        const int queued = anna->watcher->NumPendingEvents();
        ASSERT_EQ(queued, 4);
        const QStringList rows = tables(*anna->doc);
        for (qint64 cut = 0;; ++cut) {
            qint64 size = 0;
            platform::FileFaults faults;
            // Up to a write of every byte that still fails (as a full disk at the flush).
            faults.shortWrite = [&](const QString &, qint64 bytes) {
                size = bytes;
                return cut <= bytes ? cut : -1;
            };
            bool done = false;
            {
                platform::ScopedFileFaults scoped(faults);
                done = anna->watcher->ForceStorePending();
            }
            if (cut > size) {
                ASSERT_TRUE(done);
                break;
            }
            ASSERT_FALSE(done) << cut;
            ASSERT_TRUE(anna->watcher->Error());
            ASSERT_FALSE(anna->watcher->ErrorText().isEmpty());
            ASSERT_EQ(anna->watcher->NumPendingEvents(), queued);
            ASSERT_EQ(SharedFolder::read(own), stored) << cut;
            anna->watcher->UpdatePending(); // stays stopped
            ASSERT_EQ(anna->watcher->NumPendingEvents(), queued);
            replaceWatcher();
            if (cut == 3) {
                platform::ScopedFileFaults scoped(failedRenameOf(".diff"));
                ASSERT_FALSE(anna->watcher->ForceStorePending());
                ASSERT_TRUE(anna->watcher->ErrorText().contains("rename"));
                ASSERT_EQ(SharedFolder::read(own), stored);
                replaceWatcher();
            }
        }
        EXPECT_EQ(anna->watcher->NumPendingEvents(), 0);
        EXPECT_EQ(leftovers(folder.dir.path()), QStringList());

        // Each record reached the file once, and the instance kept its rows.
        anna->watcher->ForceLoadTransactions();
        EXPECT_EQ(tables(*anna->doc), rows);
        TXMLFile file(own, true);
        ASSERT_TRUE(file.Load());
        const TXMLNode *diff = file.xml().namedNode(QStringList { "document", "diff" });
        QStringList kinds;
        for (const auto &record : diff->Nodes())
            kinds << record->Name().Value() + ' ' + record->namedAttribute(QString("index"))->Value();
        EXPECT_EQ(kinds, QStringList({ "new 1", "change 2", "change 3", "new 4", "change 5", "delete 6" }));
        SharingInstance bert(folder.path, "pc.bert");
        bert.watcher->ForceLoadTransactions();
        EXPECT_EQ(tables(*bert.doc), rows);
    }
}

TEST_F(FileFaults, AnotherUsersFileCutShortAtAnyByteIsNotTakenUntilWhole)
{
    for (const bool compressed : { false, true }) {
        SharedFolder folder;
        // Bert's file, written by a real instance: a first part, then more records.
        QString bertFile;
        QByteArray firstPart, whole;
        QStringList afterFirst, afterWhole;
        {
            SharingInstance bert(folder.path, "pc.bert");
            bert.doc->SetCompressedSave(compressed);
            bert.doc->SetData(bert.doc->AddNode("pc.bert.1", tbTable, true), 5, "first");
            ASSERT_TRUE(bert.watcher->ForceStorePending());
            bertFile = bert.watcher->DiffFileName();
            firstPart = SharedFolder::read(bertFile);
            afterFirst = tables(*bert.doc);
            bert.doc->SetData(bert.row("pc.bert.1"), 5, "second");
            bert.doc->SetData(bert.doc->AddNode("pc.bert.2", tbExclude, true), 6, "Ski trip");
            bert.doc->DeleteNode(bert.row("pc.bert.1"), true);
            bert.doc->AddNode("pc.bert.3", tbTable, true);
            ASSERT_TRUE(bert.watcher->ForceStorePending());
            whole = SharedFolder::read(bertFile);
            afterWhole = tables(*bert.doc);
        }
        auto endOf = [&](const QByteArray &bytes) {
            return compressed ? bytes.size() : bytes.lastIndexOf("</document>") + 11;
        };

        // Anna meets the file cut short before she ever read it whole, while her
        // own records wait to be stored.
        QFile::remove(bertFile);
        SharingInstance anna(folder.path, "pc.anna");
        anna.doc->SetCompressedSave(compressed);
        anna.doc->SetData(anna.doc->AddNode("pc.anna.1", tbTable, true), 5, "mine");
        const QStringList mine = tables(*anna.doc);
        for (qsizetype cut = 1; cut < endOf(firstPart); ++cut) {
            SharedFolder::write(bertFile, firstPart.left(cut));
            anna.watcher->ForceLoadTransactions();
            ASSERT_EQ(tables(*anna.doc), mine) << cut;
            ASSERT_FALSE(anna.watcher->Error());
        }
        EXPECT_EQ(anna.watcher->NumPendingEvents(), 2);
        EXPECT_TRUE(anna.watcher->ForceStorePending());

        // She read the first part; the grown file is cut short at every byte.
        SharedFolder::write(bertFile, firstPart);
        anna.watcher->ForceLoadTransactions();
        QStringList expected = mine + afterFirst;
        expected.sort();
        ASSERT_EQ(tables(*anna.doc), expected);
        for (qsizetype cut = 1; cut < endOf(whole); ++cut) {
            SharedFolder::write(bertFile, whole.left(cut));
            anna.watcher->ForceLoadTransactions();
            ASSERT_EQ(tables(*anna.doc), expected) << cut;
        }
        SharedFolder::write(bertFile, whole);
        anna.watcher->ForceLoadTransactions();
        expected = mine + afterWhole;
        expected.sort();
        EXPECT_EQ(tables(*anna.doc), expected);
        EXPECT_EQ(anna.watcher->NumPendingConflicts(), 0);

        // Her own records reached her file, and a newcomer sees both users' rows.
        SharingInstance carl(folder.path, "pc.carl");
        carl.watcher->ForceLoadTransactions();
        EXPECT_EQ(tables(*carl.doc), expected);
    }
}

TEST_F(FileFaults, AWorkingCopyCutShortIsNotTakenAndLeftoversOfAKilledWriterAreIgnored)
{
    SharedFolder folder;
    Document plan;
    fillPlan(plan);
    plan.SetCompressedSave(false);
    ASSERT_TRUE(plan.SaveTo(folder.path));
    const QByteArray whole = SharedFolder::read(folder.path);
    QDir().mkpath(folder.workingDir());
    const QString copy = folder.workingDir() + "Plan.kez";
    // A writer killed between writing and renaming leaves its temporary file.
    SharedFolder::write(
        folder.workingDir() + ".pc.bert.1.diff.1f2e.tmp~", "<document><diff index=\"1\"><new");
    for (const qsizetype cut : { qsizetype(1), whole.size() / 3, whole.size() - 12 }) {
        SharedFolder::write(copy, whole.left(cut));
        SharingInstance anna(folder.path, "pc.anna");
        anna.watcher->ForceLoadTransactions();
        EXPECT_EQ(anna.watcher->BaseRows(), nullptr) << cut;
        EXPECT_EQ(anna.watcher->NumPendingFiles(), 0);
        EXPECT_EQ(SharedFolder::read(copy), whole.left(cut)) << "a working copy is never rewritten";
    }
    SharedFolder::write(copy, whole);
    SharingInstance anna(folder.path, "pc.anna");
    anna.watcher->ForceLoadTransactions();
    ASSERT_NE(anna.watcher->BaseRows(), nullptr);
    EXPECT_EQ(anna.watcher->BaseRows()->Count(), 4) << "the three tasks and the absence";
    EXPECT_EQ(anna.watcher->FileOf(copy), nullptr) << "only the rows are kept, not the parsed file";
}

TEST_F(FileFaults, ConcurrentChangesKeepADocumentRowWhenNoWorkingCopyCouldBeWritten)
{
    SharedFolder folder;
    {
        Document plan;
        fillPlan(plan);
        plan.SetCompressedSave(false);
        ASSERT_TRUE(plan.SaveTo(folder.path));
    }
    auto open = [&](const QString &identity) {
        auto instance = std::make_unique<SharingInstance>(folder.path, identity);
        instance->doc->SetDiffSink(nullptr);
        EXPECT_TRUE(instance->doc->LoadFrom(folder.path));
        instance->doc->SetDiffSink(instance->watcher.get());
        instance->watcher->SetNeedReload(false);
        return instance;
    };
    std::unique_ptr<SharingInstance> anna, bert;
    {
        // The disk is full: the working copy cannot be written.
        platform::ScopedFileFaults faults(shortWriteOf("/0/Plan.kez", 0));
        anna = open("pc.anna");
        bert = open("pc.bert");
        anna->sync();
        bert->sync();
        ASSERT_FALSE(QFileInfo::exists(folder.workingDir() + "Plan.kez"));
        // Both change the same row of the document at once.
        anna->doc->SetData(anna->row("pc.anna.2"), 5, "by anna");
        bert->doc->SetData(bert->row("pc.anna.2"), 3, "7");
        anna->sync();
        bert->sync();
        anna->sync();
        // Without the base the conflict waits; the row stays as applied.
        ASSERT_NE(anna->row("pc.anna.2"), nullptr);
        ASSERT_NE(bert->row("pc.anna.2"), nullptr);
        EXPECT_EQ(anna->watcher->NumPendingConflicts(), 1);
    }
    // Once the disk has room the copy is written and the conflict solved alike.
    anna->sync();
    bert->sync();
    EXPECT_TRUE(QFileInfo::exists(folder.workingDir() + "Plan.kez"));
    for (SharingInstance *instance : { anna.get(), bert.get() }) {
        EXPECT_EQ(instance->watcher->NumPendingConflicts(), 0);
        ASSERT_NE(instance->row("pc.anna.2"), nullptr);
        EXPECT_EQ(instance->cell("pc.anna.2", 0), "Position 1");
        EXPECT_EQ(instance->cell("pc.anna.2", 5), "by anna");
        EXPECT_EQ(instance->cell("pc.anna.2", 3), "7");
    }
}
