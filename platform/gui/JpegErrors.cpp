#include "platform/gui/JpegErrors.h"

#include <cstring>
#include <jerror.h>

namespace {

TJpegErrors &ErrorsOf(j_common_ptr object)
{
    // pub is the first member: libjpeg hands back the pointer it was given.
    return *reinterpret_cast<TJpegErrors *>(object->err);
}

[[noreturn]] void ErrorExit(j_common_ptr object)
{
    TJpegErrors &errors = ErrorsOf(object);
    errors.pub.format_message(object, errors.message);
    std::longjmp(errors.jump, 1);
}

void EmitMessage(j_common_ptr object, int level)
{
    if (level >= 0)
        return; // trace output
    TJpegErrors &errors = ErrorsOf(object);
    ++errors.warnings;
    if (errors.pub.msg_code == JWRN_JPEG_EOF)
        errors.truncated = true;
}

void OutputMessage(j_common_ptr) { }

} // namespace

void JpegFail(j_common_ptr object, const char *message)
{
    TJpegErrors &errors = ErrorsOf(object);
    std::snprintf(errors.message, sizeof errors.message, "%s", message);
    std::longjmp(errors.jump, 1);
}

jpeg_error_mgr *InstallJpegErrors(TJpegErrors &errors)
{
    jpeg_std_error(&errors.pub);
    errors.pub.error_exit = ErrorExit;
    errors.pub.emit_message = EmitMessage;
    errors.pub.output_message = OutputMessage;
    errors.message[0] = '\0';
    errors.warnings = 0;
    errors.truncated = false;
    return &errors.pub;
}

QString JpegErrorText(const TJpegErrors &errors)
{
    return QString::fromLocal8Bit(errors.message, qsizetype(strnlen(errors.message, sizeof errors.message)));
}
