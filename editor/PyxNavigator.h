#pragma once

class TPyxCity;
class TPyxClub;
class TPyxCompetition;
class TPyxContinent;
class TPyxInjury;
class TPyxLanguage;
class TPyxNation;
class TPyxObject;
class TPyxPerson;
class TPyxStadium;
class TPyxTeam;
class TPyxWeather;

// What the frames ask of the main window: to show an entity in its own tab (the tab is made active and its
// frame lists only that entity, focused), to refresh the club frame's squad pages, and to have every tab drop the
// entities that went after an add or a delete. The frames know the main window only through this interface.
class TPyxNavigator {
public:
    virtual ~TPyxNavigator() = default;

    virtual void ShowPerson(TPyxPerson* Person) = 0;
    virtual void ShowClub(TPyxClub* Club) = 0;
    virtual void ShowNation(TPyxNation* Nation) = 0;
    virtual void ShowCity(TPyxCity* City) = 0;
    virtual void ShowStadium(TPyxStadium* Stadium) = 0;
    virtual void ShowCompetition(TPyxCompetition* Competition) = 0;
    virtual void ShowContinent(TPyxContinent* Continent) = 0;
    virtual void ShowWeather(TPyxWeather* Weather) = 0;
    virtual void ShowLanguage(TPyxLanguage* Language) = 0;
    virtual void ShowInjury(TPyxInjury* Injury) = 0;
    virtual void RefreshClubSquads() = 0;
    // After an add or a delete: every tab drops the entities that are gone and reloads its editor.
    virtual void EntitiesChanged() = 0;

    // The Show operation for Entity's kind; a team goes to its owner (its nation for a national team, else its
    // club). Kinds nothing navigates to (awards, media, stages and the rest) are ignored, as is nil.
    void ShowEntity(TPyxObject* Entity);
    void ShowTeamOwner(TPyxTeam* Team);
};
