#include "frameWeatherSeasonUnit.h"

#include "PyxControls.h"
#include "PyxWeather.h"
#include "SpinEdit.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>

namespace {

struct TChanceRow {
    const char* Caption;
    const char* Name;
    TframeWeatherSeason::TChanceOf Chance;
    TSpinEdit* TframeWeatherSeason::*Control;
};

struct TChanceGroup {
    const char* Heading;
    const char* HeadingName;
    std::vector<TChanceRow> Rows;
};

using S = TPyxWeatherSeason;
using F = TframeWeatherSeason;

// The three columns of the page, each a heading over its chances.
const std::vector<TChanceGroup>& Groups() {
    static const std::vector<TChanceGroup> Table = {
        {"Wind:",
         "lblWind",
         {{"Calm:", "seCalm", [](S& X) -> uint8_t& { return X.Wind.Calm; }, &F::seCalm},
          {"Breezy:", "seBreezy", [](S& X) -> uint8_t& { return X.Wind.Breezy; }, &F::seBreezy},
          {"Gusty:", "seGusty", [](S& X) -> uint8_t& { return X.Wind.Gusty; }, &F::seGusty},
          {"Strong:", "seStrong", [](S& X) -> uint8_t& { return X.Wind.Strong; }, &F::seStrong},
          {"Gale:", "seGale", [](S& X) -> uint8_t& { return X.Wind.Gale; }, &F::seGale}}},
        {"Precipitation:",
         "lblPrecipitation",
         {{"Dry:", "seDry", [](S& X) -> uint8_t& { return X.Precipitation.Dry; }, &F::seDry},
          {"Wet:", "seWet", [](S& X) -> uint8_t& { return X.Precipitation.Wet; }, &F::seWet},
          {"Drizzle:", "seDrizzle", [](S& X) -> uint8_t& { return X.Precipitation.Drizzle; }, &F::seDrizzle},
          {"Shower:", "seShower", [](S& X) -> uint8_t& { return X.Precipitation.Shower; }, &F::seShower},
          {"Down Pour:", "seDownPour", [](S& X) -> uint8_t& { return X.Precipitation.DownPour; }, &F::seDownPour}}},
        {"Temperature:",
         "lblTemperature",
         {{"Freezing:", "seFreezing", [](S& X) -> uint8_t& { return X.Temperature.Freezing; }, &F::seFreezing},
          {"Cold:", "seCold", [](S& X) -> uint8_t& { return X.Temperature.Cold; }, &F::seCold},
          {"Mild:", "seMild", [](S& X) -> uint8_t& { return X.Temperature.Mild; }, &F::seMild},
          {"Fine:", "seFine", [](S& X) -> uint8_t& { return X.Temperature.Fine; }, &F::seFine},
          {"Warm:", "seWarm", [](S& X) -> uint8_t& { return X.Temperature.Warm; }, &F::seWarm},
          {"Hot:", "seHot", [](S& X) -> uint8_t& { return X.Temperature.Hot; }, &F::seHot},
          {"Very Hot:", "seVeryHot", [](S& X) -> uint8_t& { return X.Temperature.VeryHot; }, &F::seVeryHot}}},
    };
    return Table;
}

QLabel* MakeLabel(QWidget* Parent, const QString& Text, const QString& ObjectName, bool Bold = false) {
    auto* Label = new QLabel(Text, Parent);
    Label->setObjectName(ObjectName);
    if (Bold) {
        QFont Font = Label->font();
        Font.setBold(true);
        Label->setFont(Font);
    }
    return Label;
}

} // namespace

TframeWeatherSeason::TframeWeatherSeason(QWidget* Parent, const QString& ObjectName) : QWidget(Parent) {
    setObjectName(ObjectName);
    auto* Grid = new QGridLayout(this);
    Grid->setVerticalSpacing(4);
    Grid->setHorizontalSpacing(6);

    dtpStartDate = PyxControls::DatePicker(this, "dtpStartDate", "dd-MM");
    dtpStartDate->setDateRange(QDate(ShownYear, 1, 1), QDate(ShownYear, 12, 31));
    QLabel* StartLabel = MakeLabel(this, "Start Date:", "lblStartDate");
    StartLabel->setBuddy(dtpStartDate);
    Grid->addWidget(StartLabel, 0, 0);
    Grid->addWidget(dtpStartDate, 0, 1);

    int Column = 0;
    for (const TChanceGroup& Group : Groups()) {
        Grid->addWidget(MakeLabel(this, Group.Heading, Group.HeadingName, true), 1, Column, 1, 2);
        int Row = 2;
        for (const TChanceRow& Chance : Group.Rows) {
            TSpinEdit* Spin = PyxControls::SpinEdit(this, Chance.Name, 0, 100);
            this->*Chance.Control = Spin;
            QLabel* Caption = MakeLabel(this, Chance.Caption, "lbl" + QString(Chance.Name).mid(2));
            Caption->setBuddy(Spin);
            Grid->addWidget(Caption, Row, Column);
            Grid->addWidget(Spin, Row, Column + 1);
            Chances_.emplace_back(Spin, Chance.Chance);
            ++Row;
        }
        Column += 2;
    }
    for (int C = 1; C < Column; C += 2)
        Grid->setColumnStretch(C, 1);
    Grid->setRowStretch(Grid->rowCount(), 1);
}
