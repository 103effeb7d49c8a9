#pragma once

#include "components/GridNode.h"

#include <cstdint>

// Types shared by the columns, the header and the tree widget.

using TColumnIndex = int;
using TColumnPosition = unsigned;
inline constexpr TColumnIndex NoColumn = -1;
inline constexpr TColumnIndex InvalidColumn = -2;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

enum TGridTreeColumnStyle { vsText, vsOwnerDraw };
enum TGTHeaderColumnLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

enum TGTColumnOption : uint8_t {
    coAllowClick,
    coDraggable,
    coEnabled,
    coParentBidiMode,
    coParentColor,
    coResizable,
    coShowDropMark,
    coVisible,
    coAutoSpring,
    coFixed,
    coSmartResize,
    coAllowFocus,
    coDisableAnimatedResize,
    coWrapCaption,
    coUseCaptionAlignment
};
using TGTColumnOptions = TSmallSet<TGTColumnOption, uint16_t>;
inline constexpr TGTColumnOptions DefaultColumnOptions { coAllowClick, coDraggable, coEnabled,
    coParentBidiMode, coParentColor, coResizable, coShowDropMark, coVisible, coAllowFocus };

enum TGTHeaderOption : uint8_t {
    hoAutoResize,
    hoColumnResize,
    hoDblClickResize,
    hoDrag,
    hoHotTrack,
    hoOwnerDraw,
    hoRestrictDrag,
    hoShowHint,
    hoShowImages,
    hoShowSortGlyphs,
    hoVisible,
    hoAutoSpring,
    hoFullRepaintOnResize,
    hoDisableAnimatedResize,
    hoHeightResize,
    hoHeightDblClickResize
};
using TGTHeaderOptions = TSmallSet<TGTHeaderOption, uint16_t>;

enum THeaderState : uint8_t {
    hsAutoSizing,
    hsDragging,
    hsDragPending,
    hsLoading,
    hsColumnWidthTracking,
    hsColumnWidthTrackPending,
    hsHeightTracking,
    hsHeightTrackPending,
    hsResizing,
    hsScaling,
    hsNeedScaling
};
using THeaderStates = TSmallSet<THeaderState, uint16_t>;

// Limits, in percent of the client size (0: none), of the header height and of
// the width the fixed columns take together.
struct TGTFixedAreaConstraints {
    int MaxHeightPercent = 0;
    int MaxWidthPercent = 0;
    int MinHeightPercent = 0;
    int MinWidthPercent = 0;

    bool operator==(const TGTFixedAreaConstraints &) const = default;
};
