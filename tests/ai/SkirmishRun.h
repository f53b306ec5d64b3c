#pragma once
// A headless skirmish of computer players: a generated 96 x 96 land (or a land of the made pack)
// beside the made sample assets, the game started as the set-up screen and the design screen
// start it (one opponent, or up to three, the local team playing itself), run tick by tick on the
// World's own loop under a fixed-step clock. What each side did is sampled as it goes, for the
// skirmish test and the level sweep.
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "ai/AIController.h"
#include "ai/AIGroupManager.h"
#include "ai/ComputerOpponents.h"
#include "catalogue/CatalogueServices.h"
#include "catalogue/DesignLibrary.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "core/Random.h"
#include "core/Settings.h"
#include "core/StringTable.h"
#include "core/Vector.h"
#include "map/ObjectKinds.h"
#include "objects/FactoryBuilding.h"
#include "objects/FactoryProduction.h"
#include "objects/GameObject.h"
#include "objects/Goal.h"
#include "objects/GoalQueue.h"
#include "objects/OrderLedger.h"
#include "objects/Sim.h"
#include "objects/SimFactory.h"
#include "objects/SpriteAttachment.h"
#include "objects/Squad.h"
#include "objects/UnitMakers.h"
#include "objects/Weapon.h"
#include "platform/Clock.h"
#include "support/FakeClock.h"
#include "support/TopLevels.h"
#include "world/ObjectNode.h"
#include "world/PathRequestNode.h"
#include "world/Scenario.h"
#include "world/WanderingUnit.h"
#include "world/World.h"

namespace skirmish {

constexpr int kSide = 96;
constexpr int kStepMs = 16;
constexpr int kSampleTicks = 16;
constexpr int kLocalTeam = 1;
constexpr int kOpponentTeam = 2;
// How long the player looks at the design screen before the battle.
constexpr uint32_t kDesignScreenMs = 5000;

// Where the two factories stand (sheet row, column), opposite corners, with the destructible
// fields between them.
inline LandLayout SkirmishLand(uint32_t seed) {
    std::mt19937 random(seed);
    LandLayout layout = GeneratedLand(random, kSide, kSide);
    layout.starts = {{12, 12}, {kSide - 14, kSide - 14}};
    layout.seconds = {{24, 24}, {kSide / 2, kSide / 2}, {kSide - 26, kSide - 26}};
    // Open ground round every start for the factory, its docks and roll-out square, and round
    // every ore field: a pond over a field left it where no miner could stand, and a side whose
    // nearest field it was sent its miner there again every five seconds for the rest of the game.
    auto open = [&layout](int row, int column, int reach) {
        for (int r = row - reach; r <= row + reach; ++r)
            for (int c = column - reach; c <= column + reach; ++c)
                layout.letters[static_cast<size_t>(r)][static_cast<size_t>(c)] = 'c';
    };
    for (const auto& [row, column] : layout.starts)
        open(row, column, 9);
    for (const auto& [row, column] : layout.seconds)
        open(row, column, 3);
    return layout;
}

// The sample design of that name, read from the first clan's design file (null when none is).
inline std::unique_ptr<VehicleDesign> SampleDesign(const std::string& name) {
    TopLevels levels;
    CatalogueServices& before = Services();
    SetCatalogueServices(&levels);
    DesignLibrary library;
    std::unique_ptr<VehicleDesign> found;
    if (library.Load("Vs.vdf") == 1) {
        for (ListNode* n = library.designs.First(); n && !found; n = library.designs.Next(n)) {
            auto* d = static_cast<VehicleDesign*>(n);
            if (name != d->name) continue;
            found = std::make_unique<VehicleDesign>('V');
            found->CopyFrom(*d);
        }
    }
    SetCatalogueServices(&before);
    return found;
}

// How a sweep game sets a pair of levels: whether the higher level plays the local team and
// which clan the local team plays. Taken from the seed itself, four seeds running through the
// four ways, so that a seed plays the same game alone as in the middle of a run: taken from its
// place in the run, a seed run alone after a new base played another side and clan.
struct SweepSetting {
    bool higherLocal = true;
    char localClan = 'V';
};
inline SweepSetting SweepSettingOf(uint32_t seed) {
    const uint32_t way = (seed - 1) % 4;
    return SweepSetting{way % 2 == 0, way / 2 == 0 ? 'V' : 'T'};
}

// The real time the computer players spent, when a run measures it: the most in one tick (both
// teams) and the longest stretch between two readings of the clock inside one turn, which no
// budget check can cut shorter.
struct AiTiming {
    double longestTickMs = 0;
    double longestStepMs = 0;
};

// A planning controller that plays at its own level, whatever the scenario's difficulty.
class LevelledController : public AIController {
public:
    LevelledController(int team, char clan, int tech, int fixedLevel, AiTiming* timing = nullptr)
        : AIController(team, clan, tech), fixedLevel(fixedLevel), timing(timing) {}
    void Setup(int) override { AIController::Setup(fixedLevel); }
    void Update(Timer& budget) override {
        if (!timing) return AIController::Update(budget);
        const auto start = std::chrono::steady_clock::now();
        lastReading = start;
        active = this;
        AIController::Update(budget);
        active = nullptr;
        const auto end = std::chrono::steady_clock::now();
        NoteReading(end);
        tickMs += std::chrono::duration<double, std::milli>(end - start).count();
    }
    // Every clock reading inside a timed turn ends a step.
    static void NoteReading(std::chrono::steady_clock::time_point at) {
        if (!active) return;
        const double step =
            std::chrono::duration<double, std::milli>(at - active->lastReading).count();
        active->timing->longestStepMs = std::max(active->timing->longestStepMs, step);
        active->lastReading = at;
    }
    // The AI time of the tick that ended, summed over the timed controllers.
    static double TakeTickMs() {
        const double ms = tickMs;
        tickMs = 0;
        return ms;
    }

private:
    int fixedLevel;
    AiTiming* timing;
    std::chrono::steady_clock::time_point lastReading;
    static inline LevelledController* active = nullptr;
    static inline double tickMs = 0;
};

// A span, in ticks, over which a side's ore stood unchanged: the longest and the tick it began,
// the one being counted and the ore it stands at.
struct StillSpan {
    int longest = 0;
    int longestFrom = 0;
    int from = -1;
    int cargo = -1;

    // A change, or a sample that does not count (empty fields, no miner), ends the span.
    void Note(int tick, int ore, bool counts) {
        if (!counts || ore != cargo) {
            from = counts ? tick : -1;
            cargo = ore;
            return;
        }
        if (from < 0) from = tick;
        if (tick - from > longest) {
            longest = tick - from;
            longestFrom = from;
        }
    }
};

// The longest run of samples, in ticks, in which a condition held.
struct HeldSpan {
    int longest = 0;
    int from = -1;

