// The program as a second instance for tests: it starts like the program
// (headless, its identity from ZELTRANO_IDENTITY) and takes one command a line
// from stdin, answering each with "ok" (or "error ...") on stdout:
//
//   open PATH      opens a document
//   idle MS        runs the event loop (idle work, sharing) for MS milliseconds
//   rows           prints every task row as "ID|cell|cell|...", then "end"
//   save           saves the document under its name (Ctrl+S)
//   throw          a handler throws an exception on the next turn of the loop
//   caption NAME   the window's caption names NAME (empty: the bare prefix)
//   menu           opens the window menu and prints its entries ("n name", " *"
//                  after the checked one), then "end"
//   minimize       minimises the window
//   state          prints "minimized" or "normal"
//   quit           closes the window and ends
//
// Questions are answered as Escape would answer them and written to stderr.
//
//   mainform_peer soak DOCUMENT CONTROL_DIR SEED
//     plays a user at the window instead (tests/soak): random input until
//     CONTROL_DIR/finish appears, then the end of the soak (see UserSoak.h).
#include "app/program/Program.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/commands/DocumentCommands.h"
#include "document/program/MessageDialog.h"
#include "mainwindow/MainApplication.h"
#include "mainwindow/MainFormProbe.h"
#include "tests/app/mainform_peer/UserSoak.h"

#include <QAction>
#include <QEventLoop>
#include <QMenu>
#include <QTimer>
#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>

namespace {

class TNoticesToStderr final : public IMessageDialogs {
public:
    int MessageDlgPosHelp(
        const QString &Msg, TMsgDlgType, TMsgDlgButtons Buttons, int, int, int, const QString &) override
    {
        std::fprintf(stderr, "mainform_peer: %s\n", qPrintable(Msg));
        TMsgDlgBtn escape = mbCancel;
        return EscapeButtonOf(Buttons, escape) ? ModalResultOf(escape) : mrCancel;
    }
};

void RunFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void Answer(const QString &text)
{
    std::cout << text.toStdString() << std::endl;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "1");
    TMainApplication app(argc, argv);
    TNoticesToStderr notices;
    TProgram program(&notices);
    program.Start({});
    TMainForm &form = program.MainForm();

    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 5 && args[1] == QLatin1String("soak")) {
        usersoak::TUserSoak user(form, args[2], args[3] + QLatin1Char('/'), args[4].toUInt());
        return user.Run();
    }

    std::string line;
    while (std::getline(std::cin, line)) {
        const QString command = QString::fromStdString(line).trimmed();
        const QString argument = command.section(QLatin1Char(' '), 1);
        if (command.startsWith(QLatin1String("open "))) {
            Answer(form.Open(argument) ? QStringLiteral("ok") : QStringLiteral("error not opened"));
        } else if (command.startsWith(QLatin1String("idle "))) {
            RunFor(argument.toInt());
            Answer(QStringLiteral("ok"));
        } else if (command == QLatin1String("rows")) {
            const DocumentTable &rows = Probe(form).Doc().GetTable(tbTable);
            for (const TNodeData *row = rows.First(); row; row = rows.Next(row))
                Answer(row->ID + QLatin1Char('|') + row->StringList.join(QLatin1Char('|')));
            Answer(QStringLiteral("end"));
        } else if (command == QLatin1String("save")) {
            Answer(Probe(form).Commands().ActionSaveExecute() ? QStringLiteral("ok")
                                                              : QStringLiteral("error not saved"));
        } else if (command == QLatin1String("throw")) {
            QTimer::singleShot(0, &form, [] { throw std::runtime_error("a handler of the peer failed"); });
            RunFor(50);
            Answer(QStringLiteral("ok"));
        } else if (command.startsWith(QLatin1String("caption"))) {
            Probe(form).SetCaption(argument);
            Answer(QStringLiteral("ok"));
        } else if (command == QLatin1String("menu")) {
            Probe(form).Menus().Fenster1->popup(form.geometry().center());
            for (const QAction *entry : Probe(form).Menus().Fenster1->actions())
                Answer(entry->text() + (entry->isChecked() ? QStringLiteral(" *") : QString()));
            Probe(form).Menus().Fenster1->hide();
            Answer(QStringLiteral("end"));
        } else if (command == QLatin1String("minimize")) {
            form.showMinimized();
            RunFor(50);
            Answer(QStringLiteral("ok"));
        } else if (command == QLatin1String("state")) {
            Answer(form.isMinimized() ? QStringLiteral("minimized") : QStringLiteral("normal"));
            Answer(QStringLiteral("ok"));
        } else if (command == QLatin1String("quit")) {
            form.close();
            Answer(QStringLiteral("ok"));
            break;
        } else {
            Answer(QStringLiteral("error unknown command ") + command);
        }
    }
    return 0;
}
