// Cut, copy and paste of rows between trees of one process through the
// clipboard, the formats a tree offers, and the records it reads back.
#include "components/StreamIO.h"
#include "components/gui/GTClipboardFormats.h"
#include "components/gui/GTDataObject.h"
#include "tests/components/gui/CellTreeSupport.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLocale>
#include <QMimeData>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace treetest;

namespace {

const QString TreeMime = QStringLiteral("application/x-zeltrano-tree-data");
const QString ReferenceMime = QStringLiteral("application/x-zeltrano-tree-reference");
const QString TextMime = QStringLiteral("text/plain;charset=utf-8");

// A flat tree of rows "r0".."rN-1" (second cell "cI") offering every format.
struct TClipTree : TCellTree {
    explicit TClipTree(int Rows = 0, const QString &Prefix = QStringLiteral("r"))
    {
        AddColumns(*this, { 60, 60 });
        Header().Columns()[0].SetText(QStringLiteral("Name"));
        Header().Columns()[1].SetText(QStringLiteral("Value"));
        for (int i = 0; i < Rows; ++i)
            Add(nullptr, { Prefix + QString::number(i), QStringLiteral("c%1").arg(i) });
        SetClipboardFormats({ QLatin1String(CFSTR_GRIDTREE), QLatin1String(CFSTR_HTML),
            QLatin1String(CFSTR_RTF), QLatin1String(CFSTR_RTFNOOBJS), QLatin1String(CFSTR_CSV),
            ClipboardFormatName(CF_UNICODETEXT), ClipboardFormatName(CF_TEXT) });
        Tree()->SetSelectionOptions({ toMultiSelect });
    }
    void Select(std::initializer_list<const char *> Names)
    {
        Tree()->ClearSelection();
        for (const char *name : Names)
            Tree()->AddToSelection(Find(QString::fromUtf8(name)));
    }
    QStringList Marked()
    {
        QStringList result;
        for (TGridNode *node = Tree()->GetFirst(); node; node = Tree()->GetNext(node))
            if (node->Has(vsCutOrCopy))
                result << Cells(node)[0];
        return result;
    }
};

// The tree records of some rows as the clipboard carries them.
QByteArray TreeBlock(TClipTree &Tree, const TNodeArray &Nodes)
{
    return Tree.Tree()->WriteNodeBlock(Nodes);
}

QByteArray Reference(uint32_t Process, uint32_t Tree)
{
    QByteArray block(8, '\0');
    qToLittleEndian(Process, block.data());
    qToLittleEndian(Tree, block.data() + 4);
    return block;
}

} // namespace

TEST(GridTreeClipboard, RegistryOrdersByPriorityAndTreesTakeOnlyWhatTheyRender)
{
    QStringList names;
    for (const TClipboardFormatEntry &entry : ClipboardFormatRegistry())
        names << entry.Description;
    EXPECT_EQ(names.mid(0, 7),
        QStringList({ "Dedevev Azev Data", "HTML Format", "Rich Text Format Without Objects",
            "Rich Text Format", "CSV", "Unicode text", "Plain text" }));
    TClipFormat format = 0;
    EXPECT_EQ(FindFormat(QStringLiteral("csv"), format), &TCustomStringGridTree::staticMetaObject);
    EXPECT_EQ(ClipboardFormatName(format), QStringLiteral("CSV"));
    EXPECT_EQ(FindFormat(QStringLiteral("Dedevev Azev Reference"), format), nullptr);

    // A plain tree view renders only the tree's own records.
    TGridTreeView plain;
    EXPECT_EQ(plain.ClipboardFormats().Add(QStringLiteral("HTML Format")), -1);
    EXPECT_EQ(plain.ClipboardFormats().Add(QStringLiteral("Dedevev Azev Data")), 0);
    TClipTree strings;
    strings.SetClipboardFormats({ "Unicode text", "nonsense", "CSV", "csv" });
    EXPECT_EQ(strings.ClipboardFormats().Items(), QStringList({ "CSV", "Unicode text" }));
    EXPECT_EQ(strings.ClipboardFormats().Insert(0, QStringLiteral("Dedevev Azev Reference")), -1);

    // The formats offered follow the registry's order, the owner's own last.
    strings.OnGetUserClipboardFormats = [](TGridTreeView &, TFormatList &Formats) {
        Formats.push_back({ QStringLiteral("Mine"), nullptr, 1000,
            RegisterClipboardFormat(QStringLiteral("Mine")), QStringLiteral("application/x-mine") });
    };
    TFormatList offered;
    strings.GetNativeClipboardFormats(offered);
    ASSERT_EQ(offered.size(), 3u);
    EXPECT_EQ(offered[0].Description, QStringLiteral("CSV"));
    EXPECT_EQ(offered[1].MimeType, TextMime);
    EXPECT_EQ(offered[2].MimeType, QStringLiteral("application/x-mine"));
}

