#include "PyxMedia.h"

#include "PyxCity.h"
#include "PyxClub.h"
#include "PyxCompetition.h"
#include "PyxContinent.h"
#include "PyxNation.h"
#include "PyxRegion.h"
#include "PyxText.h"

void TPyxMediaTexts::LoadTexts(TPyxFileStream& Stream) {
    Stream.ReadWideString(ShortName);
    ShortNameByte = Stream.ReadByte();
    Stream.ReadWideString(LongName);
    LongNameByte = Stream.ReadByte();
}

void TPyxMediaTexts::SaveTexts(TPyxFileStream& Stream) const {
    Stream.WriteWideString(ShortName);
    Stream.WriteByte(ShortNameByte);
    Stream.WriteWideString(LongName);
    Stream.WriteByte(LongNameByte);
}

void TPyxMediaTexts::SkipTexts(TPyxFileStream& Stream) {
    Stream.SkipWideString();
    Stream.Skip(1);
    Stream.SkipWideString();
    Stream.Skip(1);
}

void TPyxMedia::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    LoadTexts(Stream);
    MediaType = Stream.ReadByte();
    Clubs.LoadByteCounted(Stream);
    Period = Stream.ReadByte();
    Scope = Stream.ReadByte();
    TargetKey = Stream.ReadInt32();
    TPyxObject::LoadFromStream(Stream, Version);
}

void TPyxMedia::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    SaveTexts(Stream);
    Stream.WriteByte(MediaType);
    Clubs.SaveByteCountedUniqueIDs(Stream);
    Stream.WriteByte(Period);
    Stream.WriteByte(Scope);
    WriteUniqueID(Target, Stream);
    TPyxObject::SaveToStream(Stream, Version);
}

bool TPyxMedia::Matches(const std::u16string& Text) const {
    return AnsiContainsText(LongName, Text) || AnsiContainsText(ShortName, Text);
}

void TPyxMedia::RemoveClub(const TPyxClub* Club) {
    ClearTarget(Club);
    Clubs.RemoveAll(Club);
}

void TPyxMedias::ConvertIndexes(const TPyxClubs& Clubs, const TPyxCities& Cities, const TPyxCompetitions& Competitions,
                                const TPyxContinents& Continents, const TPyxNations& Nations,
                                const TPyxRegions& Regions) {
    LinkEach("Converting Media Indexes", [&](TPyxMedia* M) {
        M->Clubs.ConvertUniqueIndexes(Clubs);
        switch (M->Scope) {
        case TPyxMedia::scClub:
            M->Target = Clubs.FindByUniqueID(M->TargetKey);
            break;
        case TPyxMedia::scCity:
            M->Target = Cities.FindByUniqueID(M->TargetKey);
            break;
        case TPyxMedia::scRegion:
            M->Target = Regions.FindByUniqueID(M->TargetKey);
            break;
        case TPyxMedia::scNation:
            M->Target = Nations.FindByUniqueID(M->TargetKey);
            break;
        case TPyxMedia::scContinent:
            M->Target = Continents.FindByUniqueID(M->TargetKey);
            break;
        case TPyxMedia::scCompetition:
            M->Target = Competitions.FindByUniqueID(M->TargetKey);
            break;
        default:
            M->Target = nullptr;
        }
    });
}
