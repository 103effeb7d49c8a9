#pragma once

#include "platform/gui/Color.h"

#include <QTimer>
#include <QWidget>

// A small analog clock showing the current time; while running it repaints every
// six seconds. Its hint shows the time as text.
class TClock : public QWidget {
    Q_OBJECT
public:
    explicit TClock(QWidget *parent = nullptr);

    TColor ClockColor() const { return m_clockColor; }
    void SetClockColor(TColor color);
    TColor PointerColor() const { return m_pointerColor; }
    void SetPointerColor(TColor color);
    bool Running() const { return m_running; }
    void SetRunning(bool running);
    // Fractions of the radius.
    double HourPointerLength() const { return m_hourPointerLength; }
    void SetHourPointerLength(double length);
    double MinutePointerLength() const { return m_minutePointerLength; }
    void SetMinutePointerLength(double length);

    QSize sizeHint() const override;

    static constexpr int RepaintIntervalMs = 6000;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void Tick();
    void UpdateHint();

    QTimer m_timer { this };
    bool m_running = false;
    TColor m_clockColor = clWhite;
    TColor m_pointerColor = clBlack;
    double m_hourPointerLength = 0.6;
    double m_minutePointerLength = 0.8;
};
