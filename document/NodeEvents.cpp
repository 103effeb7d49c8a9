#include "document/NodeEvents.h"

#include "document/xml/XMLNode.h"

void TNodeEvent::AppendToXML(TXMLNode &node) const
{
    node.AddNode(THashedString(QStringLiteral("__change__")), QString::number(FChangeIndex));
    node.AddNode(THashedString(QStringLiteral("__user__")), FUser);
}

void TNewNodeEvent::AppendToXML(TXMLNode &node) const
{
    TNodeEvent::AppendToXML(node);
    node.AddNode(THashedString(QStringLiteral("__table__")), TableName(FTable));
}

void TSetNodeDataEvent::AppendToXML(TXMLNode &node) const
{
    TNodeEvent::AppendToXML(node);
    for (qsizetype i = 0; i < FCaption.size(); ++i)
        node.AddNode(THashedString(FCaption[i]), FStored[i]);
}

bool TSetNodeDataEvent::CanAppend(const TNodeEvent &other)
{
    const auto *change = dynamic_cast<const TSetNodeDataEvent *>(&other);
    if (!change || change->FID != FID)
        return false;
    for (std::size_t i = 0; i < change->FColumn.size(); ++i) {
        const auto found = std::find(FColumn.begin(), FColumn.end(), change->FColumn[i]);
        if (found != FColumn.end()) {
            const auto at = found - FColumn.begin();
            FData[at] = change->FData[qsizetype(i)];
            FCaption[at] = change->FCaption[qsizetype(i)];
            FStored[at] = change->FStored[qsizetype(i)];
        } else {
            FColumn.push_back(change->FColumn[i]);
            FData.append(change->FData[qsizetype(i)]);
            FCaption.append(change->FCaption[qsizetype(i)]);
            FStored.append(change->FStored[qsizetype(i)]);
        }
    }
    FChangeIndex = std::max(FChangeIndex, change->FChangeIndex);
    return true;
}

void MoveEvents(TNodeEventList &dest, TNodeEventList &source)
{
    for (auto &event : source)
        dest.push_back(std::move(event));
    source.clear();
}
