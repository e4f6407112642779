#include "ScrambleIDs.h"

#include <unordered_map>

namespace wb {

namespace {

using TIDMap = std::unordered_map<int32_t, int32_t>;

// New IDs for one kind: the last record gets Base, each earlier one three more, so no record keeps its position.
template <class T> TIDMap Relabel(std::vector<T>& Items, int32_t Base) {
    TIDMap Map;
    const auto Count = static_cast<int32_t>(Items.size());
    for (int32_t I = 0; I < Count; ++I) {
        auto& Item = Items[static_cast<std::size_t>(I)];
        const int32_t NewID = Base + 3 * (Count - 1 - I);
        Map[Item.ID] = NewID;
        Item.ID = NewID;
    }
    return Map;
}

void Follow(const TIDMap& Map, int32_t& Reference) {
    const auto It = Map.find(Reference);
    if (It != Map.end())
        Reference = It->second;
}

void Follow(const TIDMap& Map, std::vector<int32_t>& References) {
    for (int32_t& Reference : References)
        Follow(Map, Reference);
}

struct TMaps {
    TIDMap Cities, Stadiums, Nations, Clubs, Teams;

    void FollowRelationships(std::vector<TRelationship>& Relationships) const {
        for (auto& R : Relationships) {
            switch (R.TargetType) {
            case 1:
                Follow(Clubs, R.TargetID);
                break;
            case 2:
                Follow(Nations, R.TargetID);
                break;
            case 4:
                Follow(Teams, R.TargetID);
                break;
            case 5:
                Follow(Stadiums, R.TargetID);
                break;
            default:
                break;
            }
        }
    }

    void FollowContainer(TContainerPart& Container) const {
        Follow(Teams, Container.TeamIDs);
        FollowRelationships(Container.Relationships);
    }

    void FollowTransferInfo(std::vector<TTransferInfo>& Infos) const {
        for (auto& Info : Infos)
            if (Info.Type == 5)
                Follow(Clubs, Info.ClubID);
    }
};

} // namespace

void ScrambleIDs(TWorld& World) {
    TMaps M;
    Relabel(World.Medias, 900); // nothing refers to media by ID
    M.Cities = Relabel(World.Cities, 700);
    M.Stadiums = Relabel(World.Stadiums, 500);
    M.Nations = Relabel(World.Nations, 300);
    M.Clubs = Relabel(World.Clubs, 100);
    M.Teams = Relabel(World.Teams, 1100);

    for (auto& City : World.Cities)
        Follow(M.Nations, City.NationID);
    for (auto& Award : World.Awards)
        Follow(M.Nations, Award.NationID);
    for (auto& Competition : World.Competitions)
        Follow(M.Nations, Competition.NationID);
    for (auto* Pool : {&World.FirstNames, &World.SecondNames, &World.CommonNames})
        for (auto& Name : *Pool)
            Follow(M.Nations, Name.NationID);
    for (auto& Club : World.Clubs) {
        Follow(M.Nations, Club.NationID);
        M.FollowTransferInfo(Club.TransferInfo);
        M.FollowContainer(Club.Container);
    }
    for (auto& Nation : World.Nations) {
        Follow(M.Stadiums, Nation.NationalStadiumID);
        Follow(M.Cities, Nation.CapitalCityID);
        M.FollowTransferInfo(Nation.TransferInfo);
        M.FollowContainer(Nation.Container);
    }
    for (auto& Stadium : World.Stadiums) {
        Follow(M.Clubs, Stadium.ClubID);
        Follow(M.Cities, Stadium.CityID);
        Follow(M.Stadiums, Stadium.NearbyStadiumID);
    }
    for (auto& Team : World.Teams) {
        Follow(M.Stadiums, Team.StadiumID);
        Follow(Team.IsNationTeam != 0 ? M.Nations : M.Clubs, Team.ContainerID);
    }
    for (auto& Move : World.StadiumMoves) {
        Follow(M.Teams, Move.TeamID);
        Follow(M.Stadiums, Move.StadiumID);
        Follow(M.Stadiums, Move.NewStadiumID);
        Follow(M.Stadiums, Move.AlternativeStadiumID);
    }
    for (auto& History : World.CompetitionHistories)
        for (int32_t* Team :
             {&History.FirstPlacedID, &History.SecondPlacedID, &History.ThirdPlacedID, &History.HostsID})
            Follow(M.Teams, *Team);
    for (auto& Debt : World.ClubDebts)
        Follow(M.Teams, Debt.TeamID);
    for (auto& Loan : World.Loans)
        Follow(M.Teams, Loan.TeamID);
    for (auto& Transfer : World.FutureTransfers)
        Follow(M.Teams, Transfer.TeamID);
    for (auto& Person : World.People) {
        Follow(M.Nations, Person.NationID);
        Follow(M.Teams, Person.NationalTeamID);
        Follow(M.Teams, Person.ClubTeamID);
        Follow(M.Cities, Person.CityOfBirthID);
        Follow(M.Cities, Person.Official.CityID);
        for (auto& Contract : Person.Contracts)
            Follow(Contract.NationContract != 0 ? M.Nations : M.Clubs, Contract.EmployerID);
        M.FollowRelationships(Person.Relationships);
    }
}

} // namespace wb
