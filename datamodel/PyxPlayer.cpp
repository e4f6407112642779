#include "PyxPlayer.h"

#include "PyxHandOver.h"

void TPyxCareerStats::LoadFromStream(TPyxFileStream& Stream) {
    for (int16_t* V : {&ClubLeagueGoals, &ClubGoals, &ClubAppearances, &LeagueGoals, &Goals, &Appearances,
                       &ClubLeagueAppearances, &LeagueAppearances})
        *V = Stream.ReadInt16();
}

void TPyxCareerStats::SaveToStream(TPyxFileStream& Stream) const {
    for (int16_t V : {ClubLeagueGoals, ClubGoals, ClubAppearances, LeagueGoals, Goals, Appearances,
                      ClubLeagueAppearances, LeagueAppearances})
        Stream.WriteInt16(V);
}

TPyxPlayer::TPyxPlayer(int16_t ServerVersion, bool WithPlayingData)
    : PlayingData(WithPlayingData ? std::make_unique<TPyxPlayingData>() : nullptr),
      PlayerValue9(ServerVersion == 112 ? -3 : 2) {}

void TPyxPlayer::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    HomeReputation = Stream.ReadInt16();
    CurrentReputation = Stream.ReadInt16();
    WorldReputation = Stream.ReadInt16();
    CurrentAbility = Stream.ReadInt16();
    PotentialAbility = Stream.ReadInt16();
    PlayingDataKey = Stream.ReadInt32();
    PlayerValue1 = Stream.ReadInt32();
    EstimatedValue = Stream.ReadInt32();
    PlayerByte1 = Stream.ReadByte();
    PlayerByte2 = Stream.ReadByte();
    PlayerValue2 = Stream.ReadInt16();
    PlayerValue3 = Stream.ReadInt16();
    PlayerValue4 = Stream.ReadInt16();
    PlayerByte3 = Stream.ReadByte();
    PlayerValue5 = Stream.ReadInt16();
    PlayerValue6 = Stream.ReadInt16();
    PlayerByte4 = Stream.ReadByte();
    DeclaredForNation = Stream.ReadByte();
    Weight = Stream.ReadInt16();
    Height = Stream.ReadInt16();
    PlayerByte5 = Stream.ReadByte();
    PlayerValue7 = Stream.ReadInt32();
    if (Stream.ReadByte() != 0) {
        CareerStats = std::make_unique<TPyxCareerStats>();
        CareerStats->LoadFromStream(Stream);
    }
    PlayerValue8 = Stream.ReadInt32();
    ExtraPlayingData = Stream.ReadByte();
    if (ExtraPlayingData != 0)
        throw EFileCorruptError("Player data seems to be corrupt.\r\nExtra Playing Data: True");
    BookingCount = Stream.ReadByte();
    if (BookingCount != 0)
        throw EFileCorruptError("Player data seems to be corrupt.\r\nBooking Count: " + std::to_string(BookingCount));
    Stream.Read(PlayerBlock.data(), sizeof PlayerBlock);
    PlayerByte6 = Stream.ReadByte();
    PlayerValue9 = Stream.ReadInt32();
    PlayerValue10 = Stream.ReadInt32();
    PlayerByte7 = Stream.ReadByte();
    if (Version > 144)
        PlayerByte8 = Stream.ReadByte();
}

void TPyxPlayer::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteInt16(HomeReputation);
    Stream.WriteInt16(CurrentReputation);
    Stream.WriteInt16(WorldReputation);
    Stream.WriteInt16(CurrentAbility);
    Stream.WriteInt16(PotentialAbility);
    TPyxObject::WriteID(PlayingData.get(), Stream);
    Stream.WriteInt32(PlayerValue1);
    Stream.WriteInt32(EstimatedValue);
    Stream.WriteByte(PlayerByte1);
    Stream.WriteByte(PlayerByte2);
    Stream.WriteInt16(PlayerValue2);
    Stream.WriteInt16(PlayerValue3);
    Stream.WriteInt16(PlayerValue4);
    Stream.WriteByte(PlayerByte3);
    Stream.WriteInt16(PlayerValue5);
    Stream.WriteInt16(PlayerValue6);
    Stream.WriteByte(PlayerByte4);
    Stream.WriteByte(DeclaredForNation);
    Stream.WriteInt16(Weight);
    Stream.WriteInt16(Height);
    Stream.WriteByte(PlayerByte5);
    Stream.WriteInt32(PlayerValue7);
    Stream.WriteByte(CareerStats ? 1 : 0);
    if (CareerStats)
        CareerStats->SaveToStream(Stream);
    Stream.WriteInt32(PlayerValue8);
    Stream.WriteByte(ExtraPlayingData);
    Stream.WriteByte(BookingCount);
    Stream.Write(PlayerBlock.data(), sizeof PlayerBlock);
    Stream.WriteByte(PlayerByte6);
    Stream.WriteInt32(PlayerValue9);
    Stream.WriteInt32(PlayerValue10);
    Stream.WriteByte(PlayerByte7);
    if (Version > 144)
        Stream.WriteByte(PlayerByte8);
}

void TPyxPlayer::ConvertIndexes(TPyxHandOver<TPyxPlayingData>& PlayingDatas) {
    PlayingData = PlayingDatas.Take(PlayingDataKey, "player");
    if (!PlayingData)
        throw EFileCorruptError("Player data seems to be corrupt.\r\nNo Playing Data");
}
