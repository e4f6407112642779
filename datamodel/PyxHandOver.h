#pragma once

#include "Hashtable.h"
#include "PyxObjects.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_map>

// Hands the records of a load-time table (person data and the like) to the entities that refer to them by ID,
// each record to one owner only. It takes every record out of the table at once; records nobody took are freed
// with it, so an owner and the table never both hold a record, even when linking fails half-way.
template <class T> class TPyxHandOver final {
public:
    // TableName names the table in the message of a second claim ("Person Data").
    TPyxHandOver(TPyxObjects& Source, std::string TableName)
        : TableName_(std::move(TableName)), Records_(Source.ReleaseAll()) {
        // A saved table numbers its records 0, 1, 2, ...: then a plain array by ID finds them, in a fraction of the
        // time and memory a hash map over some 300,000 records takes. Other numberings take the map.
        const size_t DenseLimit = 2 * Records_.size() + 16;
        bool IsDense = Records_.size() < NoSlot;
        int32_t MaxID = -1;
        for (const auto& Record : Records_) {
            IsDense = IsDense && Record->ID >= 0 && static_cast<size_t>(Record->ID) < DenseLimit;
            MaxID = std::max(MaxID, Record->ID);
        }
        if (IsDense)
            Dense_.assign(static_cast<size_t>(MaxID + 1), NoSlot);
        else
            Slots_.reserve(Records_.size());
        // Later records win a duplicate ID, as in the table's own index.
        for (size_t I = 0; I < Records_.size(); ++I)
            if (IsDense)
                Dense_[static_cast<size_t>(Records_[I]->ID)] = static_cast<uint32_t>(I);
            else
                Slots_[Records_[I]->ID] = I;
    }

    // The record with this ID for its new owner; nil when there is none. A record already handed to another owner
    // raises EFileCorruptError.
    std::unique_ptr<T> Take(int32_t ID, const char* OwnerKind) {
        const size_t Slot = Find(ID);
        if (Slot == static_cast<size_t>(NoSlot))
            return nullptr;
        auto& Record = Records_[Slot];
        if (!Record)
            throw EFileCorruptError(TableName_ + " seems to be corrupt.\r\nRecord " + std::to_string(ID) +
                                    " belongs to more than one " + OwnerKind + ".");
        return std::unique_ptr<T>(static_cast<T*>(Record.release()));
    }

private:
    static constexpr uint32_t NoSlot = UINT32_MAX;

    size_t Find(int32_t ID) const {
        if (!Slots_.empty() || Dense_.empty()) {
            auto It = Slots_.find(ID);
            return It == Slots_.end() ? NoSlot : It->second;
        }
        return ID >= 0 && static_cast<size_t>(ID) < Dense_.size() ? Dense_[static_cast<size_t>(ID)] : NoSlot;
    }

    std::string TableName_;
    std::vector<std::unique_ptr<TPyxObject>> Records_;
    std::vector<uint32_t> Dense_; // by ID, when the IDs are small and not negative
    std::unordered_map<int32_t, size_t, TMixedKeyHash> Slots_;
};
