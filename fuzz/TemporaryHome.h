// Included by a fuzz target whose code logs problems or reads the program's
// settings: the target's initializer gives it a temporary data folder, so
// nothing reaches the user's.
#pragma once

#include <QTemporaryDir>
#include <QtGlobal>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    return 0;
}
