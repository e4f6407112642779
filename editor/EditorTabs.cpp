#include "EditorTabs.h"

#include "frameStageUnit.h"

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
    {"tsAwards", "&Awards"},
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
    case TTab::Stages:
        return new TframeStage(Navigator, Sheet);
    default:
        return nullptr;
    }
}
