// Check boxes, radio buttons and buttons of nodes: the next state, the veto,
// tri-state propagation down and up, radio groups and the pressed look.
#include "components/BaseGridTree.h"

namespace {

bool IsCheckBox(TCheckType Type)
{
    return Type == TCheckType::ctTriStateCheckBox || Type == TCheckType::ctCheckBox;
}

bool IsChecked(TCheckState State)
{
    return State == csCheckedNormal || State == csCheckedPressed;
}

bool IsMixed(TCheckState State)
{
    return State == csMixedNormal || State == csMixedPressed;
}

} // namespace

TCheckState TBaseGridTree::PressedTwin(TCheckState State)
{
    switch (State) {
    case csUncheckedNormal:
        return csUncheckedPressed;
    case csCheckedNormal:
        return csCheckedPressed;
    case csMixedNormal:
        return csMixedPressed;
    default:
        return State;
    }
}

TCheckState TBaseGridTree::NormalTwin(TCheckState State)
{
    switch (State) {
    case csUncheckedPressed:
        return csUncheckedNormal;
    case csCheckedPressed:
        return csCheckedNormal;
    case csMixedPressed:
        return csMixedNormal;
    default:
        return State;
    }
}

TCheckState TBaseGridTree::CheckState(const TGridNode *Node) const
{
    if (Node == nullptr)
        throw EGridTreeAssertion(GridTreeTexts::NodeIsNil);
    return Node->FCheckState;
}

TCheckType TBaseGridTree::CheckType(const TGridNode *Node) const
{
    if (Node == nullptr)
        throw EGridTreeAssertion(GridTreeTexts::NodeIsNil);
    return Node->FCheckType;
}

void TBaseGridTree::SetCheckState(TGridNode *Node, TCheckState Value)
{
    if (Node == nullptr || Node == FRoot)
        throw EGridTreeAssertion(GridTreeTexts::NilOrRootNode);
    if (Node->FCheckState == Value || Node->FStates.contains(vsDisabled))
        return;
    if (DoChecking(Node, Value))
        DoCheckClick(Node, Value);
}

void TBaseGridTree::SetCheckType(TGridNode *Node, TCheckType Value)
{
    if (Node == nullptr || Node == FRoot)
        throw EGridTreeAssertion(GridTreeTexts::NilOrRootNode);
    if (FMiscOptions.contains(toReadOnly) || Node->FCheckType == Value)
        return;
    Node->FCheckType = Value;
    Node->FCheckState = csUncheckedNormal;
    // A new box under a tri-state parent joins it in the parent's state.
    TGridNode *parent = Node->FParent;
    if (FAutoOptions.contains(toAutoTristateTracking) && IsCheckBox(Value) && parent != FRoot) {
        if (!parent->FStates.contains(vsInitialized))
            InitNode(parent);
        if (parent->FCheckType == TCheckType::ctTriStateCheckBox
            && (parent->FCheckState == csUncheckedNormal || parent->FCheckState == csCheckedNormal))
            SetCheckState(Node, parent->FCheckState);
    }
    FHooks->InvalidateNode(Node);
}

TCheckState TBaseGridTree::DetermineNextCheckState(TCheckType Type, TCheckState State) const
{
    switch (Type) {
    case TCheckType::ctTriStateCheckBox:
    case TCheckType::ctCheckBox:
        return State == csCheckedNormal ? csUncheckedNormal : csCheckedNormal;
    case TCheckType::ctRadioButton:
        return csCheckedNormal;
    case TCheckType::ctButton:
        return csUncheckedNormal;
    default:
        return State;
    }
}

bool TBaseGridTree::DoChecking(TGridNode *Node, TCheckState &NewCheckState)
{
    if (FMiscOptions.contains(toReadOnly))
        return false;
    bool allowed = true;
    if (OnChecking)
        OnChecking(*this, Node, NewCheckState, allowed);
    return allowed;
}

void TBaseGridTree::DoCheckClick(TGridNode *Node, TCheckState NewCheckState)
{
    // Reported when the state changed: also when the parent then refused to
    // follow, and not when every box below refused it.
    const TCheckState before = NormalTwin(Node->FCheckState);
    ChangeCheckState(Node, NewCheckState);
    if (Node->FCheckState != before)
        DoChecked(Node);
}

void TBaseGridTree::DoChecked(TGridNode *Node)
{
    if (OnChecked)
        OnChecked(*this, Node);
}

