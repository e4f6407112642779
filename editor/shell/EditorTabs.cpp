#include "EditorTabs.h"

#include "frameAwardUnit.h"
#include "frameCityUnit.h"
#include "frameClubUnit.h"
#include "frameCompetitionUnit.h"
#include "frameContinentUnit.h"
#include "frameInjuryUnit.h"
#include "frameLanguageUnit.h"
#include "frameMediaUnit.h"
#include "frameNationUnit.h"
#include "framePeopleUnit.h"
#include "frameStadiumUnit.h"
#include "frameStageUnit.h"
#include "frameWeatherUnit.h"

#include <array>

namespace {

constexpr std::array<TTabInfo, TabCount> Tabs = {{
    {"tsPeople", "&People"},
    {"tsClubs", "&Clubs"},
    {"tsNation", "&Nations"},
    {"tsCompetition", "C&ompetition"},
    {"tsStadia", "&Stadia"},
    {"tsCities", "C&ities"},
    {"tsContinents", "Con&tinents"},
    // Alt+A opens the Add menu: the awards tab takes the next letter of its name that no other tab or menu has.
    {"tsAwards", "Awar&ds"},
    {"tsWeather", "&Weather"},
    {"tsInjuries", "Inj&uries"},
    {"tsLanguages", "&Languages"},
    {"tsMedia", "&Media"},
    {"tsStages", "Sta&ges"},
}};

} // namespace

const TTabInfo& TabInfo(TTab Tab) {
    return Tabs[static_cast<std::size_t>(Tab)];
}

TPyxEditorFrame* CreateTabFrame(TTab Tab, TPyxNavigator& Navigator, QWidget* Sheet) {
    switch (Tab) {
    case TTab::People:
        return new TframePeople(Navigator, Sheet);
    case TTab::Clubs:
        return new TframeClub(Navigator, Sheet);
    case TTab::Nation:
        return new TframeNation(Navigator, Sheet);
    case TTab::Competition:
        return new TframeCompetition(Navigator, Sheet);
    case TTab::Stadia:
        return new TframeStadium(Navigator, Sheet);
    case TTab::Cities:
        return new TframeCity(Navigator, Sheet);
    case TTab::Continents:
        return new TframeContinent(Navigator, Sheet);
    case TTab::Awards:
        return new TframeAward(Navigator, Sheet);
    case TTab::Weather:
        return new TframeWeather(Navigator, Sheet);
    case TTab::Injuries:
        return new TframeInjury(Navigator, Sheet);
    case TTab::Languages:
        return new TframeLanguage(Navigator, Sheet);
    case TTab::Media:
        return new TframeMedia(Navigator, Sheet);
    case TTab::Stages:
        return new TframeStage(Navigator, Sheet);
    default:
        return nullptr;
    }
}
