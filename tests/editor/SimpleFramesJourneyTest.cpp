// The continent, weather, injury and language tabs: each found, focused and edited through every kind of control
// it has (names in every loaded language, float and integer spin edits, code lists, a check box, the seasons'
// dates), confirmed, saved, reloaded and compared with what the data model writes for the same edits; Cancel
// brings the stored values back; stored values the controls cannot show are kept unless the user edits them; the
// lists show their items in the order users see; and without all languages the names cannot be changed.

#include "EditorHarness.h"
#include "EditorTestMain.h"
#include "FrameDriving.h"

#include "IntegerComboBox.h"
#include "PyxDatabase.h"
#include "PyxListModel.h"
#include "PyxListView.h"
#include "PyxSearch.h"
#include "SpinEdit.h"
#include "SpinFloatEdit.h"
#include "frameContinentUnit.h"
#include "frameInjuryUnit.h"
#include "frameLanguageUnit.h"
#include "frameWeatherSeasonUnit.h"
#include "frameWeatherUnit.h"
#include "frmMainUnit.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {

const QStringList ContinentNames = {"Oce\u00e1nie du Sud", "\u041e\u043a\u0435\u0430\u043d\u0438\u044f",
                                    "\u5927\u6d0b\u6d32 \u0142"};
const QStringList FederationNames = {"Federation of the South", "F\u00e9d\u00e9ration du Sud", "S\u00fcdverband"};
const QStringList InjuryNames = {"Torn hamstring", "D\u00e9chirure", "Zerrung \u00df"};

QToolButton* Button(QWidget* Frame, const char* Name) {
    return eh::Find<QToolButton>(Frame, Name);
}

using eh::FirstOf;

using eh::U16;

// A language whose three codes differ from every code the test picks for it.
TPyxLanguage* LanguageToEdit(TPyxDatabase& Database) {
    for (int32_t I = 0; I < Database.Languages.Count(); ++I) {
        TPyxLanguage* Language = Database.Languages.Items(I);
        if (Language->Family != 109 && Language->Group != 22 && Language->SubGroup != 1)
            return Language;
    }
    return nullptr;
}

} // namespace

class SimpleFramesJourneyTest final : public QObject {
    Q_OBJECT
private slots:
    void EveryKindOfControlIsEditedConfirmedSavedAndReloadedOnTheFourTabs();
    void StoredValuesTheControlsCannotShowSurviveConfirmAndCancelRestores();
    void WithoutAllLanguagesOnlyTheUntranslatedNamesCanBeChanged();
};

