#pragma once

#include "PyxFrame.h"
#include "PyxPerson.h"

#include <functional>
#include <optional>
#include <vector>

class QAction;
class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QTabWidget;
class TIntegerComboBox;
class TPointerComboBox;
class TPyxClub;
class TPyxTeam;
class TSpinEdit;
class TframePeoplePreferences;
class TframePersonLanguages;
class TframePlayingHistory;
class TframeSelectionSearch;

// The people tab: players, staff and officials, one at a time over twelve tabs. The person type decides which
// tabs and controls are shown; the "&General" and "&Contract" tabs edit names, birth, nationality, caps, the club
// and national posts with their contracts, a player's loan, future transfer and starting injury and a manager's
// starting confidence; the attribute tabs edit the person's records; the sub-frames its preferences, playing
// history and languages.
//
// A Confirm writes back only what the user changed since the person was loaded (the frame's watched controls), in
// one order:
// names, birth, type (which creates or frees the parts), nation, the club post and its job as one change, the
// national post likewise, the attached records (updated in place when they exist, so their unshown bytes and keys
// stay), the attributes and the sub-frames. A part the type change created takes every value its tabs show.
// Persons can be added (the Add menu and "Add Person") and deleted ("Delete Person"). A club, squad or person deleted
// on another tab leaves the controls and sub-lists that refer to it, as the data model leaves the person: a post
// whose club or squad went is left, and the controls that follow it follow; the rest the user typed stays.
class TframePeople final : public TPyxFrame<TPyxPerson> {
    Q_OBJECT
public:
    TframePeople(TPyxNavigator& Navigator, QWidget* Parent);

    bool CanAdd() const override { return true; }
    // A new player (the data model's defaults), listed after the rows shown and focused.
    void AddEntity() override;
    // Deletes the focused row's person (unlinked everywhere); nothing without a focused row.
    void DeletePerson();

    // The type the person-type combo shows (1..4), -1 for none.
    int SelectedType() const;
    // Whether a tab of pcStaff, pcContract or pcHistory is shown.
    bool TabShown(const QWidget* Page) const;
    // An attribute spin edit by its object name ("seCrossing").
    TSpinEdit* Attribute(const QString& Name) const;

    QTabWidget* pcContract;
    QTabWidget* pcHistory;
    QWidget* tsGeneral;
    QWidget* tsContract;
    QWidget* tsMental;
    QWidget* tsAbility;
    QWidget* tsTechnical;
    QWidget* tsMentalPhysical;
    QWidget* tsNonPlayer;
    QWidget* tsCoaching;
    QWidget* tsReferee;
    QWidget* tsPreferences;
    QWidget* tsHistory;
    QWidget* tsLanguages;
    QWidget* tsCurrentContract;
    QWidget* tsLoanContract;
    QWidget* tsFutureTransfer;
    QWidget* tsStartingInjury;
    QWidget* tsStartingConfidence;
    QWidget* tsPlayingHistory;
    QWidget* tsCareerStats;

    // "&General"
    QLineEdit* edFirstName;
    QLineEdit* edSecondName;
    QLineEdit* edCommonName;
    QDateEdit* dtpDateOfBirth;
    TframeSelectionSearch* ssCityOfBirth;
    TIntegerComboBox* cmbPersonType;
    QLineEdit* edPictureID;
    TframeSelectionSearch* ssNation;
    TframeSelectionSearch* ssSecondNation;
    QCheckBox* cbDeclaredForNation;
    QCheckBox* cbInternationalRetirement;
    TSpinEdit* seApps;
    TSpinEdit* seGoals;
    TSpinEdit* seU21Apps;
    TSpinEdit* seU21Goals;

    // "&Current"
    TframeSelectionSearch* ssClubContracted;
    TPointerComboBox* cmbSquadContracted;
    TIntegerComboBox* cmbJob;
    QDateEdit* dtpDateJoined;
    QDateEdit* dtpContractStart;
    QDateEdit* dtpContractExpires;
    TSpinEdit* seEstimatedWage;
    TSpinEdit* seSquadNumber;
    TframeSelectionSearch* ssCoOwnedBy;
    TframeSelectionSearch* ssNationContracted;
    TIntegerComboBox* cmbNationJob;
    QDateEdit* dtpDateJoinedNation;
    QDateEdit* dtpContractStartNation;
    QDateEdit* dtpContractExpiresNation;
    // "&Loan", "&Future Transfer", "&Starting Injury", "Starting C&onfidence"
    TframeSelectionSearch* ssLoanClub;
    TPointerComboBox* cmbLoanSquad;
    QDateEdit* dtpLoanStart;
    QDateEdit* dtpLoanEnd;
    TframeSelectionSearch* ssFutureClub;
    QDateEdit* dtpTransferDate;
    TSpinEdit* seTransferFee;
    TSpinEdit* seFutureWage;
    TSpinEdit* seFutureTransferContractYears;
    TPointerComboBox* cmbInjury;
    QDateEdit* dtpInjuryStartDate;
    QDateEdit* dtpInjuryEndDate;
    TSpinEdit* seBoardConfidence;
    TSpinEdit* seFanConfidence;

