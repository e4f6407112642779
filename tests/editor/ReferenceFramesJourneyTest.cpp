// The media, award, city and stadium tabs: each edited through every kind of control it has (names in every
// loaded language, selectors, entity and code lists, spin and float edits, colours, a date, check boxes on flag
// bits, the media's club list), confirmed, saved, reloaded and compared with what the data model writes for the
// same edits; links reach the right tab and entity; the media's scope decides its area controls and the kind of
// its target; the award's rules enable only the controls they use; Add City, Add Stadium and Add Media survive a
// save with their texts in every language; stored values the controls cannot show are kept.

#include "EditorHarness.h"
#include "EditorTestMain.h"
#include "FrameDriving.h"

#include "ColorPicking.h"
#include "IntegerComboBox.h"
#include "ItemTextOrder.h"
#include "PointerComboBox.h"
#include "PointerListBox.h"
#include "PyxColorBox.h"
#include "PyxCustomColorBox.h"
#include "PyxDatabase.h"
#include "PyxListModel.h"
#include "PyxListView.h"
#include "PyxSearch.h"
#include "SearchForm.h"
#include "SpinEdit.h"
#include "SpinFloatEdit.h"
#include "frameAwardUnit.h"
#include "frameCityUnit.h"
#include "frameContinentUnit.h"
#include "frameMediaUnit.h"
#include "frameSelectionSearchUnit.h"
#include "frameStadiumUnit.h"
#include "frameWeatherUnit.h"
#include "frmMainUnit.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {

const QStringList MediaNames = {"Evening Chronicle", "La Chronique du Soir", "Abend\u00adchronik \u00df"};
const QStringList CityNames = {"Saint-\u00c9tienne-sur-Mer", "Saint-\u00c9tienne", "Sankt Stefan"};
const QStringList StadiumNames = {"Stade du Lac", "Stade du Lac \u00e9t\u00e9", "Seestadion"};
const QStringList AwardNames = {"Golden Boot \u2605", "Soulier d'or", "Goldener Schuh"};

QToolButton* Button(QWidget* Frame, const char* Name) {
    return eh::Find<QToolButton>(Frame, Name);
}

using eh::U16;

using eh::FirstOf;

// The six area controls of the media frame that are shown.
QStringList ShownAreaControls(const TframeMedia& Frame) {
    QStringList Shown;
    for (QWidget* Control : std::initializer_list<QWidget*>{Frame.ssClub, Frame.ssCity, Frame.cmbRegion, Frame.ssNation,
                                                            Frame.cmbContinent, Frame.ssCompetition})
        if (!Control->isHidden())
            Shown.push_back(Control->objectName());
    return Shown;
}

std::vector<TPyxClub*> ListedClubs(const TframeMedia& Frame) {
    std::vector<TPyxClub*> Clubs;
    for (int I = 0; I < Frame.lboxClubs->count(); ++I)
        Clubs.push_back(Frame.lboxClubs->GetItem<TPyxClub>(I));
    return Clubs;
}

// Adds Club to the media's list through the "Find Club" dialog; returns the dialog's caption and whether its
// "unknown" box was hidden.
QString AddClubThroughDialog(eh::TModalDriver& Driver, TframeMedia& Frame, const TPyxClub* Club) {
    QString Seen;
    Driver.Expect([&](QWidget* Dialog) {
        auto* Pick = qobject_cast<TSearchForm*>(Dialog);
        Seen = Pick->windowTitle() + (Pick->cbUnknown->isHidden() ? " (no unknown box)" : " (unknown box)");
        Pick->edSearch->clear();
        Pick->btnSearchClick();
        Pick->lvSearchList->FocusRow(Pick->Search->Model().RowOf(Club));
        Pick->btnOK->click();
    });
    Frame.btnAddClub->click();
    Driver.Withdraw();
    return Seen;
}

TPyxDate DateOf(const QDate& Date) {
    TPyxDate Result;
    Result.DayOfYear = static_cast<int16_t>(Date.dayOfYear() - 1);
    Result.Year = static_cast<int16_t>(Date.year());
    return Result;
}

} // namespace

class ReferenceFramesJourneyTest final : public QObject {
    Q_OBJECT
private slots:
    void EveryKindOfControlIsEditedConfirmedSavedAndReloadedOnTheFourTabs();
    void LinksReachTheRightTabAndEntity();
    void TheMediaScopeDecidesTheAreaControlsAndTheKindOfTarget();
    void TheAwardRulesEnableOnlyTheControlsTheyUse();
    void AddedCitiesStadiumsAndMediaSurviveSaveAndReloadInEveryLanguage();
    void WithoutAllLanguagesNothingCanBeAddedAndNoNameChanged();
    void StoredValuesTheControlsCannotShowSurviveConfirmingEveryEntity();
};

