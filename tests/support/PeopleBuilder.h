#pragma once

#include "World.h"

#include <cstdint>

// Small worlds of people for tests that state every person and record they depend on.
namespace wb {

// Appends a person of Type (1 staff, 2 player, 3 player and staff, 4 official, 5 retired) with the attribute
// records its type needs, each record appended to its table with its position as ID, as a saved world has them.
// Every field holds a value derived from Seed and UniqueID, so a field read into the wrong place or written from
// the wrong one shows in the bytes; the counts that must be zero stay zero and references stay unset (-1).
TPerson& AddPerson(TWorld& World, uint8_t Type, int32_t ID, int32_t UniqueID, uint64_t Seed = 1);

// Appends a nation with no texts, kits or teams; enough for persons to be of that nation.
TNation& AddNation(TWorld& World, int32_t UniqueID);

// Takes a world in saved form out of it, as a database edited by hand would be: the persons share the first
// NationsInUse nations or have none and stand in no particular order; the three person data tables, the loans,
// starting injuries, starting confidences, future transfers, person languages and playing-history slots are
// shuffled, and the records of the tables carry IDs that are not their positions (the persons' references follow).
// The same seed gives the same world.
void UnsortPeople(TWorld& World, uint64_t Seed, int NationsInUse = 3);

} // namespace wb
