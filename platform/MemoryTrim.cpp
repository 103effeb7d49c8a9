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

namespace platform {

void returnFreedMemory()
{
#ifdef ZELTRANO_TRIM_FREED_MEMORY
    malloc_trim(0);
#endif
}

} // namespace platform
