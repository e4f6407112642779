#include "PyxDatabase.h"

#include "PyxSaveTransaction.h"
#include "PyxText.h"

TPyxDatabase::TPyxDatabase() : Clubs(ServerHeader) {}

TPyxDatabase::~TPyxDatabase() = default;

std::vector<TPyxDatabase::TTable> TPyxDatabase::LanguageBlockTables() {
    return {{&Cities, "Cities"},
            {&Clubs, "Clubs"},
            {&Continents, "Continents"},
            {&Injuries, "Injuries"},
            {&Nations, "Nations"},
            {&Awards, "Awards"},
            {&Stadiums, "Stadiums"},
            {&Stages, "Stages"},
            {&Competitions, "Competitions"},
            {&Regions, "Regions"},
            {&PlayerTypes, "Player Types"},
            {&Medias, "Media"}};
}

std::vector<TPyxDatabase::TTable> TPyxDatabase::ServerTables() {
    return {{&Awards, "Awards"},
            {&Cities, "Cities"},
            {&Clubs, "Clubs"},
            {&Competitions, "Competitions"},
            {&Continents, "Continents"},
            {&Injuries, "Injuries"},
            {&Medias, "Media"},
            {&Languages, "Languages"},
            {&Nations, "Nations"},
            {&Names.FirstNames, "First Names"},
            {&Names.SecondNames, "Second Names"},
            {&Names.CommonNames, "Common Names"},
            {&Regions, "Regions"},
            {&Sponsors, "Sponsors"},
            {&Stadiums, "Stadiums"},
            {&StadiumMoves, "Stadium Moves"},
            {&Stages, "Stages"},
            {&Teams, "Teams"},
            {&Weathers, "Weather"},
            {&PlayerTypes, "Player Types"},
            {&AwardHistories, "Award Histories"},
            {&CompetitionHistories, "Competition Histories"},
            {&Loans, "Loans"},
            {&StartingInjuries, "Starting Injuries"},
            {&StartingConfidences, "Starting Confidence"},
            {&FutureTransfers, "Future Transfers"},
            {&ClubDebts, "Club Debts"}};
}

void TPyxDatabase::Attach(TPyxObjects& Collection) {
    Collection.OnStatus = OnStatus;
    Collection.OnProgress = OnProgress;
}

void TPyxDatabase::AddLanguageSlots(TPyxObject& Entity) const {
    Entity.CreateLangObjects();
    if (!Entity.LangObjects)
        return;
    for (TPyxLanguage* L : LangFileLanguages)
        if (L->UniqueID != DefaultLanguageUniqueID)
            Entity.LangObjects->Add(L);
}

void TPyxDatabase::ClearAll() {
    // People first: they own the records that the load-time tables would otherwise still list.
    People.Clear();
    for (const TTable& T : ServerTables())
        T.Collection->Clear();
    PersonLanguageList.Clear();
    PersonDatas.Clear();
    PlayingDatas.Clear();
    NonPlayingDatas.Clear();
    LangFileLanguages.clear();
    LangFileLanguageCount = 0;
}

std::unique_ptr<TPyxFileStream> TPyxDatabase::OpenForLoading(const TPyxDataFolder& Folder, const char* FileName) {
    try {
        return Folder.OpenRead(FileName);
    } catch (const EFileStreamError&) {
        throw EAccessDeniedError(std::string("Couldn't access ") + FileName +
                                 ".\r\nMake sure the Pyx Path is correct.");
    }
}

template <class F> void TPyxDatabase::LoadSection(const char* Name, F&& Read) {
    DoStatus(std::string("Loading ") + Name);
    WithCorruptContext(std::string("Data file seems to be corrupt, couldn't load ") + Name + ".\r\n", Read);
}

void TPyxDatabase::LoadTable(TPyxObjects& Collection, TPyxFileStream& Stream, bool PersonPrefix, int16_t Version,
                             const char* Name) {
    // The collection is empty: the load began with ClearAll.
    LoadSection(Name, [&] {
        Attach(Collection);
        Collection.LoadFromStream(Stream, Version, PersonPrefix);
    });
}

namespace {

// Reads a part of a file's frame (its header block, extra block or trailer); a file too short for it is reported
// with the file's name.
template <class F> void ReadFramePart(const char* FileName, F&& Read) {
    try {
        Read();
    } catch (const EFileCorruptError& E) {
        const std::string Msg = E.what();
        if (Msg.find(FileName) == 0)
            throw;
        throw EFileCorruptError(std::string("Data file seems to be corrupt, couldn't load ") + FileName + ".\r\n" +
                                Msg);
    }
}

} // namespace

