#include "db/core/large_pages.h"

#include <QtGlobal>

#include <cstdint>
#include <iterator>
#include <map>
#include <mutex>
#include <new>
#include <unordered_map>
#include <utility>
#include <vector>

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

constexpr std::size_t kLargePage = 2 * 1024 * 1024;

#if defined(Q_OS_LINUX) && defined(MADV_HUGEPAGE)
// Large buffers given back are kept for the next ones (an account read
// again after a change, another account): memory already laid in costs
// nothing to fill again, while fresh memory costs a clearing of every page
// and, on a virtual machine, often the host's own fault. At most kKept bytes
// wait; the largest go back to the system first.
constexpr std::size_t kKept = std::size_t(512) * 1024 * 1024;

struct Pool {
    std::mutex mutex;
    std::multimap<std::size_t, void*> idle;      // length -> block
    std::unordered_map<void*, std::size_t> lent; // block -> length
    std::size_t idleBytes = 0;
};

Pool& pool()
{
    static Pool* p = new Pool; // lives until the process ends: buffers may be freed during static destruction
    return *p;
}

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
    if (bytes >= kLargePage) {
        const std::size_t length = (bytes + kLargePage - 1) & ~(kLargePage - 1);
        Pool& p = pool();
        {
            const std::lock_guard lock(p.mutex);
            // A kept block of at most twice the length.
            const auto it = p.idle.lower_bound(length);
            if (it != p.idle.end() && it->first / 2 <= length) {
                void* data = it->second;
                p.lent.emplace(data, it->first);
                p.idleBytes -= it->first;
                p.idle.erase(it);
                return data;
            }
        }
        void* data = mapLarge(length);
        const std::lock_guard lock(p.mutex);
        p.lent.emplace(data, length);
        return data;
    }
#endif
    return ::operator new(bytes);
}

void freeLarge(void* data, std::size_t bytes) noexcept
{
    if (!data)
        return;
#if defined(Q_OS_LINUX) && defined(MADV_HUGEPAGE)
    if (bytes >= kLargePage) {
        Pool& p = pool();
        std::vector<std::pair<void*, std::size_t>> unmap;
        try {
            const std::lock_guard lock(p.mutex);
            const auto it = p.lent.find(data);
            const std::size_t length = it != p.lent.end() ? it->second : (bytes + kLargePage - 1) & ~(kLargePage - 1);
            if (it != p.lent.end())
                p.lent.erase(it);
            unmap.reserve(4);
            p.idle.emplace(length, data);
            p.idleBytes += length;
            while (p.idleBytes > kKept) {
                const auto largest = std::prev(p.idle.end());
                unmap.emplace_back(largest->second, largest->first);
                p.idleBytes -= largest->first;
                p.idle.erase(largest);
            }
        } catch (const std::bad_alloc&) {
            munmap(data, (bytes + kLargePage - 1) & ~(kLargePage - 1)); // no room to keep it
            return;
        }
        for (const auto& [block, length] : unmap)
            munmap(block, length);
        return;
    }
#endif
    ::operator delete(data);
}
