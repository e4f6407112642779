#pragma once

#include "PyxAward.h"
#include "PyxCity.h"
#include "PyxClub.h"
#include "PyxClubDebt.h"
#include "PyxCompetition.h"
#include "PyxContinent.h"
#include "PyxDataFolder.h"
#include "PyxFileHeader.h"
#include "PyxFutureTransfer.h"
#include "PyxInjury.h"
#include "PyxLanguage.h"
#include "PyxLoan.h"
#include "PyxMedia.h"
#include "PyxName.h"
#include "PyxNation.h"
#include "PyxPeople.h"
#include "PyxPersonData.h"
#include "PyxPersonLanguage.h"
#include "PyxPlayerType.h"
#include "PyxPlayingHistories.h"
#include "PyxRegion.h"
#include "PyxSponsor.h"
#include "PyxStadium.h"
#include "PyxStadiumMove.h"
#include "PyxStage.h"
#include "PyxStartingConfidence.h"
#include "PyxStartingInjury.h"
#include "PyxTeam.h"
#include "PyxWeather.h"

#include <array>
#include <string>
#include <vector>

// The whole pre-game database in memory: every entity collection and the playing histories. It reads the data
// files of a folder, links the stored keys into references, and on saving sorts, renumbers and writes every file
// back in the game's format.
class TPyxDatabase final : public TPyxEvents {
public:
    static constexpr const char* ServerFileName = "server_db.dat";
    static constexpr const char* PeopleFileName = "people_db.dat";
    static constexpr const char* LangFileName = "lang_db.dat";

    TPyxDatabase();
    ~TPyxDatabase();
    TPyxDatabase(const TPyxDatabase&) = delete;
    TPyxDatabase& operator=(const TPyxDatabase&) = delete;

    // Reads the data folder. EAccessDeniedError or EFileCorruptError on failure; after a failure the database
    // holds an unlinked part of the files and may only be loaded again or destroyed.
    void Load(const std::string& Path);
    void Load(const TPyxDataFolder& Folder);
    // Sorts, renumbers and writes the data folder. Requires a completed Load. A save that fails before it replaces
    // the files leaves them as they were; one killed while it replaces them is completed by the next load or save
    // of the folder (see TPyxSaveTransaction). The playing-history files and lang_db.dat are written when their
    // option is set now and was set for the load.
    void Save(const std::string& Path);
    void Save(TPyxDataFolder& Folder);
    bool IsLoaded() const { return Loaded_; }

    // The server_db.dat version (0 before the first load).
    int16_t GetVersion() const { return HeaderVersion(ServerHeader); }
    // Gives an entity the editor created one language object per extra language of lang_db.dat's directory.
    void AddLanguageSlots(TPyxObject& Entity) const;

    // New entities as the editor adds them: fresh keys, language slots for the translated kinds, entered in
    // their collections. Each returns the new entity, which the collection owns.
    // A new player (no language slots: persons have no texts).
    TPyxPerson* AddPerson();
    // A new club with its first team, which shares the club's UniqueID.
    TPyxClub* AddClub();
    // A further squad of Club (squad type 3) with the companion club record that shares its UniqueID. Nil, and
    // nothing added, when Club has no first team (a companion or a national team's club record): the squad would
    // become its first team without sharing its UniqueID.
    TPyxTeam* AddSquad(TPyxClub& Club);
    TPyxStadium* AddStadium();
    TPyxCity* AddCity();
    TPyxMedia* AddMedia();

    // Deleting entities as the editor does. Each entity is unlinked from every collection that refers to it, then
    // removed and freed; one that is not in its collection is left alone.
    // Takes the club's people out of it, deletes its teams (and their companion clubs), unlinks it from every other
    // collection, then removes and frees it. Does nothing to a club record that stands for a team of another club
    // or of a nation (TeamStoodFor): that team would be left without the club record whose UniqueID it shares. Such
    // a record goes with its team (DeleteClubTeam).
    void DeleteClub(TPyxClub* Club);
    // Detaches one of Club's teams and deletes it, with the companion club that shares its UniqueID when that club
    // has no teams of its own. The first team goes only when it is the club's last one (deleting the club takes
    // its teams last to first); false when nothing was deleted.
    bool DeleteClubTeam(TPyxClub& Club, TPyxTeam* Team);
    // The team of another container that carries Club's UniqueID (Club is its companion record); nil when none.
    const TPyxTeam* TeamStoodFor(const TPyxClub& Club) const;
    // Deletes the nation's teams, unlinks the nation from every other collection, then removes and frees it.
    void DeleteNation(TPyxNation* Nation);
    // Takes the team's people off it, unlinks it from every other collection and from its container's team list,
    // then removes and frees it. A companion club is the caller's business (DeleteClubTeam).
    void DeleteTeam(TPyxTeam* Team);
    // Clears the person's links through the setters, removes every reference to the person from the rest of the
    // database, then removes and frees it.
    void DeletePerson(TPyxPerson* Person);

