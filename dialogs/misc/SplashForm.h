#pragma once

#include <QFrame>
#include <QPointer>
#include <QTimer>

class QLabel;

// The start-up window, later the information box: the program's name and version
// in a frameless window on top of the others. Its timer hides it two seconds
// after start-up; a click hides it at once.
class TSplashForm : public QFrame {
    Q_OBJECT
public:
    explicit TSplashForm(QWidget *parent = nullptr);

    // Shows the window and paints it at once, before the event loop runs.
    void FormCreate();
    // Once the main window exists the form centres itself on it, else on the screen.
    void SetMainForm(QWidget *mainForm) { m_mainForm = mainForm; }
    // Starts the 2000 ms timer after start-up.
    void StartTimer() { m_timer.start(); }

    const QTimer &Timer() const { return m_timer; }
    QLabel *VersionLabel() const { return m_version; }
    QLabel *StatusLabel() const { return m_status; }
    QFrame *Shape(int index) const { return index == 0 ? m_shape1 : m_shape2; }

protected:
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void FormShow();
    void UpdateShape();
    void TimerTimer();

    QFrame *m_shape1;
    QFrame *m_shape2;
    QLabel *m_title;
    QLabel *m_version;
    QLabel *m_status;
    QTimer m_timer;
    QPointer<QWidget> m_mainForm;
};
