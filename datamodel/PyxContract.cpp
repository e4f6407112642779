#include "PyxContract.h"

#include "PyxClub.h"
#include "PyxNation.h"

void TPyxContract::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    ContractType = Stream.ReadByte();
    if (ContractType != 0)
        throw EFileCorruptError("Contract data seems to be corrupt.\r\nContract Type: " + std::to_string(ContractType));
    ContractByte1 = Stream.ReadByte();
    ContractByte2 = Stream.ReadByte();
    ContractValue1 = Stream.ReadInt16();
    ContractValue2 = Stream.ReadInt32();
    ContractValue3 = Stream.ReadInt32();
    ContractValue4 = Stream.ReadInt32();
    ContractValue5 = Stream.ReadInt32();
    // Items the game fills during play; nothing of them is kept.
    uint8_t Items = Stream.ReadByte();
    Stream.Skip(5 * static_cast<int64_t>(Items));
    ContractValue6 = Stream.ReadInt32();
    ContractByte3 = Stream.ReadByte();
    ContractByte4 = Stream.ReadByte();
    if (Version > 144)
        CoOwned = Stream.ReadByte();
    NationContract = Stream.ReadByte();
    EmployerKey = Stream.ReadInt32();
    EstimatedWage = Stream.ReadInt32();
    ContractExpires.LoadFromStream(Stream);
    ContractByte5 = Stream.ReadByte();
    ContractByte6 = Stream.ReadByte();
    ContractValue7 = Stream.ReadInt32();
    ContractValue8 = Stream.ReadInt32();
    if (Version > 144)
        ContractStart.LoadFromStream(Stream);
    ContractByte7 = Stream.ReadByte();
    ContractByte8 = Stream.ReadByte();
    ContractByte9 = Stream.ReadByte();
    SquadNumber = Stream.ReadByte();
    ContractByte10 = Stream.ReadByte();
    if (Version > 144)
        ContractValue9 = Stream.ReadInt16();
}

void TPyxContract::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(ContractType);
    Stream.WriteByte(ContractByte1);
    Stream.WriteByte(ContractByte2);
    Stream.WriteInt16(ContractValue1);
    Stream.WriteInt32(ContractValue2);
    Stream.WriteInt32(ContractValue3);
    Stream.WriteInt32(ContractValue4);
    Stream.WriteInt32(ContractValue5);
    Stream.WriteByte(0);
    Stream.WriteInt32(ContractValue6);
    Stream.WriteByte(ContractByte3);
    Stream.WriteByte(ContractByte4);
    if (Version > 144)
        Stream.WriteByte(CoOwned);
    Stream.WriteByte(NationContract);
    TPyxObject::WriteID(Employer, Stream);
    Stream.WriteInt32(EstimatedWage);
    ContractExpires.SaveToStream(Stream);
    Stream.WriteByte(ContractByte5);
    Stream.WriteByte(ContractByte6);
    Stream.WriteInt32(ContractValue7);
    Stream.WriteInt32(ContractValue8);
    if (Version > 144)
        ContractStart.SaveToStream(Stream);
    Stream.WriteByte(ContractByte7);
    Stream.WriteByte(ContractByte8);
    Stream.WriteByte(ContractByte9);
    Stream.WriteByte(SquadNumber);
    Stream.WriteByte(ContractByte10);
    if (Version > 144)
        Stream.WriteInt16(ContractValue9);
}

void TPyxContract::ConvertIndexes(const TPyxClubs& Clubs, const TPyxNations& Nations) {
    if (NationContract)
        Employer = Nations.FindByID(EmployerKey);
    else
        Employer = Clubs.FindByID(EmployerKey);
}

void TPyxContract::SetNationContract(bool Flag) {
    if (Flag == (NationContract != 0))
        return;
    if (Flag) {
        ContractByte5 = 255;
        ContractByte8 = 255;
        ContractByte9 = 0;
        SquadNumber = 0;
    } else {
        ContractByte5 = 1;
        ContractByte8 = 2;
        ContractByte9 = 25;
        SquadNumber = 255;
    }
    NationContract = Flag ? 1 : 0;
}

