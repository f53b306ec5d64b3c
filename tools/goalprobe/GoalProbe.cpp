// The game itself with a look-out linked round it: the link wraps the checksum-request call that
// the world makes at the start of every pass, and on the pass after each 5 game-seconds this
// probe reads every armed unit's front goal, its weapons' targets and the enemies (units and
// buildings) its weapons reach. The game's own code is unchanged. With QX_GOAL_PROBE naming a
// file, it writes one line a unit a sample there and every stand of 60 s or more: a unit that
// kept its place and its damage, with an enemy within its weapons' reach or holding a move or
// attack order (an army stood minutes in a knot of friends with no enemy near), while nothing
// it reaches or aims at took damage and no shot of its own was under way at a sample; whether an
// enemy was in reach and whether the unit saw one (one hidden from it it may not fire at). At
// the end, per side, what became of the orders given (the world's order ledger, which only
// looks: the checksums stay the plain game's).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "catalogue/VehicleDesign.h"
#include "goalprobe/OrderCount.h"
#include "objects/Goal.h"
#include "objects/OrderLedger.h"
#include "objects/PartAttachment.h"
#include "objects/Sim.h"
#include "objects/Weapon.h"
#include "world/ObjectNode.h"
#include "world/World.h"

std::string RealTakeChecksumRequest() __asm__("__real__Z19TakeChecksumRequestB5cxx11v");
std::string WrappedTakeChecksumRequest() __asm__("__wrap__Z19TakeChecksumRequestB5cxx11v");

namespace {

constexpr int kSampleMs = 5000;
constexpr int kStandMs = 60000;
// A unit that moved less than this between samples kept its place.
constexpr int kPlaceSlack = 8;

struct Stand {
    int startMs = -1;
    Point at;
    int damage = 0;
    std::string firstLine;
    bool reported = false;
    // Whether the unit saw one of the enemies in its reach at a sample of the stand: one hidden
    // from it (CanSee 0) it may not fire at.
    bool sawOne = false;
    bool countedSeeing = false;
    // Whether an enemy was within reach at a sample of the stand.
    bool enemyNear = false;
};

int64_t Key(const SimId& id) {
    return int64_t{id.team} << 32 | static_cast<uint32_t>(id.serial);
}

std::string Describe(Sim& sim) {
    char text[512];
    Goal* g = sim.goals.Front();
    Goal* order = sim.goals.FirstUnfinished();
    GameObject* target = g ? g->GetTarget() : nullptr;
    const Point to = g ? g->GetLocation() : Point();
    VehicleDesign* design = sim.GetDesign();
    // The enemy the look-out of standing orders 1 and 3 would find.
    GameObject* near = TheWorld()->FindObjectNear(&sim, sim.GetEngageRange());
    int n = std::snprintf(
        text, sizeof text,
        "%d:%d %s at %d,%d dmg %d front %d allow %d blocked %d waypoint %d to %d,%d target %d:%d "
        "sees %d order %d lastAttacker %d:%d standing %d near %d:%d facing %d moving %d waiting %d "
        "routeWait %d blocker %d:%d mounts",
        sim.id.team, sim.id.serial, design ? design->name : "?", sim.GetPosition().x,
        sim.GetPosition().y, sim.damage.Value(), g ? g->GetType() : 0, g ? g->allowManoeuvres : -1,
        sim.goals.IsFrontBlocked(), g ? g->waypoint : -1, to.x, to.y, target ? target->id.team : 0,
        target ? target->id.serial : 0, target ? sim.CanSee(target) : -1,
        order ? order->GetType() : 0, sim.lastAttacker.team, sim.lastAttacker.serial,
        design ? design->parameters[0] : -1, near ? near->id.team : 0, near ? near->id.serial : 0,
        sim.facing, sim.moving, sim.waiting, sim.routeWait, sim.blockingSim.team,
        sim.blockingSim.serial);
    for (int i = 0; i < sim.partCount && n < static_cast<int>(sizeof text) - 24; ++i)
        if (auto* mount = dynamic_cast<PartAttachment*>(sim.GetArmedPart(i)))
            n += std::snprintf(text + n, sizeof text - static_cast<size_t>(n), " %d:%d",
                               mount->GetTarget().team, mount->GetTarget().serial);
    return text;
}

class Probe {
public:
    Probe() {
        if (const char* path = std::getenv("QX_GOAL_PROBE")) out = std::fopen(path, "w");
        // QX_GOAL_PROBE_UNIT=TEAM:SERIAL: that unit's line every tick as well.
        if (const char* unit = std::getenv("QX_GOAL_PROBE_UNIT")) {
            int team = 0, serial = 0;
            if (std::sscanf(unit, "%d:%d", &team, &serial) == 2) followed = SimId(team, serial);
        }
    }
    ~Probe() {
        if (!out) return;
        std::fputs(orders.c_str(), out);
        std::fprintf(out,
                     "stands of %d s or more: %d, with an enemy in reach: %d, without: %d, with an "
                     "enemy the unit saw: %d\n",
                     kStandMs / 1000, standsOverLimit, standsOverLimit - standsWithoutEnemy,
                     standsWithoutEnemy, standsSeeing);
        std::fclose(out);
    }