    std::string DataPath;
    bool LoadAllLanguages = true;
    bool LoadPlayingHistories = true;
    int32_t DefaultLanguageUniqueID = 8;

    TPyxFileHeader ServerHeader{};
    std::array<uint8_t, 25> ServerExtraHeader{};
    TPyxFileHeader PeopleHeader{};
    std::array<uint8_t, 4> PeopleTrailer{};
    TPyxFileHeader LangHeader{};
    uint8_t LangFileLanguageCount = 0;
    // The languages of lang_db.dat's directory, in directory order (borrowed from Languages).
    std::vector<TPyxLanguage*> LangFileLanguages;

    TPyxAwards Awards;
    TPyxCities Cities;
    TPyxClubs Clubs;
    TPyxCompetitions Competitions;
    TPyxContinents Continents;
    TPyxInjuries Injuries;
    TPyxMedias Medias;
    TPyxLanguages Languages;
    TPyxNations Nations;
    TPyxNamePools Names;
    TPyxRegions Regions;
    TPyxSponsors Sponsors;
    TPyxStadiums Stadiums;
    TPyxStadiumMoves StadiumMoves;
    TPyxStages Stages;
    TPyxTeams Teams;
    TPyxWeathers Weathers;
    TPyxPlayerTypes PlayerTypes;
    TPyxAwardHistories AwardHistories;
    TPyxCompetitionHistories CompetitionHistories;
    TPyxLoans Loans;
    TPyxStartingInjuries StartingInjuries;
    TPyxStartingConfidences StartingConfidences;
    TPyxFutureTransfers FutureTransfers;
    TPyxClubDebts ClubDebts;
    TPyxPersonLanguageList PersonLanguageList;
    TPyxPeople People;
    TPyxPersonDatas PersonDatas;
    TPyxPlayingDatas PlayingDatas;
    TPyxNonPlayingDatas NonPlayingDatas;
    TPyxPlayingHistories PlayingHistories;

    // The server_db.dat tables in file order, with the names status texts and messages use.
    struct TTable {
        TPyxObjects* Collection;
        const char* Name;
    };
    std::vector<TTable> ServerTables();
    // The twelve tables of a lang_db.dat block, in block order.
    std::vector<TTable> LanguageBlockTables();

    void ConvertIndexes();
    void SortAll();

private:
    void ClearAll();
    void LoadTable(TPyxObjects& Collection, TPyxFileStream& Stream, bool PersonPrefix, int16_t Version,
                   const char* Name);
    void LoadServerFile(const TPyxDataFolder& Folder);
    void LoadPeopleFile(const TPyxDataFolder& Folder);
    void LoadHistoryFiles(const TPyxDataFolder& Folder);
    void LoadLangFile(const TPyxDataFolder& Folder);
    // Refuses a directory whose extra languages would give the entities more text objects than the files could
    // hold records for.
    void CheckLanguageSlots(int64_t LangFileSize);
    void LoadLanguage(TPyxFileStream& Stream, TPyxLanguage* Language, int Mode);
    void SaveServerFile(TPyxSaveTarget& Files);
    void SavePeopleFile(TPyxSaveTarget& Files);
    void SaveHistoryFiles(TPyxSaveTarget& Files);
    void SaveLangFile(TPyxSaveTarget& Files);
    void SaveTable(TPyxObjects& Collection, TPyxFileStream& Stream, int16_t Version, const char* Name);
    // A part of a data file, read by Read or written by Write, with its status text; a corrupt record or field in it
    // is reported with the part's name.
    template <class F> void LoadSection(const char* Name, F&& Read);
    template <class F> void SaveSection(const char* Name, F&& Write);
    void Attach(TPyxObjects& Collection);
    static std::unique_ptr<TPyxFileStream> OpenForLoading(const TPyxDataFolder& Folder, const char* FileName);

    bool Loaded_ = false;
    int64_t ServerFileSize_ = 0; // of the server_db.dat being loaded
    // The options the completed load ran with: a save writes the history files and lang_db.dat only when their
    // contents were read, so switching an option on after a load cannot replace them with nothing.
    bool HistoriesLoaded_ = false;
    bool AllLanguagesLoaded_ = false;
};
