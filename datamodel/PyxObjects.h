#pragma once

#include "Hashtable.h"
#include "PyxObject.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using TStatusEvent = std::function<void(const std::string& Text)>;
using TProgressEvent = std::function<void(int Percent)>;

// Trunc((Index + 1) / Total * 100), and 100 when Total is 0 or less.
int ProgressPercent(int64_t Index, int64_t Total);

// The status and progress events of the long operations (load, linking, sort, save), and the calls that raise each
// when it is set.
struct TPyxEvents {
    TStatusEvent OnStatus;
    TProgressEvent OnProgress;

    void DoStatus(const std::string& Text) const {
        if (OnStatus)
            OnStatus(Text);
    }
    void DoProgress(int64_t Index, int64_t Total) const {
        if (OnProgress)
            OnProgress(ProgressPercent(Index, Total));
    }
};

// The owning collection of one entity kind: entities in file (or sorted) order, hash indexes by ID and by
// UniqueID, the highest keys seen, and status and progress events.
class TPyxObjects : public TPyxEvents {
public:
    TPyxObjects() = default;
    virtual ~TPyxObjects();
    TPyxObjects(const TPyxObjects&) = delete;
    TPyxObjects& operator=(const TPyxObjects&) = delete;

    // The class name that load failures report ("Class Type: TPyxClubs").
    virtual const char* ClassName() const = 0;
    // A new entity for a record-type byte; kinds raise EFileCorruptError for types they do not know.
    virtual std::unique_ptr<TPyxObject> CreateEntity(uint8_t RecordType) = 0;
    // -1, 0 or 1 by ID.
    virtual int Compare(const TPyxObject* A, const TPyxObject* B) const;
    // Frees every entity and empties both indexes; MaxID and MaxUniqueID keep their values.
    virtual void Clear();
    // Writes one language table: the count, then each entity's UniqueID and its texts in language LangIndex
    // (0 the default language, k the entity's (k-1)-th language object).
    virtual void SaveLangToStream(TPyxFileStream& Stream, int LangIndex) const;
    // Skips one language record whose UniqueID has no entity.
    virtual void SkipLangRecord(TPyxFileStream& Stream);
    // Removes Entity from the list and both indexes and frees it, unlinking nothing. The kinds whose entities are
    // referenced from other kinds hide it: the database deletes those (TPyxDatabase::DeleteClub and the like).
    void Delete(TPyxObject* Entity);
    // The quicksort by Compare; kinds that renumber override it.
    virtual void Sort();
    // The fewest bytes one record of the kind takes in its table; counts read from a file are checked against it.
    virtual int64_t MinRecordSize() const { return 9; }
    // Whether LoadFromStream enters the records in the ID and UniqueID indexes. Tables whose records all move to
    // their owners right after loading, and are never looked up here, need not build indexes they drop at once.
    virtual bool IndexedOnLoad() const { return true; }
    // Called for each record read, before it joins the collection. The base keeps duplicate keys (the indexes keep
    // the later entity); kinds for which a duplicate key cannot be resolved raise EFileCorruptError.
    virtual void CheckNewKeys(const TPyxObject& /*Entity*/) const {}

    int32_t Count() const { return static_cast<int32_t>(Items_.size()); }
    TPyxObject* Items(int32_t Index) const {
        return Index >= 0 && Index < Count() ? Items_[static_cast<size_t>(Index)].get() : nullptr;
    }
    // Runs Matches(Text) over every entity in Items order and calls Visit(Index, Entity, Matched) after each: the
    // search the editor lists its results from. A kind whose Matches reads other records (a person reads its
    // names) fetches them a few entities ahead in PrefetchForMatches; in a collection of 300,000 persons, waiting
    // for them one person after the other was most of a search's time.
    template <class TVisit> void SearchMatches(const std::u16string& Text, TVisit&& Visit) const {
        const int32_t N = Count();
        for (int32_t I = 0; I < N; ++I) {
            PrefetchForMatches(I);
            TPyxObject* Entity = Items_[static_cast<size_t>(I)].get();
            Visit(I, Entity, Entity->Matches(Text));
        }
    }
    // Called by SearchMatches before entity Index is tried; kinds fetch what entities further on will need.
    virtual void PrefetchForMatches(int32_t /*Index*/) const {}

    TPyxObject* FindByID(int32_t Key) const { return IDTable_.Get(Key); }
    TPyxObject* FindByUniqueID(int32_t Key) const { return UniqueIDTable_.Get(Key); }
    int32_t IndexOf(const TPyxObject* Entity) const;

    // Appends Entity; with Index also enters it in both indexes. MaxID and MaxUniqueID are not changed.
    TPyxObject* Add(std::unique_ptr<TPyxObject> Entity, bool Index);
    // Removes Entity from the list and both indexes and hands it to the caller.
    std::unique_ptr<TPyxObject> Extract(TPyxObject* Entity);
    // Hands every entity to the caller and empties the collection (attached records passing to their owners).
    std::vector<std::unique_ptr<TPyxObject>> ReleaseAll();