TEST(GridTreeClipboard, TextIsOfferedUnderThePlainNamesOtherProgramsAskFor)
{
    TClipTree tree(2);
    tree.Cells(tree.Find(QStringLiteral("r1")))[1] = QStringLiteral("Größe 5 €");
    tree.Select({ "r1" });
    tree.CopyToClipboard();
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    // At an X display Qt offers "text/plain" also as UTF8_STRING, STRING and TEXT.
    const QStringList formats = data->formats();
    const qsizetype text = formats.indexOf(TextMime);
    ASSERT_GE(text, 0);
    EXPECT_EQ(formats.value(text + 1), QStringLiteral("text/plain"));
    EXPECT_TRUE(data->hasFormat(QStringLiteral("text/plain")));
    const QByteArray expected = QStringLiteral("Name\tValue\r\nr1\tGröße 5 €\r\n").toUtf8();
    EXPECT_EQ(data->data(QStringLiteral("text/plain")), expected);
    EXPECT_EQ(data->data(TextMime), expected);

    // Only what the tree offers: without the text formats, no plain text either.
    tree.SetClipboardFormats({ QLatin1String(CFSTR_GRIDTREE), QLatin1String(CFSTR_CSV) });
    tree.CopyToClipboard();
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasFormat(QStringLiteral("text/plain")));
}

TEST(GridTreeClipboard, CopyMarksRowsAndRendersOnlyWhenAsked)
{
    TClipTree tree(4);
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("before"));
    tree.CopyToClipboard();
    EXPECT_EQ(clipboard->text(), QStringLiteral("before")) << "no selection copies nothing";
    EXPECT_FALSE(tree.ViewStates().contains(tsCopyPending));

    int rendered = 0;
    tree.OnGetText = [&, getText = tree.OnGetText](TCustomStringGridTree &Tree, TGridNode *Node,
                         TColumnIndex Column, TGSTTextType Type, QString &Text) {
        ++rendered;
        getText(Tree, Node, Column, Type, Text);
    };
    tree.Select({ "r1", "r3" });
    tree.CopyToClipboard();
    EXPECT_EQ(rendered, 0);
    EXPECT_TRUE(tree.ViewStates().contains(tsCopyPending));
    EXPECT_EQ(tree.Marked(), QStringList({ "r1", "r3" }));
    const QMimeData *data = clipboard->mimeData();
    EXPECT_TRUE(data->formats().contains(TreeMime));
    EXPECT_TRUE(data->formats().contains(QStringLiteral("text/html")));
    EXPECT_EQ(QString::fromUtf8(data->data(TextMime)), QStringLiteral("Name\tValue\r\nr1\tc1\r\nr3\tc3\r\n"));
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(data->data(QStringLiteral("text/csv")), "Name;Value\r\nr1;c1\r\nr3;c3\r\n");
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(data->data(QStringLiteral("text/csv")), "Name,Value\r\nr1,c1\r\nr3,c3\r\n");
    EXPECT_TRUE(data->data(QStringLiteral("text/rtf")).startsWith("{\\rtf1"));
    EXPECT_GT(rendered, 0);

    // Other content on the clipboard takes the marks away.
    clipboard->setText(QStringLiteral("other"));
    EXPECT_FALSE(tree.ViewStates().contains(tsCopyPending));
    EXPECT_TRUE(tree.Marked().isEmpty());
}

TEST(GridTreeClipboard, PastedCopiesArriveInOrderByTheDefaultPasteMode)
{
    TClipTree source(4);
    TClipTree target(2, QStringLiteral("t"));
    source.Select({ "r0", "r2", "r3" });
    source.CopyToClipboard();
    target.Tree()->SetFocusedNode(target.Find(QStringLiteral("t0")));
    target.SetDefaultPasteMode(amInsertAfter);
    int copied = 0;
    target.Tree()->OnNodeCopied = [&](TBaseGridTree &, TGridNode *Node) { copied += Node ? 1 : 0; };
    ASSERT_TRUE(target.PasteFromClipboard());
    EXPECT_EQ(target.Outline(), QStringList({ "t0", "r0", "r2", "r3", "t1" }));
    EXPECT_EQ(target.Cells(target.Find(QStringLiteral("r2")))[1], QStringLiteral("c2"));
    EXPECT_EQ(copied, 3);
    // The source keeps its rows and its marks until the clipboard changes.
    EXPECT_EQ(source.Outline().size(), 4);
    EXPECT_EQ(source.Marked(), QStringList({ "r0", "r2", "r3" }));

    // As children, first, and refused by the owner.
    target.SetDefaultPasteMode(amAddChildFirst);
    target.Tree()->OnNodeCopying = [&](TBaseGridTree &, TGridNode *Node, TGridNode *, bool &Allowed) {
        Allowed = target.Cells(Node)[0] != QStringLiteral("r2");
    };
    target.Tree()->SetFocusedNode(target.Find(QStringLiteral("t1")));
    ASSERT_TRUE(target.PasteFromClipboard());
    EXPECT_EQ(target.Outline(), QStringList({ "t0", "r0", "r2", "r3", "t1", " r0", " r3" }));
}

