// The frame pattern every tab reuses, on two small frames built here the way the tabs are built: a city frame
// (a translated name, a selector with its link button, a pointer combo, a float and two integer spin edits) and an
// award frame (an integer combo, a date and a colour). Confirm writes exactly what the user changed, a detach
// empties every control that holds an entity, and a delete in one frame is purged from the others.

#include "EditorHarness.h"
#include "EditorTestMain.h"

#include "PyxDatabase.h"
#include "PyxFrame.h"
#include "PyxListModel.h"
#include "PyxListView.h"
#include "PyxNavigator.h"
#include "PyxSearch.h"
#include "SearchForm.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <vector>

namespace {

// The main window's part for frames built without one: records where links lead and purges every frame it
// knows after an add or a delete.
class TRecordingNavigator final : public TPyxNavigator {
public:
    void ShowPerson(TPyxPerson* E) override { Shown.push_back(E); }
    void ShowClub(TPyxClub* E) override { Shown.push_back(E); }
    void ShowNation(TPyxNation* E) override { Shown.push_back(E); }
    void ShowCity(TPyxCity* E) override { Shown.push_back(E); }
    void ShowStadium(TPyxStadium* E) override { Shown.push_back(E); }
    void ShowCompetition(TPyxCompetition* E) override { Shown.push_back(E); }
    void ShowContinent(TPyxContinent* E) override { Shown.push_back(E); }
    void ShowWeather(TPyxWeather* E) override { Shown.push_back(E); }
    void ShowLanguage(TPyxLanguage* E) override { Shown.push_back(E); }
    void ShowInjury(TPyxInjury* E) override { Shown.push_back(E); }
    void RefreshClubSquads() override {}
    void EntitiesAdded() override {
        for (TPyxEditorFrame* Frame : Frames)
            Frame->EntitiesAdded();
    }
    void EntitiesDeleted(const TGoneEntities& Gone) override {
        for (TPyxEditorFrame* Frame : Frames)
            Frame->PurgeDeleted(Gone);
    }
    std::vector<const TPyxObject*> Shown;
    std::vector<TPyxEditorFrame*> Frames;
};

class TTestCityFrame final : public TPyxFrame<TPyxCity> {
public:
    TTestCityFrame(TPyxNavigator& Navigator, QWidget* Parent)
        : TPyxFrame(Navigator, {"frameCity", "City", " Cities Found"}, Parent) {
        TFramePage* General = AddPage("tsGeneral", "&General", "General:", "lblGeneral");
        edCityName =
            AddNameRow(General, "City Name:", "edCityName", "btnCityName", "Edit City Name", &TPyxCityTexts::Name);
        ssNation = new TframeSelectionSearch(General);
        ssNation->setObjectName("ssNation");
        ssNation->SearchCaption = "Find City Nation";
        ssNation->UnknownCaption = "City has no nation";
        ssNation->NoneText = "<no nation>";
        General->AddRow("Nation:", ssNation, MakeLinkButton("btnNationLink", [this] { return ssNation->Selected(); }));
        BindSelector(ssNation, &TPyxCity::Nation);
        cmbWeather = new TPointerComboBox(General);
        cmbWeather->setObjectName("cmbWeather");
        cmbWeather->SetSorted(true);
        General->AddRow("Weather:", cmbWeather);
        BindCombo(cmbWeather, &TPyxCity::Weather);
        seLatitude = new TSpinFloatEdit(General);
        seLatitude->setObjectName("seLatitude");
        seLatitude->SetDigits(3);
        seLatitude->SetMin(-200);
        seLatitude->SetMax(200);
        General->AddRow("Latitude:", seLatitude);
        BindFloat(seLatitude, &TPyxCity::Latitude);
        seAltitude = Spin(General, "seAltitude", "Altitude:", 0, 10000);
        BindSpin(seAltitude, &TPyxCity::Altitude);
        seAttraction = Spin(General, "seAttraction", "Attraction:", 0, 20);
        BindSpin(seAttraction, &TPyxCity::Attraction);
    }

    QLineEdit* edCityName;
    TframeSelectionSearch* ssNation;
    TPointerComboBox* cmbWeather;
    TSpinFloatEdit* seLatitude;
    TSpinEdit* seAltitude;
    TSpinEdit* seAttraction;

