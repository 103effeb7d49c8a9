#pragma once

#include <source_location>

// Checks of which thread calls, for state that only one thread may touch. They
// are assertions: on in Debug builds (the test and thread-checked builds among
// them), doing nothing in a release build.

// The calling thread is the one the application object lives in. Without an
// application object there is no second thread of ours yet: every thread counts.
bool IsMainThread();

// Stops the program, naming `where`, when `holds` is false.
void AssertThread(bool holds, const char *what, std::source_location where = std::source_location::current());
// Stops the program when the caller is not on the main thread.
void AssertMainThread(std::source_location where = std::source_location::current());
