#pragma once

#include "document/DocumentTypes.h"
#include "tables/NodeComparer.h"

#include <QString>
#include <array>
#include <vector>

class Document;

// The sort keys of the two tables (FSortList), one list per table so that a
// key never reaches the other table. The first key is the main key. The sort
// command adds a key per column sorted and asks whether to keep the others.
class TSortKeys {
public:
    const std::vector<TSortKey> &SortList(TWhichTable table) const { return FSortList[table]; }

    // The sort command on a column (ActionSortExecute, before the keys are
    // applied): inverts the column's SortAscending; asks whether to keep the
    // existing keys when there is more than one or one of another column
    // (through MessageDlg; any answer but Yes drops them); then turns the
    // column's key round, or appends a key for it (ascending when the flag
    // is now false).
    void Sort(Document &doc, TWhichTable table, int column);
    // The question's text: "Keep existing sort?", then each key's column
    // caption on a line of its own, the main key marked.
    QString KeepQuestion(const Document &doc, TWhichTable table) const;

    // Sorts the table's tree by its keys: the main key decides, later keys
    // break its ties; the tree header shows the main key.
    void ApplySortKeys(Document &doc, TWhichTable table, TNodeComparer &comparer) const;

    // A column inserted at `index`: keys at and after it move one on.
    void ColumnInserted(TWhichTable table, int index);
    // The column at `index` removed: its key goes, later keys move one back.
    void ColumnRemoved(TWhichTable table, int index);
    // The columns laid out anew (new column i was old column origin[i], -1 for
    // a new one): each key follows its column, keys of removed columns go.
    void ColumnsRelaid(TWhichTable table, const std::vector<int> &origin);
    void Clear(TWhichTable table) { FSortList[table].clear(); }

private:
    std::array<std::vector<TSortKey>, kTableCount> FSortList;
};

// The image of a sort-menu item: 18 (ascending next) or 19 for the column just
// sorted, none (-1) for the others.
int SortMenuImage(int item, int activeColumn, bool sortAscending);
