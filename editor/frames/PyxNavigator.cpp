#include "PyxNavigator.h"

#include "PyxDatabase.h"

void TPyxNavigator::ShowTeamOwner(TPyxTeam* Team) {
    if (Team == nullptr)
        return;
    if (!Team->IsClubTeam())
        ShowNation(Team->GetNation());
    else
        ShowClub(Team->GetClub());
}

void TPyxNavigator::ShowEntity(TPyxObject* Entity) {
    if (auto* Person = dynamic_cast<TPyxPerson*>(Entity))
        ShowPerson(Person);
    else if (auto* Club = dynamic_cast<TPyxClub*>(Entity))
        ShowClub(Club);
    else if (auto* Nation = dynamic_cast<TPyxNation*>(Entity))
        ShowNation(Nation);
    else if (auto* Team = dynamic_cast<TPyxTeam*>(Entity))
        ShowTeamOwner(Team);
    else if (auto* City = dynamic_cast<TPyxCity*>(Entity))
        ShowCity(City);
    else if (auto* Stadium = dynamic_cast<TPyxStadium*>(Entity))
        ShowStadium(Stadium);
    else if (auto* Competition = dynamic_cast<TPyxCompetition*>(Entity))
        ShowCompetition(Competition);
    else if (auto* Continent = dynamic_cast<TPyxContinent*>(Entity))
        ShowContinent(Continent);
    else if (auto* Weather = dynamic_cast<TPyxWeather*>(Entity))
        ShowWeather(Weather);
    else if (auto* Language = dynamic_cast<TPyxLanguage*>(Entity))
        ShowLanguage(Language);
    else if (auto* Injury = dynamic_cast<TPyxInjury*>(Entity))
        ShowInjury(Injury);
}
