#include "tables/TableCells.h"

#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/program/Translation.h"

#include <QStringList>

const QString &CellOf(const TNodeData &row, int column)
{
    static const QString empty;
    return column >= 0 && column < row.StringList.size() ? row.StringList[column] : empty;
}

QString GetCellText(const Document &doc, const TNodeData &row, int column)
{
    if (column < 0)
        return QString();
    const QString cell = doc.GetData(&row, column);
    if (doc.GetColumnType(row.NodeTable, column) == ctCheckBox)
        return cell == QLatin1String("Ja") ? Translate(QStringLiteral("yes"))
                                           : Translate(QStringLiteral("no"));
    return cell;
}

TRowFont GetRowFont(const Document &doc, const TNodeData &row, bool selected)
{
    TRowFont font;
    if (doc.GetNodeIsOverlapping(&row))
        font.color = kErrorFontColor;
    font.italic = !row.nodeValid;
    font.bold = selected;
    return font;
}

std::optional<std::uint32_t> GetCellFill(const Document &doc, TWhichTable table, int column)
{
    switch (doc.GetColumnConnection(table, column)) {
    case cnPosition:
    case cnStart:
    case cnEnd:
    case cnLength:
    case cnColor:
        return kRoleFillColor;
    default:
        return std::nullopt;
    }
}

std::optional<TWavyLine> GetWavyLine(const TNodeData &row, int cellLeft, int cellWidth, int cellBottom)
{
    if (row.nodeValid)
        return std::nullopt;
    return TWavyLine { cellLeft, cellBottom - 1, cellWidth };
}

QString GetRowHint(const Document &doc, const TNodeData &row)
{
    if (row.nodeValid)
        return QString();
    QStringList lines;
    for (int column = 0; column < doc.GetTableColCount(row.NodeTable); ++column) {
        const QString &text = CellOf(row, column);
        TDateTime date = 0;
        if (doc.GetColumnType(row.NodeTable, column) != ctDate || text.isEmpty()
            || doc.TryStrToDateTime(text, date))
            continue;
        lines << doc.GetColumnCaption(row.NodeTable, column) + QStringLiteral(": ")
                + Translate(QStringLiteral("\"%s\" is no date."), { text });
    }
    return lines.join(QLatin1Char('\n'));
}

int CompareText(QStringView a, QStringView b)
{
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
    const qsizetype n = std::min(a.size(), b.size());
    const char16_t *pa = a.utf16();
    const char16_t *pb = b.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        if (pa[i] == pb[i]) // most texts of a column share their first letters
            continue;
        const char16_t x = lower(pa[i]);
        const char16_t y = lower(pb[i]);
        if (x != y)
            return int(x) - int(y);
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}
