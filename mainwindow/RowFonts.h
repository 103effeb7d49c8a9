#pragma once

#include <QFont>
#include <array>
#include <optional>

// The fonts a table row's text is drawn in: the font the cell starts with, made
// italic and bold as the row asks. Made once a base font rather than copied and
// changed at every cell, which fitting a column to a large table does a million
// times.
class TRowFonts {
public:
    // Base with italic and bold added as asked (a base that has them keeps them).
    const QFont &Styled(const QFont &Base, bool Italic, bool Bold);

private:
    std::optional<QFont> FBase;
    std::array<std::optional<QFont>, 4> FStyled;
};
