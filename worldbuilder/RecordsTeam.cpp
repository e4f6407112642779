#include "Records.h"

namespace wb {

void WriteRecord(TBytes& Out, const TTeam& Team, int16_t Version) {
    Out.U8(Team.RecordType);
    if (Team.RecordType == 11) {
        WriteDate(Out, Team.Date1);
        WriteDate(Out, Team.Date2);
        Out.U8(Team.TeamByte1);
        Out.U8(Team.TeamByte2);
        Out.U8(Team.TeamByte3);
        Out.U8(Team.TeamByte4);
        Out.U8(Team.TeamByte5);
        if (HasV145(Version))
            Out.U8(Team.TeamByte6);
    }
    Out.U8(Team.LastPosition);
    Out.I16(Team.Reputation);
    Out.I32(Team.DivisionID);
    Out.I32(Team.LastDivisionID);
    if (HasV145(Version))
        Out.I32(Team.TeamValue1);
    Out.I32(Team.StadiumID);
    Out.I32(Team.ManagerID);
    Out.I32(Team.TeamValue2);
    Out.U8(Team.TeamByte7);
    Out.U8(Team.HomeMatchDay);
    Out.I32(Team.ContinentalCompetitionID);
    Out.U8(Team.ContinentalSeeding);
    Out.I16(Team.TeamValue3);
    Out.I16(Team.TeamValue4);
    Out.I16(Team.TeamValue5);
    Out.I16(Team.TeamValue6);
    WriteIDList8(Out, Team.PhysioIDs);
    WriteIDList16(Out, Team.PlayerIDs);
    WriteIDList8(Out, Team.CoachIDs);
    Out.U8(Team.TeamSelectedCount);
    Out.U8(Team.TeamByte8);
    Out.I16(Team.TeamFixtureBlockCount);
    Out.I32(Team.OtherDivisionID);
    if (HasV145(Version)) {
        Out.I32(Team.TeamBlock1);
        Out.I16(Team.TeamBlock2);
        Out.I16(Team.TeamBlock3);
    }
    Out.U8(Team.SquadType);
    Out.U8(Team.IsNationTeam);
    Out.U8(Team.TeamByte9);
    Out.I32(Team.ContainerID);
    WriteTail(Out, Team);
}

void WriteRecord(TBytes& Out, const TStadiumMove& Move, int16_t) {
    Out.U8(Move.RecordType);
    Out.I32(Move.TeamID);
    Out.I32(Move.StadiumID);
    Out.I32(Move.NewStadiumID);
    WriteDate(Out, Move.LeaveDate);
    WriteDate(Out, Move.StartDate);
    Out.I32(Move.NewCapacity);
    Out.U8(Move.Kind);
    Out.I32(Move.AlternativeStadiumID);
    WriteTail(Out, Move);
}

void WriteRecord(TBytes& Out, const TClubDebt& Debt, int16_t) {
    Out.U8(Debt.RecordType);
    Out.I32(Debt.TeamID);
    Out.I32(Debt.Amount);
    Out.I16(Debt.MonthlyPaymentsLeft);
    Out.I32(Debt.TransferBudget);
    Out.U8(Debt.Kind);
    WriteTail(Out, Debt);
}

} // namespace wb
