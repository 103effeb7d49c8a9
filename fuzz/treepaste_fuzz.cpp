// Pastes arbitrary bytes as a block of tree records into a tree that holds a
// few nodes: an error that leaves the tree exactly as it was, or the nodes
// read, with bookkeeping that agrees with the links either way.
#include "components/BaseGridTree.h"
#include "tests/support/GridTreeCheck.h"
#include "tests/support/OwnerBytesTree.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    testsupport::TOwnerBytesTree tree(true);
    tree.SetSelectionOptions({ toMultiSelect });
    TGridNode *first = tree.AddChild(nullptr);
    tree.AddChild(first);
    tree.AddChild(nullptr);
    tree.FullExpand();
    // The flags a failed paste's update bracket settles are settled already.
    tree.DetermineHiddenChildrenFlagAllNodes();
    const QByteArray before = tree.Saved();
    const QByteArray block(reinterpret_cast<const char *>(data), qsizetype(size));
    // The size picks where the records go.
    const TGTAttachMode mode = TGTAttachMode(1 + size % 4);
    try {
        tree.InsertNodeBlock(block, first, mode, crNodeAdded);
    } catch (const EGridTreeError &) {
        if (tree.Saved() != before)
            abort();
    }
    if (!testsupport::GridTreeInconsistency(tree).isEmpty())
        abort();
    return 0;
}
