#pragma once

#include "PyxDatabase.h"
#include "ReferenceWalk.h"

#include "DiskFolders.h"
#include "SampleBuilder.h"
#include "SampleWorld.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace ew {

using disk::TTempDir;

// A sample world written to disk and loaded, for tests that edit it, save it and load what was saved.
class TEditedWorld {
public:
    explicit TEditedWorld(const wb::TWorld& World = wb::SampleWorld(DefaultOptions()));
    static wb::TSampleOptions DefaultOptions();

    TPyxDatabase& Db() { return *Db_; }
    // Saves the edited database and loads the saved files into a second database, returned.
    TPyxDatabase& SaveAndReload();
    TPyxDatabase& Reloaded() { return *Reloaded_; }

    // The sample world's people, clubs, teams and nations by their position in the files (stable across the
    // sort a save does, and across the reload).
    TPyxPerson* Person(int K) const { return Db_->People.FindByUniqueID(PersonKeys_.at(static_cast<size_t>(K))); }
    TPyxClub* Club(int K) const { return Db_->Clubs.FindByUniqueID(ClubKeys_.at(static_cast<size_t>(K))); }
    TPyxTeam* Team(int K) const { return Db_->Teams.FindByUniqueID(TeamKeys_.at(static_cast<size_t>(K))); }
    TPyxNation* Nation(int K) const { return Db_->Nations.FindByUniqueID(NationKeys_.at(static_cast<size_t>(K))); }
    int32_t PersonKey(int K) const { return PersonKeys_.at(static_cast<size_t>(K)); }
    int32_t ClubKey(int K) const { return ClubKeys_.at(static_cast<size_t>(K)); }
    int32_t TeamKey(int K) const { return TeamKeys_.at(static_cast<size_t>(K)); }
    int32_t NationKey(int K) const { return NationKeys_.at(static_cast<size_t>(K)); }

private:
    TTempDir In_, Out_;
    std::unique_ptr<TPyxDatabase> Db_;
    std::unique_ptr<TPyxDatabase> Reloaded_;
    std::vector<int32_t> PersonKeys_, ClubKeys_, TeamKeys_, NationKeys_;
};

// Positions of the sample world's fixed people (see wb::SampleWorld).
enum EPerson : int {
    FreeAgent,
    NorthportPlayer,       // also a player of nation 0's team
    CoOwnedPlayer,         // Northport's, co-owned by Westfield, also of nation 1's team
    NorthportManager,      // also manager of nation 0's team
    EastbridgePlayerCoach, // type 3
    Referee,               // type 4
    EastbridgeChairman,
    NorthportPhysio,
    WestfieldCoach, // also coach of nation 3's team
    NorthportScout,
    WestfieldDirector, // managing director
    WestfieldPlayer,   // loaned to Northport's reserves, also of nation 3's team
};

// Positions of the sample world's clubs, and of its teams as the sample builder numbers them.
enum EClub : int { Northport, Eastbridge, Westfield, NorthportReservesCompanion, WestfieldU21Companion };
using enum wb::TSampleBuilder::ETeam;

std::string Join(const std::vector<std::string>& Lines);

} // namespace ew

// No dangling reference, and every count and list agrees with the references.
#define EXPECT_CONSISTENT(Db) EXPECT_EQ(ew::Join(rw::Problems(Db)), "")
