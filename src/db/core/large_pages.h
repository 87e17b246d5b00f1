#pragma once

#include <cstddef>
#include <new>

// Fresh memory costs a page fault per 4 KiB page at its first touch. For a
// buffer of many megabytes (a statement's text, an account's digest) this
// advises the system to back its whole 2 MiB pages with large pages, a
// fault per 2 MiB, where it offers them; elsewhere nothing changes.
void adviseLargePages(void* data, std::size_t bytes);

// Memory for a buffer of many megabytes that is about to be filled: on
// Linux mapped on 2 MiB boundaries, backed by large pages where the system
// offers them and laid in at once (one call instead of a fault per page,
// which on a virtual machine costs as much as writing the page ten times).
// Buffers under 256 KiB and other systems get the usual heap memory.
void* allocateLarge(std::size_t bytes);
void freeLarge(void* data, std::size_t bytes) noexcept;

// The allocator of std::vector for such buffers.
template <typename T>
struct LargePageAllocator {
    using value_type = T;
    LargePageAllocator() noexcept = default;
    template <typename U>
    LargePageAllocator(const LargePageAllocator<U>&) noexcept
    {
    }
    T* allocate(std::size_t n)
    {
        if (n > std::size_t(-1) / sizeof(T))
            throw std::bad_array_new_length();
        return static_cast<T*>(allocateLarge(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept { freeLarge(p, n * sizeof(T)); }
    template <typename U>
    bool operator==(const LargePageAllocator<U>&) const noexcept
    {
        return true;
    }
};

#include <vector>

template <typename T>
using LargeVector = std::vector<T, LargePageAllocator<T>>;
