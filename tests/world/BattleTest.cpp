// Two armed forces, one of each clan, carrying every weapon and defence item between them,
// move at each other on a generated land at a fixed step, firing at the enemies they meet, until
// one side is gone (idle units are sent back at the enemy, so that forces that passed through
// each other turn). Every tick no unit stands on ground closed to it or on another's cells; no
// 2000 ticks pass without a shot while a unit sees an enemy within its weapons' reach; at the
// end the losses are the units destroyed, no more kills are credited than losses, and once every
// unit is gone the last shots end within a bounded time. Two runs, one drawing every object, end
// in the same digest of every tick's state; the digest is printed, so that two builds can be
// compared.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "catalogue/CatalogueServices.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "catalogue/WeaponTemplate.h"
#include "core/Image.h"
#include "core/MemoryDisplay.h"
#include "core/Random.h"
#include "core/StringTable.h"
#include "map/PathGrid.h"
#include "objects/Sim.h"
#include "objects/SimFactory.h"
#include "objects/Weapon.h"
#include "objects/WeaponTemplates.h"
#include "platform/Capture.h"
#include "support/FakeClock.h"
#include "support/MadeAssets.h"
#include "ui/ScreenBase.h"
#include "world/FightTestSupport.h"
#include "world/ObjectNode.h"
#include "world/RegistryTestFixture.h"
#include "world/WanderingUnit.h"

namespace {

constexpr int kColumns = 48;
constexpr int kRows = 48;
constexpr int kPerSide = 12;
// A bound, not the battle's length: the fight goes on until a side is gone. Traced every 1000
// ticks, the forces meet at tick 2000, lose 14 units by tick 6000, and the turned-back last
// ones meet again and end it at tick 13091; the quiet stretch between (ticks 7000 to 11000)
// has no unit within reach of an enemy. A fight half as long again has stalled.
constexpr int kTickLimit = 20000;
constexpr int kTurnBackTicks = 500;
constexpr int kStepMs = 16;
// A shot outlives its firing unit by at most its flight: the longest range at the slowest step.
constexpr int kShotTicks = 600;
// A stretch this long without a shot while a unit sees an enemy within its weapons' reach is a
// fight that stalled.
constexpr int kQuietTicks = 2000;
constexpr int kReachCheckTicks = 100;
// Standing order 3 (design parameter 0): a unit takes the enemy it finds within its engage range
// for its last attacker, and its weapons fire at it on the move. Under standing order 4 nothing
// looks out for enemies: a unit fires only at what hit it or blocks its way, so the forces drove
// through each other, and 3 against 1 stood 130 px apart for 2000 ticks without a shot. The rest
// are the defaults.
constexpr const char* kParameters = "399199212299";

// Structure codes 2 (defence parts work) and 3 (weapons above level 2) for every team.
class ArmedRecords : public RecordingGameRecords {
public:
    int HasScriptedStructure(int, int code) override { return code == 2 || code == 3 ? 1 : 0; }
};

class Battle : public MadeAssetsTest {
protected:
    void SetUp() override {
        MadeAssetsTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_EQ(LoadStringTable("7a1.str"), 1);
        // The catalogue makes the shot-making weapon records once they are installed.
        InstallWeaponTemplates();
        ASSERT_EQ(LoadTemplateCatalogue("7a.pts"), 1);
    }
    void TearDown() override {
        ClearTemplateCatalogue();
        ResourceFile::SetAssetPath("");
    }

    // A heavy hull of the clan: a defence item, the weapon in turn, a second weapon and a
    // second item.
    static std::string Code(char clan, int i) {
        const char items[3] = {'i', 'l', 'm'};
        std::string code{clan,
                         'T',
                         'd',
                         items[i % 2],
                         static_cast<char>('a' + i % 8),
                         static_cast<char>('a' + (i + 3) % 8),
                         'i',
                         '-',
                         '-',
                         '-'};
        return code + kParameters;
    }

    struct Outcome {
        uint64_t digest = 1469598103934665603ull;
        int destroyed = 0;
        int losses = 0;
        int kills = 0;
        int ticks = 0;
        int shotsMade = 0;
        std::set<int> weaponsFired;
    };

    template <class Visit>
    static void ForEachIn(NodeList& list, Visit visit) {
        for (ListNode* n = list.First(); n; n = list.Next(n))
            visit(static_cast<ObjectNode*>(n)->Object());
    }

