// The nations tab over a world whose nations carry what the tab does not show: relationships of other kinds among
// the rivals, a fourth language and a fourth kit, coefficients no three-decimal text gives back, figures beyond the
// edits' limits, and a first team whose stadium and reputation differ from the nation's. Confirmed unedited, the
// world is saved as the data model saves it; then one nation's kits (colour boxes and their cascading check
// boxes), rivals, languages, stadium and reputation are edited, saved, compared with the model's save of the same
// edits and loaded again; links reach their tabs, and a full relationship list refuses another rival.

#include "ColorPicking.h"
#include "EditorHarness.h"
#include "EditorTestMain.h"
#include "FrameDriving.h"
#include "PickEntity.h"

#include "KitPreview.h"
#include "PointerListBox.h"
#include "PyxCustomColorBox.h"
#include "PyxDatabase.h"
#include "PyxListModel.h"
#include "PyxListView.h"
#include "PyxSearch.h"
#include "SpinEdit.h"
#include "SpinFloatEdit.h"
#include "frameKitColorUnit.h"
#include "frameNationUnit.h"
#include "frameSelectionSearchUnit.h"
#include "frmMainUnit.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <cstring>
#include <vector>

namespace {

// A relationship as the file holds it.
struct TLink {
    uint8_t TargetType, Kind, Amount;
    const TPyxObject* Target;
    bool operator==(const TLink&) const = default;
};

std::vector<TLink> LinksOf(const TPyxNation& Nation) {
    std::vector<TLink> Links;
    for (const auto& R : Nation.Relationships)
        Links.push_back({R->TargetType, R->Kind, R->Amount, R->Target});
    return Links;
}

void AddLink(TPyxNation& Nation, uint8_t TargetType, uint8_t Kind, uint8_t Amount, TPyxObject* Target) {
    auto R = std::make_unique<TPyxRelationship>();
    R->TargetType = TargetType;
    R->Kind = Kind;
    R->Amount = Amount;
    R->Target = Target;
    Nation.Relationships.Add(std::move(R));
}

std::vector<TPyxLanguage*> LanguagesOf(const TPyxNation& Nation) {
    return Nation.Languages.Data();
}

uint32_t FloatBits(float Value) {
    uint32_t Bits = 0;
    std::memcpy(&Bits, &Value, sizeof Bits);
    return Bits;
}

// The nation the journey edits: the first with a team, a rival, a capital and a national stadium.
TPyxNation* EditedNation(const TPyxDatabase& Database) {
    TPyxNation* Found = nullptr;
    Database.Nations.ForEach([&](TPyxNation* N) {
        bool Rival = false;
        for (const auto& R : N->Relationships)
            Rival = Rival || R->Kind == TframeNation::RivalKind;
        if (Found == nullptr && N->Teams.Count() > 0 && Rival &&
            N->Relationships.Count() < TframeNation::MaxRelationships && N->CapitalCity != nullptr &&
            N->NationalStadium != nullptr && N->Kits.Count() >= 2)
            Found = N;
    });
    return Found;
}

// The nation whose relationship list is filled to the limit: the last.
TPyxNation* FullNation(const TPyxDatabase& Database) {
    return Database.Nations.Items(Database.Nations.Count() - 1);
}

// What the world carries before the editor sees it (see the file's head).
void Prepare(TPyxDatabase& Model) {
    TPyxNation& Nation = *EditedNation(Model);
    // Other kinds before, among and after the rivals.
    std::vector<std::unique_ptr<TPyxRelationship>> Rivals;
    while (Nation.Relationships.Count() > 0)
        Rivals.push_back(Nation.Relationships.Delete(0));
    AddLink(Nation, TPyxRelationship::ttClub, 3, 40, Model.Clubs.Items(0));
    for (auto& Rival : Rivals) {
        Nation.Relationships.Add(std::move(Rival));
        AddLink(Nation, TPyxRelationship::ttPerson, 1, 55, Model.People.Items(0));
    }
    AddLink(Nation, TPyxRelationship::ttNation, 9, 15, Model.Nations.Items(Model.Nations.Count() - 1));
    AddLink(Nation, TPyxRelationship::ttNone, 10, 100, nullptr);
    Nation.Languages.Clear();
    for (int32_t I = 0; I < 4; ++I)
        Nation.Languages.Add(Model.Languages.Items(I));
    Nation.SetUEFACoefficient(1998, 0.1234567f);
    Nation.SetUEFACoefficient(2003, 33.33333f);
    Nation.Reputation = 1234;
    Nation.GameImportance = 17;
    Nation.FIFARankingPoints = 777;
    TPyxTeam& Team = *Nation.Teams.Items(0);
    Team.Reputation = 77;
    Team.Stadium =
        Model.Stadiums.Items(0) != Nation.NationalStadium ? Model.Stadiums.Items(0) : Model.Stadiums.Items(1);
    // A coach and a physio for the staff page's links, from the staff without a national post.
    for (const uint8_t Job : {wb::Job::Coach, wb::Job::Physio})
        for (int32_t I = 0; I < Model.People.Count(); ++I)
            if (TPyxPerson* Person = Model.People.Items(I);
                Person->PersonType == 1 && Person->NationalTeam == nullptr) {
                Person->SetNationalPost(&Team, Job);
                break;
            }
    while (Nation.Kits.Count() < 4) {
        auto Kit = std::make_unique<TPyxColor>();
        Kit->RawMajor = static_cast<int16_t>(0x8421 + Nation.Kits.Count());
        Kit->RawMinor = 0x1111;
        Kit->RawTrim = 0x2222;
        Nation.Kits.Add(std::move(Kit));
    }

    TPyxNation& Full = *FullNation(Model);
    QVERIFY(&Full != &Nation);
    Full.Relationships.Clear();
    for (int I = 0; I < TframeNation::MaxRelationships - 1; ++I)
        AddLink(Full, TPyxRelationship::ttNone, 10, static_cast<uint8_t>(I), nullptr);
    AddLink(Full, TPyxRelationship::ttNation, TframeNation::RivalKind, 0, &Nation);
}

void ClickCheck(QCheckBox* Box) {
    QTest::mouseClick(Box, Qt::LeftButton, {}, QPoint(8, Box->height() / 2));
}

std::vector<bool> CheckedKits(const TframeKitColor& Kits) {
    return {Kits.cbMainKit->isChecked(), Kits.cbSecondKit->isChecked(), Kits.cbThirdKit->isChecked()};
}

} // namespace

