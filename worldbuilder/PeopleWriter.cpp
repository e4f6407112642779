#include "TableWriter.h"
#include "Writers.h"

namespace wb {

TFileImage PeopleFile(const TWorld& World) {
    TFileImage File;
    const int16_t Version = World.PeopleVersion;
    WriteHeader(File, World.PeopleHeader, Version);

    // The people table carries the three data-table counts after its own; a loader skips them.
    File.Mark("People");
    File.Bytes.I32(static_cast<int32_t>(World.People.size()));
    File.Bytes.I32(static_cast<int32_t>(World.PersonDatas.size()));
    File.Bytes.I32(static_cast<int32_t>(World.PlayingDatas.size()));
    File.Bytes.I32(static_cast<int32_t>(World.NonPlayingDatas.size()));
    for (std::size_t I = 0; I < World.People.size(); ++I) {
        File.Mark(IndexedName("People", I));
        WriteRecord(File.Bytes, World.People[I], Version);
    }

    WriteTable(File, "Person Data", World.PersonDatas, Version);
    WriteTable(File, "Playing Data", World.PlayingDatas, Version);
    WriteTable(File, "Non Playing Data", World.NonPlayingDatas, Version);
    File.Mark("Trailer");
    File.Bytes.Raw(World.PeopleTrailer);
    return File;
}

} // namespace wb