    // capture: at the first tick after contact with shots of five classes under way and a shot
    // line drawn, draws the battle round them at three zooms and checks the picture.
    Outcome Run(bool drawing, bool capture = false) {
        Outcome out;
        FakeClock clock(1000);
        SeedRandom(1414);
        std::mt19937 random(20261207);
        ArmedRecords records;
        WorldOnLand land(GeneratedLand(random, kColumns, kRows));
        World& world = land.world;
        world.SetGameRecords(&records);
        world.techLevelT = world.techLevelV = 8;
        world.makeWreck = [](const WreckDescription&) { return std::unique_ptr<GameObject>(); };

        std::vector<SimId> sides[2];
        int serial = 1;
        for (int side = 0; side < 2; ++side) {
            const int team = side + 1;
            for (int i = 0; i < kPerSide; ++i) {
                auto design =
                    std::make_unique<VehicleDesign>(Code(side == 0 ? 'V' : 'T', i).c_str());
                const SimId id(team, serial++);
                // The first open place of the unit's column, from its row down (ponds lie
                // about).
                const int column = side == 0 ? 3 + 3 * (i % 3) : kColumns - 4 - 3 * (i % 3);
                Sim* made = nullptr;
                for (int row = 6 + 3 * (i / 3) + 8 * (i % 2); !made && row < kRows - 3; ++row)
                    made = SpawnSim(design, id, world.pathGrid->CellCenter(row, column), 1);
                EXPECT_NE(made, nullptr) << Code('V', i);
                if (!made) return out;
                sides[side].push_back(id);
            }
        }
        for (int side = 0; side < 2; ++side) {
            for (const SimId& id : sides[side]) {
                world.ReserveSerial(id.serial);
                // Attack-move toward the other side's start.
                const Point to =
                    world.pathGrid->CellCenter(kRows / 2, side == 0 ? kColumns - 8 : 7);
                if (GameObject* sim = world.FindSim(id))
                    sim->IssueOrder(Sim::kOrderMove, 0, to, SimId());
            }
        }
        ScreenBase view;
        std::set<int64_t> shotsSeen;
        int lastShot = 0;
        int reachSince = -1;
        int alive[2] = {kPerSide, kPerSide};
        int tick = 0;
        bool captured = false;
        auto step = [&]() {
            ++tick;
            clock.Advance(kStepMs);
            world.pathSearchesThisTick = 0;
            world.UpdateObjects(kStepMs);
            for (int team = 0; team < World::kTeams; ++team) {
                ForEachIn(world.weapons[team], [&](GameObject* shot) {
                    if (shotsSeen.insert(int64_t{shot->id.team} << 32 | shot->id.serial).second) {
                        ++out.shotsMade;
                        lastShot = tick;
                        if (auto* w = dynamic_cast<Weapon*>(shot); w && w->weapon)
                            out.weaponsFired.insert(w->weapon->clan * 256 + w->weapon->role);
                    }
                    if (drawing) shot->Draw(view);
                });
                if (drawing) ForEachIn(world.effects[team], [&](GameObject* e) { e->Draw(view); });
            }
            for (int side = 0; side < 2; ++side) {
                alive[side] = 0;
                for (const SimId& id : sides[side]) {
                    auto* sim = static_cast<Sim*>(world.FindSim(id));
                    if (!sim || sim->IsDestroyed()) continue;
                    ++alive[side];
                    if (drawing) {
                        sim->DrawUnder(view);
                        sim->Draw(view);
                    }
                    ExpectStandsWell(world, sim, tick);
                }
            }
            Mix(out.digest, world.StateChecksum());
            if (capture && !captured && tick > 300 && ShotClasses(world) >= 5)
                captured = Capture(world, land.screen);
        };
        // Forces that passed through each other turn back: every idle unit is sent at the first
        // enemy still standing, so that the fight goes on until a side is gone.
        auto turnBack = [&]() {
            for (int side = 0; side < 2; ++side) {
                GameObject* enemy = nullptr;
                for (const SimId& id : sides[1 - side])
                    if (GameObject* sim = world.FindSim(id); !enemy && sim && !sim->IsDestroyed())
                        enemy = sim;
                for (const SimId& id : sides[side]) {
                    GameObject* sim = world.FindSim(id);
                    if (enemy && sim && !sim->IsDestroyed() && !sim->goals.Front())
                        sim->IssueOrder(Sim::kOrderMove, 0, enemy->GetPosition(), SimId());
                }
            }
        };
        // Whether some unit sees an enemy within its weapons' reach. A mount drops a target its
        // unit cannot see, so an enemy only within reach holds no fire.
        auto enemyInReach = [&]() {
            for (int side = 0; side < 2; ++side) {
                for (const SimId& id : sides[side]) {
                    GameObject* sim = world.FindSim(id);
                    if (!sim || sim->IsDestroyed()) continue;
                    for (const SimId& other : sides[1 - side]) {
                        GameObject* enemy = world.FindSim(other);
                        if (enemy && !enemy->IsDestroyed() && sim->CanEngage(enemy) == 1 &&
                            sim->CanSee(enemy) == 1)
                            return true;
                    }
                }
            }
            return false;
        };
        while (tick < kTickLimit && alive[0] > 0 && alive[1] > 0 && !HasFailure()) {
            step();
            if (tick % kTurnBackTicks == 0) turnBack();
            if (tick % kReachCheckTicks != 0) continue;
            if (!enemyInReach()) {
                reachSince = -1;
                continue;
            }
            if (reachSince < 0) reachSince = tick;
            EXPECT_LT(tick - std::max(reachSince, lastShot), kQuietTicks) << "tick " << tick;
        }
        // The death pass of the next tick books the last loss.
        step();
        out.ticks = tick;
        out.destroyed = 2 * kPerSide - alive[0] - alive[1];
        out.losses = records.losses[1] + records.losses[2];
        out.kills = records.kills[1] + records.kills[2];
        // Everything still standing goes; the shots under way must end by themselves.
        for (int side = 0; side < 2; ++side) {
            for (const SimId& id : sides[side]) {
                if (GameObject* sim = world.FindSim(id); sim && !sim->IsDestroyed())
                    sim->TakeDamage(nullptr, SimId(), nullptr, 0);
            }
        }
        int shots = 1;
        for (int t = 0; t < kShotTicks && shots > 0; ++t) {
            step();
            shots = 0;
            for (int team = 0; team < World::kTeams; ++team)
                shots += world.weapons[team].Count();
        }
        EXPECT_EQ(shots, 0);
        EXPECT_TRUE(captured || !capture);
        world.ClearObjects();
        return out;
    }

