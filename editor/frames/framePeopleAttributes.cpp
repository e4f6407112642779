// The people frame's attribute tabs: "&Mental", "&Ability", "&Technical", "Mental && &Physical", "&Non Player",
// "&Coaching", "&Referee" and the "&Career Stats" page of "&History". The long pages are built from tables, one row
// per attribute with its record field; loading and writing go through the same rows.

#include "framePeopleUnit.h"

#include "PyxCity.h"
#include "PyxCompetition.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

using TPart = TframePeople::TPart;

// A page of labelled controls in columns: rows and headings fill a column top-down and go on in the next one
// after MaxRows, so that the long pages fit the editor without scrolling.
class TColumnsPage final : public QWidget {
public:
    TColumnsPage(const QString& ObjectName, int MaxRows) : MaxRows_(MaxRows) {
        setObjectName(ObjectName);
        Columns_ = new QHBoxLayout(this);
        Columns_->setSpacing(24);
        // The columns stand centred on the page.
        Columns_->addStretch(1);
        Columns_->addStretch(1);
        NewColumn();
    }
    QLabel* AddHeading(const QString& Text, const QString& Name) {
        if (Row_ + 2 > MaxRows_)
            NewColumn();
        auto* Label = new QLabel(Text, this);
        Label->setObjectName(Name);
        QFont Bold = Label->font();
        Bold.setBold(true);
        Label->setFont(Bold);
        Grid_->addWidget(Label, Row_++, 0, 1, 3);
        return Label;
    }
    QLabel* AddRow(const QString& Caption, QWidget* Control, QWidget* Button = nullptr) {
        if (Row_ >= MaxRows_)
            NewColumn();
        auto* Label = new QLabel(Caption, this);
        Label->setObjectName("lbl" + Control->objectName().mid(Control->objectName().startsWith("se") ? 2 : 0));
        Label->setBuddy(Control);
        Control->setParent(this);
        Grid_->addWidget(Label, Row_, 0);
        Grid_->addWidget(Control, Row_, 1);
        if (Button != nullptr) {
            Button->setParent(this);
            Grid_->addWidget(Button, Row_, 2);
        }
        ++Row_;
        return Label;
    }

private:
    void NewColumn() {
        auto* Column = new QWidget(this);
        Grid_ = new QGridLayout(Column);
        Grid_->setContentsMargins(0, 0, 0, 0);
        Grid_->setVerticalSpacing(4);
        Grid_->setRowStretch(MaxRows_ + 1, 1);
        Columns_->insertWidget(Columns_->count() - 1, Column, 0, Qt::AlignTop);
        Row_ = 0;
    }

    int MaxRows_;
    int Row_ = 0;
    QHBoxLayout* Columns_;
    QGridLayout* Grid_ = nullptr;
};

// The record of a part, nil when the person lacks it.
TPyxPersonDataFields* PersonDataOf(const TPyxPerson& P) {
    return P.PersonData.get();
}
TPyxPlayingDataFields* PlayingDataOf(const TPyxPerson& P) {
    return P.Player ? P.Player->PlayingData.get() : nullptr;
}
TPyxPlayer* PlayerOf(const TPyxPerson& P) {
    return P.Player.get();
}
TPyxNonPlayingDataFields* NonPlayingDataOf(const TPyxPerson& P) {
    return P.NonPlayer ? P.NonPlayer->NonPlayingData.get() : nullptr;
}
TPyxNonPlayer* NonPlayerOf(const TPyxPerson& P) {
    return P.NonPlayer.get();
}
TPyxOfficial* OfficialOf(const TPyxPerson& P) {
    return P.Official.get();
}

template <class TRecord, class TField> struct TRow {
    const char* Caption;
    const char* Name;
    TField TRecord::*Field;
};

