// Runs scripts under the system's python3, whose openpyxl and xlwt (installed by
// the setup script) write the workbooks we read and check the ones we write.
#pragma once

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

} // namespace workbooktest

// Test failures show texts readably (long ones shortened).
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << (text.size() > 80 ? text.left(40) + "..." + text.right(20) : text).toStdString() << "\" ("
        << text.size() << " units)";
}
