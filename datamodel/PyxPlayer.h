#pragma once

#include "PyxFutureTransfer.h"
#include "PyxLoan.h"
#include "PyxPersonData.h"
#include "PyxRecordPool.h"
#include "PyxStartingInjury.h"

#include <array>

template <class T> class TPyxHandOver;

// A player's career statistics (eight int16 in file order).
struct TPyxCareerStats {
    int16_t ClubLeagueGoals = 0, ClubGoals = 0, ClubAppearances = 0, LeagueGoals = 0, Goals = 0, Appearances = 0,
            ClubLeagueAppearances = 0, LeagueAppearances = 0;

    void LoadFromStream(TPyxFileStream& Stream);
    void SaveToStream(TPyxFileStream& Stream) const;
};

// The player part of a person: its block of the person record, its attribute record and its attached records.
class TPyxPlayer final : public TPyxPooled<TPyxPlayer> {
public:
    // New players take a default that depends on the loaded server_db.dat version. A part about to be read from a
    // file gets its attribute record at linking instead.
    explicit TPyxPlayer(int16_t ServerVersion = 147, bool WithPlayingData = true);

    void LoadFromStream(TPyxFileStream& Stream, int16_t Version);
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const;
    // Takes the attribute record the block names; EFileCorruptError when there is none.
    void ConvertIndexes(TPyxHandOver<TPyxPlayingData>& PlayingDatas);

    // Each frees the record it replaces and takes the new one (nil allowed).
    void SetCareerStats(std::unique_ptr<TPyxCareerStats> Stats) { CareerStats = std::move(Stats); }
    void SetFutureTransfer(std::unique_ptr<TPyxFutureTransfer> F) { FutureTransfer = std::move(F); }
    void SetLoan(std::unique_ptr<TPyxLoan> L) { Loan = std::move(L); }
    void SetStartingInjury(std::unique_ptr<TPyxStartingInjury> S) { StartingInjury = std::move(S); }

    // Grouped by size rather than in record order (the reader and writer keep that), which saves 16 bytes of
    // padding on each of a large world's quarter of a million players.
    std::unique_ptr<TPyxPlayingData> PlayingData;
    std::unique_ptr<TPyxCareerStats> CareerStats;
    std::unique_ptr<TPyxFutureTransfer> FutureTransfer;
    std::unique_ptr<TPyxLoan> Loan;
    std::unique_ptr<TPyxStartingInjury> StartingInjury;
    int32_t PlayerValue1 = -1;
    int32_t EstimatedValue = 0;
    int32_t PlayerValue7 = 0;
    int32_t PlayerValue8 = -1;
    int32_t PlayerValue9;
    int32_t PlayerValue10 = 0;

    // Raw key read from the file, until linking.
    int32_t PlayingDataKey = -1;

    int16_t HomeReputation = 0, CurrentReputation = 0, WorldReputation = 0, CurrentAbility = 0, PotentialAbility = 0;
    int16_t PlayerValue2 = 10000, PlayerValue3 = 0, PlayerValue4 = 10000;
    int16_t PlayerValue5 = 0, PlayerValue6 = 0;
    int16_t Weight = 0;
    int16_t Height = 0;
    uint8_t PlayerByte1 = 0, PlayerByte2 = 0;
    uint8_t PlayerByte3 = 0;
    uint8_t PlayerByte4 = 0;
    uint8_t DeclaredForNation = 0;
    uint8_t PlayerByte5 = 0;
    uint8_t ExtraPlayingData = 0; // must be 0 in the file
    uint8_t BookingCount = 0;     // must be 0 in the file
    std::array<uint8_t, 28> PlayerBlock{};
    uint8_t PlayerByte6 = 0;
    uint8_t PlayerByte7 = 0;
    uint8_t PlayerByte8 = 0; // stored from version 145
};
