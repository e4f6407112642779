#pragma once

#include <QWidget>

#include <cstdint>
#include <utility>
#include <vector>

class QDateEdit;
class TSpinEdit;
struct TPyxWeatherSeason;

// One season of a weather pattern, on its own tab of the weather frame: the day it starts (a day and a month) and
// the chances, in percent, of each kind of wind, precipitation and temperature. It holds only controls; the weather
// frame loads and writes them.
class TframeWeatherSeason final : public QWidget {
    Q_OBJECT
public:
    // A chance of the season: a reference to it inside a season record.
    using TChanceOf = uint8_t& (*)(TPyxWeatherSeason& Season);

    explicit TframeWeatherSeason(QWidget* Parent, const QString& ObjectName);

    // The year the start dates are shown in: not a leap year, so 29 February cannot be picked.
    static constexpr int ShownYear = 2003;

    QDateEdit* dtpStartDate;
    TSpinEdit* seCalm;
    TSpinEdit* seBreezy;
    TSpinEdit* seGusty;
    TSpinEdit* seStrong;
    TSpinEdit* seGale;
    TSpinEdit* seDry;
    TSpinEdit* seWet;
    TSpinEdit* seDrizzle;
    TSpinEdit* seShower;
    TSpinEdit* seDownPour;
    TSpinEdit* seFreezing;
    TSpinEdit* seCold;
    TSpinEdit* seMild;
    TSpinEdit* seFine;
    TSpinEdit* seWarm;
    TSpinEdit* seHot;
    TSpinEdit* seVeryHot;

    // The seventeen chance spin edits with the chance each shows.
    const std::vector<std::pair<TSpinEdit*, TChanceOf>>& Chances() const { return Chances_; }

private:
    std::vector<std::pair<TSpinEdit*, TChanceOf>> Chances_;
};
