// Every campaign mission of both clans played headless from its pack row to its end on a
// fixed-step clock, against its own scripted opponents, by a simple scripted player: its fighters
// wait at the factory, answering hostiles that come near it, until a group is complete, and the
// group's units then attack the nearest hostile object (the known ones first); its miners are
// sent to find a field, its factory replaces lost miners and otherwise builds the library's
// fighting designs. Against the planners at tech level 8 of both clans' missions 11 the player
// designs its own fighters once at the start with the automatic designer, one armed with each
// damage kind, and its groups make for the hostile factories. Each row must be won within an
// hour of game time, with the script's timed action seen on the way; missions 3 of both clans are
// lost by a player who does nothing. The runs take minutes under the sanitizers, so they are left
// to the optimised build.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <typeinfo>
#include <vector>

#include "MissionPackWorld.h"
#include "ai/AIPlayer.h"
#include "catalogue/DesignLibrary.h"
#include "catalogue/DesignRules.h"
#include "catalogue/PartRule.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "catalogue/WeaponTemplate.h"
#include "map/ObjectKinds.h"
#include "map/TerrainMap.h"
#include "objects/FactoryProduction.h"
#include "support/MadeAssets.h"
#include "world/GameFlow.h"

#if defined(__SANITIZE_ADDRESS__)
#define QX_MISSION_RUNS_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QX_MISSION_RUNS_SANITIZED 1
#endif
#endif

