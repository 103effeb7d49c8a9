// The flat look beside Fusion on the same widgets: a 30-item popup menu and a
// dialog of 40 controls, each rendered whole into an image; and the repaints that
// mouse moves within one half of a spin box's buttons cause.
#include "bench/BenchSupport.h"
#include "dialogs/menus/ControlSubClass.h"
#include "dialogs/menus/FlatMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDialog>
#include <QGridLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyleFactory>
#include <QToolButton>
#include <memory>

namespace {

QIcon Icon(int i)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter(&image).fillRect(1, 1, 14, 14, QColor::fromHsv((i * 37) % 360, 160, 200));
    return QIcon(QPixmap::fromImage(image));
}

// 30 items: icons with shortcuts, checks, a radio group, separators, a submenu.
std::unique_ptr<QMenu> MakePopup()
{
    auto menu = std::make_unique<QMenu>();
    auto *group = new QActionGroup(menu.get());
    for (int i = 0; i < 27; ++i) {
        if (i % 9 == 8) {
            menu->addSeparator();
            continue;
        }
        QAction *action = menu->addAction(QStringLiteral("Command &%1 of the plan").arg(i));
        if (i % 3 == 0) {
            action->setIcon(Icon(i));
            action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_A + i % 26)));
        } else if (i % 3 == 1) {
            action->setCheckable(true);
            action->setChecked(i % 2 == 0);
        } else {
            action->setCheckable(true);
            group->addAction(action);
        }
        if (i == 13)
            action->setEnabled(false);
    }
    QMenu *sub = menu->addMenu(QStringLiteral("Recent &files"));
    sub->addAction(QStringLiteral("1 plan.kez"));
    menu->addAction(QStringLiteral("E&xit"));
    menu->addAction(QStringLiteral("&About"));
    return menu;
}

// 40 controls of the kinds the flat look takes over.
std::unique_ptr<QDialog> MakeDialog()
{
    auto dialog = std::make_unique<QDialog>();
    auto *grid = new QGridLayout(dialog.get());
    for (int i = 0; i < 40; ++i) {
        QWidget *control = nullptr;
        switch (i % 8) {
        case 0:
            control = new QLineEdit(QStringLiteral("Text %1").arg(i));
            break;
        case 1:
            control = new QCheckBox(QStringLiteral("Check %1").arg(i));
            break;
        case 2:
            control = new QRadioButton(QStringLiteral("Radio %1").arg(i));
            break;
        case 3:
            control = new QPushButton(QStringLiteral("Button %1").arg(i));
            break;
        case 4:
            control = new QSpinBox;
            break;
        case 5: {
            auto *combo = new QComboBox;
            combo->addItems({ QStringLiteral("Alpha"), QStringLiteral("Beta") });
            control = combo;
            break;
        }
        case 6: {
            auto *tool = new QToolButton;
            tool->setIcon(Icon(i));
            tool->setAutoRaise(true);
            control = tool;
            break;
        }
        default: {
            auto *bar = new QProgressBar;
            bar->setValue(i);
            control = bar;
            break;
        }
        }
        grid->addWidget(control, i / 4, i % 4);
    }
    dialog->resize(dialog->sizeHint());
    return dialog;
}

QStyle *Fusion()
{
    static QStyle *style = QStyleFactory::create(QStringLiteral("Fusion"));
    return style;
}

void Render(benchmark::State &state, QWidget &widget, QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        widget.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// The popup in one look, into an image that fits the popup in either look.
void RenderPopup(benchmark::State &state, bool flatLook)
{
    QWidget owner;
    TFlatMenu flat(&owner);
    flat.UseMainWindowSettings();
    auto flatMenu = MakePopup();
    auto fusionMenu = MakePopup();
    fusionMenu->setStyle(Fusion());
    flat.ForceComponent(flatMenu.get());
    QMenu &menu = flatLook ? *flatMenu : *fusionMenu;
    menu.resize(menu.sizeHint());
    Render(state, menu, flatMenu->sizeHint().expandedTo(fusionMenu->sizeHint()));
}

void Popup_Flat(benchmark::State &state)
{
    RenderPopup(state, true);
}

void Popup_Fusion(benchmark::State &state)
{
    RenderPopup(state, false);
}

void Dialog_Flat(benchmark::State &state)
{
    auto dialog = MakeDialog();
    TFlatMenu flat(dialog.get());
    flat.ForceComponent(dialog.get());
    Render(state, *dialog, dialog->size());
}

void Dialog_Fusion(benchmark::State &state)
{
    auto dialog = MakeDialog();
    dialog->setStyle(Fusion());
    for (QWidget *child : dialog->findChildren<QWidget *>())
        child->setStyle(Fusion());
    Render(state, *dialog, dialog->size());
}

// Paint events of a taken-over spin box while the mouse moves 100 times inside
// the upper half of its buttons (well inside its up button, where the spin box
// itself has no reason to repaint either).
int UpDownPaints()
{
    QDialog dialog;
    auto *spin = new QSpinBox(&dialog);
    spin->setGeometry(10, 10, 80, 24);
    TFlatMenu flat(&dialog);
    flat.Loaded();
    dialog.show();
    QApplication::processEvents();
    const QRect upper = TControlSubClass::UpDownButtonsRect(*spin);
    struct TCounter : QObject {
        int Paints = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            Paints += event->type() == QEvent::Paint;
            return false;
        }
    } counter;
    // The platform turns cursor moves into the events a user's mouse causes.
    const auto move = [&](QPoint p) {
        QCursor::setPos(spin->mapToGlobal(p));
        QApplication::processEvents();
    };
    // Entering paints the hot half; that paint may come a turn later.
    move(upper.topLeft() + QPoint(2, 2));
    QApplication::processEvents();
    spin->installEventFilter(&counter);
    for (int i = 0; i < 100; ++i)
        move(upper.topLeft() + QPoint(2 + i % 8, 2 + i % std::max(1, upper.height() / 4)));
    spin->removeEventFilter(&counter);
    return counter.Paints;
}

} // namespace

BENCHMARK(Popup_Flat);
BENCHMARK(Popup_Fusion);
BENCHMARK(Dialog_Flat);
BENCHMARK(Dialog_Fusion);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "1");
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    return bench::runWithFigures(argc, argv,
        { { "flat_popup_vs_fusion", "Popup_Flat", "Popup_Fusion", "<=", 2.0 },
            { "flat_dialog_vs_fusion", "Dialog_Flat", "Dialog_Fusion", "<=", 2.0 },
            { "updown_paints_per_100_moves", "UpDownPaints", "", "<=", 0 } },
        [](bench::FigureReporter &reporter) { reporter.Record("UpDownPaints", UpDownPaints()); });
}
