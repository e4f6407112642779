#pragma once

#include "PyxObjects.h"

// The histories of one award or competition: a record a year, kept in year order when saved.
template <class T> class TPyxYearHistories : public TPyxCollection<T> {
public:
    using TPyxCollection<T>::TPyxCollection;

    // By year.
    int Compare(const TPyxObject* A, const TPyxObject* B) const override {
        const int16_t YA = static_cast<const T*>(A)->Year;
        const int16_t YB = static_cast<const T*>(B)->Year;
        return YA < YB ? -1 : (YA > YB ? 1 : 0);
    }
    // Sorts the histories by year and numbers them from Next on. Each is stamped with Owner, the award or
    // competition whose list holds it: the table names a history's owner only by that field, so a history the
    // editor added without it, or moved from another owner's list, would otherwise be dropped or moved back by the
    // next load.
    template <class O> void RenumberFrom(int32_t& Next, O* Owner) {
        this->Sort();
        for (auto& H : this->Items_) {
            static_cast<T*>(H.get())->SetOwner(Owner);
            H->ID = Next++;
        }
        this->RebuildIndexes();
    }
};

// The collection of the awards or the competitions, whose histories the save writes as one table of their own.
template <class T> class TPyxHistoryOwners : public TPyxCollection<T> {
public:
    using TPyxCollection<T>::TPyxCollection;

    // Sorts each owner's histories by year and numbers them 0.. across all owners in owner order, each stamped
    // with its owner.
    void RenumberHistories() {
        HistoryCount = 0;
        for (int32_t I = 0; I < this->Count(); ++I) {
            T* Owner = this->Items(I);
            Owner->Histories.RenumberFrom(HistoryCount, Owner);
            this->DoProgress(I, this->Count());
        }
    }
    // The histories table, rebuilt from the owners; RenumberHistories runs first.
    void SaveHistories(TPyxFileStream& Stream, int16_t Version) const {
        Stream.WriteInt32(HistoryCount);
        for (int32_t I = 0; I < this->Count(); ++I) {
            this->Items(I)->Histories.ForEach([&](const auto* H) { H->SaveToStream(Stream, Version); });
            this->DoProgress(I, this->Count());
        }
    }

    int32_t HistoryCount = 0;
};
