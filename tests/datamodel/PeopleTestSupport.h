#pragma once

// Helpers of the people and playing-history tests: scratch folders, writing worlds and file images, loading and
// saving through the database, and comparing what a save wrote with the images a world predicts.

#include "PyxDatabase.h"

#include "DiskFolders.h"
#include "FileImage.h"
#include "SaveOrder.h"
#include "ServerTestSupport.h"
#include "Writers.h"

#include <gtest/gtest.h>

#include <string>

namespace pt {

using TFolder = disk::TTempDir;
using servertest::FailureOf;
using servertest::TableLoadFailure;

inline void WriteFiles(const wb::TWorldFiles& Files, const TFolder& Folder) {
    for (const auto& [Name, Image] : wb::NamedImages(Files))
        wb::WriteFileBytes(Folder.File(Name), Image->Data());
}

// Loads the folder into Db, reading playing histories exactly when the folder has them; a load that throws fails
// the test with its message.
inline void Load(TPyxDatabase& Db, const TFolder& Folder) {
    Db.LoadPlayingHistories = Folder.Has("pl_hist_index.dat");
    const std::string Error = FailureOf([&] { Db.Load(Folder.Str()); });
    ASSERT_EQ(Error, "") << "loading " << Folder.Str();
}

// Writes World to Folder and loads it into Db as Load does.
inline void LoadWorld(TPyxDatabase& Db, const wb::TWorld& World, const TFolder& Folder) {
    wb::WriteWorld(World, Folder.Str());
    Load(Db, Folder);
}

inline void Save(TPyxDatabase& Db, const TFolder& Folder) {
    const std::string Error = FailureOf([&] { Db.Save(Folder.Str()); });
    ASSERT_EQ(Error, "") << "saving " << Folder.Str();
}

// What loading these files into a fresh database throws ("" when it loads).
inline std::string LoadError(const wb::TWorldFiles& Files) {
    TFolder Folder;
    WriteFiles(Files, Folder);
    TPyxDatabase Db;
    Db.LoadPlayingHistories = Files.History.has_value();
    return FailureOf([&] { Db.Load(Folder.Str()); });
}

inline std::string LoadError(const wb::TWorld& World) {
    return LoadError(wb::BuildFiles(World));
}

// Every file the images describe holds exactly their bytes.
inline void ExpectFiles(const wb::TWorldFiles& Expected, const TFolder& Folder, bool Languages = true) {
    auto Check = [&](const std::string& Name, const wb::TFileImage& Image) {
        ASSERT_TRUE(Folder.Has(Name)) << Name << " was not written";
        EXPECT_EQ(wb::DescribeDifference(Image, wb::ReadFileBytes(Folder.File(Name))), "") << Name;
    };
    for (const auto& [Name, Image] : wb::NamedImages(Expected))
        if (Languages || Name != "lang_db.dat")
            Check(Name, *Image);
}

// Loads Input, saves it to a new folder and expects the files of Expected there (the caller has applied the save
// order to Expected, with whatever else the save changes).
inline void ExpectSavedAs(const wb::TWorld& Input, const wb::TWorld& Expected) {
    TFolder In, Out;
    TPyxDatabase Db;
    ASSERT_NO_FATAL_FAILURE(LoadWorld(Db, Input, In));
    ASSERT_NO_FATAL_FAILURE(Save(Db, Out));
    ExpectFiles(wb::BuildFiles(Expected), Out);
}

// A load of Input then a save writes what the save order predicts for it.
inline void ExpectRoundTrip(const wb::TWorld& Input) {
    wb::TWorld Expected = Input;
    wb::ApplySaveOrder(Expected);
    ExpectSavedAs(Input, Expected);
}

} // namespace pt
