#include "PyxStadiumMove.h"

#include "PyxStadium.h"
#include "PyxTeam.h"

void TPyxStadiumMove::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    TeamKey = Stream.ReadInt32();
    StadiumKey = Stream.ReadInt32();
    NewStadiumKey = Stream.ReadInt32();
    LeaveDate.LoadFromStream(Stream);
    StartDate.LoadFromStream(Stream);
    NewCapacity = Stream.ReadInt32();
    Kind = Stream.ReadByte();
    if (Kind != 1 && Kind != 2)
        throw EFileCorruptError("Stadium Moves seems to be corrupt.\r\nType: " + std::to_string(Kind));
    AlternativeStadiumKey = Stream.ReadInt32();
    TPyxObject::LoadFromStream(Stream, Version);
}

void TPyxStadiumMove::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    WriteID(Team, Stream);
    WriteID(Stadium, Stream);
    WriteID(NewStadium, Stream);
    LeaveDate.SaveToStream(Stream);
    StartDate.SaveToStream(Stream);
    Stream.WriteInt32(NewCapacity);
    Stream.WriteByte(Kind);
    WriteID(AlternativeStadium, Stream);
    TPyxObject::SaveToStream(Stream, Version);
}

void TPyxStadiumMoves::ConvertIndexes(const TPyxTeams& Teams, const TPyxStadiums& Stadiums) {
    HandOverAll("Converting Stadium Move Indexes", [&](std::unique_ptr<TPyxStadiumMove> M) {
        TPyxTeam* Team = M->Team = Teams.FindByID(M->TeamKey);
        if (!Team)
            return;
        M->Stadium = Stadiums.FindByID(M->StadiumKey);
        M->NewStadium = Stadiums.FindByID(M->NewStadiumKey);
        M->AlternativeStadium = Stadiums.FindByID(M->AlternativeStadiumKey);
        if (M->Kind == 1)
            Team->SetStadiumMove(std::move(M));
        else
            Team->SetCapacityChange(std::move(M));
    });
}
