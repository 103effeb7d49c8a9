#pragma once

// Checks of which thread calls, for state that only one thread may touch. They
// are assertions: on in Debug builds (the test and thread-checked builds among
// them), doing nothing in a release build.

// The calling thread is the one the application object lives in. Without an
// application object there is no second thread of ours yet: every thread counts.
bool IsMainThread();

// Where a check was made: the caller's function, file and line (the compilers'
// builtins, which every compiler we build with has, unlike <source_location>).
struct TCallSite {
    const char *function;
    const char *file;
    int line;
};
#define ZELTRANO_CALL_SITE_DEFAULTS                                                                          \
    const char *function = __builtin_FUNCTION(), const char *file = __builtin_FILE(),                        \
               int line = __builtin_LINE()

// Stops the program, naming where it was called, when `holds` is false.
void AssertThread(bool holds, const char *what, ZELTRANO_CALL_SITE_DEFAULTS);
void AssertThread(bool holds, const char *what, const TCallSite &where);
// Stops the program when the caller is not on the main thread.
void AssertMainThread(ZELTRANO_CALL_SITE_DEFAULTS);
