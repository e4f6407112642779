#pragma once

#include "PyxObjects.h"

#include <algorithm>
#include <vector>

// Checks that a list fits the width of its count field before it is written; a longer list fails the save instead
// of writing a wrapped count.
void CheckListCount(size_t Count, size_t Limit);

// A non-owning list of entity references. Between reading and linking it holds the raw keys read from the file
// (Keys); linking resolves them into entity references and drops the ones that match nothing.
template <class T> class TPyxList {
public:
    int32_t Count() const { return static_cast<int32_t>(Items_.size()); }
    T* Items(int32_t Index) const {
        return Index >= 0 && Index < Count() ? Items_[static_cast<size_t>(Index)] : nullptr;
    }
    void Add(T* Entity) { Items_.push_back(Entity); }
    void Insert(int32_t Index, T* Entity) { Items_.insert(Items_.begin() + Index, Entity); }
    void Delete(int32_t Index) { Items_.erase(Items_.begin() + Index); }
    void Clear() {
        Items_.clear();
        Keys.clear();
    }
    bool Contains(const T* Entity) const { return std::find(Items_.begin(), Items_.end(), Entity) != Items_.end(); }
    const std::vector<T*>& Data() const { return Items_; }
    auto begin() const { return Items_.begin(); }
    auto end() const { return Items_.end(); }

    void LoadByteCounted(TPyxFileStream& Stream) { LoadItems(Stream, Stream.ReadByte()); }
    void LoadWordCounted(TPyxFileStream& Stream) { LoadItems(Stream, Stream.ReadWord()); }
    void LoadItems(TPyxFileStream& Stream, int32_t N) {
        Stream.Require(4 * static_cast<int64_t>(N));
        Keys.reserve(Keys.size() + static_cast<size_t>(N));
        for (int32_t I = 0; I < N; ++I)
            Keys.push_back(Stream.ReadInt32());
    }

    // Resolves the raw keys by ID (or UniqueID) in Collection; unresolved keys are dropped, order is kept.
    template <class C> void ConvertIndexes(const C& Collection) {
        Resolve([&](int32_t K) { return static_cast<T*>(Collection.FindByID(K)); });
    }
    template <class C> void ConvertUniqueIndexes(const C& Collection) {
        Resolve([&](int32_t K) { return static_cast<T*>(Collection.FindByUniqueID(K)); });
    }

    void SaveByteCounted(TPyxFileStream& Stream) const {
        CheckListCount(Items_.size(), 255);
        Stream.WriteByte(static_cast<uint8_t>(Items_.size()));
        SaveItems(Stream);
    }
    void SaveWordCounted(TPyxFileStream& Stream) const {
        CheckListCount(Items_.size(), 65535);
        Stream.WriteWord(static_cast<uint16_t>(Items_.size()));
        SaveItems(Stream);
    }
    void SaveItems(TPyxFileStream& Stream) const {
        for (const T* E : Items_)
            TPyxObject::WriteID(E, Stream);
    }
    void SaveByteCountedUniqueIDs(TPyxFileStream& Stream) const {
        CheckListCount(Items_.size(), 255);
        Stream.WriteByte(static_cast<uint8_t>(Items_.size()));
        for (const T* E : Items_)
            TPyxObject::WriteUniqueID(E, Stream);
    }

    // Deletes every slot that refers to Entity.
    void RemoveAll(const T* Entity) { std::erase(Items_, Entity); }

    // Raw keys read from the file, until linking.
    std::vector<int32_t> Keys;

private:
    template <class F> void Resolve(F&& Find) {
        for (int32_t K : Keys)
            if (T* E = Find(K))
                Items_.push_back(E);
        Keys.clear();
        Keys.shrink_to_fit();
    }

    std::vector<T*> Items_;
};
