#pragma once

#include <QApplication>
#include <QPointer>

// The program's application object. Every exception that reaches the event
// loop from a handler is written to the log as "Exception: " and its message
// and shown to nobody; the program goes on. A hint once shown is not shown
// anew while the mouse rests on its control.
class TMainApplication : public QApplication {
    Q_OBJECT

public:
    TMainApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // ApplicationEvents1Exception: logs the exception of a handler.
    static void ApplicationEvents1Exception(const QString &message);

private:
    // ApplicationEvents1ShowHint: true when the hint event must not show the hint
    // again (it is shown for this control already).
    bool ApplicationEvents1ShowHint(QObject *receiver, QEvent *event);

    QPointer<QObject> FHintControl;
};
