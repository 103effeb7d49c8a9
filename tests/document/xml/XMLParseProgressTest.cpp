// A parse tells another thread how far it came through its text, and loading a
// file's bytes read elsewhere gives what loading the file gives.
#include "document/xml/XMLFile.h"
#include "document/xml/XMLParser.h"
#include "document/xml/XMLTree.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>

namespace {

// Some megabytes of rows, so that a parse reports more than once.
QByteArray rowsText(int rows)
{
    QByteArray text = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<document>\r\n<data>\r\n";
    for (int i = 0; i < rows; ++i)
        text += "<new id=\"pc.anna." + QByteArray::number(i) + "\"><Comment>row " + QByteArray::number(i)
            + " of the plan</Comment></new>\r\n";
    return text + "</data>\r\n</document>\r\n";
}

} // namespace

TEST(XMLParseProgress, AParseReportsItsTextOnlyWhileAScopeLivesOnItsThread)
{
    const QByteArray text = rowsText(60000);
    xml::ParseProgress progress;
    {
        const xml::ParseProgressScope scope(&progress);
        TXMLTree tree;
        ASSERT_NE(tree.LoadFromBytes(text), TXMLLoadResult::Failed);
        EXPECT_EQ(tree.namedNode(QStringList { "document", "data" })->Count(), 60000);
    }
    EXPECT_EQ(progress.total.load(), text.size());
    // The last report lies in the last megabyte.
    EXPECT_GT(progress.done.load(), text.size() - (qint64(1) << 20));
    EXPECT_LE(progress.done.load(), text.size());

    // Without a scope, and on another thread than the scope's, nothing is told.
    xml::ParseProgress other;
    const xml::ParseProgressScope scope(&other);
    std::thread([&] {
        TXMLTree tree;
        tree.LoadFromBytes(text);
    }).join();
    EXPECT_EQ(other.total.load(), 0);
}

TEST(XMLParseProgress, BytesReadElsewhereLoadAsTheFileDoesUnderItsLimits)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("plan.kez");
    const QByteArray text = rowsText(50);
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();

    TXMLFile fromFile(name, true), fromBytes(name, true);
    fromFile.SetKeepDigest(true);
    fromBytes.SetKeepDigest(true);
    ASSERT_TRUE(fromFile.Load());
    ASSERT_TRUE(fromBytes.LoadBytes(text));
    EXPECT_EQ(fromBytes.xml().getText(), fromFile.xml().getText());
    EXPECT_EQ(fromBytes.Digest(), fromFile.Digest());
    EXPECT_EQ(fromBytes.LastSize(), text.size());

    // The limits hold for bytes as for a file: more text or more elements than
    // allowed is refused, and the tree stays as it was.
    TXMLFile limited(name, true);
    limited.SetReadPolicy(true, text.size() - 1);
    EXPECT_FALSE(limited.LoadBytes(text));
    EXPECT_TRUE(limited.TooLarge());
    limited.SetReadPolicy(true, -1);
    limited.SetMaxElements(10);
    EXPECT_FALSE(limited.LoadBytes(text));
    EXPECT_TRUE(limited.TooLarge());
    EXPECT_EQ(limited.xml().getText(), TXMLFile(name, true).xml().getText());
}
