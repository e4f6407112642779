#include "PyxDatabase.h"

#include "PyxText.h"

void TPyxDatabase::SortAll() {
    auto Step = [&](const char* Status, TPyxObjects& Collection, auto&& Action) {
        DoStatus(Status);
        Attach(Collection);
        Action();
    };
    Step("Sorting Media", Medias, [&] { Medias.Sort(); });
    Step("Sorting Cities", Cities, [&] { Cities.Sort(); });
    Step("Sorting Stadiums", Stadiums, [&] { Stadiums.Sort(); });
    Step("Sorting Nations", Nations, [&] { Nations.Sort(); });
    Step("Sorting Clubs", Clubs, [&] { Clubs.Sort(); });
    Step("Sorting Teams", Teams, [&] { Teams.Sort(); });
    Step("Sorting People", People, [&] { People.Sort(); });
    Step("Sorting First Names", Names.FirstNames, [&] { Names.FirstNames.Sort(); });
    Step("Sorting Second Names", Names.SecondNames, [&] { Names.SecondNames.Sort(); });
    Step("Sorting Common Names", Names.CommonNames, [&] { Names.CommonNames.Sort(); });
    Step("Realigning Names", Nations, [&] { Nations.RealignNames(Names); });
    Step("Sorting Stadium Moves", Teams, [&] { Teams.RenumberStadiumMoves(); });
    Step("Sorting Award Histories", Awards, [&] { Awards.RenumberHistories(); });
    Step("Sorting Competition Histories", Competitions, [&] { Competitions.RenumberHistories(); });
    Step("Sorting Person Configurations", People, [&] { People.PrepareForSave(); });
    Step("Sorting Club Debts", Teams, [&] { Teams.RenumberClubDebts(); });
}

template <class F> void TPyxDatabase::SaveSection(const char* Name, F&& Write) {
    DoStatus(std::string("Saving ") + Name);
    WithCorruptContext(std::string("Couldn't save ") + Name + ".\r\n", Write);
}

void TPyxDatabase::SaveTable(TPyxObjects& Collection, TPyxFileStream& Stream, int16_t Version, const char* Name) {
    SaveSection(Name, [&] {
        Attach(Collection);
        Collection.SaveToStream(Stream, Version);
    });
}

void TPyxDatabase::SaveServerFile(TPyxSaveTarget& Files) {
    TPyxFileStream& Stream = Files.Create(ServerFileName);
    const int16_t Version = GetVersion();
    Stream.Write(ServerHeader.data(), 12);
    if (Version == 112)
        Stream.Write(ServerExtraHeader.data(), 15);
    else if (Version == 145 || Version == 147)
        Stream.Write(ServerExtraHeader.data(), 25);
    else
        throw EFileCorruptError(
            std::string(ServerFileName) +
            " doesn't seem to be a valid Pyx data file.\r\nUnknown File Version: " + std::to_string(Version));
    const std::vector<TTable> Tables = ServerTables();
    auto SaveTables = [&](size_t From, size_t To) {
        for (size_t I = From; I < To; ++I)
            SaveTable(*Tables[I].Collection, Stream, Version, Tables[I].Name);
    };
    SaveTables(0, 15); // Awards .. Stadiums
    Attach(Teams);
    SaveSection("Stadium Moves", [&] { Teams.SaveStadiumMoves(Stream, Version); });
    SaveTables(16, 20); // Stages .. Player Types
    Attach(People);
    SaveSection("Award Histories", [&] { Awards.SaveHistories(Stream, Version); });
    SaveSection("Competition Histories", [&] { Competitions.SaveHistories(Stream, Version); });
    SaveSection("Loans", [&] { People.SaveLoans(Stream, Version); });
    SaveSection("Starting Injuries", [&] { People.SaveStartingInjuries(Stream, Version); });
    SaveSection("Starting Confidence", [&] { People.SaveStartingConfidences(Stream, Version); });
    SaveSection("Future Transfers", [&] { People.SaveFutureTransfers(Stream, Version); });
    SaveSection("Club Debts", [&] { Teams.SaveClubDebts(Stream, Version); });
    SaveSection("Person Languages", [&] { People.SavePersonLanguages(Stream, Version); });
}

