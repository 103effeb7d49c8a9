#include "components/gui/ScrollBarOptions.h"

#include "components/GridTreeErrors.h"
#include "components/gui/GridTreeView.h"

TScrollBarOptions::TScrollBarOptions(TGridTreeView &Owner)
    : FOwner(Owner)
{ }

void TScrollBarOptions::SetAlwaysVisible(bool Value)
{
    if (FAlwaysVisible == Value)
        return;
    FAlwaysVisible = Value;
    FOwner.ApplyScrollBarPolicies();
}

void TScrollBarOptions::SetScrollBars(TScrollStyle Value)
{
    if (FScrollBars == Value)
        return;
    FScrollBars = Value;
    FOwner.ApplyScrollBarPolicies();
}

void TScrollBarOptions::SetScrollBarStyle(TScrollBarStyle Value)
{
    if (Value != sbmRegular)
        throw EGridTreeAssertion("Flat scrollbars are not supported.");
    FScrollBarStyle = Value;
}

void TScrollBarOptions::Assign(const TScrollBarOptions &Source)
{
    SetAlwaysVisible(Source.FAlwaysVisible);
    SetScrollBars(Source.FScrollBars);
    SetScrollBarStyle(Source.FScrollBarStyle);
    FIncrementX = Source.FIncrementX;
    FIncrementY = Source.FIncrementY;
}
