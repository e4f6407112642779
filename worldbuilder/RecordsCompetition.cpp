#include "Records.h"

namespace wb {

void WriteRecord(TBytes& Out, const TAward& Award, int16_t Version) {
    Out.U8(Award.RecordType);
    Out.U8(Award.NameByte);
    Out.U8(Award.ShortNameByte);
    Out.U8(Award.Scope);
    WriteColor(Out, Award.Colours);
    Out.I16(Award.Reputation);
    Out.U8(Award.AwardType);
    Out.U8(Award.DateRule);
    WriteDate(Out, Award.AwardDate);
    Out.I32(Award.ContinentID);
    Out.I32(Award.NationID);
    Out.U8(Award.RunBy);
    Out.U8(Award.Formation);
    Out.U8(Award.MaxAge);
    Out.U8(Award.WinnerHomeReputation);
    Out.U8(Award.WinnerWorldReputation);
    Out.I32(Award.CompetitionID);
    if (HasV145(Version))
        Out.I16(Award.AwardExtra);
    WriteTail(Out, Award);
}

void WriteRecord(TBytes& Out, const TCompetition& Competition, int16_t) {
    Out.U8(Competition.RecordType);
    Out.U8(Competition.NameByte);
    Out.U8(Competition.ShortNameByte);
    Out.U8(Competition.ThreeLetterNameByte);
    WriteColor(Out, Competition.Colours);
    Out.I16(Competition.Reputation);
    Out.U8(Competition.NameType);
    Out.U8(Competition.Level);
    Out.I32(Competition.ContinentID);
    Out.I32(Competition.NationID);
    Out.I32(Competition.CompetitionValue1);
    Out.I32(Competition.CompetitionValue2);
    Out.I32(Competition.CompetitionValue3);
    Out.U8(Competition.UsesSquadNumbers);
    WriteTail(Out, Competition);
}

void WriteRecord(TBytes& Out, const TAwardHistory& History, int16_t) {
    Out.U8(History.RecordType);
    Out.I32(History.AwardID);
    Out.I16(History.Year);
    Out.I32(History.Person1ID);
    Out.I32(History.Person2ID);
    Out.I32(History.Person3ID);
    Out.U8(History.HistoryByte1);
    Out.U8(History.HistoryByte2);
    Out.U8(History.HistoryByte3);
    WriteTail(Out, History);
}

void WriteRecord(TBytes& Out, const TCompetitionHistory& History, int16_t) {
    Out.U8(History.RecordType);
    Out.I32(History.CompetitionID);
    Out.I16(History.Year);
    Out.I32(History.FirstPlacedID);
    Out.I32(History.SecondPlacedID);
    Out.I32(History.ThirdPlacedID);
    Out.I32(History.HostsID);
    WriteTail(Out, History);
}

void WriteLangRecord(TBytes& Out, const TAwardText& Text) {
    Out.WStr(Text.Name);
    Out.U8(Text.NameByte);
    Out.WStr(Text.ShortName);
    Out.U8(Text.ShortNameByte);
}

void WriteLangRecord(TBytes& Out, const TCompetitionText& Text) {
    Out.WStr(Text.Name);
    Out.U8(Text.NameByte);
    Out.WStr(Text.ShortName);
    Out.U8(Text.ShortNameByte);
    Out.WStr(Text.ThreeLetterName);
}

} // namespace wb