    void DeleteCity() {
        DeleteFocused([this](TPyxObject& City) { Database()->Cities.Delete(&City); });
    }

protected:
    TPyxObjects& Collection(TPyxDatabase& Database) const override { return Database.Cities; }
    void Attached(TPyxDatabase& Database) override { ssNation->List = &Database.Nations; }
    void PrepareLoad(TPyxObject&) override {
        cmbWeather->Clear();
        cmbWeather->Add("<not specified>", nullptr);
        Database()->Weathers.ForEach([this](TPyxWeather* W) { cmbWeather->Add(TPyxListModel::DisplayName(*W), W); });
    }

private:
    static TSpinEdit* Spin(TFramePage* Page, const QString& Name, const QString& Caption, int Min, int Max) {
        auto* Edit = new TSpinEdit(Page);
        Edit->setObjectName(Name);
        Edit->SetMinValue(Min);
        Edit->SetMaxValue(Max);
        Page->AddRow(Caption, Edit);
        return Edit;
    }
};

class TTestAwardFrame final : public TPyxFrame<TPyxAward> {
public:
    TTestAwardFrame(TPyxNavigator& Navigator, QWidget* Parent)
        : TPyxFrame(Navigator, {"frameAward", "Award", " Awards Found"}, Parent) {
        TFramePage* General = AddPage("tsGeneral", "&General", "General:", "lblGeneral");
        cmbDateRule = new TIntegerComboBox(General);
        cmbDateRule->setObjectName("cmbDateRule");
        cmbDateRule->SetSorted(true);
        const char* Rules[] = {"<unspecified>",      "End of Week",          "End of Month",  "End of Season",
                               "End of Competition", "End of Calendar Year", "Specified Time"};
        for (int Code = 0; Code < 7; ++Code)
            cmbDateRule->Add(Rules[Code], Code);
        General->AddRow("Date Rule:", cmbDateRule);
        BindCombo(cmbDateRule, &TPyxAward::DateRule);
        dtpAwardDate = new QDateEdit(General);
        dtpAwardDate->setObjectName("dtpAwardDate");
        General->AddRow("Award Date:", dtpAwardDate);
        BindDate(dtpAwardDate, &TPyxAward::AwardDate);
        colbMajorColour = new TPyxColorBox(General);
        colbMajorColour->setObjectName("colbMajorColour");
        General->AddRow("Main Colour:", colbMajorColour);
        BindColor(
            colbMajorColour, [](TPyxAward& A) { return A.Colours.Major(); },
            [](TPyxAward& A, uint32_t C) { A.Colours.SetMajor(C); });
    }

    TIntegerComboBox* cmbDateRule;
    QDateEdit* dtpAwardDate;
    TPyxColorBox* colbMajorColour;

protected:
    TPyxObjects& Collection(TPyxDatabase& Database) const override { return Database.Awards; }
};

// Lists every entity and focuses Entity's row.
void ShowAllAndFocus(TPyxEditorFrame& Frame, const TPyxObject* Entity) {
    Frame.SearchEdit()->clear();
    Frame.btnSearchClick();
    Frame.List()->FocusRow(Frame.Search()->Model().RowOf(Entity));
}

} // namespace

class FramePatternTest final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void ConfirmKeepsStoredValuesTheControlsCannotShowAndWritesWhatTheUserChanged();
    void CodesDatesAndColoursTheControlsCannotHoldStayUnlessEdited();
    void ASelectorPickReachesTheEntityOnConfirmAndItsLinkButtonNavigates();
    void ADetachEmptiesEveryControlThatHoldsAnEntity();
    void ADeleteInOneFrameIsPurgedFromTheOthers();

private:
    std::unique_ptr<eh::TWorldFolder> World_;
    std::unique_ptr<TPyxDatabase> Database_;
    TRecordingNavigator Navigator_;
    eh::TModalDriver Driver_;
};

void FramePatternTest::initTestCase() {
    World_ = std::make_unique<eh::TWorldFolder>(wb::TGeneratorOptions{.PeopleCount = 300});
    Database_ = std::make_unique<TPyxDatabase>();
    Database_->Load(World_->Path().toStdString());
}

void FramePatternTest::cleanupTestCase() {
    QVERIFY(Driver_.Unexpected().isEmpty());
}

