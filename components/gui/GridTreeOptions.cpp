#include "components/gui/GridTreeOptions.h"

#include "components/gui/GridTreeView.h"

namespace {

template <typename Set, typename Item> bool Switched(Set Old, Set New, Item I)
{
    return Old.contains(I) != New.contains(I);
}

template <typename Set, typename Item> bool SwitchedOn(Set Old, Set New, Item I)
{
    return !Old.contains(I) && New.contains(I);
}

} // namespace

TCustomGridTreeOptions::TCustomGridTreeOptions(TGridTreeView &Owner)
    : FOwner(Owner)
{ }

void TCustomGridTreeOptions::SetPaintOptions(TGTPaintOptions Value)
{
    if (Value == FPaintOptions)
        return;
    const TGTPaintOptions old = FPaintOptions;
    FPaintOptions = Value;
    FOwner.PaintOptionsChanged(old);
}

void TCustomGridTreeOptions::SetAutoOptions(TGTAutoOptions Value)
{
    if (Value == FAutoOptions)
        return;
    const TGTAutoOptions old = FAutoOptions;
    FAutoOptions = Value;
    if (TBaseGridTree *tree = FOwner.Tree())
        tree->SetAutoOptions(Value);
    if (Switched(old, Value, toAutoSpanColumns))
        FOwner.InvalidateTree();
}

void TCustomGridTreeOptions::SetSelectionOptions(TGTSelectionOptions Value)
{
    if (Value == FSelectionOptions)
        return;
    const TGTSelectionOptions old = FSelectionOptions;
    FSelectionOptions = Value;
    if (Switched(old, Value, toMultiSelect) || SwitchedOn(old, Value, toLevelSelectConstraint)
        || SwitchedOn(old, Value, toSiblingSelectConstraint))
        FOwner.ClearSelection();
    if (TBaseGridTree *tree = FOwner.Tree())
        tree->SetSelectionOptions(Value);
    if (!Value.contains(toExtendedFocus))
        FOwner.FocusedColumnFollowsMainColumn(old.contains(toExtendedFocus));
}

void TCustomGridTreeOptions::SetMiscOptions(TGTMiscOptions Value)
{
    if (Value == FMiscOptions)
        return;
    const TGTMiscOptions old = FMiscOptions;
    FMiscOptions = Value;
    if (TBaseGridTree *tree = FOwner.Tree())
        tree->SetMiscOptions(Value);
    if (Switched(old, Value, toCheckSupport))
        FOwner.InvalidateTree();
    if (Switched(old, Value, toFullRepaintOnResize) || Switched(old, Value, toAcceptOLEDrop))
        FOwner.ApplyWindowOptions();
}

void TCustomGridTreeOptions::Assign(const TCustomGridTreeOptions &Source)
{
    SetPaintOptions(Source.FPaintOptions);
    SetAnimationOptions(Source.FAnimationOptions);
    SetAutoOptions(Source.FAutoOptions);
    SetSelectionOptions(Source.FSelectionOptions);
    SetMiscOptions(Source.FMiscOptions);
}

void TCustomStringTreeOptions::SetStringOptions(TGTStringOptions Value)
{
    if (Value == FStringOptions)
        return;
    const bool repaint = Switched(FStringOptions, Value, toShowStaticText);
    FStringOptions = Value;
    if (repaint)
        Owner().InvalidateTree();
}

void TCustomStringTreeOptions::Assign(const TCustomGridTreeOptions &Source)
{
    TCustomGridTreeOptions::Assign(Source);
    if (const auto *strings = dynamic_cast<const TCustomStringTreeOptions *>(&Source))
        SetStringOptions(strings->FStringOptions);
}
