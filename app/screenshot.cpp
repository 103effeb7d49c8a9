// Opens a document the way the program does, headless, lets the idle work
// run, and saves the main window as a PNG:
//
//   zeltrano_screenshot DOCUMENT OUT.png [WIDTHxHEIGHT]
//
// Questions and notices are written to stderr and answered as Escape would
// answer them. Exit code 0 when the picture was written; 1 for bad arguments,
// 2 when the document could not be opened, 3 when the picture could not be
// written.
#include "app/program/Program.h"
#include "document/commands/DocumentCommands.h"
#include "document/program/MessageDialog.h"
#include "mainwindow/MainApplication.h"
#include "mainwindow/MainForm.h"
#include "platform/PathNames.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QFont>
#include <QRegularExpression>
#include <QTimer>
#include <cstdio>

namespace {

class TNoticesToStderr final : public IMessageDialogs {
public:
    int MessageDlgPosHelp(
        const QString &Msg, TMsgDlgType, TMsgDlgButtons Buttons, int, int, int, const QString &) override
    {
        std::fprintf(stderr, "zeltrano_screenshot: %s\n",
            qPrintable(QString(Msg).replace(QLatin1Char('\r'), QLatin1Char(' '))));
        TMsgDlgBtn escape = mbCancel;
        return EscapeButtonOf(Buttons, escape) ? ModalResultOf(escape) : mrCancel;
    }
};

int Fail(int code, const QString &text)
{
    std::fprintf(stderr, "zeltrano_screenshot: %s\n", qPrintable(text));
    return code;
}

// Runs the event loop (idle ticks, timers, animations) for `ms` milliseconds.
void RunFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char **argv)
{
    // Headless and at 96 dpi with the pinned font, so a picture does not depend
    // on the machine it is made on.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "1");
    TMainApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 2 || args.size() > 3)
        return Fail(1, QStringLiteral("usage: zeltrano_screenshot DOCUMENT OUT.png [WIDTHxHEIGHT]"));
    QSize size(1280, 800);
    if (args.size() == 3) {
        const QRegularExpressionMatch match
            = QRegularExpression(QStringLiteral("^(\\d{3,4})x(\\d{3,4})$")).match(args[2]);
        if (!match.hasMatch())
            return Fail(1, QStringLiteral("the size must look like 1280x800, not %1").arg(args[2]));
        size = QSize(match.captured(1).toInt(), match.captured(2).toInt());
    }
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 9));

    TNoticesToStderr notices;
    TProgram program(&notices);
    program.Start({ args[0] });
    TMainForm &window = program.MainForm();
    if (window.FileName().isEmpty() || !platform::samePath(window.FileName(), args[0]))
        return Fail(2, QStringLiteral("%1 could not be opened").arg(args[0]));
    window.resize(size);
    // The pointer rests outside the window: nothing in the picture is hovered.
    QCursor::setPos(window.geometry().bottomRight() + QPoint(100, 100));
    // The splash window has gone and the chart has settled on its view.
    RunFor(2500);
    if (!window.grab().save(args[1], "PNG"))
        return Fail(3, QStringLiteral("%1 could not be written").arg(args[1]));
    return 0;
}
