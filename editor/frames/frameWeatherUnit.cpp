#include "frameWeatherUnit.h"

#include "PyxDatabase.h"
#include "frameWeatherSeasonUnit.h"

#include <QDateEdit>
#include <QTabWidget>
#include <QVBoxLayout>

TframeWeather::TframeWeather(TPyxNavigator& Navigator, QWidget* Parent)
    : TPyxFrame(Navigator, {"frameWeather", "Weather", " Types of Weather Found"}, Parent) {
    using PyxControls::SpinEdit;
    TFramePage* General = AddPage("tsGeneral", "&General", "General:", "lblGeneral");
    edName = PyxControls::TextEdit(General, "edName");
    General->AddRow("Name:", edName);
    BindText(edName, &TPyxWeather::Name);
    seWind = SpinEdit(General, "seWind", 0, 255);
    General->AddRow("Wind:", seWind);
    BindSpin(seWind, &TPyxWeather::Wind);
    sePrecipitation = SpinEdit(General, "sePrecipitation", 0, 255);
    General->AddRow("Precipitation:", sePrecipitation);
    BindSpin(sePrecipitation, &TPyxWeather::Precipitation);
    seTemperature = SpinEdit(General, "seTemperature", 0, 255);
    General->AddRow("Temperature:", seTemperature);
    BindSpin(seTemperature, &TPyxWeather::Temperature);

    auto* Seasons = new QWidget(Pages());
    Seasons->setObjectName("tsSeasons");
    pcSeasons = new QTabWidget(Seasons);
    pcSeasons->setObjectName("pcSeasons");
    auto* Layout = new QVBoxLayout(Seasons);
    Layout->addWidget(pcSeasons);
    Pages()->addTab(Seasons, "&Seasons");
    frameSpring = AddSeason("frameSpring", "&Spring", &TPyxWeather::Spring);
    frameSummer = AddSeason("frameSummer", "S&ummer", &TPyxWeather::Summer);
    frameAutumn = AddSeason("frameAutumn", "&Autumn", &TPyxWeather::Autumn);
    frameWinter = AddSeason("frameWinter", "&Winter", &TPyxWeather::Winter);
}

TframeWeatherSeason* TframeWeather::AddSeason(const QString& ObjectName, const QString& Caption,
                                              TPyxWeatherSeason TPyxWeather::*Season) {
    auto* Frame = new TframeWeatherSeason(pcSeasons, ObjectName);
    pcSeasons->addTab(Frame, Caption);
    // The start day is a day of the year, shown as a day and month of a year that is not a leap year. A stored
    // day outside that year shows as its nearest end and stays as stored unless the user picks another date.
    QDateEdit* Picker = Frame->dtpStartDate;
    const QDate FirstDay(TframeWeatherSeason::ShownYear, 1, 1);
    Bind<QDate>([Picker, Season, FirstDay](TPyxWeather& W) { Picker->setDate(FirstDay.addDays((W.*Season).StartDay)); },
                [Picker] { return Picker->date(); },
                [Season](TPyxWeather& W, const QDate& Date) {
                    (W.*Season).StartDay = static_cast<int16_t>(Date.dayOfYear() - 1);
                },
                [Picker] { Picker->setDate(Picker->minimumDate()); });
    for (const auto& [Spin, Chance] : Frame->Chances())
        BindSpin(Spin, [Season, Chance](TPyxWeather& W) -> uint8_t& { return Chance(W.*Season); });
    return Frame;
}

TPyxObjects& TframeWeather::Collection(TPyxDatabase& Database) const {
    return Database.Weathers;
}