bool TBaseGridTree::ChangeCheckState(TGridNode *Node, TCheckState Value)
{
    // A node already changing stops the loop between parents and children.
    if (Node->FStates.contains(vsChecking))
        return false;
    Node->FStates.include(vsChecking);
    if (!Node->FStates.contains(vsInitialized))
        InitNode(Node);
    if (FCheckPropagationCount++ == 0)
        DoStateChange({ tsCheckPropagation });
    struct Done {
        TBaseGridTree *tree;
        TGridNode *node;
        ~Done()
        {
            tree->FHooks->InvalidateNode(node);
            node->FStates.exclude(vsChecking);
            if (--tree->FCheckPropagationCount == 0)
                tree->DoStateChange({}, { tsCheckPropagation });
        }
    } done { this, Node };

    const bool tracking = FAutoOptions.contains(toAutoTristateTracking);
    if (tracking && Node->FCheckType == TCheckType::ctTriStateCheckBox
        && (Value == csUncheckedNormal || Value == csCheckedNormal) && Node->FFirstChild) {
        int boxes = 0, unchecked = 0, checked = 0, mixed = 0;
        for (TGridNode *child = Node->FFirstChild; child; child = child->FNextSibling) {
            if (!IsCheckBox(child->FCheckType))
                continue;
            SetCheckState(child, Value);
            ++boxes;
            if (IsMixed(child->FCheckState))
                ++mixed;
            else if (IsChecked(child->FCheckState))
                ++checked;
            else
                ++unchecked;
        }
        // Children that refused make the parent mixed; when every one refused
        // to be checked, the parent stays unchecked like them.
        if (mixed > 0 || (checked > 0 && unchecked > 0))
            Value = csMixedNormal;
        else if (checked > 0)
            Value = csCheckedNormal;
        else if (boxes > 0)
            Value = csUncheckedNormal;
    }

    if (Node->FCheckType == TCheckType::ctRadioButton && Value == csCheckedNormal) {
        for (TGridNode *sibling = Node->FParent->FFirstChild; sibling; sibling = sibling->FNextSibling)
            if (sibling != Node && sibling->FCheckType == TCheckType::ctRadioButton)
                sibling->FCheckState = csUncheckedNormal;
        FHooks->InvalidateTree();
    }

    Node->FCheckState = Value;
    TGridNode *parent = Node->FParent;
    if (parent != FRoot && !parent->FStates.contains(vsInitialized))
        InitNode(parent);
    if (tracking && !parent->FStates.contains(vsChecking) && !parent->FStates.contains(vsDisabled)
        && IsCheckBox(Node->FCheckType) && parent != FRoot
        && parent->FCheckType == TCheckType::ctTriStateCheckBox)
        return CheckParentCheckState(Node, Value);
    return true;
}

TCheckState TBaseGridTree::ComputeParentCheckState(
    TGridNode *Parent, TGridNode *Node, TCheckState NodeState) const
{
    int boxes = 0, checked = 0;
    bool mixed = false;
    for (TGridNode *child = Parent->FFirstChild; child; child = child->FNextSibling) {
        if (!IsCheckBox(child->FCheckType))
            continue;
        const TCheckState state = child == Node ? NodeState : child->FCheckState;
        ++boxes;
        if (IsChecked(state))
            ++checked;
        mixed = mixed || IsMixed(state);
    }
    if (checked == 0 && !mixed)
        return csUncheckedNormal;
    return boxes > checked ? csMixedNormal : csCheckedNormal;
}

bool TBaseGridTree::CheckParentCheckState(TGridNode *Node, TCheckState NewCheckState)
{
    TGridNode *parent = Node->FParent;
    TCheckState state = ComputeParentCheckState(parent, Node, NewCheckState);
    // A parent already in that state is not asked again.
    if (state == parent->FCheckState)
        return true;
    if (!DoChecking(parent, state))
        return false;
    DoCheckClick(parent, state);
    // The parent's own change normally carried on upwards; a grandparent it
    // could not reach is brought up to date here.
    TGridNode *grand = parent->FParent;
    if (grand == FRoot)
        return true;
    if (!grand->FStates.contains(vsInitialized))
        InitNode(grand);
    if (grand->FStates.contains(vsChecking) || grand->FStates.contains(vsDisabled)
        || grand->FCheckType != TCheckType::ctTriStateCheckBox)
        return true;
    state = ComputeParentCheckState(grand, parent, parent->FCheckState);
    if (state != grand->FCheckState && DoChecking(grand, state))
        DoCheckClick(grand, state);
    return true;
}

void TBaseGridTree::UpdateColumnCheckState(int Column)
{
    TCheckType type;
    TCheckState state;
    if (FHooks->ColumnCheckBox(Column, type, state))
        FHooks->SetColumnCheckState(Column, DetermineNextCheckState(type, state));
}

// ---- a press on a check box ---------------------------------------------------------------------

bool TBaseGridTree::BeginCheckPending(TGridNode *Node, bool ByKey)
{
    if (Node == nullptr || Node == FRoot || Node->FStates.contains(vsDisabled)
        || FStates.contains(tsMouseCheckPending) || FStates.contains(tsKeyCheckPending))
        return false;
    TCheckState next = DetermineNextCheckState(Node->FCheckType, Node->FCheckState);
    if (!DoChecking(Node, next))
        return false;
    DoStateChange({ ByKey ? tsKeyCheckPending : tsMouseCheckPending });
    FCheckNode = Node;
    FPendingCheckState = next;
    Node->FCheckState = PressedTwin(Node->FCheckState);
    FHooks->InvalidateNode(Node);
    return true;
}

void TBaseGridTree::EndCheckPending(bool Apply)
{
    DoStateChange({}, { tsMouseCheckPending, tsKeyCheckPending });
    // A reference: the node may be freed by the handlers of its own change.
    TGridNodeReference node(*this, FCheckNode);
    FCheckNode = nullptr;
    if (!node)
        return;
    if (Apply)
        DoCheckClick(node, FPendingCheckState);
    if (node) {
        node->FCheckState = NormalTwin(node->FCheckState);
        FHooks->InvalidateNode(node);
    }
}
