// A dialog with one of every standard control the flat look takes over, in the
// program's pinned colours (window: button face, inputs: window colour).
#pragma once

#include "tests/support/PixelTest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace menutest {

struct TControlDialog {
    QDialog Dialog;
    QLineEdit *Edit = nullptr;
    QPlainTextEdit *Memo = nullptr;
    QCheckBox *Check = nullptr;
    QCheckBox *Grayed = nullptr;
    QRadioButton *Radio = nullptr;
    QPushButton *Button = nullptr;
    QPushButton *IconButton = nullptr;
    QSpinBox *Spin = nullptr;
    QToolButton *Tool = nullptr;
    QComboBox *Combo = nullptr;
    QGroupBox *Group = nullptr;
    QFrame *Panel = nullptr;
    QListWidget *List = nullptr;
    QTreeWidget *Tree = nullptr;
    QProgressBar *Progress = nullptr;

    TControlDialog()
    {
        QPalette palette = Dialog.palette();
        palette.setColor(QPalette::Window, ToQColor(clBtnFace));
        palette.setColor(QPalette::Button, ToQColor(clBtnFace));
        palette.setColor(QPalette::Base, ToQColor(clWindow));
        Dialog.setPalette(palette);
        Dialog.setFont(QFont(QString::fromLatin1(testsupport::TestFontFamily), 8));
        // Fixed places, so that pixels can be worked out.
        Edit = Place(new QLineEdit(QStringLiteral("Text"), &Dialog), 10, 10, 120, 21);
        Memo = Place(new QPlainTextEdit(QStringLiteral("Memo"), &Dialog), 140, 10, 120, 50);
        Check = Place(new QCheckBox(QStringLiteral("Check"), &Dialog), 10, 40, 100, 17);
        Check->setChecked(true);
        Grayed = Place(new QCheckBox(QStringLiteral("Grayed"), &Dialog), 10, 60, 100, 17);
        Grayed->setTristate(true);
        Grayed->setCheckState(Qt::PartiallyChecked);
        Radio = Place(new QRadioButton(QStringLiteral("Radio"), &Dialog), 10, 80, 100, 17);
        Radio->setChecked(true);
        Button = Place(new QPushButton(QStringLiteral("OK"), &Dialog), 10, 104, 75, 25);
        Button->setDefault(true);
        QImage glyph(16, 16, QImage::Format_ARGB32);
        glyph.fill(ToQColor(clGreen));
        IconButton
            = Place(new QPushButton(QIcon(QPixmap::fromImage(glyph)), QStringLiteral("Apply"), &Dialog), 95,
                104, 75, 25);
        Spin = Place(new QSpinBox(&Dialog), 180, 104, 60, 22);
        Tool = Place(new QToolButton(&Dialog), 250, 104, 23, 22);
        Tool->setIcon(QIcon(QPixmap::fromImage(glyph)));
        Tool->setAutoRaise(true);
        Combo = Place(new QComboBox(&Dialog), 10, 140, 120, 21);
        Combo->addItems({ QStringLiteral("Alpha"), QStringLiteral("Beta") });
        Group = Place(new QGroupBox(QStringLiteral("Group"), &Dialog), 140, 135, 130, 60);
        Panel = Place(new QFrame(&Dialog), 10, 170, 120, 30);
        Panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        List = Place(new QListWidget(&Dialog), 10, 210, 120, 50);
        List->addItems({ QStringLiteral("One"), QStringLiteral("Two") });
        Tree = Place(new QTreeWidget(&Dialog), 140, 210, 130, 50);
        Progress = Place(new QProgressBar(&Dialog), 10, 270, 260, 16);
        Progress->setValue(40);
        Dialog.resize(290, 300);
        Dialog.move(0, 0);
    }

    template <typename W> static W *Place(W *widget, int x, int y, int w, int h)
    {
        widget->setGeometry(x, y, w, h);
        return widget;
    }
};

} // namespace menutest
