// A parsed tree keeps its nodes and texts in blocks shared by many of them. These cases
// mix parsed and added nodes and keep texts beyond the tree, which must all behave as
// with nodes and strings of their own (the sanitizers catch what a slip would free).
#include "document/xml/XMLTree.h"
#include "platform/Windows1252.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <random>

namespace {

QString rowsText(int rows)
{
    QString text = "<document><data>";
    for (int i = 0; i < rows; ++i)
        text += QStringLiteral("<row id=\"r%1\"><Text>value&nbsp;%1</Text><Done>Ja</Done></row>").arg(i);
    return text + "</data></document>";
}

} // namespace

TEST(XMLPool, TextsOutliveTheirTreeAndStayApartFromTheirNeighbours)
{
    QString name;
    QString value;
    QString attribute;
    {
        TXMLTree tree;
        ASSERT_TRUE(tree.setText(rowsText(3000)));
        const TXMLNode *row = tree.namedNode({ "document", "data" })->Node(1234);
        name = row->Node(0)->Name().Value();
        value = row->Node(0)->Value();
        attribute = row->Attributes()[0]->Value();
        // A change to a copy leaves the tree's texts alone.
        QString changed = row->Node(0)->Value();
        changed[0] = u'V';
        changed.append(QString(5000, u'x'));
        EXPECT_EQ(row->Node(0)->Value(), "value 1234");
        EXPECT_EQ(tree.namedNode({ "document", "data" })->Node(1235)->Node(0)->Value(), "value 1235");
        // Parsing again into the same tree drops the old nodes; the copies stay.
        ASSERT_TRUE(tree.setText(rowsText(10)));
        EXPECT_EQ(tree.namedNode({ "document", "data" })->Count(), 10);
    }
    EXPECT_EQ(name, "Text");
    EXPECT_EQ(value, "value 1234");
    EXPECT_EQ(attribute, "r1234");
    value.append(" and more");
    EXPECT_EQ(value, "value 1234 and more");
    EXPECT_EQ(value.utf16()[value.size()], 0);
}

TEST(XMLPool, ParsedAndAddedNodesMixAndClear)
{
    auto tree = std::make_unique<TXMLTree>();
    ASSERT_TRUE(tree->setText(rowsText(50)));
    TXMLNode *data = tree->namedNode({ "document", "data" });
    TXMLNode *row = data->Node(7);
    TXMLNode *done = row->namedNode(THashedString("Done"));
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(done->Count(), 0);
    EXPECT_TRUE(done->Nodes().empty());
    EXPECT_TRUE(done->Attributes().empty());

    // Children and attributes added to parsed nodes, with or without lists of their own.
    done->AddAttribute(THashedString("checked"), "1");
    done->AddNode(THashedString("note"), "added")->AddNode(THashedString("deeper"));
    row->AddNode(THashedString("Extra"), "e");
    row->AddAttribute(THashedString("table"), "tbTable");
    const QByteArray text = tree->SaveToBytes(false);
    EXPECT_TRUE(
        text.contains("      <Done checked=\"1\">\r\nJa        <note>\r\nadded          <deeper />\r\n"
                      "        </note>\r\n      </Done>\r\n"));

    EXPECT_TRUE(text.contains("<row id=\"r7\" table=\"tbTable\">"));
    EXPECT_TRUE(text.contains("<Extra>e</Extra>"));

    // A parsed subtree cleared while the tree lives; a copy of the tree made from it.
    data->Node(8)->Clear();
    EXPECT_EQ(data->Node(8)->Count(), 0);
    EXPECT_TRUE(data->Node(8)->Attributes().empty());
    TXMLTree copy;
    data->CloneTo(copy, true);
    EXPECT_EQ(copy.Node(0)->Count(), 50);
    EXPECT_EQ(copy.Node(0)->Node(7)->namedNode(THashedString("Done"))->Node(0)->Value(), "added");

    // Cleared at the root, then grown by hand and parsed again.
    tree->Clear();
    EXPECT_EQ(tree->Count(), 0);
    tree->AddNode(THashedString("hand"), "made");
    EXPECT_EQ(tree->Count(), 1);
    ASSERT_TRUE(tree->setText(rowsText(2)));
    EXPECT_EQ(tree->namedNode({ "document", "data" })->Count(), 2);
    tree.reset();
    EXPECT_EQ(copy.Node(0)->Node(49)->Attributes()[0]->Value(), "r49");
}

