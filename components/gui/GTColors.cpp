#include "components/gui/GTColors.h"

#include "components/gui/GridTreeView.h"

#include <QPalette>

QColor PaletteColor(const QPalette &Palette, TColor Color)
{
    if (!IsSystemColor(Color))
        return ToQColor(Color);
    switch (int(Color & 0xFF)) {
    case COLOR_WINDOW:
        return Palette.color(QPalette::Base);
    case COLOR_WINDOWTEXT:
        return Palette.color(QPalette::WindowText);
    case COLOR_HIGHLIGHT:
        return Palette.color(QPalette::Highlight);
    case COLOR_HIGHLIGHTTEXT:
        return Palette.color(QPalette::HighlightedText);
    case COLOR_BTNFACE:
        return Palette.color(QPalette::Button);
    case COLOR_BTNTEXT:
        return Palette.color(QPalette::ButtonText);
    case COLOR_BTNSHADOW:
        return Palette.color(QPalette::Dark);
    case COLOR_BTNHIGHLIGHT:
        return Palette.color(QPalette::Light);
    case COLOR_3DDKSHADOW:
        return Palette.color(QPalette::Shadow);
    case COLOR_3DLIGHT:
        return Palette.color(QPalette::Midlight);
    case COLOR_GRAYTEXT:
        return Palette.color(QPalette::Disabled, QPalette::WindowText);
    case COLOR_INFOBK:
        return Palette.color(QPalette::ToolTipBase);
    case COLOR_INFOTEXT:
        return Palette.color(QPalette::ToolTipText);
    default:
        return ToQColor(Color);
    }
}

TGTColors::TGTColors(TGridTreeView &Owner)
    : FOwner(Owner)
    , FColors { clBtnShadow, clHighlight, clHighlight, clHighlight, clBtnFace, clBtnShadow, clBtnFace,
        clBtnFace, clWindowText, clHighlight, clBtnFace, clHighlight, clHighlight, clHighlight, clBtnShadow }
{ }

void TGTColors::SetColor(TIndex Index, TColor Value)
{
    if (FColors[Index] == Value)
        return;
    FColors[Index] = Value;
    FOwner.ColorChanged(Index);
}

QColor TGTColors::QtColor(TIndex Index) const
{
    return PaletteColor(FOwner.palette(), FColors[Index]);
}

void TGTColors::Assign(const TGTColors &Source)
{
    for (int i = 0; i < ColorCount; ++i)
        SetColor(TIndex(i), Source.FColors[std::size_t(i)]);
}