void ReferenceFramesJourneyTest::EveryKindOfControlIsEditedConfirmedSavedAndReloadedOnTheFourTabs() {
    eh::TWorldFolder World({.PeopleCount = 300, .LanguageCount = 3});
    eh::TWorldFolder Original;
    Original.CopyFrom(World);
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    TfrmMain& Main = Editor.Main();
    TPyxDatabase& Database = Main.Database();
    eh::TModalDriver& Driver = Editor.Driver();

    // Media: names, type, period, a new scope with its target, and the club list.
    auto* Medias = Editor.Frame<TframeMedia>(TTab::Media);
    TPyxMedia* Media = FirstOf(Database.Medias, [](TPyxMedia& M) {
        return M.Scope == TPyxMedia::scClub && M.Target != nullptr && M.Clubs.Count() > 0;
    });
    QVERIFY(Media != nullptr);
    const int32_t MediaID = Media->UniqueID;
    eh::ShowAllAndFocus(*Medias, Media);
    QCOMPARE(Medias->SearchResultText(), QString::number(Database.Medias.Count()) + " Medias Found");
    QCOMPARE(Medias->CurrentObject(), Media);
    QCOMPARE(ShownAreaControls(*Medias), QStringList{"ssClub"});
    QCOMPARE(Medias->ssClub->Selected(), Media->Target);
    QCOMPARE(Medias->cmbScope->currentText(), QString("Club"));
    QCOMPARE(Medias->lboxClubs->count(), Media->Clubs.Count());
    QCOMPARE(eh::EditNames(Driver, Button(Medias, "btnLongName"), MediaNames),
             (QStringList{"Edit Long Media Name", "English", "French", "German"}));
    QCOMPARE(eh::EditNames(Driver, Button(Medias, "btnShortName"), {"Chronicle"}).front(),
             QString("Edit Short Media Name"));
    eh::PickItem(Medias->cmbType, "Radio");
    eh::PickItem(Medias->cmbPeriod, "Weekly");
    eh::PickItem(Medias->cmbScope, "National");
    QCOMPARE(ShownAreaControls(*Medias), QStringList{"ssNation"});
    QCOMPARE(Medias->ssNation->Selected(), nullptr);
    QCOMPARE(Medias->ssNation->edSelection->text(), QString("<no nation>"));
    TPyxNation* MediaNation = Database.Nations.Items(3);
    QCOMPARE(eh::PickInSelector(Driver, Medias->ssNation, MediaNation),
             QString("Find Media Nation\nMedia has no nation"));
    TPyxClub* Followed = Database.Clubs.Items(7);
    std::vector<TPyxClub*> Clubs = ListedClubs(*Medias);
    QCOMPARE(AddClubThroughDialog(Driver, *Medias, Followed), QString("Find Club (no unknown box)"));
    AddClubThroughDialog(Driver, *Medias, Followed);
    Medias->lboxClubs->setCurrentRow(0);
    Medias->btnDelete->click();
    Clubs.erase(Clubs.begin());
    Clubs.push_back(Followed);
    Clubs.push_back(Followed);
    QCOMPARE(ListedClubs(*Medias), Clubs);
    QCOMPARE(Medias->lboxClubs->item(Medias->lboxClubs->count() - 1)->text(), TPyxListModel::DisplayName(*Followed));
    Medias->btnConfirmChangesClick();
    QCOMPARE(Media->LongName, U16(MediaNames[0]));
    QCOMPARE(Media->Lang(1)->LongName, U16(MediaNames[2]));
    QCOMPARE(Media->ShortName, std::u16string(u"Chronicle"));
    QCOMPARE(Media->MediaType, uint8_t(4));
    QCOMPARE(Media->Period, uint8_t(4));
    QCOMPARE(Media->Scope, uint8_t(TPyxMedia::scNation));
    QCOMPARE(Media->Target, static_cast<TPyxObject*>(MediaNation));
    QCOMPARE(Media->Clubs.Data(), Clubs);
    const std::vector<int32_t> ClubIDs = [&] {
        std::vector<int32_t> IDs;
        for (TPyxClub* Club : Clubs)
            IDs.push_back(Club->UniqueID);
        return IDs;
    }();

    // Award: names, nation, continent, reputations, a colour, and the rules.
    auto* Awards = Editor.Frame<TframeAward>(TTab::Awards);
    TPyxAward* Award = FirstOf(Database.Awards, [](TPyxAward& A) { return A.AwardType != 6 && A.DateRule != 6; });
    QVERIFY(Award != nullptr);
    const int32_t AwardID = Award->UniqueID;
    eh::ShowAllAndFocus(*Awards, Award);
    QCOMPARE(Awards->SearchResultText(), QString::number(Database.Awards.Count()) + " Awards Found");
    QCOMPARE(Awards->Pages()->tabText(1), QString("&Rules"));
    eh::EditNames(Driver, Button(Awards, "btnAwardName"), AwardNames);
    QCOMPARE(eh::EditNames(Driver, Button(Awards, "btnShortAwardName"), {}, false).front(),
             QString("Edit Short Award Name"));
    TPyxNation* AwardNation = Database.Nations.Items(5);
    QCOMPARE(eh::PickInSelector(Driver, Awards->ssNation, AwardNation),
             QString("Find Award Nation\nAward has no nation"));
    TPyxContinent* AwardContinent = Database.Continents.Items(1);
    QCOMPARE(Awards->cmbContinent->itemText(0), QString("<no continent>"));
    eh::PickItem(Awards->cmbContinent, TPyxListModel::DisplayName(*AwardContinent));
    eh::TypeInto(Awards->seReputation, "15");
    eh::TypeInto(Awards->seWinnerHomeReputation, "25");
    eh::TypeInto(Awards->seWinnerWorldReputation, "3");
    const uint32_t Gold = TPyxCustomColorBox::NamedColors[eh::NamedColorIndex("Gold") - 1].Color;
    eh::PickColor(*Awards->colbMajorColour, eh::NamedColorIndex("Gold"));
    const TPyxColor StoredColours = Award->Colours;
    Awards->Pages()->setCurrentIndex(1);
    eh::PickItem(Awards->cmbAwardType, "Best Player");
    QVERIFY(Awards->seMaxAge->isEnabled());
    QVERIFY(!Awards->cmbFormation->isEnabled());
    eh::TypeInto(Awards->seMaxAge, "23");
    eh::PickItem(Awards->cmbDateRule, "Specified Time");
    QVERIFY(Awards->dtpAwardDate->isEnabled());
    Awards->dtpAwardDate->setDate(QDate(2004, 5, 17));
    eh::PickItem(Awards->cmbScope, "Any Manager can Vote");
    eh::PickItem(Awards->cmbRunBy, "The Media");
    TPyxCompetition* AwardCompetition = Database.Competitions.Items(2);
    QCOMPARE(eh::PickInSelector(Driver, Awards->ssCompetition, AwardCompetition),
             QString("Find Award Competition\nAward has no competition"));
    Awards->btnConfirmChangesClick();
    QCOMPARE(Award->Name, U16(AwardNames[0]));
    QCOMPARE(Award->Lang(0)->Name, U16(AwardNames[1]));
    QCOMPARE(Award->Nation, AwardNation);
    QCOMPARE(Award->Continent, AwardContinent);
    QCOMPARE(Award->Reputation, int16_t(15));
    QCOMPARE(Award->WinnerHomeReputation, uint8_t(20));
    QCOMPARE(Award->WinnerWorldReputation, uint8_t(3));
    QCOMPARE(Award->Colours.Major(), TPyxColor::To24(TPyxColor::To15(Gold)));
    QCOMPARE(Award->Colours.RawMinor, StoredColours.RawMinor);
    QCOMPARE(Award->AwardType, uint8_t(6));
    QCOMPARE(Award->MaxAge, uint8_t(23));
    QCOMPARE(Award->Formation, uint8_t(0));
    QCOMPARE(Award->DateRule, uint8_t(6));
    QCOMPARE(Award->AwardDate, DateOf(QDate(2004, 5, 17)));
    QCOMPARE(Award->Scope, uint8_t(8));
    QCOMPARE(Award->RunBy, uint8_t(2));
    QCOMPARE(Award->Competition, AwardCompetition);

    // City: names, nation, weather, the float edits and the spin edits.
    auto* Cities = Editor.Frame<TframeCity>(TTab::Cities);
    TPyxCity* City = Database.Cities.Items(4);
    const int32_t CityID = City->UniqueID;
    Main.ShowCity(City);
    QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::Cities));
    QCOMPARE(Cities->CurrentObject(), City);
    // Cancel shows the stored values again over edits of every kind, and changes nothing.
    const QStringList StoredCity = eh::ShownValues(*Cities);
    const QStringList StoredCityNames = eh::NamesShown(Driver, Button(Cities, "btnCityName"));
    const TPyxNation* StoredCityNation = City->Nation;
    const float StoredLatitude = City->Latitude;
    eh::EditNames(Driver, Button(Cities, "btnCityName"), CityNames);
    eh::PickInSelector(Driver, Cities->ssNation, nullptr);
    eh::TypeInto(Cities->seLatitude, "1.5");
    eh::TypeInto(Cities->seAltitude, "77");
    QVERIFY(eh::ShownValues(*Cities) != StoredCity);
    Cities->btnCancelChangesClick();
    QCOMPARE(eh::ShownValues(*Cities), StoredCity);
    QCOMPARE(eh::NamesShown(Driver, Button(Cities, "btnCityName")), StoredCityNames);
    QCOMPARE(City->Nation, StoredCityNation);
    QCOMPARE(City->Latitude, StoredLatitude);
    QCOMPARE(eh::EditNames(Driver, Button(Cities, "btnCityName"), CityNames).front(), QString("Edit City Name"));
    QCOMPARE(eh::EditNames(Driver, Button(Cities, "btnCitizen"), {"St\u00e9phanois"}).front(),
             QString("Edit Citizen Name"));
    TPyxNation* CityNation =
        Database.Nations.Items(0) == City->Nation ? Database.Nations.Items(1) : Database.Nations.Items(0);
    QCOMPARE(eh::PickInSelector(Driver, Cities->ssNation, CityNation), QString("Find City Nation\nCity has no nation"));
    QCOMPARE(Cities->cmbWeather->itemText(0), QString("<not specified>"));
    TPyxWeather* CityWeather =
        Database.Weathers.Items(0) == City->Weather ? Database.Weathers.Items(1) : Database.Weathers.Items(0);
    eh::PickItem(Cities->cmbWeather, TPyxListModel::DisplayName(*CityWeather));
    eh::TypeInto(Cities->seLatitude, "-33.8688");
    QCOMPARE(Cities->seLatitude->text(), QString("-33.868"));
    eh::TypeInto(Cities->seLongitude, "151.209");
    eh::TypeInto(Cities->seAltitude, "12000");
    eh::TypeInto(Cities->seAttraction, "19");
    Cities->btnConfirmChangesClick();
    QCOMPARE(City->Name, U16(CityNames[0]));
    QCOMPARE(City->Lang(1)->Name, U16(CityNames[2]));
    QCOMPARE(City->CitizenName, std::u16string(u"St\u00e9phanois"));
    QCOMPARE(City->Nation, CityNation);
    QCOMPARE(City->Weather, CityWeather);
    QCOMPARE(City->Latitude, -33.868f);
    QCOMPARE(City->Longitude, 151.209f);
    QCOMPARE(City->Altitude, int16_t(10000));
    QCOMPARE(City->Attraction, uint8_t(19));

    // Stadium: its name, city, nearby stadium, the numbers, its state and the check boxes on their bits.
    auto* Stadiums = Editor.Frame<TframeStadium>(TTab::Stadia);
    TPyxStadium* Stadium = Database.Stadiums.Items(2);
    const int32_t StadiumID = Stadium->UniqueID;
    Stadium->Flags = 0xA5; // covered and not in use, with bits the editor does not show
    const uint8_t WasExtinct = Stadium->Extinct;
    Main.ShowStadium(Stadium);
    QCOMPARE(Stadiums->CurrentObject(), Stadium);
    QCOMPARE(Stadiums->edPictureID->text(), QString::number(StadiumID));
    QVERIFY(Stadiums->edPictureID->isReadOnly());
    QVERIFY(Stadiums->cbCovered->isChecked() && Stadiums->cbNotInUse->isChecked());
    QVERIFY(!Stadiums->cbUndersoilHeating->isChecked() && !Stadiums->cbSoonNotInUse->isChecked());
    const QStringList StoredStadium = eh::ShownValues(*Stadiums);
    const QStringList StoredStadiumNames = eh::NamesShown(Driver, Button(Stadiums, "btnStadiumName"));
    const TPyxCity* StoredStadiumCity = Stadium->City;
    const int32_t StoredCapacity = Stadium->Capacity;
    eh::EditNames(Driver, Button(Stadiums, "btnStadiumName"), StadiumNames);
    eh::PickInSelector(Driver, Stadiums->ssCity, Database.Cities.Items(9));
    eh::TypeInto(Stadiums->seCapacity, "4321");
    eh::PickItem(Stadiums->cmbStadiumState, "Very Poor");
    eh::ClickCheckBox(Stadiums->cbCovered);
    QVERIFY(eh::ShownValues(*Stadiums) != StoredStadium);
    Stadiums->btnCancelChangesClick();
    QCOMPARE(eh::ShownValues(*Stadiums), StoredStadium);
    QCOMPARE(eh::NamesShown(Driver, Button(Stadiums, "btnStadiumName")), StoredStadiumNames);
    QCOMPARE(Stadium->City, StoredStadiumCity);
    QCOMPARE(Stadium->Capacity, StoredCapacity);
    QCOMPARE(Stadium->Flags, uint8_t(0xA5));
    eh::EditNames(Driver, Button(Stadiums, "btnStadiumName"), StadiumNames);
    TPyxCity* StadiumCity = Database.Cities.Items(9);
    QCOMPARE(eh::PickInSelector(Driver, Stadiums->ssCity, StadiumCity),
             QString("Find Stadium City\nStadium has no city"));
    TPyxStadium* Nearby = Database.Stadiums.Items(3);
    QCOMPARE(eh::PickInSelector(Driver, Stadiums->ssNearbyStadium, Nearby),
             QString("Find Nearby Stadium\nStadium has no nearby stadium"));
    eh::TypeInto(Stadiums->seCapacity, "600000");
    eh::TypeInto(Stadiums->seSeatingCapacity, "-5");
    eh::TypeInto(Stadiums->seExpansionCapacity, "-5");
    eh::TypeInto(Stadiums->seUsedCapacity, "1234");
    eh::TypeInto(Stadiums->sePitchLength, "105");
    eh::TypeInto(Stadiums->sePitchWidth, "168");
    eh::TypeInto(Stadiums->seDecay, "7");
    QCOMPARE(eh::ItemTexts(Stadiums->cmbStadiumState),
             (QStringList{"<unset>", "Very Good", "Good", "Average", "Poor", "Very Poor"}));
    eh::PickItem(Stadiums->cmbStadiumState, "Poor");
    eh::ClickCheckBox(Stadiums->cbExtinct);
    eh::ClickCheckBox(Stadiums->cbCovered);
    eh::ClickCheckBox(Stadiums->cbSoonNotInUse);
    Stadiums->btnConfirmChangesClick();
    QCOMPARE(Stadium->Name, U16(StadiumNames[0]));
    QCOMPARE(Stadium->Lang(0)->Name, U16(StadiumNames[1]));
    QCOMPARE(Stadium->City, StadiumCity);
    QCOMPARE(Stadium->NearbyStadium, Nearby);
    QCOMPARE(Stadium->Capacity, 500000);
    QCOMPARE(Stadium->SeatingCapacity, -5);
    QCOMPARE(Stadium->ExpansionCapacity, 0);
    QCOMPARE(Stadium->UsedCapacity, 1234);
    QCOMPARE(Stadium->PitchLength, int16_t(105));
    QCOMPARE(Stadium->PitchWidth, int16_t(100));
    QCOMPARE(Stadium->Decay, uint8_t(7));
    QCOMPARE(Stadium->State, uint8_t(4));
    QCOMPARE(Stadium->Extinct, uint8_t(WasExtinct != 0 ? 0 : 1));
    QCOMPARE(Stadium->Flags, uint8_t(0xAC));

    // What the reload below checks, taken before it frees these entities.
    const int32_t MediaNationID = MediaNation->UniqueID;
    const QString CityWeatherName = TPyxListModel::DisplayName(*CityWeather);
    Editor.SaveData();
    eh::TWorldFolder Expected;
    eh::ModelSave(Original.Path(), Expected.Path(), [&](TPyxDatabase& Model) {
        TPyxMedia* M = Model.Medias.FindByUniqueID(MediaID);
        M->LongName = U16(MediaNames[0]);
        M->Lang(0)->LongName = U16(MediaNames[1]);
        M->Lang(1)->LongName = U16(MediaNames[2]);
        M->ShortName = u"Chronicle";
        M->MediaType = 4;
        M->Period = 4;
        M->Scope = TPyxMedia::scNation;
        M->Target = Model.Nations.FindByUniqueID(MediaNation->UniqueID);
        M->Clubs.Clear();
        for (int32_t ID : ClubIDs)
            M->Clubs.Add(Model.Clubs.FindByUniqueID(ID));
        TPyxAward* A = Model.Awards.FindByUniqueID(AwardID);
        A->Name = U16(AwardNames[0]);
        A->Lang(0)->Name = U16(AwardNames[1]);
        A->Lang(1)->Name = U16(AwardNames[2]);
        A->Nation = Model.Nations.FindByUniqueID(AwardNation->UniqueID);
        A->Continent = Model.Continents.FindByUniqueID(AwardContinent->UniqueID);
        A->Reputation = 15;
        A->WinnerHomeReputation = 20;
        A->WinnerWorldReputation = 3;
        A->Colours.SetMajor(Gold);
        A->AwardType = 6;
        A->MaxAge = 23;
        A->Formation = 0;
        A->DateRule = 6;
        A->AwardDate = DateOf(QDate(2004, 5, 17));
        A->Scope = 8;
        A->RunBy = 2;
        A->Competition = Model.Competitions.FindByUniqueID(AwardCompetition->UniqueID);
        TPyxCity* C = Model.Cities.FindByUniqueID(CityID);
        C->Name = U16(CityNames[0]);
        C->Lang(0)->Name = U16(CityNames[1]);
        C->Lang(1)->Name = U16(CityNames[2]);
        C->CitizenName = u"St\u00e9phanois";
        C->Nation = Model.Nations.FindByUniqueID(CityNation->UniqueID);
        C->Weather = Model.Weathers.FindByUniqueID(CityWeather->UniqueID);
        C->Latitude = -33.868f;
        C->Longitude = 151.209f;
        C->Altitude = 10000;
        C->Attraction = 19;
        TPyxStadium* S = Model.Stadiums.FindByUniqueID(StadiumID);
        S->Name = U16(StadiumNames[0]);
        S->Lang(0)->Name = U16(StadiumNames[1]);
        S->Lang(1)->Name = U16(StadiumNames[2]);
        S->City = Model.Cities.FindByUniqueID(StadiumCity->UniqueID);
        S->NearbyStadium = Model.Stadiums.FindByUniqueID(Nearby->UniqueID);
        S->Capacity = 500000;
        S->SeatingCapacity = -5;
        S->ExpansionCapacity = 0;
        S->UsedCapacity = 1234;
        S->PitchLength = 105;
        S->PitchWidth = 100;
        S->Decay = 7;
        S->State = 4;
        S->Extinct = WasExtinct != 0 ? 0 : 1;
        S->Flags = 0xAC;
    });
    QCOMPARE(eh::FolderDifference(Expected.Path(), World.Path()), QString());

    // Loaded again, each tab shows what was confirmed.
    Editor.LoadData();
    TPyxDatabase& Reloaded = Main.Database();
    Media = Reloaded.Medias.FindByUniqueID(MediaID);
    eh::ShowAllAndFocus(*Medias, Media);
    QCOMPARE(ShownAreaControls(*Medias), QStringList{"ssNation"});
    QCOMPARE(Medias->ssNation->Selected()->UniqueID, MediaNationID);
    QCOMPARE(Medias->cmbType->currentText(), QString("Radio"));
    QCOMPARE(Medias->cmbPeriod->currentText(), QString("Weekly"));
    QCOMPARE(Medias->lboxClubs->count(), static_cast<int>(ClubIDs.size()));
    QCOMPARE(eh::NamesShown(Driver, Button(Medias, "btnLongName")), MediaNames);
    eh::ShowAllAndFocus(*Awards, Reloaded.Awards.FindByUniqueID(AwardID));
    QCOMPARE(Awards->dtpAwardDate->date(), QDate(2004, 5, 17));
    QCOMPARE(Awards->seMaxAge->Value(), 23);
    QCOMPARE(Awards->cmbAwardType->currentText(), QString("Best Player"));
    QCOMPARE(Awards->colbMajorColour->Selected(), TPyxColor::To24(TPyxColor::To15(Gold)));
    QCOMPARE(eh::NamesShown(Driver, Button(Awards, "btnAwardName")), AwardNames);
    Main.ShowCity(Reloaded.Cities.FindByUniqueID(CityID));
    QCOMPARE(Cities->seLatitude->text(), QString("-33.868"));
    QCOMPARE(Cities->seLongitude->text(), QString("151.209"));
    QCOMPARE(Cities->cmbWeather->currentText(), CityWeatherName);
    QCOMPARE(eh::NamesShown(Driver, Button(Cities, "btnCityName")), CityNames);
    Main.ShowStadium(Reloaded.Stadiums.FindByUniqueID(StadiumID));
    QCOMPARE(Stadiums->seCapacity->Value(), 500000);
    QCOMPARE(Stadiums->cmbStadiumState->currentText(), QString("Poor"));
    QVERIFY(!Stadiums->cbCovered->isChecked() && Stadiums->cbNotInUse->isChecked() &&
            Stadiums->cbSoonNotInUse->isChecked());
    QCOMPARE(eh::NamesShown(Driver, Button(Stadiums, "btnStadiumName")), StadiumNames);
    QVERIFY(Driver.Unexpected().isEmpty());
}

