// Odd files to open and hostile entries in the sharing folder, on the road of the
// commands: nothing hangs, a failed open leaves nothing behind, and neither a save
// nor the pruning of the history reaches through a link.
#include "document/program/Translation.h"
#include "tests/document/commands/CommandsTestSupport.h"

#include <QFileInfo>
#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

const QString kNotRegular = "File %s is not a regular file and cannot be opened.";
const QString kUnknownType = "File cannot be loaded. The Filetype is unknown.";

// Gives a reader of the pipe its end of file, should one ever wait on it, so
// that a fault shows as a failed test and not as a hang.
class PipeWatchdog {
public:
    explicit PipeWatchdog(const QString &path)
        : FThread([this, name = QFile::encodeName(path)] {
            while (!FDone) {
                const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    ::close(fd);
                    FReaderSeen = true;
                }
                // Only paces the watchdog; no test waits on it.
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        })
    { }
    ~PipeWatchdog()
    {
        FDone = true;
        FThread.join();
    }
    bool ReaderSeen() const { return FReaderSeen; }

private:
    std::atomic<bool> FDone { false }, FReaderSeen { false };
    std::thread FThread;
};

} // namespace

TEST_F(CommandsTest, APipeOrAFolderNamedLikeADocumentIsNotOpenedAtAll)
{
    CommandsInstance anna("pc.anna");
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("Pipe.kez")).constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkdir(path("Folder.kez")));
    for (const QString &name : { path("Pipe.kez"), path("Folder.kez") }) {
        TOpenStatus opened;
        {
            const PipeWatchdog watchdog(path("Pipe.kez"));
            opened = anna.commands.Open(name);
            EXPECT_FALSE(opened);
            EXPECT_FALSE(watchdog.ReaderSeen());
        }
        EXPECT_EQ(opened.reason(), "not a regular file");
        ASSERT_FALSE(messages().isEmpty());
        EXPECT_EQ(messages().last(), Translate(kNotRegular, { name }));
        EXPECT_TRUE(anna.commands.FileName().isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(path(".kez")));
}

TEST_F(CommandsTest, AFileThatCannotBeReadLeavesNoSharingFolderBehind)
{
    CommandsInstance anna("pc.anna");
    write(path("Damaged.kez"), "<document><setup>");
    write(path("Binary.kez"),
        QByteArray("\x7f"
                   "ELF\x02\x01\x01\0\0\0",
            10)
            .repeated(100));
    for (const QString &name : { path("Damaged.kez"), path("Binary.kez") }) {
        EXPECT_FALSE(anna.commands.Open(name));
        EXPECT_EQ(messages().last(), Translate(kUnknownType));
    }
    EXPECT_FALSE(QFileInfo::exists(path(".kez")));

    // Beside a shared document the sharing root stays, with all it held.
    ASSERT_TRUE(anna.saveAs(path("Plan.kez")));
    const QStringList before = folders();
    write(path("Other.kez"), "not a document");
    EXPECT_FALSE(anna.commands.Open(path("Other.kez")));
    EXPECT_EQ(QDir(path(".kez")).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList({ "Plan.kez" }));
    EXPECT_EQ(folders(), before);
}

TEST_F(CommandsTest, ASaveNeitherAdoptsNorPrunesAFolderThatLeadsElsewhere)
{
    CommandsInstance anna("pc.anna");
    anna.addTask("a.1", "anna's");
    ASSERT_TRUE(anna.saveAs(path("Plan.kez")));
    TDocumentSetup setup = anna.doc.Setup();
    setup.FMaxHistoryFiles = 10;
    anna.doc.SetSetup(setup);

    // Elsewhere: another plan, which the link makes the newest working copy.
    QTemporaryDir elsewhere;
    {
        CommandsInstance mallory("pc.mallory");
        mallory.addTask("m.1", "another plan");
        ASSERT_TRUE(mallory.saveAs(elsewhere.path() + "/Plan.kez"));
    }
    const QByteArray plan = read(elsewhere.path() + "/Plan.kez");
    const QStringList held
        = QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    ASSERT_TRUE(QFile::link(elsewhere.path(), sharing("5")));

    idleTick(anna);
    anna.addTask("a.2", "after the link");
    for (int save = 0; save < 12; ++save)
        ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
    EXPECT_EQ(anna.commands.Watcher().WorkingDirName(), folders().last());

    CommandsInstance bert("pc.bert");
    ASSERT_TRUE(bert.commands.Open(path("Plan.kez")));
    EXPECT_EQ(bert.comment("a.1"), "anna's");
    EXPECT_EQ(bert.comment("a.2"), "after the link");
    EXPECT_EQ(bert.doc.FindNode("m.1"), nullptr);
    // The link is no history folder: pruning passed it over and what it leads to.
    EXPECT_TRUE(QFileInfo(sharing("5")).isSymLink());
    EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), held);
    EXPECT_EQ(read(elsewhere.path() + "/Plan.kez"), plan);
}

TEST_F(CommandsTest, AnIdentityTooLongForAFileNameSavesAndOpens)
{
    for (const QString &identity : { "pc." + QString(297, 'a'), "pc." + QString(130, QChar(0xE9)) }) {
        CommandsInstance anna(identity);
        anna.addTask("a.1", "long name");
        ASSERT_TRUE(anna.saveAs(path("Plan.kez")));
        anna.addTask("a.2", "stored, not saved");
        ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
        CommandsInstance again(identity);
        ASSERT_TRUE(again.commands.Open(path("Plan.kez")));
        EXPECT_EQ(again.comment("a.2"), "stored, not saved");
        QDir(path(".kez")).removeRecursively();
        QFile::remove(path("Plan.kez"));
    }
}
