#pragma once

#include "PyxDataFolder.h"
#include "PyxObjects.h"
#include "PyxPlayingHistory.h"

#include <array>
#include <memory>
#include <string>

class TPyxPeople;
class TPyxTeams;

// The three playing-history files: pl_hist_index.dat (which person has which slot), pl_hist_id.dat (where each
// slot's chain starts and ends) and pl_hist_dt.dat (the entries, chained by offsets).
class TPyxPlayingHistories final : public TPyxEvents {
public:
    static constexpr const char* IndexFileName = "pl_hist_index.dat";
    static constexpr const char* IdFileName = "pl_hist_id.dat";
    static constexpr const char* DataFileName = "pl_hist_dt.dat";

    // Opens the three files of Folder for reading; EAccessDeniedError naming the first that cannot be opened.
    void Open(const TPyxDataFolder& Folder);
    void Close();
    // Reads the histories from the open files and gives each to its person.
    void Load(const TPyxPeople& People, const TPyxTeams& Teams);
    // Writes the histories of People, in ascending person UniqueID, to three streams.
    void Save(const TPyxPeople& People, TPyxFileStream& Index, TPyxFileStream& Id, TPyxFileStream& Data) const;

    std::array<uint8_t, 12> IndexHeader{};
    std::array<uint8_t, 12> IdHeader{};
    std::array<uint8_t, 12> DataHeader{};

private:
    std::unique_ptr<TPyxFileStream> IndexStream_;
    std::unique_ptr<TPyxFileStream> IdStream_;
    std::unique_ptr<TPyxFileStream> DataStream_;
};
