#pragma once

#include "Hashtable.h"
#include "PyxRecordPool.h"
#include "PyxSupportClasses.h"

#include <memory>
#include <unordered_map>
#include <vector>

class TPyxTeam;
class TPyxTeams;

// One season of a person's playing history. On disk 13 bytes: int16 season, on-loan, apps, goals, int32 team
// UniqueID (-1 for none) and the int32 offset of the next entry (-1 ends the chain).
class TPyxPlayingHistoryEntry final {
public:
    std::unique_ptr<TPyxPlayingHistoryEntry> Clone() const;
    // The first 9 bytes of an entry; the team as its raw key.
    void LoadFromStream(TPyxFileStream& Stream);
    void SaveToStream(TPyxFileStream& Stream) const;

    int16_t Season = 0;
    uint8_t OnLoan = 0;
    uint8_t Apps = 0;
    uint8_t Goals = 0;
    TPyxTeam* Team = nullptr;

    // Raw key read from the file, until the chain is linked.
    int32_t TeamKey = -1;
};

// Keeps the chains of one history file honest: a chain may not come back to an entry it already read, and all
// chains together may not read many more entries than the file holds, so a hostile file cannot make loading loop
// or grow without bound.
class TPyxChainGuard final {
public:
    explicit TPyxChainGuard(int64_t DataSize);
    void BeginChain() { ++Epoch_; }
    // Raises EFileCorruptError when Offset was already read in this chain or the budget is spent.
    void Visit(int64_t Offset);

private:
    static constexpr int64_t EntrySize = 13;
    std::vector<uint32_t> Aligned_;                                  // by Offset / 13, the chain that last read it
    std::unordered_map<int64_t, uint32_t, TMixedKeyHash> Unaligned_; // offsets that are not multiples of 13
    uint32_t Epoch_ = 0;
    int64_t Budget_;
};

// A person's seasons in stored order. The entries are held by value in one array: a large world has a million
// of them, and an allocation of its own for each cost a fifth of the time its histories take to load and 16 bytes
// of memory apiece. So a pointer from Items or Add stays valid only until the history next changes.
class TPyxPlayingHistory final : public TPyxPooled<TPyxPlayingHistory> {
public:
    int32_t Count() const { return static_cast<int32_t>(Items_.size()); }
    TPyxPlayingHistoryEntry* Items(int32_t Index) {
        return Index >= 0 && Index < Count() ? &Items_[static_cast<size_t>(Index)] : nullptr;
    }
    const TPyxPlayingHistoryEntry* Items(int32_t Index) const {
        return Index >= 0 && Index < Count() ? &Items_[static_cast<size_t>(Index)] : nullptr;
    }
    // Appends a copy of Entry and returns it; nil (and nothing appended) for a nil Entry.
    TPyxPlayingHistoryEntry* Add(std::unique_ptr<TPyxPlayingHistoryEntry> Entry);
    void Clear() { Items_.clear(); }
    // Takes Entry out of the history and hands the caller a copy of it; nil when Entry is not one of ours.
    std::unique_ptr<TPyxPlayingHistoryEntry> Remove(const TPyxPlayingHistoryEntry* Entry);
    // Removes every entry of a deleted team.
    void RemoveTeam(const TPyxTeam* Team);

    // Reads the chain whose first entry is at First (counted from the end of the header; -1 for an empty chain).
    // A chain that comes back to an entry it already read, or points outside the entries, raises
    // EFileCorruptError naming the offset as stored.
    void LoadChain(TPyxFileStream& Stream, int32_t First, const TPyxTeams& Teams, TPyxChainGuard& Guard);
    // Writes the entries one after the other, each pointing at the next.
    void SaveChain(TPyxFileStream& Stream) const;

private:
    std::vector<TPyxPlayingHistoryEntry> Items_;
};
