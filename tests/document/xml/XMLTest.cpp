#include "document/xml/XMLEscape.h"
#include "document/xml/XMLFile.h"
#include "document/xml/XMLTree.h"
#include "tests/support/TestFiles.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using testsupport::readFile;
using testsupport::writeFile;

QByteArray written(const TXMLTree &tree)
{
    return tree.SaveToBytes(false);
}

std::unique_ptr<TXMLTree> parsed(const QString &text)
{
    auto tree = std::make_unique<TXMLTree>();
    EXPECT_TRUE(tree->setText(text));
    return tree;
}

// Reads bytes back and writes them again.
QByteArray rewritten(const QByteArray &bytes)
{
    TXMLTree tree;
    EXPECT_NE(tree.LoadFromBytes(bytes), TXMLLoadResult::Failed);
    return written(tree);
}

const char *const kDefaultLayout = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" />\r\n"
                                   "<document>\r\n"
                                   "  <setup />\r\n"
                                   "  <data />\r\n"
                                   "  <diff index=\"0\" />\r\n"
                                   "</document>\r\n";

} // namespace

TEST(XMLTree, DefaultTransactionTextParsesAndWritesInTheFixedLayout)
{
    auto tree = parsed(TXMLFile::DefaultText());
    EXPECT_EQ(tree->NodeCount(), 1);
    EXPECT_TRUE(tree->isComplete());
    const TXMLNode *diff = tree->namedNode(QStringList { "document", "diff" });
    ASSERT_NE(diff, nullptr);
    EXPECT_EQ(ToInt(diff->namedAttribute(THashedString("index")), -1), 0);
    // The declaration and both levels of nodes, exactly as parsed.
    EXPECT_EQ(written(*tree), kDefaultLayout);
    EXPECT_EQ(rewritten(kDefaultLayout), kDefaultLayout);
    EXPECT_EQ(tree->getText(), QString::fromLatin1(kDefaultLayout));
}

TEST(XMLTree, WriterLayoutForValuesChildrenAttributesAndCData)
{
    TXMLTree tree;
    TXMLNode *doc = tree.AddNode(THashedString("document"));
    doc->AddAttribute(THashedString("a b"), "x\"<y>&z'");
    doc->AddNode(THashedString("Start"), " 2024-01-02 ");
    TXMLNode *mixed = doc->AddNode(THashedString("mixed"), "text");
    mixed->AddNode(THashedString("leaf"));
    TXMLNode *cdata = doc->AddNode(THashedString("c"), "line1\\n line2\\t x&y");
    cdata->SetValueType(xvtCDATA);
    EXPECT_EQ(written(tree),
        "<document a&nbsp;b=\"x&quot;&lt;y&gt;&amp;z'\">\r\n"
        "  <Start>&nbsp;2024-01-02&nbsp;</Start>\r\n"
        "  <mixed>\r\n"
        "text    <leaf />\r\n"
        "  </mixed>\r\n"
        "  <c><![CDATA[line1\r\nline2\tx&y]]></c>\r\n"
        "</document>\r\n");

    // Reading it back gives the same values, blanks at the ends included.
    TXMLTree back;
    ASSERT_EQ(back.LoadFromBytes(written(tree)), TXMLLoadResult::Plain);
    const TXMLNode *d = back.Node(0);
    EXPECT_EQ(d->Attributes()[0]->Name().Value(), "a b");
    EXPECT_EQ(d->Attributes()[0]->Value(), "x\"<y>&z'");
    EXPECT_EQ(d->Node(0)->Value(), " 2024-01-02 ");
    EXPECT_EQ(d->Node(1)->Value(), "text");
    EXPECT_EQ(d->Node(2)->Value(), "line1\\n line2\\t x&y");
    EXPECT_EQ(d->Node(2)->ValueType(), xvtCDATA);
}

TEST(XMLTree, EscapingAndUnescaping)
{
    EXPECT_EQ(XMLEscape(u"a b&<>\"'"), "a&nbsp;b&amp;&lt;&gt;&quot;'");
    EXPECT_EQ(XMLUnescape(u"&#65;&amp;&lt;&gt;&quot;&nbsp;"), "A&<>\" ");
    // Anything else after "&" leaves the whole text as it stood.
    EXPECT_EQ(XMLUnescape(u"&lt;&foo;"), "&lt;&foo;");
    EXPECT_EQ(XMLUnescape(u"x &#65"), "x &#65");
    EXPECT_EQ(XMLUnescape(u"&#;"), "&#;");
    EXPECT_EQ(XMLUnescape(u"&#70000;"), "&#70000;");
    EXPECT_EQ(XMLUnescape(u"&"), "&");
}

