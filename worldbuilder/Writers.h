#pragma once

#include "FileImage.h"
#include "World.h"

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The six data files of a world, each with the offsets of its parts (see TFileImage). Besides the table names:
//   server_db.dat  "Header", "Extra", the 27 tables, "Person Languages" (and "Person Languages[i]")
//   people_db.dat  "Header", "People" (the person count, then the three data-table counts), "People[i]" (at the
//                  int32 written before the kind byte), "Person Data", "Playing Data", "Non Playing Data", "Trailer"
//   lang_db.dat    "Header", "Directory" (the language count byte), "Directory[i]" (UniqueID, then block offset),
//                  "Block[i]" for the i-th directory language, "Block[i].Cities" ... "Block[i].Media" and records
//                  "Block[i].Cities[k]" (at the entity's int32 UniqueID)
//   pl_hist_index  "Header", "Count", "Index[i]";  pl_hist_id  "Header", "Slot[k]";
//   pl_hist_dt     "Header", "History[k]", "History[k][j]" (entry j of slot k)
namespace wb {

TFileImage ServerFile(const TWorld& World);
TFileImage PeopleFile(const TWorld& World);
TFileImage LangFile(const TWorld& World);

struct THistoryImages {
    TFileImage Index;
    TFileImage Id;
    TFileImage Data;
};
THistoryImages HistoryFiles(const THistoryFiles& Histories);

// The twelve language tables of a block, in block order.
const std::vector<std::string>& LangBlockTables();

// Block offsets of the language directory in directory order, counted from the end of the 12-byte header.
std::vector<int32_t> LangBlockOffsets(const TWorld& World);

// Gives every language of the directory the LangFileOffset of its block, as a loaded world carries it.
void AlignLangFileOffsets(TWorld& World);

struct TWorldFiles {
    TFileImage Server;
    TFileImage People;
    TFileImage Lang;
    std::optional<THistoryImages> History;
};
TWorldFiles BuildFiles(const TWorld& World);

// The names of the six data files: server_db.dat, people_db.dat, lang_db.dat, then the three playing-history files.
extern const std::array<const char*, 6> DataFileNames;

// The images of the files with their names, in the order of DataFileNames; the history files only when present.
std::vector<std::pair<std::string, const TFileImage*>> NamedImages(const TWorldFiles& Files);

// Creates Dir when needed and writes server_db.dat, people_db.dat, lang_db.dat and, when the world has
// histories, pl_hist_index.dat, pl_hist_id.dat and pl_hist_dt.dat. Returns the images written.
TWorldFiles WriteWorld(const TWorld& World, const std::string& Dir);

void WriteFileBytes(const std::string& Path, const std::vector<uint8_t>& Bytes);

} // namespace wb