// Spin edits limited to Min..Max on Fields of the record Of gives, in a row each.
template <class TRecord, class TField, std::size_t N>
void AddSpins(TframePeople& Frame, TColumnsPage& Page, TPart Part, TRecord* (*Of)(const TPyxPerson&), int32_t Min,
              int32_t Max, const TRow<TRecord, TField> (&Rows)[N]) {
    for (const auto& Row : Rows) {
        TSpinEdit* Spin = PyxControls::SpinEdit(&Page, Row.Name, Min, Max);
        Page.AddRow(Row.Caption, Spin);
        const auto Field = Row.Field;
        Frame.AddAttribute({Spin, Part,
                            [Of, Field](const TPyxPerson& P) -> std::optional<int32_t> {
                                if (const TRecord* R = Of(P))
                                    return static_cast<int32_t>(R->*Field);
                                return std::nullopt;
                            },
                            [Of, Field](TPyxPerson& P, int32_t Value) {
                                if (TRecord* R = Of(P))
                                    R->*Field = static_cast<TField>(Value);
                            }});
    }
}

using TPD = TPyxPersonDataFields;
using TPL = TPyxPlayingDataFields;
using TNP = TPyxNonPlayingDataFields;

} // namespace

void TframePeople::BuildAttributePages() {
    auto* Mental = new TColumnsPage("tsMental", 12);
    tsMental = Mental;
    Pages()->addTab(Mental, "&Mental");
    Mental->AddHeading("Mental:", "lblMental");
    const TRow<TPD, uint8_t> MentalRows[] = {
        {"Adaptability:", "seAdaptability", &TPD::Adaptability},
        {"Ambition:", "seAmbition", &TPD::Ambition},
        {"Loyality:", "seLoyality", &TPD::Loyality},
        {"Pressure:", "sePressure", &TPD::Pressure},
        {"Professionalism:", "seProfessionalism", &TPD::Professionalism},
        {"Sportsmanship:", "seSportsmanship", &TPD::Sportsmanship},
        {"Temperament:", "seTemperament", &TPD::Temperament},
        {"Controversy:", "seControversy", &TPD::Controversy},
    };
    AddSpins(*this, *Mental, TPart::PersonData, &PersonDataOf, 0, 20, MentalRows);

    auto* Ability = new TColumnsPage("tsAbility", 12);
    tsAbility = Ability;
    Pages()->addTab(Ability, "&Ability");
    Ability->AddHeading("Playing Ability:", "lblPlayingAbility");
    const TRow<TPyxPlayer, int16_t> AbilityRows[] = {
        {"Current Ability:", "seCurrentAbility", &TPyxPlayer::CurrentAbility},
        {"Potential Ability:", "sePotentialAbility", &TPyxPlayer::PotentialAbility},
        {"Home Reputation:", "seHomeReputation", &TPyxPlayer::HomeReputation},
        {"Current Reputation:", "seCurrentReputation", &TPyxPlayer::CurrentReputation},
        {"World Reputation:", "seWorldReputation", &TPyxPlayer::WorldReputation},
    };
    AddSpins(*this, *Ability, TPart::Player, &PlayerOf, -2, 200, AbilityRows);
    const TRow<TPyxPlayer, int32_t> ValueRows[] = {
        {"Estimated Value:", "seEstimatedValue", &TPyxPlayer::EstimatedValue}};
    AddSpins(*this, *Ability, TPart::Player, &PlayerOf, 0, 1000000000, ValueRows);
    Ability->AddHeading("Sides:", "lblSides");
    const TRow<TPL, uint8_t> SideRows[] = {
        {"Right Side:", "seRightSide", &TPL::RightSide},
        {"Left Side:", "seLeftSide", &TPL::LeftSide},
        {"Central:", "seCentral", &TPL::Central},
    };
    AddSpins(*this, *Ability, TPart::Player, &PlayingDataOf, 0, 20, SideRows);
    Ability->AddHeading("Positions:", "lblPositions");
    const TRow<TPL, uint8_t> PositionRows[] = {
        {"Goalkeeper:", "seGoalkeeper", &TPL::Goalkeeper},
        {"Sweeper:", "seSweeper", &TPL::Sweeper},
        {"Defender:", "seDefender", &TPL::Defender},
        {"Defensive Midfielder:", "seDefensiveMidfielder", &TPL::DefensiveMidfielder},
        {"Midfielder:", "seMidfielder", &TPL::Midfielder},
        {"Attacking Midfielder:", "seAttackingMidfielder", &TPL::AttackingMidfielder},
        {"Attacker:", "seAttacker", &TPL::Attacker},
        {"Wing Back:", "seWingBack", &TPL::WingBack},
        {"Free Role:", "seFreeRole", &TPL::FreeRole},
    };
    AddSpins(*this, *Ability, TPart::Player, &PlayingDataOf, 0, 20, PositionRows);

    auto* Technical = new TColumnsPage("tsTechnical", 16);
    tsTechnical = Technical;
    Pages()->addTab(Technical, "&Technical");
    Technical->AddHeading("Technical:", "lblTechnical");
    const TRow<TPL, uint8_t> TechnicalRows[] = {
        {"Crossing:", "seCrossing", &TPL::Crossing},        {"Dribbling:", "seDribbling", &TPL::Dribbling},
        {"Finishing:", "seFinishing", &TPL::Finishing},     {"Heading:", "seHeading", &TPL::Heading},
        {"Long Shots:", "seLongShots", &TPL::LongShots},    {"Marking:", "seMarking", &TPL::Marking},
        {"Passing:", "sePassing", &TPL::Passing},           {"Penalty Taking:", "sePenalties", &TPL::Penalties},
        {"Tackling:", "seTackling", &TPL::Tackling},        {"Throw Ins:", "seThrowIns", &TPL::ThrowIns},
        {"First Touch:", "seFirstTouch", &TPL::FirstTouch}, {"Technique:", "seTechnique", &TPL::Technique},
        {"Corners:", "seCorners", &TPL::Corners},           {"Long Throws:", "seLongThrows", &TPL::LongThrows},
        {"Set Pieces:", "seSetPieces", &TPL::SetPieces},
    };
    AddSpins(*this, *Technical, TPart::Player, &PlayingDataOf, 0, 20, TechnicalRows);
    Technical->AddHeading("Goalkeeping:", "lblGoalkeeping");
    const TRow<TPL, uint8_t> GoalkeepingRows[] = {
        {"Handling:", "seHandling", &TPL::Handling},
        {"Aerial Ability:", "seAerialAbility", &TPL::AerialAbility},
        {"Command Of Area:", "seCommandOfArea", &TPL::CommandOfArea},
        {"Communication:", "seCommunication", &TPL::Communication},
        {"Kicking:", "seKicking", &TPL::Kicking},
        {"Throwing:", "seThrowing", &TPL::Throwing},
        {"One On Ones:", "seOneOnOnes", &TPL::OneOnOnes},
        {"Reflexes:", "seReflexes", &TPL::Reflexes},
        {"Eccentricity:", "seEccentricity", &TPL::Eccentricity},
        {"Rushing Out:", "seRushingOut", &TPL::RushingOut},
        {"Tendency To Punch:", "seTendencyToPunch", &TPL::TendencyToPunch},
    };
    AddSpins(*this, *Technical, TPart::Player, &PlayingDataOf, 0, 20, GoalkeepingRows);

    auto* MentalPhysical = new TColumnsPage("tsMentalPhysical", 17);
    tsMentalPhysical = MentalPhysical;
    Pages()->addTab(MentalPhysical, "Mental && &Physical");
    MentalPhysical->AddHeading("Mental:", "lblPlayerMental");
    const TRow<TPL, uint8_t> PlayerMentalRows[] = {
        {"Off The Ball:", "seOffTheBall", &TPL::OffTheBall},
        {"Creativity:", "seCreativity", &TPL::Creativity},
        {"Anticipation:", "seAnticipation", &TPL::Anticipation},
        {"Decisions:", "seDecisions", &TPL::Decisions},
        {"Positioning:", "sePositioning", &TPL::Positioning},
        {"Flair:", "seFlair", &TPL::Flair},
        {"Teamwork:", "seTeamwork", &TPL::Teamwork},
        {"Work Rate:", "seWorkRate", &TPL::WorkRate},
        {"Influence:", "seInfluence", &TPL::Influence},
        {"Dirtiness:", "seDirtiness", &TPL::Dirtiness},
        {"Bravery:", "seBravery", &TPL::Bravery},
        {"Consistency:", "seConsistency", &TPL::Consistency},
        {"Aggression:", "seAggression", &TPL::Aggression},
        {"Important Matches:", "seImportantMatches", &TPL::ImportantMatches},
        {"Versatility:", "seVersatility", &TPL::Versatility},
        {"Determination:", "seDetermination", &TPL::Determination},
    };
    AddSpins(*this, *MentalPhysical, TPart::Player, &PlayingDataOf, 0, 20, PlayerMentalRows);
    MentalPhysical->AddHeading("Physical:", "lblPhysical");
    const TRow<TPyxPlayer, int16_t> BodyRows[] = {
        {"Height (Inches):", "seHeight", &TPyxPlayer::Height},
        {"Weight (Kilos):", "seWeight", &TPyxPlayer::Weight},
    };
    AddSpins(*this, *MentalPhysical, TPart::Player, &PlayerOf, 0, 300, BodyRows);
    const TRow<TPL, uint8_t> PhysicalRows[] = {
        {"Left Foot:", "seLeftFoot", &TPL::LeftFoot},
        {"Right Foot:", "seRightFoot", &TPL::RightFoot},
        {"Acceleration:", "seAcceleration", &TPL::Acceleration},
        {"Strength:", "seStrength", &TPL::Strength},
        {"Stamina:", "seStamina", &TPL::Stamina},
        {"Pace:", "sePace", &TPL::Pace},
        {"Jumping:", "seJumping", &TPL::Jumping},
        {"Balance:", "seBalance", &TPL::Balance},
        {"Agility:", "seAgility", &TPL::Agility},
        {"Injury Proneness:", "seInjuryProneness", &TPL::InjuryProneness},
        {"Natural Fitness:", "seNaturalFitness", &TPL::NaturalFitness},
    };
    AddSpins(*this, *MentalPhysical, TPart::Player, &PlayingDataOf, 0, 20, PhysicalRows);

    auto* NonPlayer = new TColumnsPage("tsNonPlayer", 11);
    tsNonPlayer = NonPlayer;
    Pages()->addTab(NonPlayer, "&Non Player");
    NonPlayer->AddHeading("Non Player Ability:", "lblNonPlayerAbility");
    const TRow<TPyxNonPlayer, int16_t> StaffAbilityRows[] = {
        {"Current Ability:", "seNonPlayerCurrentAbility", &TPyxNonPlayer::CurrentAbility},
        {"Potential Ability:", "seNonPlayerPotentialAbility", &TPyxNonPlayer::PotentialAbility},
        {"Home Reputation:", "seNonPlayerHomeReputation", &TPyxNonPlayer::HomeReputation},
        {"Current Reputation:", "seNonPlayerCurrentReputation", &TPyxNonPlayer::CurrentReputation},
        {"World Reputation:", "seNonPlayerWorldReputation", &TPyxNonPlayer::WorldReputation},
    };
    AddSpins(*this, *NonPlayer, TPart::Staff, &NonPlayerOf, -2, 200, StaffAbilityRows);
    NonPlayer->AddHeading("Chairman:", "lblChairman");
    const TRow<TNP, uint8_t> ChairmanRows[] = {
        {"Business:", "seBusiness", &TNP::Business},
        {"Interference:", "seInterference", &TNP::Interference},
        {"Patience:", "sePatience", &TNP::Patience},
        {"Resources:", "seResources", &TNP::Resources},
    };
    AddSpins(*this, *NonPlayer, TPart::Staff, &NonPlayingDataOf, 0, 20, ChairmanRows);
    NonPlayer->AddHeading("Mental:", "lblNonPlayerMental");
    const TRow<TNP, uint8_t> StaffMentalRows[] = {
        {"Level Of Discipline:", "seLevelOfDiscipline", &TNP::LevelOfDiscipline},
        {"Determination:", "seNonPlayerDetermination", &TNP::Determination},
        {"Buying Players:", "seBuyingPlayers", &TNP::BuyingPlayers},
        {"Mind Games:", "seMindGames", &TNP::MindGames},
        {"Selling Players:", "seSellingPlayers", &TNP::SellingPlayers},
        {"Judging Player Ability:", "seJudgingPlayerAbility", &TNP::JudgingPlayerAbility},
        {"Judging Player Potential:", "seJudgingPlayerPotential", &TNP::JudgingPlayerPotential},
        {"Motivating:", "seMotivating", &TNP::Motivating},
    };
    AddSpins(*this, *NonPlayer, TPart::Staff, &NonPlayingDataOf, 0, 20, StaffMentalRows);

    auto* Coaching = new TColumnsPage("tsCoaching", 10);
    tsCoaching = Coaching;
    Pages()->addTab(Coaching, "&Coaching");
    Coaching->AddHeading("Coaching:", "lblCoaching");
    const TRow<TNP, uint8_t> CoachingRows[] = {
        {"Attacking:", "seAttacking", &TNP::Attacking},
        {"Coaching Technique:", "seCoachingTechnique", &TNP::CoachingTechnique},
        {"Directness:", "seDirectness", &TNP::Directness},
        {"Free Roles:", "seFreeRoles", &TNP::FreeRoles},
        {"Marking:", "seNonPlayerMarking", &TNP::Marking},
        {"Offside:", "seOffside", &TNP::Offside},
        {"Pressing:", "sePressing", &TNP::Pressing},
        {"Working With Youngsters:", "seWorkingWithYoungsters", &TNP::WorkingWithYoungsters},
        {"Sitting Back:", "seSittingBack", &TNP::SittingBack},
        {"Use Of Play Maker:", "seUseOfPlayMaker", &TNP::UseOfPlayMaker},
        {"Use Of Subs:", "seUseOfSubs", &TNP::UseOfSubs},
        {"Coaching Outfield Players:", "seCoachingOutfieldPlayers", &TNP::CoachingOutfieldPlayers},
        {"Coaching Goalkeepers:", "seCoachingGoalkeepers", &TNP::CoachingGoalkeepers},
        {"Man Management:", "seManManagement", &TNP::ManManagement},
        {"Physiotherapy:", "sePhysiotherapy", &TNP::Physiotherapy},
        {"Tactical Knowledge:", "seTacticalKnowledge", &TNP::TacticalKnowledge},
    };
    AddSpins(*this, *Coaching, TPart::Staff, &NonPlayingDataOf, 0, 20, CoachingRows);
    cmbPreferredFormation = Tracked(PyxControls::FormationCombo(Coaching, "cmbPreferredFormation"));
    Coaching->AddRow("Preferred Formation:", cmbPreferredFormation);

    auto* Referee = new TColumnsPage("tsReferee", 12);
    tsReferee = Referee;
    Pages()->addTab(Referee, "&Referee");
    Referee->AddHeading("Ability:", "lblRefereeAbility");
    const TRow<TPyxOfficial, int16_t> RefereeAbilityRows[] = {
        {"Current Ability:", "seRefereeCurrentAbility", &TPyxOfficial::CurrentAbility},
        {"Potential Ability:", "seRefereePotentialAbility", &TPyxOfficial::PotentialAbility},
        {"Reputation:", "seReputation", &TPyxOfficial::Reputation},
    };
    AddSpins(*this, *Referee, TPart::Official, &OfficialOf, 0, 200, RefereeAbilityRows);
    Referee->AddHeading("Attributes:", "lblRefereeAttributes");
    const TRow<TPyxOfficial, uint8_t> RefereeRows[] = {
        {"Allowing Flow:", "seAllowingFlow", &TPyxOfficial::AllowingFlow},
        {"Discipline:", "seDiscipline", &TPyxOfficial::Discipline},
        {"Important Matches:", "seRefereeImportantMatches", &TPyxOfficial::ImportantMatches},
        {"Pressure:", "seRefereePressure", &TPyxOfficial::Pressure},
        {"Refereeing:", "seRefereeing", &TPyxOfficial::Refereeing},
        {"Running Line:", "seRunningLine", &TPyxOfficial::RunningLine},
        {"Timekeeping:", "seTimekeeping", &TPyxOfficial::Timekeeping},
    };
    AddSpins(*this, *Referee, TPart::Official, &OfficialOf, 0, 20, RefereeRows);
    cbFIFAOfficial = Tracked(PyxControls::CheckBox(Referee, "cbFIFAOfficial"));
    Referee->AddRow("FIFA Official:", cbFIFAOfficial);
    cbContinentalOfficial = Tracked(PyxControls::CheckBox(Referee, "cbContinentalOfficial"));
    Referee->AddRow("Continental Official:", cbContinentalOfficial);
    cbAssistantRefereeOnly = Tracked(PyxControls::CheckBox(Referee, "cbAssistantRefereeOnly"));
    Referee->AddRow("Assistant Referee Only:", cbAssistantRefereeOnly);
    Referee->AddHeading("Base:", "lblRefereeBase");
    ssRefereeCity = Tracked(
        PyxControls::Selector(Referee, "ssRefereeCity", "Find City for Referee", "City is Unknown", "<unknown>"));
    ssRefereeCity->setMinimumWidth(220);
    Referee->AddRow("City:", ssRefereeCity,
                    MakeLinkButton("btnRefereeCityLink", [this] { return ssRefereeCity->Selected(); }));
    ssRefereeDivision = Tracked(PyxControls::Selector(Referee, "ssRefereeDivision", "Find Division for Referee",
                                                      "Division is Unknown", "<unknown>"));
    ssRefereeDivision->setMinimumWidth(220);
    Referee->AddRow("Division:", ssRefereeDivision,
                    MakeLinkButton("btnRefereeDivisionLink", [this] { return ssRefereeDivision->Selected(); }));

    // "&History" holds the playing history (added with the sub-frames) and the career statistics.
    pcHistory = new QTabWidget;
    pcHistory->setObjectName("pcHistory");
    auto* Career = new TColumnsPage("tsCareerStats", 10);
    tsCareerStats = Career;
    pcHistory->addTab(Career, "&Career Stats");
    cbCareerStats = Tracked(PyxControls::CheckBox(Career, "cbCareerStats"));
    Career->AddRow("Career Stats:", cbCareerStats);
    using TCS = TPyxCareerStats;
    const TRow<TCS, int16_t> CareerRows[] = {
        {"Club League Goals:", "seClubLeagueGoals", &TCS::ClubLeagueGoals},
        {"Club Goals:", "seClubGoals", &TCS::ClubGoals},
        {"Club Appearances:", "seClubAppearances", &TCS::ClubAppearances},
        {"League Goals:", "seLeagueGoals", &TCS::LeagueGoals},
        {"Goals:", "seCareerStatsGoals", &TCS::Goals},
        {"Appearances:", "seAppearances", &TCS::Appearances},
        {"Club League Appearances:", "seClubLeagueAppearances", &TCS::ClubLeagueAppearances},
        {"League Apperances:", "seLeagueAppearances", &TCS::LeagueAppearances},
    };
    // The career statistics are a record of their own, written as a whole (below), not through the attributes.
    for (const auto& Row : CareerRows) {
        TSpinEdit* Spin = Tracked(PyxControls::SpinEdit(Career, Row.Name, 0, 5000));
        Career->AddRow(Row.Caption, Spin);
        CareerSpins_.push_back(Spin);
    }
    connect(cbCareerStats, &QCheckBox::toggled, this, &TframePeople::cbCareerStatsClick);
    cbCareerStatsClick();

    for (const TAttribute& A : Attributes_)
        Tracked(static_cast<TSpinEdit*>(A.Control));
}