    void Note(int tick, bool holds) {
        if (!holds) {
            from = -1;
            return;
        }
        if (from < 0) from = tick;
        longest = std::max(longest, tick - from);
    }
};

// What a standing unit waited on, most telling first.
enum class StandCause {
    Fight,
    Group,
    HurtlessFight,
    FailedRoute,
    FriendsInAFight,
    PathQueue,
    Friend,
    BlockedFront,
    Other,
    Count
};
inline const char* StandCauseName(StandCause cause) {
    static const char* const kNames[] = {"a fight that hurts",
                                         "its moving group",
                                         "a fight that hurts nothing",
                                         "a failed route",
                                         "held behind friends in a fight",
                                         "the path queue",
                                         "a friend",
                                         "a blocked front",
                                         "nothing named"};
    return kNames[static_cast<int>(cause)];
}
// A failed route, the moving group and friends in front that fight are what the game lets a
// unit stand for, and a fight that hurts (Stand::Span::Excused); a fight that hurts nothing
// never.
inline bool Excused(StandCause cause) {
    return cause == StandCause::Group || cause == StandCause::FailedRoute ||
           cause == StandCause::FriendsInAFight;
}
// On an errand: an order of its own, not only a step aside and the route to it.
inline bool OnAnErrand(const GoalQueue& goals) {
    bool errand = false;
    goals.ForEach([&errand](const Goal& goal) {
        errand = errand || (goal.movedAside == 0 && goal.waypoint == 0);
    });
    return errand;
}
constexpr int kStandReach = 32;
// A unit is in a fight while it, or the object it fired at last, took damage this recently:
// the longest reload of the sample catalogue is 2.2 s. Whether an enemy stood near said
// nothing (an army stood for minutes 200 px from a target it never fired at), nor did firing
// alone: Wardens of two sides stood jammed face to face for 8 minutes, firing, five never hurt.
constexpr int kFightTicks = 10 * 1000 / kStepMs;

// Who fired at what, who was shot at and who was hurt, by object (PathRequestNode::KeyOf), at
// which tick.
struct FightLog {
    std::map<int64_t, int> firedAt;
    std::map<int64_t, int> shotAt;
    std::map<int64_t, int> hurtAt;
    std::map<int64_t, int64_t> firedOn;

    void Fired(int64_t owner, int64_t target, int tick) {
        firedAt[owner] = tick;
        shotAt[target] = tick;
        firedOn[owner] = target;
    }
    void Hurt(int64_t object, int tick) { hurtAt[object] = tick; }
    static bool Recent(const std::map<int64_t, int>& at, int64_t key, int now) {
        const auto it = at.find(key);
        return it != at.end() && now - it->second <= kFightTicks;
    }
    // Fired at a hostile object, or shot at by one, lately.
    bool Shooting(int64_t unit, int now) const {
        return Recent(firedAt, unit, now) || Recent(shotAt, unit, now);
    }
    // Hurt lately, or firing lately at what was hurt lately.
    bool Hurting(int64_t unit, int now) const {
        if (Recent(hurtAt, unit, now)) return true;
        const auto on = firedOn.find(unit);
        return on != firedOn.end() && Recent(firedAt, unit, now) && Recent(hurtAt, on->second, now);
    }
};
// A shot marks a fight when it flies at an object of a hostile side, or at a wreck (of no side:
// a unit shoots one out of its way, and a hit takes its salvage); a shot at a field does not.
inline bool ShotMarksAFight(GameObject& owner, GameObject& target) {
    if (target.GetKind() == ObjectKind::kWreck) return true;
    return target.GetTeam() != 0 && owner.IsHostileTo(&target) == 1;
}
// What an object has lost so far: its damage, or a wreck's salvage shot or taken away. Read as
// damage alone, a unit shooting a wreck out of its way for a minute stood "out of a fight".
inline int32_t Worn(GameObject& object) {
    return object.GetKind() == ObjectKind::kWreck ? -object.GetCargo() : object.damage.Value();
}

// The route searches a unit may ask in a minute before it is named, and the span in which a
// unit may ask one toward a target it cannot see.
constexpr int kBusySearches = 30;
constexpr int kUnseenSearchTicks = 5 * 1000 / kStepMs;

// The ticks of what a unit did, as many as fall in a window ending at the last.
struct TickWindow {
    std::vector<int> at;

    // Notes the tick and returns how many noted ticks fall in the window to it.
    int Note(int tick, int windowTicks) {
        at.push_back(tick);
        at.erase(at.begin(), std::lower_bound(at.begin(), at.end(), tick - windowTicks + 1));
        return static_cast<int>(at.size());
    }
};

// The order a unit holds, as a stand counts it: the object an attack or errand is on, else the
// place of a move; 0 for none. The same attack given again is the same order.
inline int64_t OrderKey(GoalQueue& goals) {
    Goal* order = goals.FirstUnfinished();
    if (!order) return 0;
    if (GameObject* target = order->GetTarget())
        return INT64_MIN | PathRequestNode::KeyOf(target->id);
    const Point p = order->GetLocation();
    const int64_t type = order->GetType(), x = p.x, y = p.y;
    return (type << 48) ^ (x << 24) ^ y ^ 1;
}

// A unit standing on its way with one order: where it stood when the span began, since when,
// and at how many samples of it each cause held; its cause is the one seen most. A new order
// begins a new span: a home ring laid out anew at each change of its count gave its members new
// places every few seconds, and what a stand measures is how long an order stood. A sample in a
// fight that hurts goes on with the span: restarted by one, stands of up to 109 s, most of them
// of units never hurt, were named nowhere. The span is excused as a fight only when at least
// half its samples were in one.
struct Stand {
    struct Span {
        int ticks = 0;
        StandCause cause = StandCause::Other;
        int samples = 0;
        int inAFight = 0;

        bool Excused() const {
            return skirmish::Excused(cause) || (samples > 0 && inAFight * 2 >= samples);
        }
    };
    Point anchor;
    int from = -1;
    int64_t order = 0;
    int seen[static_cast<int>(StandCause::Count)] = {};

