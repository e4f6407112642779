#pragma once

#include "World.h"

namespace wb {

struct TGeneratorOptions {
    int PeopleCount = 2000;           // persons the saved world holds (retired records come on top)
    uint64_t Seed = 1;                // varies everything random; the same options give the same bytes
    int16_t Version = 147;            // 112, 145 or 147, for every file that carries the version
    int LanguageCount = 3;            // languages in lang_db.dat's directory, 1..MaxGeneratedLanguages
    int DefaultLanguagePosition = -1; // English's place in the directory; -1 puts it second when there are several
    bool Histories = true;            // write the three playing-history files
    int RetiredPerMille = 5;          // retired-person records per thousand persons (a load drops them)
};

inline constexpr int MaxGeneratedLanguages = 10;

// A complete and plausible world of any size, in the form a save writes it (name pools, data tables, attached
// records, histories ordered and numbered as a save leaves them; people sorted by nation with the game's
// quicksort), apart from the retired-person records among the people, which a load drops. Its proportions:
// about one club per fifteen persons, each club with one to three squads (further squads with their companion
// clubs), up to 200 nations with national teams (and under-21 teams for the larger ones), leagues, cups and
// continental competitions with their histories, awards with theirs, cities, stadiums, stadium moves, club debts,
// media of every scope, shared name pools with their use counts, players, staff, player-coaches and officials
// with contracts (co-owned players among them), relationships, languages, loans, starting injuries, starting
// confidences, future transfers, transfer infos of both types, and multi-season playing histories.
// Throws std::invalid_argument for options outside their ranges.
TWorld GenerateWorld(const TGeneratorOptions& Options);

} // namespace wb
