#include "PyxStadium.h"

#include "PyxCity.h"
#include "PyxClub.h"
#include "PyxText.h"

void TPyxStadiumTexts::LoadTexts(TPyxFileStream& Stream) {
    Stream.ReadWideString(Name);
    NameByte = Stream.ReadByte();
}

void TPyxStadiumTexts::SaveTexts(TPyxFileStream& Stream) const {
    Stream.WriteWideString(Name);
    Stream.WriteByte(NameByte);
}

void TPyxStadiumTexts::SkipTexts(TPyxFileStream& Stream) {
    Stream.SkipWideString();
    Stream.Skip(1);
}

void TPyxStadium::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    Capacity = Stream.ReadInt32();
    SeatingCapacity = Stream.ReadInt32();
    ExpansionCapacity = Stream.ReadInt32();
    Flags = Stream.ReadByte();
    ClubKey = Stream.ReadInt32();
    Decay = Stream.ReadByte();
    UsedCapacity = Stream.ReadInt32();
    PitchLength = Stream.ReadInt16();
    PitchWidth = Stream.ReadInt16();
    StadiumByte1 = Stream.ReadByte();
    State = Stream.ReadByte();
    Extinct = Stream.ReadByte();
    NameByte = Stream.ReadByte();
    if (Version > 144)
        StadiumByte2 = Stream.ReadByte();
    CityKey = Stream.ReadInt32();
    NearbyStadiumKey = Stream.ReadInt32();
    TPyxObject::LoadFromStream(Stream, Version);
}

void TPyxStadium::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    Stream.WriteInt32(Capacity);
    Stream.WriteInt32(SeatingCapacity);
    Stream.WriteInt32(ExpansionCapacity);
    Stream.WriteByte(Flags);
    WriteID(Club, Stream);
    Stream.WriteByte(Decay);
    Stream.WriteInt32(UsedCapacity);
    Stream.WriteInt16(PitchLength);
    Stream.WriteInt16(PitchWidth);
    Stream.WriteByte(StadiumByte1);
    Stream.WriteByte(State);
    Stream.WriteByte(Extinct);
    Stream.WriteByte(NameByte);
    if (Version > 144)
        Stream.WriteByte(StadiumByte2);
    WriteID(City, Stream);
    WriteID(NearbyStadium, Stream);
    TPyxObject::SaveToStream(Stream, Version);
}

bool TPyxStadium::Matches(const std::u16string& Text) const {
    return AnsiContainsText(Name, Text);
}

void TPyxStadiums::ConvertIndexes(const TPyxCities& Cities, const TPyxClubs& Clubs) {
    LinkEach("Converting Stadium Indexes", [&](TPyxStadium* S) {
        S->City = Cities.FindByID(S->CityKey);
        S->NearbyStadium = FindByID(S->NearbyStadiumKey);
        S->Club = Clubs.FindByID(S->ClubKey);
    });
}