// Parsed nodes of one name share it: renaming one node leaves the others, a name
// kept from the tree outlives it, and hand-made nodes (on the tree or on their own)
// rename alike.
TEST(XMLPool, RenamingANodeLeavesTheOthersOfItsName)
{
    THashedString kept;
    {
        TXMLTree tree;
        ASSERT_TRUE(tree.setText(rowsText(40)));
        TXMLNode *data = tree.namedNode({ "document", "data" });
        TXMLNode *first = data->Node(3)->Node(1);
        TXMLNode *second = data->Node(4)->Node(1);
        ASSERT_EQ(&first->Name().Value(), &second->Name().Value());
        kept = first->Name();
        first->SetName("Finished");
        EXPECT_EQ(first->Name().Value(), "Finished");
        EXPECT_TRUE(first->Name().HashEquals(THashedString("Finished")));
        EXPECT_EQ(second->Name().Value(), "Done");
        EXPECT_EQ(data->Node(3)->namedNode(THashedString("Done")), nullptr);
        EXPECT_EQ(data->Node(4)->namedNode(THashedString("Done")), second);
        TXMLNode *added = data->Node(5)->AddNode(THashedString("Added"), "a");
        added->SetName("Renamed");
        EXPECT_EQ(data->Node(5)->namedNode(THashedString("Renamed")), added);
        const QByteArray text = tree.SaveToBytes(false);
        EXPECT_TRUE(text.contains("<Finished>Ja</Finished>"));
        EXPECT_TRUE(text.contains("<Renamed>a</Renamed>"));
        EXPECT_EQ(text.count("<Done>"), 39);
        // Parsed again, the renamed and added nodes go, the rest read as before.
        ASSERT_TRUE(tree.setText(rowsText(2)));
        EXPECT_EQ(tree.namedNode({ "document", "data" })->Node(1)->Node(1)->Name().Value(), "Done");
    }
    EXPECT_EQ(kept.Value(), "Done");
    EXPECT_TRUE(kept.HashEquals(THashedString("Done")));
    TXMLNode alone(THashedString("alone"));
    alone.SetName("renamed");
    alone.AddNode(THashedString("child"))->SetName("kid");
    EXPECT_EQ(alone.Name().Value(), "renamed");
    EXPECT_EQ(alone.Node(0)->Name().Value(), "kid");
}

TEST(XMLPool, FileBytesAndTextReadAlike)
{
    // Bytes are read word by word where they are plain, the text character by character;
    // both must give the same tree for every mix of plain and special pieces, also where
    // a piece ends right at the end of the input.
    const char *pieces[] = { "<a>", "</a>", "<row id=\"r1\" table=\"t\">", "<b x=\"1\"/>", "< />", "<c/>",
        "<?xml v=\"1\"?>", "value", "more text here", " ", "   ", "\r\n", "\r\n      ", "\t", "\r", "\n",
        "&amp;", "&nbsp;", "&#65;", "&#;", "&bogus;", "&", "\xE9", "\x80", "\x9F", "<![CDATA[x\r\ny]]>", "<",
        ">", "/", "?", "=", "\"", "<d\te=\"2\">", "<e\r\nf=\"3\">", "</>", "<>", "\x01", "\x0D\x0A" };
    std::mt19937 rng(3);
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes;
        const int count = int(rng() % 24);
        for (int k = 0; k < count; ++k)
            bytes += pieces[rng() % std::size(pieces)];
        TXMLTree fromBytes;
        ASSERT_NE(fromBytes.LoadFromBytes(bytes), TXMLLoadResult::Failed);
        TXMLTree fromText;
        ASSERT_TRUE(fromText.setText(platform::decodeWindows1252(bytes)));
        ASSERT_EQ(fromBytes.SaveToBytes(false), fromText.SaveToBytes(false)) << bytes.toStdString();
        ASSERT_EQ(fromBytes.NodeCount(), fromText.NodeCount());
        ASSERT_EQ(fromBytes.isComplete(), fromText.isComplete());
    }
}

