#pragma once

#include "World.h"

// A model of what a save does to the order and numbering of a world that is otherwise in saved form (every
// reference resolves, IDs of media, cities, stadiums, nations, clubs, teams are list positions), so that tests can
// predict the bytes a load and save writes for worlds that are not yet in that form.
namespace wb {

// All steps below, in the order a save runs them.
void ApplySaveOrder(TWorld& World);

// Retired persons are not kept by a load; the rest are sorted by nation ID (no nation counts as -1) with the
// game's quicksort. Persons are not renumbered.
void SortPeople(TWorld& World);

// Each name pool sorted by (nation ID, use count), IDs renumbered to positions and the persons' name references
// moved along.
void SortNamePools(TWorld& World);

// Nations' first/second/common name start and count, from pools already sorted by nation.
void RealignNames(TWorld& World);

// Stadium moves regrouped by team (team order; move, then capacity change) and numbered 0.. across teams; a later
// record of one kind for a team replaces an earlier one, a record without its team is dropped.
void RebuildStadiumMoves(TWorld& World);

// Award and competition histories grouped by owner in owner order, each owner's sorted by year with the game's
// quicksort, and numbered 0.. across owners; histories without their owner are dropped.
void RenumberHistories(TWorld& World);

// Loans, starting injuries, starting confidences, future transfers, person languages and the three person data
// tables rebuilt in person order and numbered by position, with the persons' data references renumbered.
void PrepareForSave(TWorld& World);

// Club debts regrouped by team: its loans in table order, then its transfer budget; numbered 0.. across teams.
void RebuildClubDebts(TWorld& World);

// Playing histories attached to their persons (a later one replaces an earlier one), empty ones dropped, the rest
// in ascending person UniqueID.
void SortPlayingHistories(TWorld& World);

} // namespace wb
