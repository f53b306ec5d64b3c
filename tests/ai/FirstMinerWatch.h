#pragma once
// The first Miner of a side, watched from the moment it stands clear of its factory. Given no
// order, it must carry ore to its factory within two game-minutes of that moment, unless it dies
// first; ore carried in shows as its cargo falling while it lives.
#include <cstdint>

#include "catalogue/VehicleDesign.h"
#include "core/SimId.h"
#include "objects/GameObject.h"
#include "objects/SimFactory.h"
#include "world/ObjectNode.h"
#include "world/World.h"

class FirstMinerWatch {
public:
    static constexpr int64_t kDeliverWithinMs = 120 * 1000;

    FirstMinerWatch(World& world, int team) : world(world), team(team) {}

    // After every tick, with the game time in milliseconds.
    void Step(int64_t nowMs) {
        if (miner.IsNull()) {
            GameObject* factory = world.TeamFactory(team);
            NodeList& units = world.sims[team];
            for (ListNode* n = units.First(); n && miner.IsNull(); n = units.Next(n)) {
                GameObject* unit = static_cast<ObjectNode*>(n)->Object();
                if (!unit || unit->IsDestroyed() || !unit->GetDesign() ||
                    ClassForDesign(*unit->GetDesign()) != SimClass::Miner ||
                    (factory && factory->ContainsPoint(unit->GetPosition()) == 1))
                    continue;
                miner = unit->id;
                outAtMs = nowMs;
                cargo = unit->GetCargo();
            }
            return;
        }
        // What happens after the window does not count.
        if (Over(nowMs)) return;
        GameObject* unit = world.FindSim(miner);
        if (!unit || unit->IsDestroyed()) {
            lost = true;
            return;
        }
        delivered = delivered || unit->GetCargo() < cargo;
        cargo = unit->GetCargo();
    }
    bool Out() const { return !miner.IsNull(); }
    bool Over(int64_t nowMs) const {
        return delivered || lost || (Out() && nowMs - outAtMs > kDeliverWithinMs);
    }

    bool delivered = false;
    bool lost = false;
    int64_t outAtMs = -1;

private:
    World& world;
    int team;
    SimId miner;
    int cargo = 0;
};
