#pragma once

#include "PyxColor.h"
#include "PyxList.h"
#include "PyxObjects.h"
#include "PyxRelationship.h"

class TPyxTeam;
class TPyxTeams;
class TPyxPerson;
class TPyxClub;
class TPyxNation;

using TPyxTeamList = TPyxList<TPyxTeam>;

// The common part of clubs and nations: names, kits, teams and relationships. Its fields stand in the record after
// the subclass's own fields and before the keys.
class TPyxTeamContainer : public TPyxObject {
public:
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;
    std::u16string GetName() const override { return Name; }
    // A container without teams never matches; otherwise Name, then ShortName.
    bool Matches(const std::u16string& Text) const override;

    // Teams and relationships.
    void ConvertContainerIndexes(const TPyxNations& Nations, const TPyxPeople& People, const TPyxStadiums& Stadiums,
                                 const TPyxTeams& Teams, const TPyxClubs& Clubs);
    // Each removes every relationship that targets the object; clubs and nations add their own parts.
    virtual void RemovePerson(const TPyxPerson* Person);
    virtual void RemoveClub(const TPyxClub* Club);
    virtual void RemoveNation(const TPyxNation* Nation);
    // A deleted team: it leaves the team list and every relationship that targets it goes.
    void RemoveTeam(const TPyxTeam* Team);

    uint8_t TeamType = 0; // 0 club, 1 nation
    uint8_t NameByte = 0;
    uint8_t ShortNameByte = 0;
    std::u16string Name;
    std::u16string ShortName;
    TPyxColorList Kits;
    TPyxTeamList Teams;
    TPyxRelationshipList Relationships;
};
