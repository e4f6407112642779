#include "PyxTransferInfo.h"

#include "PyxClub.h"
#include "PyxPeople.h"

void TPyxNextSalePercentage::LoadFromStream(TPyxFileStream& Stream) {
    PersonKey = Stream.ReadInt32();
    ClubKey = Stream.ReadInt32();
    Value1 = Stream.ReadByte();
    Value2 = Stream.ReadByte();
}

void TPyxNextSalePercentage::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(5);
    if (Version > 144)
        TPyxObject::WriteUniqueID(Person, Stream);
    else
        TPyxObject::WriteID(Person, Stream);
    TPyxObject::WriteID(Club, Stream);
    Stream.WriteByte(Value1);
    Stream.WriteByte(Value2);
}

void TPyxNextSalePercentage::ConvertIndexes(const TPyxPeople& People, const TPyxClubs& Clubs, int16_t Version) {
    Person = Version > 144 ? People.FindByUniqueID(PersonKey) : People.FindByID(PersonKey);
    Club = Clubs.FindByID(ClubKey);
}

void TPyxTeamRecords::LoadFromStream(TPyxFileStream& Stream) {
    Holder1Key = Stream.ReadInt32();
    Value1 = Stream.ReadInt16();
    Holder2Key = Stream.ReadInt32();
    Value2 = Stream.ReadInt16();
    Stream.ReadWideString(Text1);
    Stream.ReadWideString(Text2);
    Stream.ReadWideString(Text3);
    Stream.ReadWideString(Text4);
}

void TPyxTeamRecords::SaveToStream(TPyxFileStream& Stream, int16_t /*Version*/) const {
    Stream.WriteByte(9);
    TPyxObject::WriteUniqueID(Holder1, Stream);
    Stream.WriteInt16(Value1);
    TPyxObject::WriteUniqueID(Holder2, Stream);
    Stream.WriteInt16(Value2);
    Stream.WriteWideString(Text1);
    Stream.WriteWideString(Text2);
    Stream.WriteWideString(Text3);
    Stream.WriteWideString(Text4);
}

void TPyxTeamRecords::ConvertIndexes(const TPyxPeople& People, const TPyxClubs& /*Clubs*/, int16_t /*Version*/) {
    Holder1 = People.FindByUniqueID(Holder1Key);
    Holder2 = People.FindByUniqueID(Holder2Key);
}

std::unique_ptr<TPyxTransferInfo> TPyxTransferInfoList::ReadItem(TPyxFileStream& Stream, int16_t /*Version*/) {
    uint8_t Type = Stream.ReadByte();
    std::unique_ptr<TPyxTransferInfo> Item;
    if (Type == 5)
        Item = std::make_unique<TPyxNextSalePercentage>();
    else if (Type == 9)
        Item = std::make_unique<TPyxTeamRecords>();
    else
        throw EFileCorruptError("Transfer Info seems to be corrupt.\r\nType: " + std::to_string(Type));
    Item->LoadFromStream(Stream);
    return Item;
}

void TPyxTransferInfoList::WriteItem(TPyxFileStream& Stream, int32_t Index, int16_t Version) const {
    Items(Index)->SaveToStream(Stream, Version);
}

void TPyxTransferInfoList::ConvertIndexes(const TPyxPeople& People, const TPyxClubs& Clubs, int16_t Version) {
    for (auto& I : Items_)
        I->ConvertIndexes(People, Clubs, Version);
}

void TPyxTransferInfoList::RemoveSalePercentagesForClub(const TPyxClub* Club) {
    std::erase_if(Items_, [Club](const auto& I) {
        auto* S = dynamic_cast<const TPyxNextSalePercentage*>(I.get());
        return S && S->Club == Club;
    });
}

void TPyxTransferInfoList::RemoveSalePercentagesForPerson(const TPyxPerson* Person) {
    std::erase_if(Items_, [Person](const auto& I) {
        auto* S = dynamic_cast<const TPyxNextSalePercentage*>(I.get());
        return S && S->Person == Person;
    });
}

void TPyxTransferInfoList::ClearRecordHolder(const TPyxPerson* Person) {
    for (auto& I : Items_)
        if (auto* R = dynamic_cast<TPyxTeamRecords*>(I.get())) {
            if (R->Holder1 == Person)
                R->Holder1 = nullptr;
            if (R->Holder2 == Person)
                R->Holder2 = nullptr;
        }
}
