#include "dialogs/setup/gui/SetupControls.h"

#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeOptions.h"
#include "components/gui/StringGridTree.h"

#include <QPlainTextEdit>
#include <algorithm>

QStringList MemoLines(const QPlainTextEdit &memo)
{
    QStringList lines = memo.toPlainText().split(QLatin1Char('\n'));
    // A last line break ends the last line; it starts no empty one.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void SetMemoLines(QPlainTextEdit &memo, const QStringList &lines)
{
    memo.setPlainText(lines.join(QLatin1Char('\n')));
}

void SetUpCheckTree(TStringGridTree &tree, std::initializer_list<TCheckTreeColumn> columns)
{
    TCustomGridTreeOptions &options = tree.TreeOptions();
    options.SetPaintOptions(
        options.PaintOptions() - TGTPaintOptions { toShowRoot, toShowTreeLines, toShowButtons });
    options.SetMiscOptions(options.MiscOptions() - TGTMiscOptions { toEditOnClick, toToggleOnDblClick }
        + TGTMiscOptions { toCheckSupport });
    options.SetSelectionOptions({ toFullRowSelect });
    TGTHeader &header = tree.Header();
    header.SetOptions({ hoVisible, hoColumnResize });
    TGridTreeColumns &list = header.Columns();
    for (const TCheckTreeColumn &column : columns) {
        TGridTreeColumn &added = list.Add();
        added.SetText(column.caption);
        added.SetWidth(column.width);
    }
}

void SetColumnCaptions(TStringGridTree &tree, const QStringList &captions)
{
    TGridTreeColumns &columns = tree.Header().Columns();
    for (int i = 0; i < columns.Count() && i < captions.size(); ++i)
        columns[i].SetText(captions[i]);
}

void FitColumnsToTexts(TStringGridTree &tree, std::initializer_list<int> leastWidths)
{
    TGridTreeColumns &columns = tree.Header().Columns();
    int index = 0;
    for (int least : leastWidths) {
        if (index >= columns.Count())
            break;
        columns[index].SetWidth(std::max(least, tree.GetMaxColumnWidth(index)));
        ++index;
    }
}
