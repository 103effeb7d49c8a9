#include "document/program/ThreadCheck.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QThread>

bool IsMainThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

void AssertThread(bool holds, const char *what, const char *function, const char *file, int line)
{
    AssertThread(holds, what, TCallSite { function, file, line });
}

void AssertThread(bool holds, const char *what, const TCallSite &where)
{
#ifdef QT_NO_DEBUG
    Q_UNUSED(holds);
    Q_UNUSED(what);
    Q_UNUSED(where);
#else
    if (holds)
        return;
    const QByteArray place
        = QByteArray(where.function) + " (" + where.file + ':' + QByteArray::number(where.line) + ')';
    qFatal("%s: %s", place.constData(), what);
#endif
}

void AssertMainThread(const char *function, const char *file, int line)
{
#ifndef QT_NO_DEBUG
    AssertThread(IsMainThread(), "called off the main thread", TCallSite { function, file, line });
#else
    Q_UNUSED(function);
    Q_UNUSED(file);
    Q_UNUSED(line);
#endif
}
