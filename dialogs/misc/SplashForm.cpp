#include "dialogs/misc/SplashForm.h"

#include "dialogs/misc/DialogParts.h"
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
    , m_shape1(::Shape(this, "Shape1", TitleShapeColor))
    , m_shape2(::Shape(this, "Shape2", VersionShapeColor))
    , m_title(NamedLabel(this, "Label1", "Zeltrano"))
    , m_version(NamedLabel(this, "Label2"))
    , m_status(NamedLabel(this, "LabelStatus", "KEZ wird initialisiert..."))
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
    m_title->setFont(titleFont);
    palette = m_title->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    m_title->setPalette(palette);
    m_title->move(Left, 40);
    m_title->adjustSize();
    m_shape1->setGeometry(Left - 2, 34, 0, m_title->height() + 12);
    m_version->move(Left, 104);
    m_shape2->move(Left - 2, 103);
    m_status->move(Left, 170);
    m_status->adjustSize();
    m_shape1->lower();
    m_shape2->lower();

    m_timer.setInterval(2000);
    connect(&m_timer, &QTimer::timeout, this, &TSplashForm::TimerTimer);
    UpdateShape();
}

void TSplashForm::FormCreate()
{
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
    const QRect area = m_mainForm ? m_mainForm->frameGeometry()
        : screen                  ? screen->availableGeometry()
                                  : QRect();
    if (area.isValid())
        move(area.center() - rect().center());
}

void TSplashForm::UpdateShape()
{
    m_version->setText(Translate(QStringLiteral("Version %s"), { GetFileVersion() }));
    m_version->adjustSize();
    m_title->adjustSize();
    m_shape1->resize(m_title->width() + 5, m_shape1->height());
    m_shape2->resize(m_version->width() + 5, m_version->height() + 1);
}

void TSplashForm::TimerTimer()
{
    m_timer.stop();
    // Shown again later it is the information box: start-up is over.
    m_status->clear();
    hide();
}

void TSplashForm::mousePressEvent(QMouseEvent *event)
{
    hide();
    QFrame::mousePressEvent(event);
}
