// Saves on a disk that fills up, at every free-space level where one of the
// save's writes stops: no record another instance stored is lost, the failure is
// shown and asked about again, and once space returns sharing goes on.
#include "platform/AtomicFile.h"
#include "tests/document/commands/CommandsTestSupport.h"
#include "tests/support/QtPrinters.h"

#include <QFileInfo>

namespace {

// A disk with `left` bytes free for whatever is written through the file layer.
// Files written are counted whole; nothing is given back.
struct FillingDisk {
    qint64 left = 0;
    std::vector<qint64> writes; // the size of each write asked for

    platform::FileFaults faults()
    {
        platform::FileFaults faults;
        faults.shortWrite = [this](const QString &, qint64 size) {
            writes.push_back(size);
            if (size <= left) {
                left -= size;
                return qint64(-1);
            }
            return std::exchange(left, 0);
        };
        return faults;
    }
};

class FullDiskSave : public CommandsTest {
protected:
    // Anna saved the document and Bert opened it; Bert stored rows of his own in
    // the folder and Anna has a row not stored yet. Then Anna saves with `free`
    // bytes left on the disk. The sizes of the writes are noted in `disk`.
    bool saveWith(const QString &folder, qint64 free, FillingDisk &disk)
    {
        anna = std::make_unique<CommandsInstance>("pc.anna");
        bert = std::make_unique<CommandsInstance>("pc.bert");
        document = folder + "/Plan.kez";
        EXPECT_TRUE(anna->saveAs(document));
        EXPECT_TRUE(bert->commands.Open(document));
        bert->addTask("pc.bert.1", "bert's first");
        bert->addTask("pc.bert.2", "bert's second");
        EXPECT_TRUE(bert->commands.Watcher().ForceStorePending());
        // Bert's program ended and he opened the document again: he holds them no more.
        bert = std::make_unique<CommandsInstance>("pc.bert");
        EXPECT_TRUE(bert->commands.Open(document));
        EXPECT_EQ(bert->commands.Watcher().NumUnconfirmedEvents(), 0);
        anna->addTask("pc.anna.1", "anna's");
        disk.left = free;
        platform::ScopedFileFaults full(disk.faults());
        return anna->commands.Save(document);
    }

    std::unique_ptr<CommandsInstance> anna, bert;
    QString document;
};

const QStringList kRows { "pc.bert.1", "pc.bert.2", "pc.anna.1" };
const QStringList kComments { "bert's first", "bert's second", "anna's" };

QStringList commentsOf(CommandsInstance &instance)
{
    QStringList comments;
    for (const QString &id : kRows)
        comments << (instance.doc.FindNode(id) ? instance.comment(id) : "<missing>");
    return comments;
}

} // namespace

TEST_F(FullDiskSave, NoStoredRecordIsLostAtAnyFreeSpaceAndTheFailureIsAskedAboutOnClosing)
{
    // The writes of a save with room enough, in order; every level where one of
    // them stops (nothing of it written, or all but its last byte) is tried.
    std::vector<qint64> levels;
    {
        QTemporaryDir roomy;
        FillingDisk disk;
        ASSERT_TRUE(saveWith(QDir(roomy.path()).canonicalPath(), 1 << 30, disk));
        qint64 before = 0;
        for (const qint64 size : disk.writes) {
            levels.push_back(before);
            if (size > 0)
                levels.push_back(before + size - 1);
            before += size;
        }
        ASSERT_GE(disk.writes.size(), 5u); // settings, own records, lock, list, copy, document
    }
    for (const qint64 free : levels) {
        SCOPED_TRACE(free);
        QTemporaryDir scratch;
        FillingDisk disk;
        const qsizetype asked = dialogs.Questions().size();
        const bool saved = saveWith(QDir(scratch.path()).canonicalPath(), free, disk);
        EXPECT_EQ(anna->commands.SaveFailed(), !saved);
        EXPECT_EQ(messages().mid(asked),
            saved ? QStringList()
                  : QStringList { "File could not be saved, please try saving with a different filename" });

        // Space returns; everybody goes on working.
        ASSERT_NO_FATAL_FAILURE(idleTick(*anna));
        ASSERT_NO_FATAL_FAILURE(idleTick(*bert));
        ASSERT_NO_FATAL_FAILURE(idleTick(*anna));
        EXPECT_EQ(commentsOf(*bert), kComments);
        EXPECT_EQ(commentsOf(*anna), kComments);
        {
            TScriptedMessageDialogs answers;
            ScopedMessageDialogs scoped(&answers);
            answers.QueueAnswer(mrYes); // should the document and the working copy differ
            CommandsInstance dora("pc.dora");
            ASSERT_TRUE(dora.commands.Open(document));
            EXPECT_EQ(commentsOf(dora), kComments);
        }

        // Closing asks to save after a failed save; the save that follows now
        // succeeds, and sharing goes on in its folder.
        const qsizetype beforeClosing = dialogs.Questions().size();
        if (!saved)
            dialogs.QueueAnswer(mrYes);
        EXPECT_TRUE(anna->commands.CloseQuery());
        EXPECT_EQ(dialogs.Questions().size() - beforeClosing, saved ? 0 : 1);
        EXPECT_FALSE(anna->commands.SaveFailed());
        EXPECT_FALSE(anna->commands.Watcher().Error());
        bert->addTask("pc.bert.3", "after");
        ASSERT_NO_FATAL_FAILURE(idleTick(*bert));
        ASSERT_NO_FATAL_FAILURE(idleTick(*anna));
        EXPECT_EQ(anna->comment("pc.bert.3"), "after");
    }
}

TEST_F(CommandsTest, FoldersNumberedBeyondTheRangeAreIgnoredAndSavesGoOn)
{
    CommandsInstance anna("pc.anna"), bert("pc.bert");
    ASSERT_TRUE(anna.saveAs(path("Plan.kez")));
    // Folders no save of this program makes: the highest number there is, a
    // negative one and one with a leading zero, each with a copy and a lock.
    for (const QString odd : { "2147483647", "-3", "07" }) {
        ASSERT_TRUE(QDir().mkpath(sharing(odd)));
        write(sharing(odd + "/Plan.kez"), read(path("Plan.kez")));
        write(sharing(odd + "/Plan.kez.locked"), read(path("Plan.kez")));
    }
    ASSERT_TRUE(bert.commands.Open(path("Plan.kez")));
    EXPECT_EQ(bert.commands.Watcher().WorkingDirName(), "1");

    ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
    EXPECT_EQ(anna.commands.Watcher().WorkingDirName(), "2");
    bert.addTask("pc.bert.1", "after the save");
    ASSERT_NO_FATAL_FAILURE(idleTick(bert));
    ASSERT_NO_FATAL_FAILURE(idleTick(anna));
    EXPECT_EQ(anna.comment("pc.bert.1"), "after the save");
}
