// Loads arbitrary bytes as a tree stream: an error or a tree, whose bookkeeping
// agrees with its links either way; what it then saves loads again and, once
// settled, saves to the same bytes.
#include "components/BaseGridTree.h"
#include "tests/support/GridTreeCheck.h"
#include "tests/support/OwnerBytesTree.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Nodes read as selected join the selection.
    testsupport::TOwnerBytesTree tree(true);
    tree.SetSelectionOptions({ toMultiSelect });
    try {
        tree.Load(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    } catch (const EGridTreeError &) { }
    if (!testsupport::GridTreeInconsistency(tree).isEmpty())
        abort();
    // A first save may still settle flags that only describe missing children
    // (a leaf's hidden-children flag); from the second on the bytes stay.
    QByteArray saved = tree.Saved();
    for (int generation = 0; generation < 2; ++generation) {
        testsupport::TOwnerBytesTree copy(true);
        copy.SetSelectionOptions({ toMultiSelect });
        copy.Load(saved);
        const QByteArray again = copy.Saved();
        if (!testsupport::GridTreeInconsistency(copy).isEmpty() || (generation > 0 && again != saved))
            abort();
        saved = again;
    }
    return 0;
}
