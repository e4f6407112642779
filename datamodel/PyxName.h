#pragma once

#include "PyxObjects.h"
#include "PyxRecordPool.h"

class TPyxNation;
class TPyxNations;

// One entry of a shared name pool (first, second or common names): the text, the nation whose pool holds it and
// the number of persons that use it.
class TPyxName final : public TPyxObject, public TPyxPooled<TPyxName> {
public:
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;

    void IncUseCount() { ++UseCount; }
    void DecUseCount() { --UseCount; }

    std::u16string Text;
    // The count stored in the file; a file may understate it, so it never decides alone that a name is unused.
    int16_t UseCount = 0;
    TPyxNation* Nation = nullptr;
    // The persons that refer to this name: counted when the persons are linked and kept by the name setters.
    // Not stored.
    int32_t References = 0;

    // Raw key read from the file, until linking.
    int32_t NationKey = -1;
};

class TPyxNames final : public TPyxCollection<TPyxName> {
public:
    TPyxNames() : TPyxCollection("Names") {}
    const char* ClassName() const override { return "TPyxNames"; }
    // By the nation's ID (no nation counts as -1), then by use count.
    int Compare(const TPyxObject* A, const TPyxObject* B) const override;
    // The quicksort, then ID := position.
    void Sort() override;
    int64_t MinRecordSize() const override { return 19; }

    void ConvertIndexes(const TPyxNations& Nations);
    // The name with this exact text in Nation's pool, added with a fresh UniqueID when there is none. The caller
    // increments its use count.
    TPyxName* FindOrAdd(const std::u16string& Text, TPyxNation* Nation);
    // Takes one use of the name for Text in Nation's pool (none for an empty text): the name found or added, with
    // its stored count and its references raised.
    TPyxName* Acquire(const std::u16string& Text, TPyxNation* Nation);
    // Gives back one use of Name: the stored count and the references drop, and the name is deleted and freed once
    // its stored count is below 1 and no person refers to it any more.
    void Release(TPyxName* Name);
};

// The three pools persons take their names from. A person's names stand in the pool entries of the person's nation,
// so setting a name or the nation moves the person's references between entries.
struct TPyxNamePools {
    TPyxNames FirstNames;
    TPyxNames SecondNames;
    TPyxNames CommonNames;
};
