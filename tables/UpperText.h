#pragma once

#include <QString>
#include <QStringView>
#include <vector>

// The upper-case form of texts, exactly as QString::toUpper gives it, written
// into one buffer that is reused from text to text: a filter or a search that
// upper-cases a cell of every row allocates nothing for the usual cell. Texts
// with a character whose upper case is longer than itself (the sharp s) or with
// surrogate pairs take QString::toUpper.
class TUpperText {
public:
    // The view stays valid until the next call.
    QStringView Of(QStringView text);

private:
    std::vector<char16_t> FBuffer;
    QString FLong;
};
