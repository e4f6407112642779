#pragma once

#include "PyxContract.h"
#include "PyxDate.h"
#include "PyxNonPlayer.h"
#include "PyxObjects.h"
#include "PyxOfficial.h"
#include "PyxPersonLanguage.h"
#include "PyxPlayer.h"
#include "PyxPlayingHistory.h"
#include "PyxRecordPool.h"
#include "PyxRelationship.h"

class TPyxName;
class TPyxNames;
class TPyxNation;
class TPyxTeam;
class TPyxClub;
class TPyxCity;
struct TPyxNamePools;
struct TPyxPersonLinks;

// A footballer, staff member or referee: the shared core and the parts its type bits select (bit 0 staff,
// bit 1 player, bit 2 official). The type is also the record kind of the person in people_db.dat.
// Persons start on a cache line, so that the search finds the vtable and the three names in one line.
class TPyxPerson final : public TPyxObject, public TPyxPooled<TPyxPerson, 64> {
public:
    enum : uint8_t { ptNonPlayer = 1, ptPlayer = 2, ptPlayerNonPlayer = 3, ptOfficial = 4 };

    explicit TPyxPerson(uint8_t Type = 0) : PersonType(Type) {}

    std::u16string GetName() const override;
    // The first int32 of the record, the person's own ID, is read by the collection.
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    // Writes the whole record, the person's own ID first.
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;
    bool Matches(const std::u16string& Text) const override;

    // Turns a fresh person into a new player with the defaults of the loaded server_db.dat version.
    void InitNew(int16_t ServerVersion);
    void ConvertIndexes(TPyxPersonLinks& Links);

    bool IsNonPlayer() const { return PersonType & 1; }
    bool IsPlayer() const { return PersonType & 2; }
    bool IsOfficial() const { return PersonType & 4; }
    bool IsPlayerAndNonPlayer() const { return (PersonType & 3) == 3; }
    std::u16string GetFirstName() const;
    std::u16string GetSecondName() const;
    std::u16string GetCommonName() const;
    // The club employing the co-owner contract, or nil.
    TPyxClub* GetCoOwner() const;
    // The target of the last second-nationality relationship, or nil.
    TPyxNation* GetSecondNation() const;
    bool GetInternationalRetirement() const;
    void SetPlayingHistory(std::unique_ptr<TPyxPlayingHistory> History) { PlayingHistory = std::move(History); }

    // The editor's setters. Each keeps what depends on the field consistent: the shared name pools and their use
    // counts, the nations' person counts, the teams' and clubs' job lists, the contracts and the relationships.
    // Only those that touch the name pools take them.
    void SetFirstName(TPyxNamePools& Names, const std::u16string& Text);
    void SetSecondName(TPyxNamePools& Names, const std::u16string& Text);
    void SetCommonName(TPyxNamePools& Names, const std::u16string& Text);
    // Moves the person count and re-files the three names under the new nation.
    void SetNation(TPyxNamePools& Names, TPyxNation* ANation);
    // A club team (nil leaves the club: job, joined date, club contract and co-ownership go with it).
    void SetClubTeam(TPyxTeam* Team);
    // Without a club team only the job is kept; its contract comes when a team is set.
    void SetClubJob(uint8_t Job);
    // A nation's team (nil leaves it: national job, joined date and nation contract go with it).
    void SetNationalTeam(TPyxTeam* Team);
    void SetNationalJob(uint8_t Job);
    // A club team and the job the person holds there, as one change: the person leaves the old team's posts under
    // the old job and is filed at the new team under the new job only. Setting the team and then the job would
    // file the person at the new club under the old job first, where a manager's or chairman's post would cost
    // that club's own manager or chairman theirs (and the job first, the same at the old club). Nil leaves the
    // club as SetClubTeam (nil) does.
    void SetClubPost(TPyxTeam* Team, uint8_t Job);
    // The same for a nation's team and the national job.
    void SetNationalPost(TPyxTeam* Team, uint8_t Job);
    // The club co-owning the player (nil ends the co-ownership); needs a club contract. Files of versions before
    // 145 have no co-owned field: a co-owner contract written there would read back as a second club contract,
    // so a co-owner is refused (false) at those versions. Ending a co-ownership always works.
    bool SetCoOwner(TPyxClub* Club, int16_t Version);
    void EndCoOwnership();
    void SetSecondNation(TPyxNation* ANation);
    void SetInternationalRetirement(bool Value);
    // Changes the parts the type bits select; a new player part takes the defaults of the server version.
    void SetPersonType(uint8_t Type, int16_t ServerVersion);

    // Called for every person before a club, team or nation is deleted.
    void UnlinkClub(const TPyxClub* Club);
    void UnlinkTeam(const TPyxTeam* Team);
    void UnlinkNation(const TPyxNation* ANation);

    // The fields stand grouped by size rather than in record order (the reader and writer keep that): a person
    // is the most numerous entity, and the padding between bytes and pointers in record order cost 32 bytes on
    // every one of them. The names come first, in the cache line the search reads anyway for the vtable.
    TPyxName* FirstName = nullptr;
    TPyxName* SecondName = nullptr;
    TPyxName* CommonName = nullptr;
    std::unique_ptr<TPyxNonPlayer> NonPlayer;
    std::unique_ptr<TPyxPlayer> Player;
    std::unique_ptr<TPyxOfficial> Official;
    TPyxNation* Nation = nullptr;
    TPyxTeam* NationalTeam = nullptr;
    TPyxTeam* ClubTeam = nullptr;
    std::unique_ptr<TPyxPersonData> PersonData; // none only for an official
    TPyxCity* CityOfBirth = nullptr;
    TPyxContractList Contracts;
    TPyxRelationshipList Relationships;
    TPyxPersonLanguageList Languages;
    std::unique_ptr<TPyxPlayingHistory> PlayingHistory;
    int32_t PersonValue1 = 0;
    int32_t PersonValue2 = -1;

    // Raw keys read from the file, until linking.
    int32_t FirstNameKey = -1, SecondNameKey = -1, CommonNameKey = -1, NationKey = -1;
    int32_t NationalTeamKey = -1, ClubTeamKey = -1, PersonDataKey = -1, CityOfBirthKey = -1;

    TPyxDate DateOfBirth;
    TPyxDate DateJoinedNation;
    TPyxDate DateJoinedClub;
    int16_t InterestedClubCount = 0; // must be 0 in the file
    int16_t PersonValue3 = 0;        // stored from version 145, for players who are also staff
    uint8_t PersonType;
    uint8_t InternationalApps = 0, InternationalGoals = 0;
    uint8_t U21Apps = 0, U21Goals = 0; // stored from version 145
    uint8_t NationalJob = 0;
    uint8_t ClubJob = 0;
    uint8_t PersonByte1 = 0;
    uint8_t TransferOfferCount = 0; // must be 0 in the file
    uint8_t ContractOfferCount = 0; // must be 0 in the file
    uint8_t PersonByte2 = 0;        // stored from version 145
    uint8_t PersonByte3 = 0;

private:
    // Matches by way of a joined string, for texts and names too long for its stack buffers.
    bool MatchesLongText(const std::u16string& Text) const;
    // SetClubPost (Club) or SetNationalPost.
    void SetPost(bool Club, TPyxTeam* Team, uint8_t Job);
};
