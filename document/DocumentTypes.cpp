#include "document/DocumentTypes.h"

namespace {

const std::array<const char *, kColumnTypeCount> kColumnTypeNames
    = { "Text", "Date", "Pulldown", "Number", "CheckBox", "Link" };

const std::array<const char *, kConnectionCount> kConnectionNames = {
    "",
    "Position",
    "Start",
    "End",
    "Length",
    "Termin",
    "Color",
    "TextLeftTop",
    "TextLeftMiddle",
    "TextLeftBottom",
    "TextcenterTop",
    "TextCenterMiddle",
    "TextCenterBottom",
    "TextRightTop",
    "TextRightMiddle",
    "TextRightBottom",
    "LengthWithWeekend",
    "Interval",
};

} // namespace

QString TableName(TWhichTable table)
{
    return table == tbExclude ? QStringLiteral("tbExclude") : QStringLiteral("tbTable");
}

QString ColumnTypeName(TColumnType type)
{
    return QString::fromLatin1(kColumnTypeNames[ColumnTypeFromOrdinal(type)]);
}

TColumnType ColumnTypeName2Type(const QString &name)
{
    for (int i = 0; i < kColumnTypeCount; ++i) {
        if (name == QLatin1String(kColumnTypeNames[i]))
            return TColumnType(i);
    }
    return ctText;
}

TColumnType ColumnTypeFromOrdinal(int ordinal)
{
    return ordinal >= 0 && ordinal < kColumnTypeCount ? TColumnType(ordinal) : ctText;
}

QString ConnectionName(TConnection role)
{
    return role > cnNone && role < kConnectionCount ? QString::fromLatin1(kConnectionNames[role]) : QString();
}
