#pragma once

#include "Hashtable.h"
#include "PyxObjects.h"

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
        Slots_.reserve(Records_.size());
        // Later records win a duplicate ID, as in the table's own index.
        for (size_t I = 0; I < Records_.size(); ++I)
            Slots_[Records_[I]->ID] = I;
    }

    // The record with this ID for its new owner; nil when there is none. A record already handed to another owner
    // raises EFileCorruptError.
    std::unique_ptr<T> Take(int32_t ID, const char* OwnerKind) {
        auto It = Slots_.find(ID);
        if (It == Slots_.end())
            return nullptr;
        auto& Record = Records_[It->second];
        if (!Record)
            throw EFileCorruptError(TableName_ + " seems to be corrupt.\r\nRecord " + std::to_string(ID) +
                                    " belongs to more than one " + OwnerKind + ".");
        return std::unique_ptr<T>(static_cast<T*>(Record.release()));
    }

private:
    std::string TableName_;
    std::vector<std::unique_ptr<TPyxObject>> Records_;
    std::unordered_map<int32_t, size_t, TMixedKeyHash> Slots_;
};
