#include "dialogs/menus/ControlKinds.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVariant>
#include <cstring>

namespace {

bool IsClass(const QObject *object, const char *name)
{
    return std::strcmp(object->metaObject()->className(), name) == 0;
}

} // namespace

int GetTag(const QObject *object)
{
    return object ? object->property("Tag").toInt() : 0;
}

void SetTag(QObject *object, int tag)
{
    object->setProperty("Tag", tag);
}

bool ControlKindOf(const QWidget *control, TFlatControl &kind)
{
    if (qobject_cast<const QComboBox *>(control))
        kind = xcCombo;
    else if (qobject_cast<const QLineEdit *>(control))
        kind = xcEdit;
    else if (qobject_cast<const QPlainTextEdit *>(control) || qobject_cast<const QTextEdit *>(control))
        kind = xcMemo;
    else if (qobject_cast<const QCheckBox *>(control))
        kind = xcCheckBox;
    else if (qobject_cast<const QRadioButton *>(control))
        kind = xcRadioButton;
    else if (IsClass(control, "QPushButton"))
        kind = static_cast<const QPushButton *>(control)->icon().isNull() ? xcButton : xcBitBtn;
    else if (IsClass(control, "QSpinBox") || IsClass(control, "QDoubleSpinBox"))
        kind = xcUpDown;
    else if (qobject_cast<const QToolButton *>(control))
        kind = xcSpeedButton;
    else if (IsClass(control, "QFrame"))
        kind = xcPanel;
    else if (qobject_cast<const QGroupBox *>(control))
        kind = xcGroupBox;
    else if (qobject_cast<const QListView *>(control))
        kind = xcListBox;
    else if (qobject_cast<const QTreeView *>(control))
        kind = xcListView;
    else if (qobject_cast<const QProgressBar *>(control))
        kind = xcProgressBar;
    else
        return false;
    return true;
}

bool ContainerKindOf(const QWidget *parent, TFlatContainer &kind)
{
    // Bounded: a chain of layout-only widgets is never this deep in a real window.
    for (int depth = 0; parent && depth < 32; ++depth, parent = parent->parentWidget()) {
        const QWidget *grand = parent->parentWidget();
        const QWidget *great = grand ? grand->parentWidget() : nullptr;
        const auto *scroll = great ? qobject_cast<const QScrollArea *>(great) : nullptr;
        if (qobject_cast<const QToolBar *>(parent))
            kind = xccToolbar;
        else if (IsClass(parent, "QFrame"))
            kind = xccPanel;
        else if (scroll && scroll->widget() == parent)
            kind = xccScrollBox;
        else if (qobject_cast<const QGroupBox *>(parent))
            kind = xccGroupBox;
        else if (qobject_cast<const QStackedWidget *>(grand) && qobject_cast<const QTabWidget *>(great))
            kind = xccTabSheet;
        else if (parent->isWindow())
            kind = xccForm;
        else if (IsClass(parent, "QWidget") || qobject_cast<const QDialogButtonBox *>(parent))
            continue;
        else
            return false;
        return true;
    }
    return false;
}