void ReferenceFramesJourneyTest::LinksReachTheRightTabAndEntity() {
    eh::TWorldFolder World({.PeopleCount = 300, .LanguageCount = 2});
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    TfrmMain& Main = Editor.Main();
    TPyxDatabase& Database = Main.Database();
    auto* Cities = Editor.Frame<TframeCity>(TTab::Cities);
    auto* Stadiums = Editor.Frame<TframeStadium>(TTab::Stadia);
    auto* Awards = Editor.Frame<TframeAward>(TTab::Awards);
    auto* Medias = Editor.Frame<TframeMedia>(TTab::Media);
    const auto Shows = [&](TTab Tab, TPyxEditorFrame* Frame, const TPyxObject* Entity) {
        return Main.Tabs()->currentWidget() == Main.Sheet(Tab) && Frame->CurrentObject() == Entity &&
               Frame->Search()->Model().Count() == 1 && Frame->List()->FocusedEntity() == Entity;
    };

    // Within the main window: the tabs built here.
    TPyxCity* City = FirstOf(Database.Cities, [](TPyxCity& C) { return C.Weather != nullptr; });
    Main.ShowCity(City);
    Button(Cities, "btnWeatherLink")->click();
    QVERIFY(Shows(TTab::Weather, Editor.Frame(TTab::Weather), City->Weather));
    TPyxStadium* Stadium = FirstOf(Database.Stadiums, [](TPyxStadium& S) { return S.City != nullptr; });
    Main.ShowStadium(Stadium);
    QVERIFY(Shows(TTab::Stadia, Stadiums, Stadium));
    Button(Stadiums, "btnCityLink")->click();
    QVERIFY(Shows(TTab::Cities, Cities, Stadium->City));
    TPyxStadium* WithNearby = FirstOf(Database.Stadiums, [](TPyxStadium& S) { return S.NearbyStadium != nullptr; });
    QVERIFY(WithNearby != nullptr);
    Main.ShowStadium(WithNearby);
    Button(Stadiums, "btnNearbyStadiumLink")->click();
    QVERIFY(Shows(TTab::Stadia, Stadiums, WithNearby->NearbyStadium));
    TPyxAward* Award = FirstOf(Database.Awards, [](TPyxAward& A) { return A.Continent != nullptr; });
    QVERIFY(Award != nullptr);
    eh::ShowAllAndFocus(*Awards, Award);
    Button(Awards, "btnContinentLink")->click();
    QVERIFY(Shows(TTab::Continents, Editor.Frame(TTab::Continents), Award->Continent));
    for (uint8_t Scope : {TPyxMedia::scContinent, TPyxMedia::scCity}) {
        TPyxMedia* Media =
            FirstOf(Database.Medias, [Scope](TPyxMedia& M) { return M.Scope == Scope && M.Target != nullptr; });
        QVERIFY(Media != nullptr);
        eh::ShowAllAndFocus(*Medias, Media);
        Button(Medias, "btnAreaLink")->click();
        if (Scope == TPyxMedia::scContinent)
            QVERIFY(Shows(TTab::Continents, Editor.Frame(TTab::Continents), Media->Target));
        else
            QVERIFY(Shows(TTab::Cities, Cities, Media->Target));
    }
    // A link without an entity goes nowhere.
    Main.ShowStadium(Stadium);
    Stadiums->ssNearbyStadium->SetSelected(nullptr);
    Button(Stadiums, "btnNearbyStadiumLink")->click();
    QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::Stadia));
    QCOMPARE(Stadiums->CurrentObject(), Stadium);

    // Every link asks for its own kind: the frames on their own, with a navigator that records.
    eh::TRecordingNavigator Navigator;
    TframeMedia MediaFrame(Navigator, nullptr);
    TframeAward AwardFrame(Navigator, nullptr);
    TframeCity CityFrame(Navigator, nullptr);
    TframeStadium StadiumFrame(Navigator, nullptr);
    for (TPyxEditorFrame* Frame :
         std::initializer_list<TPyxEditorFrame*>{&MediaFrame, &AwardFrame, &CityFrame, &StadiumFrame}) {
        Frame->show();
        Frame->SetDatabase(&Database);
    }
    for (uint8_t Scope : {TPyxMedia::scClub, TPyxMedia::scNation, TPyxMedia::scCompetition, TPyxMedia::scCity,
                          TPyxMedia::scContinent}) {
        TPyxMedia* Media =
            FirstOf(Database.Medias, [Scope](TPyxMedia& M) { return M.Scope == Scope && M.Target != nullptr; });
        QVERIFY2(Media != nullptr, qPrintable(QString::number(Scope)));
        eh::ShowAllAndFocus(MediaFrame, Media);
        Button(&MediaFrame, "btnAreaLink")->click();
        QCOMPARE(Navigator.Take(), Media->Target);
    }
    TPyxMedia* Regional = FirstOf(Database.Medias, [](TPyxMedia& M) { return M.Scope == TPyxMedia::scRegion; });
    QVERIFY(Regional != nullptr);
    eh::ShowAllAndFocus(MediaFrame, Regional);
    QVERIFY(Button(&MediaFrame, "btnAreaLink")->isHidden());
    QCOMPARE(ShownAreaControls(MediaFrame), QStringList{"cmbRegion"});
    QCOMPARE(MediaFrame.cmbRegion->GetSelected(), Regional->Target);
    TPyxMedia* Following = FirstOf(Database.Medias, [](TPyxMedia& M) { return M.Clubs.Count() > 1; });
    eh::ShowAllAndFocus(MediaFrame, Following);
    MediaFrame.Pages()->setCurrentIndex(1);
    QVERIFY(QTest::qWaitFor([&] { return MediaFrame.lboxClubs->isVisible(); }));
    QListWidgetItem* Second = MediaFrame.lboxClubs->item(1);
    MediaFrame.lboxClubs->setCurrentItem(Second);
    // A double click: the first click, then the second, which the window system reports as a double click.
    const QPoint OnSecond = MediaFrame.lboxClubs->visualItemRect(Second).center();
    QTest::mouseClick(MediaFrame.lboxClubs->viewport(), Qt::LeftButton, {}, OnSecond);
    QTest::mouseDClick(MediaFrame.lboxClubs->viewport(), Qt::LeftButton, {}, OnSecond);
    QCOMPARE(Navigator.Take(), Following->Clubs.Data()[1]);

    TPyxAward* Linked = FirstOf(Database.Awards, [](TPyxAward& A) { return A.Nation != nullptr; });
    eh::ShowAllAndFocus(AwardFrame, Linked);
    Button(&AwardFrame, "btnNationLink")->click();
    QCOMPARE(Navigator.Take(), Linked->Nation);
    AwardFrame.ssCompetition->SetSelected(Database.Competitions.Items(0));
    Button(&AwardFrame, "btnCompetitionLink")->click();
    QCOMPARE(Navigator.Take(), Database.Competitions.Items(0));
    AwardFrame.ssCompetition->SetSelected(nullptr);
    Button(&AwardFrame, "btnCompetitionLink")->click();
    QCOMPARE(Navigator.Take(), nullptr);
    TPyxCity* InNation = FirstOf(Database.Cities, [](TPyxCity& C) { return C.Nation != nullptr; });
    eh::ShowAllAndFocus(CityFrame, InNation);
    Button(&CityFrame, "btnNationLink")->click();
    QCOMPARE(Navigator.Take(), InNation->Nation);
    eh::ShowAllAndFocus(StadiumFrame, Stadium);
    Button(&StadiumFrame, "btnCityLink")->click();
    QCOMPARE(Navigator.Take(), Stadium->City);
    QVERIFY(Editor.Driver().Unexpected().isEmpty());
}