class NationJourneyTest final : public QObject {
    Q_OBJECT
private slots:
    void init();
    void ConfirmedUneditedEveryNationKeepsWhatTheTabDoesNotShow();
    void KitsRivalsLanguagesStadiumAndReputationEditedSurviveSaveAndReload();
    void LinksReachTheirTabsAndAFullRelationshipListRefusesAnotherRival();

private:
    std::unique_ptr<eh::TWorldFolder> World_;
};

void NationJourneyTest::init() {
    eh::TWorldFolder Generated({.PeopleCount = 400, .Version = 147, .LanguageCount = 3});
    World_ = std::make_unique<eh::TWorldFolder>();
    World_->CopyFrom(Generated);
    eh::ModelSave(Generated.Path(), World_->Path(), Prepare);
}

void NationJourneyTest::ConfirmedUneditedEveryNationKeepsWhatTheTabDoesNotShow() {
    eh::TWorldFolder Expected;
    Expected.CopyFrom(*World_);
    eh::ModelSave(World_->Path(), Expected.Path());
    eh::TEditorSession Editor(World_->Path());
    Editor.LoadData();
    TfrmMain& Main = Editor.Main();
    TPyxDatabase& Database = Main.Database();
    auto* Frame = Editor.Frame<TframeNation>(TTab::Nation);
    QVERIFY(Frame != nullptr);
    TPyxNation* Nation = EditedNation(Database);
    const std::vector<TLink> Links = LinksOf(*Nation);
    QCOMPARE(Nation->Languages.Count(), 4);

    // What the tab shows of the prepared nation.
    Main.ShowNation(Nation);
    QCOMPARE(Frame->edNationName->text(), QString::fromStdU16String(Nation->Name));
    QCOMPARE(Frame->edNationalityName->text(), QString::fromStdU16String(Nation->NationalityName));
    QCOMPARE(Frame->ssFirstLanguage->Selected(), Nation->Languages.Items(0));
    QCOMPARE(Frame->ssThirdLanguage->Selected(), Nation->Languages.Items(2));
    QCOMPARE(Frame->seUEFA[0]->text(), QString("0.123"));
    QCOMPARE(Frame->seGameImportance->Value(), 17);
    int Rivals = 0;
    for (const TLink& Link : Links)
        Rivals += Link.Kind == TframeNation::RivalKind ? 1 : 0;
    QCOMPARE(Frame->lboxRivals->count(), Rivals);
    QCOMPARE(CheckedKits(*Frame->frameKitColor), (std::vector<bool>{true, true, true}));

    Frame->btnSearchClick();
    QCOMPARE(Frame->SearchResultText(), QString::number(Database.Nations.Count()) + " Nations Found");
    for (int Row = 0; Row < Frame->Search()->Model().Count(); ++Row) {
        Frame->List()->FocusRow(Row);
        QTest::mouseClick(Frame->ConfirmButton(), Qt::LeftButton);
    }
    QCOMPARE(LinksOf(*Nation), Links);
    QCOMPARE(Nation->Languages.Count(), 4);
    QCOMPARE(FloatBits(Nation->GetUEFACoefficient(1998)), FloatBits(0.1234567f));
    QCOMPARE(Nation->Teams.Items(0)->Reputation, int16_t(77));
    QVERIFY(Nation->Teams.Items(0)->Stadium != Nation->NationalStadium);
    Editor.SaveData();
    QCOMPARE(eh::FolderDifference(Expected.Path(), World_->Path()), QString());

    // With the first language emptied the three shown go (the list ends at its first gap); the fourth, which the
    // tab does not show, is kept and becomes the first.
    TPyxLanguage* Fourth = Nation->Languages.Items(3);
    Main.ShowNation(Nation);
    Editor.Driver().Expect(eh::PickEntity(nullptr));
    Frame->ssFirstLanguage->btnSearch->click();
    Frame->btnConfirmChangesClick();
    QCOMPARE(LanguagesOf(*Nation), std::vector<TPyxLanguage*>{Fourth});
    QCOMPARE(Frame->ssFirstLanguage->Selected(), Fourth);
    QCOMPARE(Frame->ssSecondLanguage->Selected(), nullptr);
    QVERIFY(Editor.Driver().Unexpected().isEmpty());
}

