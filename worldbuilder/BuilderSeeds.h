#pragma once

#include <array>
#include <cstdint>

// The fixed data both world builders draw their reference kinds from; the sample world takes the first entries of
// a table (or a few named ones), the generator the whole table.
namespace wb {

struct TLanguageSeed {
    const char* Name;
    int32_t UniqueID;
    int16_t Family, Group, SubGroup;
    uint8_t Influence, Difficulty;
};

// Table position is the language's ID; English keeps the default UniqueID 8 but may stand anywhere in the directory.
inline constexpr std::array<TLanguageSeed, 10> LanguageSeeds = {{{"English", 8, 1, 1, 1, 200, 5},
                                                                 {"French", 3, 2, 3, 1, 150, 10},
                                                                 {"German", 12, 1, 2, 1, 140, 12},
                                                                 {"Spanish", 21, 2, 3, 2, 170, 8},
                                                                 {"Italian", 5, 2, 3, 3, 120, 9},
                                                                 {"Dutch", 30, 1, 2, 2, 60, 11},
                                                                 {"Portuguese", 17, 2, 3, 4, 110, 9},
                                                                 {"Swedish", 25, 1, 4, 1, 40, 12},
                                                                 {"Polish", 14, 3, 1, 1, 50, 15},
                                                                 {"Greek", 9, 4, 1, 1, 30, 16}}};

struct TContinentSeed {
    const char *Name, *Short, *Adjective, *Federation, *FederationShort;
    float Latitude, Longitude; // where the continent's nations lie, about
};
inline constexpr std::array<TContinentSeed, 6> ContinentSeeds = {
    {{"Europe", "EUR", "European", "Federation of European Football", "FEF", 50.0f, 10.0f},
     {"Africa", "AFR", "African", "African Football Union", "AFU", 5.0f, 20.0f},
     {"Asia", "ASI", "Asian", "Asian Football Council", "AFC", 30.0f, 100.0f},
     {"South America", "SAM", "South American", "South American Football Board", "SAB", -20.0f, -60.0f},
     {"North America", "NAM", "North American", "North and Central American Union", "NCU", 35.0f, -95.0f},
     {"Oceania", "OCE", "Oceanian", "Oceania Football Council", "OFC", -25.0f, 140.0f}}};

inline constexpr std::array<const char*, 6> Climates = {"Temperate Maritime", "Continental", "Mediterranean",
                                                        "Tropical",           "Arid",        "Subarctic"};

inline constexpr std::array<std::array<const char*, 2>, 6> PlayerTypeTexts = {{{"Target Man", "Strong in the air"},
                                                                               {"Poacher", "Lives in the box"},
                                                                               {"Playmaker", "Dictates play"},
                                                                               {"Sweeper Keeper", "Leaves his line"},
                                                                               {"Ball Winner", "Breaks up play"},
                                                                               {"Wing Back", "Up and down the flank"}}};

// Name, short name, plural name.
inline constexpr std::array<std::array<const char*, 3>, 8> StageNames = {{{"Final", "F", "Finals"},
                                                                          {"Semi-Final", "SF", "Semi-Finals"},
                                                                          {"Quarter-Final", "QF", "Quarter-Finals"},
                                                                          {"Round of 16", "R16", "Rounds of 16"},
                                                                          {"Group Stage", "GS", "Group Stages"},
                                                                          {"First Round", "R1", "First Rounds"},
                                                                          {"Second Round", "R2", "Second Rounds"},
                                                                          {"Play-Off", "PO", "Play-Offs"}}};

struct TInjurySeed {
    const char *Name, *Sentence;
    uint8_t Category, Chance;
    int16_t Minimum, Extra;
    uint8_t Severity;
};
inline constexpr std::array<TInjurySeed, 16> InjurySeeds = {
    {{"Broken Leg", "a broken leg", 2, 3, 90, 60, 3},
     {"Twisted Ankle", "a twisted ankle", 1, 40, 5, 10, 1},
     {"Hamstring Strain", "a strained hamstring", 4, 30, 10, 20, 2},
     {"Flu", "the flu", 0, 20, 3, 7, 255},
     {"Torn Cruciate Ligament", "a torn cruciate ligament", 3, 2, 150, 90, 3},
     {"Groin Strain", "a groin strain", 4, 25, 7, 14, 1},
     {"Bruised Ribs", "bruised ribs", 1, 15, 5, 9, 1},
     {"Broken Toe", "a broken toe", 2, 6, 14, 14, 2},
     {"Calf Strain", "a strained calf", 4, 25, 6, 12, 1},
     {"Concussion", "concussion", 1, 5, 3, 4, 2},
     {"Dislocated Shoulder", "a dislocated shoulder", 2, 4, 21, 21, 2},
     {"Back Spasms", "back spasms", 4, 10, 3, 10, 1},
     {"Knee Cartilage Damage", "damaged knee cartilage", 3, 4, 40, 30, 3},
     {"Thigh Strain", "a strained thigh", 4, 25, 7, 10, 1},
     {"Broken Wrist", "a broken wrist", 2, 3, 30, 15, 2},
     {"Virus", "a virus", 0, 15, 2, 5, 255}}};

} // namespace wb
