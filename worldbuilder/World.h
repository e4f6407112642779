#pragma once

#include "WorldTypesAttached.h"
#include "WorldTypesCompetition.h"
#include "WorldTypesContainer.h"
#include "WorldTypesPerson.h"
#include "WorldTypesPlace.h"
#include "WorldTypesReference.h"
#include "WorldTypesTeam.h"

#include <array>
#include <optional>

namespace wb {

using THeader = std::array<uint8_t, 12>;

// The 12-byte header every data file starts with: 0, ".dat" in UTF-16LE, the int16 version, 0.
THeader MakeHeader(int16_t Version);

// A language record outside the entity tables, appended to one language table of one block, for files that name
// entities that do not exist. The bytes are the record after its UniqueID.
struct TLangExtraRecord {
    int32_t LanguageUniqueID = DefaultLanguageUniqueID; // the block it goes into
    std::string Table;                                  // "Cities", "Clubs", ... as in a block
    int32_t UniqueID = 0;
    std::vector<uint8_t> Bytes;
};

struct THistoryFiles {
    int16_t IndexVersion = 147;
    int16_t IdVersion = 1;
    int16_t DataVersion = 1;
    std::optional<THeader> IndexHeader; // raw headers override the versions' standard headers
    std::optional<THeader> IdHeader;
    std::optional<THeader> DataHeader;
    std::vector<TPlayingHistory> Histories; // written in this order, slot k for the k-th
};

// A complete description of a data folder. Everything is written exactly as described: the writers never sort,
// renumber or fill in anything, so a test states every byte it depends on.
struct TWorld {
    int16_t ServerVersion = 147; // chooses the record layouts of server_db.dat
    int16_t PeopleVersion = 147; // ... of people_db.dat
    int16_t LangVersion = 147;
    std::optional<THeader> ServerHeader; // raw headers override the versions' standard headers
    std::optional<THeader> PeopleHeader;
    std::optional<THeader> LangHeader;
    std::vector<uint8_t> ServerExtra;   // 15 bytes at version 112, 25 at 145 and 147
    std::vector<uint8_t> PeopleTrailer; // 4 bytes

    // lang_db.dat's directory: language UniqueIDs in directory order; each gets one block of texts.
    std::vector<int32_t> LangDirectory;
    // A save writes the Regions language table empty; set this to write one empty record per region instead.
    bool WriteRegionLangRecords = false;
    std::vector<TLangExtraRecord> LangExtraRecords;

    // server_db.dat, in file order
    std::vector<TAward> Awards;
    std::vector<TCity> Cities;
    std::vector<TClub> Clubs;
    std::vector<TCompetition> Competitions;
    std::vector<TContinent> Continents;
    std::vector<TInjury> Injuries;
    std::vector<TMedia> Medias;
    std::vector<TLanguage> Languages;
    std::vector<TNation> Nations;
    std::vector<TName> FirstNames;
    std::vector<TName> SecondNames;
    std::vector<TName> CommonNames;
    std::vector<TRegion> Regions;
    std::vector<TSponsor> Sponsors;
    std::vector<TStadium> Stadiums;
    std::vector<TStadiumMove> StadiumMoves;
    std::vector<TStage> Stages;
    std::vector<TTeam> Teams;
    std::vector<TWeather> Weathers;
    std::vector<TPlayerType> PlayerTypes;
    std::vector<TAwardHistory> AwardHistories;
    std::vector<TCompetitionHistory> CompetitionHistories;
    std::vector<TLoan> Loans;
    std::vector<TStartingInjury> StartingInjuries;
    std::vector<TStartingConfidence> StartingConfidences;
    std::vector<TFutureTransfer> FutureTransfers;
    std::vector<TClubDebt> ClubDebts;
    std::vector<TPersonLanguage> PersonLanguages;

    // people_db.dat
    std::vector<TPerson> People;
    std::vector<TPersonData> PersonDatas;
    std::vector<TPlayingData> PlayingDatas;
    std::vector<TNonPlayingData> NonPlayingDatas;

    // the three playing-history files; not written when absent
    std::optional<THistoryFiles> Histories;
};

// The smallest loadable world: standard headers, extra block and trailer, and one language (English, ID 0,
// UniqueID 8) that is the whole language directory; no other records. For tests that add exactly what they need.
TWorld EmptyWorld(int16_t Version);

// EmptyWorld(147) with empty playing-history files, 254 more languages (copies of English, named Name when given)
// and Regions regions: every language would give every region a text object, though the blocks hold no texts.
TWorld ManyLanguagesWorld(int32_t Regions, const std::optional<std::u16string>& Name = std::nullopt);

} // namespace wb
