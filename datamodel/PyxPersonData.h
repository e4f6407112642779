#pragma once

#include "PyxObjects.h"
#include "PyxRecordPool.h"

// The personality bytes of a person, in file order.
struct TPyxPersonDataFields {
    uint8_t Adaptability = 0, Ambition = 0, Loyality = 0, Pressure = 0, Professionalism = 0, Sportsmanship = 0,
            Temperament = 0, Controversy = 0;
};

// A person's personality record; after linking it belongs to its person, and a save numbers it by position.
class TPyxPersonData final : public TPyxObject, public TPyxPersonDataFields, public TPyxPooled<TPyxPersonData> {
public:
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;
};

class TPyxPersonDatas final : public TPyxCollection<TPyxPersonData> {
public:
    TPyxPersonDatas() : TPyxCollection("Person Data") {}
    const char* ClassName() const override { return "TPyxPersonDatas"; }
    int64_t MinRecordSize() const override { return 17; }
    // Linking hands every record to its person by its own lookup (TPyxHandOver): no index is wanted here.
    bool IndexedOnLoad() const override { return false; }
};

// The player attribute bytes, in file order.
struct TPyxPlayingDataFields {
    uint8_t Goalkeeper = 0, Sweeper = 0, Defender = 0, DefensiveMidfielder = 0, Midfielder = 0, AttackingMidfielder = 0,
            Attacker = 0, WingBack = 0, FreeRole = 0, RightSide = 0, LeftSide = 0, Central = 0, Crossing = 0,
            Dribbling = 0, Finishing = 0, Heading = 0, LongShots = 0, Marking = 0, OffTheBall = 0, Passing = 0,
            Penalties = 0, Tackling = 0, Creativity = 0, Handling = 0, AerialAbility = 0, CommandOfArea = 0,
            Communication = 0, Kicking = 0, Throwing = 0, Anticipation = 0, Decisions = 0, OneOnOnes = 0,
            Positioning = 0, Reflexes = 0, ThrowIns = 0, FirstTouch = 0, Technique = 0, LeftFoot = 0, RightFoot = 0,
            Flair = 0, Corners = 0, Teamwork = 0, WorkRate = 0, LongThrows = 0, Eccentricity = 0, RushingOut = 0,
            TendencyToPunch = 0, Acceleration = 0, SetPieces = 0, Strength = 0, Stamina = 0, Pace = 0, Jumping = 0,
            Influence = 0, Dirtiness = 0, Balance = 0, Bravery = 0, Consistency = 0, Aggression = 0, Agility = 0,
            ImportantMatches = 0, InjuryProneness = 0, Versatility = 0, NaturalFitness = 0, Determination = 0;
};

// A player's attribute record; after linking it belongs to the player part of its person.
class TPyxPlayingData final : public TPyxObject, public TPyxPlayingDataFields, public TPyxPooled<TPyxPlayingData> {
public:
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;

    uint8_t ExtraByte = 0; // stored from version 145
};

class TPyxPlayingDatas final : public TPyxCollection<TPyxPlayingData> {
public:
    TPyxPlayingDatas() : TPyxCollection("Playing Data") {}
    const char* ClassName() const override { return "TPyxPlayingDatas"; }
    int64_t MinRecordSize() const override { return 74; }
    // Linking hands every record to its person by its own lookup (TPyxHandOver): no index is wanted here.
    bool IndexedOnLoad() const override { return false; }
};

// The staff attribute bytes, in file order.
struct TPyxNonPlayingDataFields {
    uint8_t Attacking = 0, Business = 0, CoachingTechnique = 0, Directness = 0, LevelOfDiscipline = 0, FreeRoles = 0,
            Interference = 0, Marking = 0, Offside = 0, Patience = 0, Pressing = 0, Resources = 0,
            WorkingWithYoungsters = 0, Determination = 0, BuyingPlayers = 0, MindGames = 0, SellingPlayers = 0,
            SittingBack = 0, UseOfPlayMaker = 0, UseOfSubs = 0, CoachingOutfieldPlayers = 0, CoachingGoalkeepers = 0,
            JudgingPlayerAbility = 0, JudgingPlayerPotential = 0, ManManagement = 0, Motivating = 0, Physiotherapy = 0,
            TacticalKnowledge = 0;
};

// A staff member's attribute record; after linking it belongs to the staff part of its person.
class TPyxNonPlayingData final : public TPyxObject,
                                 public TPyxNonPlayingDataFields,
                                 public TPyxPooled<TPyxNonPlayingData> {
public:
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;
};

class TPyxNonPlayingDatas final : public TPyxCollection<TPyxNonPlayingData> {
public:
    TPyxNonPlayingDatas() : TPyxCollection("Non Playing Data") {}
    const char* ClassName() const override { return "TPyxNonPlayingDatas"; }
    int64_t MinRecordSize() const override { return 37; }
    // Linking hands every record to its person by its own lookup (TPyxHandOver): no index is wanted here.
    bool IndexedOnLoad() const override { return false; }
};
