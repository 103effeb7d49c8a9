#pragma once

#include "platform/gui/ControlTypes.h"

class TGridTreeView;

enum TScrollBarStyle { sbmRegular, sbmFlat, sbm3D };

// Which scroll bars the tree shows and how far a line step scrolls.
class TScrollBarOptions {
public:
    explicit TScrollBarOptions(TGridTreeView &Owner);

    // Shows disabled bars instead of hiding them.
    bool AlwaysVisible() const { return FAlwaysVisible; }
    void SetAlwaysVisible(bool Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    TScrollBarStyle ScrollBarStyle() const { return FScrollBarStyle; }
    // Only the regular style exists: others fail with EGridTreeAssertion.
    void SetScrollBarStyle(TScrollBarStyle Value);
    int HorizontalIncrement() const { return FIncrementX; }
    void SetHorizontalIncrement(int Value) { FIncrementX = Value; }
    int VerticalIncrement() const { return FIncrementY; }
    void SetVerticalIncrement(int Value) { FIncrementY = Value; }

    void Assign(const TScrollBarOptions &Source);

private:
    TGridTreeView &FOwner;
    bool FAlwaysVisible = false;
    TScrollStyle FScrollBars = ssBoth;
    TScrollBarStyle FScrollBarStyle = sbmRegular;
    int FIncrementX = 20;
    int FIncrementY = 20;
};
