// The digest peers compare: see World::StateChecksum.
#include "map/ObjectKinds.h"
#include "objects/GameObject.h"
#include "world/GameRecords.h"
#include "world/ObjectNode.h"
#include "world/Scenario.h"
#include "world/World.h"

namespace {

// One step of a 64-bit mix (splitmix): every input bit reaches every output bit.
uint64_t Mix(uint64_t h, int64_t value) {
    uint64_t z = h + 0x9E3779B97F4A7C15ull + static_cast<uint64_t>(value);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// A factory fills its store from the deposit at its feet, and pays its production from it, on
// its owner's machine alone: no other machine hears of either, so a factory's stored amount and
// a deposit's remaining ore are that machine's own count, not shared state.
int SharedStored(GameObject& o) {
    const int kind = o.GetKind();
    return kind == ObjectKind::kFactory || kind == ObjectKind::kOreDeposit ? 0 : o.GetStored();
}

uint64_t ObjectDigest(GameObject& o, int list) {
    uint64_t h = Mix(0, list);
    for (int64_t v : {int64_t{o.id.team}, int64_t{o.id.serial}, int64_t{o.GetKind()},
                      int64_t{o.teamRecord.first}, int64_t{o.teamRecord.second},
                      int64_t{o.teamRecord.third}, int64_t{o.position.x}, int64_t{o.position.y},
                      int64_t{o.damage.Value()}, int64_t{o.damage.Max()}, int64_t{o.GetCargo()},
                      int64_t{SharedStored(o)}, int64_t{o.facing}})
        h = Mix(h, v);
    return h;
}

uint64_t ListDigest(const NodeList& list, int number) {
    uint64_t sum = 0;
    for (ListNode* n = list.First(); n; n = list.Next(n))
        sum += ObjectDigest(*static_cast<ObjectNode*>(n)->Object(), number);
    return sum;
}

}  // namespace

uint64_t World::StateChecksum() {
    World& world = *this;
    uint64_t objects = 0;
    int number = 0;
    for (int team = 0; team < World::kTeams; ++team) {
        objects += ListDigest(world.sims[team], 1);
        objects += ListDigest(world.buildings[team], 2);
        objects += ListDigest(world.weapons[team], 3);
    }
    for (const NodeList* list : {&world.wrecks, &world.destructibles, &world.oreDeposits,
                                 &world.artifacts, &world.landFeatures, &world.groups})
        objects += ListDigest(*list, 10 + number++);
    uint64_t h = Mix(0, static_cast<int64_t>(objects));
    for (int a = 0; a < World::kTeams; ++a)
        for (int b = 0; b < World::kTeams; ++b)
            h = Mix(h, world.alliance[a][b]);
    h = Mix(h, world.paused);
    if (Scenario* scenario = world.scenario.get()) {
        for (int team = 0; team < Scenario::kTeams; ++team) {
            h = Mix(h, scenario->playerSlots[team]);
            h = Mix(h, scenario->teamColours[team]);
        }
    }
    GameRecords* records = world.gameRecords;
    h = Mix(h, records && records->HasScenario() == 1 ? records->PlayerCount() : -1);
    return h;
}
