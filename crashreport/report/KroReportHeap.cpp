#include "KroReportHeap.h"

#include <atomic>
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The heap is made of segments of address space, each backed by memory only where it is touched. The first one is
// reserved at start-up and holds the report of a large program; more are mapped when a report needs them. A process
// under an address-space limit thus starts whatever the limit, and a report takes what can still be had.
constexpr std::size_t FirstSegmentSize = std::size_t{64} << 20;
constexpr std::size_t SmallestSegment = std::size_t{1} << 20;
constexpr std::size_t LargestSegment = std::size_t{1} << 30;
constexpr std::size_t SegmentCount = 48;

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

// A segment is claimed by one thread, which maps it and then publishes its start; nobody waits for another's claim
// (the claimer may be a thread the report has paused): a thread that finds a slot claimed moves on to the next.
struct TSegment {
    std::atomic<bool> Claimed{false};
    std::atomic<std::uintptr_t> Start{0}; // 0 until published
    std::uintptr_t End = 0;
    std::atomic<std::uintptr_t> Next{0};
};

TSegment Segments[SegmentCount];
// No slot at or above this one has ever been claimed: Owns and CarveChunk look no further.
std::atomic<std::size_t> SlotsUsed{0};
std::atomic<std::size_t> LastMapped{0};
// Bounds of every segment: most pointers freed are the C library's, and most lie outside them.
std::atomic<std::uintptr_t> Lowest{UINTPTR_MAX};
std::atomic<std::uintptr_t> Highest{0};
std::atomic<TFreeBlock*> FreeLists[ClassCount];
std::atomic<bool> Routed{false};

__attribute__((tls_model("initial-exec"))) thread_local bool InScope = false;

std::size_t ClassOf(std::size_t Size) noexcept {
    std::size_t Class = MinClass;
    while ((std::size_t{1} << Class) < Size && Class < ClassCount - 1)
        ++Class;
    return Class;
}

std::size_t PageRound(std::size_t Size) noexcept {
    const std::size_t Page = 4096;
    return (Size + Page - 1) / Page * Page;
}

// Maps Wanted bytes, or less when the address space does not allow it, but never less than Needed. 0 on failure.
std::uintptr_t MapSpace(std::size_t Wanted, std::size_t Needed, std::size_t& Mapped) noexcept {
    for (std::size_t Size = Wanted;; Size /= 2) {
        if (Size < Needed)
            Size = Needed;
        void* Space = mmap(nullptr, Size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (Space != MAP_FAILED) {
            Mapped = Size;
            return reinterpret_cast<std::uintptr_t>(Space);
        }
        if (Size == Needed)
            return 0;
    }
}

void WidenBounds(std::uintptr_t Start, std::uintptr_t End) noexcept {
    std::uintptr_t Low = Lowest.load();
    while (Start < Low && !Lowest.compare_exchange_weak(Low, Start))
        ;
    std::uintptr_t High = Highest.load();
    while (End > High && !Highest.compare_exchange_weak(High, End))
        ;
}

// Claims the first free slot and maps a segment of at least Needed bytes into it. False when no slot is left or the
// space cannot be had.
bool AddSegment(std::size_t Needed) noexcept {
    for (std::size_t Index = 0; Index < SegmentCount; ++Index) {
        TSegment& Segment = Segments[Index];
        if (Segment.Claimed.load() || Segment.Claimed.exchange(true))
            continue;
        std::size_t Used = SlotsUsed.load();
        while (Used < Index + 1 && !SlotsUsed.compare_exchange_weak(Used, Index + 1))
            ;
        // Each segment twice the last, so that a few hold any report.
        const std::size_t Last = LastMapped.load();
        std::size_t Wanted = Last == 0 ? FirstSegmentSize : Last * 2;
        if (Wanted > LargestSegment)
            Wanted = LargestSegment;
        const std::size_t Minimum = PageRound(Needed > SmallestSegment ? Needed : SmallestSegment);
        if (Wanted < Minimum)
            Wanted = Minimum;
        std::size_t Mapped = 0;
        const std::uintptr_t Start = MapSpace(Wanted, PageRound(Needed), Mapped);
        if (Start == 0) {
            // Nobody waits for a claimed slot: it is given back for a later attempt, which may find space again.
            Segment.Claimed.store(false);
            return false;
        }
        Segment.End = Start + Mapped;
        Segment.Next.store(Start);
        WidenBounds(Start, Start + Mapped);
        LastMapped.store(Mapped);
        Segment.Start.store(Start, std::memory_order_release);
        return true;
    }
    return false;
}

// Size bytes from one segment, without waiting for anyone: the space left in each segment is taken by
// compare-and-swap, so that a large request does not waste what smaller ones can still use.
void* CarveChunk(std::size_t Size) noexcept {
    const std::size_t Slots = SlotsUsed.load();
    for (std::size_t Index = 0; Index < Slots; ++Index) {
        TSegment& Segment = Segments[Index];
        if (Segment.Start.load(std::memory_order_acquire) == 0)
            continue;
        std::uintptr_t Begin = Segment.Next.load();
        while (Begin + Size <= Segment.End)
            if (Segment.Next.compare_exchange_weak(Begin, Begin + Size))
                return reinterpret_cast<void*>(Begin);
    }
    return nullptr;
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
    for (;;) {
        if (void* Chunk = CarveChunk(Size))
            return Chunk;
        if (!AddSegment(Size))
            return CarveChunk(Size); // another thread may have added one meanwhile
    }
}

} // namespace

bool ReserveReportHeap() noexcept {
    if (ReportHeapReserved() != 0)
        return true;
    return AddSegment(SmallestSegment);
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
    constexpr std::size_t Largest = std::size_t{1} << (ClassCount - 2);
    if (Size > Largest || Alignment > Largest)
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
    if (Address < Lowest.load(std::memory_order_relaxed) || Address >= Highest.load(std::memory_order_relaxed))
        return false;
    const std::size_t Slots = SlotsUsed.load(std::memory_order_relaxed);
    for (std::size_t Index = 0; Index < Slots; ++Index) {
        const std::uintptr_t Start = Segments[Index].Start.load(std::memory_order_acquire);
        if (Start != 0 && Address >= Start && Address < Segments[Index].End)
            return true;
    }
    return false;
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

std::size_t ReportHeapReserved() noexcept {
    std::size_t Total = 0;
    const std::size_t Slots = SlotsUsed.load();
    for (std::size_t Index = 0; Index < Slots; ++Index)
        if (const std::uintptr_t Start = Segments[Index].Start.load(std::memory_order_acquire); Start != 0)
            Total += Segments[Index].End - Start;
    return Total;
}

TReportHeapScope::TReportHeapScope() noexcept : Previous(InScope) {
    InScope = true;
}

TReportHeapScope::~TReportHeapScope() {
    InScope = Previous;
}
