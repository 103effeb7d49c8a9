#include "document/xml/XMLNode.h"

#include "document/xml/XMLParser.h"
#include "document/xml/XMLWriter.h"
#include "platform/Windows1252.h"

namespace {

// Optional sign and decimal digits within 32 bits; nothing else.
bool parseDecimal(QStringView text, int &value)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i >= text.size())
        return false;
    qint64 v = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c - u'0');
        if (v > qint64(INT_MAX) + 1)
            return false;
    }
    if (negative)
        v = -v;
    if (v > INT_MAX || v < INT_MIN)
        return false;
    value = int(v);
    return true;
}

int toIntOr(const QString &text, int def)
{
    int v = 0;
    return parseDecimal(text, v) ? v : def;
}

} // namespace

int TXMLAttribute::ToInt(int def) const
{
    return toIntOr(FValue, def);
}

bool TXMLAttribute::ToBool(bool def) const
{
    int v = 0;
    return parseDecimal(FValue, v) ? (v & 0xFF) != 0 : def;
}

QString TXMLAttribute::document() const
{
    return platform::decodeWindows1252(xml::writeAttribute(*this));
}

class TXMLNode::WithName final : public TXMLNode {
public:
    // The base keeps the address of the name, which is made right after it.
    WithName(const THashedString &name, const QString &value, TXMLNode *parent)
        : TXMLNode(&FStoredName, value, parent)
        , FStoredName(name)
    { }

private:
    THashedString FStoredName;
};

namespace xml {

void PoolDeleter::operator()(TXMLNode *node) const noexcept
{
    // A listed node is the parser's or one AddNode made.
    if (!node->FPooled)
        delete static_cast<TXMLNode::WithName *>(node);
}

void PoolDeleter::operator()(TXMLAttribute *attribute) const noexcept
{
    if (attribute->FPooled)
        attribute->~TXMLAttribute();
    else
        delete attribute;
}

} // namespace xml

TXMLNode::TXMLNode(const THashedString &name, const QString &value, TXMLNode *parent)
    : FName(new THashedString(name))
    , FValue(value)
    , FParentNode(parent)
    , FOwnName(true)
{ }

THashedString &TXMLNode::ownName()
{
    if (!FOwnName) {
        FName = new THashedString(*FName);
        FOwnName = true;
    }
    return *FName;
}

const TXMLNode::NodeList TXMLNode::NoNodes;
const TXMLNode::AttributeList TXMLNode::NoAttributes;

TXMLNode::~TXMLNode()
{
    Clear();
    dropLists();
    if (FOwnName)
        delete FName;
}

TXMLNode::NodeList &TXMLNode::nodes()
{
    if (!FNodes) {
        FNodes = new NodeList;
        FOwnNodeList = true;
    }
    return *FNodes;
}

TXMLNode::AttributeList &TXMLNode::attributes()
{
    if (!FAttributes) {
        FAttributes = new AttributeList;
        FOwnAttributeList = true;
    }
    return *FAttributes;
}

// Pooled lists live in the pool's memory: only their destructor runs.
void TXMLNode::dropLists()
{
    if (FOwnNodeList)
        delete FNodes;
    else if (FNodes)
        FNodes->~NodeList();
    if (FOwnAttributeList)
        delete FAttributes;
    else if (FAttributes)
        FAttributes->~AttributeList();
    FNodes = nullptr;
    FAttributes = nullptr;
}

void TXMLNode::Clear()
{
    if (FAttributes)
        FAttributes->clear();
    if (!FNodes || FNodes->empty())
        return;
    // Pooled children are left to their pool. Other descendants are detached onto a work
    // list before they die, so that no destructor recurses into a deep subtree.
    std::vector<NodeList::value_type> pending;
    auto detach = [&pending](NodeList &nodes) {
        for (auto &child : nodes) {
            if (child && !child->FPooled)
                pending.push_back(std::move(child));
        }
        nodes.clear();
    };
    detach(*FNodes);
    while (!pending.empty()) {
        auto node = std::move(pending.back());
        pending.pop_back();
        if (node->FNodes)
            detach(*node->FNodes);
    }
}

