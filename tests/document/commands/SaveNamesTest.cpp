// A document reached under another spelling of its name (a relative path, a
// linked folder) is the same document: saving it keeps every edit. Records that
// cannot be stored in the document they were made in go on with the one saved.
#include "document/xml/XMLFile.h"
#include "platform/AtomicFile.h"
#include "tests/document/commands/CommandsTestSupport.h"
#include "tests/support/QtPrinters.h"

namespace {

// The comments of these rows as someone who opens the document now finds them.
QStringList commentsOnOpening(const QString &document, const QStringList &ids)
{
    CommandsInstance dora("pc.dora");
    if (!dora.commands.Open(document))
        return { "<not opened>" };
    QStringList comments;
    for (const QString &id : ids)
        comments << dora.comment(id);
    return comments;
}

// The working folder is entered relative to `dir` for the guard's lifetime.
class ScopedCurrentDir {
public:
    explicit ScopedCurrentDir(const QString &dir)
        : FPrevious(QDir::currentPath())
    {
        QDir::setCurrent(dir);
    }
    ~ScopedCurrentDir() { QDir::setCurrent(FPrevious); }
    ScopedCurrentDir(const ScopedCurrentDir &) = delete;
    ScopedCurrentDir &operator=(const ScopedCurrentDir &) = delete;

private:
    QString FPrevious;
};

} // namespace

TEST_F(CommandsTest, ASaveUnderAnotherSpellingOfTheNameKeepsEveryEdit)
{
    CommandsInstance anna("pc.anna"), bert("pc.bert");
    ASSERT_TRUE(anna.saveAs(path("Plan.kez")));
    ASSERT_TRUE(bert.commands.Open(path("Plan.kez")));
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QFile::link(dir.path(), elsewhere.path() + "/plans"));
    ScopedCurrentDir current(dir.path());

    QStringList ids, expected;
    int next = 0;
    for (const QString &spelling : { QString("Plan.kez"), elsewhere.path() + "/plans/Plan.kez" }) {
        // A save died holding the lock: Bert's edits cannot be stored, and his save
        // reloads a document without them.
        const QString folder = bert.commands.Watcher().WorkingDirName();
        write(sharing(folder + "/Plan.kez.locked"), read(path("Plan.kez")));
        for (int i = 0; i < 65; ++i) {
            ids << "pc.bert." + QString::number(++next);
            expected << "edit " + QString::number(next);
            bert.addTask(ids.last(), expected.last());
        }
        EXPECT_FALSE(bert.commands.Watcher().ForceStorePending());
        ASSERT_TRUE(bert.commands.Save(spelling)) << qPrintable(spelling);
        EXPECT_EQ(bert.commands.FileName(), path("Plan.kez"));
        EXPECT_EQ(bert.commands.Watcher().NumPendingEvents(), 0);
        // They come back with the records stored again, as the next idle tick reads them.
        bert.commands.Watcher().ForceLoadTransactions();
        EXPECT_EQ(bert.comment(ids.last()), expected.last());
    }
    EXPECT_EQ(commentsOnOpening(path("Plan.kez"), ids), expected);
    EXPECT_TRUE(messages().isEmpty()) << qPrintable(messages().join("\n"));
}

TEST_F(CommandsTest, RecordsTheOldDocumentCannotTakeGoOnWithTheDocumentSaved)
{
    CommandsInstance anna("pc.anna"), bert("pc.bert");
    ASSERT_TRUE(anna.saveAs(path("Plan.kez")));
    ASSERT_TRUE(bert.commands.Open(path("Plan.kez")));
    const QString folder = bert.commands.Watcher().WorkingDirName();
    write(sharing(folder + "/Plan.kez.locked"), read(path("Plan.kez")));
    bert.addTask("pc.bert.1", "bert's row");
    EXPECT_FALSE(bert.commands.Watcher().ForceStorePending());

    // Other.kez cannot take them either (a full disk): the save says so, and they
    // stay queued.
    platform::FileFaults faults;
    faults.shortWrite = [](const QString &file, qint64) { return qint64(file.endsWith(".diff") ? 0 : -1); };
    {
        platform::ScopedFileFaults scoped(faults);
        EXPECT_FALSE(bert.saveAs(path("Other.kez")));
    }
    EXPECT_EQ(bert.commands.Watcher().NumPendingEvents(), 2);
    EXPECT_EQ(messages().size(), 1);

    // Once it can, they are stored there, for the others who open it.
    ASSERT_TRUE(bert.saveAs(path("Other.kez")));
    EXPECT_EQ(bert.commands.Watcher().NumPendingEvents(), 0);
    QStringList stored;
    for (const QFileInfo &file :
        QDir(path(".kez/Other.kez/0")).entryInfoList({ "pc.bert.*.diff" }, QDir::Files)) {
        TXMLFile diff(file.filePath(), true);
        ASSERT_TRUE(diff.Load());
        for (const auto &record : diff.xml().namedNode(QStringList { "document", "diff" })->Nodes())
            stored << record->Name().Value() + " " + record->namedAttribute(QString("id"))->Value();
    }
    EXPECT_EQ(stored, QStringList({ "new pc.bert.1", "change pc.bert.1" }));
    EXPECT_EQ(commentsOnOpening(path("Other.kez"), { "pc.bert.1" }), QStringList({ "bert's row" }));
}
