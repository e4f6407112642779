#pragma once

#include "World.h"

namespace wb {

struct TSampleOptions {
    int16_t Version = 147;           // server_db.dat, people_db.dat and pl_hist_index.dat: 112, 145 or 147
    int16_t LangVersion = 0;         // lang_db.dat; 0 takes Version (200 is a valid choice)
    int LanguageCount = 3;           // languages in lang_db.dat's directory, 1..5
    int DefaultLanguagePosition = 0; // where English (UniqueID 8) stands in the directory, 0..LanguageCount-1
    int PeopleCount = 16;            // at least 12; each person after the first has a nation of its own; people
                                     // after the 212th hold no post
    uint64_t Seed = 1;               // varies names, dates, attributes and UniqueIDs, never the structure
    bool Histories = true;           // write the three playing-history files
};

// A small, complete and consistent world with every record kind, already in saved form: a load followed by a save
// writes the same bytes. Its shape, whatever the seed:
// - nations: one per person (the first person has none, nation 2 has nobody); national teams for nations 0, 1, 3
//   (nation 1's of record kind 11), each sharing its UniqueID with a club record of its own;
// - clubs: Northport United (nation 0; first team and reserves), Eastbridge Rovers (nation 1; one team),
//   Westfield Athletic (nation 3; first team and a kind-11 under-21 squad); the second squads' companion clubs;
// - people in nation order: a free agent without nation, players with loans, injuries, future transfers, a
//   co-owned player, a manager, a player/coach (type 3), an official (type 4), a chairman, staff of every kind of
//   post, relationships of all target types; contracts club first, co-owner second, nation last;
// - stadium moves and capacity changes, club debts of kinds 0, 1, 2, transfer infos of types 5 and 9, award and
//   competition histories (distinct years per owner), playing histories with tied seasons.
TWorld SampleWorld(const TSampleOptions& Options = {});

// Copies each translated record's default-language texts into the fields its server record repeats (name bytes,
// a city's citizen name, a club's nicknames, a stage's names, ...), which a saved world always has equal.
void SyncServerTexts(TWorld& World);

} // namespace wb