TEST(XMLTree, LenientParsing)
{
    // Text over several lines loses its line structure; a later chunk replaces an earlier one.
    auto t1 = parsed("<a>one\r\n\ttwo\r\n</a><b>first<x/>second</b>");
    EXPECT_EQ(t1->Node(0)->Value(), "one  two");
    EXPECT_EQ(t1->Node(1)->Value(), "second");
    EXPECT_EQ(t1->Node(1)->Node(0)->Name().Value(), "x/");

    // Closing tags do not compare names; one at the top level is ignored; a comment is
    // skipped; "a /" is an empty element; single quotes do not delimit values.
    auto t2 = parsed("</stray><a><b></zzz><c /><!-- note --><d k='v' m=\"1\" /></a>");
    ASSERT_EQ(t2->Count(), 1);
    const TXMLNode *a = t2->Node(0);
    ASSERT_EQ(a->Count(), 3);
    EXPECT_EQ(a->Node(1)->Name().Value(), "c");
    const TXMLNode *d = a->Node(2);
    EXPECT_EQ(d->Name().Value(), "d");
    ASSERT_EQ(d->Attributes().size(), 1u);
    EXPECT_EQ(d->Attributes()[0]->Name().Value(), "k");
    EXPECT_EQ(d->Attributes()[0]->Value(), "1");
    EXPECT_TRUE(t2->isComplete());

    // CDATA keeps line ends as markers; an unclosed section, a "<" without ">" and a
    // reference without ";" end the parse without trouble.
    auto t3 = parsed("<a><![cdata[x\r\ny\tz]]></a>");
    EXPECT_EQ(t3->Node(0)->Value(), "x\\n y\\t z");
    EXPECT_EQ(t3->Node(0)->ValueType(), xvtCDATA);
    EXPECT_EQ(parsed("<a><![CDATA[open")->Node(0)->Value(), "open");
    EXPECT_EQ(parsed("<a>x < y <<< z")->Node(0)->Value(), "z");
    EXPECT_EQ(parsed("<a>&#65</a>")->Node(0)->Value(), "&#65");
}

TEST(XMLTree, CommentsAreSkippedWhereverTheyStand)
{
    // Before the root, between elements, inside a text, holding tags, ">" and "--", in
    // file bytes and in text alike.
    const QByteArray bytes = "<?xml version=\"1.0\"?>\r\n<!-- written by hand -->\r\n<document>\r\n"
                             "  <!-- <setup><data> are below; a > b -- c -->\r\n"
                             "  <setup>on<!-- x -->e</setup>\r\n"
                             "  <data><!----><row id=\"7\" /></data>\r\n"
                             "</document>\r\n<!-- trailing";
    TXMLTree fromBytes;
    ASSERT_NE(fromBytes.LoadFromBytes(bytes), TXMLLoadResult::Failed);
    auto fromText = parsed(QString::fromLatin1(bytes));
    for (const TXMLTree *tree : { &fromBytes, fromText.get() }) {
        ASSERT_EQ(tree->Count(), 2);
        const TXMLNode *document = tree->Node(1);
        EXPECT_EQ(document->Name().Value(), "document");
        ASSERT_EQ(document->Count(), 2);
        EXPECT_EQ(document->Node(0)->Name().Value(), "setup");
        EXPECT_EQ(document->Node(0)->Value(), "e");
        ASSERT_EQ(document->Node(1)->Count(), 1);
        EXPECT_EQ(document->Node(1)->Node(0)->Name().Value(), "row");
        EXPECT_TRUE(tree->isComplete());
    }
}