void ReferenceFramesJourneyTest::TheMediaScopeDecidesTheAreaControlsAndTheKindOfTarget() {
    eh::TWorldFolder World({.PeopleCount = 300, .LanguageCount = 2});
    eh::TWorldFolder Original;
    Original.CopyFrom(World);
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    TPyxDatabase& Database = Editor.Main().Database();
    eh::TModalDriver& Driver = Editor.Driver();
    auto* Medias = Editor.Frame<TframeMedia>(TTab::Media);
    QCOMPARE(eh::ItemTexts(Medias->cmbScope),
             (QStringList{"Club", "Competition", "Local", "National", "Regional", "Continental", "Worldwide"}));
    QCOMPARE(eh::ItemTexts(Medias->cmbType),
             (QStringList{"Bookmaker", "Fanzine", "Magazine", "Newspaper", "Radio", "TV", "Website"}));
    QCOMPARE(Medias->cmbPeriod->itemText(1), QString("Yearly"));
    QCOMPARE(Medias->cmbPeriod->itemText(14), QString("Weekday Evening"));

    // Worldwide: no area at all, and a Confirm leaves no target.
    TPyxMedia* Worldwide = FirstOf(Database.Medias, [](TPyxMedia& M) { return M.Scope == TPyxMedia::scWorld; });
    QVERIFY(Worldwide != nullptr);
    eh::ShowAllAndFocus(*Medias, Worldwide);
    QVERIFY(ShownAreaControls(*Medias).isEmpty());
    QVERIFY(Medias->lblArea->isHidden());
    QVERIFY(Medias->btnAreaLink->isHidden());
    Medias->btnConfirmChangesClick();
    QCOMPARE(Worldwide->Target, nullptr);

    // A club media: another scope starts empty, also when the user comes back to the old one; Cancel restores.
    TPyxMedia* ClubMedia =
        FirstOf(Database.Medias, [](TPyxMedia& M) { return M.Scope == TPyxMedia::scClub && M.Target != nullptr; });
    TPyxObject* StoredClub = ClubMedia->Target;
    const int32_t ClubMediaID = ClubMedia->UniqueID;
    eh::ShowAllAndFocus(*Medias, ClubMedia);
    QVERIFY(!Medias->lblArea->isHidden() && !Medias->btnAreaLink->isHidden());
    eh::PickItem(Medias->cmbScope, "Competition");
    QCOMPARE(ShownAreaControls(*Medias), QStringList{"ssCompetition"});
    QCOMPARE(Medias->ssCompetition->Selected(), nullptr);
    eh::PickItem(Medias->cmbScope, "Club");
    QCOMPARE(ShownAreaControls(*Medias), QStringList{"ssClub"});
    QCOMPARE(Medias->ssClub->Selected(), nullptr);
    Medias->btnCancelChangesClick();
    QCOMPARE(Medias->ssClub->Selected(), StoredClub);
    QCOMPARE(Medias->cmbScope->currentText(), QString("Club"));
    // A new scope confirmed without a pick leaves no target, never the club of the old scope.
    eh::PickItem(Medias->cmbScope, "Continental");
    QCOMPARE(ShownAreaControls(*Medias), QStringList{"cmbContinent"});
    QCOMPARE(Medias->cmbContinent->currentText(), QString("<no continent>"));
    QCOMPARE(Medias->cmbContinent->itemText(0), QString("<no continent>"));
    Medias->btnConfirmChangesClick();
    QCOMPARE(ClubMedia->Scope, uint8_t(TPyxMedia::scContinent));
    QCOMPARE(ClubMedia->Target, nullptr);
    eh::PickItem(Medias->cmbScope, "Regional");
    QCOMPARE(Medias->cmbRegion->itemText(0), QString("<no region>"));
    TPyxRegion* Region = Database.Regions.Items(0);
    eh::PickItem(Medias->cmbRegion, TPyxListModel::DisplayName(*Region));
    Medias->btnConfirmChangesClick();
    QCOMPARE(ClubMedia->Scope, uint8_t(TPyxMedia::scRegion));
    QCOMPARE(ClubMedia->Target, static_cast<TPyxObject*>(Region));
    // The area picked, then the scope changed: the pick goes with the old scope.
    eh::PickItem(Medias->cmbScope, "Local");
    TPyxCity* City = Database.Cities.Items(0);
    eh::PickInSelector(Driver, Medias->ssCity, City);
    eh::PickItem(Medias->cmbScope, "National");
    QCOMPARE(Medias->ssCity->Selected(), nullptr);
    Medias->btnConfirmChangesClick();
    QCOMPARE(ClubMedia->Scope, uint8_t(TPyxMedia::scNation));
    QCOMPARE(ClubMedia->Target, nullptr);
    eh::PickItem(Medias->cmbScope, "Local");
    eh::PickInSelector(Driver, Medias->ssCity, City);
    Medias->btnConfirmChangesClick();
    QCOMPARE(ClubMedia->Target, static_cast<TPyxObject*>(City));

    // A scope outside the list shows no scope and no area control; a Confirm keeps both scope and target.
    TPyxMedia* Odd = FirstOf(Database.Medias, [](TPyxMedia& M) { return M.Scope == TPyxMedia::scNation; });
    Odd->Scope = 9;
    TPyxObject* OddTarget = Odd->Target;
    const int32_t OddID = Odd->UniqueID;
    eh::ShowAllAndFocus(*Medias, Odd);
    QCOMPARE(Medias->cmbScope->currentIndex(), -1);
    QVERIFY(ShownAreaControls(*Medias).isEmpty());
    QVERIFY(!Medias->lblArea->isHidden());
    eh::PickItem(Medias->cmbType, "TV");
    Medias->btnConfirmChangesClick();
    QCOMPARE(Odd->Scope, uint8_t(9));
    QCOMPARE(Odd->Target, OddTarget);
    QCOMPARE(Odd->MediaType, uint8_t(5));

    // The club list holds at most 255 clubs, its count being one byte: an Add beyond says so and adds nothing.
    TPyxMedia* Full = FirstOf(Database.Medias, [&](TPyxMedia& M) {
        return M.UniqueID != ClubMediaID && M.UniqueID != OddID && &M != Worldwide;
    });
    const int32_t FullID = Full->UniqueID;
    Full->Clubs.Clear();
    for (int I = 0; I < TframeMedia::MaxClubs; ++I)
        Full->Clubs.Add(Database.Clubs.Items(I % Database.Clubs.Count()));
    eh::ShowAllAndFocus(*Medias, Full);
    QCOMPARE(Medias->lboxClubs->count(), 255);
    QString Refusal;
    Driver.Expect(eh::TModalDriver::Answer(QMessageBox::Ok, &Refusal));
    Medias->btnAddClub->click();
    QCOMPARE(Refusal, QString("msgError\nError\nThis media already follows 255 clubs, the most its record can hold.\n"
                              "Delete a club from its list before adding another."));
    QCOMPARE(Medias->lboxClubs->count(), 255);
    Medias->lboxClubs->setCurrentRow(0);
    Medias->btnDelete->click();
    TPyxClub* Last = Database.Clubs.Items(0);
    AddClubThroughDialog(Driver, *Medias, Last);
    QCOMPARE(Medias->lboxClubs->count(), 255);
    Medias->btnConfirmChangesClick();
    QCOMPARE(Full->Clubs.Count(), 255);
    QCOMPARE(Full->Clubs.Data()[254], Last);

    Editor.SaveData();
    eh::TWorldFolder Expected;
    eh::ModelSave(Original.Path(), Expected.Path(), [&](TPyxDatabase& Model) {
        TPyxMedia* M = Model.Medias.FindByUniqueID(ClubMediaID);
        M->Scope = TPyxMedia::scCity;
        M->Target = Model.Cities.FindByUniqueID(City->UniqueID);
        TPyxMedia* O = Model.Medias.FindByUniqueID(OddID);
        O->Scope = 9;
        O->MediaType = 5;
        TPyxMedia* F = Model.Medias.FindByUniqueID(FullID);
        F->Clubs.Clear();
        for (int I = 1; I < TframeMedia::MaxClubs; ++I)
            F->Clubs.Add(Model.Clubs.Items(I % Model.Clubs.Count()));
        F->Clubs.Add(Model.Clubs.Items(0));
    });
    QCOMPARE(eh::FolderDifference(Expected.Path(), World.Path()), QString());
    QVERIFY(Driver.Unexpected().isEmpty());
}

