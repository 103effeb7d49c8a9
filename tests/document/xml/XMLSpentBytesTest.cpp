// A parse of bytes handed over for good gives back the memory of the pages it has
// passed, and still builds the tree a parse of the same bytes kept whole builds;
// bytes someone else still holds are only read.
#include "document/xml/XMLFile.h"
#include "document/xml/XMLParser.h"
#include "document/xml/XMLTree.h"

#include <gtest/gtest.h>

namespace {

// Rows that repeat names and values (shared by the parse) and hold texts of their own,
// some megabytes in all, so that the parse gives memory back more than once.
QByteArray rowsText(int rows)
{
    QByteArray text = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" />\r\n<document>\r\n<data>\r\n";
    for (int i = 0; i < rows; ++i) {
        const QByteArray n = QByteArray::number(i);
        text += "  <new id=\"gen.task." + n + "\">\r\n    <Position>Machine&nbsp;" + QByteArray::number(i % 7)
            + "</Position>\r\n    <Comment>Order\t" + n
            + " &amp; more</Comment>\r\n    <State>Done</State>\r\n  </new>\r\n";
    }
    return text + "</data>\r\n</document>\r\n";
}

QByteArray copyOf(const QByteArray &bytes)
{
    return QByteArray(bytes.constData(), bytes.size());
}

QByteArray dataText(const TXMLNode &root)
{
    const TXMLNode *data = root.namedNode(QStringList { "document", "data" });
    return data ? data->document(0).toLatin1() : QByteArray();
}

constexpr int kRows = 100000;

} // namespace

TEST(XMLSpentBytes, APassedTextIsGivenBackAndTheTreeIsTheOneTheWholeTextGives)
{
    QByteArray bytes = rowsText(kRows);
    ASSERT_GT(bytes.size(), 12 << 20);
    const QByteArray original = copyOf(bytes);
    TXMLTree whole;
    ASSERT_EQ(whole.LoadFromBytes(original), TXMLLoadResult::Plain);

    xml::NodePool pool;
    TXMLNode root;
    const xml::ParseOutcome outcome = xml::parseSpending(root, bytes, TXMLTree::MaxDepth, pool);
    ASSERT_TRUE(outcome.ok);
    EXPECT_TRUE(outcome.complete);
    EXPECT_EQ(outcome.nodeCount, whole.NodeCount());
    EXPECT_EQ(dataText(root), dataText(whole));
    EXPECT_EQ(root.namedNode(QStringList { "document", "data" })->Node(kRows - 1)->Node(1)->Value(),
        QString("Order %1 & more").arg(kRows - 1));

    // The front went back to the system (it reads as zeros now), some megabytes of
    // it; the last bytes, passed only at the end, are as they were.
    qsizetype zeros = 0;
    for (const char c : std::as_const(bytes))
        zeros += c == 0;
    EXPECT_GT(zeros, 8 << 20);
    EXPECT_EQ(bytes.last(1 << 20), original.last(1 << 20));
}

TEST(XMLSpentBytes, SharedBytesAreOnlyReadAndAFileKeepsItsDigestAndSize)
{
    const QByteArray text = rowsText(kRows);
    const QByteArray original = copyOf(text);

    // The caller keeps its bytes through the tree, and through a file.
    QByteArray shared = text;
    TXMLTree tree;
    ASSERT_EQ(tree.LoadSpending(std::move(shared)), TXMLLoadResult::Plain);
    TXMLFile file("plan.kez", true);
    file.SetKeepDigest(true);
    ASSERT_TRUE(file.LoadBytes(text));
    EXPECT_EQ(text, original);

    // Handed over: the same tree, the digest and size of the bytes as they came.
    TXMLFile spent("plan.kez", true);
    spent.SetKeepDigest(true);
    ASSERT_TRUE(spent.LoadBytes(copyOf(text)));
    EXPECT_EQ(spent.Digest(), TXMLFile::DigestOf(original));
    EXPECT_EQ(spent.Digest(), file.Digest());
    EXPECT_EQ(spent.LastSize(), original.size());
    EXPECT_EQ(dataText(spent.xml()), dataText(file.xml()));
    EXPECT_EQ(dataText(spent.xml()), dataText(tree));
}

TEST(XMLSpentBytes, ACompressedStreamHandedOverUnpacksAndParsesAsAKeptOne)
{
    TXMLTree whole;
    ASSERT_EQ(whole.LoadFromBytes(rowsText(kRows)), TXMLLoadResult::Plain);
    const QByteArray packed = whole.SaveToBytes(true);

    TXMLTree spent;
    ASSERT_EQ(spent.LoadSpending(copyOf(packed)), TXMLLoadResult::Compressed);
    EXPECT_EQ(dataText(spent), dataText(whole));
    TXMLTree kept;
    ASSERT_EQ(kept.LoadFromBytes(packed), TXMLLoadResult::Compressed);
    EXPECT_EQ(dataText(kept), dataText(whole));
    // A damaged stream fails alike, and a bare text too deep for a tree as well.
    EXPECT_EQ(spent.LoadSpending(packed.first(packed.size() / 2)), TXMLLoadResult::Failed);
    QString error;
    EXPECT_EQ(spent.LoadSpending(QByteArray("<a>").repeated(TXMLTree::MaxDepth + 1), &error),
        TXMLLoadResult::Failed);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(spent.Count(), 0);
}
