#include "PyxRecordPool.h"

#include <sys/mman.h>
#include <thread>

namespace {

// A block of fresh pages. No huge pages are asked for: the kernel may then stall a first load for many
// milliseconds while it compacts memory to find them, far more than the page faults they would save.
char* MapBlock(std::size_t Size) {
    void* Mapped = ::mmap(nullptr, Size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (Mapped == MAP_FAILED)
        throw std::bad_alloc();
    return static_cast<char*>(Mapped);
}

constexpr std::size_t LargestBlock = 2 * 1024 * 1024;

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
    if (NextBlockSize_ < LargestBlock)
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
