#pragma once

#include "PyxClub.h"
#include "PyxFrame.h"

#include <set>
#include <vector>

class QCheckBox;
class QLineEdit;
class QMenu;
class QAction;
class QTabWidget;
class TIntegerComboBox;
class TPointerComboBox;
class TPointerListBox;
class TSpinEdit;
class TframeClubPreferences;
class TframeKitColor;
class TframeSelectionSearch;
class TframeSquad;

// The clubs tab: a club's four translatable names, nation, captain and picture ID (its UniqueID, shown only), its
// finances and facilities, kits, board and scouts (shown only), preferences, and one squad page per team. Clubs
// are added (with their first team) and deleted, and squads added (each with the companion club record that
// lends it its UniqueID) and deleted, through the list's popup menu; the Add menu adds a club too.
//
// Confirm writes only what the user changed; the companion club of a squad is renamed after the club (with the
// squad's suffixes) when the club's names or the squad's type changed, or the squad is new since the companion
// has no names of its own yet. Adding or deleting a squad adds or removes its page only: what the user typed into
// the club and its other squads stays until Confirm or Cancel.
class TframeClub final : public TPyxFrame<TPyxClub> {
    Q_OBJECT
public:
    TframeClub(TPyxNavigator& Navigator, QWidget* Parent);
    ~TframeClub() override;

    bool CanAdd() const override { return true; }
    void AddEntity() override { AddClub(); }
    void RefreshSquads() override;

    // A new club with its first team (one UniqueID for both), listed and focused. Only with all languages loaded.
    void AddClub();
    // Deletes the focused club; nothing without one. A companion club record, which stands for another club's squad
    // or a national team, is refused with a message: it goes only with its team.
    void DeleteClub();
    // A further squad of the focused club (a "B Team") with its companion club; the pages are rebuilt.
    void AddSquad();
    // Deletes Team, one of the focused club's squads, and its companion club; the club's first team only when it
    // is the last.
    void DeleteSquad(TPyxTeam* Team);
    // Enables the popup's items for the state now (what opening the popup does).
    void UpdatePopupItems();

    // The squad pages, in the club's team order.
    int SquadCount() const { return static_cast<int>(Squads_.size()); }
    TframeSquad* Squad(int Index) const { return Squads_.at(static_cast<std::size_t>(Index)); }

    // The most teams a club's record can list: their count is stored in one byte.
    static constexpr int MaxTeams = 255;

    QLineEdit* edClubName;
    QLineEdit* edShortClubName;
    QLineEdit* edNickname1;
    QLineEdit* edNickname2;
    TframeSelectionSearch* ssNation;
    TPointerComboBox* cmbClubCaptain;
    QLineEdit* edPictureID;
    TSpinEdit* seBalance;
    TIntegerComboBox* cmbProfessionalStatus;
    QCheckBox* cbPublicLimitedCompany;
    TSpinEdit* seMinimumAttendance;
    TSpinEdit* seAverageAttendance;
    TSpinEdit* seMaximumAttendance;
    TSpinEdit* seTraining;
    TSpinEdit* seYouthAcademy;
    TSpinEdit* seYouthSetup;
    TframeKitColor* frameKitColor;
    QLineEdit* edChairman;
    TPointerListBox* lboxBoardMembers;
    TPointerListBox* lboxScouts;
    TframeClubPreferences* frameClubPreferences;
    QWidget* tsSquads;
    QTabWidget* pcSquads;
    QMenu* popmClubs;
    QAction* mnuiAddClub;
    QAction* mnuiDeleteClub;
    QAction* mnuiAddSquad;
    QAction* mnuiDeleteLastSquad;

public slots:
    void mnuiDeleteLastSquadClick();

protected:
    TPyxObjects& Collection(TPyxDatabase& Database) const override;
    void Attached(TPyxDatabase& Database) override;
    void PrepareLoad(TPyxObject& Entity) override;
    void LoadEntity(TPyxObject& Entity) override;
    void SaveEntity(TPyxObject& Entity) override;
    void ClearEntity() override;
    void PurgeEntity(const TGoneEntities& Gone) override;
    void RefreshChoices() override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void BuildGeneralPage();
    void BuildFinancesPage();
    void BuildBoardPage();
    void BuildSquadPages(TPyxClub* Club);
    void AddSquadPage(TPyxTeam* Team);
    void RemoveSquadPage(int Index);
    void FreeSquadPages();
    void FillCaptains(const TPyxClub& Club);
    void FillBoard(const TPyxClub& Club);
    // Renames the companion clubs of the squads whose names follow from what this Confirm changed: the club's names
    // (NamesChanged) or a squad's type (TypeChanged, by page).
    void RenameCompanions(TPyxClub& Club, bool NamesChanged, const std::vector<bool>& TypeChanged);
    void ShowSquadsTab(bool Show);

    std::vector<TframeSquad*> Squads_;
    // The UniqueIDs of the squads added since their companions were last named.
    std::set<int32_t> NewSquads_;
    std::vector<TNameBinding*> NameBindings_;
};