    // Returns the span so far, or a zero span when the unit does not stand. A sample in a fight
    // is noted with the cause Fight.
    Span Note(int tick, bool onItsWay, const Point& at, StandCause cause, int64_t orderKey = 0) {
        const int dx = at.x - anchor.x, dy = at.y - anchor.y;
        if (!onItsWay || from < 0 || orderKey != order ||
            dx * dx + dy * dy > kStandReach * kStandReach) {
            *this = Stand();
            if (onItsWay) {
                anchor = at;
                from = tick;
                order = orderKey;
            }
        }
        if (from < 0) return Span();
        ++seen[static_cast<int>(cause)];
        const int* most = std::max_element(std::begin(seen), std::end(seen));
        int samples = 0;
        for (int n : seen)
            samples += n;
        return Span{tick - from, static_cast<StandCause>(most - seen), samples,
                    seen[static_cast<int>(StandCause::Fight)]};
    }
};

// The pushes a unit took (ticks), by the friend-in-the-way rule and by all callers, and each
// while the unit was on an errand.
enum PushCount { kByRule, kByAll, kByRuleOnErrand, kByAllOnErrand, kPushCounts };
struct Pushes {
    std::vector<int> at[kPushCounts];
    // The errand pushes of the last minute, by caller.
    std::vector<std::pair<int, AsideCaller>> errandCallers;

    // Notes a push at the tick and returns how many of that count fell in the minute to it.
    int Note(int count, int tick) {
        constexpr int kMinuteTicks = 60 * 1000 / kStepMs;
        std::vector<int>& ticks = at[count];
        ticks.push_back(tick);
        const auto first = std::lower_bound(ticks.begin(), ticks.end(), tick - kMinuteTicks + 1);
        ticks.erase(ticks.begin(), first);
        return static_cast<int>(ticks.size());
    }
};

struct Side {
    std::set<int32_t> born;
    int minersBorn = 0;
    int mined = 0;  // the largest load a miner of the side was seen carrying
    // What the side's miners were seen handing over (their loads going down), and when first.
    int unloaded = 0;
    int firstUnloadTick = 0;
    int firstMinerTick = 0;  // when the side's first miner was seen
    std::map<int32_t, int> loads;
    int lost = 0;  // units born and gone
    int lowestCargo = INT32_MAX;
    // The most ore the deposit under the open factory was seen holding, and the least.
    int depositMost = 0;
    int depositLeast = INT32_MAX;
    int factoryAlive = 1;
    int64_t value = 0;  // units' first cost plus the factory's cargo and store, at the end
    int atStart = 0;    // units the side had when the game started
    // Samples in which one of the side's groups was attacking an object of the other side, the
    // most members such a group had, and the damage the other side took meanwhile (hits and
    // units lost).
    int attackSamples = 0;
    int largestAttack = 0;
    int64_t damageDealt = 0;
    std::map<int32_t, int32_t> damageSeen;  // the side's own objects: the damage last sampled
    // The longest span over which the factory's ore stood unchanged while the fields still held
    // ore; the longest such span while the side also had a miner; and the longest while, besides,
    // the factory held a design it could not pay for (the jam the sweep is there to catch).
    StillSpan still;
    StillSpan stillWithMiner;
    StillSpan stillHeld;
    // What keeps a unit standing for causes of its own side. Stands: spans in which a unit on its
    // way to a place or a target moved no more than kStandReach, in a fight (kFightTicks) or
    // not, the longest of all, the longest not excused (Stand::Span::Excused), and every span
    // over a minute (unit, length, end, cause, samples in a fight, front goal and the order
    // behind its waypoints). Pushes: the most
    // times any unit was ordered aside in a minute, by the friend-in-the-way rule and by all
    // callers, each also while the unit was on an errand. The longest a scavenger or miner stood
    // with a blocked front (ticks), and that while no failed route held it and it was in no fight.
    // The longest a path request of the side waited (game ms), a finished product stood at the door
    // (production state 3), and that while a unit of the side stood on the roll-out square, and
    // the longest span with a miner alive and no delivery (ticks).
    std::map<int32_t, Stand> stands;
    Stand::Span standing;
    Stand::Span standingUnexcused;
    std::string longStands;
    // Route searches: per unit those of the last minute and those toward a target it could not
    // see in the last kUnseenSearchTicks; the most of each for any unit; per unit the most in a
    // minute and its front goal then, named at the end when over kBusySearches.
    std::map<int32_t, TickWindow> searches;
    std::map<int32_t, TickWindow> unseenSearches;
    int mostSearches = 0;
    int mostUnseenSearches = 0;
    std::map<int32_t, std::pair<int, std::string>> searchPeaks;
    std::string busySearchers;
    std::map<int32_t, Pushes> pushes;
    int mostPushes[kPushCounts] = {};
    // The unit of the most errand pushes in a minute, and who pushed it then.
    std::string mostPushedBy;
    std::map<int32_t, HeldSpan> workerBlocked;
    std::map<int32_t, HeldSpan> workerBlockedUnexcused;
    int workerBlockedLongest = 0;
    int workerBlockedUnexcusedLongest = 0;
    int pathWaitMs = 0;
    // What became of the side's orders, and the units that stood firing or shot at while
    // nothing was hurt: the longest such span and every one over a minute.
    OrderLedger::Tally orders;
    std::map<int32_t, Stand> hurtless;
    Stand::Span hurtlessLongest;
    std::string hurtlessStands;
    HeldSpan atDoor;
    HeldSpan atDoorHeld;
    HeldSpan noDelivery;
};

// One side's (or one row's) orders added to another's: counts summed, the longest wait kept.
inline void AddOrders(OrderLedger::Tally& into, const OrderLedger::Tally& from) {
    for (auto [sum, add] : {std::pair{&into.given, from.given},
                            {&into.attacks, from.attacks},
                            {&into.carriedOut, from.carriedOut},
                            {&into.arrivedByRule, from.arrivedByRule},
                            {&into.byStep, from.byStep},
                            {&into.givenUp, from.givenUp},
                            {&into.attacksGivenUp, from.attacksGivenUp},
                            {&into.replaced, from.replaced},
                            {&into.lost, from.lost}})
        *sum += add;
    for (auto [sums, adds] : {std::pair{&into.steps, &from.steps},
                              {&into.arrivals, &from.arrivals},
                              {&into.rules, &from.rules},
                              {&into.attackRules, &from.attackRules},
                              {&into.holds, &from.holds}})
        for (const auto& [name, count] : *adds)
            (*sums)[name] += count;
    if (from.longestWait > into.longestWait) {
        into.longestWait = from.longestWait;
        into.longestWaitText = from.longestWaitText;
    }
}

// Orders in words: how many were given and how each way of ending them counted, by name.
inline std::string OrderFigures(const OrderLedger::Tally& orders) {
    auto named = [](const std::map<std::string, int>& counts) {
        std::string text;
        for (const auto& [name, count] : counts)
            text += (text.empty() ? "" : "; ") + name + " " + std::to_string(count);
        return text.empty() ? std::string("none") : text;
    };
    const int open = orders.given - orders.carriedOut - orders.arrivedByRule - orders.byStep -
                     orders.givenUp - orders.replaced - orders.lost;
    return "orders given " + std::to_string(orders.given) + " (attacks " +
           std::to_string(orders.attacks) + "), carried out " + std::to_string(orders.carriedOut) +
           ", arrived by a rule of ours " + std::to_string(orders.arrivedByRule) + " (" +
           named(orders.arrivals) + "), ended by a step " + std::to_string(orders.byStep) + " (" +
           named(orders.steps) + "), given up by a rule of ours " + std::to_string(orders.givenUp) +
           " (" + named(orders.rules) + "; attacks " + std::to_string(orders.attacksGivenUp) +
           ": " + named(orders.attackRules) + "), held by a rule of ours (" + named(orders.holds) +
           "), put aside " + std::to_string(orders.replaced) + ", with the unit lost " +
           std::to_string(orders.lost) + ", open " + std::to_string(open) +
           ", longest wait behind one not carried out " +
           std::to_string(orders.longestWait * kStepMs / 1000) + " s" +
           (orders.longestWaitText.empty() ? "" : " (" + orders.longestWaitText + ")");
}

// A side's stands and route searches, in the words every game line gives them.
inline std::string StandFigures(const Side& side) {
    auto seconds = [](int ticks) { return std::to_string(ticks * kStepMs / 1000); };
    return "stood " + seconds(side.standing.ticks) + " s (" + StandCauseName(side.standing.cause) +
           "), not excused " + seconds(side.standingUnexcused.ticks) + " s (" +
           StandCauseName(side.standingUnexcused.cause) + "), route searches in a minute " +
           std::to_string(side.mostSearches) + ", toward an unseen target in 5 s " +
           std::to_string(side.mostUnseenSearches) + ", in a fight that hurts nothing " +
           seconds(side.hurtlessLongest.ticks) + " s, " + OrderFigures(side.orders);
}

struct Outcome {
    Side sides[World::kTeams];
    int ticks = 0;
};

// The World of a run, told of every route search a unit asks: a unit's turn to search, not a
// search going on from an earlier turn (the same search) nor one the game makes for it (the
// nearest of several by route).
class MeasuringWorld : public World {
public:
    std::function<void(GameObject& unit)> onSearch;

