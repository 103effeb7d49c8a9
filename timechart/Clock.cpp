#include "timechart/Clock.h"

#include "document/calendar/DateTime.h"
#include "timechart/ChartShapes.h"

#include <QPainter>
#include <QToolTip>

TClock::TClock(QWidget *parent)
    : QWidget(parent)
{
    resize(sizeHint());
    m_timer.setInterval(RepaintIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &TClock::Tick);
    UpdateHint();
}

QSize TClock::sizeHint() const
{
    return { 25, 25 };
}

void TClock::SetClockColor(TColor color)
{
    if (color == m_clockColor)
        return;
    m_clockColor = color;
    update();
}

void TClock::SetPointerColor(TColor color)
{
    if (color == m_pointerColor)
        return;
    m_pointerColor = color;
    update();
}

void TClock::SetHourPointerLength(double length)
{
    m_hourPointerLength = length;
    update();
}

void TClock::SetMinutePointerLength(double length)
{
    m_minutePointerLength = length;
    update();
}

void TClock::SetRunning(bool running)
{
    m_running = running;
    if (running && isVisible())
        m_timer.start();
    else if (!running)
        m_timer.stop();
}

void TClock::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    DrawClock(painter, Rect(0, 0, width(), height()), Now(), m_clockColor, m_pointerColor,
        m_hourPointerLength, m_minutePointerLength);
    UpdateHint();
}

// The timer runs only while the clock can be seen.
void TClock::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_running)
        m_timer.start();
}

void TClock::hideEvent(QHideEvent *event)
{
    m_timer.stop();
    QWidget::hideEvent(event);
}

void TClock::Tick()
{
    update();
    // A hint still showing the old time would contradict the face.
    QToolTip::hideText();
}

void TClock::UpdateHint()
{
    setToolTip(FormatDateTimePattern(FormatSettings().ShortTimeFormat, Now()));
}