void TPyxDatabase::LoadServerFile(const TPyxDataFolder& Folder) {
    auto Stream = OpenForLoading(Folder, ServerFileName);
    ServerFileSize_ = Stream->Size();
    ReadFramePart(ServerFileName, [&] {
        ServerHeader = ReadFileHeader(*Stream, ServerFileName, {112, 145, 147});
        Stream->Read(ServerExtraHeader.data(), GetVersion() == 112 ? 15 : 25);
    });
    const int16_t Version = GetVersion();
    for (const TTable& T : ServerTables())
        LoadTable(*T.Collection, *Stream, false, Version, T.Name);

    LoadSection("Person Languages", [&] {
        PersonLanguageList.SetEvents(OnStatus, OnProgress);
        PersonLanguageList.LoadIntCounted(*Stream, Version);
    });
}

void TPyxDatabase::LoadPeopleFile(const TPyxDataFolder& Folder) {
    auto Stream = OpenForLoading(Folder, PeopleFileName);
    ReadFramePart(PeopleFileName, [&] { PeopleHeader = ReadFileHeader(*Stream, PeopleFileName, {112, 145, 147}); });
    const int16_t Version = HeaderVersion(PeopleHeader);
    LoadTable(People, *Stream, true, Version, "People");
    LoadTable(PersonDatas, *Stream, false, Version, "Person Data");
    LoadTable(PlayingDatas, *Stream, false, Version, "Playing Data");
    LoadTable(NonPlayingDatas, *Stream, false, Version, "Non Playing Data");
    ReadFramePart(PeopleFileName, [&] { Stream->Read(PeopleTrailer.data(), 4); });
}

void TPyxDatabase::LoadHistoryFiles(const TPyxDataFolder& Folder) {
    struct TCloser {
        TPyxPlayingHistories& H;
        ~TCloser() { H.Close(); }
    } Closer{PlayingHistories};
    PlayingHistories.Open(Folder);
    DoStatus("Loading Playing Histories");
    PlayingHistories.OnProgress = OnProgress;
    WithCorruptContext("The Playing History Files seems to be corrupt, couldn't load data.\r\n",
                       [&] { PlayingHistories.Load(People, Teams); });
}

void TPyxDatabase::LoadLanguage(TPyxFileStream& Stream, TPyxLanguage* Language, int Mode) {
    const std::string LangName = ToUtf8(Language->Name);
    DoStatus("Loading " + LangName + " Language");
    Stream.Seek(12 + static_cast<int64_t>(Language->LangFileOffset), TPyxFileStream::soFromBeginning);
    const std::vector<TTable> Block = LanguageBlockTables();
    for (size_t K = 0; K < Block.size(); ++K) {
        WithCorruptContext("Data file seems to be corrupt, couldn't load the " + LangName + " texts of " +
                               Block[K].Name + " from " + LangFileName + ".\r\n",
                           [&] { Block[K].Collection->LoadLanguage(Stream, Language, Mode); });
        DoProgress(K, Block.size());
    }
}

void TPyxDatabase::CheckLanguageSlots(int64_t LangFileSize) {
    // Every extra language gives every translated entity a text object, whether or not its block holds a record
    // for it. The files of a real database hold a record for each (saves write one), so the number of objects stays
    // below the bytes of the files; a directory of many languages over a file of many entities and empty blocks
    // would otherwise take memory out of all proportion to the files.
    int64_t Entities = 0;
    for (const TTable& T : LanguageBlockTables())
        Entities += T.Collection->Count();
    int64_t Extra = 0;
    for (const TPyxLanguage* L : LangFileLanguages)
        if (L->UniqueID != DefaultLanguageUniqueID)
            ++Extra;
    const int64_t Budget = 4096 + (ServerFileSize_ + LangFileSize) / 8;
    if (Extra * Entities > Budget)
        throw EFileCorruptError(std::string(LangFileName) + " doesn't seem to be a valid Pyx data file.\r\n" +
                                std::to_string(Extra) + " extra languages for " + std::to_string(Entities) +
                                " entities with texts need more texts than the files hold.");
}

