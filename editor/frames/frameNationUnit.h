#pragma once

#include "ListBinding.h"
#include "PyxFrame.h"
#include "PyxNation.h"

#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;
class TIntegerComboBox;
class TPointerComboBox;
class TPointerListBox;
class TPyxRelationship;
class TSpinEdit;
class TSpinFloatEdit;
class TframeKitColor;
class TframeSelectionSearch;

// The nations tab: a nation's four translatable names, continent, region, football style and status, capital
// city and national stadium; its figures and up to three languages; UEFA coefficients and FIFA standing; its kits
// (the kit colour sub-frame); its rival nations, edited on copies; and, shown only, the staff of its national
// team. Nations are neither added nor deleted here.
//
// Confirm writes only what the user changed. Beyond the nation's own fields it writes the national stadium and the
// reputation into the nation's first team when the user changed them; a language list longer than the three
// shown keeps its further languages; the rival list replaces the nation's rival relationships (and only those)
// when it differs from what was loaded. Leaving the reputation or the FIFA ranking points rounds the reputation down
// to a multiple of 500.
class TframeNation final : public TPyxFrame<TPyxNation> {
    Q_OBJECT
public:
    TframeNation(TPyxNavigator& Navigator, QWidget* Parent);

    // The kind of relationship the rivals page edits, and the target type of a rival.
    static constexpr uint8_t RivalKind = 6;
    // The most relationships a nation's record can hold: their count is stored in one byte.
    static constexpr int MaxRelationships = 255;
    // The seasons of the six UEFA coefficients, by the year each ends.
    static constexpr int FirstCoefficientYear = 1998;
    static constexpr int CoefficientCount = 6;

    QLineEdit* edNationName;
    QLineEdit* edShortNationName;
    QLineEdit* edThreeLetterName;
    QLineEdit* edNationalityName;
    TPointerComboBox* cmbContinent;
    TPointerComboBox* cmbRegion;
    TIntegerComboBox* cmbStyleOfFootball;
    TIntegerComboBox* cmbGroupMembership;
    TIntegerComboBox* cmbStateOfDevelopment;
    QLineEdit* edPictureID;
    TframeSelectionSearch* ssCapitalCity;
    TframeSelectionSearch* ssNationalStadium;
    TSpinEdit* seLeagueStandard;
    TSpinEdit* seReputation;
    TSpinEdit* seGameImportance;
    TframeSelectionSearch* ssFirstLanguage;
    TframeSelectionSearch* ssSecondLanguage;
    TframeSelectionSearch* ssThirdLanguage;
    std::array<TSpinFloatEdit*, CoefficientCount> seUEFA{};
    TSpinEdit* seFIFARankingPoints;
    QCheckBox* cbFIFAFullMember;
    TframeKitColor* frameKitColor;
    TPointerListBox* lboxRivals;
    QPushButton* btnAddRival;
    QPushButton* btnDeleteRival;
    QLineEdit* edManager;
    TPointerListBox* lboxCoaches;
    TPointerListBox* lboxPhysios;

public slots:
    void btnAddRivalClick();
    void btnDeleteRivalClick();
    void lboxRivalsDblClick();
    void edManagerDblClick();
    // A double-click on a coach or a physio.
    void SelectStaff(TPointerListBox* List);
    // Leaving the reputation or the FIFA ranking points: the reputation goes down to a multiple of 500.
    void seReputationExit();

protected:
    TPyxObjects& Collection(TPyxDatabase& Database) const override;
    void Attached(TPyxDatabase& Database) override;
    void PrepareLoad(TPyxObject& Entity) override;
    void LoadEntity(TPyxObject& Entity) override;
    void SaveEntity(TPyxObject& Entity) override;
    void ClearEntity() override;
    void PurgeEntity(const TGoneEntities& Gone) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void BuildGeneralPage();
    void BuildStatsPage();
    void BuildRankingsPage();
    void BuildColoursPage();
    void BuildRivalsPage();
    void BuildStaffPage();
    QLineEdit* AddNationNameRow(TFramePage* Page, const QString& Caption, const QString& EditName,
                                const QString& ButtonName, const QString& Title, std::u16string TPyxNation::*Own,
                                std::u16string TPyxNationTexts::*Translated);
    TframeSelectionSearch* AddLanguageRow(TFramePage* Page, const QString& Caption, const QString& Name,
                                          const QString& Ordinal, const QString& LinkName);
    void LoadLanguages(const TPyxNation& Nation);
    void SaveLanguages(TPyxNation& Nation);
    void ClearRivals();
    void LoadRivals(const TPyxNation& Nation);
    void SaveRivals(TPyxNation& Nation);
    void FillNationalTeamStaff(const TPyxNation& Nation);
    // The nation's first team (entry 0 of its teams), nil without teams.
    static TPyxTeam* FirstTeam(const TPyxNation& Nation);

    // The rival list, edited as copies.
    std::unique_ptr<TListBinding<TPyxRelationship>> Rivals_;
};
