#pragma once

#include "PyxFileHeader.h"
#include "PyxTeamContainer.h"
#include "PyxTransferInfo.h"

class TPyxNation;
class TPyxNations;
class TPyxPerson;
class TPyxPeople;
class TPyxStadiums;

using TPyxPeopleList = TPyxList<TPyxPerson>;

// A club's language record.
struct TPyxClubTexts {
    std::u16string Name;
    uint8_t NameByte = 0;
    std::u16string ShortName;
    uint8_t ShortNameByte = 0;
    std::u16string ClubText;
    uint8_t ClubTextByte = 0;
    std::u16string Nickname1;
    uint8_t Nickname1Byte = 0;
    std::u16string Nickname2;

    void LoadTexts(TPyxFileStream& Stream);
    void SaveTexts(TPyxFileStream& Stream) const;
    static void SkipTexts(TPyxFileStream& Stream);
};

using TPyxClubLang = TPyxLangOf<TPyxClubTexts>;
using TPyxClubsLang = TPyxLangObjectsOf<TPyxClubLang>;

class TPyxClub final : public TPyxTeamContainer {
public:
    // New clubs take defaults that depend on the loaded server_db.dat version.
    explicit TPyxClub(int16_t ServerVersion = 147);

    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;
    void CreateLangObjects() override { LangObjects = std::make_unique<TPyxClubsLang>(); }
    void LoadLangFromStream(TPyxFileStream& Stream) override;
    void SaveLangToStream(TPyxFileStream& Stream) const override;
    TPyxClubLang* Lang(int32_t Index) const {
        return LangObjects ? static_cast<const TPyxClubsLang&>(*LangObjects).Items(Index) : nullptr;
    }

    void ConvertIndexes(const TPyxNations& Nations, const TPyxPeople& People, int16_t Version,
                        const TPyxStadiums& Stadiums, const TPyxTeams& Teams, const TPyxClubs& Clubs);

    // A person deleted from the database: the posts (RemovePersonFromPosts), record holders and relationships
    // that name them.
    void RemovePerson(const TPyxPerson* Person) override;
    void RemoveClub(const TPyxClub* Club) override;
    void RemoveNation(const TPyxNation* Nation) override;

    // Files a person by their club job: the chairman (the previous one leaves the club), the board members and
    // the scouts. Used by the club's first-team records.
    void AddPerson(TPyxPerson* Person);
    // A person leaving the club: chairman, captain, board, scouts and the person's sell-on records.
    void RemovePersonFromPosts(const TPyxPerson* Person);
    // Only the posts a club job files (chairman, board, scouts), for a person who stays but changes job.
    void RemovePersonFromJobPosts(const TPyxPerson* Person);
    // Keeps the nations' club counts.
    void SetNation(TPyxNation* ANation);

    TPyxNation* Nation = nullptr;
    uint8_t ClubTextByte = 0;
    std::u16string Nickname1;
    uint8_t Nickname1Byte = 0;
    std::u16string Nickname2;
    uint8_t YouthAcademy = 0;
    uint8_t YouthSetup = 0;
    uint8_t ProfessionalStatus = 1;
    int32_t AverageAttendance = 0;
    int32_t MinimumAttendance = 0;
    int32_t MaximumAttendance = 0;
    uint8_t Training = 0;
    uint8_t PublicLimitedCompany = 0;
    TPyxPerson* Chairman = nullptr;
    int16_t ClubValue1 = 0;
    TPyxPeopleList BoardMembers;
    TPyxPeopleList Scouts;
    uint8_t FinanceType = 0; // must be 0 in the file
    int32_t Balance = 0;
    int32_t Sponsor = 0;            // must be 0 in the file
    int16_t TransferOfferCount = 0; // must be 0 in the file
    TPyxTransferInfoList TransferInfo;
    uint8_t ClubLinks = 0; // must be 0 in the file
    int32_t ClubValue2 = 1;
    int32_t ClubValue3;
    int32_t ClubValue4;
    int16_t ShortlistedPeopleCount = 0;        // must be 0 in the file
    uint8_t InternationalDatePlayerCounts = 0; // must be 0 in the file
    uint8_t ClubValue5 = 0;
    TPyxPerson* Captain = nullptr;
    std::u16string ClubText;

    // Raw keys read from the file, until linking.
    int32_t NationKey = -1, ChairmanKey = -1, CaptainKey = -1;
};

class TPyxClubs final : public TPyxCollection<TPyxClub> {
public:
    // New clubs take the defaults of the version in ServerHeader (the loaded server_db.dat's).
    explicit TPyxClubs(const TPyxFileHeader& ServerHeader) : TPyxCollection("Clubs"), ServerHeader_(ServerHeader) {}

    const char* ClassName() const override { return "TPyxClubs"; }
    std::unique_ptr<TPyxObject> CreateEntity(uint8_t RecordType) override {
        return CreateRecord(RecordType, HeaderVersion(ServerHeader_));
    }
    void SkipLangRecord(TPyxFileStream& Stream) override { TPyxClubTexts::SkipTexts(Stream); }
    // Keeps the order; every club's ID becomes its position.
    void Sort() override { RenumberByIndex(); }
    int64_t MinRecordSize() const override { return 96; }

    void ConvertIndexes(const TPyxNations& Nations, const TPyxPeople& People, int16_t Version,
                        const TPyxStadiums& Stadiums, const TPyxTeams& Teams);

private:
    // A club is deleted with its teams and unlinked everywhere first (TPyxDatabase::DeleteClub).
    using TPyxObjects::Delete;

    const TPyxFileHeader& ServerHeader_;
};
