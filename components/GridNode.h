#pragma once

#include <cstdint>
#include <initializer_list>

class TBaseGridTree;

// A set of enumerators packed into an integer of the width the record stores.
template <typename E, typename Bits> class TSmallSet {
public:
    constexpr TSmallSet() = default;
    constexpr TSmallSet(std::initializer_list<E> items)
    {
        for (E e : items)
            include(e);
    }
    static constexpr TSmallSet fromBits(Bits bits)
    {
        TSmallSet s;
        s.FBits = bits;
        return s;
    }

    constexpr bool contains(E e) const { return (FBits & bit(e)) != 0; }
    constexpr void include(E e) { FBits = Bits(FBits | bit(e)); }
    constexpr void exclude(E e) { FBits = Bits(FBits & ~bit(e)); }
    constexpr void set(E e, bool on) { on ? include(e) : exclude(e); }
    constexpr bool empty() const { return FBits == 0; }
    constexpr Bits bits() const { return FBits; }

    constexpr TSmallSet operator+(TSmallSet o) const { return fromBits(Bits(FBits | o.FBits)); }
    constexpr TSmallSet operator-(TSmallSet o) const { return fromBits(Bits(FBits & ~o.FBits)); }
    constexpr TSmallSet operator*(TSmallSet o) const { return fromBits(Bits(FBits & o.FBits)); }
    constexpr bool operator==(const TSmallSet &) const = default;

private:
    static constexpr Bits bit(E e) { return Bits(Bits(1) << static_cast<unsigned>(e)); }
    Bits FBits = 0;
};

enum TGridNodeState : uint8_t {
    vsInitialized,
    vsChecking,
    vsCutOrCopy,
    vsDisabled,
    vsDeleting,
    vsExpanded,
    vsHasChildren,
    vsVisible,
    vsSelected,
    vsInitialUserData,
    vsAllChildrenHidden,
    vsClearing,
    vsMultiline,
    vsHeightMeasured,
    vsToggling,
    vsHidden
};
using TGridNodeStates = TSmallSet<TGridNodeState, uint16_t>;

enum TGridNodeInitState : uint8_t { ivsDisabled, ivsExpanded, ivsHasChildren, ivsMultiline, ivsSelected };
using TGridNodeInitStates = TSmallSet<TGridNodeInitState, uint8_t>;

enum TCheckState : uint8_t {
    csUncheckedNormal,
    csUncheckedPressed,
    csCheckedNormal,
    csCheckedPressed,
    csMixedNormal,
    csMixedPressed
};
// Scoped: the document's column types use the same short names (ctCheckBox).
enum class TCheckType : uint8_t { ctNone, ctTriStateCheckBox, ctCheckBox, ctRadioButton, ctButton };

// One row of the tree. The block that holds it continues with the internal data
// area and then the caller's data area (see TBaseGridTree::GetNodeData).
//
// Structure fields are changed only by the tree, which keeps the counts, heights
// and sibling indexes consistent; everyone else reads them here.
class TGridNode {
public:
    TGridNode(const TGridNode &) = delete;
    TGridNode &operator=(const TGridNode &) = delete;

    // Position among the siblings, 0-based and dense. Deletions leave the later
    // siblings' stored numbers behind; they are brought up to date on reading.
    uint32_t Index() const;
    uint32_t ChildCount() const { return FChildCount; }
    uint16_t NodeHeight() const { return FNodeHeight; }
    TGridNodeStates States() const { return FStates; }
    bool Has(TGridNodeState s) const { return FStates.contains(s); }
    uint8_t Align() const { return FAlign; }
    TCheckState CheckState() const { return FCheckState; }
    TCheckType CheckType() const { return FCheckType; }
    uint32_t TotalCount() const { return FTotalCount; }
    uint32_t TotalHeight() const { return FTotalHeight; }

    // For a top-level node the parent is the hidden root; the root has none.
    TGridNode *Parent() const { return FParent; }
    // nil at the ends of the chain; the hidden root links to itself.
    TGridNode *PrevSibling() const { return FPrevSibling; }
    TGridNode *NextSibling() const { return FNextSibling; }
    TGridNode *FirstChild() const { return FFirstChild; }
    TGridNode *LastChild() const { return FLastChild; }
    bool IsRoot() const { return FNextSibling == this; }

private:
    friend class TBaseGridTree;
    TGridNode() = default;
    uint32_t renumberUpTo(const TGridNode *child);

    // The internal flags live in the record's filler byte.
    enum : uint8_t { DataHandedOut = 1 };

    // Links first, the flags last: the handed-out flag then shares a cache line
    // with the start of the data area, so that reading a node's data (sorting
    // compares a million of them) touches one line of the node, not two.
    TGridNode *FParent = nullptr;
    TGridNode *FPrevSibling = nullptr;
    TGridNode *FNextSibling = nullptr;
    TGridNode *FFirstChild = nullptr;
    TGridNode *FLastChild = nullptr;
    // First child whose stored index may be too large (nil: all exact). Every
    // child before it is exact; it and the ones after it are never too small.
    TGridNode *FStaleChild = nullptr;
    uint32_t FIndex = 0;
    uint32_t FChildCount = 0;
    uint32_t FTotalCount = 1;
    uint32_t FTotalHeight = 0;
    uint16_t FNodeHeight = 0;
    TGridNodeStates FStates;
    uint8_t FAlign = 50;
    TCheckState FCheckState = csUncheckedNormal;
    TCheckType FCheckType = TCheckType::ctNone;
    uint8_t FInternalFlags = 0;
};

// The tree that holds a node (walks up to the hidden root).
TBaseGridTree *TreeFromNode(const TGridNode *Node);