TSpinEdit* TframePeople::Attribute(const QString& Name) const {
    for (const TAttribute& A : Attributes_)
        if (A.Control->objectName() == Name)
            return static_cast<TSpinEdit*>(A.Control);
    for (TSpinEdit* Spin : CareerSpins_)
        if (Spin->objectName() == Name)
            return Spin;
    return nullptr;
}

void TframePeople::cbCareerStatsClick() {
    for (TSpinEdit* Spin : CareerSpins_) {
        Spin->setEnabled(cbCareerStats->isChecked());
        for (QLabel* Label : tsCareerStats->findChildren<QLabel*>())
            if (Label->buddy() == Spin)
                Label->setEnabled(cbCareerStats->isChecked());
    }
}

bool TframePeople::HasPart(const TPyxPerson& P, TPart Part) {
    switch (Part) {
    case TPart::PersonData:
        return P.PersonData != nullptr;
    case TPart::Player:
        return P.Player != nullptr;
    case TPart::Staff:
        return P.NonPlayer != nullptr;
    case TPart::Official:
        return P.Official != nullptr;
    }
    return false;
}

bool TframePeople::PartNew(const TPyxPerson& P, TPart Part) const {
    switch (Part) {
    case TPart::PersonData:
        return P.PersonData && !HadPersonData_;
    case TPart::Player:
        return P.Player && !HadPlayer_;
    case TPart::Staff:
        return P.NonPlayer && !HadStaff_;
    case TPart::Official:
        return P.Official && !HadOfficial_;
    }
    return false;
}

