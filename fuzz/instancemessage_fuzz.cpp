// Bytes another process sent over an instance socket, read frame by frame as
// the server and the asking side do. Nothing may read past the input, and every
// frame taken is exactly what the writer makes of what was read.
#include "platform/instances/InstanceMessages.h"

#include <cstdint>
#include <cstdlib>

using namespace platform::instances;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArrayView rest(reinterpret_cast<const char *>(data), qsizetype(size));
    while (!rest.isEmpty()) {
        TMessage message;
        qsizetype consumed = 0;
        if (ReadMessage(rest, message, consumed) != TReadResult::Complete)
            break;
        if (consumed < kHeaderSize || consumed > rest.size() || consumed > kMaxFrame)
            std::abort();
        const QByteArray again
            = message.type == TMessageType::Info ? WriteInfo(message.info) : WriteMessage(message.type);
        if (again != rest.first(consumed))
            std::abort();
        rest = rest.sliced(consumed);
    }
    return 0;
}