TEST(XMLTree, NamesThatLookLikeTagSyntaxRoundTrip)
{
    // A column caption ending in "/" once cut every later column and row out of a document.
    TXMLTree tree;
    TXMLNode *change = tree.AddNode(THashedString("document"))->AddNode(THashedString("change"));
    for (const char *name : { "Cost/", "/Path", "Done?", "?", "", "![CDATA[x", "a b" })
        change->AddNode(THashedString(name), QString("v-%1").arg(name));
    change->AddNode(THashedString("empty/"));
    change->AddNode(THashedString(""));
    change->AddAttribute(THashedString("x=y/"), "1");
    change->AddNode(THashedString("Last"), "end");

    const QByteArray bytes = written(tree);
    EXPECT_TRUE(bytes.contains("<Cost&#47;>v-Cost/</Cost&#47;>")) << bytes.constData();
    EXPECT_TRUE(bytes.contains("<&#47;Path>")) << bytes.constData();
    EXPECT_TRUE(bytes.contains("<Done&#63;>")) << bytes.constData();
    EXPECT_TRUE(bytes.contains(" x&#61;y&#47;=\"1\"")) << bytes.constData();

    TXMLTree back;
    ASSERT_EQ(back.LoadFromBytes(bytes), TXMLLoadResult::Plain);
    EXPECT_TRUE(back.isComplete());
    const TXMLNode *c = back.Node(0)->Node(0);
    ASSERT_EQ(c->Count(), change->Count());
    for (int i = 0; i < change->Count(); ++i) {
        EXPECT_EQ(c->Node(i)->Name().Value(), change->Node(i)->Name().Value());
        EXPECT_EQ(c->Node(i)->Value(), change->Node(i)->Value());
    }
    EXPECT_EQ(c->Attributes()[0]->Name().Value(), "x=y/");
    EXPECT_EQ(written(back), bytes);
}

TEST(XMLTree, CharactersOutsideTheCodePageAndControlsAreWrittenAsReferences)
{
    TXMLTree tree;
    const QString value = QString::fromUtf8("€ä Ω \xF0\x9F\x98\x80") + "\tline\r\nnext";
    tree.AddNode(THashedString(QString::fromUtf8("Größe")), value);
    const QByteArray bytes = written(tree);
    EXPECT_EQ(bytes,
        QByteArray("<Gr\xF6\xDF"
                   "e>\x80\xE4&nbsp;&#937;&nbsp;&#55357;&#56832;&#9;line&#13;&#10;next</Gr\xF6\xDF"
                   "e>\r\n"));
    TXMLTree back;
    back.LoadFromBytes(bytes);
    EXPECT_EQ(back.Node(0)->Name().Value(), QString::fromUtf8("Größe"));
    EXPECT_EQ(back.Node(0)->Value(), value);
}

