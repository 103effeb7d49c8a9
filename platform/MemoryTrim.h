// Handing freed memory back to the system after a large tree was freed.
#pragma once

#include <cstddef>

namespace platform {

// A freed document tree's many small blocks would otherwise stay resident (a
// large document's are several times its file). Does nothing where the
// allocator is not the C library's (under the address sanitizer, trimming its
// arenas from a thread has crashed).
void returnFreedMemory();

// Gives the memory of the whole pages within [begin, begin + length) back to
// the system while the block stays allocated: they read as zeros afterwards.
// For a large buffer whose front is done with while its end is still read.
// Returns how many bytes from begin are given back or lie before the first
// whole page (0 when none is whole), so that the next call can start there.
std::size_t discardWholePages(void *begin, std::size_t length);

} // namespace platform