void TPyxDatabase::LoadLangFile(const TPyxDataFolder& Folder) {
    auto Stream = OpenForLoading(Folder, LangFileName);
    ReadFramePart(LangFileName, [&] {
        LangHeader = ReadFileHeader(*Stream, LangFileName, {112, 145, 147, 200});
        LangFileLanguageCount = Stream->ReadByte();
        Stream->Require(8 * static_cast<int64_t>(LangFileLanguageCount));
    });
    const std::string Invalid = std::string(LangFileName) + " doesn't seem to be a valid Pyx data file.\r\n";
    const int64_t BlocksStart = 1 + 8 * static_cast<int64_t>(LangFileLanguageCount);
    for (int I = 0; I < LangFileLanguageCount; ++I) {
        int32_t LanguageID = Stream->ReadInt32();
        TPyxLanguage* L = Languages.FindByUniqueID(LanguageID);
        if (!L)
            throw EFileCorruptError(Invalid + "Unknown Language: " + std::to_string(LanguageID));
        // A language listed twice would get two sets of texts in every entity and be saved twice.
        if (std::find(LangFileLanguages.begin(), LangFileLanguages.end(), L) != LangFileLanguages.end())
            throw EFileCorruptError(Invalid + "Duplicate Language: " + std::to_string(LanguageID));
        LangFileLanguages.push_back(L);
        L->LangFileOffset = Stream->ReadInt32();
        // A block starts after the directory; an offset into the header or the directory would read them as texts.
        // (One past the end fails as a short read of the block's first table.)
        if (L->LangFileOffset < BlocksStart)
            throw EFileCorruptError(Invalid + "Language Offset: " + std::to_string(L->LangFileOffset));
    }
    const auto Default = std::find_if(LangFileLanguages.begin(), LangFileLanguages.end(),
                                      [&](const TPyxLanguage* L) { return L->UniqueID == DefaultLanguageUniqueID; });
    if (Default == LangFileLanguages.end())
        throw EFileCorruptError(Invalid + "Missing Default Language: " + std::to_string(DefaultLanguageUniqueID));
    LoadLanguage(*Stream, *Default, 0);
    if (LoadAllLanguages) {
        CheckLanguageSlots(Stream->Size());
        bool First = true;
        for (TPyxLanguage* L : LangFileLanguages)
            if (L->UniqueID != DefaultLanguageUniqueID) {
                LoadLanguage(*Stream, L, First ? 1 : 2);
                First = false;
            }
    }
}

void TPyxDatabase::Load(const std::string& Path) {
    DataPath = WithPathDelimiter(Path);
    TPyxSaveTransaction::FinishInterruptedSave(DataPath);
    Load(TPyxDiskFolder(DataPath));
}

void TPyxDatabase::Load(const TPyxDataFolder& Folder) {
    Loaded_ = false;
    ClearAll();
    LoadServerFile(Folder);
    LoadPeopleFile(Folder);
    if (LoadPlayingHistories)
        LoadHistoryFiles(Folder);
    LoadLangFile(Folder);
    ConvertIndexes();
    HistoriesLoaded_ = LoadPlayingHistories;
    AllLanguagesLoaded_ = LoadAllLanguages;
    Loaded_ = true;
}

void TPyxDatabase::ConvertIndexes() {
    const int16_t Version = GetVersion();
    Awards.ConvertIndexes(Continents, Nations, Competitions);
    AwardHistories.ConvertIndexes(Awards, People);
    Cities.ConvertIndexes(Nations, Weathers);
    Clubs.ConvertIndexes(Nations, People, Version, Stadiums, Teams);
    ClubDebts.ConvertIndexes(Teams);
    Competitions.ConvertIndexes(Continents, Nations);
    CompetitionHistories.ConvertIndexes(Competitions, Teams);
    FutureTransfers.ConvertIndexes(People, Teams);
    Loans.ConvertIndexes(People, Teams);
    Medias.ConvertIndexes(Clubs, Cities, Competitions, Continents, Nations, Regions);
    Names.FirstNames.ConvertIndexes(Nations);
    Names.SecondNames.ConvertIndexes(Nations);
    Names.CommonNames.ConvertIndexes(Nations);
    Nations.ConvertIndexes(People, Languages, Cities, Regions, Continents, Stadiums, Teams, Clubs, Version);
    {
        TPyxHandOver<TPyxPersonData> PersonDataRecords(PersonDatas, "Person Data");
        TPyxHandOver<TPyxPlayingData> PlayingDataRecords(PlayingDatas, "Playing Data");
        TPyxHandOver<TPyxNonPlayingData> NonPlayingDataRecords(NonPlayingDatas, "Non Playing Data");
        TPyxPersonLinks Links{PersonDataRecords,
                              PlayingDataRecords,
                              NonPlayingDataRecords,
                              Cities,
                              Competitions,
                              Names,
                              Nations,
                              Teams,
                              Clubs,
                              People,
                              Stadiums};
        People.ConvertIndexes(Links);
    }
    PersonLanguageList.ConvertIndexes(People, Languages);
    Stadiums.ConvertIndexes(Cities, Clubs);
    StadiumMoves.ConvertIndexes(Teams, Stadiums);
    StartingConfidences.ConvertIndexes(People);
    StartingInjuries.ConvertIndexes(People, Injuries);
    Teams.ConvertIndexes(Competitions, Stadiums, Nations, Clubs, People);
}