TframePeople::TPart TframePeople::PartOf(const QWidget* Page) const {
    if (Page == tsMental)
        return TPart::PersonData;
    if (Page == tsNonPlayer || Page == tsCoaching)
        return TPart::Staff;
    if (Page == tsReferee)
        return TPart::Official;
    return TPart::Player;
}

void TframePeople::LoadAttributes(const TPyxPerson& P, const QWidget* Page) {
    const auto On = [Page](const QWidget* Control) { return Page == nullptr || Page->isAncestorOf(Control); };
    for (const TAttribute& A : Attributes_)
        if (On(A.Control))
            if (const std::optional<int32_t> Value = A.Get(P))
                static_cast<TSpinEdit*>(A.Control)->SetValue(*Value);
    if (const TPyxPlayer* Player = P.Player.get(); Player != nullptr && On(cbCareerStats)) {
        cbCareerStats->setChecked(Player->CareerStats != nullptr);
        cbCareerStatsClick();
        if (const TPyxCareerStats* S = Player->CareerStats.get()) {
            const int16_t Values[] = {
                S->ClubLeagueGoals, S->ClubGoals,   S->ClubAppearances,       S->LeagueGoals,
                S->Goals,           S->Appearances, S->ClubLeagueAppearances, S->LeagueAppearances};
            for (std::size_t I = 0; I < CareerSpins_.size(); ++I)
                CareerSpins_[I]->SetValue(Values[I]);
        }
    }
    if (const TPyxNonPlayer* Staff = P.NonPlayer.get(); Staff != nullptr && On(cmbPreferredFormation))
        cmbPreferredFormation->SetSelected(Staff->PreferredFormation);
    if (const TPyxOfficial* Official = P.Official.get(); Official != nullptr && On(ssRefereeCity)) {
        ssRefereeCity->SetSelected(Official->City);
        ssRefereeDivision->SetSelected(Official->Division);
        cbFIFAOfficial->setChecked(Official->FIFAOfficial != 0);
        cbContinentalOfficial->setChecked(Official->ContinentalOfficial != 0);
        cbAssistantRefereeOnly->setChecked(Official->AssistantRefereeOnly != 0);
    }
}

