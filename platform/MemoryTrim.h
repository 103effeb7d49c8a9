// Handing freed memory back to the system after a large tree was freed.
#pragma once

namespace platform {

// A freed document tree's many small blocks would otherwise stay resident (a
// large document's are several times its file). Does nothing where the
// allocator is not the C library's (under the address sanitizer, trimming its
// arenas from a thread has crashed).
void returnFreedMemory();

} // namespace platform
