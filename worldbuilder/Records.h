#pragma once

#include "Bytes.h"
#include "World.h"

// One writer per record kind, each emitting exactly the record as a data file stores it (record-type byte through
// the ID/UniqueID tail), at the given file version. Language records (WriteLangRecord) are the bytes after the
// int32 UniqueID of a language table entry.
namespace wb {

// Fields guarded "above 144" exist in 145 and 147, "above 146" only in 147.
inline bool HasV145(int16_t Version) {
    return Version > 144;
}
inline bool HasV147(int16_t Version) {
    return Version > 146;
}

void WriteTail(TBytes& Out, const TRecord& Record); // int32 ID, int32 UniqueID
void WriteDate(TBytes& Out, const TDate& Date);
void WriteColor(TBytes& Out, const TColor& Color);
void WriteWideStringList(TBytes& Out, const TWideStringList& Texts); // one-byte count, then the strings
void WriteIDList8(TBytes& Out, const std::vector<int32_t>& Keys);    // one-byte count, then int32 keys
void WriteIDList16(TBytes& Out, const std::vector<int32_t>& Keys);   // 16-bit count, then int32 keys

// reference kinds
void WriteRecord(TBytes& Out, const TCity& City, int16_t Version);
void WriteRecord(TBytes& Out, const TContinent& Continent, int16_t Version);
void WriteRecord(TBytes& Out, const TLanguage& Language, int16_t Version);
void WriteRecord(TBytes& Out, const TName& Name, int16_t Version);
void WriteRecord(TBytes& Out, const TRegion& Region, int16_t Version);
void WriteRecord(TBytes& Out, const TSponsor& Sponsor, int16_t Version);
void WriteRecord(TBytes& Out, const TWeather& Weather, int16_t Version);
void WriteRecord(TBytes& Out, const TPlayerType& PlayerType, int16_t Version);
void WriteLangRecord(TBytes& Out, const TCityText& Text);
void WriteLangRecord(TBytes& Out, const TContinentText& Text);
void WriteLangRecord(TBytes& Out, const TPlayerTypeText& Text);

// competitions and awards
void WriteRecord(TBytes& Out, const TAward& Award, int16_t Version);
void WriteRecord(TBytes& Out, const TCompetition& Competition, int16_t Version);
void WriteRecord(TBytes& Out, const TAwardHistory& History, int16_t Version);
void WriteRecord(TBytes& Out, const TCompetitionHistory& History, int16_t Version);
void WriteLangRecord(TBytes& Out, const TAwardText& Text);
void WriteLangRecord(TBytes& Out, const TCompetitionText& Text);

// clubs and nations
void WriteRelationship(TBytes& Out, const TRelationship& Relationship);
void WriteTransferInfo(TBytes& Out, const TTransferInfo& Info);
void WriteContainerPart(TBytes& Out, const TContainerPart& Container);
void WriteRecord(TBytes& Out, const TClub& Club, int16_t Version);
void WriteRecord(TBytes& Out, const TNation& Nation, int16_t Version);
void WriteLangRecord(TBytes& Out, const TClubText& Text);
void WriteLangRecord(TBytes& Out, const TNationText& Text);

// teams and what hangs off them
void WriteRecord(TBytes& Out, const TTeam& Team, int16_t Version);
void WriteRecord(TBytes& Out, const TStadiumMove& Move, int16_t Version);
void WriteRecord(TBytes& Out, const TClubDebt& Debt, int16_t Version);

// stadiums, stages, media, injuries
void WriteRecord(TBytes& Out, const TStadium& Stadium, int16_t Version);
void WriteRecord(TBytes& Out, const TStage& Stage, int16_t Version);
void WriteRecord(TBytes& Out, const TMedia& Media, int16_t Version);
void WriteRecord(TBytes& Out, const TInjury& Injury, int16_t Version);
void WriteLangRecord(TBytes& Out, const TStadiumText& Text);
void WriteLangRecord(TBytes& Out, const TStageText& Text);
void WriteLangRecord(TBytes& Out, const TMediaText& Text);
void WriteLangRecord(TBytes& Out, const TInjuryText& Text);

// people; a person record includes the int32 ID written before its kind byte
void WriteContract(TBytes& Out, const TContract& Contract, int16_t Version);
void WriteRecord(TBytes& Out, const TPerson& Person, int16_t Version);
void WriteRecord(TBytes& Out, const TPersonData& Data, int16_t Version);
void WriteRecord(TBytes& Out, const TPlayingData& Data, int16_t Version);
void WriteRecord(TBytes& Out, const TNonPlayingData& Data, int16_t Version);
void WritePersonLanguage(TBytes& Out, const TPersonLanguage& Item);

// records attached to persons
void WriteRecord(TBytes& Out, const TLoan& Loan, int16_t Version);
void WriteRecord(TBytes& Out, const TStartingInjury& Injury, int16_t Version);
void WriteRecord(TBytes& Out, const TStartingConfidence& Confidence, int16_t Version);
void WriteRecord(TBytes& Out, const TFutureTransfer& Transfer, int16_t Version);

// the 13-byte playing-history entry without its next offset is 9 bytes; the writer adds the offset
void WriteHistoryEntry(TBytes& Out, const TPlayingHistoryEntry& Entry);

// Size of one record as written, for tests of record layouts.
template <class T> std::size_t RecordSize(const T& Record, int16_t Version) {
    TBytes Out;
    WriteRecord(Out, Record, Version);
    return Out.Size();
}

} // namespace wb
