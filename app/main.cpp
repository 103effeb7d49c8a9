#include "app/program/Program.h"
#include "mainwindow/MainApplication.h"

int main(int argc, char **argv)
{
    TMainApplication app(argc, argv);
    TProgram program;
    // The arguments Qt has not taken for itself.
    program.Start(QCoreApplication::arguments().mid(1));
    return program.Run();
}
