// The rows conflict solving replays as the working copy has them: after an open
// that made them from the document it parsed, they are those a parse of the
// copy gives, texts of every kind included.
#include "document/sharing/WorkingCopyRows.h"
#include "document/xml/XMLFile.h"
#include "tests/document/commands/CommandsTestSupport.h"
#include "tests/support/QtPrinters.h"

#include <random>

namespace {

// Texts a writer or reader could bend: markup, entities, edge and inner blanks,
// line ends, characters beyond Latin-1 and beyond the first plane.
QString oddText(std::mt19937 &rng)
{
    static const QStringList pieces { "&amp;", "<", ">", "\"", "'", " ", "  ", "\t", "\n", "\r\n", "]]>", "ä",
        "€", "中", QString::fromUtf8("\xF0\x9F\x93\x85"), "x", "0", "-" };
    QString text;
    for (int n = int(rng() % 9); n > 0; --n)
        text += pieces[int(rng() % pieces.size())];
    return text;
}

// Equal names, value types, values, attributes and children, all in order.
void expectSameNode(const TXMLNode &a, const TXMLNode &b)
{
    EXPECT_EQ(a.Name().Value(), b.Name().Value());
    EXPECT_EQ(a.ValueType(), b.ValueType());
    EXPECT_EQ(a.Value(), b.Value());
    ASSERT_EQ(a.Attributes().size(), b.Attributes().size());
    for (std::size_t i = 0; i < a.Attributes().size(); ++i) {
        EXPECT_EQ(a.Attributes()[i]->Name().Value(), b.Attributes()[i]->Name().Value());
        EXPECT_EQ(a.Attributes()[i]->Value(), b.Attributes()[i]->Value());
    }
    ASSERT_EQ(a.Count(), b.Count());
    for (int i = 0; i < a.Count(); ++i)
        expectSameNode(*a.Node(i), *b.Node(i));
}

// Every row of `a` as the same node in `b`, found by its ID.
void expectSameRows(const TWorkingCopyRows &a, const TWorkingCopyRows &b, const QStringList &ids)
{
    ASSERT_EQ(a.Count(), b.Count());
    TXMLTree fromA, fromB;
    const auto rowsA = a.RowsOf(QSet<QString>(ids.begin(), ids.end()), fromA);
    const auto rowsB = b.RowsOf(QSet<QString>(ids.begin(), ids.end()), fromB);
    ASSERT_EQ(rowsA.size(), rowsB.size());
    ASSERT_EQ(int(rowsA.size()), ids.size());
    for (std::size_t i = 0; i < rowsA.size(); ++i) {
        EXPECT_EQ(rowsA[i].position, rowsB[i].position);
        expectSameNode(*rowsA[i].node, *rowsB[i].node);
    }
}

} // namespace

TEST_F(CommandsTest, AConflictAfterAnOpenIsSolvedOnTheRowsTheWorkingCopyHolds)
{
    std::mt19937 rng(52);
    CommandsInstance anna("pc.anna"), bert("pc.bert");
    QStringList ids;
    QHash<QString, QStringList> cells;
    for (int i = 1; i <= 300; ++i) {
        const QString id = QString("pc.anna.%1").arg(i);
        TNodeData *row = anna.addTask(id, oddText(rng));
        anna.doc.SetData(row, 0, oddText(rng));
        ids << id;
    }
    ASSERT_TRUE(anna.saveAs(path("Plan.kez")));
    for (const QString &id : ids)
        cells[id] = { anna.doc.GetData(anna.doc.FindNode(id), 0), anna.comment(id) };
    ASSERT_TRUE(bert.commands.Open(path("Plan.kez")));
    const QString copy = sharing(bert.commands.Watcher().WorkingDirName() + "/Plan.kez");
    ASSERT_EQ(read(copy), read(path("Plan.kez")));

    // What the opening instance keeps is what parsing the copy gives.
    bert.commands.Watcher().StopBackgroundThread();
    ASSERT_NE(bert.commands.Watcher().BaseRows(), nullptr);
    TXMLFile parsed(copy, true);
    ASSERT_TRUE(parsed.Load());
    ASSERT_NO_FATAL_FAILURE(
        expectSameRows(*bert.commands.Watcher().BaseRows(), TWorkingCopyRows(parsed.xml()), ids));

    // Both change the same rows at once, each another cell: the replay on the
    // copy's row keeps both changes and every odd text neither touched.
    for (int i = 0; i < 300; i += 37) {
        anna.doc.SetData(anna.doc.FindNode(ids[i]), 5, "by anna");
        bert.doc.SetData(bert.doc.FindNode(ids[i]), 3, "7");
    }
    idleTick(anna);
    idleTick(bert);
    idleTick(anna);
    for (CommandsInstance *instance : { &anna, &bert }) {
        EXPECT_EQ(instance->commands.Watcher().NumPendingConflicts(), 0);
        for (int i = 0; i < 300; ++i) {
            TNodeData *row = instance->doc.FindNode(ids[i]);
            ASSERT_NE(row, nullptr) << ids[i].toStdString();
            EXPECT_EQ(instance->doc.GetData(row, 0), cells[ids[i]][0]) << ids[i].toStdString();
            if (i % 37 == 0) {
                EXPECT_EQ(instance->doc.GetData(row, 5), "by anna");
                EXPECT_EQ(instance->doc.GetData(row, 3), "7");
            } else {
                EXPECT_EQ(instance->doc.GetData(row, 5), cells[ids[i]][1]) << ids[i].toStdString();
            }
        }
    }
}

// A plan whose sharing folder starts anew: the open writes the working copy from
// the very bytes it parsed, and keeps the copy's rows from that parse.
TEST_F(CommandsTest, AnOpenThatStartsTheSharingFolderWritesTheCopyItParsedAndKeepsItsRows)
{
    std::mt19937 rng(7);
    CommandsInstance anna("pc.anna"), bert("pc.bert");
    QStringList ids;
    for (int i = 1; i <= 200; ++i) {
        ids << QString("pc.anna.%1").arg(i);
        anna.doc.SetData(anna.addTask(ids.back(), oddText(rng)), 0, oddText(rng));
    }
    ASSERT_TRUE(anna.saveAs(path("Plan.kez")));
    // The plan handed on under another name: no sharing folder of it yet.
    const QString moved = path("Moved.kez");
    write(moved, read(path("Plan.kez")));
    ASSERT_FALSE(QFileInfo::exists(path(".kez/Moved.kez")));

    ASSERT_TRUE(bert.commands.Open(moved));
    EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();
    const QString copy = path(".kez/Moved.kez/0/Moved.kez");
    EXPECT_EQ(read(copy), read(moved));
    EXPECT_EQ(bert.doc.TotalCount(tbTable), 200);
    bert.commands.Watcher().StopBackgroundThread();
    ASSERT_NE(bert.commands.Watcher().BaseRows(), nullptr);
    TXMLFile parsed(copy, true);
    ASSERT_TRUE(parsed.Load());
    ASSERT_NO_FATAL_FAILURE(
        expectSameRows(*bert.commands.Watcher().BaseRows(), TWorkingCopyRows(parsed.xml()), ids));
}
