// Reads arbitrary bytes as an XML file (compressed or plain). Whatever tree results must
// write out and read back to the same text (CDATA aside, which is written raw).
#include "document/XMLTree.h"

#include <cstdlib>
#include <vector>

namespace {

bool hasCData(const TXMLNode &root)
{
    std::vector<const TXMLNode *> pending { &root };
    while (!pending.empty()) {
        const TXMLNode *node = pending.back();
        pending.pop_back();
        if (node->ValueType() == xvtCDATA)
            return true;
        for (const auto &child : node->Nodes())
            pending.push_back(child.get());
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TXMLTree tree;
    if (tree.LoadFromBytes(QByteArrayView(data, qsizetype(size))) == TXMLLoadResult::Failed)
        return 0;
    const QByteArray first = tree.SaveToBytes(false);
    if (hasCData(tree))
        return 0;
    TXMLTree again;
    if (again.LoadFromBytes(first) != TXMLLoadResult::Plain)
        std::abort();
    if (again.SaveToBytes(false) != first)
        std::abort();
    const QByteArray packed = again.SaveToBytes(true);
    TXMLTree unpacked;
    if (unpacked.LoadFromBytes(packed) != TXMLLoadResult::Compressed || unpacked.SaveToBytes(false) != first)
        std::abort();
    return 0;
}
