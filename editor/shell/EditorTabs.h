#pragma once

class QWidget;
class TPyxEditorFrame;
class TPyxNavigator;

// The thirteen entity tabs of the main window, in tab order (also the order frames are attached and detached).
enum class TTab : int {
    People,
    Clubs,
    Nation,
    Competition,
    Stadia,
    Cities,
    Continents,
    Awards,
    Weather,
    Injuries,
    Languages,
    Media,
    Stages
};
inline constexpr int TabCount = 13;

struct TTabInfo {
    const char* SheetName; // the tab sheet's object name ("tsStages")
    const char* Caption;   // with its accelerator ("Sta&ges")
};
const TTabInfo& TabInfo(TTab Tab);

// The editor frame of a tab, created on Sheet, or nil while the tab's frame is not built (the tab is then shown
// disabled). Each frame adds its line here.
TPyxEditorFrame* CreateTabFrame(TTab Tab, TPyxNavigator& Navigator, QWidget* Sheet);
