#pragma once

#include "BindingSet.h"

#include <QWidget>

class QDateEdit;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;
class QTimer;
class TIntegerComboBox;
class TPointerListBox;
class TPyxDatabase;
class TPyxNavigator;
class TPyxPerson;
class TPyxTeam;
class TSpinEdit;
class TframeSelectionSearch;
class TframeTeamFinances;

// One squad page of the club frame: edits one team of the focused club (general data and competitions, its
// stadium with a planned move and a capacity change, its finances, and shows its staff and players). Nothing
// reaches the team before the club frame confirms (SaveTeam), and SaveTeam writes only what the user changed: a
// stored value the controls cannot show (a squad type the combo lacks, an odd date) stays as it is, and the
// move, capacity-change, budget and loan records are rebuilt only when the user edited them. Leaving the reputation
// or the new capacity rounds the reputation down to a multiple of 500.
class TframeSquad final : public QWidget {
    Q_OBJECT
public:
    TframeSquad(TPyxNavigator& Navigator, QWidget* Parent);
    ~TframeSquad() override;

    void SetDatabase(TPyxDatabase* Database);
    void LoadTeam(TPyxTeam* Team);
    void ReloadTeam();
    void SaveTeam();
    // After a delete elsewhere: drops the entities that went from the controls, keeping what the user typed, and
    // shows the team's staff and players as they are now.
    void Purge(const TGoneEntities& Gone);
    // Refills the player list in the order the radio buttons choose.
    void FillPlayerList();
    TPyxTeam* Team() const { return Team_; }
    // Whether the user changed the squad type since the team was loaded (a companion club is renamed only then).
    bool TeamTypeChanged() const;
    // The text the player hint shows for Player.
    static QString HintText(const TPyxPerson& Player);
    // The hint window of the player list, nil before its first use.
    QLabel* HintWindow() const { return HintWindow_; }

    QTabWidget* pcSquad;
    TIntegerComboBox* cmbTeamType;
    TSpinEdit* seReputation;
    TIntegerComboBox* cmbHomeMatchDay;
    TframeSelectionSearch* ssDivision;
    TframeSelectionSearch* ssLastDivision;
    TSpinEdit* seLastPosition;
    TframeSelectionSearch* ssOtherDivision;
    TframeSelectionSearch* ssContinentalCompetition;
    TSpinEdit* seContinentalSeeding;
    TframeSelectionSearch* ssStadium;
    TframeSelectionSearch* ssNewStadium;
    TframeSelectionSearch* ssAlternativeStadiumMove;
    QDateEdit* dtpLeaveDateMove;
    QDateEdit* dtpStartDateMove;
    TSpinEdit* seNewCapacity;
    QDateEdit* dtpStartDateCapacity;
    TframeTeamFinances* frameTeamFinances;
    QLineEdit* edManager;
    TPointerListBox* lboxCoaches;
    TPointerListBox* lboxPhysios;
    TPointerListBox* lboxPlayers;
    QRadioButton* rbName;
    QRadioButton* rbSquadNumber;
    QRadioButton* rbCurrentAbility;
    QRadioButton* rbPotentialAbility;
    QTimer* tiHint;

public slots:
    void seReputationExit();
    void rbNameClick();
    void tiHintTimer();

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void BuildGeneralPage();
    void BuildStadiumPage();
    void BuildStaffPage();
    void BuildPlayersPage();
    void SaveStadiumMove();
    void SaveCapacityChange();
    void FillStaff();
    void SelectStaff(TPointerListBox* List);
    void lboxPlayersMouseMove(const QPoint& Position);
    void HideHint();
    // -1 ascending, 0 equal, 1 descending, by the order the radio buttons choose.
    int ComparePlayers(const TPyxPerson* A, const TPyxPerson* B) const;
    void SortPlayers(int Lo, int Hi);

    TPyxNavigator& Navigator_;
    TPyxDatabase* Database_ = nullptr;
    TPyxTeam* Team_ = nullptr;
    TBindingSet Bindings_;
    QLabel* HintWindow_ = nullptr;
};
