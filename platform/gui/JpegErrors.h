#pragma once

// clang-format off
#include <cstdio> // jpeglib.h needs FILE declared first
#include <jpeglib.h>
// clang-format on

#include <QString>
#include <csetjmp>

// libjpeg reports an error through a callback that must not return. Ours keeps the
// message and jumps back to the call that failed, so a broken file or a full disk
// becomes an error for the caller instead of the end of the process. Warnings are
// counted, never printed.
struct TJpegErrors {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    int warnings;
    bool truncated; // the data ended before the image did
};

// Sets up `errors`; the result goes into the libjpeg object's `err` before it is created.
jpeg_error_mgr *InstallJpegErrors(TJpegErrors &errors);
QString JpegErrorText(const TJpegErrors &errors);
// Ends the current libjpeg call with an error of our own.
[[noreturn]] void JpegFail(j_common_ptr object, const char *message);

// Runs `call` (libjpeg calls and nothing with a destructor, since an error skips
// the rest of it) and returns false when libjpeg reported an error.
template <class Call> bool JpegCall(TJpegErrors &errors, Call &&call)
{
    if (setjmp(errors.jump))
        return false;
    call();
    return true;
}