void ReferenceFramesJourneyTest::TheAwardRulesEnableOnlyTheControlsTheyUse() {
    eh::TWorldFolder World({.PeopleCount = 300, .LanguageCount = 2});
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    TPyxDatabase& Database = Editor.Main().Database();
    auto* Awards = Editor.Frame<TframeAward>(TTab::Awards);
    QCOMPARE(Awards->cmbAwardType->itemText(0), QString("<unspecified>"));
    QCOMPARE(Awards->cmbAwardType->itemText(14), QString("Top Goalscorer"));
    // The sorted lists read in the order of the user's locale and carry the game's codes.
    for (TIntegerComboBox* Combo :
         {Awards->cmbAwardType, Awards->cmbScope, Awards->cmbRunBy, Awards->cmbDateRule, Awards->cmbFormation})
        for (int I = 1; I < Combo->count(); ++I)
            QVERIFY2(CompareItemTexts(Combo->itemText(I - 1), Combo->itemText(I)) <= 0, qPrintable(Combo->itemText(I)));
    QCOMPARE(Awards->cmbFormation->count(), 18);
    QCOMPARE(Awards->cmbFormation->GetItem(Awards->cmbFormation->findText("<Not Specified>")), 0);
    QCOMPARE(Awards->cmbFormation->GetItem(Awards->cmbFormation->findText("3-4-1-2")), 10);
    QCOMPARE(Awards->cmbScope->GetItem(Awards->cmbScope->findText("Nation Managers in World")), 7);
    QCOMPARE(eh::ItemTexts(Awards->cmbRunBy),
             (QStringList{"<not set>", "The Football Association", "The Media", "The Players"}));

    // A date rule other than "Specified Time" shows 1 January 1900 in the disabled picker, whatever is stored.
    TPyxAward* Award = Database.Awards.Items(0);
    Award->DateRule = 3;
    Award->AwardDate = TPyxDate{100, 2001};
    Award->AwardType = 1;
    Award->Formation = 7;
    Award->MaxAge = 12;
    eh::ShowAllAndFocus(*Awards, Award);
    QVERIFY(!Awards->dtpAwardDate->isEnabled());
    QCOMPARE(Awards->dtpAwardDate->date(), QDate(1900, 1, 1));
    QVERIFY(Awards->cmbFormation->isEnabled());
    QCOMPARE(Awards->cmbFormation->GetSelected(), 7);
    QVERIFY(!Awards->seMaxAge->isEnabled());
    QCOMPARE(Awards->seMaxAge->Value(), 0);
    Awards->btnCancelChangesClick();
    QCOMPARE(Awards->dtpAwardDate->date(), QDate(1900, 1, 1));
    // Untouched, the award keeps what it stores for the controls its rules disable.
    Awards->btnConfirmChangesClick();
    QCOMPARE(Award->AwardDate, (TPyxDate{100, 2001}));
    QCOMPARE(Award->MaxAge, uint8_t(12));
    QCOMPARE(Award->Formation, uint8_t(7));

    // "Specified Time" enables the picker without changing its date; another rule resets it.
    eh::PickItem(Awards->cmbDateRule, "Specified Time");
    QVERIFY(Awards->dtpAwardDate->isEnabled());
    QCOMPARE(Awards->dtpAwardDate->date(), QDate(1900, 1, 1));
    Awards->dtpAwardDate->setDate(QDate(2005, 8, 1));
    eh::PickItem(Awards->cmbDateRule, "End of Month");
    QVERIFY(!Awards->dtpAwardDate->isEnabled());
    QCOMPARE(Awards->dtpAwardDate->date(), QDate(1900, 1, 1));
    // A type other than "Best Team" resets the formation. Back at "Best Team", the type is the one stored: the
    // maximum age it does not use stays as stored, and the formation picked is written.
    eh::PickItem(Awards->cmbAwardType, "Best Manager");
    QVERIFY(!Awards->cmbFormation->isEnabled());
    QCOMPARE(Awards->cmbFormation->currentText(), QString("<Not Specified>"));
    eh::PickItem(Awards->cmbAwardType, "Best Team");
    QVERIFY(Awards->cmbFormation->isEnabled());
    eh::PickItem(Awards->cmbFormation, "4-4-2");
    Awards->btnConfirmChangesClick();
    QCOMPARE(Award->AwardType, uint8_t(1));
    QCOMPARE(Award->Formation, uint8_t(3));
    QCOMPARE(Award->MaxAge, uint8_t(12));
    QCOMPARE(Award->DateRule, uint8_t(2));
    QCOMPARE(Award->AwardDate, (TPyxDate{0, 1900}));
    // A new type takes the controls it disables as they show: the formation reset, the maximum age 0.
    eh::PickItem(Awards->cmbAwardType, "Best Manager");
    Awards->btnConfirmChangesClick();
    QCOMPARE(Award->AwardType, uint8_t(3));
    QCOMPARE(Award->Formation, uint8_t(0));
    QCOMPARE(Award->MaxAge, uint8_t(0));
    Award->AwardType = 1;

    // A "Best Team" award given at a specified time keeps its date; its maximum age shows 0, disabled.
    Award->DateRule = 6;
    Award->AwardDate = TPyxDate{45, 2006};
    eh::ShowAllAndFocus(*Awards, Award);
    QVERIFY(Awards->dtpAwardDate->isEnabled());
    QCOMPARE(Awards->dtpAwardDate->date(), QDate(2006, 2, 15));
    QVERIFY(!Awards->seMaxAge->isEnabled());
    Awards->btnConfirmChangesClick();
    QCOMPARE(Award->AwardDate, (TPyxDate{45, 2006}));
    QVERIFY(Editor.Driver().Unexpected().isEmpty());
}

