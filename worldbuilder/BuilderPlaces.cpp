#include "BuilderBase.h"

namespace wb {

void TBuilderBase::DrawNationFigures(TNation& Nation, const std::function<int16_t()>& Reputation) {
    Nation.NationValue1 = Random_.Int(0, 1000);
    Nation.Reputation = Reputation();
    Nation.FIFARankingPoints = Random_.Short(100, 800);
    Nation.NationValue2 = Random_.Short(0, 50);
    Nation.NationValue3 = Random_.Int(0, 100000);
    Nation.NationValue4 = Random_.Short(0, 20);
}

void TBuilderBase::DrawNationCharacter(TNation& Nation, const std::function<uint8_t()>& FIFAFullMember) {
    if (Nation.ContinentID == 0)
        for (std::size_t Y = 0; Y < 6; ++Y)
            Nation.UEFACoefficients[Y] = static_cast<float>(Random_.Int(0, 160)) / 8.0f;
    for (std::size_t B = 0; B < Nation.NationBlock.size(); B += 3)
        Nation.NationBlock[B] = Random_.Byte(0, 255);
    Nation.StyleOfFootball = Random_.Byte(0, 5);
    Nation.StateOfDevelopment = Random_.Byte(1, 3);
    Nation.GroupMembership = Random_.Byte(0, 2);
    Nation.GameImportance = Random_.Byte(1, 20);
    Nation.LeagueStandard = Random_.Byte(1, 20);
    Nation.NationByte2 = Random_.Byte(0, 3);
    Nation.NationByte3 = Random_.Byte(0, 3);
    Nation.FIFAFullMember = FIFAFullMember();
    Nation.NationByte4 = Random_.Byte(0, 9);
    Nation.NationByte5 = Random_.Byte(0, 9);
    Nation.NationByte6 = Random_.Byte(0, 9);
}

TTexts<TNationText> TBuilderBase::NationTexts(const std::u16string& Name, bool Association) const {
    return Translate<TNationText>([&](int32_t L) {
        TNationText Text;
        Text.Name = Tr(Name, L);
        Text.NameByte = 1;
        Text.ShortName = Tr(Name, L);
        Text.ShortNameByte = 1;
        Text.ThreeLetterName = Name.substr(0, 3);
        Text.NationalityName = Tr(Name + u"n", L);
        if (Association)
            Text.ExtraTexts = {Tr(Name + u" Football Association", L)};
        return Text;
    });
}

void TBuilderBase::DrawGround(TStadium& Stadium, const std::function<uint8_t()>& State) {
    Stadium.Decay = Random_.Byte(1, 10);
    Stadium.UsedCapacity = Stadium.Capacity;
    Stadium.PitchLength = Random_.Short(100, 110);
    Stadium.PitchWidth = Random_.Short(64, 75);
    Stadium.StadiumByte1 = Random_.Byte(0, 3);
    Stadium.State = State();
    Stadium.StadiumByte2 = Random_.Byte(0, 3);
}

} // namespace wb
