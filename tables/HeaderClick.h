#pragma once

#include <Qt>

// What a click on a column of a table's header does: the left 18 pixels of
// the column hold the filter icon and open the column's filter; the rest of
// it sorts by the column; the right button opens the header's menu.
enum THeaderClickAction { hcNone, hcFilter, hcSort, hcMenu };

// The filter icon zone's width from the column's left edge.
constexpr int kFilterZoneWidth = 18;

// `x` and `columnLeft` in the header's coordinates.
THeaderClickAction HeaderClickAction(Qt::MouseButton button, int x, int columnLeft);
