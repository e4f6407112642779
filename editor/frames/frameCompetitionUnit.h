#pragma once

#include "PyxCompetition.h"
#include "PyxFrame.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class TPointerComboBox;
class TPointerListBox;
class TPyxColorBox;
class TSpinEdit;
class TframeCompetitionHistory;
class TframeSelectionSearch;

// The competitions tab: a competition's three translatable names, its continent and nation with their link
// buttons, reputation, level, colours and whether it uses squad numbers; the teams playing in it (display only; a
// double-click goes to the team's nation or club); and its history, edited row by row on copies (the history
// sub-frame). Competitions are neither added nor deleted here.
class TframeCompetition final : public TPyxFrame<TPyxCompetition> {
    Q_OBJECT
public:
    TframeCompetition(TPyxNavigator& Navigator, QWidget* Parent);

    QLineEdit* edCompetitionName;
    QLineEdit* edShortCompetitionName;
    QLineEdit* edThreeLetterName;
    TPointerComboBox* cmbContinent;
    TframeSelectionSearch* ssNation;
    TSpinEdit* seReputation;
    QLineEdit* edPictureID;
    TSpinEdit* seCompetitionLevel;
    TPyxColorBox* colbMajorColour;
    TPyxColorBox* colbMinorColour;
    TPyxColorBox* colbTrimColour;
    QCheckBox* cbUsesSquadNumbers;
    TPointerListBox* lboxTeams;
    QLabel* lblTeamCount;
    TframeCompetitionHistory* frameCompetitionHistory;

public slots:
    void lboxTeamsDblClick();

protected:
    TPyxObjects& Collection(TPyxDatabase& Database) const override;
    void Attached(TPyxDatabase& Database) override;
    void PrepareLoad(TPyxObject& Entity) override;
    void LoadEntity(TPyxObject& Entity) override;
    void SaveEntity(TPyxObject& Entity) override;
    void PurgeEntity(const TGoneEntities& Gone) override;
    void ClearEntity() override;

private:
    void BuildGeneralPage();
    void BuildTeamsPage();
    TPyxColorBox* AddColourRow(TFramePage* Page, const QString& Caption, const QString& Name,
                               uint32_t (TPyxColor::*Get)() const, void (TPyxColor::*Set)(uint32_t));
    // Lists the teams whose division or other division is Competition, and their number.
    void FillTeamList(const TPyxCompetition& Competition);
};
