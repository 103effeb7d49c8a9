#include "mainwindow/RowFonts.h"

const QFont &TRowFonts::Styled(const QFont &Base, bool Italic, bool Bold)
{
    // What the base leaves unset is filled in from the painter's font: an equal
    // base with another resolve mask is another base.
    if (!FBase
        || !(Base.isCopyOf(*FBase) || (Base.resolveMask() == FBase->resolveMask() && Base == *FBase))) {
        FBase = Base;
        FStyled.fill(std::nullopt);
    }
    std::optional<QFont> &styled = FStyled[std::size_t((Italic ? 2 : 0) + (Bold ? 1 : 0))];
    if (!styled) {
        QFont font = Base;
        font.setItalic(Base.italic() || Italic);
        font.setBold(Base.bold() || Bold);
        styled = font;
    }
    return *styled;
}