void NationJourneyTest::KitsRivalsLanguagesStadiumAndReputationEditedSurviveSaveAndReload() {
    eh::TWorldFolder Original;
    Original.CopyFrom(*World_);
    eh::TEditorSession Editor(World_->Path());
    Editor.LoadData();
    TfrmMain& Main = Editor.Main();
    QApplication::setActiveWindow(&Main);
    QVERIFY(QTest::qWaitForWindowActive(&Main));
    TPyxDatabase& Database = Main.Database();
    auto* Frame = Editor.Frame<TframeNation>(TTab::Nation);
    TPyxNation* Nation = EditedNation(Database);
    const int32_t NationID = Nation->UniqueID;
    const std::vector<TLink> Links = LinksOf(*Nation);
    Main.ShowNation(Nation);

    // Cancel builds the kits, the rivals and the languages again from the nation, over a kit unchecked, a rival
    // added and one deleted, and the first language emptied; the nation keeps them all.
    const QStringList StoredNation = eh::ShownValues(*Frame);
    ClickCheck(Frame->frameKitColor->cbSecondKit);
    Editor.Driver().Expect(eh::PickEntity(Database.Nations.Items(0)));
    Frame->btnAddRival->click();
    Frame->lboxRivals->setCurrentRow(0);
    Frame->btnDeleteRival->click();
    Editor.Driver().Expect(eh::PickEntity(nullptr));
    Frame->ssFirstLanguage->btnSearch->click();
    QVERIFY(eh::ShownValues(*Frame) != StoredNation);
    Frame->btnCancelChangesClick();
    QCOMPARE(eh::ShownValues(*Frame), StoredNation);
    QCOMPARE(Nation->Kits.Count(), 4);
    QCOMPARE(Nation->Languages.Count(), 4);
    QCOMPARE(LinksOf(*Nation), Links);

    // Kits: unchecking the main kit unchecks them all; checking the third checks all three again, with the
    // colours they showed; the third unchecked alone; then a named colour and a custom one.
    TframeKitColor& Kits = *Frame->frameKitColor;
    Frame->Pages()->setCurrentWidget(eh::Find<QWidget>(Frame, "tsColours"));
    const uint32_t SecondMinor = Kits.Box(1, TframeKitColor::Minor)->Selected();
    ClickCheck(Kits.cbMainKit);
    QCOMPARE(CheckedKits(Kits), (std::vector<bool>{false, false, false}));
    QVERIFY(!Kits.Box(1, TframeKitColor::Major)->isEnabled());
    ClickCheck(Kits.cbThirdKit);
    QCOMPARE(CheckedKits(Kits), (std::vector<bool>{true, true, true}));
    QCOMPARE(Kits.Box(1, TframeKitColor::Minor)->Selected(), SecondMinor);
    ClickCheck(Kits.cbThirdKit);
    QCOMPARE(CheckedKits(Kits), (std::vector<bool>{true, true, false}));
    const uint32_t Gold = TPyxCustomColorBox::NamedColors[eh::NamedColorIndex("Gold") - 1].Color;
    eh::PickColor(*Kits.Box(0, TframeKitColor::Major), eh::NamedColorIndex("Gold"));
    Editor.Driver().Expect(eh::AnswerColorDialog(QColor(86, 52, 18)));
    eh::PickColor(*Kits.Box(1, TframeKitColor::Trim), 0);
    QCOMPARE(Kits.Preview(0)->FillColor(), TPyxCustomColorBox::ToQColor(Gold));
    QCOMPARE(Kits.Preview(1)->PenColor(), QColor(86, 52, 18));

    // Rivals: a nation picked is added; OK without a pick adds nothing; the first stored rival is deleted.
    Frame->Pages()->setCurrentWidget(eh::Find<QWidget>(Frame, "tsRivals"));
    TPyxNation* NewRival = Database.Nations.Items(2) != Nation ? Database.Nations.Items(2) : Database.Nations.Items(3);
    const int RivalsBefore = Frame->lboxRivals->count();
    QString Caption;
    Editor.Driver().Expect(eh::PickEntity(nullptr, &Caption));
    QTest::mouseClick(Frame->btnAddRival, Qt::LeftButton);
    QCOMPARE(Caption, QString("Find Rival"));
    QCOMPARE(Frame->lboxRivals->count(), RivalsBefore);
    Editor.Driver().Expect(eh::PickEntity(NewRival));
    QTest::mouseClick(Frame->btnAddRival, Qt::LeftButton);
    QCOMPARE(Frame->lboxRivals->count(), RivalsBefore + 1);
    QCOMPARE(Frame->lboxRivals->item(RivalsBefore)->text(), TPyxListModel::DisplayName(*NewRival));
    const int32_t DroppedRival = Frame->lboxRivals->GetItem<TPyxRelationship>(0)->Target->UniqueID;
    const QString NewRivalName = TPyxListModel::DisplayName(*NewRival);
    Frame->lboxRivals->setCurrentRow(0);
    QTest::mouseClick(Frame->btnDeleteRival, Qt::LeftButton);
    QCOMPARE(Frame->lboxRivals->count(), RivalsBefore);

    // Languages: the second emptied, the third left set: the list ends at the gap, and the fourth language,
    // which the page does not show, follows.
    Frame->Pages()->setCurrentWidget(eh::Find<QWidget>(Frame, "tsStats"));
    TPyxLanguage* Fourth = Nation->Languages.Items(3);
    TPyxLanguage* First = Nation->Languages.Items(0);
    Editor.Driver().Expect(eh::PickEntity(nullptr));
    Frame->ssSecondLanguage->btnSearch->click();
    QVERIFY(Frame->ssSecondLanguage->Selected() == nullptr);
    QVERIFY(Frame->ssThirdLanguage->Selected() != nullptr);

    // Reputation: leaving the FIFA ranking points rounds the reputation down to a multiple of 500 and leaves the
    // points as typed.
    Frame->Pages()->setCurrentWidget(eh::Find<QWidget>(Frame, "tsRankings"));
    QApplication::setActiveWindow(&Main);
    QVERIFY(QTest::qWaitForWindowActive(&Main));
    Frame->seFIFARankingPoints->setFocus();
    Frame->seFIFARankingPoints->selectAll();
    QTest::keyClicks(Frame->seFIFARankingPoints, "333");
    Frame->seUEFA[1]->setFocus();
    QCOMPARE(Frame->seFIFARankingPoints->Value(), 333);
    QCOMPARE(Frame->seReputation->Value(), 1000);

    // The national stadium, which the first team takes too.
    Frame->Pages()->setCurrentWidget(eh::Find<QWidget>(Frame, "tsGeneral"));
    TPyxStadium* Stadium = Database.Stadiums.Items(Database.Stadiums.Count() - 1);
    Editor.Driver().Expect(eh::PickEntity(Stadium, &Caption));
    Frame->ssNationalStadium->btnSearch->click();
    QCOMPARE(Caption, QString("Find National Stadium"));
    QCOMPARE(Nation->NationalStadium == Stadium, false);

    Frame->btnConfirmChangesClick();
    // Relationships: every other kind in its place, the rivals as listed after them.
    std::vector<TLink> Expected;
    for (const TLink& Link : Links)
        if (Link.Kind != TframeNation::RivalKind)
            Expected.push_back(Link);
    for (int I = 0; I < Frame->lboxRivals->count(); ++I)
        Expected.push_back({TPyxRelationship::ttNation, TframeNation::RivalKind, 0,
                            Frame->lboxRivals->GetItem<TPyxRelationship>(I)->Target});
    QCOMPARE(LinksOf(*Nation), Expected);
    QCOMPARE(LanguagesOf(*Nation), (std::vector<TPyxLanguage*>{First, Fourth}));
    QCOMPARE(Nation->Reputation, int16_t(1000));
    QCOMPARE(Nation->Teams.Items(0)->Reputation, int16_t(1000));
    QCOMPARE(Nation->FIFARankingPoints, int16_t(333));
    QCOMPARE(Nation->NationalStadium, Stadium);
    QCOMPARE(Nation->Teams.Items(0)->Stadium, Stadium);
    QCOMPARE(Nation->GameImportance, uint8_t(17));
    QCOMPARE(FloatBits(Nation->GetUEFACoefficient(2003)), FloatBits(33.33333f));
    QCOMPARE(Nation->Kits.Count(), 3); // the third kit went, the fourth stays
    QCOMPARE(Nation->Kits.Colors(0)->Major(), TPyxColor::To24(TPyxColor::To15(Gold)));

    Editor.SaveData();
    eh::TWorldFolder Saved;
    eh::ModelSave(Original.Path(), Saved.Path(), [&](TPyxDatabase& Model) {
        TPyxNation& Same = *Model.Nations.FindByUniqueID(NationID);
        Same.Kits.Colors(0)->SetMajor(Gold);
        Same.Kits.Colors(1)->SetTrim(86 | (52 << 8) | (18 << 16));
        Same.Kits.Delete(2);
        std::vector<std::unique_ptr<TPyxRelationship>> Kept;
        std::vector<std::unique_ptr<TPyxRelationship>> Rivals;
        while (Same.Relationships.Count() > 0) {
            auto R = Same.Relationships.Delete(0);
            (R->Kind == TframeNation::RivalKind ? Rivals : Kept).push_back(std::move(R));
        }
        for (auto& R : Kept)
            Same.Relationships.Add(std::move(R));
        for (std::size_t I = 1; I < Rivals.size(); ++I)
            Same.Relationships.Add(std::move(Rivals[I]));
        AddLink(Same, TPyxRelationship::ttNation, TframeNation::RivalKind, 0,
                Model.Nations.FindByUniqueID(NewRival->UniqueID));
        TPyxLanguage* Last = Same.Languages.Items(3);
        TPyxLanguage* Head = Same.Languages.Items(0);
        Same.Languages.Clear();
        Same.Languages.Add(Head);
        Same.Languages.Add(Last);
        Same.Reputation = 1000;
        Same.Teams.Items(0)->Reputation = 1000;
        Same.FIFARankingPoints = 333;
        Same.NationalStadium = Model.Stadiums.FindByUniqueID(Stadium->UniqueID);
        Same.Teams.Items(0)->Stadium = Same.NationalStadium;
    });
    QCOMPARE(eh::FolderDifference(Saved.Path(), World_->Path()), QString());

    // Loaded again: the rows and rivals as confirmed.
    Editor.LoadData();
    Nation = Main.Database().Nations.FindByUniqueID(NationID);
    Main.ShowNation(Nation);
    QCOMPARE(CheckedKits(Kits), (std::vector<bool>{true, true, true})); // the kit that was fourth is third now
    QCOMPARE(Kits.Box(0, TframeKitColor::Major)->Selected(), TPyxColor::To24(TPyxColor::To15(Gold)));
    QCOMPARE(Frame->lboxRivals->count(), RivalsBefore);
    QCOMPARE(Frame->lboxRivals->item(RivalsBefore - 1)->text(), NewRivalName);
    int DroppedListed = 0;
    for (int I = 0; I < Frame->lboxRivals->count(); ++I)
        DroppedListed += Frame->lboxRivals->GetItem<TPyxRelationship>(I)->Target->UniqueID == DroppedRival ? 1 : 0;
    QCOMPARE(DroppedListed, 0);
    QCOMPARE(Frame->ssSecondLanguage->Selected(), Nation->Languages.Items(1));
    QCOMPARE(Frame->ssThirdLanguage->Selected(), nullptr);
    QCOMPARE(Frame->seReputation->Value(), 1000);
    QVERIFY(Editor.Driver().Unexpected().isEmpty());
}

