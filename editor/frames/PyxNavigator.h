#pragma once

class TGoneEntities;
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
// frame lists only that entity, focused), to refresh the club frame's squad pages, and to tell every tab about an
// add or a delete. The frames know the main window only through this interface.
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
    // After an add: every tab offers the new entities where its controls list their kind, keeping what it shows.
    virtual void EntitiesAdded() = 0;
    // After a delete: every tab drops the entities that went, keeping what the user typed about the others.
    virtual void EntitiesDeleted(const TGoneEntities& Gone) = 0;

    // The Show operation for Entity's kind; a team goes to its owner (its nation for a national team, else its
    // club). Kinds nothing navigates to (awards, media, stages and the rest) are ignored, as is nil.
    void ShowEntity(TPyxObject* Entity);
    void ShowTeamOwner(TPyxTeam* Team);
};