TEST(XMLPool, TextsFullOfTagStartsReadInLinearTime)
{
    // Each of these would take minutes if a scan went back over what it had seen.
    const QByteArray starts(4 * 1024 * 1024, '<');
    TXMLTree tree;
    EXPECT_EQ(tree.LoadFromBytes(starts), TXMLLoadResult::Plain);
    EXPECT_EQ(tree.Count(), 0);
    EXPECT_EQ(tree.LoadFromBytes("<a>" + QByteArray(4 * 1024 * 1024, 'x')), TXMLLoadResult::Plain);
    EXPECT_EQ(tree.Node(0)->Value().size(), 4 * 1024 * 1024);
    EXPECT_EQ(tree.LoadFromBytes(QByteArray("<a ").repeated(1024 * 1024)), TXMLLoadResult::Plain);
    EXPECT_EQ(tree.Count(), 0);
}

namespace {

void expectSameTree(const TXMLNode &read, const TXMLNode &made, const QString &path)
{
    ASSERT_EQ(read.Name().Value(), made.Name().Value()) << path.toStdString();
    ASSERT_EQ(read.Name().Hash(), THashedString::HashOf(made.Name().Value())) << path.toStdString();
    ASSERT_EQ(read.Value(), made.Value()) << path.toStdString();
    ASSERT_EQ(read.Attributes().size(), made.Attributes().size()) << path.toStdString();
    for (std::size_t a = 0; a < made.Attributes().size(); ++a) {
        ASSERT_EQ(read.Attributes()[a]->Name().Value(), made.Attributes()[a]->Name().Value());
        ASSERT_EQ(read.Attributes()[a]->Value(), made.Attributes()[a]->Value()) << path.toStdString();
    }
    ASSERT_EQ(read.Count(), made.Count()) << path.toStdString();
    for (int i = 0; i < made.Count(); ++i)
        expectSameTree(*read.Node(i), *made.Node(i), path + "/" + QString::number(i));
}

} // namespace

// Parsed names and short values are shared between the elements that repeat them.
// Random trees over more names and values than that sharing holds at once (so
// that they displace each other), with escaped characters, characters beyond
// ASCII and values on both sides of the shared length, read back from their
// written bytes and text exactly as they were made.
TEST(XMLPool, RandomTreesReadBackAsMade)
{
    std::mt19937 random(5);
    const auto pick = [&random](int n) { return int(random() % unsigned(n)); };
    const QString letters = QStringLiteral("abcXYZ019 &<>\"\u00e9\u20ac");
    QStringList values { QString() };
    for (int i = 0; i < 700; ++i) {
        QString value = QString::number(i % 97);
        const int length = pick(42);
        for (int k = 0; k < length; ++k)
            value += letters[pick(int(letters.size()))];
        values.append(value.trimmed());
    }
    QStringList names;
    for (int i = 0; i < 500; ++i)
        names.append(QStringLiteral("n%1").arg(i * 7919 % 100003));
    for (int round = 0; round < 6; ++round) {
        TXMLTree made;
        TXMLNode *data = made.AddNode(THashedString("data"));
        for (int row = 0; row < 400; ++row) {
            TXMLNode *element = data->AddNode(THashedString(names[pick(40)]));
            if (pick(2))
                element->AddAttribute(THashedString(names[pick(500)]), values[pick(700)]);
            const int cells = 1 + pick(8);
            for (int c = 0; c < cells; ++c) {
                TXMLNode *cell = element->AddNode(THashedString(names[pick(500)]), values[pick(701)]);
                if (pick(10) == 0)
                    cell->AddNode(THashedString(names[pick(500)]), values[pick(701)]);
            }
        }
        TXMLTree fromBytes;
        ASSERT_EQ(fromBytes.LoadFromBytes(made.SaveToBytes(false)), TXMLLoadResult::Plain);
        expectSameTree(*fromBytes.Node(0), *data, "bytes");
        TXMLTree fromText;
        ASSERT_TRUE(fromText.setText(made.getText()));
        expectSameTree(*fromText.Node(0), *data, "text");
    }
}