void ReferenceFramesJourneyTest::AddedCitiesStadiumsAndMediaSurviveSaveAndReloadInEveryLanguage() {
    eh::TWorldFolder World({.PeopleCount = 300, .LanguageCount = 3});
    eh::TWorldFolder Original;
    Original.CopyFrom(World);
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    TfrmMain& Main = Editor.Main();
    TPyxDatabase& Database = Main.Database();
    eh::TModalDriver& Driver = Editor.Driver();
    auto* Cities = Editor.Frame<TframeCity>(TTab::Cities);
    auto* Stadiums = Editor.Frame<TframeStadium>(TTab::Stadia);
    auto* Medias = Editor.Frame<TframeMedia>(TTab::Media);
    for (QAction* Add : {Main.mnuAddCity, Main.mnuAddStadium, Main.mnuAddMedia})
        QVERIFY2(Add->isEnabled(), qPrintable(Add->objectName()));

    // Rows listed before an Add stay; the new entity comes after them, focused, with its defaults.
    Cities->SearchEdit()->setText("a");
    Cities->btnSearchClick();
    const int Listed = Cities->Search()->Model().Count();
    QVERIFY(Listed > 0);
    const int CityCount = Database.Cities.Count();
    Main.Tabs()->setCurrentWidget(Main.Sheet(TTab::Stages));
    Main.mnuAddCity->trigger();
    QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::Cities));
    QCOMPARE(Database.Cities.Count(), CityCount + 1);
    QCOMPARE(Cities->Search()->Model().Count(), Listed + 1);
    TPyxCity* NewCity = Database.Cities.Items(CityCount);
    QCOMPARE(Cities->CurrentObject(), NewCity);
    QCOMPARE(Cities->List()->FocusedRow(), Listed);
    QVERIFY(Cities->Pages()->isEnabled());
    QCOMPARE(Cities->edCityName->text(), QString());
    QCOMPARE(Cities->ssNation->edSelection->text(), QString("<no nation>"));
    QCOMPARE(NewCity->LangObjects->Count(), 2);
    const int32_t CityID = NewCity->UniqueID;
    QCOMPARE(eh::EditNames(Driver, Button(Cities, "btnCityName"), CityNames).mid(1),
             (QStringList{"English", "French", "German"}));
    eh::EditNames(Driver, Button(Cities, "btnCitizen"), {"Lakers", "Lacustres", "Seeleute"});
    eh::TypeInto(Cities->seLatitude, "45.5");
    Cities->btnConfirmChangesClick();

    Main.mnuAddStadium->trigger();
    QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::Stadia));
    auto* NewStadium = static_cast<TPyxStadium*>(Stadiums->CurrentObject());
    QVERIFY(NewStadium != nullptr);
    const int32_t StadiumID = NewStadium->UniqueID;
    QCOMPARE(Stadiums->edPictureID->text(), QString::number(StadiumID));
    QCOMPARE(Stadiums->seDecay->Value(), 5);
    eh::EditNames(Driver, Button(Stadiums, "btnStadiumName"), StadiumNames);
    eh::PickInSelector(Driver, Stadiums->ssCity, NewCity);
    Stadiums->btnConfirmChangesClick();

    Main.mnuAddMedia->trigger();
    QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::Media));
    auto* NewMedia = static_cast<TPyxMedia*>(Medias->CurrentObject());
    QVERIFY(NewMedia != nullptr);
    const int32_t MediaID = NewMedia->UniqueID;
    QCOMPARE(Medias->cmbScope->currentText(), QString("Worldwide"));
    QVERIFY(Medias->lblArea->isHidden());
    QCOMPARE(Medias->cmbPeriod->currentText(), QString("Weekday Morning"));
    eh::EditNames(Driver, Button(Medias, "btnLongName"), MediaNames);
    eh::EditNames(Driver, Button(Medias, "btnShortName"), {"EC", "CS", "AC"});
    Medias->btnConfirmChangesClick();

    Editor.SaveData();
    eh::TWorldFolder Expected;
    eh::ModelSave(Original.Path(), Expected.Path(), [&](TPyxDatabase& Model) {
        TPyxCity* C = Model.AddCity();
        C->Name = U16(CityNames[0]);
        C->Lang(0)->Name = U16(CityNames[1]);
        C->Lang(1)->Name = U16(CityNames[2]);
        C->CitizenName = u"Lakers";
        C->Lang(0)->CitizenName = u"Lacustres";
        C->Lang(1)->CitizenName = u"Seeleute";
        C->Latitude = 45.5f;
        TPyxStadium* S = Model.AddStadium();
        S->Name = U16(StadiumNames[0]);
        S->Lang(0)->Name = U16(StadiumNames[1]);
        S->Lang(1)->Name = U16(StadiumNames[2]);
        S->City = C;
        TPyxMedia* M = Model.AddMedia();
        M->LongName = U16(MediaNames[0]);
        M->Lang(0)->LongName = U16(MediaNames[1]);
        M->Lang(1)->LongName = U16(MediaNames[2]);
        M->ShortName = u"EC";
        M->Lang(0)->ShortName = u"CS";
        M->Lang(1)->ShortName = u"AC";
    });
    QCOMPARE(eh::FolderDifference(Expected.Path(), World.Path()), QString());

    // Loaded again, each shows its texts in every language.
    Editor.LoadData();
    TPyxDatabase& Reloaded = Main.Database();
    TPyxCity* City = Reloaded.Cities.FindByUniqueID(CityID);
    QVERIFY(City != nullptr);
    Main.ShowCity(City);
    QCOMPARE(eh::NamesShown(Driver, Button(Cities, "btnCityName")), CityNames);
    QCOMPARE(eh::NamesShown(Driver, Button(Cities, "btnCitizen")), (QStringList{"Lakers", "Lacustres", "Seeleute"}));
    QCOMPARE(Cities->seLatitude->Value(), 45.5);
    Main.ShowStadium(Reloaded.Stadiums.FindByUniqueID(StadiumID));
    QCOMPARE(Stadiums->edPictureID->text(), QString::number(StadiumID));
    QCOMPARE(eh::NamesShown(Driver, Button(Stadiums, "btnStadiumName")), StadiumNames);
    QCOMPARE(Stadiums->ssCity->Selected(), City);
    TPyxMedia* Media = Reloaded.Medias.FindByUniqueID(MediaID);
    QVERIFY(Media != nullptr);
    eh::ShowAllAndFocus(*Medias, Media);
    QCOMPARE(eh::NamesShown(Driver, Button(Medias, "btnLongName")), MediaNames);
    QCOMPARE(eh::NamesShown(Driver, Button(Medias, "btnShortName")), (QStringList{"EC", "CS", "AC"}));
    QVERIFY(Driver.Unexpected().isEmpty());
}