void TPyxDatabase::SavePeopleFile(TPyxSaveTarget& Files) {
    TPyxFileStream& Stream = Files.Create(PeopleFileName);
    const int16_t Version = HeaderVersion(PeopleHeader);
    Stream.Write(PeopleHeader.data(), 12);
    Attach(People);
    SaveSection("People", [&] { People.SavePeople(Stream, Version); });
    SaveSection("Person Data", [&] { People.SavePersonDatas(Stream, Version); });
    SaveSection("Playing Data", [&] { People.SavePlayingDatas(Stream, Version); });
    SaveSection("Non Playing Data", [&] { People.SaveNonPlayingDatas(Stream, Version); });
    Stream.Write(PeopleTrailer.data(), 4);
}

void TPyxDatabase::SaveHistoryFiles(TPyxSaveTarget& Files) {
    TPyxFileStream& Index = Files.Create(TPyxPlayingHistories::IndexFileName);
    TPyxFileStream& Id = Files.Create(TPyxPlayingHistories::IdFileName);
    TPyxFileStream& Data = Files.Create(TPyxPlayingHistories::DataFileName);
    SaveSection("Playing Histories", [&] {
        PlayingHistories.OnProgress = OnProgress;
        PlayingHistories.Save(People, Index, Id, Data);
    });
}

void TPyxDatabase::SaveLangFile(TPyxSaveTarget& Files) {
    TPyxFileStream& Stream = Files.Create(LangFileName);
    const auto N = static_cast<int32_t>(LangFileLanguages.size());
    Stream.Write(LangHeader.data(), 12);
    Stream.WriteByte(static_cast<uint8_t>(N));
    for (const TPyxLanguage* L : LangFileLanguages) {
        Stream.WriteInt32(L->UniqueID);
        Stream.WriteInt32(L->UniqueID); // replaced by the block's offset below
    }
    const std::vector<TTable> Block = LanguageBlockTables();
    int64_t Offset = Stream.Position() - 12;
    int NextExtra = 1;
    for (int32_t I = 0; I < N; ++I) {
        const TPyxLanguage* L = LangFileLanguages[static_cast<size_t>(I)];
        Stream.Seek(17 + 8 * static_cast<int64_t>(I), TPyxFileStream::soFromBeginning);
        Stream.WriteInt32(static_cast<int32_t>(Offset));
        Stream.Seek(12 + Offset, TPyxFileStream::soFromBeginning);
        const std::string LangName = ToUtf8(L->Name);
        const int LangIndex = L->UniqueID == DefaultLanguageUniqueID ? 0 : NextExtra++;
        SaveSection((LangName + " Language").c_str(), [&] {
            for (size_t K = 0; K < Block.size(); ++K) {
                Block[K].Collection->SaveLangToStream(Stream, LangIndex);
                DoProgress(K, Block.size());
            }
        });
        Offset = Stream.Position() - 12;
    }
}

void TPyxDatabase::Save(const std::string& Path) {
    if (!Loaded_)
        throw EPyxError("No database has been loaded, so there is nothing to save.");
    DataPath = WithPathDelimiter(Path);
    TPyxDiskFolder Folder(DataPath);
    Save(Folder);
}

void TPyxDatabase::Save(TPyxDataFolder& Folder) {
    if (!Loaded_)
        throw EPyxError("No database has been loaded, so there is nothing to save.");
    SortAll();
    std::unique_ptr<TPyxSaveTarget> Target = Folder.BeginSave();
    TPyxSaveTarget& Files = *Target;
    try {
        SaveServerFile(Files);
        SavePeopleFile(Files);
        if (LoadPlayingHistories && HistoriesLoaded_)
            SaveHistoryFiles(Files);
        if (LoadAllLanguages && AllLanguagesLoaded_)
            SaveLangFile(Files);
    } catch (const EFileStreamError& E) {
        throw EAccessDeniedError("Couldn't write " + Files.TargetOf(E.FileName) + ".\r\n" + E.what());
    }
    Files.Commit();
}
