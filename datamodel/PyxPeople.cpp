#include "PyxPeople.h"

#include "PyxName.h"
#include "PyxNation.h"

void TPyxRetiredPerson::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    Stream.SkipWideString();
    Stream.SkipWideString();
    Stream.Skip(2);
    TPyxObject::LoadFromStream(Stream, Version);
}

std::unique_ptr<TPyxObject> TPyxPeople::CreateEntity(uint8_t RecordType) {
    if (RecordType >= 1 && RecordType <= 4)
        return std::make_unique<TPyxPerson>(RecordType);
    if (RecordType == 5)
        return std::make_unique<TPyxRetiredPerson>();
    throw EFileCorruptError("Person data seems to be corrupt.\r\nRecord Type: " + std::to_string(RecordType));
}

void TPyxPeople::CheckNewKeys(const TPyxObject& Entity) const {
    if (FindByID(Entity.ID))
        throw EFileCorruptError("Person data seems to be corrupt.\r\nDuplicate ID: " + std::to_string(Entity.ID));
    if (FindByUniqueID(Entity.UniqueID))
        throw EFileCorruptError("Person data seems to be corrupt.\r\nDuplicate UniqueID: " +
                                std::to_string(Entity.UniqueID));
}

int TPyxPeople::Compare(const TPyxObject* A, const TPyxObject* B) const {
    const TPyxNation* NA = static_cast<const TPyxPerson*>(A)->Nation;
    const TPyxNation* NB = static_cast<const TPyxPerson*>(B)->Nation;
    int32_t KA = NA ? NA->ID : -1;
    int32_t KB = NB ? NB->ID : -1;
    return KA < KB ? -1 : (KA > KB ? 1 : 0);
}

namespace {

void Prefetch(const void* Record) {
    if (Record)
        __builtin_prefetch(Record);
}

} // namespace

void TPyxPeople::PrefetchReferences(const TPyxPerson& P) {
    Prefetch(P.FirstName);
    Prefetch(P.SecondName);
    Prefetch(P.CommonName);
    Prefetch(P.Nation);
    Prefetch(P.NationalTeam);
    Prefetch(P.ClubTeam);
    Prefetch(P.CityOfBirth);
    Prefetch(P.PersonData.get());
    Prefetch(P.Player.get());
    Prefetch(P.NonPlayer.get());
    if (P.Contracts.Count() > 0)
        Prefetch(P.Contracts.Items(0));
}

void TPyxPeople::PrefetchForMatches(int32_t Index) const {
    // Three stages, each reading only what the one before has fetched: a person, then the name records its
    // pointers lead to, then the texts those lead to.
    if (Index + 24 < Count())
        Prefetch(Items(Index + 24));
    if (Index + 12 < Count()) {
        const TPyxPerson* P = Items(Index + 12);
        Prefetch(P->FirstName);
        Prefetch(P->SecondName);
        Prefetch(P->CommonName);
    }
    if (Index + 6 < Count()) {
        const TPyxPerson* P = Items(Index + 6);
        if (P->FirstName)
            Prefetch(P->FirstName->Text.data());
        if (P->SecondName)
            Prefetch(P->SecondName->Text.data());
    }
}

void TPyxPeople::Sort() {
    if (Count() < 2)
        return;
    std::vector<int64_t> Keys(static_cast<size_t>(Count()));
    for (int32_t I = 0; I < Count(); ++I) {
        const TPyxNation* N = Items(I)->Nation;
        Keys[static_cast<size_t>(I)] = N ? N->ID : -1;
    }
    SortByKeys(Keys);
}

void TPyxPeople::ConvertIndexes(TPyxPersonLinks& Links) {
    LinkEach("Converting People Indexes", [&](TPyxPerson* P) {
        P->ConvertIndexes(Links);
        // The stored use counts come from the file and may be wrong; the name setters free a name only when no
        // person refers to it any more, which these counts tell.
        for (TPyxName* N : {P->FirstName, P->SecondName, P->CommonName})
            if (N)
                ++N->References;
    });
}

void TPyxPeople::PrepareForSave() {
    Loans_.clear();
    StartingInjuries_.clear();
    StartingConfidences_.clear();
    FutureTransfers_.clear();
    PersonDatas_.clear();
    PlayingDatas_.clear();
    NonPlayingDatas_.clear();
    PersonLanguageTotal = 0;
    // Each record is numbered by its position in its table.
    auto Number = [](const auto& Record, auto& Side) {
        if (!Record)
            return;
        Record->ID = static_cast<int32_t>(Side.size());
        Side.push_back(Record.get());
    };
    for (int32_t I = 0; I < Count(); ++I) {
        TPyxPerson* P = Items(I);
        // Each attached record is written with the person that owns it, also when the editor created it
        // without one: a record naming nobody would be dropped by the next load.
        auto NumberAttached = [&](const auto& Record, auto& Side) {
            if (Record)
                Record->Person = P;
            Number(Record, Side);
        };
        if (TPyxPlayer* Player = P->Player.get()) {
            NumberAttached(Player->Loan, Loans_);
            NumberAttached(Player->StartingInjury, StartingInjuries_);
            NumberAttached(Player->FutureTransfer, FutureTransfers_);
            Number(Player->PlayingData, PlayingDatas_);
        }
        if (TPyxNonPlayer* NonPlayer = P->NonPlayer.get()) {
            NumberAttached(NonPlayer->StartingConfidence, StartingConfidences_);
            Number(NonPlayer->NonPlayingData, NonPlayingDatas_);
        }
        if (!P->IsOfficial())
            Number(P->PersonData, PersonDatas_);
        for (const auto& L : P->Languages)
            L->Person = P;
        PersonLanguageTotal += P->Languages.Count();
        DoProgress(I, Count());
    }
}

void TPyxPeople::SavePersonLanguages(TPyxFileStream& Stream, int16_t Version) {
    Stream.WriteInt32(PersonLanguageTotal);
    for (int32_t I = 0; I < Count(); ++I) {
        Items(I)->Languages.SaveItems(Stream, Version);
        DoProgress(I, Count());
    }
}

void TPyxPeople::SavePeople(TPyxFileStream& Stream, int16_t Version) {
    Stream.WriteInt32(Count());
    Stream.WriteInt32(static_cast<int32_t>(PersonDatas_.size()));
    Stream.WriteInt32(static_cast<int32_t>(PlayingDatas_.size()));
    Stream.WriteInt32(static_cast<int32_t>(NonPlayingDatas_.size()));
    // A person record holds the IDs of some ten records it refers to (names, teams, nation, city, its parts and
    // data), which in a large world lie all over memory; waiting for each in turn was most of the time this took.
    // So the persons a little ahead are fetched first, and the records they refer to a little later.
    constexpr int32_t Ahead = 8;
    for (int32_t I = 0; I < Count(); ++I) {
        if (I + 2 * Ahead < Count())
            __builtin_prefetch(Items(I + 2 * Ahead));
        if (I + Ahead < Count())
            PrefetchReferences(*Items(I + Ahead));
        Items(I)->SaveToStream(Stream, Version);
        DoProgress(I, Count());
    }
}