void ReferenceFramesJourneyTest::WithoutAllLanguagesNothingCanBeAddedAndNoNameChanged() {
    eh::TWorldFolder World({.PeopleCount = 300, .LanguageCount = 3});
    eh::TEditorSession Editor(World.Path(), false, true);
    Editor.LoadData();
    TfrmMain& Main = Editor.Main();
    TPyxDatabase& Database = Main.Database();
    for (QAction* Add : {Main.mnuAddCity, Main.mnuAddStadium, Main.mnuAddMedia})
        QVERIFY2(!Add->isEnabled(), qPrintable(Add->objectName()));
    const int Cities = Database.Cities.Count();
    Main.mnuAddCity->trigger();
    QCOMPARE(Database.Cities.Count(), Cities);

    const auto NameButtonsOff = [&](TPyxEditorFrame* Frame, const TPyxObject* Entity,
                                    std::initializer_list<const char*> Names) {
        eh::ShowAllAndFocus(*Frame, Entity);
        for (const char* Name : Names)
            if (Button(Frame, Name)->isEnabled())
                return false;
        return Frame->Pages()->isEnabled();
    };
    QVERIFY(NameButtonsOff(Editor.Frame(TTab::Media), Database.Medias.Items(0), {"btnLongName", "btnShortName"}));
    QVERIFY(
        NameButtonsOff(Editor.Frame(TTab::Awards), Database.Awards.Items(0), {"btnAwardName", "btnShortAwardName"}));
    QVERIFY(NameButtonsOff(Editor.Frame(TTab::Cities), Database.Cities.Items(0), {"btnCityName", "btnCitizen"}));
    QVERIFY(NameButtonsOff(Editor.Frame(TTab::Stadia), Database.Stadiums.Items(0), {"btnStadiumName"}));
    QCOMPARE(Editor.Frame<TframeCity>(TTab::Cities)->edCityName->text(),
             QString::fromStdU16String(Database.Cities.Items(0)->Name));
}

