#include "EditingWorld.h"

#include "Writers.h"

namespace ew {

wb::TSampleOptions TEditedWorld::DefaultOptions() {
    wb::TSampleOptions O;
    O.PeopleCount = 20;
    O.LanguageCount = 3;
    O.DefaultLanguagePosition = 1;
    return O;
}

TEditedWorld::TEditedWorld(const wb::TWorld& World) : In_("in"), Out_("out"), Db_(std::make_unique<TPyxDatabase>()) {
    wb::WriteWorld(World, In_.Str());
    Db_->Load(In_.Str());
    for (int32_t I = 0; I < Db_->People.Count(); ++I)
        PersonKeys_.push_back(Db_->People.Items(I)->UniqueID);
    for (int32_t I = 0; I < Db_->Clubs.Count(); ++I)
        ClubKeys_.push_back(Db_->Clubs.Items(I)->UniqueID);
    for (int32_t I = 0; I < Db_->Teams.Count(); ++I)
        TeamKeys_.push_back(Db_->Teams.Items(I)->UniqueID);
    for (int32_t I = 0; I < Db_->Nations.Count(); ++I)
        NationKeys_.push_back(Db_->Nations.Items(I)->UniqueID);
}

TPyxDatabase& TEditedWorld::SaveAndReload() {
    Db_->Save(Out_.Str());
    Reloaded_ = std::make_unique<TPyxDatabase>();
    Reloaded_->Load(Out_.Str());
    return *Reloaded_;
}

std::string Join(const std::vector<std::string>& Lines) {
    std::string Out;
    for (const auto& L : Lines)
        Out += L + "\n";
    return Out;
}

} // namespace ew
