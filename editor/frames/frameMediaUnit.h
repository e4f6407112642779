#pragma once

#include "PyxFrame.h"
#include "PyxMedia.h"

class QLabel;
class QLineEdit;
class QPushButton;
class TIntegerComboBox;
class TPointerComboBox;
class TPointerListBox;
class TframeSelectionSearch;

// The media tab: a newspaper's, broadcaster's or website's two translatable names, its type and how often it
// appears, the area it covers (its scope and, in the one control the scope calls for, the club, city, region,
// nation, continent or competition), and on the clubs page the clubs it follows. Media can be added.
class TframeMedia final : public TPyxFrame<TPyxMedia> {
    Q_OBJECT
public:
    TframeMedia(TPyxNavigator& Navigator, QWidget* Parent);

    bool CanAdd() const override { return true; }
    // A new media with its constructor's defaults and empty texts in every loaded language, listed and focused.
    void AddEntity() override;

    // The most clubs a media's record can list: their count is stored in one byte.
    static constexpr int MaxClubs = 255;

    QLineEdit* edLongName;
    QLineEdit* edShortName;
    TIntegerComboBox* cmbType;
    TIntegerComboBox* cmbPeriod;
    TIntegerComboBox* cmbScope;
    QLabel* lblArea;
    TframeSelectionSearch* ssClub;
    TframeSelectionSearch* ssCity;
    TPointerComboBox* cmbRegion;
    TframeSelectionSearch* ssNation;
    TPointerComboBox* cmbContinent;
    TframeSelectionSearch* ssCompetition;
    QAbstractButton* btnAreaLink;
    TPointerListBox* lboxClubs;
    QPushButton* btnAddClub;
    QPushButton* btnDelete;

public slots:
    void btnAddClubClick();
    void btnDeleteClick();

protected:
    TPyxObjects& Collection(TPyxDatabase& Database) const override;
    void Attached(TPyxDatabase& Database) override;
    void PrepareLoad(TPyxObject& Entity) override;
    void LoadEntity(TPyxObject& Entity) override;
    void SaveEntity(TPyxObject& Entity) override;
    void ClearEntity() override;

private:
    void BuildGeneralPage();
    void BuildClubsPage();
    // The user picked a scope: a new scope starts with an empty target.
    void cmbScopeChange();
    // Shows the one area control the chosen scope calls for (none for worldwide), with the link button unless the
    // target is a region.
    void UpdateAreaControls();
    // Empties every area control.
    void ClearAreaControls();
    // The target the area controls give for Scope; false for a scope outside the list, which keeps the target.
    bool AreaTarget(int32_t Scope, TPyxObject*& Target) const;
    // The entity of the area control shown, for the link button.
    TPyxObject* ShownAreaEntity() const;
    void lboxClubsDblClick();

    // The scope the combo showed before the user's last pick.
    int32_t ShownScope_ = -1;
};
