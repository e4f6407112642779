// Contracts and relationships inside the person record: their layouts by version, the items a contract skips,
// the type bytes that must be known, and what a contract's employer resolves to.

#include "PeopleTestSupport.h"

#include "PeopleBuilder.h"
#include "SampleBuilder.h"
#include "SampleWorld.h"

namespace {

// A contract whose every field differs from its default.
wb::TContract FullContract(int32_t Employer, uint8_t NationContract) {
    wb::TContract C = NationContract ? wb::TContract::Nation(Employer) : wb::TContract::Club(Employer);
    C.Byte1 = 3;
    C.Byte2 = 4;
    C.Short3 = 5;
    C.Ints5 = {6, 7, 8, 9};
    C.Int22 = 10;
    C.Byte26 = 11;
    C.Byte27 = 12;
    C.CoOwned = 1;
    C.EstimatedWage = 123456;
    C.ContractExpires = {100, 2006};
    C.Byte43 = 13;
    C.Ints44 = {14, 15};
    C.ContractStart = {200, 2001};
    C.Byte56 = 16;
    C.Byte60 = 17;
    C.SquadNumber = 23;
    C.Short61 = 1818;
    return C;
}

std::size_t PeopleFileSize(const pt::TFolder& Folder) {
    return wb::ReadFileBytes(Folder.File("people_db.dat")).size();
}

} // namespace

TEST(ContractRecord, Is56BytesAt112And63Above) {
    // An official's record is 101 bytes at 112 and 104 above; a contract adds 56 or 63.
    for (int16_t Version : {112, 145, 147}) {
        SCOPED_TRACE(Version);
        wb::TWorld W = wb::EmptyWorld(Version);
        wb::AddPerson(W, 4, 1, 101).Contracts = {FullContract(-1, 0), FullContract(-1, 1)};
        pt::TFolder In, Out;
        TPyxDatabase Db;
        ASSERT_NO_FATAL_FAILURE(pt::LoadWorld(Db, W, In));
        ASSERT_NO_FATAL_FAILURE(pt::Save(Db, Out));
        const std::size_t Record = Version > 144 ? 104 + 2 * 63 : 101 + 2 * 56;
        EXPECT_EQ(PeopleFileSize(Out), 12u + 16u + Record + 12u + 4u);
        pt::ExpectFiles(wb::BuildFiles(W), Out);
    }
}

TEST(ContractRecord, FieldsOfLaterVersionsKeepTheirDefaultsInOlderFiles) {
    for (int16_t Version : {112, 145, 147}) {
        SCOPED_TRACE(Version);
        const bool V145 = Version > 144;
        wb::TWorld W = wb::EmptyWorld(Version);
        wb::AddPerson(W, 1, 1, 101).Contracts = {FullContract(-1, 0), FullContract(-1, 1)};
        pt::TFolder In;
        TPyxDatabase Db;
        ASSERT_NO_FATAL_FAILURE(pt::LoadWorld(Db, W, In));
        const TPyxContractList& Contracts = Db.People.Items(0)->Contracts;
        ASSERT_EQ(Contracts.Count(), 2);
        const TPyxContract& Club = *Contracts.Items(0);
        EXPECT_EQ(Club.CoOwned, V145 ? 1 : 0);
        EXPECT_EQ(Club.ContractStart.Year, V145 ? 2001 : 1900);
        EXPECT_EQ(Club.ContractStart.DayOfYear, V145 ? 200 : 0);
        EXPECT_EQ(Club.ContractValue9, V145 ? 1818 : 0);
        EXPECT_EQ(Club.NationContract, 0);
        EXPECT_EQ(Club.EstimatedWage, 123456);
        EXPECT_EQ(Club.ContractExpires.Year, 2006);
        EXPECT_EQ(Club.ContractValue5, 9);
        EXPECT_EQ(Club.ContractValue8, 15);
        EXPECT_EQ(Club.ContractByte10, 17);
        EXPECT_EQ(Club.SquadNumber, 23);
        const TPyxContract& Nation = *Contracts.Items(1);
        EXPECT_EQ(Nation.NationContract, 1);
        EXPECT_EQ(Nation.ContractByte5, 255);
        EXPECT_EQ(Nation.ContractByte8, 255);
        EXPECT_EQ(Nation.ContractByte9, 0);
        EXPECT_EQ(Contracts.GetClubContract(), &Club);
        EXPECT_EQ(Contracts.GetNationContract(), &Nation);
    }
}

