// Reads arbitrary bytes as an XML file (compressed or plain). Whatever tree results must
// write out and read back to the same text (CDATA aside, which is written raw).
#include "document/xml/XMLTree.h"
#include "platform/Windows1252.h"

#include <cstdlib>
#include <cstring>
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
    if (size < 4 || std::memcmp(data, "zip", 4) != 0) {
        // The file's bytes read straight and their text read as text give the same tree.
        TXMLTree asText;
        if (!asText.setText(platform::decodeWindows1252(QByteArrayView(data, qsizetype(size))))
            || asText.SaveToBytes(false) != first || asText.NodeCount() != tree.NodeCount()
            || asText.isComplete() != tree.isComplete())
            std::abort();
    }
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
