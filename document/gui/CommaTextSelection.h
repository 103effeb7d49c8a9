#pragma once

#include "document/text/CommaText.h"

class QListWidget;

// The texts of the selected entries of a list box, in list order.
void FromSelection(TCommaText &commaText, const QListWidget &listBox);
// Selects exactly the entries whose text is an item of the comma text (ignoring case, as IndexOf).
void ToSelection(const TCommaText &commaText, QListWidget &listBox);
