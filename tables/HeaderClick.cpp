#include "tables/HeaderClick.h"

THeaderClickAction HeaderClickAction(Qt::MouseButton button, int x, int columnLeft)
{
    switch (button) {
    case Qt::LeftButton:
        return x - columnLeft < kFilterZoneWidth ? hcFilter : hcSort;
    case Qt::RightButton:
        return hcMenu;
    default:
        return hcNone;
    }
}