    int TakePathTurn(GameObject* object) override {
        const int turn = World::TakePathTurn(object);
        auto* sim = dynamic_cast<Sim*>(object);
        if (turn == 1 && onSearch && sim && sim->searchGoingOn.held == 0) onSearch(*sim);
        return turn;
    }
};

class SkirmishRun {
public:
    // Different levels are given through a controller of a fixed level; equal ones through
    // the installed maker unchanged.
    // With timing, both sides play through timed controllers and the clock steps 16 ms per tick
    // plus the real time spent inside the tick.
    // The local team plays the local clan, its opponent the other. With presetTargets each
    // side's target team is set to the other before its set-up, as a players record's P does:
    // otherwise neither side ever chooses one, for both factories have a controller.
    // A pack land (a row of the made land pack, 0 .. 3 the skirmish lands) is played instead of
    // a generated one when given.
    SkirmishRun(const std::filesystem::path& madeAssets, uint32_t seed, int localLevel,
                int opponentLevel, AiTiming* timing = nullptr, char localClan = 'V',
                bool presetTargets = false, int packLand = -1, int opponents = 1)
        : seed(seed),
          timing(timing),
          localClan(localClan),
          packLand(packLand),
          opponents(std::clamp(opponents, 1, World::kTeams - 2)) {
        if (packLand < 0) files.WriteLand(SkirmishLand(seed));
        // The land fixture's directory is the asset directory: the made set is seen through it
        // (wholly for a pack land, whose palette and blend rows the fixture's packs lack).
        namespace fs = std::filesystem;
        const fs::path here = files.Path();
        for (const auto& entry : fs::directory_iterator(madeAssets)) {
            const fs::path into = here / entry.path().filename();
            if (packLand >= 0 && fs::is_regular_file(fs::symlink_status(into))) fs::remove(into);
            if (!fs::exists(into)) fs::create_symlink(entry.path(), into);
        }
        // A pack land's tile set may live on a volume: seen from the asset directory too.
        const fs::path volumes = madeAssets.parent_path() / "volumes";
        if (packLand >= 0 && fs::is_directory(volumes)) {
            for (const auto& volume : fs::directory_iterator(volumes)) {
                const fs::path data = volume.path() / "Assets" / "Data";
                if (!fs::is_directory(data)) continue;
                for (const auto& entry : fs::directory_iterator(data)) {
                    const fs::path into = here / entry.path().filename();
                    if (entry.path().extension() == ".tls" && !fs::exists(into))
                        fs::create_symlink(entry.path(), into);
                }
            }
        }
        auto measuring = std::make_unique<MeasuringWorld>();
        measuring->onSearch = [this](GameObject& unit) { NoteSearch(unit); };
        world = std::move(measuring);
        world->localDir = files.Path();
        world->dataDir = files.Path();
        LoadStringTable("7a1.str");
        LoadTemplateCatalogue("7a.pts");
        InstallComputerOpponents(*world);
        if (localLevel != opponentLevel || timing || presetTargets) {
            const int levels[World::kTeams] = {0, localLevel, opponentLevel, opponentLevel,
                                               opponentLevel};
            world->scenarioMakers.makeController =
                [levels, timing,
                 presetTargets](const ControllerRequest& r) -> std::unique_ptr<ScenarioController> {
                auto controller = std::make_unique<LevelledController>(r.team, r.clan, r.techLevel,
                                                                       levels[r.team], timing);
                if (presetTargets)
                    controller->SetTargetTeam(r.team == kLocalTeam ? kOpponentTeam : kLocalTeam);
                return controller;
            };
        }
        if (timing) {
            winx_SetClockSource([this] {
                const auto now = std::chrono::steady_clock::now();
                LevelledController::NoteReading(now);
                return clock.Now() +
                       static_cast<uint32_t>(
                           std::chrono::duration_cast<std::chrono::milliseconds>(now - tickStart)
                               .count());
            });
        }
        level = localLevel;
    }
    ~SkirmishRun() {
        world.reset();
        ClearTemplateCatalogue();
        autoPlayFlag = savedAutoPlay;
    }

