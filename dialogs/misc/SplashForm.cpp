#include "dialogs/misc/SplashForm.h"

#include "dialogs/misc/DialogParts.h"
#include "document/gui/WindowTranslation.h"
#include "document/program/Translation.h"
#include "document/program/Utils.h"
#include "platform/gui/Color.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QScreen>

namespace {

constexpr TColor TitleShapeColor = 0x804000;
constexpr TColor VersionShapeColor = 0xE0E0E0;
constexpr int Left = 24;

QFrame *Shape(QWidget *parent, const char *name, TColor color)
{
    auto *shape = new QFrame(parent);
    shape->setObjectName(QString::fromLatin1(name));
    shape->setAutoFillBackground(true);
    QPalette palette = shape->palette();
    palette.setColor(QPalette::Window, ToQColor(color));
    shape->setPalette(palette);
    return shape;
}

} // namespace

TSplashForm::TSplashForm(QWidget *parent)
    : QFrame(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , FShape1(::Shape(this, "Shape1", TitleShapeColor))
    , FShape2(::Shape(this, "Shape2", VersionShapeColor))
    , FTitle(NamedLabel(this, "Label1", "Zeltrano"))
    , FVersion(NamedLabel(this, "Label2"))
    , FStatus(NamedLabel(this, "LabelStatus"))
{
    setObjectName(QStringLiteral("SplashForm"));
    setWindowTitle(QStringLiteral("Information"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setFrameStyle(QFrame::Box | QFrame::Plain); // an edge against white windows behind
    setFixedSize(360, 200);

    QFont titleFont = font();
    titleFont.setPixelSize(32);
    titleFont.setBold(true);
    FTitle->setFont(titleFont);
    palette = FTitle->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    FTitle->setPalette(palette);
    FTitle->move(Left, 40);
    FTitle->adjustSize();
    FShape1->setGeometry(Left - 2, 34, 0, FTitle->height() + 12);
    FVersion->move(Left, 104);
    FShape2->move(Left - 2, 103);
    FStatus->move(Left, 170);
    FStatus->adjustSize();
    FShape1->lower();
    FShape2->lower();

    FTimer.setInterval(2000);
    connect(&FTimer, &QTimer::timeout, this, &TSplashForm::TimerTimer);
    UpdateShape();
}

void TSplashForm::FormCreate()
{
    // Only the start-up window tells of the start-up; the information box made
    // later leaves the line empty. It speaks the language already read.
    FStatus->setText(QStringLiteral("KEZ wird initialisiert..."));
    FStatus->adjustSize();
    ::Translate(this);
    show();
    repaint();
}

void TSplashForm::showEvent(QShowEvent *event)
{
    FormShow();
    QFrame::showEvent(event);
}

void TSplashForm::FormShow()
{
    UpdateShape();
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect area = FMainForm ? FMainForm->frameGeometry()
        : screen                 ? screen->availableGeometry()
                                 : QRect();
    if (area.isValid())
        move(area.center() - rect().center());
}

void TSplashForm::UpdateShape()
{
    FVersion->setText(Translate(QStringLiteral("Version %s"), { GetFileVersion() }));
    FVersion->adjustSize();
    FTitle->adjustSize();
    FShape1->resize(FTitle->width() + 5, FShape1->height());
    FShape2->resize(FVersion->width() + 5, FVersion->height() + 1);
}

void TSplashForm::TimerTimer()
{
    FTimer.stop();
    // Shown again later it is the information box: start-up is over.
    FStatus->clear();
    hide();
}

void TSplashForm::mousePressEvent(QMouseEvent *event)
{
    hide();
    QFrame::mousePressEvent(event);
}