namespace {

using mission_pack::MissionPackWorld;
namespace traits = unit_traits;

constexpr int64_t kHourMs = 60 * 60 * 1000;
constexpr int kOrderEveryTicks = 64;
constexpr int kMiners = 2;
constexpr int kLocal = 1;
constexpr int32_t kT5Deposit = 10;
constexpr int64_t kT5DriveAfterMs = 120000;
// The battle screen's orders, given with Ctrl held (the units' own rules do not take over).
constexpr int kMoveOrder = 10;
constexpr int kAttackOrder = 2;
constexpr int kCtrlClick = 4;

// The missions 11 of both clans, at tech level 8: the player designs its own fighters and gathers
// groups of this size.
constexpr int kDesigningRows[] = {10, 21};
constexpr int kGroupSize = 8;
// The other rows' fighters, the library's designs, go out in groups of this size: T3's opponent
// sends ten units at the factory early on, and fewer met them one group at a time.
constexpr int kLibraryGroupSize = 10;

// The script timer's period of each row's script as seen by its computer team 2 (0: its script
// starts none, or never reads it, as T7); rows 10 and 21 are played by the planner.
const int32_t kTimedMs[22] = {180000, 300000, 180000, 180000, 0, 0, 0, 420000, 180000, 0, 0, 180000,
                              300000, 180000, 180000, 180000, 0, 0, 0, 0,      180000, 0};

std::string RowName(const ::testing::TestParamInfo<int>& info) {
    const int row = info.param;
    return (row < 11 ? "V" : "T") + std::to_string(row < 11 ? row + 1 : row - 10);
}

// The first moment a script timer that was running stops, is restarted or expires.
class TimerWatch {
public:
    void Look(AIPlayer* player, int64_t now) {
        if (!player || firedAt >= 0) return;
        const Timer& t = player->scriptTimer;
        if (wasRunning &&
            (t.state != TimerState::Running || t.start != start || t.period != period))
            firedAt = now;
        wasRunning = t.state == TimerState::Running && t.period > 0;
        start = t.start;
        period = t.period;
    }
    int64_t firedAt = -1;

private:
    bool wasRunning = false;
    uint32_t start = 0;
    int32_t period = 0;
};

class MissionRun : public MadeAssetsTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
#ifdef QX_MISSION_RUNS_SANITIZED
        GTEST_SKIP() << "whole missions are played in the optimised build only";
#endif
        MadeAssetsTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        pack =
            std::make_unique<MissionPackWorld>(Local(), Volume(MadeAssets::kVolumes[0]) / "Data");
    }
    void TearDown() override {
        pack.reset();
    }

    bool Hostile(int team) {
        return team != kLocal && !pack->world->AreAllied(kLocal, team);
    }

    static bool Known(GameObject* o) {
        const Point seen = o->GetReferencePoint(kLocal);
        return seen.x != 0 || seen.y != 0;
    }

    // Within sight of a unit, whatever the sight grid remembers.
    static bool Near(const Point& a, const Point& b) {
        return std::abs(a.x - b.x) + std::abs(a.y - b.y) <= 384;
    }

    GameObject* NearestHostileFactory(const Point& p) {
        GameObject* best = nullptr;
        int64_t bestDistance = INT64_MAX;
        for (int team = 2; team < World::kTeams; ++team) {
            GameObject* f = Hostile(team) ? pack->world->TeamFactory(team) : nullptr;
            if (!f || f->IsDestroyed()) continue;
            const Point d = f->GetPosition() - p;
            const int64_t distance = int64_t{d.x} * d.x + int64_t{d.y} * d.y;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = f;
            }
        }
        return best;
    }

    // Within reach of the longest weapons firing at the factory.
    static bool NearHome(const Point& home, const Point& p) {
        return std::abs(home.x - p.x) + std::abs(home.y - p.y) <= 640;
    }

    // Hidden by a cloak in force: the player cannot see it and his weapons cannot hit it.
    static bool Cloaked(GameObject* o) {
        return o->stealth.IsHidden(o->GetTeam()) == 1;
    }

    // The nearest hostile object to p: known to the local team first (unless knownFirst is
    // false), else any; cloaked ones are passed over when skipCloaked.
    GameObject* NearestHostile(const Point& p, bool knownFirst = true, bool skipCloaked = false) {
        GameObject* best[2] = {nullptr, nullptr};
        int64_t bestDistance[2] = {INT64_MAX, INT64_MAX};
        for (int team = 2; team < World::kTeams; ++team) {
            if (!Hostile(team)) continue;
            std::vector<GameObject*> objects = pack->Objects(team);
            if (GameObject* f = pack->world->TeamFactory(team)) objects.push_back(f);
            for (GameObject* o : objects) {
                // Aircraft and carriers are out of a ground unit's reach.
                const VehicleDesign* design = o->GetDesign();
                if (design && (design->code[1] == 'A' || design->code[1] == 'C')) continue;
                if (skipCloaked && Cloaked(o)) continue;
                const Point q = o->GetPosition();
                const int64_t dx = q.x - p.x, dy = q.y - p.y;
                const int64_t d = dx * dx + dy * dy;
                const int known = Known(o) || !knownFirst ? 0 : 1;
                if (d < bestDistance[known]) {
                    bestDistance[known] = d;
                    best[known] = o;
                }
            }
        }
        return best[0] ? best[0] : best[1];
    }

    // One turn of the scripted player.
    void PlayerTurn(int row) {
        World& w = *pack->world;
        const bool designing = std::find(std::begin(kDesigningRows), std::end(kDesigningRows),
                                         row) != std::end(kDesigningRows);
        if (designing && ownFighters.empty()) {
            for (char kind : {'i', 'l', 'm'})
                if (auto design = DesignFighter(w.clanLetter, kind))
                    ownFighters.push_back(std::move(design));
        }
        auto fighting = [](GameObject* unit) {
            return unit->GetKind() == ObjectKind::kUnit && !traits::IsStructure(unit) &&
                   !traits::IsWorker(unit);
        };
        // Fighters wait at home until a group is complete; then the whole group goes out. Sent
        // out one by one they meet an opponent's army on its way to the factory one at a time.
        std::vector<GameObject*> waiting;
        for (GameObject* unit : pack->Objects(kLocal))
            if (fighting(unit) && !released.count(unit->id.serial)) waiting.push_back(unit);
        if (static_cast<int>(waiting.size()) >= (designing ? kGroupSize : kLibraryGroupSize))
            for (GameObject* unit : waiting)
                released.insert(unit->id.serial);
        // A hostile within reach of the factory, which the waiting fighters answer.
        GameObject* home = w.TeamFactory(kLocal);
        GameObject* raider = home ? NearestHostile(home->GetPosition(), true, true) : nullptr;
        if (raider && !NearHome(home->GetPosition(), raider->GetPosition())) raider = nullptr;
        int miners = 0;
        for (GameObject* unit : pack->Objects(kLocal)) {
            if (traits::RoleOf(unit) == 'f') {
                ++miners;
                SendMinerToLook(*unit);
            }
            if (!fighting(unit)) continue;
            GameObject* current = unit->goals.AttackTarget(unit, 1);
            GameObject* target = nullptr;
            // A unit told to attack a hostile that has cloaked stands still before it, and the
            // fighters behind queue up: such an order is replaced.
            bool replace = false;
            if (designing && current && Cloaked(current)) {
                current = nullptr;
                replace = true;
            }
            if (designing || !released.count(unit->id.serial)) {
                target = GroupTarget(*unit, current, raider);
                if (!target || target == current) continue;
            } else {
                if (current) continue;
                target = NearestHostile(unit->GetPosition());
                if (!target) continue;
            }
            // An object never seen is driven to, as a player sends units out to look; the
            // drive is not renewed until the unit stops or comes near.
            if (Known(target) || Near(unit->GetPosition(), target->GetPosition()))
                unit->IssueOrder(kAttackOrder, kCtrlClick, Point(), target->id);
            else if (!unit->goals.Front() || replace)
                unit->IssueOrder(kMoveOrder, kCtrlClick, target->GetPosition(), SimId());
        }
        GameObject* factory = w.TeamFactory(kLocal);
        FactoryProduction* production = AsFactoryProduction(factory);
        if (!production) return;
        // In T5 the player builds for two minutes, then drives to the marked ore.
        if (row == 15 && pack->Now() >= kT5DriveAfterMs) {
            DriveOntoMarkedOre(*factory, *production);
            return;
        }
        if (production->UnfoldState() == FactoryProduction::kFolded) production->StepUnfold();
        if (production->CurrentJob() || production->QueuedJobCount() > 0) return;
        // The first cost is paid only from what miners bring in: a lost miner is replaced first.
        VehicleDesign* miner = miners < kMiners ? LibraryMiner() : nullptr;
        VehicleDesign* fighter = !ownFighters.empty()
                                     ? ownFighters[nextDesign++ % ownFighters.size()].get()
                                     : NextFighter();
        if (VehicleDesign* design = miner ? miner : fighter)
            production->QueueJob(std::make_unique<VehicleDesign>(design->CodeString()), 0);
    }

    // Whom a fighter goes for: a waiting one of any row, or one of a designing row's groups. A
    // waiting fighter answers a hostile near the factory or near itself; a fighter whose group
    // went out fights the hostile units it meets (seen or not yet) and otherwise makes for the
    // nearest hostile factory. Cloaked units are passed over.
    GameObject* GroupTarget(GameObject& unit, GameObject* current, GameObject* raider) {
        const Point at = unit.GetPosition();
        const bool fightingClose = current && Near(at, current->GetPosition());
        GameObject* nearest = NearestHostile(at, false, true);
        const bool close = nearest && Near(at, nearest->GetPosition());
        if (!released.count(unit.id.serial)) {
            if (raider)
                return fightingClose && current->GetKind() == ObjectKind::kUnit ? current : raider;
            return current ? current : close ? nearest : nullptr;
        }
        if (fightingClose) return current;
        if (close && nearest->GetKind() == ObjectKind::kUnit) return nearest;
        GameObject* factory = NearestHostileFactory(at);
        return factory ? factory : nearest;
    }

    // A miner works only fields its team has seen: an idle one is driven towards the nearest
    // field still hidden, as a player sends it, and finds the field itself once it is in sight.
    void SendMinerToLook(GameObject& miner) {
        World& w = *pack->world;
        if (miner.goals.Front() || miner.GetCargo() > 0) return;
        GameObject* nearest = nullptr;
        int64_t bestDistance = INT64_MAX;
        for (ListNode* n = w.destructibles.First(); n; n = w.destructibles.Next(n)) {
            GameObject* field = static_cast<ObjectNode*>(n)->Object();
            if (!field || field->GetCargo() < 1) continue;
            const Point d = field->GetPosition() - miner.GetPosition();
            const int64_t distance = int64_t{d.x} * d.x + int64_t{d.y} * d.y;
            if (distance < bestDistance) {
                bestDistance = distance;
                nearest = field;
            }
        }
        if (!nearest) return;
        int row = 0, column = 0;
        w.terrain->PixelToCell(nearest->GetPosition(), row, column);
        if (w.terrain->TerrainTypeWithFog(row, column) == 'X')
            miner.IssueOrder(kMoveOrder, kCtrlClick, nearest->GetPosition(), SimId());
    }

    // T5 is won by the factory opening on the marked ore.
    void DriveOntoMarkedOre(GameObject& factory, FactoryProduction& production) {
        GameObject* ore = pack->world->FindObject(SimId(0, kT5Deposit));
        if (!ore || factory.goals.Front()) return;
        const Point p = ore->GetPosition();
        const Point at = factory.GetPosition();
        if (std::abs(at.x - p.x) + std::abs(at.y - p.y) > 48) {
            factory.IssueOrder(kMoveOrder, kCtrlClick, p, SimId());
        } else if (production.UnfoldState() == FactoryProduction::kFolded) {
            production.StepUnfold();
        }
    }

    // One of the player's own fighters, made by the automatic designer at the mission's tech
    // level: the chassis with the most strength and hardpoint room, and on every hardpoint the
    // weapon of the damage kind (impact, energy or missile) that reaches farthest, so that a
    // group fires first rather than driving into the planners' guns and shells.
    // The planners study the player's designs and plate their units against his weapons, each
    // plate of the kind quartering a hit again: a player who arms all his units alike soon does
    // no harm at all, so he builds one design of each kind in turn. No plates: the designer gives
    // them every hardpoint but the last, and groups of such one-gun units could not break a
    // factory. No sensors or stealth either, whose relays the player would have to build first.
    static std::unique_ptr<VehicleDesign> DesignFighter(char clan, char kind) {
        DesignRules rules;
        rules.SetPartFlags(kChassisCategory, 0x2, 1);  // chosen by score
        rules.weights[3] = 1;                          // hardpoint room
        rules.weights[4] = 1;                          // strength
        rules.SetPartFlags(kSensorCategory, 0, 0);
        rules.SetPartFlags(kStealthCategory, 0, 0);
        rules.SetPartFlags(kDefenceCategory, 0, 0);
        // Weapons above mount size 2 fire only while a weapon relay stands: none of those.
        rules.SetPartFlags(kWeaponCategory, 0x20000, 0);
        for (ListNode* n = WeaponList.First(); n; n = WeaponList.Next(n)) {
            const auto* weapon = static_cast<const WeaponTemplate*>(n);
            if (weapon->clan == clan && weapon->GetKindLetter() == kind)
                rules.AddPartLetter(kWeaponCategory, weapon->role, 1);
        }
        rules.AddWeaponKind(3);  // by range
        std::unique_ptr<VehicleDesign> design(rules.BuildDesign(clan));
        if (design) std::printf("own fighter %s\n", design->CodeString());
        return design;
    }

    VehicleDesign* LibraryMiner() {
        DesignLibrary& library = *pack->world->designLibrary;
        for (int i = 0; i < library.CountAvailable(); ++i) {
            VehicleDesign* d = library.AvailableAt(i);
            if (d && d->chassis && d->chassis->role == 'f') return d;
        }
        return nullptr;
    }

    // The library's designs in turn, skipping structures, workers and carriers.
    VehicleDesign* NextFighter() {
        DesignLibrary& library = *pack->world->designLibrary;
        const int n = library.CountAvailable();
        for (int tries = 0; tries < n; ++tries) {
            VehicleDesign* d = library.AvailableAt(nextDesign++ % n);
            if (d && d->chassis && d->chassis->IsDeployable() != 1 &&
                std::string("fhktg").find(d->chassis->role) == std::string::npos)
                return d;
        }
        return nullptr;
    }

    struct Outcome {
        int ended = 0, won = 0;
        int64_t at = 0;
        int fightersLeft = 0;  // the player's armed units at the end: the margin of a win
    };
    Outcome Play(int row, bool passive, TimerWatch& watch) {
        World& w = *pack->world;
        for (int tick = 0; pack->Now() < kHourMs; ++tick) {
            pack->Step();
            if (!passive && tick % kOrderEveryTicks == 0) PlayerTurn(row);
            watch.Look(dynamic_cast<AIPlayer*>(w.controllers[2].get()), pack->Now());
            if (w.currentMode != static_cast<int>(GameMode::Battle)) w.gameFlow->CheckMissionEnd();
            if (w.gameFlow->endTimer.IsRunning())
                return {1, w.gameFlow->won, pack->Now(), FightersLeft()};
        }
        return {0, 0, pack->Now(), FightersLeft()};
    }

    int FightersLeft() {
        int left = 0;
        for (GameObject* unit : pack->Objects(kLocal))
            if (unit->GetKind() == ObjectKind::kUnit && !traits::IsStructure(unit) &&
                std::string("fhkt").find(traits::RoleOf(unit)) == std::string::npos)
                ++left;
        return left;
    }

    std::unique_ptr<MissionPackWorld> pack;
    int nextDesign = 0;
    std::vector<std::unique_ptr<VehicleDesign>> ownFighters;
    std::set<int32_t> released;  // fighters whose group went out
};

