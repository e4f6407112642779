#include "PyxRecordPool.h"

#include <cstdint>
#include <sys/mman.h>
#include <thread>

namespace {

constexpr std::size_t HugePage = 2 * 1024 * 1024;

// A block of fresh memory, aligned to a huge page when it is that large, so that the kernel can back it with one.
char* MapBlock(std::size_t Size) {
    const std::size_t Extra = Size >= HugePage ? HugePage : 0;
    void* Mapped = ::mmap(nullptr, Size + Extra, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (Mapped == MAP_FAILED)
        throw std::bad_alloc();
    auto* Start = static_cast<char*>(Mapped);
    if (Extra != 0) {
        const auto Address = reinterpret_cast<std::uintptr_t>(Start);
        char* Aligned = Start + ((HugePage - Address % HugePage) % HugePage);
        if (Aligned > Start)
            ::munmap(Start, static_cast<std::size_t>(Aligned - Start));
        if (Aligned + Size < Start + Size + Extra)
            ::munmap(Aligned + Size, static_cast<std::size_t>(Start + Size + Extra - (Aligned + Size)));
        Start = Aligned;
        ::madvise(Start, Size, MADV_HUGEPAGE);
    }
    return Start;
}

} // namespace

class TPyxRecordPool::TLock final {
public:
    explicit TLock(std::atomic_flag& Flag) : Flag_(Flag) {
        while (Flag_.test_and_set(std::memory_order_acquire))
            std::this_thread::yield();
    }
    ~TLock() { Flag_.clear(std::memory_order_release); }
    TLock(const TLock&) = delete;
    TLock& operator=(const TLock&) = delete;

private:
    std::atomic_flag& Flag_;
};

void TPyxRecordPool::AddBlock() {
    const std::size_t Size = NextBlockSize_;
    Next_ = MapBlock(Size);
    End_ = Next_ + Size / SlotSize_ * SlotSize_;
    if (NextBlockSize_ < HugePage)
        NextBlockSize_ *= 2;
}

void* TPyxRecordPool::Allocate() {
    TLock Lock(Busy_);
    if (FreeList_ != nullptr) {
        TFreeSlot* Slot = FreeList_;
        FreeList_ = Slot->Next;
        return Slot;
    }
    if (Next_ == End_)
        AddBlock();
    void* Slot = Next_;
    Next_ += SlotSize_;
    return Slot;
}

void TPyxRecordPool::Free(void* Slot) noexcept {
    if (Slot == nullptr)
        return;
    TLock Lock(Busy_);
    auto* Freed = static_cast<TFreeSlot*>(Slot);
    Freed->Next = FreeList_;
    FreeList_ = Freed;
}
