// What the workbook tests share: scripts under the system's python3, whose
// openpyxl and xlwt (installed by the setup script) write the workbooks we read
// and check the ones we write; date forms whose texts are plain day numbers.
#pragma once

#include "platform/workbook/CellText.h"
#include "tests/support/QtPrinters.h"

#include <QJsonDocument>
#include <QProcess>
#include <QStringList>
#include <QTemporaryFile>
#include <gtest/gtest.h>

namespace workbooktest {

// The script's standard output; a failing script fails the test.
inline QByteArray runPython(const QByteArray &script, const QStringList &arguments)
{
    QTemporaryFile file(QStringLiteral("workbook-test-XXXXXX.py"));
    if (!file.open() || file.write(script) != script.size() || !file.flush()) {
        ADD_FAILURE() << "cannot write the script";
        return {};
    }
    QProcess python;
    python.start(QStringLiteral(ZELTRANO_SYSTEM_PYTHON), QStringList { file.fileName() } + arguments);
    if (!python.waitForFinished(300000) || python.exitStatus() != QProcess::NormalExit
        || python.exitCode() != 0) {
        ADD_FAILURE() << "python failed: " << python.readAllStandardError().toStdString();
        return {};
    }
    return python.readAllStandardOutput();
}

inline QJsonDocument runPythonJson(const QByteArray &script, const QStringList &arguments)
{
    return QJsonDocument::fromJson(runPython(script, arguments));
}

// Dates come back as "<parts> <days since 30.12.1899>", so that the expected
// values are plain day numbers (2024-03-15 is day 45366, 12:30 is 0.520833).
inline platform::workbook::CellForms testForms(QChar decimalSeparator = QLatin1Char('.'))
{
    using platform::workbook::DateParts;
    platform::workbook::CellForms forms;
    forms.decimalSeparator = decimalSeparator;
    forms.dateText = [](double value, DateParts parts) {
        const char *kind = parts == DateParts::Date ? "D" : parts == DateParts::Time ? "T" : "DT";
        return QStringLiteral("%1 %2").arg(QLatin1String(kind)).arg(value, 0, 'f', 6);
    };
    return forms;
}

} // namespace workbooktest
