#include "mainwindow/MainApplication.h"

#include "document/program/Log.h"

#include <QEvent>
#include <QToolTip>
#include <exception>

TMainApplication::TMainApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{ }

void TMainApplication::ApplicationEvents1Exception(const QString &message)
{
    Log(QStringLiteral("Exception: ") + message);
}

bool TMainApplication::ApplicationEvents1ShowHint(QObject *receiver, QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return false;
    if (QToolTip::isVisible() && receiver == FHintControl)
        return true;
    FHintControl = receiver;
    return false;
}

bool TMainApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        if (ApplicationEvents1ShowHint(receiver, event))
            return true;
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        ApplicationEvents1Exception(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ApplicationEvents1Exception(QStringLiteral("unknown exception"));
    }
    return false;
}
