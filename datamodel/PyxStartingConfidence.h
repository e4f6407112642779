#pragma once

#include "PyxObjects.h"

class TPyxPerson;
class TPyxPeople;

// A staff member's starting confidence of board and fans; after loading it belongs to the staff member.
class TPyxStartingConfidence final : public TPyxObject {
public:
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;

    TPyxPerson* Person = nullptr;
    int16_t BoardConfidence = 0;
    int16_t FanConfidence = 0;

    // Raw key read from the file, until linking.
    int32_t PersonKey = -1;
};

class TPyxStartingConfidences final : public TPyxCollection<TPyxStartingConfidence> {
public:
    TPyxStartingConfidences() : TPyxCollection("Starting Confidence") {}
    const char* ClassName() const override { return "TPyxStartingConfidences"; }
    int64_t MinRecordSize() const override { return 17; }
    void ConvertIndexes(const TPyxPeople& People);
};