std::unique_ptr<TPyxContract> TPyxContractList::ReadItem(TPyxFileStream& Stream, int16_t Version) {
    auto C = std::make_unique<TPyxContract>();
    C->LoadFromStream(Stream, Version);
    return C;
}

void TPyxContractList::WriteItem(TPyxFileStream& Stream, int32_t Index, int16_t Version) const {
    Items(Index)->SaveToStream(Stream, Version);
}

void TPyxContractList::ConvertIndexes(const TPyxClubs& Clubs, const TPyxNations& Nations) {
    for (auto& C : Items_)
        C->ConvertIndexes(Clubs, Nations);
}

TPyxContract* TPyxContractList::GetClubContract() const {
    for (auto& C : Items_)
        if (!C->NationContract)
            return C.get();
    return nullptr;
}

TPyxContract* TPyxContractList::GetCoOwnerContract() const {
    TPyxContract* Club = GetClubContract();
    if (!Club || !Club->CoOwned)
        return nullptr;
    int Seen = 0;
    for (auto& C : Items_)
        if (!C->NationContract && C->CoOwned && ++Seen == 2)
            return C.get();
    return nullptr;
}

TPyxContract* TPyxContractList::GetNationContract() const {
    for (auto& C : Items_)
        if (C->NationContract)
            return C.get();
    return nullptr;
}

TPyxContract* TPyxContractList::AddClubContract() {
    if (TPyxContract* Existing = GetClubContract())
        return Existing;
    auto C = std::make_unique<TPyxContract>();
    if (TPyxContract* CoOwner = GetCoOwnerContract()) {
        C->CoOwned = 1;
        C->EstimatedWage = CoOwner->EstimatedWage;
    }
    return Insert(0, std::move(C));
}

TPyxContract* TPyxContractList::AddCoOwnerContract() {
    TPyxContract* Club = GetClubContract();
    if (!Club)
        return nullptr;
    if (TPyxContract* Existing = GetCoOwnerContract())
        return Existing;
    Club->CoOwned = 1;
    auto C = std::make_unique<TPyxContract>();
    C->CoOwned = 1;
    C->EstimatedWage = Club->EstimatedWage;
    // Right behind the club contract: a file may hold the nation contract first, and a co-owner contract put
    // ahead of the club contract would become the club contract itself.
    return Insert(IndexOf(Club) + 1, std::move(C));
}

TPyxContract* TPyxContractList::AddNationContract() {
    if (TPyxContract* Existing = GetNationContract())
        return Existing;
    auto C = std::make_unique<TPyxContract>();
    C->SetNationContract(true);
    return Add(std::move(C));
}

void TPyxContractList::RemoveClubContract() {
    // Left alone, the co-owner contract would be the first club-side contract and so become the club contract,
    // employed by the co-owning club.
    if (TPyxContract* CoOwner = GetCoOwnerContract())
        Remove(CoOwner);
    if (TPyxContract* C = GetClubContract())
        Remove(C);
}

void TPyxContractList::RemoveCoOwnerContract() {
    if (TPyxContract* C = GetCoOwnerContract())
        Remove(C);
    if (TPyxContract* Club = GetClubContract())
        Club->CoOwned = 0;
}

void TPyxContractList::RemoveNationContract() {
    if (TPyxContract* C = GetNationContract())
        Remove(C);
}

void TPyxContractList::RemoveEmployer(const TPyxTeamContainer* Employer) {
    if (!Employer)
        return;
    TPyxContract* CoOwner = GetCoOwnerContract();
    if (CoOwner && CoOwner->Employer == Employer)
        RemoveCoOwnerContract();
    TPyxContract* Club = GetClubContract();
    if (Club && Club->Employer == Employer)
        RemoveClubContract();
    // A stray contract of the employer that holds no place in the arrangement; should it have been a co-owned
    // partner, the club contract left behind loses its co-owned flag with it.
    if (std::erase_if(Items_, [Employer](const auto& C) { return C->Employer == Employer; }) > 0)
        if (TPyxContract* Rest = GetClubContract(); Rest && Rest->CoOwned && !GetCoOwnerContract())
            Rest->CoOwned = 0;
}