    void Pass() {
        World* world = TheWorld();
        if (!out || !world) return;
        const int state = world->inGame * 2 + world->paused;
        if (state != lastState) {
            std::fprintf(out, "battle %d paused %d at tick %d\n", world->inGame, world->paused,
                         world->tickCount);
            lastState = state;
        }
        if (world->inGame != 1) return;
        world->Orders().SwitchOn();
        if (world->tickCount == lastTick) return;
        lastTick = world->tickCount;
        const int ms = world->tickCount * World::kFrameFloorMs;
        if (!followed.IsNull())
            if (auto* sim = dynamic_cast<Sim*>(world->FindSim(followed)))
                std::fprintf(out, "tick %d %s\n", world->tickCount, Describe(*sim).c_str());
        if (ms < nextSampleMs) return;
        nextSampleMs = ms - ms % kSampleMs + kSampleMs;
        Sample(*world, ms);
    }

private:
    template <class Visit>
    static void ForEachIn(NodeList& list, Visit visit) {
        for (ListNode* n = list.First(); n; n = list.Next(n))
            if (GameObject* o = static_cast<ObjectNode*>(n)->Object(); o && o->IsDestroyed() == 0)
                visit(*o);
    }

    // Whether the object took damage (or was mended) since the last sample.
    bool Struck(GameObject& o) const {
        const auto was = damageBefore.find(Key(o.id));
        return was != damageBefore.end() && was->second != o.damage.Value();
    }

    void Sample(World& world, int ms) {
        std::vector<Sim*> units;
        std::vector<GameObject*> all;
        std::set<int64_t> firing;
        for (int team = 1; team < World::kTeams; ++team) {
            ForEachIn(world.sims[team], [&](GameObject& o) {
                all.push_back(&o);
                if (auto* sim = dynamic_cast<Sim*>(&o)) units.push_back(sim);
            });
            ForEachIn(world.buildings[team], [&](GameObject& o) { all.push_back(&o); });
        }
        for (int team = 0; team < World::kTeams; ++team)
            ForEachIn(world.weapons[team], [&](GameObject& o) {
                if (auto* shot = dynamic_cast<Weapon*>(&o)) firing.insert(Key(shot->OwnerHandle()));
            });
        std::map<int64_t, Stand> next;
        for (Sim* sim : units) {
            if (sim->CountActiveWeapons() == 0) continue;
            int enemies = 0;
            int seen = 0;
            bool fight = firing.count(Key(sim->id)) > 0;
            for (GameObject* other : all) {
                if (other == sim || sim->IsHostileTo(other) != 1 || sim->CanEngage(other) != 1)
                    continue;
                ++enemies;
                if (sim->CanSee(other) == 1) ++seen;
                fight = fight || Struck(*other);
            }
            for (GameObject* aimed : Aims(*sim))
                fight = fight || Struck(*aimed);
            const std::string line = Describe(*sim);
            std::fprintf(out, "%d %s enemies %d seen %d%s\n", ms / 1000, line.c_str(), enemies,
                         seen, fight ? " fight" : "");
            Goal* order = sim->goals.FirstUnfinished();
            const bool onItsWay =
                order && (order->GetType() == static_cast<int>(GoalType::Location) ||
                          order->GetType() == static_cast<int>(GoalType::Target));
            if ((enemies == 0 && !onItsWay) || fight) continue;
            const auto was = stands.find(Key(sim->id));
            Stand stand;
            if (was != stands.end() && Kept(was->second, *sim)) {
                stand = was->second;
            } else {
                stand.startMs = ms;
                stand.at = sim->GetPosition();
                stand.damage = sim->damage.Value();
                stand.firstLine = line;
            }
            stand.sawOne = stand.sawOne || seen > 0;
            stand.enemyNear = stand.enemyNear || enemies > 0;
            if (ms - stand.startMs >= kStandMs && !stand.reported) {
                stand.reported = true;
                ++standsOverLimit;
                if (!stand.enemyNear) ++standsWithoutEnemy;
                std::fprintf(out,
                             "STAND from %d s to %d s (an enemy in reach: %s, an enemy it saw: "
                             "%s): %s\n  now %s\n",
                             stand.startMs / 1000, ms / 1000, stand.enemyNear ? "yes" : "no",
                             stand.sawOne ? "yes" : "no", stand.firstLine.c_str(), line.c_str());
            }
            // Seen only after the stand was named: counted then.
            if (stand.reported && stand.sawOne && !stand.countedSeeing) {
                stand.countedSeeing = true;
                ++standsSeeing;
            }
            next[Key(sim->id)] = stand;
        }
        stands = std::move(next);
        orders.clear();
        for (int team = 1; team < World::kTeams; ++team)
            orders += OrderCountLine(team, world.Orders().TallyOf(team));
        damageBefore.clear();
        for (GameObject* o : all)
            damageBefore[Key(o->id)] = o->damage.Value();
        std::fflush(out);
    }

    // What the unit's weapons and its order aim at.
    static std::vector<GameObject*> Aims(Sim& sim) {
        std::vector<GameObject*> aims;
        World* world = TheWorld();
        for (int i = 0; i < sim.partCount; ++i)
            if (auto* mount = dynamic_cast<PartAttachment*>(sim.GetArmedPart(i)))
                if (GameObject* o = world->FindObject(mount->GetTarget())) aims.push_back(o);
        if (Goal* order = sim.goals.FirstUnfinished())
            if (GameObject* o = order->GetTarget()) aims.push_back(o);
        return aims;
    }

    static bool Kept(const Stand& stand, Sim& sim) {
        const Point d = sim.GetPosition() - stand.at;
        return std::hypot(d.x, d.y) <= kPlaceSlack && sim.damage.Value() == stand.damage;
    }

    FILE* out = nullptr;
    SimId followed;
    int32_t lastTick = -1;
    int lastState = -1;
    int nextSampleMs = 0;
    int standsOverLimit = 0;
    int standsSeeing = 0;
    int standsWithoutEnemy = 0;
    // What became of each side's orders, as last sampled.
    std::string orders;
    std::map<int64_t, Stand> stands;
    std::map<int64_t, int> damageBefore;
};

Probe probe;

}  // namespace

std::string WrappedTakeChecksumRequest() {
    probe.Pass();
    return RealTakeChecksumRequest();
}
