#include "BuilderBase.h"

namespace wb {

// Texts in further languages carry the language's tag and a character outside Latin-1's ASCII half, so that
// every language block differs and the UTF-16 path is exercised.
std::u16string TBuilderBase::Tr(std::u16string_view Base, int32_t Language) const {
    if (Language == DefaultLanguageUniqueID || Base.empty())
        return std::u16string(Base);
    for (const auto& Known : World_.Languages)
        if (Known.UniqueID == Language)
            return std::u16string(Base) + u" \u00B7 " + Known.Name.substr(0, 2);
    return std::u16string(Base);
}

TDate TBuilderBase::RandomDate(int FirstYear, int LastYear) {
    return TDate{Random_.Short(0, 364), Random_.Short(FirstYear, LastYear)};
}

TColor TBuilderBase::RandomKit() {
    return TColor{Random_.Short(0, 0x7FFF), Random_.Short(0, 0x7FFF), Random_.Short(0, 0x7FFF)};
}

void TBuilderBase::AddRecordsAfterPeople() {
    AddRelationships();
    AddClubAndNationLinks();
    AddAwards();
    AddAwardHistories();
    AddCompetitionHistories();
    AddMedia();
    AddStadiumMoves();
    AddClubDebts();
    AddAttachedRecords();
    AddPlayingHistories();
}

void TBuilderBase::CountNationMembers() {
    auto NationOf = [&](int32_t ID) -> TNation* {
        return ID >= 0 && static_cast<std::size_t>(ID) < World_.Nations.size()
                   ? &World_.Nations[static_cast<std::size_t>(ID)]
                   : nullptr;
    };
    for (auto& Nation : World_.Nations) {
        Nation.PersonCount = 0;
        Nation.ClubCount = 0;
    }
    for (const auto& Person : World_.People)
        if (TNation* Nation = NationOf(Person.NationID))
            ++Nation->PersonCount;
    for (const auto& Club : World_.Clubs)
        if (TNation* Nation = NationOf(Club.NationID))
            ++Nation->ClubCount;
}

int32_t TBuilderBase::PickOf(const std::vector<int32_t>& Items) {
    return Items.empty() ? -1 : Items[Random_.Next() % Items.size()];
}

} // namespace wb
