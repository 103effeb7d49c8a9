#include "document/sharing/SharingLimits.h"

#include "document/xml/XMLTree.h"

namespace {

bool isField(const QString &name)
{
    return name == QLatin1String("__change__") || name == QLatin1String("__user__")
        || name == QLatin1String("__table__");
}

// The elements of `node`'s subtree beyond `budget` make it too large: counting
// stops there.
bool fitsIn(const TXMLNode &node, qint64 &budget, qsizetype textLength)
{
    if (--budget < 0 || node.Value().size() > textLength)
        return false;
    for (const auto &attribute : node.Attributes()) {
        if (attribute->Value().size() > textLength)
            return false;
    }
    for (const auto &child : node.Nodes()) {
        if (!fitsIn(*child, budget, textLength))
            return false;
    }
    return true;
}

} // namespace

platform::Status WithinSharingLimits(const TXMLTree &tree, const TSharingLimits &limits)
{
    const TXMLNode *diff = tree.namedNode(QStringList { QStringLiteral("document"), QStringLiteral("diff") });
    if (!diff)
        return {};
    if (diff->Count() > limits.records)
        return platform::Status::failure(
            QStringLiteral("%1 records, more than %2").arg(diff->Count()).arg(limits.records));
    for (const auto &record : diff->Nodes()) {
        int cells = 0;
        for (const auto &child : record->Nodes())
            cells += !isField(child->Name().Value());
        // The record, its three fields and its cells, none of which holds more.
        qint64 budget = 4 + qint64(limits.cellsPerRecord);
        if (cells > limits.cellsPerRecord || !fitsIn(*record, budget, limits.textLength))
            return platform::Status::failure(
                QStringLiteral("a record of more than %1 cells or a text longer than %2")
                    .arg(limits.cellsPerRecord)
                    .arg(limits.textLength));
    }
    return {};
}
