// This program's own operator new and delete, counting the bytes held and
// their peak. Include in one file per program.
#pragma once

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> g_Allocated{0};
std::atomic<std::size_t> g_Peak{0};
constexpr std::size_t HeaderSize = alignof(std::max_align_t);

void* Allocate(std::size_t size, bool nothrow = false)
{
    void* block = std::malloc(size + HeaderSize);
    if (!block && nothrow)
        return nullptr;
    if (!block)
        throw std::bad_alloc();
    *static_cast<std::size_t*>(block) = size;
    const std::size_t now = g_Allocated += size;
    for (std::size_t peak = g_Peak; now > peak && !g_Peak.compare_exchange_weak(peak, now);) {
    }
    return static_cast<char*>(block) + HeaderSize;
}

void Release(void* p) noexcept
{
    if (!p)
        return;
    void* block = static_cast<char*>(p) - HeaderSize;
    g_Allocated -= *static_cast<std::size_t*>(block);
    std::free(block);
}

} // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size, true); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size, true); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }
