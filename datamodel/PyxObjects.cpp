#include "PyxObjects.h"

#include "PyxQuickSort.h"

#include <algorithm>
#include <new>

int ProgressPercent(int64_t Index, int64_t Total) {
    if (Total <= 0)
        return 100;
    return static_cast<int>((Index + 1) * 100 / Total);
}

TPyxObjects::~TPyxObjects() = default;

int TPyxObjects::Compare(const TPyxObject* A, const TPyxObject* B) const {
    if (A->ID < B->ID)
        return -1;
    if (A->ID > B->ID)
        return 1;
    return 0;
}

void TPyxObjects::Clear() {
    Items_.clear();
    IDTable_.Clear();
    UniqueIDTable_.Clear();
}

void TPyxObjects::SkipLangRecord(TPyxFileStream& /*Stream*/) {}

int32_t TPyxObjects::IndexOf(const TPyxObject* Entity) const {
    for (size_t I = 0; I < Items_.size(); ++I)
        if (Items_[I].get() == Entity)
            return static_cast<int32_t>(I);
    return -1;
}

TPyxObject* TPyxObjects::Add(std::unique_ptr<TPyxObject> Entity, bool Index) {
    TPyxObject* E = Entity.get();
    Items_.push_back(std::move(Entity));
    if (Index) {
        IDTable_.Put(E->ID, E);
        UniqueIDTable_.Put(E->UniqueID, E);
    }
    return E;
}

std::unique_ptr<TPyxObject> TPyxObjects::Extract(TPyxObject* Entity) {
    int32_t I = IndexOf(Entity);
    if (I < 0)
        return nullptr;
    std::unique_ptr<TPyxObject> Owned = std::move(Items_[static_cast<size_t>(I)]);
    Items_.erase(Items_.begin() + I);
    // Only drop index entries that point at this entity: a duplicate key may index another one.
    if (IDTable_.Get(Entity->ID) == Entity)
        IDTable_.Remove(Entity->ID);
    if (UniqueIDTable_.Get(Entity->UniqueID) == Entity)
        UniqueIDTable_.Remove(Entity->UniqueID);
    return Owned;
}

void TPyxObjects::Delete(TPyxObject* Entity) {
    Extract(Entity);
}

std::vector<std::unique_ptr<TPyxObject>> TPyxObjects::ReleaseAll() {
    std::vector<std::unique_ptr<TPyxObject>> Out = std::move(Items_);
    Items_.clear();
    // The records move to their owners for good: the indexes give back their memory rather than stay sized for
    // a table that stays empty until the next load.
    IDTable_.SetBucketCount(1);
    UniqueIDTable_.SetBucketCount(1);
    return Out;
}

void TPyxObjects::RaiseRecordType(const char* Plural, int RecordType) {
    throw EFileCorruptError(std::string(Plural) +
                            " seems to be corrupt.\r\nRecord Type: " + std::to_string(RecordType));
}

void TPyxObjects::LoadFromStream(TPyxFileStream& Stream, int16_t Version, bool PersonPrefix) {
    int32_t Total = Stream.ReadInt32();
    if (PersonPrefix)
        Stream.Skip(12);
    // Decide against the bytes that remain before anything is allocated for the records.
    const int64_t PerRecord = MinRecordSize() + (PersonPrefix ? 4 : 0);
    if (Total < 0 || static_cast<int64_t>(Total) * PerRecord > Stream.Remaining())
        throw EFileCorruptError("The record count " + std::to_string(Total) + " is impossible for the " +
                                std::to_string(Stream.Remaining()) +
                                " bytes that remain.\r\nClass Type: " + ClassName());
    Items_.reserve(Items_.size() + static_cast<size_t>(Total));
    const bool Indexed = IndexedOnLoad();
    IDTable_.SetBucketCount(Indexed ? Total : 1);
    UniqueIDTable_.SetBucketCount(Indexed ? Total : 1);
    for (int32_t I = 0; I < Total; ++I) {
        std::unique_ptr<TPyxObject> Entity;
        bool Keep = false;
        try {
            if (PersonPrefix)
                Stream.Skip(4);
            uint8_t RecordType = Stream.ReadByte();
            Entity = CreateEntity(RecordType);
            Entity->LoadFromStream(Stream, Version);
            Keep = !Entity->DiscardOnLoad();
            if (Keep)
                CheckNewKeys(*Entity);
        } catch (const EFileCorruptError& E) {
            throw EPyxLoadError("Error Loading Entity Number: " + std::to_string(I) + "\r\n" +
                                    "File Position: " + std::to_string(Stream.Position()) + "\r\n" +
                                    "Class Type: " + ClassName() + "\r\n" + E.what(),
                                Stream.Position());
        } catch (const std::bad_alloc&) {
            throw EPyxLoadError("Out of memory while loading Entity Number: " + std::to_string(I) +
                                    " from: " + ClassName(),
                                Stream.Position());
        }
        // A record read only to be dropped (a retired person) still holds its keys: files this save may leave
        // as they are (the playing histories) and the game's own files name it by them, so a new entity must not
        // be given them.
        MaxID_ = std::max(MaxID_, Entity->ID);
        MaxUniqueID_ = std::max(MaxUniqueID_, Entity->UniqueID);
        if (Keep)
            Add(std::move(Entity), Indexed);
        DoProgress(I, Total);
    }
}

