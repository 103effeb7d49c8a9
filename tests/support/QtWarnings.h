// Fails the running test on any warning Qt prints while an object of it lives:
// in normal use the program prints none, and each one has pointed at a fault
// (an editor committed to the wrong view, a layout set twice, a painter misused).
#pragma once

#include <QMutex>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <cstdio>
#include <gtest/gtest.h>

namespace testsupport {

class FailOnQtWarnings {
public:
    FailOnQtWarnings()
        : FPrevious(qInstallMessageHandler(&Handle))
    {
        QMutexLocker lock(&Mutex());
        Warnings().clear();
    }
    ~FailOnQtWarnings()
    {
        qInstallMessageHandler(FPrevious);
        QMutexLocker lock(&Mutex());
        for (const QString &warning : Warnings())
            ADD_FAILURE() << "Qt warning: " << warning.toStdString();
        Warnings().clear();
    }
    FailOnQtWarnings(const FailOnQtWarnings &) = delete;
    FailOnQtWarnings &operator=(const FailOnQtWarnings &) = delete;

private:
    static QMutex &Mutex()
    {
        static QMutex mutex;
        return mutex;
    }
    static QStringList &Warnings()
    {
        static QStringList warnings;
        return warnings;
    }
    static void Handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        // The headless platform's notes on what it cannot do are no faults.
        const bool platform = message.startsWith(QLatin1String("This plugin does not support"));
        if ((type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg) && !platform) {
            QMutexLocker lock(&Mutex());
            Warnings() << message;
        }
        // Still shown, as Qt would show it.
        fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }

    QtMessageHandler FPrevious;
};

} // namespace testsupport