void FramePatternTest::ConfirmKeepsStoredValuesTheControlsCannotShowAndWritesWhatTheUserChanged() {
    TTestCityFrame Frame(Navigator_, nullptr);
    Frame.show();
    Frame.SetDatabase(Database_.get());
    TPyxCity* City = Database_->Cities.Items(0);
    City->Attraction = 200;     // beyond the form's 0..20
    City->Altitude = -5;        // below its 0..10000
    City->Latitude = 12.34567f; // more decimals than the edit shows
    const TPyxWeather* Weather = City->Weather;
    const TPyxNation* Nation = City->Nation;
    ShowAllAndFocus(Frame, City);
    QCOMPARE(Frame.CurrentObject(), City);
    QCOMPARE(Frame.edCityName->text(), QString::fromStdU16String(City->Name));
    QCOMPARE(Frame.cmbWeather->GetSelected(), Weather);

    Frame.btnConfirmChangesClick();
    QCOMPARE(City->Attraction, uint8_t(200));
    QCOMPARE(City->Altitude, int16_t(-5));
    QCOMPARE(City->Latitude, 12.34567f);
    QCOMPARE(City->Weather, Weather);
    QCOMPARE(City->Nation, Nation);

    // The user types an altitude and picks another weather; only those two change, and what was typed is clamped
    // to the form's limits on leaving the field.
    Frame.seAltitude->setFocus();
    Frame.seAltitude->selectAll();
    QTest::keyClicks(Frame.seAltitude, "12345");
    Frame.cmbWeather->setFocus();
    const int Other = Frame.cmbWeather->currentIndex() == 1 ? 2 : 1;
    QTest::keyClick(Frame.cmbWeather, Qt::Key_Home);
    for (int I = 0; I < Other; ++I)
        QTest::keyClick(Frame.cmbWeather, Qt::Key_Down);
    Frame.btnConfirmChangesClick();
    QCOMPARE(City->Altitude, int16_t(10000));
    QCOMPARE(City->Weather, Frame.cmbWeather->GetItem(Other));
    QCOMPARE(City->Attraction, uint8_t(200));
    QCOMPARE(City->Latitude, 12.34567f);

    // The float edit takes only what keeps the text a number within its limits and decimals: the fourth decimal
    // and a digit that would pass 200 are refused as they are typed.
    Frame.seLatitude->setFocus();
    Frame.seLatitude->selectAll();
    QTest::keyClicks(Frame.seLatitude, "-45.6789");
    QCOMPARE(Frame.seLatitude->text(), QString("-45.678"));
    Frame.seLatitude->selectAll();
    QTest::keyClicks(Frame.seLatitude, "2005");
    QCOMPARE(Frame.seLatitude->text(), QString("200"));
    QTest::keyClick(Frame.seLatitude, Qt::Key_Backspace);
    QTest::keyClick(Frame.seLatitude, Qt::Key_Backspace);
    QTest::keyClicks(Frame.seLatitude, "9.5");
    Frame.btnConfirmChangesClick();
    QCOMPARE(City->Latitude, 29.5f);

    // Cancel reloads the stored values over edits that were not confirmed.
    Frame.seAttraction->setFocus();
    Frame.seAttraction->selectAll();
    QTest::keyClicks(Frame.seAttraction, "7");
    Frame.btnCancelChangesClick();
    QCOMPARE(Frame.seAttraction->Value(), 200);
    Frame.btnConfirmChangesClick();
    QCOMPARE(City->Attraction, uint8_t(200));
    QCOMPARE(City->Latitude, 29.5f);
}

void FramePatternTest::CodesDatesAndColoursTheControlsCannotHoldStayUnlessEdited() {
    TTestAwardFrame Frame(Navigator_, nullptr);
    Frame.show();
    Frame.SetDatabase(Database_.get());
    TPyxAward* Award = Database_->Awards.Items(0);
    Award->DateRule = 9;                                // no item carries it
    Award->AwardDate = TPyxDate{400, 0};                // year 0, a day beyond the year's end
    Award->Colours.RawMajor = int16_t(0x8000 | 0x1234); // a bit no 24-bit colour keeps
    const TPyxColor Colours = Award->Colours;
    ShowAllAndFocus(Frame, Award);
    QCOMPARE(Frame.CurrentObject(), Award);
    QCOMPARE(Frame.cmbDateRule->currentIndex(), -1);
    QVERIFY(Frame.Pages()->isEnabled());

    Frame.btnConfirmChangesClick();
    QCOMPARE(Award->DateRule, uint8_t(9));
    QCOMPARE(Award->AwardDate, (TPyxDate{400, 0}));
    QCOMPARE(Award->Colours, Colours);
    // So does a year before the calendar's first.
    TPyxAward* Ancient = Database_->Awards.Items(1);
    Ancient->AwardDate = TPyxDate{10, -5};
    ShowAllAndFocus(Frame, Ancient);
    QCOMPARE(Frame.CurrentObject(), Ancient);
    QVERIFY(Frame.Pages()->isEnabled());
    Frame.btnConfirmChangesClick();
    QCOMPARE(Ancient->AwardDate, (TPyxDate{10, -5}));
    ShowAllAndFocus(Frame, Award);

    // Edited, each is written: the date as its day of the year and year, the code of the item picked.
    Frame.dtpAwardDate->setDate(QDate(2003, 3, 1));
    Frame.cmbDateRule->setFocus();
    QTest::keyClick(Frame.cmbDateRule, Qt::Key_End);
    Frame.btnConfirmChangesClick();
    QCOMPARE(Award->AwardDate, (TPyxDate{59, 2003}));
    QCOMPARE(Award->DateRule, uint8_t(Frame.cmbDateRule->GetItem(Frame.cmbDateRule->count() - 1)));
    QCOMPARE(Award->Colours, Colours);
}

