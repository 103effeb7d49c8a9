#include "tables/SortKeys.h"

#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/program/MessageDialog.h"
#include "document/program/Translation.h"

#include <algorithm>

void TSortKeys::Sort(Document &doc, TWhichTable table, int column)
{
    THeaderData *header = doc.GetHeader(table, column);
    if (!header)
        return;
    header->SortAscending = !header->SortAscending;
    std::vector<TSortKey> &keys = FSortList[table];
    const bool otherKeys = keys.size() > 1 || (keys.size() == 1 && keys.front().column != column);
    if (otherKeys && MessageDlg(KeepQuestion(doc, table), mtConfirmation, { mbYes, mbNo }) != mrYes)
        keys.clear();
    auto it = std::find_if(keys.begin(), keys.end(), [&](const TSortKey &k) { return k.column == column; });
    if (it != keys.end())
        it->direction = it->direction == sdAscending ? sdDescending : sdAscending;
    else
        keys.push_back({ column, header->SortAscending ? sdDescending : sdAscending });
}

QString TSortKeys::KeepQuestion(const Document &doc, TWhichTable table) const
{
    QString text = Translate(QStringLiteral("Keep existing sort?")) + QLatin1Char('\r');
    const std::vector<TSortKey> &keys = FSortList[table];
    for (std::size_t i = 0; i < keys.size(); ++i) {
        text += QLatin1Char('\r') + doc.GetColumnCaption(table, keys[i].column);
        if (i == 0)
            text += QStringLiteral("  ") + Translate(QStringLiteral("Main Index"));
    }
    return text;
}

void TSortKeys::ApplySortKeys(Document &doc, TWhichTable table, TNodeComparer &comparer) const
{
    comparer.SortTree(doc, table, FSortList[table]);
}

void TSortKeys::ColumnInserted(TWhichTable table, int index)
{
    for (TSortKey &key : FSortList[table]) {
        if (key.column >= index)
            ++key.column;
    }
}

void TSortKeys::ColumnRemoved(TWhichTable table, int index)
{
    std::vector<TSortKey> &keys = FSortList[table];
    std::erase_if(keys, [&](const TSortKey &k) { return k.column == index; });
    for (TSortKey &key : keys) {
        if (key.column > index)
            --key.column;
    }
}

void TSortKeys::ColumnsRelaid(TWhichTable table, const std::vector<int> &origin)
{
    std::vector<TSortKey> &keys = FSortList[table];
    for (TSortKey &key : keys) {
        const auto at = std::find(origin.begin(), origin.end(), key.column);
        key.column = key.column >= 0 && at != origin.end() ? int(at - origin.begin()) : -1;
    }
    std::erase_if(keys, [](const TSortKey &k) { return k.column < 0; });
}

int SortMenuImage(int item, int activeColumn, bool sortAscending)
{
    if (item != activeColumn)
        return -1;
    return sortAscending ? 19 : 18;
}
