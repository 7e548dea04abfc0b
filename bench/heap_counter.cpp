#include "heap_counter.h"

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>

namespace bench {
namespace {
std::atomic<bool> g_counting{false};
std::atomic<int64_t> g_bytes{0};
std::atomic<int64_t> g_allocations{0};

void* Allocate(std::size_t size) {
    void* p = std::malloc(size != 0 ? size : 1);
    if (p == nullptr) throw std::bad_alloc();
    if (g_counting.load(std::memory_order_relaxed)) {
        g_bytes.fetch_add(static_cast<int64_t>(malloc_usable_size(p)), std::memory_order_relaxed);
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    }
    return p;
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
    void* p = nullptr;
    const std::size_t align = std::max(static_cast<std::size_t>(alignment), sizeof(void*));
    if (posix_memalign(&p, align, size != 0 ? size : 1) != 0) throw std::bad_alloc();
    if (g_counting.load(std::memory_order_relaxed)) {
        g_bytes.fetch_add(static_cast<int64_t>(malloc_usable_size(p)), std::memory_order_relaxed);
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    }
    return p;
}

void Release(void* p) noexcept {
    if (p == nullptr) return;
    if (g_counting.load(std::memory_order_relaxed))
        g_bytes.fetch_sub(static_cast<int64_t>(malloc_usable_size(p)), std::memory_order_relaxed);
    std::free(p);
}
}  // namespace

HeapWindow::HeapWindow() {
    g_bytes.store(0);
    g_allocations.store(0);
    g_counting.store(true);
}

HeapWindow::~HeapWindow() {
    if (m_open) Close();
}

HeapCount HeapWindow::Close() {
    g_counting.store(false);
    m_open = false;
    return HeapCount{g_bytes.load(), g_allocations.load()};
}

}  // namespace bench

void* operator new(std::size_t size) { return bench::Allocate(size); }
void* operator new[](std::size_t size) { return bench::Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return bench::Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return bench::Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new(std::size_t size, std::align_val_t alignment) { return bench::AllocateAligned(size, alignment); }
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return bench::AllocateAligned(size, alignment);
}
void operator delete(void* p) noexcept { bench::Release(p); }
void operator delete[](void* p) noexcept { bench::Release(p); }
void operator delete(void* p, std::size_t) noexcept { bench::Release(p); }
void operator delete[](void* p, std::size_t) noexcept { bench::Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { bench::Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { bench::Release(p); }
void operator delete(void* p, std::align_val_t) noexcept { bench::Release(p); }
void operator delete[](void* p, std::align_val_t) noexcept { bench::Release(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { bench::Release(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { bench::Release(p); }
