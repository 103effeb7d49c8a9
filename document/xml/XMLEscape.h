#pragma once

#include <QString>
#include <QStringView>

// "&" "<" ">" double quote and blank become "&amp;" "&lt;" "&gt;" "&quot;" "&nbsp;";
// everything else (the apostrophe included) is copied.
QString XMLEscape(QStringView text);

// Decodes the five entities above and decimal references "&#N;" (N up to 65535). Any
// other text after "&" is a format error, and then the whole input is returned unchanged.
QString XMLUnescape(QStringView text);

namespace xml {

// Strips characters up to and including the blank (code 32) from both ends, as the
// file format's readers always have; a no-break space (U+00A0) is kept.
inline QStringView trimControls(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.sliced(begin, end - begin);
}

} // namespace xml
