#pragma once

#include "PyxDate.h"
#include "PyxObjects.h"

class TPyxPerson;
class TPyxPeople;
class TPyxInjury;
class TPyxInjuries;

// An injury a player has when the game starts; after loading it belongs to the player.
class TPyxStartingInjury final : public TPyxObject {
public:
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;

    TPyxPerson* Person = nullptr;
    TPyxInjury* Injury = nullptr;
    TPyxDate StartDate;
    TPyxDate EndDate;
    uint8_t Extra1 = 0, Extra2 = 0, Extra3 = 0;

    // Raw keys read from the file, until linking.
    int32_t PersonKey = -1, InjuryKey = -1;
};

class TPyxStartingInjuries final : public TPyxCollection<TPyxStartingInjury> {
public:
    TPyxStartingInjuries() : TPyxCollection("Starting Injuries") {}
    const char* ClassName() const override { return "TPyxStartingInjuries"; }
    int64_t MinRecordSize() const override { return 28; }
    void ConvertIndexes(const TPyxPeople& People, const TPyxInjuries& Injuries);
};
