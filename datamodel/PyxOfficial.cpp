#include "PyxOfficial.h"

#include "PyxCity.h"
#include "PyxCompetition.h"

void TPyxOfficial::LoadFromStream(TPyxFileStream& Stream) {
    CityKey = Stream.ReadInt32();
    CurrentAbility = Stream.ReadInt16();
    PotentialAbility = Stream.ReadInt16();
    Reputation = Stream.ReadInt16();
    for (uint8_t* B : {&AllowingFlow, &Discipline, &ImportantMatches, &Pressure, &Refereeing, &RunningLine,
                       &Timekeeping, &FIFAOfficial, &ContinentalOfficial, &AssistantRefereeOnly})
        *B = Stream.ReadByte();
    DivisionKey = Stream.ReadInt32();
}

void TPyxOfficial::SaveToStream(TPyxFileStream& Stream) const {
    TPyxObject::WriteID(City, Stream);
    Stream.WriteInt16(CurrentAbility);
    Stream.WriteInt16(PotentialAbility);
    Stream.WriteInt16(Reputation);
    for (uint8_t B : {AllowingFlow, Discipline, ImportantMatches, Pressure, Refereeing, RunningLine, Timekeeping,
                      FIFAOfficial, ContinentalOfficial, AssistantRefereeOnly})
        Stream.WriteByte(B);
    TPyxObject::WriteUniqueID(Division, Stream);
}

void TPyxOfficial::ConvertIndexes(const TPyxCities& Cities, const TPyxCompetitions& Competitions) {
    City = Cities.FindByID(CityKey);
    Division = Competitions.FindByUniqueID(DivisionKey);
}
