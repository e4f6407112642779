#pragma once

#include "PyxObjectList.h"
#include "PyxRecordPool.h"

class TPyxNations;
class TPyxPeople;
class TPyxStadiums;
class TPyxTeams;
class TPyxClubs;

// A typed relationship of a person, club or nation to a club (1), nation (2), person (3), team (4), stadium (5) or
// nothing (0). Kinds: 1 favourite staff, 2 disliked staff, 3 favourite club, 4 disliked club, 5 rival club,
// 6 rival nation, 9 second nationality, 10 international retirement.
class TPyxRelationship final : public TPyxPooled<TPyxRelationship> {
public:
    enum : uint8_t { ttNone = 0, ttClub = 1, ttNation = 2, ttPerson = 3, ttTeam = 4, ttStadium = 5 };

    std::unique_ptr<TPyxRelationship> Clone() const;
    TPyxObject* GetTarget() const { return Target; }
    void LoadFromStream(TPyxFileStream& Stream);
    void SaveToStream(TPyxFileStream& Stream) const;
    void ConvertIndexes(const TPyxNations& Nations, const TPyxPeople& People, const TPyxStadiums& Stadiums,
                        const TPyxTeams& Teams, const TPyxClubs& Clubs);

    uint8_t TargetType = 0;
    uint8_t Kind = 0;
    uint8_t Amount = 0;
    uint8_t RelationshipByte = 0;
    TPyxObject* Target = nullptr;

    // Raw key read from the file, until linking.
    int32_t TargetKey = -1;
};

class TPyxRelationshipList final : public TPyxObjectList<TPyxRelationship> {
public:
    std::unique_ptr<TPyxRelationship> ReadItem(TPyxFileStream& Stream, int16_t Version) override;
    void WriteItem(TPyxFileStream& Stream, int32_t Index, int16_t Version) const override;
    int64_t MinItemSize() const override { return 8; }

    // Resolves every target, then drops typed relationships whose target was not found.
    void ConvertIndexes(const TPyxNations& Nations, const TPyxPeople& People, const TPyxStadiums& Stadiums,
                        const TPyxTeams& Teams, const TPyxClubs& Clubs);
    void RemoveKinds1To6();
    void RemoveKind(uint8_t Kind);
    void RemoveTarget(const TPyxObject* Target);
};