void ReferenceFramesJourneyTest::StoredValuesTheControlsCannotShowSurviveConfirmingEveryEntity() {
    // Values no control shows as stored: coordinates with more decimals than the edits show, codes no list
    // carries, numbers beyond the forms' limits, an extinct byte that is neither 0 nor 1, a media scope outside
    // the list, award rules with values their disabled controls would reset.
    eh::TWorldFolder Generated({.PeopleCount = 300, .Version = 112, .LanguageCount = 3});
    eh::TWorldFolder World;
    eh::ModelSave(Generated.Path(), World.Path(), [](TPyxDatabase& Model) {
        for (int32_t I = 0; I < Model.Cities.Count(); ++I) {
            TPyxCity* C = Model.Cities.Items(I);
            C->Latitude = 12.3456789f + static_cast<float>(I % 50);
            C->Longitude = -250.5f;
            C->Altitude = -40;
            C->Attraction = 99;
        }
        for (int32_t I = 0; I < Model.Stadiums.Count(); ++I) {
            TPyxStadium* S = Model.Stadiums.Items(I);
            S->State = 9;
            S->Extinct = 3;
            S->Capacity = 900000;
            S->PitchLength = -1;
            S->Flags = static_cast<uint8_t>(0xF0 | (I & 0x0F));
        }
        for (int32_t I = 0; I < Model.Awards.Count(); ++I) {
            TPyxAward* A = Model.Awards.Items(I);
            A->AwardType = static_cast<uint8_t>(I % 2 == 0 ? 40 : 3);
            A->DateRule = 9;
            A->AwardDate = TPyxDate{500, 1850};
            A->MaxAge = 25;
            A->Formation = 30;
            A->Reputation = 300;
        }
        for (int32_t I = 0; I < Model.Medias.Count(); I += 3) {
            Model.Medias.Items(I)->Scope = 0;
            Model.Medias.Items(I)->MediaType = 0;
            Model.Medias.Items(I)->Period = 20;
        }
    });
    eh::TWorldFolder Expected;
    eh::ModelSave(World.Path(), Expected.Path());
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    TPyxDatabase& Database = Editor.Main().Database();
    auto* Cities = Editor.Frame<TframeCity>(TTab::Cities);
    eh::ShowAllAndFocus(*Cities, Database.Cities.Items(0));
    QCOMPARE(Cities->seLatitude->text(), QString("12.346"));
    QCOMPARE(Cities->seAttraction->Value(), 99);
    auto* Stadiums = Editor.Frame<TframeStadium>(TTab::Stadia);
    eh::ShowAllAndFocus(*Stadiums, Database.Stadiums.Items(0));
    QCOMPARE(Stadiums->cmbStadiumState->currentIndex(), -1);
    QVERIFY(Stadiums->cbExtinct->isChecked());
    auto* Medias = Editor.Frame<TframeMedia>(TTab::Media);
    eh::ShowAllAndFocus(*Medias, Database.Medias.Items(0));
    QCOMPARE(Medias->cmbScope->currentIndex(), -1);
    QCOMPARE(Medias->cmbType->currentIndex(), -1);

    for (TTab Tab : {TTab::Media, TTab::Awards, TTab::Cities, TTab::Stadia}) {
        TPyxEditorFrame* Frame = Editor.Frame(Tab);
        Frame->SearchEdit()->clear();
        Frame->btnSearchClick();
        for (int Row = 0; Row < Frame->Search()->Model().Count(); ++Row) {
            Frame->List()->FocusRow(Row);
            QTest::mouseClick(Frame->ConfirmButton(), Qt::LeftButton);
        }
    }
    QCOMPARE(Database.Cities.Items(0)->Latitude, 12.3456789f);
    QCOMPARE(Database.Stadiums.Items(0)->Extinct, uint8_t(3));
    Editor.SaveData();
    QCOMPARE(eh::FolderDifference(Expected.Path(), World.Path()), QString());
    QVERIFY(Editor.Driver().Unexpected().isEmpty());
}

PYX_EDITOR_TEST_MAIN(ReferenceFramesJourneyTest)
#include "ReferenceFramesJourneyTest.moc"
