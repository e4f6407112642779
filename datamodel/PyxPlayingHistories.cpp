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
        if (TPyxPerson* P = People.FindByUniqueID(PersonUniqueID))
            P->SetPlayingHistory(std::move(History));
        DoProgress(I, N);
    }
}

void TPyxPlayingHistories::Save(const TPyxPeople& People, TPyxFileStream& Index, TPyxFileStream& Id,
                                TPyxFileStream& Data) const {
    Index.Write(IndexHeader.data(), 12);
    Id.Write(IdHeader.data(), 12);
    Data.Write(DataHeader.data(), 12);
    std::vector<const TPyxPerson*> Owners;
    People.ForEach([&](const TPyxPerson* P) {
        if (P->PlayingHistory && P->PlayingHistory->Count() > 0)
            Owners.push_back(P);
    });
    std::sort(Owners.begin(), Owners.end(),
              [](const TPyxPerson* A, const TPyxPerson* B) { return A->UniqueID < B->UniqueID; });
    const int32_t N = static_cast<int32_t>(Owners.size());
    Index.WriteInt32(N);
    for (int32_t K = 0; K < N; ++K) {
        Index.WriteInt32(Owners[static_cast<size_t>(K)]->UniqueID);
        Index.WriteInt32(K);
        Id.WriteInt32(static_cast<int32_t>(Data.Position() - 12));
        Owners[static_cast<size_t>(K)]->PlayingHistory->SaveChain(Data);
        Id.WriteInt32(static_cast<int32_t>(Data.Position() - 25));
        DoProgress(K, N);
    }
}
