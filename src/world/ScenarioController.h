#pragma once
// What the scenario code asks of the controller of a computer-run team: the fields a players
// record (section E) saves and restores, and Setup once the whole file has been read. The
// computer opponents and the mission scripts implement it; the World holds it in the team's
// controller slot.
#include <cstdint>
#include <memory>

#include "core/Point.h"
#include "core/SimId.h"
#include "world/TeamController.h"

class DesignRules;

class ScenarioController : public TeamController {
public:
    virtual char ClanLetter() = 0;
    // 0 stands for the local team.
    virtual int32_t TargetTeam() = 0;
    virtual void SetTargetTeam(int32_t team) = 0;
    virtual int32_t StrategyBits() = 0;
    virtual void SetStrategyBits(int32_t bits) = 0;
    virtual int32_t Aggressiveness() = 0;
    virtual void SetAggressiveness(int32_t value) = 0;
    virtual void GetRallyPoint(Point& out) = 0;
    virtual void SetRallyPoint(const Point& p) = 0;
    // The objective of that index; the null id when there is none.
    virtual void GetObjectiveId(SimId& out, int index) = 0;
    virtual void AddObjectiveId(const SimId& id, int key) = 0;
    // The controller owns the rules; purpose is the code stored with them.
    virtual void SetDesignRules(std::unique_ptr<DesignRules> rules, int32_t purpose) = 0;
    // Null when the controller holds no rules.
    virtual DesignRules* GetDesignRules() = 0;
    virtual int32_t DesignPurpose() = 0;
    // The level (difficulty) once the whole game is set up.
    virtual void Setup(int level) = 0;
};
