#include "NameMaker.h"

#include "SampleText.h"

#include <array>
#include <string_view>
#include <vector>

namespace wb {

namespace {

struct TStyle {
    std::string_view Starts, Mids, Ends, FirstEnds;
};

// Space-separated syllables: name starts (capitalised), middles, family-name endings and first-name endings.
constexpr std::array<TStyle, TNameMaker::StyleCount> Styles = {{
    {"Mar Luc Giu Ales Fab Ros Ser Dan Ant Val Ric Pao Ben Cor Fer Gal", "i e o a el an ar in",
     "o i ini etti ano ari one ucci ese elli", "o io a iano ino ello ero ando"},
    {"Bj Sv Kj Ol Hal Eir Ulf Rag Tor Ste Lar Jon Per Nil Arn Gun", "or en ar ul ei an ik e",
     "sen son berg dal lund strom vik holm gaard ness", "e en ar o ik and ulf rik"},
    {"Rod Fer Gon Alv Mend Per Jim Rui Car Diaz San Mor Nav Cas Ort Var", "ri e a i o ez an er",
     "ez es inho eira ado illo ero ano ada ito", "o io ao inho el an ardo er"},
    {"Nov Kov Pet Ivan Drag Mil Bor Rad Vlad Stan Jur Ale Dim Zor Mir Sla", "o a e i ov an ic in",
     "ic ov ski enko ak ek in ovic ev uk", "o an ir ek slav imir ij as"},
    {"Ash Brad Cal Dun Ell Fair Hart Kings Mor Pen Red Shel Thorn Wal Whit Wood", "er in ham ley ton ford well by",
     "ton ley ford field worth wood son er man by", "ie y an en on ert ard is"},
    {"Bau Schm Hof Mei Kra Wag Zim Len Fisch Wolf Rich Kel Brau Lang Vog Sch", "er en el i a ling mann o",
     "mann er inger berg hardt stein hofer ke ler bach", "ert us an ard er ig mar olf"},
    {"Ok Ade Mba Kou Diall Tra Yao Ekw Nwa Bak Osei Amo Kan Sis Fof Ndi", "a e o u i an ou em",
     "oko ye ba ore ame ou aka ola emi angu", "a e i u o ou ane ele"},
    {"Tak Hir Kaz Yos Min Sat Ken Ryu Jin Hyun Sung Dae Kwan Hae Tae Yu", "a i u o e ya shi ko",
     "moto shi ta mura kawa da ki no hara naka", "o a i u ki to shi ro"},
}};

constexpr std::string_view NationEnds = "ia land ovia ara istan onia ea ania";
constexpr std::string_view CityEnds = "burg ton polis ville grad stad haven port mouth field";

std::vector<std::string_view> Split(std::string_view List) {
    std::vector<std::string_view> Parts;
    while (!List.empty()) {
        const auto Space = List.find(' ');
        Parts.push_back(List.substr(0, Space));
        List = Space == std::string_view::npos ? std::string_view() : List.substr(Space + 1);
    }
    return Parts;
}

struct TSyllables {
    std::vector<std::string_view> Starts, Mids, Ends, FirstEnds;
};

const TSyllables& Syllables(int Style) {
    static const std::array<TSyllables, TNameMaker::StyleCount> All = [] {
        std::array<TSyllables, TNameMaker::StyleCount> Result;
        for (std::size_t S = 0; S < Styles.size(); ++S)
            Result[S] = {Split(Styles[S].Starts), Split(Styles[S].Mids), Split(Styles[S].Ends),
                         Split(Styles[S].FirstEnds)};
        return Result;
    }();
    return All[static_cast<std::size_t>(Style) % All.size()];
}

std::string_view Pick(TSampleRandom& Random, const std::vector<std::string_view>& Parts) {
    return Parts[Random.Next() % Parts.size()];
}

} // namespace

std::u16string TNameMaker::FirstName(int Style) {
    const auto& S = Syllables(Style);
    return U16(std::string(Pick(Random_, S.Starts)) + std::string(Pick(Random_, S.FirstEnds)));
}

std::u16string TNameMaker::SecondName(int Style) {
    const auto& S = Syllables(Style);
    std::string Name(Pick(Random_, S.Starts));
    if (Random_.Chance(50))
        Name += Pick(Random_, S.Mids);
    Name += Pick(Random_, S.Ends);
    return U16(Name);
}

std::u16string TNameMaker::CommonName(int Style) {
    const auto& S = Syllables(Style);
    return U16(std::string(Pick(Random_, S.Starts)) + std::string(Pick(Random_, S.Mids)) +
               std::string(Pick(Random_, S.FirstEnds)));
}

std::u16string TNameMaker::NationName(int Style) {
    const auto& S = Syllables(Style);
    static const auto Ends = Split(NationEnds);
    return U16(std::string(Pick(Random_, S.Starts)) + std::string(Pick(Random_, S.Mids)) +
               std::string(Pick(Random_, Ends)));
}

std::u16string TNameMaker::CityName(int Style) {
    const auto& S = Syllables(Style);
    static const auto Ends = Split(CityEnds);
    std::string Name(Pick(Random_, S.Starts));
    if (Random_.Chance(60))
        Name += Pick(Random_, S.Mids);
    Name += Random_.Chance(50) ? Pick(Random_, Ends) : Pick(Random_, S.Ends);
    return U16(Name);
}

} // namespace wb
