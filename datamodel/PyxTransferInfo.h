#pragma once

#include "PyxObjectList.h"

class TPyxPerson;
class TPyxPeople;
class TPyxClub;
class TPyxClubs;

// A transfer-info record of a club or nation; the first byte of an item selects its kind.
class TPyxTransferInfo {
public:
    virtual ~TPyxTransferInfo() = default;
    // Reads the item after its type byte.
    virtual void LoadFromStream(TPyxFileStream& Stream) = 0;
    // Writes the whole item, type byte first.
    virtual void SaveToStream(TPyxFileStream& Stream, int16_t Version) const = 0;
    virtual void ConvertIndexes(const TPyxPeople& People, const TPyxClubs& Clubs, int16_t Version) = 0;
};

// Type 5: a share of a person's next sale owed to a club. The person is stored by ID in version 112 files and by
// UniqueID in later ones.
class TPyxNextSalePercentage final : public TPyxTransferInfo {
public:
    void LoadFromStream(TPyxFileStream& Stream) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;
    void ConvertIndexes(const TPyxPeople& People, const TPyxClubs& Clubs, int16_t Version) override;

    TPyxPerson* Person = nullptr;
    TPyxClub* Club = nullptr;
    uint8_t Value1 = 0;
    uint8_t Value2 = 0;

    // Raw keys read from the file, until linking.
    int32_t PersonKey = -1;
    int32_t ClubKey = -1;
};

// Type 9: the club's or nation's record holders, by UniqueID, with four texts.
class TPyxTeamRecords final : public TPyxTransferInfo {
public:
    void LoadFromStream(TPyxFileStream& Stream) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;
    void ConvertIndexes(const TPyxPeople& People, const TPyxClubs& Clubs, int16_t Version) override;

    TPyxPerson* Holder1 = nullptr;
    int16_t Value1 = 0;
    TPyxPerson* Holder2 = nullptr;
    int16_t Value2 = 0;
    std::u16string Text1, Text2, Text3, Text4;

    // Raw keys read from the file, until linking.
    int32_t Holder1Key = 0;
    int32_t Holder2Key = 0;
};

class TPyxTransferInfoList final : public TPyxObjectList<TPyxTransferInfo> {
public:
    std::unique_ptr<TPyxTransferInfo> ReadItem(TPyxFileStream& Stream, int16_t Version) override;
    void WriteItem(TPyxFileStream& Stream, int32_t Index, int16_t Version) const override;
    int64_t MinItemSize() const override { return 11; }

    void ConvertIndexes(const TPyxPeople& People, const TPyxClubs& Clubs, int16_t Version);
    void RemoveSalePercentagesForClub(const TPyxClub* Club);
    void RemoveSalePercentagesForPerson(const TPyxPerson* Person);
    void ClearRecordHolder(const TPyxPerson* Person);
};
