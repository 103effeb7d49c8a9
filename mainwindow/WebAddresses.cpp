#include "mainwindow/WebAddresses.h"

#include <QtGlobal>

QString UpdateCheckURL()
{
    if (qEnvironmentVariableIsSet("ZELTRANO_UPDATE_URL"))
        return qEnvironmentVariable("ZELTRANO_UPDATE_URL");
    return QStringLiteral("https://zeltrano.org/version.html");
}
