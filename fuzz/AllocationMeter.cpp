#include "AllocationMeter.h"

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {

std::atomic<std::size_t> Live{0};
std::atomic<std::size_t> Peak{0};

void Count(void* P) {
    const std::size_t Size = malloc_usable_size(P);
    const std::size_t Now = Live.fetch_add(Size, std::memory_order_relaxed) + Size;
    std::size_t Seen = Peak.load(std::memory_order_relaxed);
    while (Now > Seen && !Peak.compare_exchange_weak(Seen, Now, std::memory_order_relaxed)) {
    }
}

void* Allocate(std::size_t Size, std::size_t Alignment, bool Throw) {
    if (Size == 0)
        Size = 1;
    void* P = Alignment <= alignof(std::max_align_t)
                  ? std::malloc(Size)
                  : std::aligned_alloc(Alignment, (Size + Alignment - 1) / Alignment * Alignment);
    if (!P) {
        if (Throw)
            throw std::bad_alloc();
        return nullptr;
    }
    Count(P);
    return P;
}

void Release(void* P) noexcept {
    if (!P)
        return;
    Live.fetch_sub(malloc_usable_size(P), std::memory_order_relaxed);
    std::free(P);
}

} // namespace

namespace pyxfuzz {

std::size_t LiveBytes() {
    return Live.load(std::memory_order_relaxed);
}
std::size_t PeakBytes() {
    return Peak.load(std::memory_order_relaxed);
}
void ResetPeak() {
    Peak.store(Live.load(std::memory_order_relaxed), std::memory_order_relaxed);
}

} // namespace pyxfuzz

void* operator new(std::size_t Size) {
    return Allocate(Size, 0, true);
}
void* operator new[](std::size_t Size) {
    return Allocate(Size, 0, true);
}
void* operator new(std::size_t Size, const std::nothrow_t&) noexcept {
    return Allocate(Size, 0, false);
}
void* operator new[](std::size_t Size, const std::nothrow_t&) noexcept {
    return Allocate(Size, 0, false);
}
void* operator new(std::size_t Size, std::align_val_t Align) {
    return Allocate(Size, static_cast<std::size_t>(Align), true);
}
void* operator new[](std::size_t Size, std::align_val_t Align) {
    return Allocate(Size, static_cast<std::size_t>(Align), true);
}
void* operator new(std::size_t Size, std::align_val_t Align, const std::nothrow_t&) noexcept {
    return Allocate(Size, static_cast<std::size_t>(Align), false);
}
void* operator new[](std::size_t Size, std::align_val_t Align, const std::nothrow_t&) noexcept {
    return Allocate(Size, static_cast<std::size_t>(Align), false);
}
void operator delete(void* P) noexcept {
    Release(P);
}
void operator delete[](void* P) noexcept {
    Release(P);
}
void operator delete(void* P, std::size_t) noexcept {
    Release(P);
}
void operator delete[](void* P, std::size_t) noexcept {
    Release(P);
}
void operator delete(void* P, const std::nothrow_t&) noexcept {
    Release(P);
}
void operator delete[](void* P, const std::nothrow_t&) noexcept {
    Release(P);
}
void operator delete(void* P, std::align_val_t) noexcept {
    Release(P);
}
void operator delete[](void* P, std::align_val_t) noexcept {
    Release(P);
}
void operator delete(void* P, std::size_t, std::align_val_t) noexcept {
    Release(P);
}
void operator delete[](void* P, std::size_t, std::align_val_t) noexcept {
    Release(P);
}
void operator delete(void* P, std::align_val_t, const std::nothrow_t&) noexcept {
    Release(P);
}
void operator delete[](void* P, std::align_val_t, const std::nothrow_t&) noexcept {
    Release(P);
}
