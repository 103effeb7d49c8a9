#include "platform/workbook/WorkbookLimits.h"

namespace platform::workbook {

QString cutText(const QString &text, qsizetype length)
{
    if (text.size() <= length)
        return text;
    if (length > 0 && text[length - 1].isHighSurrogate())
        --length;
    return text.left(length);
}

QString cleanSheetName(const QString &name)
{
    QString clean = name;
    for (QChar &c : clean) {
        if (c.unicode() < 0x20 || QStringView(u"[]:*?/\\").contains(c))
            c = u'_';
    }
    while (clean.startsWith(u'\''))
        clean.remove(0, 1);
    clean = cutText(clean, MaxSheetNameLength);
    while (clean.endsWith(u'\''))
        clean.chop(1);
    return clean;
}

} // namespace platform::workbook
