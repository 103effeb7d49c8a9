#include "document/sharing/TransactionFile.h"

#include "document/sharing/TransactionRecords.h"

#include <QStringList>
#include <algorithm>

platform::Status TTransactionFile::Load(const Acceptor &accept)
{
    if (platform::Status loaded = TXMLFile::Load(accept); !loaded)
        return loaded;
    // The new tree may reuse the old one's address: the order is worked out anew.
    FOrderedTree = nullptr;
    FOrdered.clear();
    return {};
}

const std::vector<TTransactionFile::TRecordRef> &TTransactionFile::OrderedRecords()
{
    static const QStringList path { QStringLiteral("document"), QStringLiteral("diff") };
    const TXMLNode *diff = xml().namedNode(path);
    const TXMLNode *last = diff && diff->Count() > 0 ? diff->Node(diff->Count() - 1) : nullptr;
    const std::size_t count = diff ? std::size_t(diff->Count()) : 0;
    if (FOrderedTree == &xml() && FOrderedLast == last && FOrdered.size() == count)
        return FOrdered;
    FOrdered.clear();
    FOrdered.reserve(count);
    if (diff) {
        for (const auto &record : diff->Nodes())
            FOrdered.push_back({ transactions::RecordIndex(*record), record.get() });
    }
    const auto byIndex = [](const TRecordRef &a, const TRecordRef &b) { return a.index < b.index; };
    if (!std::is_sorted(FOrdered.begin(), FOrdered.end(), byIndex))
        std::stable_sort(FOrdered.begin(), FOrdered.end(), byIndex);
    FOrderedTree = &xml();
    FOrderedLast = last;
    return FOrdered;
}
