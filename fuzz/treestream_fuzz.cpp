// Loads arbitrary bytes as a tree stream: an error or a tree, whose bookkeeping
// agrees with its links either way; what it then saves loads again and, once
// settled, saves to the same bytes.
#include "components/BaseGridTree.h"
#include "tests/support/GridTreeCheck.h"

#include <QBuffer>
#include <cstdint>
#include <cstdlib>

namespace {

// Nodes keep their owner bytes.
class TFuzzTree : public TBaseGridTree {
public:
    TFuzzTree()
    {
        SetNodeDataType<QByteArray>();
        OnSaveNode
            = [](TBaseGridTree &t, TGridNode *n, QIODevice &s) { s.write(*t.GetNodeData<QByteArray>(n)); };
        OnLoadNode = [](TBaseGridTree &t, TGridNode *n, QIODevice &s) {
            *t.GetNodeData<QByteArray>(n) = s.readAll();
        };
    }
    QByteArray Saved()
    {
        QBuffer b;
        b.open(QIODevice::WriteOnly);
        SaveToStream(b);
        return b.data();
    }
    void Load(const QByteArray &Bytes)
    {
        QBuffer b;
        b.setData(Bytes);
        b.open(QIODevice::ReadOnly);
        LoadFromStream(b);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzTree tree;
    try {
        tree.Load(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    } catch (const EGridTreeError &) { }
    if (!testsupport::GridTreeInconsistency(tree).isEmpty())
        abort();
    // A first save may still settle flags that only describe missing children
    // (a leaf's hidden-children flag); from the second on the bytes stay.
    QByteArray saved = tree.Saved();
    for (int generation = 0; generation < 2; ++generation) {
        TFuzzTree copy;
        copy.Load(saved);
        const QByteArray again = copy.Saved();
        if (!testsupport::GridTreeInconsistency(copy).isEmpty() || (generation > 0 && again != saved))
            abort();
        saved = again;
    }
    return 0;
}
