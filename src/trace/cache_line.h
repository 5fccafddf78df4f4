#pragma once

// Memory that one render thread writes while the others read the scene: kept
// in cache lines of its own. A thread's write to a line takes it from the
// other threads' caches, so a write-heavy buffer that happened to share its
// first or last line with the tracing index or the scene (as the heap's
// layout decides) would make every other thread miss on what it reads most.

#include <cstddef>
#include <new>

constexpr std::size_t kCacheLine = 64;

// std::allocator's interface: blocks that start on a cache line and fill
// their last one.
template <class T>
struct CacheLineAllocator {
    using value_type = T;

    CacheLineAllocator() = default;
    template <class U>
    explicit CacheLineAllocator(const CacheLineAllocator<U>&) {}

    T* allocate(std::size_t n) {
        if (n > (static_cast<std::size_t>(-1) - kCacheLine) / sizeof(T)) {
            throw std::bad_array_new_length();
        }
        const std::size_t bytes = (n * sizeof(T) + kCacheLine - 1) / kCacheLine * kCacheLine;
        return static_cast<T*>(::operator new(bytes, std::align_val_t(kCacheLine)));
    }
    void deallocate(T* p, std::size_t) { ::operator delete(p, std::align_val_t(kCacheLine)); }
};

template <class T, class U>
bool operator==(const CacheLineAllocator<T>&, const CacheLineAllocator<U>&) {
    return true;
}
template <class T, class U>
bool operator!=(const CacheLineAllocator<T>&, const CacheLineAllocator<U>&) {
    return false;
}
