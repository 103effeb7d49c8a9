#include "platform/MemoryTrim.h"

// Any C library header defines __GLIBC__ on glibc; without one the test below
// is always false and nothing is ever trimmed.
#include <cstdlib>

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
#define ZELTRANO_TRIM_FREED_MEMORY 1
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#undef ZELTRANO_TRIM_FREED_MEMORY
#endif
#endif
#endif
#ifdef ZELTRANO_TRIM_FREED_MEMORY
#include <malloc.h>
#endif
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

namespace platform {

void returnFreedMemory()
{
#ifdef ZELTRANO_TRIM_FREED_MEMORY
    malloc_trim(0);
#endif
}

std::size_t discardWholePages(void *begin, std::size_t length)
{
    static const std::uintptr_t page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const auto from = reinterpret_cast<std::uintptr_t>(begin);
    const std::uintptr_t first = (from + page - 1) / page * page;
    const std::uintptr_t end = (from + length) / page * page;
    if (end <= first)
        return 0;
    // Private anonymous memory reads as zeros once discarded; a failure only
    // leaves the pages resident.
    (void)madvise(reinterpret_cast<void *>(first), end - first, MADV_DONTNEED);
    return std::size_t(end - from);
}

} // namespace platform
