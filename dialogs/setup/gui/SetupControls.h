#pragma once

#include <QLatin1String>
#include <QStringList>
#include <QWidget>
#include <utility>

class QPlainTextEdit;
class TStringGridTree;

// A control of a setup dialog, named so that translating the window and tests
// find it: the arguments are the control's own before its parent.
template <typename T, typename... Args> T *Named(QWidget *parent, const char *name, Args &&...args)
{
    auto *control = new T(std::forward<Args>(args)..., parent);
    control->setObjectName(QLatin1String(name));
    return control;
}

// Lines of a plain-text edit, and setting them (one per line).
QStringList MemoLines(const QPlainTextEdit &memo);
void SetMemoLines(QPlainTextEdit &memo, const QStringList &lines);

// A tree-grid list of check-box rows as the setup dialogs use it: a header with
// these columns and widths, whole rows selected one at a time, no tree lines,
// no in-place editing.
struct TCheckTreeColumn {
    QString caption;
    int width;
};
void SetUpCheckTree(TStringGridTree &tree, std::initializer_list<TCheckTreeColumn> columns);
// Sets the headings of the columns (translated by the caller).
void SetColumnCaptions(TStringGridTree &tree, const QStringList &captions);
// Widens each column to its widest cell and heading at the tree's fonts, so that
// no text is cut; a column keeps at least the width given for it.
void FitColumnsToTexts(TStringGridTree &tree, std::initializer_list<int> leastWidths);
