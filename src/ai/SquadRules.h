#pragma once
// What the managers of a planning controller need of the squad manoeuvres that the unit
// behaviour code defines: make a formation round a point, a target assignment, a retaliation
// or an attack on one object; read where a formation stands and what an attack is after; and
// steer an explorer, a miner and a repairer. The behaviour code's classes install their own
// rules (SetSquadRules); until then the neutral rules make each manoeuvre through the unit
// makers by type alone and know nothing of its fields. Tests install fakes.
#include <memory>

#include "core/Point.h"
#include "core/SimId.h"

class GameObject;
class SquadManoeuvre;

class SquadRules {
public:
    virtual ~SquadRules();

    // A formation round the point with the spacing, without a leader, its radius updated.
    virtual std::unique_ptr<SquadManoeuvre> Formation(const Point& centre, int spacing);
    // The formation moves its centre to the point (no leader, round a point, radius updated).
    virtual void Recentre(SquadManoeuvre& formation, const Point& centre);
    // 1 with the formation's centre when it can be read.
    virtual int CentreOf(SquadManoeuvre& formation, Point& out);
    virtual std::unique_ptr<SquadManoeuvre> AssignTarget();
    virtual std::unique_ptr<SquadManoeuvre> Retaliate();
    // An attack fixed on the object.
    virtual std::unique_ptr<SquadManoeuvre> Attack(const SimId& target);
    // The attack's target while it exists and stands, else null.
    virtual GameObject* TargetOf(SquadManoeuvre& attack);
    // An explorer seeks points out of sight now instead of unexplored ones.
    virtual void SeekOutOfSight(SquadManoeuvre& explore);
    // The object a miner works on (null: choose anew).
    virtual void SetMiningTarget(SquadManoeuvre& mining, const SimId& target);
    // A repairer goes back to the point after its client.
    virtual void SetRepairReturn(GameObject& repairer, const Point& p);
};

// The installed rules; never null.
SquadRules& TheSquadRules();
// Installs rules (null restores the neutral ones); the caller keeps ownership.
void SetSquadRules(SquadRules* rules);