void SimpleFramesJourneyTest::EveryKindOfControlIsEditedConfirmedSavedAndReloadedOnTheFourTabs() {
    eh::TWorldFolder World({.PeopleCount = 200, .LanguageCount = 3});
    eh::TWorldFolder Original;
    Original.CopyFrom(World);
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    TfrmMain& Main = Editor.Main();
    TPyxDatabase& Database = Main.Database();

    // Continents: found by the search, reached through the main window, names edited in every language.
    auto* Continents = Editor.Frame<TframeContinent>(TTab::Continents);
    Continents->btnSearchClick();
    QCOMPARE(Continents->SearchResultText(), QString::number(Database.Continents.Count()) + " Continents Found");
    QCOMPARE(Continents->Search()->Model().Count(), Database.Continents.Count());
    QVERIFY(!Continents->Pages()->isEnabled());
    TPyxContinent* Continent = Database.Continents.Items(Database.Continents.Count() - 1);
    const int32_t ContinentID = Continent->UniqueID;
    const std::u16string ShortContinent = Continent->ShortName;
    Main.ShowContinent(Continent);
    QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::Continents));
    QCOMPARE(Continents->CurrentObject(), Continent);
    QCOMPARE(Continents->Search()->Model().Count(), 1);
    QCOMPARE(Continents->edContinentName->text(), QString::fromStdU16String(Continent->Name));
    QCOMPARE(Continents->edFederationName->text(), QString::fromStdU16String(Continent->FederationName));
    QCOMPARE(Continents->seRegionalStrength->Value(), double(Continent->RegionalStrength));
    // Cancel shows the stored names and strength again over edits not confirmed, and changes nothing.
    const QStringList StoredContinent = eh::ShownValues(*Continents);
    const QStringList StoredNames = eh::NamesShown(Editor.Driver(), Button(Continents, "btnContinentName"));
    const float StoredStrength = Continent->RegionalStrength;
    eh::EditNames(Editor.Driver(), Button(Continents, "btnContinentName"), ContinentNames);
    eh::TypeInto(Continents->seRegionalStrength, "0.01");
    QVERIFY(eh::ShownValues(*Continents) != StoredContinent);
    Continents->btnCancelChangesClick();
    QCOMPARE(eh::ShownValues(*Continents), StoredContinent);
    QCOMPARE(eh::NamesShown(Editor.Driver(), Button(Continents, "btnContinentName")), StoredNames);
    QCOMPARE(Continent->RegionalStrength, StoredStrength);
    QCOMPARE(Continent->Lang(0)->Name == U16(ContinentNames[1]), false);
    QCOMPARE(eh::EditNames(Editor.Driver(), Button(Continents, "btnContinentName"), ContinentNames),
             (QStringList{"Edit Continent Name", "English", "French", "German"}));
    QCOMPARE(eh::EditNames(Editor.Driver(), Button(Continents, "btnFederationName"), FederationNames).front(),
             QString("Edit Federation Name"));
    for (const auto& [Name, Title] : {std::pair{"btnShortContinentName", "Edit Short Continent Name"},
                                      {"btnContinentalityName", "Edit Continentality Name"},
                                      {"btnShortFederationName", "Edit Short Federation Name"}})
        QCOMPARE(eh::EditNames(Editor.Driver(), Button(Continents, Name), {}, false).front(), QString(Title));
    QCOMPARE(Continents->edContinentName->text(), ContinentNames[0]);
    QCOMPARE(Continent->FederationName == U16(FederationNames[0]), false);
    // The regional strength takes two decimals and nothing above 1 while it is typed.
    eh::TypeInto(Continents->seRegionalStrength, "0.456");
    QCOMPARE(Continents->seRegionalStrength->text(), QString("0.45"));
    eh::TypeInto(Continents->seRegionalStrength, "1.5");
    QCOMPARE(Continents->seRegionalStrength->text(), QString("1."));
    eh::TypeInto(Continents->seRegionalStrength, "0.85");
    Continents->btnConfirmChangesClick();
    QCOMPARE(Continent->Name, U16(ContinentNames[0]));
    QCOMPARE(Continent->Lang(0)->Name, U16(ContinentNames[1]));
    QCOMPARE(Continent->Lang(1)->Name, U16(ContinentNames[2]));
    QCOMPARE(Continent->Lang(1)->FederationName, U16(FederationNames[2]));
    QCOMPARE(Continent->ShortName, ShortContinent);
    QCOMPARE(Continent->RegionalStrength, 0.85f);

    // Weather: the name typed, the levels and a season's start date and chances.
    auto* Weathers = Editor.Frame<TframeWeather>(TTab::Weather);
    TPyxWeather* Weather = Database.Weathers.Items(0);
    const int32_t WeatherID = Weather->UniqueID;
    Weathers->SearchEdit()->setText(QString::fromStdU16String(Weather->Name));
    QTest::keyClick(Weathers->SearchEdit(), Qt::Key_Return);
    QVERIFY(Weathers->SearchResultText().endsWith(" Types of Weather Found"));
    Weathers->List()->FocusRow(Weathers->Search()->Model().RowOf(Weather));
    QCOMPARE(Weathers->CurrentObject(), Weather);
    QCOMPARE(Weathers->pcSeasons->count(), 4);
    QCOMPARE(Weathers->pcSeasons->tabText(1), QString("S&ummer"));
    const QDate SummerShown = Weathers->frameSummer->dtpStartDate->date();
    QCOMPARE(SummerShown, QDate(2003, 1, 1).addDays(Weather->Summer.StartDay));
    eh::TypeInto(Weathers->edName, "Monsoon \u00e9t\u00e9");
    eh::TypeInto(Weathers->seWind, "300");
    QCOMPARE(Weathers->seWind->Value(), 255);
    eh::TypeInto(Weathers->sePrecipitation, "17");
    Weathers->frameSummer->dtpStartDate->setDate(QDate(2003, 3, 1));
    eh::TypeInto(Weathers->frameSummer->seGale, "150");
    eh::TypeInto(Weathers->frameWinter->seVeryHot, "3");
    Weathers->btnConfirmChangesClick();
    QCOMPARE(Weather->Name, std::u16string(u"Monsoon \u00e9t\u00e9"));
    QCOMPARE(Weather->Wind, uint8_t(255));
    QCOMPARE(Weather->Precipitation, uint8_t(17));
    QCOMPARE(Weather->Summer.StartDay, int16_t(59));
    QCOMPARE(Weather->Summer.Wind.Gale, uint8_t(100));
    QCOMPARE(Weather->Winter.Temperature.VeryHot, uint8_t(3));
    // A date picked in this year cannot be 29 February.
    Weathers->frameSpring->dtpStartDate->setDate(QDate(2003, 2, 28));
    QCOMPARE(Weathers->frameSpring->dtpStartDate->maximumDate(), QDate(2003, 12, 31));
    QVERIFY(!QDate(2003, 2, 29).isValid());
    Weathers->btnCancelChangesClick();

    // Injuries: both names, the two code lists, the spin edits and the check box.
    auto* Injuries = Editor.Frame<TframeInjury>(TTab::Injuries);
    TPyxInjury* Injury = Database.Injuries.Items(1);
    const int32_t InjuryID = Injury->UniqueID;
    const uint8_t WasRecurring = Injury->Recurring;
    Main.ShowInjury(Injury);
    QCOMPARE(Main.Tabs()->currentWidget(), Main.Sheet(TTab::Injuries));
    QCOMPARE(Injuries->CurrentObject(), Injury);
    eh::EditNames(Editor.Driver(), Button(Injuries, "btnInjuryName"), InjuryNames);
    QCOMPARE(eh::EditNames(Editor.Driver(), Button(Injuries, "btnSentenceName"), {"a torn hamstring"}).front(),
             QString("Edit Sentence Name"));
    eh::PickItem(Injuries->cmbCategory, "Shoulder");
    eh::PickItem(Injuries->cmbSeverity, "Illness");
    eh::TypeInto(Injuries->seChance, "42");
    eh::TypeInto(Injuries->seMinimumDaysOut, "999");
    eh::TypeInto(Injuries->seExtraDaysOut, "12");
    eh::TypeInto(Injuries->seInactiveRatio, "33");
    eh::ClickCheckBox(Injuries->cbRecurring);
    Injuries->btnConfirmChangesClick();
    QCOMPARE(Injury->Name, U16(InjuryNames[0]));
    QCOMPARE(Injury->Lang(1)->Name, U16(InjuryNames[2]));
    QCOMPARE(Injury->SentenceName, std::u16string(u"a torn hamstring"));
    QCOMPARE(Injury->Category, uint8_t(9));
    QCOMPARE(Injury->Severity, uint8_t(255));
    QCOMPARE(Injury->Chance, uint8_t(42));
    QCOMPARE(Injury->MinimumDaysOut, int16_t(500));
    QCOMPARE(Injury->ExtraDaysOut, int16_t(12));
    QCOMPARE(Injury->InactiveRatio, uint8_t(33));
    QCOMPARE(Injury->Recurring, uint8_t(WasRecurring != 0 ? 0 : 1));

    // Languages: the name typed, the spin edits and the three code lists.
    auto* Languages = Editor.Frame<TframeLanguage>(TTab::Languages);
    TPyxLanguage* Language = LanguageToEdit(Database);
    QVERIFY(Language != nullptr);
    const int32_t LanguageID = Language->UniqueID;
    Main.ShowLanguage(Language);
    QCOMPARE(Languages->CurrentObject(), Language);
    QCOMPARE(Languages->edLanguageName->text(), QString::fromStdU16String(Language->Name));
    eh::TypeInto(Languages->edLanguageName, "Kernewek \u0175");
    eh::TypeInto(Languages->seInfluence, "201");
    eh::TypeInto(Languages->seDifficulty, "7");
    eh::PickItem(Languages->cmbFamily, "Korean");
    eh::PickItem(Languages->cmbGroup, "Turkic");
    eh::PickItem(Languages->cmbSubGroup, "Armenian");
    Languages->btnConfirmChangesClick();
    QCOMPARE(Language->Name, std::u16string(u"Kernewek \u0175"));
    QCOMPARE(Language->Influence, uint8_t(201));
    QCOMPARE(Language->Difficulty, uint8_t(7));
    QCOMPARE(Language->Family, int16_t(109));
    QCOMPARE(Language->Group, int16_t(22));
    QCOMPARE(Language->SubGroup, int16_t(1));

    // The save writes what the data model writes for the same edits.
    Editor.SaveData();
    eh::TWorldFolder Expected;
    eh::ModelSave(Original.Path(), Expected.Path(), [&](TPyxDatabase& Model) {
        TPyxContinent* C = Model.Continents.FindByUniqueID(ContinentID);
        C->Name = U16(ContinentNames[0]);
        C->Lang(0)->Name = U16(ContinentNames[1]);
        C->Lang(1)->Name = U16(ContinentNames[2]);
        C->FederationName = U16(FederationNames[0]);
        C->Lang(0)->FederationName = U16(FederationNames[1]);
        C->Lang(1)->FederationName = U16(FederationNames[2]);
        C->RegionalStrength = 0.85f;
        TPyxWeather* W = Model.Weathers.FindByUniqueID(WeatherID);
        W->Name = u"Monsoon \u00e9t\u00e9";
        W->Wind = 255;
        W->Precipitation = 17;
        W->Summer.StartDay = 59;
        W->Summer.Wind.Gale = 100;
        W->Winter.Temperature.VeryHot = 3;
        TPyxInjury* I = Model.Injuries.FindByUniqueID(InjuryID);
        I->Name = U16(InjuryNames[0]);
        I->Lang(0)->Name = U16(InjuryNames[1]);
        I->Lang(1)->Name = U16(InjuryNames[2]);
        I->SentenceName = u"a torn hamstring";
        I->Category = 9;
        I->Severity = 255;
        I->Chance = 42;
        I->MinimumDaysOut = 500;
        I->ExtraDaysOut = 12;
        I->InactiveRatio = 33;
        I->Recurring = WasRecurring != 0 ? 0 : 1;
        TPyxLanguage* L = Model.Languages.FindByUniqueID(LanguageID);
        L->Name = u"Kernewek \u0175";
        L->Influence = 201;
        L->Difficulty = 7;
        L->Family = 109;
        L->Group = 22;
        L->SubGroup = 1;
    });
    QCOMPARE(eh::FolderDifference(Expected.Path(), World.Path()), QString());

    // Loaded again, every tab shows what was confirmed.
    Editor.LoadData();
    TPyxDatabase& Reloaded = Main.Database();
    Main.ShowContinent(Reloaded.Continents.FindByUniqueID(ContinentID));
    QCOMPARE(Continents->edContinentName->text(), ContinentNames[0]);
    QCOMPARE(eh::NamesShown(Editor.Driver(), Button(Continents, "btnContinentName")), ContinentNames);
    QCOMPARE(eh::NamesShown(Editor.Driver(), Button(Continents, "btnFederationName")), FederationNames);
    QCOMPARE(Continents->seRegionalStrength->text(), QString("0.85"));
    Main.ShowWeather(Reloaded.Weathers.FindByUniqueID(WeatherID));
    QCOMPARE(Weathers->edName->text(), QString("Monsoon \u00e9t\u00e9"));
    QCOMPARE(Weathers->seWind->Value(), 255);
    QCOMPARE(Weathers->frameSummer->dtpStartDate->date(), QDate(2003, 3, 1));
    QCOMPARE(Weathers->frameSummer->dtpStartDate->text(), QString("01-03"));
    QCOMPARE(Weathers->frameSummer->seGale->Value(), 100);
    Main.ShowInjury(Reloaded.Injuries.FindByUniqueID(InjuryID));
    QCOMPARE(Injuries->cmbCategory->currentText(), QString("Shoulder"));
    QCOMPARE(Injuries->cmbSeverity->currentText(), QString("Illness"));
    QCOMPARE(Injuries->seMinimumDaysOut->Value(), 500);
    QCOMPARE(Injuries->cbRecurring->isChecked(), WasRecurring == 0);
    QCOMPARE(eh::NamesShown(Editor.Driver(), Button(Injuries, "btnInjuryName")), InjuryNames);
    Main.ShowLanguage(Reloaded.Languages.FindByUniqueID(LanguageID));
    QCOMPARE(Languages->edLanguageName->text(), QString("Kernewek \u0175"));
    QCOMPARE(Languages->cmbFamily->currentText(), QString("Korean"));
    QCOMPARE(Languages->cmbGroup->currentText(), QString("Turkic"));
    QCOMPARE(Languages->cmbSubGroup->currentText(), QString("Armenian"));
    QCOMPARE(Languages->seInfluence->Value(), 201);
    QVERIFY(Editor.Driver().Unexpected().isEmpty());
}