TEST(GridTreeClipboard, CutAndPasteMovesRowsWithinATreeAndIntoAnother)
{
    TClipTree tree(4);
    tree.Select({ "r0", "r1" });
    tree.CutToClipboard();
    EXPECT_TRUE(tree.ViewStates().contains(tsCutPending));
    EXPECT_FALSE(tree.ViewStates().contains(tsCopyPending));
    TGridNode *moved = tree.Find(QStringLiteral("r0"));
    tree.Tree()->SetFocusedNode(tree.Find(QStringLiteral("r3")));
    tree.SetDefaultPasteMode(amInsertAfter);
    ASSERT_TRUE(tree.PasteFromClipboard());
    // The same nodes, moved: no copies.
    EXPECT_EQ(tree.Outline(), QStringList({ "r2", "r3", "r0", "r1" }));
    EXPECT_EQ(tree.Find(QStringLiteral("r0")), moved);
    EXPECT_FALSE(tree.ViewStates().contains(tsCutPending));
    EXPECT_TRUE(tree.Marked().isEmpty());

    // Cut in one tree, pasted in another: the rows leave the first.
    TClipTree other(1, QStringLiteral("o"));
    tree.Select({ "r3", "r1" });
    tree.CutToClipboard();
    other.Tree()->SetFocusedNode(other.Find(QStringLiteral("o0")));
    other.SetDefaultPasteMode(amInsertBefore);
    ASSERT_TRUE(other.PasteFromClipboard());
    EXPECT_EQ(other.Outline(), QStringList({ "r3", "r1", "o0" }));
    EXPECT_EQ(other.Cells(other.Find(QStringLiteral("r1")))[1], QStringLiteral("c1"));
    EXPECT_EQ(tree.Outline(), QStringList({ "r2", "r0" }));
    EXPECT_FALSE(tree.ViewStates().contains(tsCutPending));
}

TEST(GridTreeClipboard, ReferenceDecidesWhetherThePasteCanMove)
{
    TClipTree source(3);
    TClipTree target;
    const QByteArray block = TreeBlock(source, { source.Find("r1"), source.Find("r2") });
    source.Select({ "r1", "r2" });
    source.CutToClipboard();

    // Another process's reference: no source here, so the rows are copied.
    auto *foreign = new QMimeData;
    foreign->setData(TreeMime, block);
    foreign->setData(
        ReferenceMime, Reference(uint32_t(QCoreApplication::applicationPid()) + 1, source.TreeNumber()));
    EXPECT_EQ(TGridTreeView::GetTreeFromDataObject(foreign), nullptr);
    QGuiApplication::clipboard()->setMimeData(foreign);
    ASSERT_TRUE(target.PasteFromClipboard());
    EXPECT_EQ(target.Outline(), QStringList({ "r1", "r2" }));
    EXPECT_EQ(source.Outline().size(), 3);

    // This process, but a tree gone meanwhile: no source either.
    uint32_t gone = 0;
    {
        TClipTree temporary;
        gone = temporary.TreeNumber();
    }
    QMimeData reference;
    reference.setData(ReferenceMime, Reference(uint32_t(QCoreApplication::applicationPid()), gone));
    EXPECT_EQ(TGridTreeView::GetTreeFromDataObject(&reference), nullptr);
    reference.setData(
        ReferenceMime, Reference(uint32_t(QCoreApplication::applicationPid()), source.TreeNumber()));
    EXPECT_EQ(TGridTreeView::GetTreeFromDataObject(&reference), &source);
}

