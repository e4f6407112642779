#pragma once

#include "PyxPersonData.h"
#include "PyxRecordPool.h"
#include "PyxStartingConfidence.h"

template <class T> class TPyxHandOver;

// The staff part of a person: its block of the person record, its attribute record and its starting confidence.
class TPyxNonPlayer final : public TPyxPooled<TPyxNonPlayer> {
public:
    // A part about to be read from a file gets its attribute record at linking instead.
    explicit TPyxNonPlayer(bool WithNonPlayingData = true);

    void LoadFromStream(TPyxFileStream& Stream);
    void SaveToStream(TPyxFileStream& Stream) const;
    // Takes the attribute record the block names; EFileCorruptError when there is none.
    void ConvertIndexes(TPyxHandOver<TPyxNonPlayingData>& NonPlayingDatas);
    void SetStartingConfidence(std::unique_ptr<TPyxStartingConfidence> S) { StartingConfidence = std::move(S); }
    // Codes 0..17; anything else stores 0.
    void SetPreferredFormation(uint8_t Code) { PreferredFormation = Code < 18 ? Code : 0; }

    int16_t HomeReputation = 0, CurrentReputation = 0, WorldReputation = 0, CurrentAbility = 0, PotentialAbility = 0;
    uint8_t PreferredFormation = 0;
    std::unique_ptr<TPyxNonPlayingData> NonPlayingData;
    std::unique_ptr<TPyxStartingConfidence> StartingConfidence;

    // Raw key read from the file, until linking.
    int32_t NonPlayingDataKey = -1;
};
