#pragma once

#include "document/xml/HashedString.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <memory_resource>
#include <vector>

enum TXMLValueType { xvtString = 0, xvtCDATA = 1 };

class TXMLAttribute;
class TXMLNode;

namespace xml {
// Nodes and attributes made by the parser live in a pool owned by their tree (one
// allocation per many elements). The pool destroys its nodes itself, all at once in the
// order they were made, so their owners' deleter leaves them alone; a pooled attribute's
// deleter runs only its destructor.
struct PoolDeleter {
    void operator()(TXMLNode *node) const noexcept;
    void operator()(TXMLAttribute *attribute) const noexcept;
};
struct NodeAccess;
} // namespace xml

class TXMLAttribute {
public:
    TXMLAttribute(const THashedString &name, const QString &value)
        : FName(name)
        , FValue(value)
    { }

    const THashedString &Name() const { return FName; }
    void SetName(const QString &name) { FName.SetValue(name); }
    const QString &Value() const { return FValue; }
    void SetValue(const QString &value) { FValue = value; }

    // The value as a decimal integer; `def` when it is not one.
    int ToInt(int def) const;
    // ToInt(def) read as a Boolean: true when its lowest 8 bits are not 0.
    bool ToBool(bool def) const;

    // A blank, the escaped name, "=" and the escaped value in double quotes.
    QString document() const;

private:
    friend struct xml::PoolDeleter;
    friend struct xml::NodeAccess;

    TXMLAttribute(THashedString &&name, QString &&value)
        : FName(std::move(name))
        , FValue(std::move(value))
    { }

    THashedString FName;
    QString FValue;
    bool FPooled = false;
};

// One element: a name, one text value, attributes and children, all in document order.
// A node owns its children and attributes; freeing a tree of any depth is not recursive.
class TXMLNode {
public:
    using NodeList = std::pmr::vector<std::unique_ptr<TXMLNode, xml::PoolDeleter>>;
    using AttributeList = std::pmr::vector<std::unique_ptr<TXMLAttribute, xml::PoolDeleter>>;

    explicit TXMLNode(const THashedString &name = {}, const QString &value = {}, TXMLNode *parent = nullptr);
    // Not virtual: nodes are freed through their lists only, which know what they hold
    // (the parser's or AddNode's), and a table of virtual functions in each of a
    // parsed tree's millions of nodes would cost a ninth of it.
    ~TXMLNode();
    TXMLNode(const TXMLNode &) = delete;
    TXMLNode &operator=(const TXMLNode &) = delete;

    const THashedString &Name() const { return *FName; }
    void SetName(const QString &name) { ownName().SetValue(name); }
    const QString &Value() const { return FValue; }
    void SetValue(const QString &value) { FValue = value; }
    TXMLValueType ValueType() const { return TXMLValueType(FValueType); }
    void SetValueType(TXMLValueType type) { FValueType = std::uint8_t(type); }
    TXMLNode *parentNode() const { return FParentNode; }

    const NodeList &Nodes() const { return FNodes ? *FNodes : NoNodes; }
    int Count() const { return FNodes ? int(FNodes->size()) : 0; }
    TXMLNode *Node(int index) const { return (*FNodes)[size_t(index)].get(); }
    const AttributeList &Attributes() const { return FAttributes ? *FAttributes : NoAttributes; }

    // Appends a child / an attribute (no check for an existing one of that name).
    TXMLNode *AddNode(const THashedString &name, const QString &value = {});
    TXMLAttribute *AddAttribute(const THashedString &name, const QString &value);

    // Appends a child built from the inside of a start tag, e.g. `diff index="0"`: the
    // name is the text before the first blank, then name="value" pairs follow (double
    // quotes only). Names and values are unescaped.
    TXMLNode *AddNodeEx(QStringView tagText, const QString &value = {});

    // Drops all children and attributes.
    void Clear();
    // Drops the children from index `count` on (a writer taking back what it appended).
    void TruncateNodes(int count);

    // The first child named `name`; when recursive, each child's subtree is searched
    // (depth first) right after that child is tested. Null when there is none.
    TXMLNode *namedNode(const THashedString &name, bool recursive = false) const;
    // Walks a path of child names from this node, e.g. {"document", "diff"}.
    TXMLNode *namedNode(const QStringList &path) const;
    TXMLAttribute *namedAttribute(const THashedString &name) const;

    int ToInt(int def) const;
    bool ToBool(bool def) const;

    // Appends to target a copy of this node and its subtree; attributes at every level
    // only when withAttributes.
    void CloneTo(TXMLNode &target, bool withAttributes) const;

    // The text of this element and its subtree, indented by 2 x level blanks.
    QString document(int level) const;

protected:
    void resetRoot(const QString &name);

private:
    friend struct xml::PoolDeleter;
    friend struct xml::NodeAccess;

    // A node made by the parser: its name is the pool's, shared by every node of that
    // name, and its lists, if any, come from the pool too.
    TXMLNode(const THashedString *name, TXMLNode *parent)
        : FName(const_cast<THashedString *>(name))
        , FParentNode(parent)
    { }

    // A node added by hand, its name kept beside it in the same allocation.
    class WithName;
    TXMLNode(THashedString *name, const QString &value, TXMLNode *parent)
        : FName(name)
        , FValue(value)
        , FParentNode(parent)
    { }

    // The name as this node's own, to be changed.
    THashedString &ownName();

    // The lists, made on the first child or attribute: most elements have neither.
    NodeList &nodes();
    AttributeList &attributes();
    void dropLists();

    static const NodeList NoNodes;
    static const AttributeList NoAttributes;

    // A parsed tree holds millions of nodes and a few dozen names: the node points to
    // its name, owned here only when FOwnName.
    THashedString *FName;
    QString FValue;
    NodeList *FNodes = nullptr;
    AttributeList *FAttributes = nullptr;
    TXMLNode *FParentNode = nullptr;
    std::uint8_t FValueType = xvtString;
    bool FOwnName = false;
    bool FPooled = false;
    // Lists made here rather than in the parser's pool.
    bool FOwnNodeList = false;
    bool FOwnAttributeList = false;
    // Set once a child not from the pool is added: until then a pooled node's children
    // are all the pool's, and freeing it need not look at them.
    bool FHasOwnChildren = false;
};

// Forms that accept a missing node or attribute: the empty text, or the default.
QString GetValue(const TXMLNode *node);
int ToInt(const TXMLNode *node, int def);
int ToInt(const TXMLAttribute *attribute, int def);
bool ToBool(const TXMLNode *node, bool def);
bool ToBool(const TXMLAttribute *attribute, bool def);
