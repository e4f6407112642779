#include "KroReportHeap.h"

#include <atomic>
#include <cstdint>
#include <sys/mman.h>

namespace {

// Address space only: pages are backed when first touched.
constexpr std::size_t HeapSize = std::size_t{4} << 30;
constexpr std::size_t HeaderSize = 16;
constexpr std::size_t MinClass = 4; // 16 bytes
constexpr std::size_t ClassCount = 40;
constexpr std::uint32_t BlockMagic = 0x6b726f68;

// Precedes every block handed out: its size class, and how far the block's start lies before the header (for
// aligned blocks).
struct TBlockHeader {
    std::uint32_t Magic;
    std::uint32_t Class;
    std::uint64_t Offset;
};
static_assert(sizeof(TBlockHeader) == HeaderSize);

struct TFreeBlock {
    TFreeBlock* Next;
};

std::atomic<std::uintptr_t> Base{0};
std::atomic<std::uintptr_t> Next{0};
std::uintptr_t Limit = 0;
std::atomic<TFreeBlock*> FreeLists[ClassCount];
std::atomic<bool> Routed{false};

__attribute__((tls_model("initial-exec"))) thread_local bool InScope = false;

std::size_t ClassOf(std::size_t Size) noexcept {
    std::size_t Class = MinClass;
    while ((std::size_t{1} << Class) < Size && Class < ClassCount - 1)
        ++Class;
    return Class;
}

// A chunk of 2^Class bytes: from its free list (pushed by any thread, taken only by reporters, which run one at a
// time), or new.
void* TakeChunk(std::size_t Class) noexcept {
    std::atomic<TFreeBlock*>& List = FreeLists[Class];
    TFreeBlock* Head = List.load(std::memory_order_acquire);
    while (Head != nullptr && !List.compare_exchange_weak(Head, Head->Next, std::memory_order_acq_rel))
        ;
    if (Head != nullptr)
        return Head;
    const std::size_t Size = std::size_t{1} << Class;
    const std::uintptr_t Start = Next.fetch_add(Size, std::memory_order_relaxed);
    if (Base.load() == 0 || Start + Size > Limit)
        return nullptr;
    return reinterpret_cast<void*>(Start);
}

} // namespace

bool ReserveReportHeap() noexcept {
    if (Base.load() != 0)
        return true;
    void* Space = mmap(nullptr, HeapSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (Space == MAP_FAILED)
        return false;
    const auto Start = reinterpret_cast<std::uintptr_t>(Space);
    Limit = Start + HeapSize;
    Next.store(Start);
    Base.store(Start);
    return true;
}

bool InReportHeapScope() noexcept {
    return InScope;
}

bool ReportHeapRouted() noexcept {
    return Routed.load(std::memory_order_relaxed);
}

void SetReportHeapRouted(bool Value) noexcept {
    Routed.store(Value);
}

void* ReportHeapAllocate(std::size_t Size, std::size_t Alignment) noexcept {
    if (Alignment < 16)
        Alignment = 16;
    if (Size > HeapSize || Alignment > HeapSize)
        return nullptr;
    const std::size_t Needed = Size + HeaderSize + (Alignment > 16 ? Alignment : 0);
    const std::size_t Class = ClassOf(Needed);
    void* Chunk = TakeChunk(Class);
    if (Chunk == nullptr)
        return nullptr;
    const auto Start = reinterpret_cast<std::uintptr_t>(Chunk);
    const std::uintptr_t User = (Start + HeaderSize + Alignment - 1) & ~(Alignment - 1);
    auto* Header = reinterpret_cast<TBlockHeader*>(User - HeaderSize);
    Header->Magic = BlockMagic;
    Header->Class = static_cast<std::uint32_t>(Class);
    Header->Offset = User - HeaderSize - Start;
    return reinterpret_cast<void*>(User);
}

bool ReportHeapOwns(const void* Pointer) noexcept {
    const auto Address = reinterpret_cast<std::uintptr_t>(Pointer);
    const std::uintptr_t Start = Base.load(std::memory_order_relaxed);
    return Start != 0 && Address >= Start && Address < Start + HeapSize;
}

void ReportHeapFree(void* Pointer) noexcept {
    if (Pointer == nullptr)
        return;
    auto* Header = reinterpret_cast<TBlockHeader*>(reinterpret_cast<std::uintptr_t>(Pointer) - HeaderSize);
    if (Header->Magic != BlockMagic || Header->Class >= ClassCount)
        return; // not a block of ours (or freed twice): better lost than reused
    Header->Magic = 0;
    auto* Block = reinterpret_cast<TFreeBlock*>(reinterpret_cast<std::uintptr_t>(Header) - Header->Offset);
    std::atomic<TFreeBlock*>& List = FreeLists[Header->Class];
    Block->Next = List.load(std::memory_order_relaxed);
    while (!List.compare_exchange_weak(Block->Next, Block, std::memory_order_release, std::memory_order_relaxed))
        ;
}

std::size_t ReportHeapBlockSize(const void* Pointer) noexcept {
    const auto* Header = reinterpret_cast<const TBlockHeader*>(reinterpret_cast<std::uintptr_t>(Pointer) - HeaderSize);
    if (Header->Magic != BlockMagic || Header->Class >= ClassCount)
        return 0;
    return (std::size_t{1} << Header->Class) - Header->Offset - HeaderSize;
}

TReportHeapScope::TReportHeapScope() noexcept : Previous(InScope) {
    InScope = true;
}

TReportHeapScope::~TReportHeapScope() {
    InScope = Previous;
}