TEST(GridTreeClipboard, MissingOrDamagedRecordsChangeNothing)
{
    TClipTree source(3);
    TClipTree target(2, QStringLiteral("t"));
    const QStringList before = target.Outline();
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("just text"));
    EXPECT_FALSE(target.PasteFromClipboard());
    EXPECT_EQ(target.Outline(), before);

    const QByteArray block = TreeBlock(source, { source.Find("r0"), source.Find("r1"), source.Find("r2") });
    const auto paste = [&](const QByteArray &Data) {
        QMimeData data;
        data.setData(TreeMime, Data);
        return target.ProcessOLEData(nullptr, &data, nullptr, amAddChildLast, false);
    };
    // A length beyond the block, a block too short for its length field, and
    // the records cut at every byte: a clear error and the tree as it was.
    QByteArray longer = block;
    qToLittleEndian(uint32_t(block.size()), longer.data());
    for (const QByteArray &bad : { longer, block.left(3) }) {
        EXPECT_THROW(paste(bad), EGridTreeError);
        EXPECT_EQ(target.Outline(), before);
    }
    const qsizetype record = (block.size() - 4) / 3;
    for (qsizetype cut = 5; cut < block.size(); cut += 3) {
        if ((cut - 4) % record == 0)
            continue;
        QByteArray shorter = block.left(cut);
        qToLittleEndian(uint32_t(cut - 4), shorter.data());
        EXPECT_THROW(paste(shorter), EGridTreeError) << cut;
        EXPECT_EQ(target.Outline(), before) << cut;
        EXPECT_EQ(target.Tree()->TotalCount(), 2u);
        EXPECT_EQ(target.Tree()->VisibleCount(), 2u);
    }
    // A length shorter than the block reads that much.
    QByteArray padded = block + QByteArray(16, '\0');
    EXPECT_TRUE(paste(padded));
    EXPECT_EQ(target.Outline(), before + QStringList({ "r0", "r1", "r2" }));
    // With toReadOnly nothing is pasted.
    target.TreeOptions().SetMiscOptions(target.TreeOptions().MiscOptions() + TGTMiscOptions { toReadOnly });
    EXPECT_FALSE(paste(block));
}

TEST(GridTreeClipboard, ClearingTheTreeGivesUpItsClipboardData)
{
    TClipTree tree(2);
    tree.Select({ "r0" });
    tree.CopyToClipboard();
    ASSERT_TRUE(QGuiApplication::clipboard()->mimeData()->hasFormat(TreeMime));
    tree.Tree()->Clear();
    EXPECT_FALSE(tree.ViewStates().contains(tsCopyPending));
    const QMimeData *left = QGuiApplication::clipboard()->mimeData();
    EXPECT_TRUE(!left || !left->hasFormat(TreeMime));

    // Finishing a cut deletes the rows marked, with what lies below them.
    TClipTree nested(2);
    nested.Add(nested.Find("r0"), { "child" });
    nested.Select({ "r0" });
    nested.CutToClipboard();
    nested.FinishCutOrCopy();
    EXPECT_EQ(nested.Outline(), QStringList({ "r1" }));
}

TEST(GridTreeClipboard, OwnersRenderTheirFormatsAndDataGivenIsKept)
{
    TClipTree tree(2);
    const TClipFormat own = RegisterClipboardFormat(QStringLiteral("Owner Rows"));
    tree.OnGetUserClipboardFormats = [own](TGridTreeView &, TFormatList &Formats) {
        Formats.push_back({ QStringLiteral("Owner Rows"), nullptr, 200, own, ClipboardFormatMimeType(own) });
    };
    tree.OnRenderOLEData
        = [own](TGridTreeView &, const TClipboardFormatEntry &Format, QByteArray &Data, bool, bool &Handled) {
              Handled = Format.Format == own;
              if (Handled)
                  Data = "owner's bytes";
          };
    tree.Select({ "r1" });
    TGTDataObject data(&tree, false);
    const QString mime = ClipboardFormatMimeType(own);
    EXPECT_EQ(mime, QStringLiteral("application/x-zeltrano-owner-rows"));
    EXPECT_EQ(data.data(mime), "owner's bytes");
    // A drag renders the selection; the reference names the tree.
    EXPECT_EQ(data.data(TextMime), "Name\tValue\r\nr1\tc1\r\n");
    EXPECT_EQ(TGridTreeView::GetTreeFromDataObject(&data), &tree);
    // What is set on the object is handed out as it is, before any rendering.
    data.setData(TextMime, "set");
    data.setData(QStringLiteral("application/x-other"), "other");
    EXPECT_EQ(data.data(TextMime), "set");
    EXPECT_TRUE(data.formats().contains(QStringLiteral("application/x-other")));
    EXPECT_EQ(data.formats().count(TextMime), 1);
}