    // Attribute tabs beyond the spin edits Attribute finds.
    QCheckBox* cbCareerStats;
    TIntegerComboBox* cmbPreferredFormation;
    TframeSelectionSearch* ssRefereeCity;
    TframeSelectionSearch* ssRefereeDivision;
    QCheckBox* cbFIFAOfficial;
    QCheckBox* cbContinentalOfficial;
    QCheckBox* cbAssistantRefereeOnly;

    TframePeoplePreferences* framePeoplePreferences;
    TframePlayingHistory* framePlayingHistory;
    TframePersonLanguages* framePersonLanguages;

    QMenu* popmPeople;
    QAction* mnuiAddPerson;
    QAction* mnuiDeletePerson;

    // Which part of a person an attribute belongs to.
    enum class TPart { PersonData, Player, Staff, Official };
    // One attribute control: its part, how to read the field (none when the person lacks the part) and to write it.
    struct TAttribute {
        QWidget* Control;
        TPart Part;
        std::function<std::optional<int32_t>(const TPyxPerson&)> Get;
        std::function<void(TPyxPerson&, int32_t)> Set;
    };
    // Adds an attribute spin edit to those loaded and written.
    void AddAttribute(TAttribute Attribute) { Attributes_.push_back(std::move(Attribute)); }

public slots:
    void ClubContractedChange();
    void cmbJobChange();
    void NationContractedChange();
    void LoanClubChange();
    void cmbPersonTypeChange();
    void cbCareerStatsClick();
    void UpdateControlStates();

protected:
    TPyxObjects& Collection(TPyxDatabase& Database) const override;
    void Attached(TPyxDatabase& Database) override;
    void LoadEntity(TPyxObject& Entity) override;
    void SaveEntity(TPyxObject& Entity) override;
    void ClearEntity() override;
    void PurgeEntity(const TGoneEntities& Gone) override;
    void RefreshChoices() override;

private:
    void BuildGeneralPage();
    void BuildContractPages();
    void BuildAttributePages();
    void BuildSubFrames();
    // The attribute pages' helpers (framePeopleAttributes.cpp).
    // Every attribute of the parts the person has, or only those on Page.
    void LoadAttributes(const TPyxPerson& Person, const QWidget* Page = nullptr);
    // Steps 3 to 8 of a load: the club and national halves, loan, future transfer, injury and confidence.
    void LoadContract(const TPyxPerson& Person, int Type);
    TPart PartOf(const QWidget* Page) const;
    void SaveAttributes(TPyxPerson& Person);
    void ResetAttributes(QWidget* Page);
    bool PartNew(const TPyxPerson& Person, TPart Part) const;
    static bool HasPart(const TPyxPerson& Person, TPart Part);

    void SaveGeneral(TPyxPerson& Person);
    void SaveClubHalf(TPyxPerson& Person);
    void SaveNationalHalf(TPyxPerson& Person);
    void SaveAttached(TPyxPerson& Person);

    void FillJobs();
    void FillSquadContracted();
    void FillLoanSquads();
    // Refills a squad combo by Fill, keeping the squad it shows when it is still listed; a combo the user had not
    // changed still counts as unchanged.
    void RefillSquads(TPointerComboBox* Combo, void (TframePeople::*Fill)());
    // Whether the page is shown for person type Type, by the rules UpdateControlStates applies.
    bool ShownFor(const QWidget* Page, int Type) const;
    void SetTabShown(QWidget* Page, bool Shown);
    void ResetForType(int Type, int Previous);
    QTabWidget* TabsOf(const QWidget* Page) const;
    bool Histories() const;
    int16_t Version() const;
    // Adds a control to those whose changes a Confirm looks at (the frame shows and writes them itself).
    template <class T> T* Tracked(T* Control) {
        Bindings().Watch(Control);
        return Control;
    }
    bool Changed(const QWidget* Control) const { return Bindings().Changed(Control); }

    std::vector<TAttribute> Attributes_;
    std::vector<TSpinEdit*> CareerSpins_;
    bool Loading_ = false;
    // Whether the club and the nation contract periods were enabled at the last UpdateControlStates.
    bool ClubContractShown_ = false, NationContractShown_ = false;
    int ShownType_ = -1;
    // What the loaded person had, for a Confirm to tell the parts and posts the type change made or removed.
    bool HadPlayer_ = false, HadStaff_ = false, HadOfficial_ = false, HadPersonData_ = false;
    bool HadClubContract_ = false, HadNationContract_ = false;
    TPyxTeam* LoadedClubTeam_ = nullptr;
    TPyxTeam* LoadedNationalTeam_ = nullptr;
    uint8_t LoadedClubJob_ = 0, LoadedNationalJob_ = 0;
};