void TXMLNode::TruncateNodes(int count)
{
    if (!FNodes || count < 0 || std::size_t(count) >= FNodes->size())
        return;
    // Only appended records are taken back: shallow subtrees, freed directly (parsed ones
    // stay with their pool until it goes).
    FNodes->erase(FNodes->begin() + count, FNodes->end());
}

void TXMLNode::resetRoot(const QString &name)
{
    Clear();
    ownName().SetValue(name);
    FValue.clear();
    FValueType = xvtString;
}

TXMLNode *TXMLNode::AddNode(const THashedString &name, const QString &value)
{
    NodeList &list = nodes();
    list.emplace_back(new WithName(name, value, this));
    FHasOwnChildren = true;
    return list.back().get();
}

TXMLAttribute *TXMLNode::AddAttribute(const THashedString &name, const QString &value)
{
    AttributeList &list = attributes();
    list.emplace_back(new TXMLAttribute(name, value));
    return list.back().get();
}

TXMLNode *TXMLNode::AddNodeEx(QStringView tagText, const QString &value)
{
    return xml::addNodeFromTag(*this, tagText, value);
}

TXMLNode *TXMLNode::namedNode(const THashedString &name, bool recursive) const
{
    if (!recursive) {
        for (const auto &child : Nodes()) {
            if (child->FName->HashEquals(name))
                return child.get();
        }
        return nullptr;
    }
    // Depth first in document order, each node tested before its subtree.
    struct Frame {
        const TXMLNode *node;
        size_t next;
    };
    std::vector<Frame> stack { { this, 0 } };
    while (!stack.empty()) {
        Frame &top = stack.back();
        if (top.next >= size_t(top.node->Count())) {
            stack.pop_back();
            continue;
        }
        TXMLNode *child = top.node->Node(int(top.next++));
        if (child->FName->HashEquals(name))
            return child;
        if (child->Count() > 0)
            stack.push_back({ child, 0 });
    }
    return nullptr;
}

TXMLNode *TXMLNode::namedNode(const QStringList &path) const
{
    const TXMLNode *node = this;
    for (const QString &step : path) {
        node = node->namedNode(THashedString(step));
        if (!node)
            return nullptr;
    }
    return const_cast<TXMLNode *>(node);
}

TXMLAttribute *TXMLNode::namedAttribute(const THashedString &name) const
{
    for (const auto &attribute : Attributes()) {
        if (attribute->Name().HashEquals(name))
            return attribute.get();
    }
    return nullptr;
}

int TXMLNode::ToInt(int def) const
{
    return toIntOr(FValue, def);
}

bool TXMLNode::ToBool(bool def) const
{
    int v = 0;
    return parseDecimal(FValue, v) ? (v & 0xFF) != 0 : def;
}

void TXMLNode::CloneTo(TXMLNode &target, bool withAttributes) const
{
    struct Frame {
        const TXMLNode *source;
        TXMLNode *copy;
    };
    auto copyOne = [withAttributes](const TXMLNode &source, TXMLNode &parent) {
        TXMLNode *copy = parent.AddNode(*source.FName, source.FValue);
        copy->FValueType = source.FValueType;
        if (withAttributes) {
            for (const auto &attribute : source.Attributes())
                copy->AddAttribute(attribute->Name(), attribute->Value());
        }
        return copy;
    };
    std::vector<Frame> pending { { this, copyOne(*this, target) } };
    while (!pending.empty()) {
        const Frame frame = pending.back();
        pending.pop_back();
        // Children are copied in order now; their subtrees follow from the work list.
        for (const auto &child : frame.source->Nodes())
            pending.push_back({ child.get(), copyOne(*child, *frame.copy) });
    }
}

QString TXMLNode::document(int level) const
{
    return platform::decodeWindows1252(xml::writeElement(*this, level));
}

QString GetValue(const TXMLNode *node)
{
    return node ? node->Value() : QString();
}
int ToInt(const TXMLNode *node, int def)
{
    return node ? node->ToInt(def) : def;
}
int ToInt(const TXMLAttribute *attribute, int def)
{
    return attribute ? attribute->ToInt(def) : def;
}
bool ToBool(const TXMLNode *node, bool def)
{
    return node ? node->ToBool(def) : def;
}
bool ToBool(const TXMLAttribute *attribute, bool def)
{
    return attribute ? attribute->ToBool(def) : def;
}
