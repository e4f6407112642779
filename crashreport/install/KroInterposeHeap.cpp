// The allocator of the process: the C library's, except for a thread that is making a report, whose allocations go
// to the report heap (KroReportHeap.h). A report's thread thus never waits for the allocator's lock, which a paused
// thread may hold. Programs built with the sanitizers keep the sanitizers' allocator.

#include "KroReportHeap.h"

#include <cerrno>
#include <cstddef>
#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#define KRO_SANITIZED_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KRO_SANITIZED_HEAP 1
#endif
#endif

#if !defined(KRO_SANITIZED_HEAP)

#include <dlfcn.h>
#include <unistd.h>

extern "C" {
void* __libc_malloc(std::size_t);
void __libc_free(void*);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);
}

namespace {

bool Routed() {
    return InReportHeapScope();
}

std::size_t SystemUsableSize(void* Pointer) {
    using TUsableSize = std::size_t (*)(void*);
    static const TUsableSize Size = reinterpret_cast<TUsableSize>(dlsym(RTLD_NEXT, "malloc_usable_size"));
    return Size != nullptr ? Size(Pointer) : 0;
}

__attribute__((constructor(101))) void StartRouting() {
    SystemUsableSize(nullptr);
    SetReportHeapRouted(true);
}

void* Aligned(std::size_t Alignment, std::size_t Size) {
    if (Routed())
        return ReportHeapAllocate(Size, Alignment);
    return __libc_memalign(Alignment, Size);
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) void* malloc(std::size_t Size) {
    if (Routed())
        return ReportHeapAllocate(Size);
    return __libc_malloc(Size);
}

__attribute__((visibility("default"))) void free(void* Pointer) {
    if (Pointer == nullptr)
        return;
    if (ReportHeapOwns(Pointer)) {
        ReportHeapFree(Pointer);
        return;
    }
    // Freeing the C library's memory may wait for its lock: inside a report it is left alone.
    if (Routed())
        return;
    __libc_free(Pointer);
}

__attribute__((visibility("default"))) void* calloc(std::size_t Count, std::size_t Size) {
    if (!Routed())
        return __libc_calloc(Count, Size);
    if (Size != 0 && Count > static_cast<std::size_t>(-1) / Size) {
        errno = ENOMEM;
        return nullptr;
    }
    void* Block = ReportHeapAllocate(Count * Size);
    if (Block != nullptr)
        std::memset(Block, 0, Count * Size);
    return Block;
}

__attribute__((visibility("default"))) void* realloc(void* Pointer, std::size_t Size) {
    const bool Ours = Pointer != nullptr && ReportHeapOwns(Pointer);
    if (!Ours && !Routed())
        return __libc_realloc(Pointer, Size);
    if (Pointer == nullptr)
        return malloc(Size);
    const std::size_t OldSize = Ours ? ReportHeapBlockSize(Pointer) : SystemUsableSize(Pointer);
    if (Ours && Size <= OldSize && Size != 0)
        return Pointer;
    void* Block = malloc(Size != 0 ? Size : 1);
    if (Block == nullptr)
        return nullptr;
    std::memcpy(Block, Pointer, OldSize < Size ? OldSize : Size);
    free(Pointer);
    return Block;
}

__attribute__((visibility("default"))) void* memalign(std::size_t Alignment, std::size_t Size) {
    return Aligned(Alignment, Size);
}

__attribute__((visibility("default"))) int posix_memalign(void** Result, std::size_t Alignment, std::size_t Size) {
    if (Alignment < sizeof(void*) || (Alignment & (Alignment - 1)) != 0)
        return EINVAL;
    void* Block = Aligned(Alignment, Size);
    if (Block == nullptr)
        return ENOMEM;
    *Result = Block;
    return 0;
}

__attribute__((visibility("default"))) void* aligned_alloc(std::size_t Alignment, std::size_t Size) {
    return Aligned(Alignment, Size);
}

__attribute__((visibility("default"))) void* valloc(std::size_t Size) {
    return Aligned(static_cast<std::size_t>(sysconf(_SC_PAGESIZE)), Size);
}

__attribute__((visibility("default"))) void* pvalloc(std::size_t Size) {
    const auto Page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return Aligned(Page, (Size + Page - 1) / Page * Page);
}

__attribute__((visibility("default"))) std::size_t malloc_usable_size(void* Pointer) {
    if (Pointer == nullptr)
        return 0;
    if (ReportHeapOwns(Pointer))
        return ReportHeapBlockSize(Pointer);
    return SystemUsableSize(Pointer);
}

} // extern "C"

#endif
