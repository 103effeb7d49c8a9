#include "mainwindow/WebAddresses.h"

#include <QtGlobal>

QString UpdateCheckURL()
{
    if (qEnvironmentVariableIsSet("ZELTRANO_UPDATE_URL"))
        return qEnvironmentVariable("ZELTRANO_UPDATE_URL");
    return QStringLiteral("https://zeltrano.org/version.html");
}

QString WebSiteURL()
{
    return QStringLiteral("https://zeltrano.org/");
}

QString DownloadPageURL()
{
    return QStringLiteral("https://zeltrano.org/download.html");
}

QString ContactMailAddress()
{
    return QStringLiteral("contact@zeltrano.org");
}
