// A string tree's records in the tree stream: the main column's text rides
// along as a caption chunk and comes back through OnNewText.
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "tests/components/gui/CellTreeSupport.h"

#include <QBuffer>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace treetest;

namespace {

QByteArray Int32(int32_t Value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(Value, bytes.data());
    return bytes;
}

QByteArray Saved(TCellTree &Tree, TGridNode *Node = nullptr)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    Tree.Tree()->SaveToStream(buffer, Node);
    return buffer.data();
}

} // namespace

TEST(StringTreeStream, CaptionChunkFollowsTheTreesOwnChunks)
{
    TCellTree tree;
    TGridNode *node = tree.Add(nullptr, { QString::fromUtf8("\xC3\x84x") });
    tree.Tree()->ValidateNode(node, false);
    // Header, count 1, the node record: base chunk (17 bytes), no owner
    // bytes (a single cell), the caption as two UTF-16 units.
    const QByteArray caption = Int32(3) + Int32(4) + QByteArray("\xC4\x00x\x00", 4);
    const QByteArray base = Int32(2) + Int32(17) + Int32(0) + Int32(18)
        + QByteArray("\x81\x00", 2) // initialised, visible
        + QByteArray("\x32\x00\x00", 3) + Int32(0);
    const QByteArray expected = QByteArray("\x45\x20V\x00T\x00\x02\x00 \x00\x46\x20", 12) + Int32(1)
        + Int32(1) + Int32(int32_t(base.size() + caption.size())) + base + caption;
    EXPECT_EQ(Saved(tree), expected);

    // Without the option, or with an empty text, there is no caption.
    tree.StringTreeOptions().SetStringOptions(
        tree.StringTreeOptions().StringOptions() - TGTStringOptions { toSaveCaptions });
    EXPECT_EQ(Saved(tree).size(), expected.size() - caption.size());
    tree.StringTreeOptions().SetStringOptions(
        tree.StringTreeOptions().StringOptions() + TGTStringOptions { toSaveCaptions });
    tree.Cells(node)[0].clear();
    EXPECT_EQ(Saved(tree).size(), expected.size() - caption.size());
}

TEST(StringTreeStream, CaptionsAndOwnerBytesComeBackAfterTheRecord)
{
    TCellTree source;
    AddColumns(source, { 50, 50 });
    source.Header().SetMainColumn(1);
    TGridNode *a = source.Add(nullptr, { "a-first", "A", "a3" });
    source.Add(a, { "b-first", "B" });
    source.Tree()->ValidateNode(nullptr, true);
    const QByteArray bytes = Saved(source);

    TCellTree copy;
    AddColumns(copy, { 50, 50 });
    copy.Header().SetMainColumn(1);
    QStringList arrivals;
    copy.OnNewText = [&, setText = copy.OnNewText](TCustomStringGridTree &Tree, TGridNode *Node,
                         TColumnIndex Column, const QString &Text) {
        // The owner's bytes of the node are already in.
        arrivals << QStringLiteral("%1:%2:%3").arg(Column).arg(Text).arg(copy.Cells(Node).size());
        setText(Tree, Node, Column, Text);
    };
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    copy.Tree()->LoadFromStream(buffer);
    // A child's record lies inside its parent's, so it is complete first.
    EXPECT_EQ(arrivals, QStringList({ "1:B:2", "1:A:3" }));
    TGridNode *loaded = copy.Tree()->GetFirst();
    EXPECT_EQ(copy.Cells(loaded), QStringList({ QString(), "A", "a3" }));

    // Moving a node into another string tree carries its caption the same way.
    TCellTree target;
    AddColumns(target, { 50, 50 });
    target.Header().SetMainColumn(1);
    source.Tree()->MoveTo(a, target.Tree()->RootNode(), amAddChildLast, false);
    EXPECT_EQ(target.Cells(target.Tree()->GetFirst()), QStringList({ QString(), "A", "a3" }));
    EXPECT_EQ(target.Cells(target.Tree()->GetFirstChild(target.Tree()->GetFirst()))[1], QStringLiteral("B"));
    EXPECT_EQ(source.Tree()->RootNodeCount(), 0u);
}
