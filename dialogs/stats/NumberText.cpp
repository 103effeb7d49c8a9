#include "dialogs/stats/NumberText.h"

#include "document/calendar/DateTime.h"

QString FixedTwo(double value)
{
    QString text = QString::number(value, 'f', 2);
    if (text == QStringLiteral("-0.00"))
        text.remove(0, 1);
    return text.replace(QLatin1Char('.'), FormatSettings().DecimalSeparator);
}
