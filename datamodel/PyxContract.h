#pragma once

#include "PyxDate.h"
#include "PyxObjectList.h"
#include "PyxRecordPool.h"

class TPyxTeamContainer;
class TPyxClubs;
class TPyxNations;

// A contract backing a person's club post, co-ownership or national-team post. The unnamed fields are carried
// through; a new contract is a club contract with the defaults below.
class TPyxContract final : public TPyxPooled<TPyxContract> {
public:
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version);
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const;
    void ConvertIndexes(const TPyxClubs& Clubs, const TPyxNations& Nations);
    // Switches the four bytes that differ between club and nation contracts; nothing when Flag is current.
    void SetNationContract(bool Flag);

    uint8_t ContractType = 0;
    uint8_t ContractByte1 = 1;
    uint8_t ContractByte2 = 0;
    int16_t ContractValue1 = 0;
    int32_t ContractValue2 = 0, ContractValue3 = 0, ContractValue4 = 0, ContractValue5 = 0;
    int32_t ContractValue6 = 0;
    uint8_t ContractByte3 = 0;
    uint8_t ContractByte4 = 0;
    uint8_t CoOwned = 0; // stored from version 145
    uint8_t NationContract = 0;
    TPyxTeamContainer* Employer = nullptr; // the club, or the nation of a nation contract
    int32_t EstimatedWage = 0;
    TPyxDate ContractExpires;
    uint8_t ContractByte5 = 1; // club 1, nation 255
    uint8_t ContractByte6 = 0;
    int32_t ContractValue7 = 0, ContractValue8 = 0;
    TPyxDate ContractStart; // stored from version 145
    uint8_t ContractByte7 = 0;
    uint8_t ContractByte8 = 2;  // club 2, nation 255
    uint8_t ContractByte9 = 25; // club 25, nation 0
    uint8_t SquadNumber = 255;  // club 255 (none), nation 0
    uint8_t ContractByte10 = 0;
    int16_t ContractValue9 = 0; // stored from version 145

    // Raw key read from the file, until linking.
    int32_t EmployerKey = -1;
};

// A person's contracts, kept in a fixed arrangement: the club contract first, the co-owner contract (when the club
// contract is co-owned) second, the nation contract last.
class TPyxContractList final : public TPyxObjectList<TPyxContract> {
public:
    std::unique_ptr<TPyxContract> ReadItem(TPyxFileStream& Stream, int16_t Version) override;
    void WriteItem(TPyxFileStream& Stream, int32_t Index, int16_t Version) const override;
    int64_t MinItemSize() const override { return 56; }

    void ConvertIndexes(const TPyxClubs& Clubs, const TPyxNations& Nations);
    TPyxContract* GetClubContract() const;
    TPyxContract* GetCoOwnerContract() const;
    TPyxContract* GetNationContract() const;
    // Each Add keeps the arrangement and never makes a second contract of its kind: when one exists it is
    // returned as it is. The caller sets the employer.
    TPyxContract* AddClubContract();
    // Nothing (nil) without a club contract.
    TPyxContract* AddCoOwnerContract();
    TPyxContract* AddNationContract();
    // Removing the club contract also removes the co-owner contract, which cannot stand without it.
    void RemoveClubContract();
    void RemoveCoOwnerContract();
    void RemoveNationContract();
    // Removes every contract whose employer is Employer (a club or nation that is going away), keeping the
    // arrangement: a co-owner contract goes with its club contract's co-owned flag cleared.
    void RemoveEmployer(const TPyxTeamContainer* Employer);
};