void SimpleFramesJourneyTest::StoredValuesTheControlsCannotShowSurviveConfirmAndCancelRestores() {
    // A world whose continents, weathers, injuries and languages hold values the controls cannot show: codes no
    // item carries, a strength with more decimals than the edit shows, start days beyond the year, chances above
    // the form's limits.
    eh::TWorldFolder Generated({.PeopleCount = 200, .Version = 145, .LanguageCount = 3});
    eh::TWorldFolder World;
    eh::ModelSave(Generated.Path(), World.Path(), [](TPyxDatabase& Model) {
        for (int32_t I = 0; I < Model.Languages.Count(); ++I) {
            TPyxLanguage* L = Model.Languages.Items(I);
            L->Family = static_cast<int16_t>(I % 3 == 0 ? 0 : I % 3 == 1 ? -1 : 300);
            L->Group = 0;
            L->SubGroup = static_cast<int16_t>(I % 2 == 0 ? 0 : 25);
        }
        for (int32_t I = 0; I < Model.Injuries.Count(); ++I) {
            Model.Injuries.Items(I)->Severity = static_cast<uint8_t>(I % 2 == 0 ? 7 : 255);
            Model.Injuries.Items(I)->Category = static_cast<uint8_t>(I % 3 == 0 ? 13 : 2);
            Model.Injuries.Items(I)->MinimumDaysOut = -3;
            Model.Injuries.Items(I)->Recurring = 2;
        }
        for (int32_t I = 0; I < Model.Continents.Count(); ++I)
            Model.Continents.Items(I)->RegionalStrength = 0.123456f + static_cast<float>(I);
        for (int32_t I = 0; I < Model.Weathers.Count(); ++I) {
            Model.Weathers.Items(I)->Spring.StartDay = 400;
            Model.Weathers.Items(I)->Autumn.StartDay = -9;
            Model.Weathers.Items(I)->Winter.Wind.Calm = 250;
        }
    });
    eh::TWorldFolder Expected;
    eh::ModelSave(World.Path(), Expected.Path());
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    TPyxDatabase& Database = Editor.Main().Database();
    auto* Continents = Editor.Frame<TframeContinent>(TTab::Continents);
    auto* Weathers = Editor.Frame<TframeWeather>(TTab::Weather);
    auto* Injuries = Editor.Frame<TframeInjury>(TTab::Injuries);
    auto* Languages = Editor.Frame<TframeLanguage>(TTab::Languages);

    // The lists show their items as users see them, while the codes stay those of the game.
    QCOMPARE(Injuries->cmbCategory->itemText(0), QString("Arm"));
    QCOMPARE(Injuries->cmbCategory->GetItem(0), 8);
    QCOMPARE(Injuries->cmbCategory->itemText(Injuries->cmbCategory->count() - 1), QString("Upper Body"));
    QCOMPARE(eh::ItemTexts(Injuries->cmbSeverity),
             (QStringList{"Any", "Light", "Medium", "Bad", "Rehabilitation", "Illness"}));
    QCOMPARE(Injuries->cmbSeverity->GetItem(5), 255);
    QCOMPARE(Languages->cmbFamily->count(), 109);
    QCOMPARE(Languages->cmbFamily->itemText(0), QString("<Unclassified>"));
    QCOMPARE(Languages->cmbFamily->GetItem(Languages->cmbFamily->findText("Korean")), 109);
    QCOMPARE(Languages->cmbFamily->GetItem(Languages->cmbFamily->findText("Afro Asiatic")), 1);
    QCOMPARE(Languages->cmbGroup->count(), 22);
    QCOMPARE(Languages->cmbSubGroup->count(), 24);
    QCOMPARE(Languages->cmbSubGroup->GetItem(Languages->cmbSubGroup->findText("Yuat Waibuk")), 24);

    // What each shows for such a value.
    TPyxLanguage* NoFamily = FirstOf(Database.Languages, [](TPyxLanguage& L) { return L.Family == 0; });
    TPyxInjury* Severity7 = FirstOf(Database.Injuries, [](TPyxInjury& I) { return I.Severity == 7; });
    TPyxInjury* Illness =
        FirstOf(Database.Injuries, [](TPyxInjury& I) { return I.Severity == 255 && I.Category == 2; });
    TPyxContinent* Strength = FirstOf(Database.Continents, [](TPyxContinent& C) { return C.RegionalStrength < 1; });
    QVERIFY(NoFamily != nullptr && Severity7 != nullptr && Illness != nullptr && Strength != nullptr);
    eh::ShowAllAndFocus(*Languages, NoFamily);
    QCOMPARE(Languages->cmbFamily->currentIndex(), -1);
    QCOMPARE(Languages->cmbGroup->currentIndex(), -1);
    QCOMPARE(Languages->cmbSubGroup->currentIndex(), -1);
    eh::ShowAllAndFocus(*Injuries, Severity7);
    QCOMPARE(Injuries->cmbSeverity->currentIndex(), -1);
    QCOMPARE(Injuries->cmbCategory->currentIndex(), -1);
    QCOMPARE(Injuries->seMinimumDaysOut->Value(), -3);
    QVERIFY(Injuries->cbRecurring->isChecked());
    eh::ShowAllAndFocus(*Injuries, Illness);
    QCOMPARE(Injuries->cmbSeverity->currentText(), QString("Illness"));
    QCOMPARE(Injuries->cmbCategory->currentText(), QString("Shin"));
    eh::ShowAllAndFocus(*Continents, Strength);
    QCOMPARE(Continents->seRegionalStrength->text(), QString("0.12"));
    eh::ShowAllAndFocus(*Weathers, Database.Weathers.Items(0));
    QCOMPARE(Weathers->frameSpring->dtpStartDate->date(), QDate(2003, 12, 31));
    QCOMPARE(Weathers->frameAutumn->dtpStartDate->date(), QDate(2003, 1, 1));
    QCOMPARE(Weathers->frameWinter->seCalm->Value(), 250);

    // Cancel brings the stored values back over edits not confirmed, and a Confirm afterwards changes nothing.
    eh::PickItem(Languages->cmbFamily, "Basque");
    eh::TypeInto(Languages->seDifficulty, "99");
    Languages->btnCancelChangesClick();
    QCOMPARE(Languages->cmbFamily->currentIndex(), -1);
    QCOMPARE(Languages->seDifficulty->Value(), int(NoFamily->Difficulty));
    eh::PickItem(Injuries->cmbSeverity, "Bad");
    eh::ClickCheckBox(Injuries->cbRecurring);
    eh::EditNames(Editor.Driver(), Button(Injuries, "btnInjuryName"), {"Changed", "Chang\u00e9"});
    Injuries->btnCancelChangesClick();
    QCOMPARE(Injuries->cmbSeverity->currentText(), QString("Illness"));
    QVERIFY(Injuries->cbRecurring->isChecked());
    QCOMPARE(Injuries->edInjuryName->text(), QString::fromStdU16String(Illness->Name));
    Weathers->frameSpring->dtpStartDate->setDate(QDate(2003, 6, 1));
    eh::TypeInto(Weathers->frameWinter->seCalm, "5");
    Weathers->btnCancelChangesClick();
    QCOMPARE(Weathers->frameSpring->dtpStartDate->date(), QDate(2003, 12, 31));
    QCOMPARE(Weathers->frameWinter->seCalm->Value(), 250);

    // Every entity of the four tabs confirmed without an edit: the save is the data model's, byte for byte.
    for (TPyxEditorFrame* Frame : std::initializer_list<TPyxEditorFrame*>{Continents, Weathers, Injuries, Languages}) {
        Frame->SearchEdit()->clear();
        Frame->btnSearchClick();
        for (int Row = 0; Row < Frame->Search()->Model().Count(); ++Row) {
            Frame->List()->FocusRow(Row);
            QTest::mouseClick(Frame->ConfirmButton(), Qt::LeftButton);
        }
    }
    QCOMPARE(NoFamily->Family, int16_t(0));
    QCOMPARE(Severity7->Severity, uint8_t(7));
    QCOMPARE(Severity7->Recurring, uint8_t(2));
    QCOMPARE(Strength->RegionalStrength, 0.123456f);
    QCOMPARE(Database.Weathers.Items(0)->Spring.StartDay, int16_t(400));
    Editor.SaveData();
    QCOMPARE(eh::FolderDifference(Expected.Path(), World.Path()), QString());

    // A code picked is written; the lists the user did not touch keep theirs.
    eh::ShowAllAndFocus(*Languages, NoFamily);
    eh::PickItem(Languages->cmbGroup, "Baltic");
    Languages->btnConfirmChangesClick();
    QCOMPARE(NoFamily->Group, int16_t(4));
    QCOMPARE(NoFamily->Family, int16_t(0));
    QCOMPARE(NoFamily->SubGroup, int16_t(0));
    eh::ShowAllAndFocus(*Injuries, Severity7);
    eh::PickItem(Injuries->cmbSeverity, "Any");
    Injuries->btnConfirmChangesClick();
    QCOMPARE(Severity7->Severity, uint8_t(0));
    QCOMPARE(Severity7->Category, uint8_t(13));
    eh::ShowAllAndFocus(*Weathers, Database.Weathers.Items(0));
    Weathers->frameSpring->dtpStartDate->setDate(QDate(2003, 1, 2));
    Weathers->btnConfirmChangesClick();
    QCOMPARE(Database.Weathers.Items(0)->Spring.StartDay, int16_t(1));
    QCOMPARE(Database.Weathers.Items(0)->Autumn.StartDay, int16_t(-9));
    QVERIFY(Editor.Driver().Unexpected().isEmpty());
}

