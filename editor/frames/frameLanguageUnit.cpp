#include "frameLanguageUnit.h"

#include "PyxDatabase.h"

#include <array>

namespace {

// Each list's code is the position in it, from 1; none has an item for 0, which the combos therefore keep.
// clang-format off
constexpr std::array Families = {
    "Afro Asiatic", "Alacalufan", "Algic", "Altaic", "Amto Musan", "Andamanese", "Arauan", "Araucanian", "Arawakan",
    "Artificial", "Arutani Sape", "Australian", "Austro Asiatic", "Austronesian", "Aymaran", "Barbacoan", "Basque",
    "Bayono Awbono", "Caddoan", "Cahuapanan", "Cant", "Carib", "Chapacura Wanham", "Chibchan", "Chimakuan", "Choco",
    "Chon", "Chukotko Kamchatkan", "Chumash", "Coahuiltecan", "Creole", "Deaf Sign Language", "Dravidian",
    "East Birds Head", "East Papuan", "Eskimo Aleut", "Geelvink Bay", "Guahiban", "Gulf", "Harakmbet", "Hmong Mien",
    "Hokan", "Huavean", "Indo European", "Iroquoian", "Japanese", "Jivaroan", "Katukinan", "Keres", "Khoisan",
    "Kiowa Tanoan", "Kwomtari Baibai", "Language Isolate", "Left May", "Lower Mamberamo", "Lule Vilela", "Macro Ge",
    "Maku", "Mascoian", "Mataco Guaicuru", "Mayan", "Misumalpan", "Mixe Zoque", "Mixed Language", "Mosetenan", "Mura",
    "Muskogean", "Na Dene", "Nambiquaran", "Niger Congo", "Nilo Saharan", "North Caucasian", "Oto Manguean", "Paezan",
    "Panoan", "Peba Yaguan", "Penutian", "Pidgin", "Quechuan", "Salishan", "Salivan", "Sepik Ramu", "Sign Language",
    "Sino Tibetan", "Siouan", "Sko", "South Caucasian", "Subtiaba Tlapanec", "Tacanan", "Tai Kadai", "Torricelli",
    "Totonacan", "Trans New Guinea", "Tucanoan", "Tupi", "<Unclassified>", "Uralic", "Uru Chipaya", "Uto Aztecan",
    "Wakashan", "West Papuan", "Witotoan", "Yanomam", "Yenisei Ostyak", "Yukaghir", "Yuki", "Zamucoan", "Zaparoan",
    "Korean"};
// clang-format on
static_assert(Families.size() == 109);

// clang-format off
constexpr std::array Groups = {
    "Albanian", "Armenian", "Atlantic Congo", "Baltic", "Chinese", "Cushitic", "Finno Ugric", "Georgian", "Germanic",
    "Greek", "Indo Iranian", "Italic", "Japanese", "Kam Tai", "Malayo Polynesian", "Mon Khmer", "Ramu", "Semitic",
    "Slavic", "Southern", "Tibeto Burman", "Turkic"};
// clang-format on
static_assert(Groups.size() == 22);

// clang-format off
constexpr std::array SubGroups = {
    "Armenian", "Atlantic", "Attic", "Be Tai", "Central", "Chinese", "East", "Finno Permic", "Georgian", "Hungarian",
    "Indo Aryan", "Iranian", "Japanese", "Korean", "Lolo Burmese", "North", "Romance", "South", "Tamil Kannada",
    "Tosk", "Viet Muong", "Volta Congo", "West", "Yuat Waibuk"};
// clang-format on
static_assert(SubGroups.size() == 24);

template <std::size_t N>
TIntegerComboBox* NumberedCombo(QWidget* Parent, const QString& ObjectName, const std::array<const char*, N>& Texts) {
    TIntegerComboBox* Combo = PyxControls::IntegerCombo(Parent, ObjectName, {}, true);
    for (std::size_t I = 0; I < N; ++I)
        Combo->Add(QString::fromUtf8(Texts[I]), static_cast<int32_t>(I + 1));
    return Combo;
}

} // namespace

TframeLanguage::TframeLanguage(TPyxNavigator& Navigator, QWidget* Parent)
    : TPyxFrame(Navigator, {"frameLanguage", "Language", " Languages Found"}, Parent) {
    TFramePage* General = AddPage("tsGeneral", "&General", "General:", "lblGeneral");
    edLanguageName = PyxControls::TextEdit(General, "edLanguageName");
    General->AddRow("Language Name:", edLanguageName);
    BindText(edLanguageName, &TPyxLanguage::Name);
    seInfluence = PyxControls::SpinEdit(General, "seInfluence", 0, 255);
    General->AddRow("Influence:", seInfluence);
    BindSpin(seInfluence, &TPyxLanguage::Influence);
    seDifficulty = PyxControls::SpinEdit(General, "seDifficulty", 0, 255);
    General->AddRow("Difficulty:", seDifficulty);
    BindSpin(seDifficulty, &TPyxLanguage::Difficulty);
    cmbFamily = NumberedCombo(General, "cmbFamily", Families);
    General->AddRow("Family:", cmbFamily);
    BindCombo(cmbFamily, &TPyxLanguage::Family);
    cmbGroup = NumberedCombo(General, "cmbGroup", Groups);
    General->AddRow("Group:", cmbGroup);
    BindCombo(cmbGroup, &TPyxLanguage::Group);
    cmbSubGroup = NumberedCombo(General, "cmbSubGroup", SubGroups);
    General->AddRow("Sub Group:", cmbSubGroup);
    BindCombo(cmbSubGroup, &TPyxLanguage::SubGroup);
}

TPyxObjects& TframeLanguage::Collection(TPyxDatabase& Database) const {
    return Database.Languages;
}
