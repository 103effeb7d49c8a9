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
    void SetMainForm(QWidget *mainForm) { FMainForm = mainForm; }
    // Starts the 2000 ms timer after start-up.
    void StartTimer() { FTimer.start(); }

    const QTimer &Timer() const { return FTimer; }
    QLabel *VersionLabel() const { return FVersion; }
    QLabel *StatusLabel() const { return FStatus; }
    QFrame *Shape(int index) const { return index == 0 ? FShape1 : FShape2; }

protected:
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void FormShow();
    void UpdateShape();
    void TimerTimer();

    QFrame *FShape1;
    QFrame *FShape2;
    QLabel *FTitle;
    QLabel *FVersion;
    QLabel *FStatus;
    QTimer FTimer;
    QPointer<QWidget> FMainForm;
};
