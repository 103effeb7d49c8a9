#include "document/program/ThreadCheck.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QThread>

bool IsMainThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

void AssertThread(bool holds, const char *what, std::source_location where)
{
#ifdef QT_NO_DEBUG
    Q_UNUSED(holds);
    Q_UNUSED(what);
    Q_UNUSED(where);
#else
    if (holds)
        return;
    const QByteArray place = QByteArray(where.function_name()) + " (" + where.file_name() + ':'
        + QByteArray::number(where.line()) + ')';
    qFatal("%s: %s", place.constData(), what);
#endif
}

void AssertMainThread(std::source_location where)
{
#ifndef QT_NO_DEBUG
    AssertThread(IsMainThread(), "called off the main thread", where);
#else
    Q_UNUSED(where);
#endif
}
