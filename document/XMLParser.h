#pragma once

#include "document/HashedString.h"

#include <QString>
#include <QStringView>

#include <array>

class TXMLNode;

// The lenient parser behind TXMLTree::setText and TXMLNode::AddNodeEx.
namespace xml {

// Documents repeat a few names thousands of times; sharing one string per name saves
// an allocation per element and attribute.
class NameCache {
public:
    THashedString get(QStringView text)
    {
        const quint32 hash = THashedString::HashOf(text);
        THashedString &slot = FSlots[hash & (FSlots.size() - 1)];
        if (slot.Hash() != hash || slot.Value() != text)
            slot = THashedString(text.toString(), hash);
        return slot;
    }

private:
    std::array<THashedString, 256> FSlots;
};

// Appends to parent the element described by the inside of a tag: the name before the
// first blank, then name="value" pairs; names and values unescaped.
TXMLNode *addNodeFromTag(TXMLNode &parent, QStringView tagText, const QString &value, NameCache *names);

struct ParseOutcome {
    bool ok = true;
    int nodeCount = 0;   // elements opened, not self-closed
    bool complete = true; // every opened element was closed
    QString error;
};

// Parses text into root (which the caller has emptied).
ParseOutcome parse(TXMLNode &root, QStringView text, int maxDepth);

} // namespace xml
