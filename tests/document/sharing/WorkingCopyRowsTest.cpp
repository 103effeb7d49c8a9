// The working copy's rows as conflict solving reads them: every row found by
// its ID comes back exactly as the parsed file held it.
#include "document/sharing/WorkingCopyRows.h"

#include "document/xml/XMLTree.h"
#include "tests/document/sharing/SharingTestSupport.h"

#include <QHash>
#include <gtest/gtest.h>
#include <random>

namespace {

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

QString randomText(std::mt19937 &rng)
{
    static const QString letters = QString::fromUtf8("abcXYZ 0189.&<>\"'äöüß€ł中\t");
    QString text;
    for (int n = int(rng() % 40); n > 0; --n)
        text += letters[int(rng() % letters.size())];
    return text;
}

} // namespace

TEST(WorkingCopyRows, EveryRowFoundByItsIDComesBackAsTheFileHeldIt)
{
    std::mt19937 rng(17);
    TXMLTree tree;
    TXMLNode *data = tree.AddNode(QString("document"))->AddNode(QString("data"));
    // Rows with an ID (some twice, two whose IDs hash alike), rows without one,
    // and enough of them to fill many blocks.
    QStringList ids { "aaB", "aba" };
    for (int i = 0; i < 6000; ++i)
        ids.append(QString("pc.anna.%1").arg(i));
    for (int i = 0; i < 9000; ++i) {
        const int pick = int(rng() % 12);
        TXMLNode *row = data->AddNode(QString(pick == 0 ? "note" : "new"));
        if (pick != 1)
            row->AddAttribute(QString("id"), ids[int(rng() % ids.size())]);
        if (pick == 2)
            row->AddAttribute(QString("extra"), randomText(rng));
        row->AddNode(QString("__change__"), QString::number(rng() % 1000));
        row->AddNode(QString("__table__"), "tbTable");
        for (int cells = int(rng() % 8); cells > 0; --cells) {
            TXMLNode *cell = row->AddNode(QString("column%1").arg(rng() % 20), randomText(rng));
            if (rng() % 10 == 0)
                cell->SetValueType(xvtCDATA);
            if (rng() % 20 == 0)
                cell->AddNode(QString("inner"), randomText(rng))->AddNode(QString("deeper"));
        }
    }
    const TWorkingCopyRows rows(tree);
    EXPECT_LT(rows.ByteSize(), tree.getText().size()) << "far smaller than the file's text";

    // The reference: a plain walk over the tree.
    QHash<QString, std::vector<int>> positions;
    int countWithID = 0;
    for (int i = 0; i < data->Count(); ++i) {
        if (const TXMLAttribute *id = data->Node(i)->namedAttribute(QString("id"))) {
            positions[id->Value()].push_back(i + 1);
            ++countWithID;
        }
    }
    EXPECT_EQ(rows.Count(), countWithID);
    for (int round = 0; round < 40; ++round) {
        QSet<QString> wanted { "no such row" };
        for (int n = int(rng() % 6); n > 0; --n)
            wanted.insert(ids[int(rng() % ids.size())]);
        if (round == 0)
            wanted = { "aaB", "aba" };
        std::vector<int> expected;
        for (const QString &id : wanted) {
            const std::vector<int> at = positions.value(id);
            expected.insert(expected.end(), at.begin(), at.end());
        }
        std::sort(expected.begin(), expected.end());

        TXMLTree copies;
        const std::vector<TWorkingCopyRows::TRow> found = rows.RowsOf(wanted, copies);
        ASSERT_EQ(found.size(), expected.size()) << round;
        EXPECT_EQ(copies.Count(), int(expected.size()));
        for (std::size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].position, expected[i]);
            expectSameNode(*found[i].node, *data->Node(expected[i] - 1));
        }
    }
}

TEST(WorkingCopyRows, AFileWithoutRowsHasNone)
{
    TXMLTree tree;
    tree.setText(QString("<document><setup/></document>"));
    const TWorkingCopyRows rows(tree);
    TXMLTree copies;
    EXPECT_EQ(rows.Count(), 0);
    EXPECT_TRUE(rows.RowsOf({ "a" }, copies).empty());
}

// Rows made from the tree an instance parsed at open stand for the working copy
// only while the copy holds exactly the bytes that tree came from.
TEST(WorkingCopyRows, OfferedRowsAreTakenOnlyForACopyOfTheSameBytes)
{
    SharedFolder folder;
    {
        Document plan;
        plan.SetCompressedSave(false);
        for (int i = 1; i <= 3; ++i)
            plan.SetData(plan.AddNode(QString("pc.anna.%1").arg(i), tbTable, true), 5, "as saved");
        ASSERT_TRUE(plan.SaveTo(folder.path));
    }
    const auto parsed = [](const QString &file) {
        auto xml = std::make_unique<TXMLFile>(file, true);
        xml->SetKeepDigest(true);
        EXPECT_TRUE(xml->Load());
        return xml;
    };
    const auto commentOf = [](const TWorkingCopyRows &rows, const QString &id) {
        TXMLTree copies;
        const std::vector<TWorkingCopyRows::TRow> found = rows.RowsOf({ id }, copies);
        const TXMLNode *comment = found.empty() ? nullptr : found[0].node->namedNode(QString("Comment"));
        return comment ? comment->Value() : QString("<none>");
    };

    // The copy is written from the document file: the rows made at open stand.
    SharingInstance anna(folder.path, "pc.anna");
    std::unique_ptr<TXMLFile> file = parsed(folder.path);
    auto offered = std::make_unique<const TWorkingCopyRows>(file->xml());
    const TWorkingCopyRows *taken = offered.get();
    anna.watcher->OfferBaseRows(std::move(offered), file->Digest());
    anna.sync();
    EXPECT_EQ(anna.watcher->BaseRows(), taken);

    // The document file changed after the copy was written (another instance
    // opened the plan before): its rows are not the copy's, the copy is parsed.
    {
        Document changed;
        changed.SetCompressedSave(false);
        ASSERT_TRUE(changed.LoadFrom(folder.path));
        changed.SetData(changed.FindNode("pc.anna.2"), 5, "changed since");
        ASSERT_TRUE(changed.SaveTo(folder.path));
    }
    SharingInstance bert(folder.path, "pc.bert");
    file = parsed(folder.path);
    offered = std::make_unique<const TWorkingCopyRows>(file->xml());
    EXPECT_EQ(commentOf(*offered, "pc.anna.2"), "changed since");
    bert.watcher->OfferBaseRows(std::move(offered), file->Digest());
    bert.sync();
    ASSERT_NE(bert.watcher->BaseRows(), nullptr);
    EXPECT_EQ(commentOf(*bert.watcher->BaseRows(), "pc.anna.2"), "as saved");
    EXPECT_EQ(bert.watcher->BaseRows()->Count(), 3);
}