    // Starts the game; 1 when both teams have a factory and a planning controller. The design
    // screen may be left at once (a network game has none: its battle starts as soon as every
    // factory is in).
    int Start(uint32_t designScreenMs = kDesignScreenMs) {
        SeedRandom(seed);
        auto scenario = std::make_unique<Scenario>();
        scenario->computerPlayers = opponents;
        scenario->difficulty = level;
        scenario->techLevel = 5;
        scenario->localTeam = kLocalTeam;
        scenario->clanLetter = localClan;
        scenario->artifacts = 0;
        if (packLand >= 0) scenario->landNumber = packLand;
        // As the set-up screen does: every team to a start point of its own.
        scenario->ShuffleStartOrder();
        savedAutoPlay = autoPlayFlag;
        autoPlayFlag = 1;
        world->SetPendingScenario(std::move(scenario));
        if (world->NewGame() != 1) return 0;
        // As the game starts a skirmish: on the design screen, the battle paused while the
        // player looks at it and the computer players' clocks run on; the battle begins as the
        // player leaves it. The first factory decision then comes at the battle's first tick,
        // before the factory has unfolded on its deposit: started at once, every factory was
        // open on its own deposit by then, passed it over and drove to another.
        clock.Advance(designScreenMs);
        // Started at once, play starts as a network game's does.
        world->StartClocks(designScreenMs == 0 ? 1 : 0);
        world->unitMakers.asideObserver = [this](const GameObject&, const GameObject& pushed,
                                                 AsideCaller caller) { NotePush(pushed, caller); };
        world->inGame = 1;
        world->SetPaused(0);
        world->Orders().SwitchOn();
        for (int team : Teams()) {
            if (!world->TeamFactory(team)) return 0;
            if (!dynamic_cast<AIController*>(world->controllers[team].get())) return 0;
            out.sides[team].atStart = world->sims[team].Count();
        }
        return 1;
    }

    // Runs the game for the game-seconds, or until a factory falls.
    Outcome Run(int seconds, bool untilAFactoryFalls) {
        const int ticks = seconds * 1000 / kStepMs;
        for (int tick = 1; tick <= ticks; ++tick) {
            if (timing) {
                // The real time the last tick took, then the step.
                clock.Advance(
                    static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::steady_clock::now() - tickStart)
                                              .count()));
                tickStart = std::chrono::steady_clock::now();
            }
            clock.Advance(kStepMs);
            world->Tick(static_cast<int>(winx_timeGetTime()));
            ++out.ticks;
            NoteShots();
            if (timing)
                timing->longestTickMs =
                    std::max(timing->longestTickMs, LevelledController::TakeTickMs());
            if (tick % kSampleTicks == 0) {
                Sample();
                SampleFighting();
            }
            if (untilAFactoryFalls && (!out.sides[1].factoryAlive || !out.sides[2].factoryAlive))
                break;
        }
        Sample();
        for (int team : Teams()) {
            out.sides[team].value = Value(team);
            for (const auto& [serial, span] : lastStand[team])
                NameStand(team, serial, span, lastStandGoal[team], out.sides[team].longStands);
            lastStand[team].clear();
            Side& side = out.sides[team];
            side.orders = world->Orders().TallyOf(team);
            for (const auto& [serial, span] : lastHurtless[team])
                NameStand(team, serial, span, lastHurtlessGoal[team], side.hurtlessStands);
            lastHurtless[team].clear();
            side.busySearchers.clear();
            for (const auto& [serial, peak] : side.searchPeaks)
                if (peak.first > kBusySearches)
                    side.busySearchers += " unit " + std::to_string(serial) + " " +
                                          std::to_string(peak.first) + " in a minute (" +
                                          peak.second + ");";
        }
        return out;
    }

    World& GetWorld() { return *world; }
    // The playing teams: the local team and its opponents after it.
    std::vector<int> Teams() const {
        std::vector<int> teams;
        for (int team = kLocalTeam; team <= kLocalTeam + opponents; ++team)
            teams.push_back(team);
        return teams;
    }
    FakeClock& Clock() { return clock; }