void NationJourneyTest::LinksReachTheirTabsAndAFullRelationshipListRefusesAnotherRival() {
    eh::TEditorSession Editor(World_->Path());
    Editor.LoadData();
    TfrmMain& Main = Editor.Main();
    TPyxDatabase& Database = Main.Database();
    auto* Frame = Editor.Frame<TframeNation>(TTab::Nation);
    TPyxNation* Nation = EditedNation(Database);
    const auto Reaches = [&](const char* Button, TTab Tab, const TPyxObject* Target) {
        Main.ShowNation(Nation);
        eh::Find<QToolButton>(Frame, Button)->click();
        QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(Tab));
        QCOMPARE(Main.Frame(Tab)->CurrentObject(), Target);
    };
    Reaches("btnContinentLink", TTab::Continents, Nation->Continent);
    Reaches("btnCapitalCityLink", TTab::Cities, Nation->CapitalCity);
    Reaches("btnNationalStadiumLink", TTab::Stadia, Nation->NationalStadium);
    Reaches("btnFirstLanguageLink", TTab::Languages, Nation->Languages.Items(0));
    Reaches("btnThirdLanguageLink", TTab::Languages, Nation->Languages.Items(2));

    // A rival's double-click shows the rival nation.
    Main.ShowNation(Nation);
    Frame->Pages()->setCurrentWidget(eh::Find<QWidget>(Frame, "tsRivals"));
    const auto* Rival = Frame->lboxRivals->GetItem<TPyxRelationship>(0);
    const TPyxObject* RivalNation = Rival->Target;
    eh::DoubleClickItem(*Frame->lboxRivals, 0);
    QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::Nation));
    QCOMPARE(Frame->CurrentObject(), RivalNation);

    // The staff page shows the first team's staff; a double-click on the manager shows that person on the people tab,
    // and with no manager does nothing.
    Main.ShowNation(Nation);
    Frame->Pages()->setCurrentWidget(eh::Find<QWidget>(Frame, "tsStaff"));
    const TPyxTeam* Team = Nation->Teams.Items(0);
    QCOMPARE(Frame->edManager->text(),
             Team->Manager != nullptr ? TPyxListModel::DisplayName(*Team->Manager) : QString("<no manager>"));
    QCOMPARE(Frame->lboxCoaches->count(), Team->Coaches.Count());
    QCOMPARE(Frame->lboxPhysios->count(), Team->Physios.Count());
    QTest::mouseDClick(Frame->edManager, Qt::LeftButton);
    if (Team->Manager != nullptr) {
        QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::People));
        QCOMPARE(Main.Frame(TTab::People)->CurrentObject(), static_cast<const TPyxObject*>(Team->Manager));
        Main.ShowNation(Nation);
    }
    QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::Nation));
    QCOMPARE(Frame->CurrentObject(), Nation);
    // So does a double-click on a coach or a physio.
    for (TPointerListBox* Staff : {Frame->lboxCoaches, Frame->lboxPhysios}) {
        QCOMPARE(Staff->count(), 1);
        const TPyxObject* Person = Staff->GetItem<TPyxPerson>(0);
        QCOMPARE(Staff->item(0)->text(), TPyxListModel::DisplayName(*Person));
        eh::DoubleClickItem(*Staff, 0);
        QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::People));
        QCOMPARE(Main.Frame(TTab::People)->CurrentObject(), Person);
        Main.ShowNation(Nation);
        Frame->Pages()->setCurrentWidget(eh::Find<QWidget>(Frame, "tsStaff"));
    }

    // A nation whose record holds 255 relationships: Add says why it refuses, and opens no dialog; with a rival
    // deleted, Add opens the dialog again.
    TPyxNation* Full = FullNation(Database);
    QCOMPARE(Full->Relationships.Count(), TframeNation::MaxRelationships);
    Main.ShowNation(Full);
    Frame->Pages()->setCurrentWidget(eh::Find<QWidget>(Frame, "tsRivals"));
    QString Seen;
    Editor.Driver().Expect(eh::TModalDriver::Answer(QMessageBox::Ok, &Seen));
    QTest::mouseClick(Frame->btnAddRival, Qt::LeftButton);
    QCOMPARE(Seen, QString("msgError\nError\nThis nation already has 255 relationships, the most its record can "
                           "hold.\nDelete a rival before adding another."));
    QCOMPARE(Frame->lboxRivals->count(), 1);
    Frame->lboxRivals->setCurrentRow(0);
    QTest::mouseClick(Frame->btnDeleteRival, Qt::LeftButton);
    QString Caption;
    Editor.Driver().Expect(eh::PickEntity(Nation, &Caption));
    QTest::mouseClick(Frame->btnAddRival, Qt::LeftButton);
    QCOMPARE(Caption, QString("Find Rival"));
    QCOMPARE(Frame->lboxRivals->count(), 1);
    Frame->btnConfirmChangesClick();
    QCOMPARE(Full->Relationships.Count(), TframeNation::MaxRelationships);
    QVERIFY(Editor.Driver().Unexpected().isEmpty());
}

PYX_EDITOR_TEST_MAIN(NationJourneyTest)
#include "NationJourneyTest.moc"
