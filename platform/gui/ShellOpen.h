#pragma once

#include <QString>
#include <QUrl>

// Opening a text as the desktop opens a file or an address (a link cell).

// What opening a text would do: the address the desktop is asked to open, and
// whether that is harmless (a web or mail address, or an existing file that is
// not a program). Cells come from other users and from workbooks, so anything
// else is to be confirmed first.
struct TShellTarget {
    QUrl Url; // empty when the text names nothing
    bool Safe = false;
};
TShellTarget ShellTarget(const QString &Text);

// Asks the desktop to open the address; false when nothing took it.
bool ShellOpen(const QUrl &Url);