    // The number of shot classes under way.
    static int ShotClasses(World& world) {
        std::set<int> classes;
        for (int team = 0; team < World::kTeams; ++team) {
            ForEachIn(world.weapons[team], [&](GameObject* shot) {
                if (auto* w = dynamic_cast<Weapon*>(shot); w && w->weapon)
                    classes.insert(static_cast<int>(w->weapon->weaponClass));
            });
        }
        return static_cast<int>(classes.size());
    }

    // The battle screen's map view: a window of the map at a zoom shift.
    class MapView : public ScreenBase {
    public:
        MapView(const Point& origin, int shift) : origin(origin) { zoom = shift; }
        Point MapToScreen(const Point& p) override {
            return Point((p.x - origin.x) >> zoom, (p.y - origin.y) >> zoom);
        }
        Point SnapToZoom(const Point& p, const Point& offset) override {
            const int mask = ~((1 << zoom) - 1);
            return Point(p.x & mask, p.y & mask) + offset;
        }
        Point origin;
    };

    // Draws units, shots and explosions round the shots' middle at 1:1, 1:2 and 1:4: each
    // picture shows units and some shot lines (beam 18, tracers 19 and 100, pulse 32, spin
    // 109), and the wider views hold no fewer of the units' pixels' colours than they have room.
    // False, with nothing checked, while the view at 1:1 shows no line yet: a beam draws its
    // line only once its flash has played some frames.
    bool Capture(World& world, MemoryDisplay& screen) {
        int64_t x = 0, y = 0, n = 0;
        for (int team = 0; team < World::kTeams; ++team) {
            ForEachIn(world.weapons[team], [&](GameObject* shot) {
                x += shot->GetPosition().x;
                y += shot->GetPosition().y;
                ++n;
            });
        }
        const Point middle(static_cast<int>(x / std::max<int64_t>(1, n)),
                           static_cast<int>(y / std::max<int64_t>(1, n)));
        const int lineColours[] = {18, 19, 100, 32, 109};
        for (int shift = 0; shift <= 2; ++shift) {
            std::memset(screen.BackPage(), 0, 640 * 480);
            screen.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
            ImageZoom = shift;
            MapView view(middle - Point(320 << shift, 240 << shift), shift);
            for (int team = 0; team < World::kTeams; ++team) {
                ForEachIn(world.sims[team], [&](GameObject* o) {
                    o->DrawUnder(view);
                    o->Draw(view);
                });
                ForEachIn(world.weapons[team], [&](GameObject* o) { o->Draw(view); });
                ForEachIn(world.effects[team], [&](GameObject* o) { o->Draw(view); });
            }
            ImageZoom = 0;
            int drawn = 0;
            int lines = 0;
            for (int i = 0; i < 640 * 480; ++i) {
                const uint8_t v = screen.BackPage()[i];
                drawn += v != 0;
                for (int c : lineColours)
                    lines += v == c;
            }
            if (shift == 0 && lines == 0) {
                screen.ResetClipRect();
                return false;
            }
            EXPECT_GT(drawn, 200) << "zoom " << shift;
            EXPECT_GT(lines, 0) << "zoom " << shift;
            screen.ResetClipRect();
            // With QX_CAPTURE set, each view is kept as a picture to look at.
            winx_RequestCapture("battle-zoom" + std::to_string(shift));
            screen.Present();
        }
        return true;
    }
};

TEST_F(Battle, TwoForcesFightItOutAlikeWithAndWithoutDrawing) {
    const Outcome plain = Run(false);
    if (HasFailure()) return;
    const Outcome drawn = Run(true);
    std::printf("battle digest %016llx after %d ticks, %d destroyed, %d shots\n",
                static_cast<unsigned long long>(plain.digest), plain.ticks, plain.destroyed,
                plain.shotsMade);
    EXPECT_EQ(plain.digest, drawn.digest);
    EXPECT_EQ(plain.ticks, drawn.ticks);
    EXPECT_GT(plain.destroyed, 0);
    EXPECT_EQ(plain.losses, plain.destroyed);
    EXPECT_LE(plain.kills, plain.losses);
    // Every weapon of both clans fired.
    EXPECT_EQ(plain.weaponsFired.size(), 16u);
}

TEST_F(Battle, MidBattleTheShotsShowAtThreeZooms) {
    Run(true, true);
}

}  // namespace
