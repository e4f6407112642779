#pragma once

#include "PyxFrame.h"
#include "PyxWeather.h"

class QLineEdit;
class QTabWidget;
class TSpinEdit;
class TframeWeatherSeason;

// The weather tab: a weather pattern's name (not translated), its three overall levels, and its four seasons, each
// on a tab of its own with the day it starts and its chances of wind, precipitation and temperature.
class TframeWeather final : public TPyxFrame<TPyxWeather> {
    Q_OBJECT
public:
    TframeWeather(TPyxNavigator& Navigator, QWidget* Parent);

    QLineEdit* edName;
    TSpinEdit* seWind;
    TSpinEdit* sePrecipitation;
    TSpinEdit* seTemperature;
    QTabWidget* pcSeasons;
    TframeWeatherSeason* frameSpring;
    TframeWeatherSeason* frameSummer;
    TframeWeatherSeason* frameAutumn;
    TframeWeatherSeason* frameWinter;

protected:
    TPyxObjects& Collection(TPyxDatabase& Database) const override;

private:
    TframeWeatherSeason* AddSeason(const QString& ObjectName, const QString& Caption,
                                   TPyxWeatherSeason TPyxWeather::*Season);
};
