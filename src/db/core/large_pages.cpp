#include "db/core/large_pages.h"

#include <QtGlobal>

#include <cstdint>
#include <new>

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

namespace {

#if defined(Q_OS_LINUX) && defined(MADV_HUGEPAGE)
constexpr std::size_t kLargePage = 2 * 1024 * 1024;
constexpr std::size_t kPage = 4096;
// Buffers from a quarter of a megabyte on are mapped and laid in at once
// too: a column of half a million cells (just under 2 MiB) took a fault per
// page as it filled.
constexpr std::size_t kMappedFrom = 256 * 1024;

// The length mapped for a buffer: whole small pages (the large pages are
// those whole 2 MiB inside; the rest of the buffer's length takes small
// ones, so that a buffer of 2.1 MiB does not hold 4).
std::size_t mappedLength(std::size_t bytes) { return (bytes + kPage - 1) & ~(kPage - 1); }

void* mapLarge(std::size_t length)
{
    // Mapped one large page more, then trimmed to a 2 MiB boundary.
    void* mapped = mmap(nullptr, length + kLargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw std::bad_alloc();
    const auto begin = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (begin + kLargePage - 1) & ~(kLargePage - 1);
    if (aligned > begin)
        munmap(mapped, aligned - begin);
    const std::uintptr_t end = begin + length + kLargePage;
    if (end > aligned + length)
        munmap(reinterpret_cast<void*>(aligned + length), end - aligned - length);
    void* data = reinterpret_cast<void*>(aligned);
    madvise(data, length, MADV_HUGEPAGE);
#if defined(MADV_POPULATE_WRITE)
    madvise(data, length, MADV_POPULATE_WRITE); // an older kernel refuses it: pages fault in as usual
#endif
    return data;
}
#endif

} // namespace

void* allocateLarge(std::size_t bytes)
{
#if defined(Q_OS_LINUX) && defined(MADV_HUGEPAGE)
    if (bytes >= kMappedFrom)
        return mapLarge(mappedLength(bytes));
#endif
    return ::operator new(bytes);
}

void freeLarge(void* data, std::size_t bytes) noexcept
{
    if (!data)
        return;
#if defined(Q_OS_LINUX) && defined(MADV_HUGEPAGE)
    if (bytes >= kMappedFrom) {
        munmap(data, mappedLength(bytes));
        return;
    }
#endif
    ::operator delete(data);
}