void FramePatternTest::ASelectorPickReachesTheEntityOnConfirmAndItsLinkButtonNavigates() {
    TTestCityFrame Frame(Navigator_, nullptr);
    Frame.show();
    Frame.SetDatabase(Database_.get());
    TPyxCity* City = Database_->Cities.Items(1);
    ShowAllAndFocus(Frame, City);
    TPyxNation* Before = City->Nation;
    TPyxNation* Picked = Database_->Nations.Items(Database_->Nations.Count() - 1);
    QVERIFY(Picked != Before);
    Driver_.Expect([&](QWidget* Dialog) {
        auto* Pick = qobject_cast<TSearchForm*>(Dialog);
        Pick->btnSearchClick();
        Pick->lvSearchList->FocusRow(Pick->Search->Model().RowOf(Picked));
        Pick->btnOK->click();
    });
    Frame.ssNation->btnSearch->click();
    QCOMPARE(Frame.ssNation->Selected(), Picked);
    QCOMPARE(City->Nation, Before);
    Frame.btnConfirmChangesClick();
    QCOMPARE(City->Nation, Picked);

    Navigator_.Shown.clear();
    eh::Find<QToolButton>(&Frame, "btnNationLink")->click();
    QCOMPARE(Navigator_.Shown, (std::vector<const TPyxObject*>{Picked}));
    Frame.ssNation->SetSelected(nullptr);
    eh::Find<QToolButton>(&Frame, "btnNationLink")->click();
    QCOMPARE(Navigator_.Shown.size(), std::size_t(1));
}

void FramePatternTest::ADetachEmptiesEveryControlThatHoldsAnEntity() {
    TTestCityFrame Frame(Navigator_, nullptr);
    Frame.show();
    Frame.SetDatabase(Database_.get());
    TPyxCity* City = Database_->Cities.Items(2);
    ShowAllAndFocus(Frame, City);
    QVERIFY(Frame.ssNation->Selected() != nullptr || City->Nation == nullptr);
    QVERIFY(Frame.cmbWeather->count() > 1);

    Frame.SetDatabase(nullptr);
    QCOMPARE(Frame.CurrentObject(), nullptr);
    QCOMPARE(Frame.Search(), nullptr);
    QCOMPARE(Frame.List()->model(), nullptr);
    QCOMPARE(Frame.ssNation->Selected(), nullptr);
    QCOMPARE(Frame.cmbWeather->count(), 0);
    QCOMPARE(Frame.cmbWeather->GetSelected(), nullptr);
    QCOMPARE(Frame.edCityName->text(), QString());
    QVERIFY(!Frame.Pages()->isEnabled());
    QVERIFY(!Frame.ConfirmButton()->isEnabled());
}

void FramePatternTest::ADeleteInOneFrameIsPurgedFromTheOthers() {
    TTestCityFrame Deleting(Navigator_, nullptr), Watching(Navigator_, nullptr);
    Navigator_.Frames = {&Deleting, &Watching};
    for (TTestCityFrame* Frame : {&Deleting, &Watching}) {
        Frame->show();
        Frame->SetDatabase(Database_.get());
    }
    TPyxCity* Doomed = Database_->Cities.Items(3);
    TPyxCity* Other = Database_->Cities.Items(4);
    const int Count = Database_->Cities.Count();
    ShowAllAndFocus(Watching, Doomed);
    ShowAllAndFocus(Deleting, Doomed);
    Deleting.DeleteCity();
    Navigator_.Frames.clear();

    QCOMPARE(Database_->Cities.Count(), Count - 1);
    for (TTestCityFrame* Frame : {&Deleting, &Watching}) {
        QCOMPARE(Frame->Search()->Model().Count(), Count - 1);
        QCOMPARE(Frame->CurrentObject(), nullptr);
        QCOMPARE(Frame->edCityName->text(), QString());
        QVERIFY(!Frame->Pages()->isEnabled());
    }
    // The other rows stay and load as before.
    Watching.List()->FocusRow(Watching.Search()->Model().RowOf(Other));
    QCOMPARE(Watching.CurrentObject(), Other);
    QCOMPARE(Watching.edCityName->text(), QString::fromStdU16String(Other->Name));
}

PYX_EDITOR_TEST_MAIN(FramePatternTest)
#include "FramePatternTest.moc"