private:
    // Which side has a group out against the other, and the damage each side took since the
    // last sample: the hits its objects took, and 1000 for each unit gone.
    void SampleFighting() {
        bool attacking[3] = {};
        int64_t taken[3] = {};
        for (int team : {kLocalTeam, kOpponentTeam}) {
            Side& side = out.sides[team];
            auto* controller = dynamic_cast<AIController*>(world->controllers[team].get());
            if (AIGroupManager* groups = controller ? controller->groupManager : nullptr) {
                for (ListNode* n = groups->children.First(); n; n = groups->children.Next(n)) {
                    auto* group = static_cast<Squad*>(n);
                    GameObject* target = groups->AttackTargetOf(*group);
                    if (!target || target->GetTeam() == team || target->GetTeam() < kLocalTeam)
                        continue;
                    attacking[team] = true;
                    side.largestAttack = std::max(side.largestAttack, group->MemberCount());
                }
            }
            if (attacking[team]) ++side.attackSamples;
            std::map<int32_t, int32_t> seen;
            auto note = [&](GameObject* object) {
                if (!object || object->IsDestroyed()) return;
                const int32_t damage = object->damage.Value();
                auto last = side.damageSeen.find(object->id.serial);
                if (last != side.damageSeen.end() && damage > last->second)
                    taken[team] += damage - last->second;
                seen[object->id.serial] = damage;
            };
            NodeList& list = world->sims[team];
            for (ListNode* n = list.First(); n; n = list.Next(n))
                note(static_cast<ObjectNode*>(n)->Object());
            note(world->TeamFactory(team));
            for (const auto& entry : side.damageSeen)
                if (!seen.count(entry.first)) taken[team] += 1000;
            side.damageSeen = std::move(seen);
        }
        if (attacking[kLocalTeam]) out.sides[kLocalTeam].damageDealt += taken[kOpponentTeam];
        if (attacking[kOpponentTeam]) out.sides[kOpponentTeam].damageDealt += taken[kLocalTeam];
    }

    // The ore left in the fields that miners mine.
    int64_t FieldOre() {
        int64_t ore = 0;
        for (ListNode* n = world->destructibles.First(); n; n = world->destructibles.Next(n)) {
            GameObject* field = static_cast<ObjectNode*>(n)->Object();
            if (field && !field->IsDestroyed()) ore += std::max(0, field->GetCargo());
        }
        return ore;
    }

    void Sample() {
        NoteHurt();
        const int64_t fieldOre = FieldOre();
        // Who waits in the path queue.
        std::set<int64_t> queued;
        for (ListNode* n = world->pathRequests.First(); n; n = world->pathRequests.Next(n))
            if (auto* request = dynamic_cast<PathRequestNode*>(n))
                queued.insert(PathRequestNode::KeyOf(request->id));
        for (int team : Teams()) {
            Side& side = out.sides[team];
            std::set<int32_t> alive;
            bool minerAlive = false;
            bool delivered = false;
            NodeList& list = world->sims[team];
            for (ListNode* n = list.First(); n; n = list.Next(n)) {
                GameObject* unit = static_cast<ObjectNode*>(n)->Object();
                if (!unit || unit->IsDestroyed()) continue;
                alive.insert(unit->id.serial);
                const bool miner =
                    unit->GetDesign() && ClassForDesign(*unit->GetDesign()) == SimClass::Miner;
                minerAlive = minerAlive || miner;
                if (side.born.insert(unit->id.serial).second && miner) {
                    ++side.minersBorn;
                    if (side.firstMinerTick == 0) side.firstMinerTick = out.ticks;
                }
                if (miner && unit->GetCargo() > side.mined) side.mined = unit->GetCargo();
                NoteStand(team, *unit, miner, queued);
                if (miner) {
                    int& load = side.loads[unit->id.serial];
                    if (unit->GetCargo() < load) {
                        delivered = true;
                        side.unloaded += load - unit->GetCargo();
                        if (side.firstUnloadTick == 0) side.firstUnloadTick = out.ticks;
                    }
                    load = unit->GetCargo();
                }
            }
            side.lost = static_cast<int>(side.born.size() - alive.size());
            for (auto* spans : {&side.workerBlocked, &side.workerBlockedUnexcused})
                for (auto it = spans->begin(); it != spans->end();)
                    it = alive.count(it->first) ? std::next(it) : spans->erase(it);
            for (auto* spans : {&side.stands, &side.hurtless})
                for (auto it = spans->begin(); it != spans->end();)
                    it = alive.count(it->first) ? std::next(it) : spans->erase(it);
            side.noDelivery.Note(out.ticks, minerAlive && !delivered);
            for (ListNode* n = world->pathRequests.First(); n; n = world->pathRequests.Next(n))
                if (auto* request = dynamic_cast<PathRequestNode*>(n);
                    request && request->id.team == team)
                    side.pathWaitMs = std::max(side.pathWaitMs, request->waitedMs);
            GameObject* factory = world->TeamFactory(team);
            side.factoryAlive = factory && !factory->IsDestroyed() ? 1 : 0;
            if (!side.factoryAlive) continue;
            side.still.Note(out.ticks, factory->GetCargo(), fieldOre > 0);
            side.stillWithMiner.Note(out.ticks, factory->GetCargo(), fieldOre > 0 && minerAlive);
            FactoryProduction* production = AsFactoryProduction(factory);
            const bool atDoor = production && production->ProductionState() == 3;
            side.atDoor.Note(out.ticks, atDoor);
            side.atDoorHeld.Note(out.ticks, atDoor && OwnUnitOnRollOut(team, *factory));
            side.stillHeld.Note(
                out.ticks, factory->GetCargo(),
                fieldOre > 0 && minerAlive && HoldsUnpaidJob(team, factory, production));
            side.lowestCargo = std::min(side.lowestCargo, factory->GetCargo());
            if (GameObject* deposit = production ? production->MinedDeposit() : nullptr) {
                side.depositMost = std::max(side.depositMost, deposit->GetStored());
                side.depositLeast = std::min(side.depositLeast, deposit->GetStored());
            }
        }
    }

    // Every shot in flight that marks a fight (ShotMarksAFight) marks its owner as firing and
    // its target as shot at, at this tick.
    void NoteShots() {
        for (int team = 0; team < World::kTeams; ++team) {
            NodeList& list = world->weapons[team];
            for (ListNode* n = list.First(); n; n = list.Next(n)) {
                auto* shot = dynamic_cast<Weapon*>(static_cast<ObjectNode*>(n)->Object());
                if (!shot) continue;
                GameObject* owner = world->FindObject(shot->OwnerHandle());
                GameObject* target = world->FindObject(shot->TargetHandle());
                // An aimed shot flies at a point and names no target: what it was fired at is
                // its mount's, when the mount reaches it. Unnoted, units firing at an enemy their
                // weapons could not hurt stood "out of a fight" for minutes; taken out of reach, a
                // mount held on a far attack target again once its shot at a wreck in the way had
                // flown named that target shot at, and twenty units' attack on a Repair Crawler
                // 500 px off stood it "in a fight" for a minute.
                SpriteAttachment* mount = owner ? owner->GetArmedPart(shot->hardpoint) : nullptr;
                if (!target && mount) {
                    GameObject* held = world->FindObject(mount->GetTarget());
                    if (held && mount->InRange(owner->GetPosition(), held) == 1) target = held;
                }
                if (!owner || !target || !ShotMarksAFight(*owner, *target)) continue;
                fights.Fired(PathRequestNode::KeyOf(owner->id), PathRequestNode::KeyOf(target->id),
                             out.ticks);
            }
        }
    }
    bool InAFight(const GameObject& unit) const {
        return fights.Hurting(PathRequestNode::KeyOf(unit.id), out.ticks);
    }
    // Every object of a side, and of none (a wreck), worn since the last sample is hurt now.
    void NoteHurt() {
        auto note = [this](GameObject* object) {
            if (!object || object->IsDestroyed()) return;
            const int64_t key = PathRequestNode::KeyOf(object->id);
            const int32_t worn = Worn(*object);
            const auto [last, fresh] = damageBefore.try_emplace(key, worn);
            if (!fresh && worn > last->second) fights.Hurt(key, out.ticks);
            last->second = worn;
        };
        for (int team = 0; team < World::kTeams; ++team)
            for (NodeList* list : {&world->sims[team], &world->buildings[team]})
                for (ListNode* n = list->First(); n; n = list->Next(n))
                    note(static_cast<ObjectNode*>(n)->Object());
        for (ListNode* n = world->wrecks.First(); n; n = world->wrecks.Next(n))
            note(static_cast<ObjectNode*>(n)->Object());
        for (int team : Teams())
            note(world->TeamFactory(team));
    }
    // The friend a chain of friends blocking one another ends in fired lately.
    bool HeldBehindFriendsInAFight(GameObject& unit) {
        GameObject* last = nullptr;
        GameObject* at = &unit;
        for (int hop = 0; hop < 16; ++hop) {
            SimId blockerId;
            at->GetBlockingSim(blockerId);
            GameObject* blocker = world->FindObject(blockerId);
            if (!blocker || blocker == at || blocker == &unit || blocker->GetTeam() == 0 ||
                unit.IsHostileTo(blocker) != 0)
                break;
            last = blocker;
            at = blocker;
        }
        return last && InAFight(*last);
    }

    // A goal of the unit in words: a target (whether the unit sees it, how far it is) or a
    // place.
    static std::string GoalText(GameObject& unit, Goal* goal) {
        GameObject* target = goal ? goal->GetTarget() : nullptr;
        if (target)
            return "a target goal on unit " + std::to_string(target->id.serial) + " of team " +
                   std::to_string(target->GetTeam()) +
                   (unit.CanSee(target) == 1 ? ", seen " : ", unseen ") +
                   std::to_string(static_cast<int>(
                       Vector(target->GetPosition() - unit.GetPosition()).magnitude)) +
                   " px off";
        if (goal)
            return "a goal of type " + std::to_string(goal->GetType()) + " to (" +
                   std::to_string(goal->GetLocation().x) + "," +
                   std::to_string(goal->GetLocation().y) + ")";
        return "no goal";
    }
    // The front goal, and the order behind its waypoints when there is one.
    static std::string FrontGoalText(GameObject& unit) {
        Goal* front = unit.goals.Front();
        Goal* order = unit.goals.FirstUnfinished();
        std::string text = GoalText(unit, front);
        if (order && order != front) text += " for " + GoalText(unit, order);
        return text;
    }

    // A route search the unit asks: counted in its minute, and in its last few seconds when its
    // front goal is a target of another side that it cannot see.
    void NoteSearch(GameObject& unit) {
        const int team = unit.GetTeam();
        if (team < kLocalTeam || team > kLocalTeam + opponents) return;
        Side& side = out.sides[team];
        constexpr int kMinuteTicks = 60 * 1000 / kStepMs;
        const int inMinute = side.searches[unit.id.serial].Note(out.ticks, kMinuteTicks);
        side.mostSearches = std::max(side.mostSearches, inMinute);
        Goal* front = unit.goals.Front();
        GameObject* target = front ? front->GetTarget() : nullptr;
        auto& peak = side.searchPeaks[unit.id.serial];
        if (inMinute > peak.first) {
            peak = {inMinute, FrontGoalText(unit) + " at " +
                                  std::to_string(out.ticks * kStepMs / 1000) + " s"};
        }
        if (target && target->GetTeam() != team && unit.CanSee(target) == 0)
            side.mostUnseenSearches =
                std::max(side.mostUnseenSearches,
                         side.unseenSearches[unit.id.serial].Note(out.ticks, kUnseenSearchTicks));
    }

    // A unit on its way to a place or a target that stands, and a scavenger or miner whose
    // front is blocked: their spans, and what they waited on.
    void NoteStand(int team, GameObject& unit, bool miner, const std::set<int64_t>& queued) {
        Side& side = out.sides[team];
        const Point at = unit.GetPosition();
        Goal* front = unit.goals.Front();
        const int type = front ? front->GetType() : 0;
        // A deployed unit (a repair station serving a friend) holds a target goal standing. An
        // idle unit sent aside holds no order: in a corner of a ring's places clamped to the map,
        // idle units pushed one another aside by turns for minutes, and none had a way to go.
        bool onItsWay = unit.IsMobile() == 1 &&
                        (type == static_cast<int>(GoalType::Location) ||
                         type == static_cast<int>(GoalType::Target)) &&
                        OnAnErrand(unit.goals);
        const bool inAFight = InAFight(unit);
        auto* sim = dynamic_cast<Sim*>(&unit);
        const bool blocked = unit.goals.IsFrontBlocked() == 1;
        // Only a search that really found no way excuses the stand: a retried goal blocked by
        // it, within the hold before the next search. A request merely outstanding does not.
        const bool failedRoute =
            blocked && front && front->retried == 1 && sim && sim->RouteSearchHeld() == 1;
        // A hold of a rule of ours is no failed route, though its timer is the same.
        const int32_t heldByOurs = world->Orders().LastHeld(unit.id);
        const bool ours = heldByOurs >= 0 && world->TickCount() - heldByOurs <= kSampleTicks;
        const int64_t key = PathRequestNode::KeyOf(unit.id);
        const bool hurtless = fights.Shooting(key, out.ticks) && !inAFight;
        SimId blockerId;
        unit.GetBlockingSim(blockerId);
        GameObject* blocker = world->FindObject(blockerId);
        StandCause cause = StandCause::Other;
        if (inAFight)
            cause = StandCause::Fight;
        else if (sim && sim->InMovingGroup() == 1)
            cause = StandCause::Group;
        else if (hurtless)
            cause = StandCause::HurtlessFight;
        else if (failedRoute && !ours)
            cause = StandCause::FailedRoute;
        else if (HeldBehindFriendsInAFight(unit))
            cause = StandCause::FriendsInAFight;
        else if (queued.count(PathRequestNode::KeyOf(unit.id)))
            cause = StandCause::PathQueue;
        // A friend: a unit or a structure of its side, unless it is the target the unit met.
        else if (blocker && blocker != &unit && blocker->GetTeam() != 0 &&
                 unit.IsHostileTo(blocker) == 0 && !(blocked && front->GetTarget() == blocker))
            cause = StandCause::Friend;
        else if (blocked)
            cause = StandCause::BlockedFront;
        const Stand::Span span =
            side.stands[unit.id.serial].Note(out.ticks, onItsWay, at, cause, OrderKey(unit.goals));
        if (span.ticks > side.standing.ticks) side.standing = span;
        if (!span.Excused() && span.ticks > side.standingUnexcused.ticks)
            side.standingUnexcused = span;
        KeepOverAMinute(team, unit, span, lastStand[team][unit.id.serial], lastStandGoal[team],
                        side.longStands);
        // Standing firing, or shot at, while nothing is hurt, whatever the unit holds.
        const Stand::Span fight = side.hurtless[unit.id.serial].Note(
            out.ticks, hurtless && unit.IsMobile() == 1, at, StandCause::HurtlessFight);
        if (fight.ticks > side.hurtlessLongest.ticks) side.hurtlessLongest = fight;
        KeepOverAMinute(team, unit, fight, lastHurtless[team][unit.id.serial],
                        lastHurtlessGoal[team], side.hurtlessStands);
        const bool worker =
            miner || (unit.GetDesign() && ClassForDesign(*unit.GetDesign()) == SimClass::Scavenger);
        HeldSpan& held = side.workerBlocked[unit.id.serial];
        held.Note(out.ticks, worker && blocked);
        side.workerBlockedLongest = std::max(side.workerBlockedLongest, held.longest);
        HeldSpan& unexcused = side.workerBlockedUnexcused[unit.id.serial];
        // Nor does a fight: a scavenger that fires at a raider beside its factory is blocked by it.
        unexcused.Note(out.ticks, worker && blocked && !failedRoute && !inAFight);
        side.workerBlockedUnexcusedLongest =
            std::max(side.workerBlockedUnexcusedLongest, unexcused.longest);
    }

    // A span over a minute is named once, when it ends or the game does, with the goal the unit
    // last held in it.
    void KeepOverAMinute(int team, GameObject& unit, const Stand::Span& span, Stand::Span& pending,
                         std::map<int32_t, std::string>& goals, std::string& into) {
        constexpr int kMinuteTicks = 60 * 1000 / kStepMs;
        if (span.ticks < pending.ticks) {
            NameStand(team, unit.id.serial, pending, goals, into);
            pending = Stand::Span();
        }
        if (span.ticks > kMinuteTicks) {
            pending = span;
            goals[unit.id.serial] = FrontGoalText(unit);
        }
    }
    // A span over a minute, named with the goal the unit last held in it, its samples in a
    // fight that hurts, and whether that excused it.
    void NameStand(int team, int32_t serial, const Stand::Span& span,
                   std::map<int32_t, std::string>& goals, std::string& into) {
        if (span.ticks == 0) return;
        const int s = span.ticks * kStepMs / 1000;
        const int from = (out.ticks - span.ticks) * kStepMs / 1000;
        const std::string fight = span.inAFight == 0
                                      ? ""
                                      : ", in a fight " + std::to_string(span.inAFight) + " of " +
                                            std::to_string(span.samples) + " samples";
        into += std::string(span.Excused() ? " excused:" : "") + " unit " + std::to_string(serial) +
                " of team " + std::to_string(team) + " " + std::to_string(s) + " s to " +
                std::to_string(from + s) + " s (" + StandCauseName(span.cause) + fight + ", " +
                goals[serial] + ");";
    }

    // Every push that took, counted on the unit pushed.
    void NotePush(const GameObject& pushed, AsideCaller caller) {
        const int team = pushed.GetTeam();
        if (team < kLocalTeam || team > kLocalTeam + opponents) return;
        Side& side = out.sides[team];
        const bool errand = OnAnErrand(pushed.goals);
        Pushes& pushes = side.pushes[pushed.id.serial];
        for (int count : {kByRule, kByAll, kByRuleOnErrand, kByAllOnErrand}) {
            const bool byRule = count == kByRule || count == kByRuleOnErrand;
            const bool onErrand = count == kByRuleOnErrand || count == kByAllOnErrand;
            if ((byRule && caller != AsideCaller::FriendInTheWay) || (onErrand && !errand))
                continue;
            const int inMinute = pushes.Note(count, out.ticks);
            if (count == kByAllOnErrand) {
                constexpr int kMinuteTicks = 60 * 1000 / kStepMs;
                auto& callers = pushes.errandCallers;
                callers.emplace_back(out.ticks, caller);
                std::erase_if(
                    callers, [this](const auto& c) { return c.first <= out.ticks - kMinuteTicks; });
                if (inMinute > side.mostPushes[count]) {
                    static const char* const kCallers[] = {"other",      "friend in the way",
                                                           "clear way",  "clear way at docks",
                                                           "controller", "factory"};
                    int by[std::size(kCallers)] = {};
                    for (const auto& c : callers)
                        ++by[static_cast<size_t>(c.second)];
                    side.mostPushedBy = "unit " + std::to_string(pushed.id.serial) + " at " +
                                        std::to_string(pushed.GetPosition().x) + "," +
                                        std::to_string(pushed.GetPosition().y) + " by";
                    for (size_t i = 0; i < std::size(kCallers); ++i)
                        if (by[i] > 0)
                            side.mostPushedBy +=
                                std::string(" ") + kCallers[i] + " " + std::to_string(by[i]);
                }
            }
            side.mostPushes[count] = std::max(side.mostPushes[count], inMinute);
        }
    }

    // A unit of the team stands on the square its factory's product rolls out to.
    bool OwnUnitOnRollOut(int team, GameObject& factory) {
        constexpr int kSquare = FactoryBuilding::kBuildArea;
        const Rect square(factory.GetPosition() + FactoryBuilding::kRollOutOffset,
                          Size(kSquare, kSquare), 'c');
        NodeList& list = world->sims[team];
        for (ListNode* n = list.First(); n; n = list.Next(n)) {
            GameObject* unit = static_cast<ObjectNode*>(n)->Object();
            if (unit && !unit->IsDestroyed() && unit->GetBounds().Intersect(square) != Rect())
                return true;
        }
        return false;
    }

    // The factory is idle while a design waits that its cargo or store cannot yet pay for: the
    // next job in its list, or the design its computer player holds back until it can pay.
    bool HoldsUnpaidJob(int team, GameObject* factory, FactoryProduction* production) {
        if (!production || production->CurrentJob() || production->ProductionState() != 0)
            return false;
        auto unpaid = [factory](VehicleDesign* design) {
            return design && (factory->GetCargo() < design->SumPartField5() ||
                              factory->GetStored() < design->SumPartField6());
        };
        const int count = production->QueuedJobCount();
        if (count > 0) return unpaid(production->QueuedJob(count - 1));
        auto* controller = dynamic_cast<AIController*>(world->controllers[team].get());
        return controller && unpaid(controller->heldDesign.get());
    }

    int64_t Value(int team) {
        int64_t value = 0;
        NodeList& list = world->sims[team];
        for (ListNode* n = list.First(); n; n = list.Next(n)) {
            GameObject* unit = static_cast<ObjectNode*>(n)->Object();
            if (unit && !unit->IsDestroyed() && unit->GetDesign())
                value += unit->GetDesign()->SumPartField5();
        }
        if (GameObject* factory = world->TeamFactory(team); factory && !factory->IsDestroyed())
            value += factory->GetCargo() + factory->GetStored();
        return value;
    }

    uint32_t seed;
    AiTiming* timing = nullptr;
    char localClan = 'V';
    int packLand = -1;
    int opponents = 1;
    std::chrono::steady_clock::time_point tickStart = std::chrono::steady_clock::now();
    int level = 1;
    int32_t savedAutoPlay = 0;
    FakeClock clock{1000};
    LandFixture files;
    std::unique_ptr<World> world;
    Outcome out;
    // Per team, each unit's stand over a minute not yet named.
    std::map<int32_t, Stand::Span> lastStand[World::kTeams];
    // Per team, each unit's front goal when its stand over a minute was last sampled.
    std::map<int32_t, std::string> lastStandGoal[World::kTeams];
    // Per team, each unit's span over a minute in a fight that hurts nothing not yet named, and
    // its front goal then.
    std::map<int32_t, Stand::Span> lastHurtless[World::kTeams];
    std::map<int32_t, std::string> lastHurtlessGoal[World::kTeams];
    // Who fired at and was hurt by whom; every object's damage at the last sample.
    FightLog fights;
    std::map<int64_t, int32_t> damageBefore;
};

}  // namespace skirmish
