#include "PyxPlayingHistories.h"

#include "PyxFileHeader.h"
#include "PyxPeople.h"
#include "PyxTeam.h"

#include <algorithm>

void TPyxPlayingHistories::Open(const TPyxDataFolder& Folder) {
    Close();
    auto OpenOne = [&](const char* Name) {
        try {
            return Folder.OpenRead(Name);
        } catch (const EFileStreamError&) {
            Close();
            throw EAccessDeniedError(std::string("Couldn't access ") + Name +
                                     ".\r\nMake sure the Pyx Path is correct.");
        }
    };
    IndexStream_ = OpenOne(IndexFileName);
    IdStream_ = OpenOne(IdFileName);
    DataStream_ = OpenOne(DataFileName);
}

void TPyxPlayingHistories::Close() {
    IndexStream_.reset();
    IdStream_.reset();
    DataStream_.reset();
}

void TPyxPlayingHistories::Load(const TPyxPeople& People, const TPyxTeams& Teams) {
    TPyxFileStream& Index = *IndexStream_;
    TPyxFileStream& Id = *IdStream_;
    TPyxFileStream& Data = *DataStream_;
    IndexHeader = ReadFileHeader(Index, IndexFileName, {112, 145, 147});
    IdHeader = ReadFileHeader(Id, IdFileName, {1});
    DataHeader = ReadFileHeader(Data, DataFileName, {1});
    TPyxChainGuard Guard(Data.Size());
    int32_t N = Index.ReadInt32();
    // A negative count would load no history, and the next save would write the files without any.
    if (N < 0)
        throw EFileCorruptError("Playing history index seems to be corrupt.\r\nHistory Count: " + std::to_string(N));
    Index.Require(8 * static_cast<int64_t>(N));
    // The histories come in person UniqueID order, the persons lie in memory in file order: looking each owner
    // up and attaching the history between two chains waited on two cache misses per history. So the chains are
    // read first; the owners are then looked up in one pass (independent lookups the processor overlaps) and the
    // histories attached in index order, each owner fetched a few ahead. A later history of the same person still
    // replaces an earlier one.
    std::vector<int32_t> OwnerIDs;
    std::vector<std::unique_ptr<TPyxPlayingHistory>> Histories;
    OwnerIDs.reserve(static_cast<size_t>(N));
    Histories.reserve(static_cast<size_t>(N));
    for (int32_t I = 0; I < N; ++I) {
        int32_t PersonUniqueID = Index.ReadInt32();
        int32_t Slot = Index.ReadInt32();
        // A slot outside pl_hist_id.dat would read its header, or clamp to its end, as an offset.
        const int64_t SlotPosition = 12 + 8 * static_cast<int64_t>(Slot);
        if (Slot < 0 || SlotPosition + 8 > Id.Size())
            throw EFileCorruptError("Playing history index seems to be corrupt.\r\nSlot: " + std::to_string(Slot));
        Id.Seek(SlotPosition, TPyxFileStream::soFromBeginning);
        int32_t First = Id.ReadInt32();
        auto History = std::make_unique<TPyxPlayingHistory>();
        History->LoadChain(Data, First, Teams, Guard);
        OwnerIDs.push_back(PersonUniqueID);
        Histories.push_back(std::move(History));
        DoProgress(I, N);
    }
    std::vector<TPyxPerson*> Owners(OwnerIDs.size());
    for (size_t K = 0; K < Owners.size(); ++K)
        Owners[K] = People.FindByUniqueID(OwnerIDs[K]);
    constexpr size_t Ahead = 8;
    for (size_t K = 0; K < Owners.size(); ++K) {
        if (K + Ahead < Owners.size() && Owners[K + Ahead])
            __builtin_prefetch(&Owners[K + Ahead]->PlayingHistory, 1);
        if (Owners[K])
            Owners[K]->SetPlayingHistory(std::move(Histories[K]));
    }
}

void TPyxPlayingHistories::Save(const TPyxPeople& People, TPyxFileStream& Index, TPyxFileStream& Id,
                                TPyxFileStream& Data) const {
    Index.Write(IndexHeader.data(), 12);
    Id.Write(IdHeader.data(), 12);
    Data.Write(DataHeader.data(), 12);
    // Each owner's UniqueID and history are taken along, so that neither the sort nor the writing goes back to
    // the persons, which a large world scatters over memory. The sort is the same as by person: equal keys, equal
    // comparisons, equal order.
    struct TOwner {
        int32_t UniqueID;
        const TPyxPlayingHistory* History;
    };
    std::vector<TOwner> Owners;
    People.ForEach([&](const TPyxPerson* P) {
        if (P->PlayingHistory && P->PlayingHistory->Count() > 0)
            Owners.push_back({P->UniqueID, P->PlayingHistory.get()});
    });
    std::sort(Owners.begin(), Owners.end(), [](const TOwner& A, const TOwner& B) { return A.UniqueID < B.UniqueID; });
    const int32_t N = static_cast<int32_t>(Owners.size());
    Index.WriteInt32(N);
    for (int32_t K = 0; K < N; ++K) {
        Index.WriteInt32(Owners[static_cast<size_t>(K)].UniqueID);
        Index.WriteInt32(K);
        Id.WriteInt32(static_cast<int32_t>(Data.Position() - 12));
        Owners[static_cast<size_t>(K)].History->SaveChain(Data);
        Id.WriteInt32(static_cast<int32_t>(Data.Position() - 25));
        DoProgress(K, N);
    }
}
