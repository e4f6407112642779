#pragma once

#include "PyxObjects.h"

class TPyxClub;
class TPyxClubs;
class TPyxCity;
class TPyxCities;

struct TPyxStadiumTexts {
    std::u16string Name;
    uint8_t NameByte = 0;

    void LoadTexts(TPyxFileStream& Stream);
    void SaveTexts(TPyxFileStream& Stream) const;
    static void SkipTexts(TPyxFileStream& Stream);
};

class TPyxStadium final : public TPyxTranslated<TPyxStadiumTexts> {
public:
    std::u16string GetName() const override { return Name; }
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;
    bool Matches(const std::u16string& Text) const override;

    bool GetCovered() const { return Flags & 1; }
    bool GetUndersoilHeating() const { return Flags & 2; }
    bool GetNotInUse() const { return Flags & 4; }
    bool GetSoonNotInUse() const { return Flags & 8; }
    void SetCovered(bool V) { SetFlag(1, V); }
    void SetUndersoilHeating(bool V) { SetFlag(2, V); }
    void SetNotInUse(bool V) { SetFlag(4, V); }
    void SetSoonNotInUse(bool V) { SetFlag(8, V); }
    void UnlinkClub(const TPyxClub* AClub) {
        if (Club == AClub)
            Club = nullptr;
    }

    int32_t Capacity = 0;
    int32_t SeatingCapacity = 0;
    int32_t ExpansionCapacity = 0;
    uint8_t Flags = 0; // bits 0-3 covered, undersoil heating, not in use, soon not in use; 4-7 kept
    TPyxClub* Club = nullptr;
    uint8_t Decay = 5;
    int32_t UsedCapacity = 0;
    int16_t PitchLength = 0;
    int16_t PitchWidth = 0;
    uint8_t StadiumByte1 = 0;
    uint8_t State = 0;
    uint8_t Extinct = 0;
    uint8_t StadiumByte2 = 0; // stored from version 145
    TPyxCity* City = nullptr;
    TPyxStadium* NearbyStadium = nullptr;

    // Raw keys read from the file, until linking.
    int32_t ClubKey = -1, CityKey = -1, NearbyStadiumKey = -1;

private:
    void SetFlag(uint8_t Bit, bool V) { Flags = V ? (Flags | Bit) : (Flags & ~Bit); }
};

class TPyxStadiums final : public TPyxCollection<TPyxStadium> {
public:
    TPyxStadiums() : TPyxCollection("Stadiums") {}
    const char* ClassName() const override { return "TPyxStadiums"; }
    void SkipLangRecord(TPyxFileStream& Stream) override { TPyxStadiumTexts::SkipTexts(Stream); }
    // Keeps the order; every stadium's ID becomes its position.
    void Sort() override { RenumberByIndex(); }
    int64_t MinRecordSize() const override { return 47; }

    void ConvertIndexes(const TPyxCities& Cities, const TPyxClubs& Clubs);
};