TEST(XMLTree, NestingIsCappedAndDeepTreesNeedNoRecursion)
{
    auto nested = [](int depth) { return QString("<a>").repeated(depth) + QString("</a>").repeated(depth); };
    TXMLTree ok;
    EXPECT_TRUE(ok.setText(nested(TXMLTree::MaxDepth)));
    EXPECT_EQ(ok.NodeCount(), TXMLTree::MaxDepth);
    TXMLTree tooDeep;
    QString error;
    EXPECT_FALSE(tooDeep.setText(nested(TXMLTree::MaxDepth + 1), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(tooDeep.Count(), 0);
    EXPECT_EQ(tooDeep.LoadFromBytes(nested(TXMLTree::MaxDepth).replace("<a></a>", "<a><b/></a>").toLatin1()),
        TXMLLoadResult::Failed);

    // A tree built in code may be far deeper: searching, cloning and freeing it must not
    // exhaust the stack.
    auto deep = std::make_unique<TXMLTree>();
    TXMLNode *node = deep.get();
    for (int i = 0; i < 200000; ++i)
        node = node->AddNode(THashedString("n"));
    node->AddNode(THashedString("bottom"), "v");
    EXPECT_EQ(GetValue(deep->namedNode(THashedString("bottom"), true)), "v");
    EXPECT_EQ(deep->namedNode(THashedString("bottom"), false), nullptr);
    TXMLTree copy;
    deep->Node(0)->CloneTo(copy, true);
    deep.reset();
    copy.Clear();
}

TEST(XMLTree, NodeAccessHelpers)
{
    auto tree = parsed("<r><a><x>1</x></a><b n=\"-12\" t=\"256\" u=\"257\" bad=\"1x\"><x>2</x></b></r>");
    const TXMLNode *r = tree->Node(0);
    EXPECT_EQ(GetValue(r->namedNode(THashedString("x"), true)), "1");
    EXPECT_EQ(r->namedNode(THashedString("x")), nullptr);
    EXPECT_EQ(r->namedNode(THashedString("A")), nullptr); // names compare with their case
    EXPECT_EQ(tree->namedNode(QStringList { "r", "b", "x" })->ToInt(0), 2);
    EXPECT_EQ(tree->namedNode(QStringList { "r", "c", "x" }), nullptr);
    const TXMLNode *b = r->Node(1);
    EXPECT_EQ(ToInt(b->namedAttribute(THashedString("n")), 0), -12);
    EXPECT_EQ(ToInt(b->namedAttribute(THashedString("bad")), 7), 7);
    EXPECT_EQ(ToInt(b->namedAttribute(THashedString("none")), 7), 7);
    EXPECT_FALSE(ToBool(b->namedAttribute(THashedString("t")), true));
    EXPECT_TRUE(ToBool(b->namedAttribute(THashedString("u")), false));
    EXPECT_EQ(GetValue(nullptr), "");

    TXMLTree target;
    r->CloneTo(target, false);
    EXPECT_EQ(written(target),
        "<r>\r\n  <a>\r\n    <x>1</x>\r\n  </a>\r\n  <b>\r\n    <x>2</x>\r\n  </b>\r\n</r>\r\n");
    EXPECT_EQ(b->Attributes()[0]->document(), " n=\"-12\"");
}

TEST(XMLTree, CompressedStreams)
{
    auto tree = parsed(TXMLFile::DefaultText());
    const QByteArray packed = tree->SaveToBytes(true);
    EXPECT_TRUE(packed.startsWith(QByteArray("zip\0", 4)));
    TXMLTree back;
    ASSERT_EQ(back.LoadFromBytes(packed), TXMLLoadResult::Compressed);
    EXPECT_EQ(written(back), kDefaultLayout);

    // Once the magic matched, a damaged stream is a failed read, never plain text.
    QByteArray damaged = packed;
    damaged[damaged.size() - 3] = char(damaged[damaged.size() - 3] ^ 0x55);
    damaged.chop(1);
    QString error;
    EXPECT_EQ(back.LoadFromBytes(damaged, &error), TXMLLoadResult::Failed);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(back.Count(), 0);
}

TEST(XMLTree, SaveToStreamReportsAFailedWrite)
{
    auto tree = parsed(TXMLFile::DefaultText());
    QByteArray buffer;
    QBuffer readOnly(&buffer);
    readOnly.open(QIODevice::ReadOnly);
    QStringList log;
    EXPECT_FALSE(tree->SaveToStream(readOnly, true, [&](const QString &m) { log << m; }));
    EXPECT_EQ(log.size(), 1);

    QBuffer ok(&buffer);
    ok.open(QIODevice::WriteOnly);
    EXPECT_TRUE(tree->SaveToStream(ok, false));
    EXPECT_EQ(buffer, kDefaultLayout);
}

TEST(XMLFile, LoadsAndFlushesPlainAndCompressed)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("user.1.diff");

    // A missing file reads as the default text.
    auto file = TXMLFile::Create(path, false).value();
    ASSERT_NE(file, nullptr);
    EXPECT_NE(file->xml().namedNode(QStringList { "document", "diff" }), nullptr);
    EXPECT_TRUE(file->Compressed());

    file->xml().namedNode(QStringList { "document", "diff" })->AddNode(THashedString("new"));
    ASSERT_TRUE(file->Flush());
    const QByteArray packed = readFile(path);
    EXPECT_TRUE(packed.startsWith(QByteArray("zip\0", 4)));
    EXPECT_EQ(file->LastSize(), packed.size());

    auto reader = TXMLFile::Create(path, true).value();
    ASSERT_NE(reader, nullptr);
    EXPECT_TRUE(reader->WasCompressed());
    EXPECT_NE(reader->xml().namedNode(QStringList { "document", "diff", "new" }), nullptr);
    EXPECT_FALSE(reader->Flush());

    file->SetCompressed(false);
    ASSERT_TRUE(file->Flush());
    EXPECT_EQ(readFile(path),
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" />\r\n<document>\r\n  <setup />\r\n  <data />\r\n"
        "  <diff index=\"0\">\r\n    <new />\r\n  </diff>\r\n</document>\r\n");
    ASSERT_TRUE(reader->Load());
    EXPECT_FALSE(reader->WasCompressed());
}

// Failed writes are covered with the document and transaction files in FileFaultsTest.
TEST(XMLFile, DamagedFilesKeepWhatWasThere)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("doc.kez");
    ASSERT_TRUE(writeFile(path, "<document><data><row>1</row></data></document>"));
    TXMLFile file(path, false);
    ASSERT_TRUE(file.Load());

    // A file cut short, or damaged compressed bytes, leave the tree as it was.
    for (const QByteArray &bad :
        { QByteArray("<document><data><row>2</row>"), QByteArray("zip\0\x05\0\0\0\x01\0\x40", 11) }) {
        ASSERT_TRUE(writeFile(path, bad));
        const platform::Status loaded = file.Load();
        EXPECT_FALSE(loaded);
        EXPECT_TRUE(loaded.reason().startsWith("Cannot read " + path)) << loaded.reason().toStdString();
        EXPECT_EQ(GetValue(file.xml().namedNode(QStringList { "document", "data", "row" })), "1");
    }
}
