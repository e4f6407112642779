#pragma once

#include "World.h"

namespace wb {

// Relabels the IDs of the kinds a save renumbers to list positions (media, cities, stadiums, nations, clubs,
// teams) and rewrites every ID reference to them across the world, so that a world in saved form becomes one a
// save must renumber. References that resolve to nothing (-1 or unknown keys) are left as they are. New IDs are
// distinct within a kind, never equal to the old position, and descend through the list with gaps.
void ScrambleIDs(TWorld& World);

} // namespace wb