namespace {

// Rows of varied shape (one with a child list longer than a pool chunk takes, one
// nested), set between elements that must outlive them.
QString mixedRowsText(int rows)
{
    QString text = "<document><setup><name>plan</name></setup><data>";
    for (int i = 0; i < rows; ++i) {
        text += QStringLiteral("<row id=\"r%1\" n=\"%1\"><Text>value %1</Text>").arg(i);
        if (i == rows / 3) {
            for (int k = 0; k < 3000; ++k)
                text += QStringLiteral("<c>%1</c>").arg(k);
        }
        if (i % 7 == 0)
            text += QStringLiteral("<deep><deeper>%1</deeper></deep>").arg(i);
        text += "</row>";
    }
    return text + "</data><after><x>tail</x></after></document>";
}

// The rows from `from` on, as parsed.
void expectRowsFrom(const TXMLNode &data, int from, int rows)
{
    ASSERT_GE(data.Count(), rows);
    for (int i = from; i < rows; ++i) {
        const TXMLNode *row = data.Node(i);
        ASSERT_NE(row, nullptr) << i;
        EXPECT_EQ(row->Attributes()[0]->Value(), QStringLiteral("r%1").arg(i));
        EXPECT_EQ(row->Attributes()[1]->Value(), QString::number(i));
        EXPECT_EQ(row->Node(0)->Value(), QStringLiteral("value %1").arg(i));
        if (i == rows / 3) {
            EXPECT_EQ(row->Node(3000)->Value(), "2999");
        }
        if (i % 7 == 0) {
            EXPECT_EQ(row->Nodes().back()->Node(0)->Value(), QString::number(i));
        }
    }
}

} // namespace

TEST(XMLPool, RowsFreedAsTheyAreReadLeaveTheRestWhole)
{
    constexpr int rows = 5000;
    TXMLTree tree;
    ASSERT_TRUE(tree.setText(mixedRowsText(rows)));
    TXMLNode *data = tree.namedNode({ "document", "data" });
    const QString kept = data->Node(10)->Node(0)->Value();
    int freed = 0;
    for (const int upTo : { 0, 1, 1, 700, 1666, 1667, 1668, 4096, 4999 }) {
        ASSERT_TRUE(tree.ReleaseChildren(*data, upTo));
        freed = std::max(freed, upTo);
        for (int i = 0; i < freed; ++i)
            ASSERT_EQ(data->Node(i), nullptr) << i;
        expectRowsFrom(*data, freed, rows);
    }
    EXPECT_EQ(tree.namedNode({ "document", "setup", "name" })->Value(), "plan");
    EXPECT_EQ(tree.namedNode({ "document", "after", "x" })->Value(), "tail");
    // The last row, and a count beyond the rows, take everything but the elements around.
    ASSERT_TRUE(tree.ReleaseChildren(*data, rows + 10));
    EXPECT_EQ(data->Node(rows - 1), nullptr);
    EXPECT_EQ(tree.namedNode({ "document", "after", "x" })->Value(), "tail");
    EXPECT_EQ(tree.namedNode({ "document", "setup", "name" })->Value(), "plan");
    EXPECT_EQ(kept, "value 10");
    // A new parse into the same tree starts afresh.
    ASSERT_TRUE(tree.setText(mixedRowsText(40)));
    data = tree.namedNode({ "document", "data" });
    ASSERT_TRUE(tree.ReleaseChildren(*data, 20));
    expectRowsFrom(*data, 20, 40);
}

TEST(XMLPool, RowsAreFreedForTheFirstParentOnlyAndNeverOnceChanged)
{
    TXMLTree tree;
    ASSERT_TRUE(tree.setText(mixedRowsText(300)));
    TXMLNode *data = tree.namedNode({ "document", "data" });
    TXMLNode *setup = tree.namedNode({ "document", "setup" });
    ASSERT_TRUE(tree.ReleaseChildren(*data, 100));
    EXPECT_FALSE(tree.ReleaseChildren(*setup, 1));
    EXPECT_EQ(setup->Node(0)->Value(), "plan");
    expectRowsFrom(*data, 100, 300);

    // A row added by hand: the data element is no longer as parsed.
    TXMLTree changed;
    ASSERT_TRUE(changed.setText(mixedRowsText(300)));
    TXMLNode *rowsOf = changed.namedNode({ "document", "data" });
    rowsOf->AddNode(THashedString("row"), "added");
    EXPECT_FALSE(changed.ReleaseChildren(*rowsOf, 200));
    EXPECT_EQ(rowsOf->Count(), 301);
    expectRowsFrom(*rowsOf, 0, 300);
}