void TframePeople::SaveAttributes(TPyxPerson& P) {
    for (const TAttribute& A : Attributes_)
        if (HasPart(P, A.Part) && (PartNew(P, A.Part) || Changed(A.Control)))
            A.Set(P, static_cast<TSpinEdit*>(A.Control)->Value());
    if (TPyxPlayer* Player = P.Player.get()) {
        bool Edited = PartNew(P, TPart::Player) || Changed(cbCareerStats);
        for (TSpinEdit* Spin : CareerSpins_)
            Edited = Edited || Changed(Spin);
        if (Edited && !cbCareerStats->isChecked()) {
            Player->SetCareerStats(nullptr);
        } else if (Edited) {
            // Updated in place when the player has statistics: only the values shown change.
            if (!Player->CareerStats)
                Player->SetCareerStats(std::make_unique<TPyxCareerStats>());
            TPyxCareerStats& S = *Player->CareerStats;
            int16_t* Fields[] = {&S.ClubLeagueGoals, &S.ClubGoals,   &S.ClubAppearances,       &S.LeagueGoals,
                                 &S.Goals,           &S.Appearances, &S.ClubLeagueAppearances, &S.LeagueAppearances};
            for (std::size_t I = 0; I < CareerSpins_.size(); ++I)
                *Fields[I] = static_cast<int16_t>(CareerSpins_[I]->Value());
        }
    }
    if (TPyxNonPlayer* Staff = P.NonPlayer.get())
        if (PartNew(P, TPart::Staff) || Changed(cmbPreferredFormation)) {
            const int Code = cmbPreferredFormation->GetSelected();
            Staff->SetPreferredFormation(static_cast<uint8_t>(Code < 0 ? 0 : Code));
        }
    if (TPyxOfficial* Official = P.Official.get()) {
        const bool New = PartNew(P, TPart::Official);
        if (New || Changed(ssRefereeCity))
            Official->City = static_cast<TPyxCity*>(ssRefereeCity->Selected());
        if (New || Changed(ssRefereeDivision))
            Official->Division = static_cast<TPyxCompetition*>(ssRefereeDivision->Selected());
        if (New || Changed(cbFIFAOfficial))
            Official->FIFAOfficial = cbFIFAOfficial->isChecked() ? 1 : 0;
        if (New || Changed(cbContinentalOfficial))
            Official->ContinentalOfficial = cbContinentalOfficial->isChecked() ? 1 : 0;
        if (New || Changed(cbAssistantRefereeOnly))
            Official->AssistantRefereeOnly = cbAssistantRefereeOnly->isChecked() ? 1 : 0;
    }
}

void TframePeople::ResetAttributes(QWidget* Page) {
    for (const TAttribute& A : Attributes_)
        if (Page->isAncestorOf(A.Control))
            static_cast<TSpinEdit*>(A.Control)->SetValue(0);
    if (Page == tsCoaching)
        cmbPreferredFormation->SetSelected(0);
    if (Page == tsReferee) {
        ssRefereeCity->SetSelected(nullptr);
        ssRefereeDivision->SetSelected(nullptr);
        for (QCheckBox* Box : {cbFIFAOfficial, cbContinentalOfficial, cbAssistantRefereeOnly})
            Box->setChecked(false);
    }
}
