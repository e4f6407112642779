#include "Records.h"

namespace wb {

void WriteRecord(TBytes& Out, const TStadium& Stadium, int16_t Version) {
    Out.U8(Stadium.RecordType);
    Out.I32(Stadium.Capacity);
    Out.I32(Stadium.SeatingCapacity);
    Out.I32(Stadium.ExpansionCapacity);
    Out.U8(Stadium.Flags);
    Out.I32(Stadium.ClubID);
    Out.U8(Stadium.Decay);
    Out.I32(Stadium.UsedCapacity);
    Out.I16(Stadium.PitchLength);
    Out.I16(Stadium.PitchWidth);
    Out.U8(Stadium.StadiumByte1);
    Out.U8(Stadium.State);
    Out.U8(Stadium.Extinct);
    Out.U8(Stadium.NameByte);
    if (HasV145(Version))
        Out.U8(Stadium.StadiumByte2);
    Out.I32(Stadium.CityID);
    Out.I32(Stadium.NearbyStadiumID);
    WriteTail(Out, Stadium);
}

void WriteRecord(TBytes& Out, const TStage& Stage, int16_t) {
    Out.U8(Stage.RecordType);
    WriteLangRecord(Out, Stage.Own);
    WriteTail(Out, Stage);
}

void WriteRecord(TBytes& Out, const TMedia& Media, int16_t) {
    Out.U8(Media.RecordType);
    Out.WStr(Media.ShortName);
    Out.U8(Media.ShortNameByte);
    Out.WStr(Media.LongName);
    Out.U8(Media.LongNameByte);
    Out.U8(Media.MediaType);
    WriteIDList8(Out, Media.ClubUniqueIDs);
    Out.U8(Media.Period);
    Out.U8(Media.Scope);
    Out.I32(Media.TargetUniqueID);
    WriteTail(Out, Media);
}

void WriteRecord(TBytes& Out, const TInjury& Injury, int16_t) {
    Out.U8(Injury.RecordType);
    Out.WStr(Injury.Name);
    Out.U8(Injury.NameByte);
    Out.U8(Injury.Category);
    Out.WStr(Injury.SentenceName);
    Out.U8(Injury.SentenceNameByte);
    Out.U8(Injury.Chance);
    Out.I16(Injury.MinimumDaysOut);
    Out.I16(Injury.ExtraDaysOut);
    Out.U8(Injury.InactiveRatio);
    Out.U8(Injury.Recurring);
    Out.U8(Injury.Severity);
    WriteTail(Out, Injury);
}

void WriteLangRecord(TBytes& Out, const TStadiumText& Text) {
    Out.WStr(Text.Name);
    Out.U8(Text.NameByte);
}

void WriteLangRecord(TBytes& Out, const TStageText& Text) {
    Out.WStr(Text.Name);
    Out.U8(Text.NameByte);
    Out.WStr(Text.ShortName);
    Out.U8(Text.ShortNameByte);
    Out.WStr(Text.PluralName);
    Out.U8(Text.PluralNameByte);
}

void WriteLangRecord(TBytes& Out, const TMediaText& Text) {
    Out.WStr(Text.ShortName);
    Out.U8(Text.ShortNameByte);
    Out.WStr(Text.LongName);
    Out.U8(Text.LongNameByte);
}

void WriteLangRecord(TBytes& Out, const TInjuryText& Text) {
    Out.WStr(Text.Name);
    Out.U8(Text.NameByte);
    Out.WStr(Text.SentenceName);
    Out.U8(Text.SentenceNameByte);
}

} // namespace wb