void SimpleFramesJourneyTest::WithoutAllLanguagesOnlyTheUntranslatedNamesCanBeChanged() {
    eh::TWorldFolder World({.PeopleCount = 200, .LanguageCount = 3});
    eh::TWorldFolder Original;
    Original.CopyFrom(World);
    eh::TEditorSession Editor(World.Path(), false, true);
    Editor.LoadData();
    TPyxDatabase& Database = Editor.Main().Database();
    auto* Continents = Editor.Frame<TframeContinent>(TTab::Continents);
    auto* Injuries = Editor.Frame<TframeInjury>(TTab::Injuries);
    auto* Weathers = Editor.Frame<TframeWeather>(TTab::Weather);
    auto* Languages = Editor.Frame<TframeLanguage>(TTab::Languages);

    eh::ShowAllAndFocus(*Continents, Database.Continents.Items(0));
    for (const char* Name : {"btnContinentName", "btnShortContinentName", "btnContinentalityName", "btnFederationName",
                             "btnShortFederationName"})
        QVERIFY2(!Button(Continents, Name)->isEnabled(), Name);
    QCOMPARE(Continents->edContinentName->text(), QString::fromStdU16String(Database.Continents.Items(0)->Name));
    QVERIFY(Continents->edContinentName->isReadOnly());
    eh::ShowAllAndFocus(*Injuries, Database.Injuries.Items(0));
    for (const char* Name : {"btnInjuryName", "btnSentenceName"})
        QVERIFY2(!Button(Injuries, Name)->isEnabled(), Name);

    // Weather and language names are typed, whatever languages were loaded.
    TPyxWeather* Weather = Database.Weathers.Items(1);
    const int32_t WeatherID = Weather->UniqueID;
    eh::ShowAllAndFocus(*Weathers, Weather);
    QVERIFY(!Weathers->edName->isReadOnly());
    eh::TypeInto(Weathers->edName, "Dry Season");
    Weathers->btnConfirmChangesClick();
    TPyxLanguage* Language = Database.Languages.Items(1);
    const int32_t LanguageID = Language->UniqueID;
    eh::ShowAllAndFocus(*Languages, Language);
    eh::TypeInto(Languages->edLanguageName, "Esperanto");
    Languages->btnConfirmChangesClick();
    Editor.SaveData();

    eh::TWorldFolder Expected;
    Expected.CopyFrom(Original);
    eh::ModelSave(
        Original.Path(), Expected.Path(),
        [&](TPyxDatabase& Model) {
            Model.Weathers.FindByUniqueID(WeatherID)->Name = u"Dry Season";
            Model.Languages.FindByUniqueID(LanguageID)->Name = u"Esperanto";
        },
        false, true);
    QCOMPARE(eh::FolderDifference(Expected.Path(), World.Path()), QString());
    QVERIFY(Editor.Driver().Unexpected().isEmpty());
}

PYX_EDITOR_TEST_MAIN(SimpleFramesJourneyTest)
#include "SimpleFramesJourneyTest.moc"
