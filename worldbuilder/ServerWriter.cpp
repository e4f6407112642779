#include "TableWriter.h"
#include "Writers.h"

namespace wb {

TFileImage ServerFile(const TWorld& World) {
    TFileImage File;
    const int16_t Version = World.ServerVersion;
    WriteHeader(File, World.ServerHeader, Version);
    File.Mark("Extra");
    File.Bytes.Raw(World.ServerExtra);

    WriteTable(File, "Awards", World.Awards, Version);
    WriteTable(File, "Cities", World.Cities, Version);
    WriteTable(File, "Clubs", World.Clubs, Version);
    WriteTable(File, "Competitions", World.Competitions, Version);
    WriteTable(File, "Continents", World.Continents, Version);
    WriteTable(File, "Injuries", World.Injuries, Version);
    WriteTable(File, "Media", World.Medias, Version);
    WriteTable(File, "Languages", World.Languages, Version);
    WriteTable(File, "Nations", World.Nations, Version);
    WriteTable(File, "First Names", World.FirstNames, Version);
    WriteTable(File, "Second Names", World.SecondNames, Version);
    WriteTable(File, "Common Names", World.CommonNames, Version);
    WriteTable(File, "Regions", World.Regions, Version);
    WriteTable(File, "Sponsors", World.Sponsors, Version);
    WriteTable(File, "Stadiums", World.Stadiums, Version);
    WriteTable(File, "Stadium Moves", World.StadiumMoves, Version);
    WriteTable(File, "Stages", World.Stages, Version);
    WriteTable(File, "Teams", World.Teams, Version);
    WriteTable(File, "Weather", World.Weathers, Version);
    WriteTable(File, "Player Types", World.PlayerTypes, Version);
    WriteTable(File, "Award Histories", World.AwardHistories, Version);
    WriteTable(File, "Competition Histories", World.CompetitionHistories, Version);
    WriteTable(File, "Loans", World.Loans, Version);
    WriteTable(File, "Starting Injuries", World.StartingInjuries, Version);
    WriteTable(File, "Starting Confidence", World.StartingConfidences, Version);
    WriteTable(File, "Future Transfers", World.FutureTransfers, Version);
    WriteTable(File, "Club Debts", World.ClubDebts, Version);

    File.Mark("Person Languages");
    File.Bytes.I32(static_cast<int32_t>(World.PersonLanguages.size()));
    for (std::size_t I = 0; I < World.PersonLanguages.size(); ++I) {
        File.Mark(IndexedName("Person Languages", I));
        WritePersonLanguage(File.Bytes, World.PersonLanguages[I]);
    }
    return File;
}

} // namespace wb
