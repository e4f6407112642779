#pragma once

#include <atomic>
#include <cstddef>
#include <new>

// Storage for the model's most numerous records: persons and their parts, attribute records, contracts, person
// languages, histories. A world of 300,000 persons holds some two and a half million of them. From the general
// heap each costs a chunk header and rounding (8 to 16 bytes, some 25 MB in all) and a trip through the
// allocator's slow path while the heap grows during a load. A pool carves records of one size from blocks that
// grow to 2 MiB, records loaded together lie together, and freed slots wait on a free list for the next record of
// the same size. Blocks are kept for the life of the process: after one load the next one reuses them.
class TPyxRecordPool final {
public:
    // Slots are RecordSize (at least a pointer's) rounded up to Alignment, a power of two of at least 8.
    explicit constexpr TPyxRecordPool(std::size_t RecordSize, std::size_t Alignment = 8)
        : SlotSize_(SlotSizeFor(RecordSize, Alignment)) {}
    TPyxRecordPool(const TPyxRecordPool&) = delete;
    TPyxRecordPool& operator=(const TPyxRecordPool&) = delete;

    void* Allocate();
    void Free(void* Slot) noexcept;

private:
    static constexpr std::size_t SlotSizeFor(std::size_t RecordSize, std::size_t Alignment) {
        const std::size_t Size = RecordSize < sizeof(void*) ? sizeof(void*) : RecordSize;
        return (Size + Alignment - 1) / Alignment * Alignment;
    }

    struct TFreeSlot {
        TFreeSlot* Next;
    };
    class TLock;
    void AddBlock();

    std::size_t SlotSize_;
    TFreeSlot* FreeList_ = nullptr;
    char* Next_ = nullptr; // the unused rest of the newest block
    char* End_ = nullptr;
    std::size_t NextBlockSize_ = 64 * 1024;
    // The model lives on one thread; the lock only keeps a stray allocation elsewhere from corrupting the lists.
    std::atomic_flag Busy_;
};

#if defined(__SANITIZE_ADDRESS__)
#define PYX_RECORD_POOL false
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PYX_RECORD_POOL false
#endif
#endif
#ifndef PYX_RECORD_POOL
#define PYX_RECORD_POOL true
#endif

// Gives a record class T its storage from a pool of its own. Only objects of exactly T's size come from the pool,
// so a class derived from T (should there ever be one) keeps the general heap. Under the address sanitizer the
// pool steps aside, so that it still sees every use of a freed record.
template <class T, std::size_t Alignment = 8> class TPyxPooled {
public:
    static void* operator new(std::size_t Size) {
        static_assert(alignof(T) <= Alignment, "pool slots are not aligned enough for the record");
        if (!Enabled || Size != sizeof(T))
            return ::operator new(Size);
        return Pool_.Allocate();
    }
    static void operator delete(void* Record, std::size_t Size) noexcept {
        if (!Enabled || Size != sizeof(T))
            ::operator delete(Record);
        else
            Pool_.Free(Record);
    }

private:
    static constexpr bool Enabled = PYX_RECORD_POOL;
    static inline constinit TPyxRecordPool Pool_{sizeof(T), Alignment};
};
