#pragma once

// Option types of the standard controls, with the values the settings and
// Parts name them by.
enum TScrollStyle : int { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TScrollBarKind : int { sbHorizontal, sbVertical };
enum TBorderStyle : int { bsNone, bsSingle };