TEST(ContractRecord, ItemsBehindANonZeroCountAreSkippedAndWrittenBackAsCountZero) {
    for (int16_t Version : {112, 147}) {
        SCOPED_TRACE(Version);
        wb::TWorld W = wb::EmptyWorld(Version);
        wb::TContract C = FullContract(-1, 0);
        C.SkippedItems = {{1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}, {11, 12, 13, 14, 15}};
        wb::AddPerson(W, 2, 1, 101).Contracts = {C, FullContract(-1, 1)};
        wb::AddPerson(W, 1, 2, 102);
        pt::TFolder In, Out;
        TPyxDatabase Db;
        ASSERT_NO_FATAL_FAILURE(pt::LoadWorld(Db, W, In));
        const TPyxPerson& P = *Db.People.FindByUniqueID(101);
        ASSERT_EQ(P.Contracts.Count(), 2);
        EXPECT_EQ(P.Contracts.Items(0)->ContractValue6, 10) << "the field after the skipped items";
        EXPECT_EQ(P.Contracts.Items(0)->EstimatedWage, 123456);
        EXPECT_EQ(P.Contracts.Items(1)->NationContract, 1);
        ASSERT_NO_FATAL_FAILURE(pt::Save(Db, Out));
        wb::TWorld Expected = W;
        Expected.People[0].Contracts[0].SkippedItems.clear();
        wb::ApplySaveOrder(Expected);
        pt::ExpectFiles(wb::BuildFiles(Expected), Out);
    }
}

TEST(ContractRecord, AContractTypeOtherThanZeroStopsTheLoad) {
    wb::TWorld W = wb::EmptyWorld(147);
    wb::AddPerson(W, 2, 1, 101).Contracts = {FullContract(-1, 0)};
    wb::TContract Bad = FullContract(-1, 0);
    Bad.ContractType = 9;
    wb::AddPerson(W, 4, 2, 102).Contracts = {Bad};
    const wb::TWorldFiles Files = wb::BuildFiles(W);
    // The contract's 63 bytes and then 14 to the record's end; the stream stands after the type byte.
    EXPECT_EQ(pt::LoadError(Files),
              pt::TableLoadFailure("People", 1, Files.People.At("Person Data") - 14 - 62, "TPyxPeople",
                                   "Contract data seems to be corrupt.\r\nContract Type: 9"));
}

TEST(RelationshipRecord, ATargetTypeAboveFiveStopsTheLoad) {
    for (uint8_t Type : {6, 200}) {
        wb::TWorld W = wb::EmptyWorld(147);
        wb::TPerson& P = wb::AddPerson(W, 4, 1, 101);
        P.Relationships = {{Type, 1, 5, 0, -1}};
        P.RelationshipsFlag = 1;
        const wb::TWorldFiles Files = wb::BuildFiles(W);
        // Seven more bytes of the relationship and twelve to the record's end.
        EXPECT_EQ(
            pt::LoadError(Files),
            pt::TableLoadFailure("People", 0, Files.People.At("Person Data") - 19, "TPyxPeople",
                                 "Relationship data seems to be corrupt.\r\nRecord Type: " + std::to_string(Type)));
    }
}

TEST(ContractEmployers, AClubContractNamesAClubAndANationContractANation) {
    wb::TSampleOptions O;
    O.PeopleCount = 12;
    O.Histories = false;
    wb::TWorld W = wb::SampleWorld(O);
    using TSample = wb::TSampleBuilder;
    // Person 1 plays for Northport (club 0) and for nation 0: both contracts store employer ID 0.
    const wb::TPerson& F = W.People[1];
    ASSERT_EQ(F.Contracts.size(), 2u);
    ASSERT_EQ(F.Contracts[0].EmployerID, 0);
    ASSERT_EQ(F.Contracts[1].EmployerID, 0);
    W.People[3].Contracts[0].EmployerID = 987; // no such club
    pt::TFolder In, Out;
    TPyxDatabase Db;
    ASSERT_NO_FATAL_FAILURE(pt::LoadWorld(Db, W, In));
    const TPyxContractList& Contracts = Db.People.FindByUniqueID(F.UniqueID)->Contracts;
    EXPECT_EQ(Contracts.Items(0)->Employer, Db.Clubs.FindByUniqueID(W.Clubs[TSample::Northport].UniqueID));
    EXPECT_EQ(Contracts.Items(1)->Employer, Db.Nations.FindByUniqueID(W.Nations[0].UniqueID));
    EXPECT_EQ(Db.People.FindByUniqueID(W.People[3].UniqueID)->Contracts.Items(0)->Employer, nullptr);
    ASSERT_NO_FATAL_FAILURE(pt::Save(Db, Out));
    wb::TWorld Expected = W;
    Expected.People[3].Contracts[0].EmployerID = -1;
    wb::ApplySaveOrder(Expected);
    pt::ExpectFiles(wb::BuildFiles(Expected), Out);
}
