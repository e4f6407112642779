#pragma once

#include "PyxList.h"
#include "PyxObjects.h"

#include <memory>
#include <vector>

// An owning list of small records that are not entities (kit colours, contracts, relationships, person languages,
// transfer infos); each kind reads and writes its items.
template <class T> class TPyxObjectList {
public:
    virtual ~TPyxObjectList() = default;
    TPyxObjectList() = default;
    TPyxObjectList(const TPyxObjectList&) = delete;
    TPyxObjectList& operator=(const TPyxObjectList&) = delete;

    virtual std::unique_ptr<T> ReadItem(TPyxFileStream& Stream, int16_t Version) = 0;
    virtual void WriteItem(TPyxFileStream& Stream, int32_t Index, int16_t Version) const = 0;
    // The fewest bytes one item takes; counts read from a file are checked against it.
    virtual int64_t MinItemSize() const { return 1; }

    int32_t Count() const { return static_cast<int32_t>(Items_.size()); }
    T* Items(int32_t Index) const {
        return Index >= 0 && Index < Count() ? Items_[static_cast<size_t>(Index)].get() : nullptr;
    }
    T* Add(std::unique_ptr<T> Item) {
        Items_.push_back(std::move(Item));
        return Items_.back().get();
    }
    T* Insert(int32_t Index, std::unique_ptr<T> Item) {
        return Items_.insert(Items_.begin() + Index, std::move(Item))->get();
    }
    // Removes the item at Index and hands it to the caller.
    std::unique_ptr<T> Delete(int32_t Index) {
        std::unique_ptr<T> Item = std::move(Items_[static_cast<size_t>(Index)]);
        Items_.erase(Items_.begin() + Index);
        return Item;
    }
    std::unique_ptr<T> Remove(const T* Item) {
        for (int32_t I = 0; I < Count(); ++I)
            if (Items_[static_cast<size_t>(I)].get() == Item)
                return Delete(I);
        return nullptr;
    }
    void Clear() { Items_.clear(); }
    int32_t IndexOf(const T* Item) const {
        for (int32_t I = 0; I < Count(); ++I)
            if (Items_[static_cast<size_t>(I)].get() == Item)
                return I;
        return -1;
    }
    auto begin() const { return Items_.begin(); }
    auto end() const { return Items_.end(); }

    void LoadByteCounted(TPyxFileStream& Stream, int16_t Version) { LoadItems(Stream, Stream.ReadByte(), Version); }
    void LoadWordCounted(TPyxFileStream& Stream, int16_t Version) { LoadItems(Stream, Stream.ReadWord(), Version); }
    void LoadIntCounted(TPyxFileStream& Stream, int16_t Version) { LoadItems(Stream, Stream.ReadInt32(), Version); }
    void LoadItems(TPyxFileStream& Stream, int32_t N, int16_t Version) {
        // Decide against the bytes that remain before anything is allocated for the items.
        if (N < 0 || static_cast<int64_t>(N) * MinItemSize() > Stream.Remaining())
            throw EFileCorruptError("The item count " + std::to_string(N) + " is impossible for the " +
                                    std::to_string(Stream.Remaining()) + " bytes that remain.");
        Items_.reserve(Items_.size() + static_cast<size_t>(N));
        for (int32_t I = 0; I < N; ++I) {
            Items_.push_back(ReadItem(Stream, Version));
            DoProgress(I, N);
        }
    }

    void SaveByteCounted(TPyxFileStream& Stream, int16_t Version) const {
        CheckListCount(Items_.size(), 255);
        Stream.WriteByte(static_cast<uint8_t>(Items_.size()));
        SaveItems(Stream, Version);
    }
    void SaveWordCounted(TPyxFileStream& Stream, int16_t Version) const {
        CheckListCount(Items_.size(), 65535);
        Stream.WriteWord(static_cast<uint16_t>(Items_.size()));
        SaveItems(Stream, Version);
    }
    void SaveItems(TPyxFileStream& Stream, int16_t Version) const {
        for (int32_t I = 0; I < Count(); ++I) {
            WriteItem(Stream, I, Version);
            DoProgress(I, Count());
        }
    }

    void DoStatus(const std::string& Text) const {
        if (Events_)
            Events_->DoStatus(Text);
    }
    void DoProgress(int64_t Index, int64_t Total) const {
        if (Events_)
            Events_->DoProgress(Index, Total);
    }
    // Status and progress events, for a list the database reads as a table of its own (the person languages).
    void SetEvents(TStatusEvent OnStatus, TProgressEvent OnProgress) {
        Events_ = std::make_unique<TPyxEvents>(TPyxEvents{std::move(OnStatus), std::move(OnProgress)});
    }

protected:
    std::vector<std::unique_ptr<T>> Items_;

private:
    // Every person holds three of these lists and none of them reports: two std::function members in each would
    // be 192 bytes a person, a third of a loaded person, so the events live behind a pointer set only when wanted.
    std::unique_ptr<TPyxEvents> Events_;
};
