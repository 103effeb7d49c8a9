// Opening what is no plan, or more than a plan can be: the user is told before
// anything is read whole or copied into the sharing folder, and a load that
// fails on any way, an exception included, leaves no folder, copy or presence
// file behind.
#include "document/program/Translation.h"
#include "tests/document/commands/CommandsTestSupport.h"
#include "tests/support/HostileEntries.h"

#include <QFileInfo>
#include <new>

namespace {

const QString kUnknownType = "File cannot be loaded. The Filetype is unknown.";

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

TEST_F(CommandsTest, AFileLargerThanAPlanOrNoPlanAtAllIsRefusedBeforeAnythingIsCopied)
{
    CommandsInstance anna("pc.anna");
    // Another plan is shared in the folder: its sharing folder stays as it is.
    ASSERT_TRUE(anna.saveAs(path("Plan.kez")));
    const QStringList shared = entries(path(".kez"));
    const QStringList before = entries(sharing(""));

    hostile::makeSparse(path("junk.kez"), qint64(2) << 30);
    {
        QFile bomb(path("bomb.kez"));
        ASSERT_TRUE(bomb.open(QIODevice::WriteOnly));
        bomb.write(hostile::compressedBomb(0xFFFFFFFFu, 16));
    }
    const QString tooLarge = Translate(
        "File %s is larger than a plan can be (at most %s MB) and was not opened.", { "%1", "1024" });
    const struct {
        QString name, message;
    } cases[] = {
        { path("junk.kez"), tooLarge.arg(path("junk.kez")) },
        { path("bomb.kez"), tooLarge.arg(path("bomb.kez")) },
    };
    for (const auto &c : cases) {
        const TOpenStatus opened = anna.commands.Open(c.name);
        EXPECT_FALSE(opened);
        EXPECT_EQ(opened.code(), TOpenFailure::Unreadable);
        ASSERT_FALSE(messages().isEmpty());
        EXPECT_EQ(messages().last(), c.message);
        EXPECT_EQ(entries(path(".kez")), shared);
    }
    // A refused file changes nothing: the plan stays open.
    EXPECT_EQ(anna.commands.FileName(), path("Plan.kez"));
    EXPECT_EQ(entries(sharing("")), before);

    // Binary junk that is no document is told apart by its first bytes.
    {
        QFile junk(path("zeros.kez"));
        ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(1 << 20, '\0'));
    }
    const TOpenStatus opened = anna.commands.Open(path("zeros.kez"));
    EXPECT_FALSE(opened);
    EXPECT_EQ(opened.reason(), "unknown filetype");
    EXPECT_EQ(messages().last(), Translate(kUnknownType));
    EXPECT_EQ(entries(path(".kez")), shared);
}

TEST_F(CommandsTest, ALoadThatThrowsIsToldAndLeavesNothingBehind)
{
    CommandsInstance bert("pc.bert");
    // An old document whose import runs out of memory half way.
    write(path("Old.kez"), "[KEZ]\nVersion=3\n");
    bert.commands.SetImporter([](const QString &) -> TLoadResult { throw std::bad_alloc(); });
    TOpenStatus opened;
    EXPECT_NO_THROW(opened = bert.commands.Open(path("Old.kez")));
    EXPECT_FALSE(opened);
    EXPECT_EQ(opened.code(), TOpenFailure::Unreadable);
    EXPECT_EQ(opened.reason(), "there is not enough memory for it");
    ASSERT_FALSE(messages().isEmpty());
    EXPECT_EQ(messages().last(),
        Translate(
            "File %s could not be loaded: %s", { path("Old.kez"), "there is not enough memory for it" }));
    EXPECT_TRUE(bert.commands.FileName().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path(".kez")));

    // Beside the folder of a plan another user shares, only what this open made goes.
    const QString folder = path(".kez/Old.kez/");
    ASSERT_TRUE(QDir().mkpath(folder + "0"));
    write(folder + "pc.other.user", "");
    EXPECT_NO_THROW(opened = bert.commands.Open(path("Old.kez")));
    EXPECT_FALSE(opened);
    bert.commands.Watcher().ForceLoadTransactions();
    EXPECT_EQ(entries(folder), QStringList({ "0", "pc.other.user" }));
    EXPECT_TRUE(entries(folder + "0").isEmpty());
    EXPECT_TRUE(bert.commands.FileName().isEmpty());
}
