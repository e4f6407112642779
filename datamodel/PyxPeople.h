#pragma once

#include "PyxHandOver.h"
#include "PyxPerson.h"

#include <vector>

class TPyxCities;
class TPyxCompetitions;
struct TPyxNamePools;
class TPyxNations;
class TPyxTeams;
class TPyxClubs;
class TPyxStadiums;
class TPyxPeople;

// What a person links to after loading: the three attribute tables it takes its records from, and the collections
// its references resolve against.
struct TPyxPersonLinks {
    TPyxHandOver<TPyxPersonData>& PersonDatas;
    TPyxHandOver<TPyxPlayingData>& PlayingDatas;
    TPyxHandOver<TPyxNonPlayingData>& NonPlayingDatas;
    const TPyxCities& Cities;
    const TPyxCompetitions& Competitions;
    const TPyxNamePools& Names;
    const TPyxNations& Nations;
    const TPyxTeams& Teams;
    const TPyxClubs& Clubs;
    const TPyxPeople& People;
    const TPyxStadiums& Stadiums;
};

// A retired person's record: read to keep the file position, then dropped.
class TPyxRetiredPerson final : public TPyxObject {
public:
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    bool DiscardOnLoad() const override { return true; }
};

// All persons, with the sections of server_db.dat and people_db.dat that are written from them.
class TPyxPeople final : public TPyxCollection<TPyxPerson> {
public:
    TPyxPeople() : TPyxCollection("Person data") {}
    const char* ClassName() const override { return "TPyxPeople"; }
    // Kinds 1 to 4 are persons of that type; kind 5 a retired person.
    std::unique_ptr<TPyxObject> CreateEntity(uint8_t RecordType) override;
    // By the nation's ID, no nation counting as -1. The sort does not renumber persons.
    int Compare(const TPyxObject* A, const TPyxObject* B) const override;
    // The base quicksort by Compare, run over the persons' nation keys gathered once.
    void Sort() override;
    // The persons 24 ahead, their name records 12 ahead and the names' texts 6 ahead.
    void PrefetchForMatches(int32_t Index) const override;
    int64_t MinRecordSize() const override { return 19; }
    // Persons are referred to by ID and by UniqueID but keep both keys across saves while the save's sort reorders
    // them: of two persons with one key, the one a reference resolves to would change with every save, taking
    // loans, languages and histories from one person to the other. A duplicate key is therefore a corrupt file.
    void CheckNewKeys(const TPyxObject& Entity) const override;

    void ConvertIndexes(TPyxPersonLinks& Links);

    // Collects the records written from the persons and numbers them by position, in person order.
    void PrepareForSave();
    // The sections of the records PrepareForSave collected: each writes the count and the records, then lets go of
    // its list (not of the records).
    void SaveLoans(TPyxFileStream& Stream, int16_t Version) { SaveSide(Loans_, Stream, Version); }
    void SaveStartingInjuries(TPyxFileStream& Stream, int16_t Version) { SaveSide(StartingInjuries_, Stream, Version); }
    void SaveStartingConfidences(TPyxFileStream& Stream, int16_t Version) {
        SaveSide(StartingConfidences_, Stream, Version);
    }
    void SaveFutureTransfers(TPyxFileStream& Stream, int16_t Version) { SaveSide(FutureTransfers_, Stream, Version); }
    void SavePersonDatas(TPyxFileStream& Stream, int16_t Version) { SaveSide(PersonDatas_, Stream, Version); }
    void SavePlayingDatas(TPyxFileStream& Stream, int16_t Version) { SaveSide(PlayingDatas_, Stream, Version); }
    void SaveNonPlayingDatas(TPyxFileStream& Stream, int16_t Version) { SaveSide(NonPlayingDatas_, Stream, Version); }
    void SavePersonLanguages(TPyxFileStream& Stream, int16_t Version);
    void SavePeople(TPyxFileStream& Stream, int16_t Version);

    int32_t PersonLanguageTotal = 0;

private:
    // A person is unlinked everywhere before it goes (TPyxDatabase::DeletePerson).
    using TPyxObjects::Delete;

    // Asks the processor for the records a person's record refers to, ahead of writing it.
    static void PrefetchReferences(const TPyxPerson& P);
    template <class T> void SaveSide(std::vector<T*>& Side, TPyxFileStream& Stream, int16_t Version) {
        const int64_t Total = static_cast<int64_t>(Side.size());
        Stream.WriteInt32(static_cast<int32_t>(Total));
        for (int64_t I = 0; I < Total; ++I) {
            Side[static_cast<size_t>(I)]->SaveToStream(Stream, Version);
            DoProgress(I, Total);
        }
        Side.clear();
        Side.shrink_to_fit();
    }

    // Borrowed: the records stay with their persons.
    std::vector<TPyxLoan*> Loans_;
    std::vector<TPyxStartingInjury*> StartingInjuries_;
    std::vector<TPyxStartingConfidence*> StartingConfidences_;
    std::vector<TPyxFutureTransfer*> FutureTransfers_;
    std::vector<TPyxPersonData*> PersonDatas_;
    std::vector<TPyxPlayingData*> PlayingDatas_;
    std::vector<TPyxNonPlayingData*> NonPlayingDatas_;
};
