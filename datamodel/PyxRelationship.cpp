#include "PyxRelationship.h"

#include "PyxClub.h"
#include "PyxNation.h"
#include "PyxPeople.h"
#include "PyxStadium.h"
#include "PyxTeam.h"

std::unique_ptr<TPyxRelationship> TPyxRelationship::Clone() const {
    auto R = std::make_unique<TPyxRelationship>();
    R->TargetType = TargetType;
    R->Kind = Kind;
    R->Amount = Amount;
    R->RelationshipByte = RelationshipByte;
    R->Target = Target;
    return R;
}

void TPyxRelationship::LoadFromStream(TPyxFileStream& Stream) {
    TargetType = Stream.ReadByte();
    if (TargetType > 5)
        throw EFileCorruptError("Relationship data seems to be corrupt.\r\nRecord Type: " + std::to_string(TargetType));
    Kind = Stream.ReadByte();
    Amount = Stream.ReadByte();
    RelationshipByte = Stream.ReadByte();
    TargetKey = Stream.ReadInt32();
}

void TPyxRelationship::SaveToStream(TPyxFileStream& Stream) const {
    Stream.WriteByte(TargetType);
    Stream.WriteByte(Kind);
    Stream.WriteByte(Amount);
    Stream.WriteByte(RelationshipByte);
    TPyxObject::WriteID(Target, Stream);
}

void TPyxRelationship::ConvertIndexes(const TPyxNations& Nations, const TPyxPeople& People,
                                      const TPyxStadiums& Stadiums, const TPyxTeams& Teams, const TPyxClubs& Clubs) {
    switch (TargetType) {
    case ttClub:
        Target = Clubs.FindByID(TargetKey);
        break;
    case ttNation:
        Target = Nations.FindByID(TargetKey);
        break;
    case ttPerson:
        Target = People.FindByID(TargetKey);
        break;
    case ttTeam:
        Target = Teams.FindByID(TargetKey);
        break;
    case ttStadium:
        Target = Stadiums.FindByID(TargetKey);
        break;
    default:
        Target = nullptr;
    }
}

std::unique_ptr<TPyxRelationship> TPyxRelationshipList::ReadItem(TPyxFileStream& Stream, int16_t /*Version*/) {
    auto R = std::make_unique<TPyxRelationship>();
    R->LoadFromStream(Stream);
    return R;
}

void TPyxRelationshipList::WriteItem(TPyxFileStream& Stream, int32_t Index, int16_t /*Version*/) const {
    Items(Index)->SaveToStream(Stream);
}

void TPyxRelationshipList::ConvertIndexes(const TPyxNations& Nations, const TPyxPeople& People,
                                          const TPyxStadiums& Stadiums, const TPyxTeams& Teams,
                                          const TPyxClubs& Clubs) {
    for (auto& R : Items_)
        R->ConvertIndexes(Nations, People, Stadiums, Teams, Clubs);
    std::erase_if(Items_, [](const auto& R) { return R->TargetType != 0 && !R->Target; });
}

void TPyxRelationshipList::RemoveKinds1To6() {
    std::erase_if(Items_, [](const auto& R) { return R->Kind >= 1 && R->Kind <= 6; });
}

void TPyxRelationshipList::RemoveKind(uint8_t Kind) {
    std::erase_if(Items_, [Kind](const auto& R) { return R->Kind == Kind; });
}

void TPyxRelationshipList::RemoveTarget(const TPyxObject* Target) {
    // Nil would match every relationship without a target, such as an international retirement.
    if (!Target)
        return;
    std::erase_if(Items_, [Target](const auto& R) { return R->Target == Target; });
}
