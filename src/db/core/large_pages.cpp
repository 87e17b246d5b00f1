#include "db/core/large_pages.h"

#include <QtGlobal>

#include <cstdint>

#if defined(Q_OS_LINUX)
#include <sys/mman.h>
#endif

void adviseLargePages(void* data, std::size_t bytes)
{
#if defined(Q_OS_LINUX) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kLarge = 2 * 1024 * 1024;
    if (!data)
        return;
    // Only the whole large pages inside the buffer.
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + kLarge - 1) & ~(kLarge - 1);
    const std::uintptr_t last = (begin + bytes) & ~(kLarge - 1);
    if (last > first)
        madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    Q_UNUSED(data);
    Q_UNUSED(bytes);
#endif
}
