#include "PyxPlayingHistory.h"

#include "PyxTeam.h"

#include <algorithm>

std::unique_ptr<TPyxPlayingHistoryEntry> TPyxPlayingHistoryEntry::Clone() const {
    auto E = std::make_unique<TPyxPlayingHistoryEntry>();
    E->Season = Season;
    E->OnLoan = OnLoan;
    E->Apps = Apps;
    E->Goals = Goals;
    E->Team = Team;
    return E;
}

void TPyxPlayingHistoryEntry::LoadFromStream(TPyxFileStream& Stream) {
    Season = Stream.ReadInt16();
    OnLoan = Stream.ReadByte();
    Apps = Stream.ReadByte();
    Goals = Stream.ReadByte();
    TeamKey = Stream.ReadInt32();
}

void TPyxPlayingHistoryEntry::SaveToStream(TPyxFileStream& Stream) const {
    Stream.WriteInt16(Season);
    Stream.WriteByte(OnLoan);
    Stream.WriteByte(Apps);
    Stream.WriteByte(Goals);
    Stream.WriteInt32(Team ? Team->UniqueID : -1);
}

TPyxPlayingHistoryEntry* TPyxPlayingHistory::Add(std::unique_ptr<TPyxPlayingHistoryEntry> Entry) {
    Items_.push_back(std::move(Entry));
    return Items_.back().get();
}

std::unique_ptr<TPyxPlayingHistoryEntry> TPyxPlayingHistory::Remove(const TPyxPlayingHistoryEntry* Entry) {
    for (auto It = Items_.begin(); It != Items_.end(); ++It)
        if (It->get() == Entry) {
            auto Owned = std::move(*It);
            Items_.erase(It);
            return Owned;
        }
    return nullptr;
}

void TPyxPlayingHistory::RemoveTeam(const TPyxTeam* Team) {
    std::erase_if(Items_, [Team](const auto& E) { return E->Team == Team; });
}

TPyxChainGuard::TPyxChainGuard(int64_t DataSize)
    : Aligned_(static_cast<size_t>(std::max<int64_t>(0, DataSize - 12) / EntrySize + 1), 0),
      Budget_(4 * (std::max<int64_t>(0, DataSize - 12) / EntrySize) + 64) {}

void TPyxChainGuard::Visit(int64_t Offset) {
    if (--Budget_ < 0)
        throw EFileCorruptError("Playing history chains seem to be corrupt.\r\nThey hold more entries than the "
                                "data file.");
    uint32_t* Last;
    if (Offset % EntrySize == 0 && static_cast<size_t>(Offset / EntrySize) < Aligned_.size())
        Last = &Aligned_[static_cast<size_t>(Offset / EntrySize)];
    else
        Last = &Unaligned_[Offset];
    if (*Last == Epoch_)
        throw EFileCorruptError("Playing history chain seems to be corrupt.\r\nEntry Offset: " +
                                std::to_string(Offset));
    *Last = Epoch_;
}

void TPyxPlayingHistory::LoadChain(TPyxFileStream& Stream, int32_t First, const TPyxTeams& Teams,
                                   TPyxChainGuard& Guard) {
    constexpr int64_t EntrySize = 13;
    Guard.BeginChain();
    // Every offset is checked before the stream goes there: a seek would clamp it into the file and hide it.
    int64_t Offset = First;
    while (Offset != -1) {
        // A chain must stay inside the entries and never come back on itself, or it would loop for ever.
        if (Offset < 0 || 12 + Offset + EntrySize > Stream.Size())
            throw EFileCorruptError("Playing history chain seems to be corrupt.\r\nEntry Offset: " +
                                    std::to_string(Offset));
        Guard.Visit(Offset);
        Stream.Seek(12 + Offset, TPyxFileStream::soFromBeginning);
        auto Entry = std::make_unique<TPyxPlayingHistoryEntry>();
        Entry->LoadFromStream(Stream);
        Entry->Team = Teams.FindByUniqueID(Entry->TeamKey);
        Items_.push_back(std::move(Entry));
        Offset = Stream.ReadInt32();
    }
}

void TPyxPlayingHistory::SaveChain(TPyxFileStream& Stream) const {
    for (size_t I = 0; I < Items_.size(); ++I) {
        Items_[I]->SaveToStream(Stream);
        Stream.WriteInt32(I + 1 == Items_.size() ? -1 : static_cast<int32_t>(Stream.Position() + 4 - 12));
    }
}