TEST_P(MissionRun, TheScriptedPlayerWinsWithinAnHour) {
    const int row = GetParam();
    if (IsSkipped()) return;
    ASSERT_EQ(pack->Start(row, 7000u + static_cast<uint32_t>(row)), 1);
    auto* script = dynamic_cast<AIPlayer*>(pack->world->controllers[2].get());
    // A row whose own script has not landed runs the bare scripted player: no timed action.
    const bool scripted = script && typeid(*script) != typeid(AIPlayer);
    TimerWatch watch;
    const Outcome out = Play(row, false, watch);
    std::printf(
        "row %d: %s after %lld ms of game time with %d fighters left; timer fired at %lld\n", row,
        out.ended ? (out.won ? "won" : "lost") : "undecided", static_cast<long long>(out.at),
        out.fightersLeft, static_cast<long long>(watch.firedAt));
    EXPECT_EQ(out.ended, 1);
    EXPECT_EQ(out.won, 1);
    if (!scripted) return;
    if (kTimedMs[row] == 0) {
        EXPECT_EQ(watch.firedAt, -1);
    } else if (row != 7) {  // V8's timer is only read while its attack is still locked
        EXPECT_GE(watch.firedAt, kTimedMs[row]);
        EXPECT_LE(watch.firedAt, kTimedMs[row] + 2000);
    }
}

INSTANTIATE_TEST_SUITE_P(Row, MissionRun, ::testing::Range(0, 22), RowName);

class PassiveRun : public MissionRun {};

TEST_P(PassiveRun, APlayerWhoDoesNothingLosesMissionThree) {
    const int row = GetParam();
    if (IsSkipped()) return;
    ASSERT_EQ(pack->Start(row, 7100u + static_cast<uint32_t>(row)), 1);
    auto* script = dynamic_cast<AIPlayer*>(pack->world->controllers[2].get());
    if (!script || typeid(*script) == typeid(AIPlayer))
        GTEST_SKIP() << "row " << row << " has no script of its own yet";
    TimerWatch watch;
    const Outcome out = Play(row, true, watch);
    std::printf("row %d passive: %s after %lld ms\n", row, out.ended ? "ended" : "undecided",
                static_cast<long long>(out.at));
    EXPECT_EQ(out.ended, 1);
    EXPECT_EQ(out.won, 0);
}

INSTANTIATE_TEST_SUITE_P(Row, PassiveRun, ::testing::Values(2, 13), RowName);

}  // namespace
