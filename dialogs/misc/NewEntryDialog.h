#pragma once

#include "document/DocumentTypes.h"

#include <QDialog>

class QLabel;
class QPushButton;

// Asks in which table an entry drawn on the chart belongs. "Tasks" and "Absent
// Days" both accept the dialog and set `table`.
class TNewEntryDialog : public QDialog {
    Q_OBJECT
public:
    explicit TNewEntryDialog(QWidget *parent = nullptr);

    // Filled by the caller with the entry's dates and position.
    QLabel *LabelBegin() const { return m_labelBegin; }
    QLabel *LabelEnd() const { return m_labelEnd; }
    QLabel *LabelPos() const { return m_labelPos; }
    QPushButton *Button1() const { return m_button1; }
    QPushButton *Button2() const { return m_button2; }

    TWhichTable table() const { return m_table; }

private:
    void Button1Click();
    void Button2Click();

    QLabel *m_labelBegin;
    QLabel *m_labelEnd;
    QLabel *m_labelPos;
    QPushButton *m_button1;
    QPushButton *m_button2;
    TWhichTable m_table = tbTable;
};