    // Each call consumes a number above every key seen.
    int32_t NextID() { return ++MaxID_; }
    int32_t NextUniqueID() { return ++MaxUniqueID_; }
    int32_t MaxID() const { return MaxID_; }
    int32_t MaxUniqueID() const { return MaxUniqueID_; }
    // Records a UniqueID taken elsewhere (one shared with another collection), so that NextUniqueID stays above it.
    void NoteUniqueID(int32_t UniqueID) {
        if (UniqueID > MaxUniqueID_)
            MaxUniqueID_ = UniqueID;
    }

    // Reads a table: int32 Count (with PersonPrefix, a 12-byte block after it and 4 bytes before every record),
    // then Count records of a type byte and the entity's fields.
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version, bool PersonPrefix);
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const;
    // Reads one language table of lang_db.dat. Mode 0: the default language into the entities' own fields;
    // mode 1: the first extra language (creates the language objects); mode 2: each further extra language.
    void LoadLanguage(TPyxFileStream& Stream, TPyxLanguage* Language, int Mode);

protected:
    // ID := list index for every entity, with progress, and the ID index rebuilt to match.
    void RenumberByIndex();
    // Re-enters every entity in both indexes.
    void RebuildIndexes();
    // Sort's quicksort over Keys, one per entity in Items order, for kinds whose comparison is a key compare: it
    // reads the array rather than two entities per comparison, and moves keys and entities together. The same
    // keys give the same comparisons and so the same order, ties included.
    void SortByKeys(std::vector<int64_t>& Keys);
    // "<Plural> seems to be corrupt.\r\nRecord Type: <n>".
    [[noreturn]] static void RaiseRecordType(const char* Plural, int RecordType);

    std::vector<std::unique_ptr<TPyxObject>> Items_;
    THashtable<TPyxObject> IDTable_;
    THashtable<TPyxObject> UniqueIDTable_;
    int32_t MaxID_ = 0;
    int32_t MaxUniqueID_ = 0;
};

// Typed access for the collection of kind T.
template <class T> class TPyxCollection : public TPyxObjects {
public:
    // Most tables hold one record kind, of type byte 0, whose entity is a T made with no arguments. Kinds that tell
    // records apart by the type byte, or make their entities with arguments, override it.
    std::unique_ptr<TPyxObject> CreateEntity(uint8_t RecordType) override { return CreateRecord(RecordType); }

    T* Items(int32_t Index) const { return static_cast<T*>(TPyxObjects::Items(Index)); }
    T* FindByID(int32_t Key) const { return static_cast<T*>(TPyxObjects::FindByID(Key)); }
    T* FindByUniqueID(int32_t Key) const { return static_cast<T*>(TPyxObjects::FindByUniqueID(Key)); }

    template <class F> void ForEach(F&& Fn) const {
        for (const auto& E : Items_)
            Fn(static_cast<T*>(E.get()));
    }
    // Clears Field in every entity where it refers to Target, an entity about to be deleted.
    template <class V> void ClearReferences(V* T::*Field, const V* Target) const {
        ForEach([&](T* E) {
            if (E->*Field == Target)
                E->*Field = nullptr;
        });
    }

protected:
    // Plural names the table in the message on a record of a type it does not hold ("<Plural> seems to be corrupt.").
    explicit TPyxCollection(const char* Plural) : Plural_(Plural) {}

    // CreateEntity's work: type byte 0 makes a new T from Args; any other raises EFileCorruptError.
    template <class... TArgs> std::unique_ptr<TPyxObject> CreateRecord(uint8_t RecordType, TArgs&&... Args) const {
        if (RecordType != 0)
            RaiseRecordType(Plural_, RecordType);
        return std::make_unique<T>(std::forward<TArgs>(Args)...);
    }
    // The linking pass of a table whose entities stay in it: Link resolves the keys of each entity in turn.
    template <class F> void LinkEach(const std::string& Status, F&& Link) {
        DoStatus(Status);
        for (int32_t I = 0; I < Count(); ++I) {
            Link(Items(I));
            DoProgress(I, Count());
        }
    }
    // The linking pass of a load-time table whose records belong to other entities: every record leaves the
    // collection and goes to HandOver, which resolves its keys and gives it to its owner; a record it does not
    // take is freed. The collection is empty afterwards.
    template <class F> void HandOverAll(const std::string& Status, F&& HandOver) {
        DoStatus(Status);
        auto Loaded = ReleaseAll();
        const int64_t Total = static_cast<int64_t>(Loaded.size());
        for (int64_t I = 0; I < Total; ++I) {
            HandOver(std::unique_ptr<T>(static_cast<T*>(Loaded[static_cast<size_t>(I)].release())));
            DoProgress(I, Total);
        }
    }

private:
    const char* Plural_;
};
