#pragma once

#include "PyxClubDebt.h"
#include "PyxDate.h"
#include "PyxList.h"
#include "PyxStadiumMove.h"

class TPyxTeamContainer;
class TPyxCompetition;
class TPyxCompetitions;
class TPyxStadium;
class TPyxStadiums;
class TPyxNations;
class TPyxClubs;
class TPyxClub;
class TPyxNation;
class TPyxPerson;
class TPyxPeople;

using TPyxPeopleList = TPyxList<TPyxPerson>;

// One squad of a club or nation. Its record kind (10 or 11) stands where other tables have the type byte. A team
// also owns the records that hang off it: its club debts and its stadium move and capacity change, written in
// sections of their own.
class TPyxTeam final : public TPyxObject {
public:
    std::u16string GetName() const override;
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;
    bool Matches(const std::u16string& Text) const override;

    std::u16string GetLongSuffix() const;
    std::u16string GetShortSuffix() const;
    bool IsClubTeam() const { return IsNationTeam == 0; }

    void ConvertIndexes(const TPyxCompetitions& Competitions, const TPyxStadiums& Stadiums, const TPyxNations& Nations,
                        const TPyxClubs& Clubs, const TPyxPeople& People);

    // Each frees the record held so far and keeps the new one (which may be none). The record is stamped with
    // this team and its kind: a record written without its team would be dropped when the file is next loaded.
    void SetStadiumMove(std::unique_ptr<TPyxStadiumMove> Move);
    void SetCapacityChange(std::unique_ptr<TPyxStadiumMove> Move);
    void SetClubDebt(std::unique_ptr<TPyxClubDebt> Debt);
    // Appends a loan (a club debt of kind 1 or 2) to the team's finances, stamped with this team.
    TPyxClubDebt* AddLoan(std::unique_ptr<TPyxClubDebt> Debt);

    // Files a person under their job for this team (the national job for a nation's team, else the club job):
    // players, coaches, physios, the manager (the previous one leaves the team) and, for a club's first-team
    // record, the club's own posts.
    void AddPerson(TPyxPerson* Person);
    // A person leaving the team: manager, physios, players, coaches and, for a club's first-team record, the
    // club's posts and the person's sell-on records there.
    void RemovePerson(const TPyxPerson* Person);
    // Only the slots that follow the job, for a person who stays but changes job.
    void RemovePersonFromJobSlots(const TPyxPerson* Person);
    // The club of a club team, or nil.
    TPyxClub* GetClub() const;
    // The nation of a nation team, or nil.
    TPyxNation* GetNation() const;

    uint8_t RecordKind = 10;
    TPyxDate Date1, Date2;                                              // kind 11
    uint8_t TeamByte1 = 26;                                             // kind 11
    uint8_t TeamByte2 = 0, TeamByte3 = 0, TeamByte4 = 0, TeamByte5 = 0; // kind 11
    uint8_t TeamByte6 = 0;                                              // kind 11, from version 145
    uint8_t LastPosition = 0;
    int16_t Reputation = 0;
    TPyxCompetition* Division = nullptr;
    TPyxCompetition* LastDivision = nullptr;
    int32_t TeamValue1 = -1; // from version 145
    TPyxStadium* Stadium = nullptr;
    TPyxPerson* Manager = nullptr;
    int32_t TeamValue2 = -1;
    uint8_t TeamByte7 = 0;
    uint8_t HomeMatchDay = 0;
    TPyxCompetition* ContinentalCompetition = nullptr;
    uint8_t ContinentalSeeding = 0;
    int16_t TeamValue3 = 10000;
    int16_t TeamValue4 = 0, TeamValue5 = 0, TeamValue6 = 0;
    TPyxPeopleList Physios;
    TPyxPeopleList Players;
    TPyxPeopleList Coaches;
    uint8_t TeamSelectedCount = 0; // must be 0 in the file
    uint8_t TeamByte8 = 0;
    int16_t TeamFixtureBlockCount = 0; // must be 0 in the file
    TPyxCompetition* OtherDivision = nullptr;
    // From version 145; the defaults are the image of the double 1.0.
    int32_t TeamBlock1 = 0;
    int16_t TeamBlock2 = 0;
    int16_t TeamBlock3 = 16368;
    uint8_t SquadType = 0;
    uint8_t IsNationTeam = 0;
    uint8_t TeamByte9 = 0;
    TPyxTeamContainer* Container = nullptr;

    std::unique_ptr<TPyxClubDebt> ClubDebt; // the transfer budget
    TPyxClubDebts ClubDebts;                // the loans
    std::unique_ptr<TPyxStadiumMove> StadiumMove;
    std::unique_ptr<TPyxStadiumMove> CapacityChange;

    // Raw keys read from the file, until linking.
    int32_t DivisionKey = -1, LastDivisionKey = -1, StadiumKey = -1, ManagerKey = -1;
    int32_t ContinentalCompetitionKey = -1, OtherDivisionKey = -1, ContainerKey = -1;
};

class TPyxTeams final : public TPyxCollection<TPyxTeam> {
public:
    TPyxTeams() : TPyxCollection("Teams") {}
    const char* ClassName() const override { return "TPyxTeams"; }
    std::unique_ptr<TPyxObject> CreateEntity(uint8_t RecordType) override;
    // Keeps the order; every team's ID becomes its position.
    void Sort() override { RenumberByIndex(); }
    int64_t MinRecordSize() const override { return 66; }

    void ConvertIndexes(const TPyxCompetitions& Competitions, const TPyxStadiums& Stadiums, const TPyxNations& Nations,
                        const TPyxClubs& Clubs, const TPyxPeople& People);
    // Numbers every team's stadium move and capacity change 0.. in team order, the move before the change.
    void RenumberStadiumMoves();
    // The Stadium Moves table, rebuilt from the teams; RenumberStadiumMoves runs first.
    void SaveStadiumMoves(TPyxFileStream& Stream, int16_t Version) const;
    // Numbers every team's loans, then its transfer budget, 0.. in team order.
    void RenumberClubDebts();
    // The Club Debts table, rebuilt from the teams; RenumberClubDebts runs first.
    void SaveClubDebts(TPyxFileStream& Stream, int16_t Version) const;

    int32_t MoveCount = 0;
    int32_t DebtCount = 0;

private:
    // A team is unlinked everywhere before it goes (TPyxDatabase::DeleteTeam).
    using TPyxObjects::Delete;
};