void TPyxObjects::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteInt32(Count());
    for (int32_t I = 0; I < Count(); ++I) {
        Items_[static_cast<size_t>(I)]->SaveToStream(Stream, Version);
        DoProgress(I, Count());
    }
}

void TPyxObjects::LoadLanguage(TPyxFileStream& Stream, TPyxLanguage* Language, int Mode) {
    if (Mode == 1 || Mode == 2)
        for (auto& E : Items_) {
            if (Mode == 1)
                E->CreateLangObjects();
            E->AddLangObject(Language);
        }
    int32_t Total = Stream.ReadInt32();
    // A negative count would read no texts, and the next save would write every entity without them.
    if (Total < 0)
        throw EFileCorruptError("The record count " + std::to_string(Total) +
                                " is impossible.\r\nClass Type: " + ClassName());
    // Every language record starts with its int32 UniqueID.
    Stream.Require(static_cast<int64_t>(Total) * 4);
    for (int32_t I = 0; I < Total; ++I) {
        TPyxObject* E = FindByUniqueID(Stream.ReadInt32());
        if (!E)
            SkipLangRecord(Stream);
        else if (Mode == 0)
            E->LoadLangFromStream(Stream);
        else
            E->LoadIntoLastLang(Stream);
    }
}

void TPyxObjects::SaveLangToStream(TPyxFileStream& Stream, int LangIndex) const {
    Stream.WriteInt32(Count());
    for (const auto& E : Items_) {
        Stream.WriteInt32(E->UniqueID);
        if (LangIndex == 0) {
            E->SaveLangToStream(Stream);
        } else {
            TPyxLangObject* L = E->LangObjects ? E->LangObjects->Items(LangIndex - 1) : nullptr;
            if (!L)
                throw EFileCorruptError("An entity has no texts for language " + std::to_string(LangIndex) +
                                        ".\r\nClass Type: " + ClassName() +
                                        "\r\nUniqueID: " + std::to_string(E->UniqueID));
            L->SaveToStream(Stream);
        }
    }
}

void TPyxObjects::Sort() {
    // Compares entities through Compare; the pivot is the entity itself, which stays put while slots are swapped.
    struct TSequence {
        TPyxObjects& Objects;
        std::vector<std::unique_ptr<TPyxObject>>& Items;
        const TPyxObject* PivotAt(int32_t Index) const { return Items[static_cast<size_t>(Index)].get(); }
        int Compare(int32_t Index, const TPyxObject* Pivot) const {
            return Objects.Compare(Items[static_cast<size_t>(Index)].get(), Pivot);
        }
        void Swap(int32_t A, int32_t B) { std::swap(Items[static_cast<size_t>(A)], Items[static_cast<size_t>(B)]); }
        void Fallback(int32_t L, int32_t R) {
            std::stable_sort(Items.begin() + L, Items.begin() + R + 1,
                             [this](const auto& A, const auto& B) { return Objects.Compare(A.get(), B.get()) < 0; });
        }
    } Seq{*this, Items_};
    HoareQuickSort(Seq, Count());
}

void TPyxObjects::SortByKeys(std::vector<int64_t>& Keys) {
    struct TSequence {
        std::vector<int64_t>& Keys;
        std::vector<std::unique_ptr<TPyxObject>>& Items;
        int64_t PivotAt(int32_t Index) const { return Keys[static_cast<size_t>(Index)]; }
        int Compare(int32_t Index, int64_t Pivot) const {
            const int64_t Key = Keys[static_cast<size_t>(Index)];
            return Key < Pivot ? -1 : (Key > Pivot ? 1 : 0);
        }
        void Swap(int32_t A, int32_t B) {
            std::swap(Keys[static_cast<size_t>(A)], Keys[static_cast<size_t>(B)]);
            std::swap(Items[static_cast<size_t>(A)], Items[static_cast<size_t>(B)]);
        }
        void Fallback(int32_t L, int32_t R) {
            std::vector<std::pair<int64_t, std::unique_ptr<TPyxObject>>> Range;
            Range.reserve(static_cast<size_t>(R - L + 1));
            for (int32_t I = L; I <= R; ++I)
                Range.emplace_back(Keys[static_cast<size_t>(I)], std::move(Items[static_cast<size_t>(I)]));
            std::stable_sort(Range.begin(), Range.end(),
                             [](const auto& A, const auto& B) { return A.first < B.first; });
            for (int32_t I = L; I <= R; ++I) {
                Keys[static_cast<size_t>(I)] = Range[static_cast<size_t>(I - L)].first;
                Items[static_cast<size_t>(I)] = std::move(Range[static_cast<size_t>(I - L)].second);
            }
        }
    } Seq{Keys, Items_};
    HoareQuickSort(Seq, Count());
}

void TPyxObjects::RenumberByIndex() {
    for (int32_t I = 0; I < Count(); ++I) {
        Items_[static_cast<size_t>(I)]->ID = I;
        DoProgress(I, Count());
    }
    IDTable_.SetBucketCount(Count());
    for (auto& E : Items_)
        IDTable_.Put(E->ID, E.get());
}

void TPyxObjects::RebuildIndexes() {
    IDTable_.SetBucketCount(Count());
    UniqueIDTable_.SetBucketCount(Count());
    for (auto& E : Items_) {
        IDTable_.Put(E->ID, E.get());
        UniqueIDTable_.Put(E->UniqueID, E.get());
    }
}
