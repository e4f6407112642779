#pragma once

#include "PyxSupportClasses.h"

class TPyxCity;
class TPyxCities;
class TPyxCompetition;
class TPyxCompetitions;

// The official (referee) part of a person.
class TPyxOfficial final {
public:
    void LoadFromStream(TPyxFileStream& Stream);
    void SaveToStream(TPyxFileStream& Stream) const;
    void ConvertIndexes(const TPyxCities& Cities, const TPyxCompetitions& Competitions);

    TPyxCity* City = nullptr;
    int16_t CurrentAbility = 0, PotentialAbility = 0, Reputation = 0;
    uint8_t AllowingFlow = 0, Discipline = 0, ImportantMatches = 0, Pressure = 0, Refereeing = 0, RunningLine = 0,
            Timekeeping = 0;
    uint8_t FIFAOfficial = 0, ContinentalOfficial = 0, AssistantRefereeOnly = 0;
    TPyxCompetition* Division = nullptr; // by UniqueID on disk

    // Raw keys read from the file, until linking.
    int32_t CityKey = -1;
    int32_t DivisionKey = 0;
};
