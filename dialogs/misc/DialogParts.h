#pragma once

#include <QString>
#include <initializer_list>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QWidget;

// Controls of the small dialogs, named so that translating a window finds them.
QLabel *NamedLabel(QWidget *parent, const char *name, const char *text = "");
QPushButton *NamedButton(QWidget *parent, const char *name, const char *text);
// The buttons right-aligned in a row.
QHBoxLayout *ButtonRow(std::initializer_list<QPushButton *> buttons);
