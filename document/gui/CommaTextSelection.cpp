#include "document/gui/CommaTextSelection.h"

#include <QListWidget>

void FromSelection(TCommaText &commaText, const QListWidget &listBox)
{
    QStringList items;
    for (int row = 0; row < listBox.count(); ++row) {
        if (listBox.item(row)->isSelected())
            items.append(listBox.item(row)->text());
    }
    commaText.FromStrings(items);
}

void ToSelection(const TCommaText &commaText, QListWidget &listBox)
{
    for (int row = 0; row < listBox.count(); ++row) {
        QListWidgetItem *entry = listBox.item(row);
        entry->setSelected(commaText.IndexOf(entry->text()) >= 0);
    }
}
