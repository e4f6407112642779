#include "PyxNonPlayer.h"

#include "PyxHandOver.h"

TPyxNonPlayer::TPyxNonPlayer(bool WithNonPlayingData)
    : NonPlayingData(WithNonPlayingData ? std::make_unique<TPyxNonPlayingData>() : nullptr) {}

void TPyxNonPlayer::LoadFromStream(TPyxFileStream& Stream) {
    HomeReputation = Stream.ReadInt16();
    CurrentReputation = Stream.ReadInt16();
    WorldReputation = Stream.ReadInt16();
    CurrentAbility = Stream.ReadInt16();
    PotentialAbility = Stream.ReadInt16();
    PreferredFormation = Stream.ReadByte();
    NonPlayingDataKey = Stream.ReadInt32();
}

void TPyxNonPlayer::SaveToStream(TPyxFileStream& Stream) const {
    Stream.WriteInt16(HomeReputation);
    Stream.WriteInt16(CurrentReputation);
    Stream.WriteInt16(WorldReputation);
    Stream.WriteInt16(CurrentAbility);
    Stream.WriteInt16(PotentialAbility);
    Stream.WriteByte(PreferredFormation);
    TPyxObject::WriteID(NonPlayingData.get(), Stream);
}

void TPyxNonPlayer::ConvertIndexes(TPyxHandOver<TPyxNonPlayingData>& NonPlayingDatas) {
    NonPlayingData = NonPlayingDatas.Take(NonPlayingDataKey, "staff member");
    if (!NonPlayingData)
        throw EFileCorruptError("Non Player data seems to be corrupt.\r\nDoesn't have any Non Playing Data");
}
