#pragma once

#include "components/GridNode.h"

#include <cstdint>

// The option sets of the tree-grid control that the node store does not keep
// itself (it keeps the paint, auto and misc options): the view's options object
// holds them, the selection will read them.

enum TGTAnimationOption : uint8_t { toAnimatedToggle, toAdvancedAnimatedToggle };
using TGTAnimationOptions = TSmallSet<TGTAnimationOption, uint8_t>;

enum TGTSelectionOption : uint8_t {
    toDisableDrawSelection,
    toExtendedFocus,
    toFullRowSelect,
    toLevelSelectConstraint,
    toMiddleClickSelect,
    toMultiSelect,
    toRightClickSelect,
    toSiblingSelectConstraint,
    toCenterScrollIntoView,
    toSimpleDrawSelection
};
using TGTSelectionOptions = TSmallSet<TGTSelectionOption, uint16_t>;

enum TGTStringOption : uint8_t { toSaveCaptions, toShowStaticText, toAutoAcceptEditChange };
using TGTStringOptions = TSmallSet<TGTStringOption, uint8_t>;
