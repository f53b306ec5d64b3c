#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

#include "catalogue/EffectTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/WeaponTemplate.h"
#include "core/Bitmap.h"
#include "core/Random.h"
#include "core/Settings.h"
#include "core/ShadeTable.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"
#include "map/PathGrid.h"
#include "objects/Artifact.h"
#include "objects/CommandReader.h"
#include "objects/DestructibleObject.h"
#include "objects/ExplosionEffect.h"
#include "objects/LandFeature.h"
#include "objects/ObjectLand.h"
#include "objects/ObjectTestSupport.h"
#include "objects/OreDeposit.h"
#include "objects/TimerNode.h"
#include "objects/Wreck.h"
#include "support/FakeClock.h"
#include "ui/ScreenBase.h"

namespace {

// Blank frames of the given sizes.
std::unique_ptr<SpriteSet> Frames(const std::vector<Size>& sizes) {
    auto set = std::make_unique<SpriteSet>(static_cast<int32_t>(sizes.size()));
    for (size_t i = 0; i < sizes.size(); ++i)
        set->SetFrame(std::make_unique<Bitmap>(sizes[i]), static_cast<int32_t>(i));
    return set;
}

std::unique_ptr<SpriteSet> Frames(int count, const Size& size = Size(16, 16)) {
    return Frames(std::vector<Size>(static_cast<size_t>(count), size));
}

// An explosion template of `frames` frames at `fps`, with pictures.
std::unique_ptr<EffectTemplate> Explosion(int frames, int fps, int startDelay = 0) {
    std::vector<int32_t> sequence;
    for (int i = 0; i < frames; ++i)
        sequence.push_back(i);
    auto t = std::make_unique<EffectTemplate>('V', 'e', startDelay, "", -1, fps, frames,
                                              sequence.data(), 0, nullptr);
    t->pictures = Frames(std::max(frames, 1));
    return t;
}

std::vector<CommandHeader> Commands(const CommandBuffer& buffer) {
    std::vector<CommandHeader> out;
    CommandReader reader(buffer.Data(), buffer.Size());
    CommandHeader h;
    while (reader.NextCommand(h))
        out.push_back(h);
    return out;
}

class Neutral : public ::testing::Test {
protected:
    Neutral() {
        land.world.commands.SetEnabled(1);
        lowDetail = 0;
    }
    ~Neutral() override { lowDetail = 0; }

    FakeClock clock{1000};
    ObjectLand land;
    FakeObjectWorld& world = land.world;
};

// A wreck of VARNOK's 'b' with `capacity` salvage of which `salvage` is left.
std::unique_ptr<Wreck> MakeWreck(const Size& size, SpriteSet* pictures, int capacity = 30,
                                 int salvage = 30, int serial = 5) {
    auto wreck = std::make_unique<Wreck>(Point(160, 160), 0, size, pictures, 0, kUnitFilter,
                                         SimId(0, serial), 0, 'V', 'b');
    if (capacity > 0) {
        wreck->SetCargoCapacity(capacity);
        wreck->AddCargo(salvage);
    }
    return wreck;
}

// A factory stand-in that keeps what it is given.
class Store : public TestUnit {
public:
    Store() : TestUnit(1, 90, Point(200, 200)) {}
    int Deposit(int n) override {
        deposited += n;
        return n;
    }
    int deposited = 0;
};

}  // namespace

TEST_F(Neutral, AnExplosionStepsOnlyPastAFramePeriodAndOneWithoutFramesEnds) {
    // frames -1: no template; 0: a sequence of no frames ends after its first frame period
    // instead of playing forever.
    const struct { int frames, tick, updates; } cases[] = {{5, 50, 15}, {-1, 1, 1}, {0, 101, 1}};
    for (const auto& c : cases) {
        auto t = c.frames >= 0 ? Explosion(c.frames, 10) : nullptr;
        ExplosionEffect e(t.get(), Point(50, 50), SimId(0, 1), Point(), SimId(), 1);
        int updates = 0;
        while (!e.IsDestroyed() && updates < 100) {
            e.Update(c.tick);
            ++updates;
        }
        EXPECT_EQ(updates, c.updates) << c.frames;
    }
}

// An explosion sounds as it starts only in its first mode, without a delay, and where it is
// seen.
TEST_F(Neutral, AnExplosionSoundsAtOnceOnlyInItsFirstModeUndelayedAndSeen) {
    struct Row {
        int mode, delay, visible;
        bool sounded;
    };
    const Row rows[] = {{1, 0, 1, true}, {0, 0, 1, false}, {1, 1, 1, false}, {1, 0, 0, false}};
    for (const Row& row : rows) {
        auto t = Explosion(3, 10, row.delay);
        t->sound = std::make_unique<Sound>(4);
        world.visible = row.visible;
        world.played.clear();
        ExplosionEffect e(t.get(), Point(50, 50), SimId(0, 1), Point(), SimId(), row.mode);
        EXPECT_EQ(world.played,
                  row.sounded ? std::vector<Sound*>{t->sound.get()} : std::vector<Sound*>{})
            << row.mode << row.delay << row.visible;
    }
    world.visible = 1;
}

TEST_F(Neutral, ModeZeroPlaysTheSecondSequenceAfterTheGivenDelay) {
    auto t = Explosion(5, 10);
    const int32_t second[2] = {4, 3};
    t->secondLength = 2;
    t->secondSequence[0] = second[0];
    t->secondSequence[1] = second[1];
    ExplosionEffect e(t.get(), Point(50, 50), SimId(0, 1), 250, Point(), SimId(), 0);
    EXPECT_EQ(e.frameCount, 2);
    EXPECT_EQ(e.frameList[0], 4);
    e.Update(200);
    EXPECT_EQ(e.startDelay, 50);
    // One millisecond of delay left still waits.
    e.Update(49);
    EXPECT_EQ(e.startDelay, 1);
    e.Update(1);
    EXPECT_EQ(e.startDelay, 0);
    int updates = 0;
    while (!e.IsDestroyed() && updates < 100) {
        e.Update(101);
        ++updates;
    }
    EXPECT_EQ(updates, 2);
}

TEST_F(Neutral, EffectFollowsItsObjectAndOutlivesIt) {
    auto t = Explosion(5, 10);
    TestUnit unit(1, 1, Point(100, 100));
    world.Add(&unit);
    ExplosionEffect e(t.get(), unit.position, SimId(0, 1), Point(0, -10), unit.id, 1);
    EXPECT_EQ(e.position, Point(100, 90));
    unit.position = Point(140, 100);
    e.Update(10);
    EXPECT_EQ(e.position, Point(140, 90));
    world.Forget(&unit);
    e.Update(200);
    EXPECT_EQ(e.position, Point(140, 90));
    EXPECT_EQ(e.IsDestroyed(), 0);
    EXPECT_EQ(e.currentFrame, 1);
}

TEST_F(Neutral, DelayedEffectPlaysItsSoundOnlyWhereSeen) {
    auto t = Explosion(3, 10, 100);
    Sound bang(7);
    t->sound.reset(&bang);
    world.visible = 0;
    ExplosionEffect hidden(t.get(), Point(50, 50), SimId(0, 1), Point(), SimId(), 1);
    hidden.Update(150);
    EXPECT_TRUE(world.played.empty());
    world.visible = 1;
    ExplosionEffect seen(t.get(), Point(50, 50), SimId(0, 2), Point(), SimId(), 1);
    seen.Update(60);
    EXPECT_TRUE(world.played.empty());
    seen.Update(60);
    EXPECT_EQ(world.played, std::vector<Sound*>{&bang});
    t->sound.release();
}

TEST_F(Neutral, WreckShrinksAsItsSalvageIsTaken) {
    auto pictures = Frames(10, Size(20, 20));
    auto wreck = MakeWreck(Size(60, 50), pictures.get(), 100, 100);
    EXPECT_EQ(wreck->sensors.viewer, 0);
    EXPECT_EQ(wreck->DockCount(), 4);
    // Four parking docks at the corners 64 pixels out, clockwise from the top left.
    const std::vector<Point> corners = {Point(-64, -64), Point(64, -64), Point(64, 64),
                                        Point(-64, 64)};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(wreck->GetDockOffset(i), corners[static_cast<size_t>(i)]) << i;
    EXPECT_EQ(wreck->FindFreeDock(nullptr, 8), 0);
    EXPECT_EQ(wreck->FindFreeDock(nullptr, 1), -1);
    EXPECT_EQ(wreck->FindFreeDock(nullptr, 4), -1);
    EXPECT_EQ(wreck->FindFreeDock(nullptr, 16), -1);
    auto hit = Explosion(2, 10);
    wreck->TakeDamage(nullptr, SimId(2, 3), hit.get(), 40);
    EXPECT_EQ(wreck->GetCargo(), 60);
    ASSERT_TRUE(wreck->attachedEffect);
    // Kind 3 sends no state: the damage command alone, with remaining salvage and damage.
    EXPECT_EQ(Recorded(world.commands),
              ExpectedCommand(6, wreck->id).W32(60).W32(40).U8('e').U8('-').U8('V').Bytes());
    wreck->Update(50);
    EXPECT_EQ(wreck->frame, 4);
    // Pictures of 20 x 20 are raised to 34 x 34 but never above what the wreck was.
    EXPECT_EQ(wreck->size, Size(34, 34));
    EXPECT_EQ(world.gridRemoves, 1);
    EXPECT_EQ(world.gridAdds, 1);
}

TEST_F(Neutral, WreckFootprintNeverGrows) {
    auto pictures = Frames({Size(40, 40), Size(80, 30), Size(20, 90)});
    auto wreck = MakeWreck(Size(40, 40), pictures.get(), 90, 50);
    wreck->Update(10);
    EXPECT_EQ(wreck->frame, 1);
    EXPECT_EQ(wreck->size, Size(40, 34));
    wreck->cargo = 10;
    wreck->Update(10);
    EXPECT_EQ(wreck->frame, 2);
    EXPECT_EQ(wreck->size, Size(34, 34));
}

TEST_F(Neutral, WreckUsedUpLeavesAFreeExplosionAndIgnoresLaterHits) {
    auto wreck = MakeWreck(Size(40, 40), nullptr, 30, 30);
    auto hit = Explosion(2, 10);
    wreck->TakeDamage(nullptr, SimId(), hit.get(), 50);
    EXPECT_EQ(wreck->IsDestroyed(), 1);
    EXPECT_FALSE(wreck->attachedEffect);
    ASSERT_EQ(world.effects.size(), 1u);
    EXPECT_EQ(world.effects[0]->position, wreck->position);
    const size_t sent = world.commands.Size();
    wreck->TakeDamage(nullptr, SimId(), hit.get(), 50);
    wreck->ApplyDamageState(10, 1, 'e', 'V', '-');
    EXPECT_EQ(world.commands.Size(), sent);
    EXPECT_EQ(world.effects.size(), 1u);
    // Without pictures the update has no frames to follow and leaves the wreck alone.
    wreck->Update(10);
    EXPECT_EQ(world.gridRemoves, 0);
}

TEST_F(Neutral, MirroredWreckReportsTheHitToItsOwner) {
    auto wreck = MakeWreck(Size(40, 40), nullptr, 30, 30);
    wreck->SetLocal(0);
    auto hit = Explosion(2, 10);
    wreck->TakeDamage(nullptr, SimId(2, 3), hit.get(), 20);
    EXPECT_EQ(wreck->GetCargo(), 30);
    EXPECT_EQ(Recorded(world.commands),
              ExpectedCommand(7, wreck->id).U8('-').U8('e').U8('-').Id(SimId(2, 3)).Bytes());
    // The owner's damage command sets the salvage on the copy.
    wreck->ApplyDamageState(12, 18, 'e', 'V', '-');
    EXPECT_EQ(wreck->GetCargo(), 12);
}

TEST_F(Neutral, AHitNamedByRolesTakesTheWeaponsFirePower) {
    WeaponValues values;
    values.mount.clan = 'V';
    values.mount.role = 'r';
    values.firePowerField = 25;
    WeaponTemplate weapon(WeaponClass::Burst, values);
    WeaponList.PushBack(&weapon);  // leaves the list when the weapon ends
    auto wreck = MakeWreck(Size(40, 40), nullptr, 30, 30);
    wreck->ApplyHit('r', 'x', 'V', SimId(2, 3));
    EXPECT_EQ(wreck->GetCargo(), 5);
    EXPECT_EQ(Recorded(world.commands),
              ExpectedCommand(6, wreck->id).W32(5).W32(25).U8('-').U8('-').U8('-').Bytes());
    auto mirrored = MakeWreck(Size(40, 40), nullptr, 30, 30, 6);
    mirrored->SetLocal(0);
    world.commands.Rewind();
    mirrored->ApplyHit('r', 'x', 'V', SimId(2, 3));
    EXPECT_EQ(mirrored->GetCargo(), 30);
    EXPECT_EQ(Recorded(world.commands),
              ExpectedCommand(7, mirrored->id).U8('r').U8('-').U8('V').Id(SimId(2, 3)).Bytes());
}

TEST_F(Neutral, WreckSmokeRunsOutAndLowDetailMakesNone) {
    auto smoky = MakeWreck(Size(40, 40), nullptr, 30, 30);
    ASSERT_TRUE(smoky->smoke);
    smoky->Update(29999);
    EXPECT_TRUE(smoky->smoke);
    smoky->Update(1);
    EXPECT_FALSE(smoky->smoke);
    lowDetail = 1;
    auto plain = MakeWreck(Size(40, 40), nullptr, 0, 0, 6);
    EXPECT_FALSE(plain->smoke);
}

TEST_F(Neutral, DepositGrowsSlowlyThenFastAfterAMinuteAlone) {
    OreDeposit deposit(Point(100, 100), Size(64, 64), nullptr, kUnitFilter, SimId(0, 8));
    // Under the fog only the third sensor layer finds a deposit.
    EXPECT_EQ(deposit.IsDetectableA(), 0);
    EXPECT_EQ(deposit.IsDetectableB(), 0);
    EXPECT_EQ(deposit.IsDetectableC(), 1);
    deposit.Deposit(3);
    clock.Advance(500);
    deposit.Update(500);
    EXPECT_EQ(deposit.GetStored(), 4);
    EXPECT_EQ(deposit.Withdraw(5), 4);
    EXPECT_EQ(deposit.GetStored(), 0);
    for (int i = 0; i < 119; ++i) {
        clock.Advance(500);
        deposit.Update(500);
    }
    EXPECT_EQ(deposit.growth, 1);
    EXPECT_EQ(deposit.GetStored(), 119);
    clock.Advance(500);
    deposit.Update(500);
    EXPECT_EQ(deposit.growth, 3);
    EXPECT_EQ(deposit.GetStored(), 122);
    EXPECT_EQ(deposit.regrowTimer.period, -1);
    // A withdrawal brings slow growth back; in a network game the peers hear the change.
    world.network = 1;
    EXPECT_EQ(deposit.Withdraw(100), 100);
    EXPECT_EQ(deposit.growth, 1);
    const std::vector<CommandHeader> sent = Commands(world.commands);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].kind, 42);
}

TEST_F(Neutral, DepositFramesFollowItsAmount) {
    auto pictures = Frames(15);
    OreDeposit deposit(Point(100, 100), Size(64, 64), pictures.get(), kUnitFilter, SimId(0, 8));
    deposit.Deposit(100);
    clock.Advance(100);
    deposit.Update(100);
    EXPECT_EQ(deposit.frame, 14);
    deposit.Deposit(4900);
    std::vector<int> frames;
    for (int i = 0; i < 26; ++i) {
        clock.Advance(100);
        deposit.Update(100);
        frames.push_back(deposit.frame);
    }
    // Steps 2 .. 13 then back down: the second table shows 0 until step 8.
    const std::vector<int> expected = {0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 5,
                                       4, 3, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(frames, expected);
}

// The animation steps 1 to 13 and back down to 0 and up again; the amount picks the table the
// step is shown through: above 10000 every step, above 1000 from step 8, above 100 from step 11,
// and at 100 or less the depleted frame alone.
TEST_F(Neutral, DepositAmountLimitsPickItsFrameTable) {
    std::vector<int> steps;
    for (int s = 1; s <= 13; ++s)
        steps.push_back(s);
    for (int s = 12; s >= 0; --s)
        steps.push_back(s);
    for (int s = 1; s <= 3; ++s)
        steps.push_back(s);
    struct Row {
        int amount;
        int firstShown;  // the step shown as frame 1; 0: every step as itself, -1: depleted
    };
    const Row rows[] = {{100, -1}, {101, 11}, {1000, 11}, {1001, 8}, {10000, 8}, {10001, 0}};
    auto pictures = Frames(15);
    // A guest's deposits do not grow: the amounts stay on their limits.
    world.network = 1;
    world.host = 0;
    for (const Row& row : rows) {
        OreDeposit deposit(Point(100, 100), Size(64, 64), pictures.get(), kUnitFilter, SimId(0, 8));
        deposit.AddOre(row.amount);
        std::vector<int> frames, expected;
        for (int step : steps) {
            clock.Advance(100);
            deposit.Update(100);
            frames.push_back(deposit.frame);
            if (row.firstShown < 0)
                expected.push_back(14);
            else if (row.firstShown == 0)
                expected.push_back(step);
            else
                expected.push_back(std::max(0, step - row.firstShown + 1));
        }
        EXPECT_EQ(frames, expected) << row.amount;
    }
}

TEST_F(Neutral, ArtifactIsTakenOnceAndItsEffectApplied) {
    auto pictures = std::make_unique<SpriteSet>(4);
    for (int s = 0; s < 4; ++s)
        pictures->SetFrame(Frames(3), s);
    Sound chime(3);
    Artifact artifact(Point(48, 48), Size(32, 32), pictures.get(), &chime, kUnitFilter, SimId(0, 9),
                      3);
    TestUnit taker(1, 1, Point(48, 48));
    TestUnit other(2, 1, Point(48, 48));
    world.Add(&taker);
    artifact.PickUp(&taker);
    artifact.PickUp(&other);
    EXPECT_EQ(taker.damage.Max(), 125);
    EXPECT_EQ(other.damage.Max(), 100);
    EXPECT_EQ(world.retired, std::vector<GameObject*>{&artifact});
    EXPECT_EQ(world.played, std::vector<Sound*>{&chime});
    EXPECT_EQ(artifact.takerId, taker.id);
    // The pick-up sequence (3 frames at 50 ms), then the effect's sequence, then the end.
    artifact.Update(0);
    EXPECT_EQ(artifact.stageFrame, 1);
    clock.Advance(50);
    artifact.Update(50);
    clock.Advance(50);
    artifact.Update(50);
    EXPECT_EQ(artifact.stage, 3);
    EXPECT_EQ(artifact.stageFrame, 0);
    taker.position = Point(90, 90);
    for (int i = 0; i < 3; ++i) {
        clock.Advance(50);
        artifact.Update(50);
    }
    EXPECT_EQ(artifact.position, Point(90, 90));
    EXPECT_EQ(artifact.IsDestroyed(), 1);
    // Told of the award twice, or of no winner, a copy gives it once, to the first winner.
    Artifact awarded(Point(48, 48), Size(32, 32), nullptr, nullptr, kUnitFilter, SimId(0, 10), 3);
    awarded.Take(nullptr);
    EXPECT_TRUE(awarded.takerId.IsNull());
    awarded.Take(&other);
    awarded.Take(&taker);
    awarded.Take(&other);
    EXPECT_EQ(awarded.takerId, other.id);
    EXPECT_EQ(other.damage.Max(), 125);
    EXPECT_EQ(taker.damage.Max(), 125);
}

// A picture that notes whether it was drawn plainly ('p') or tinted ('t'), and where.
class ArtifactProbe : public Image {
public:
    explicit ArtifactProbe(std::vector<std::pair<char, Point>>& log)
        : Image(Size(8, 8)), log(log) {}
    void Draw(const Point& at) override { log.push_back({'p', at}); }
    void DrawTinted(const Point& at, const ShadeTable&, int32_t) override {
        log.push_back({'t', at});
    }
    std::vector<std::pair<char, Point>>& log;
};

// A picture that notes where it is drawn shaded.
class ShadedProbe : public Image {
public:
    ShadedProbe(std::vector<std::pair<int, Point>>& log, int tag)
        : Image(Size(8, 8)), log(log), tag(tag) {}
    void DrawShaded(const Point& at, const ShadeTable&) override { log.push_back({tag, at}); }
    std::vector<std::pair<int, Point>>& log;
    int tag;
};

// An explosion shows its current frame shaded by the land where it stands; on a map without
// land it shows nothing.
TEST_F(Neutral, AnExplosionIsDrawnOverTheLandOnly) {
    std::vector<std::pair<int, Point>> log;
    auto t = Explosion(3, 10);
    auto pictures = std::make_unique<SpriteSet>(3);
    for (int i = 0; i < 3; ++i)
        pictures->SetFrame(std::make_unique<ShadedProbe>(log, i), i);
    t->pictures = std::move(pictures);
    ExplosionEffect e(t.get(), Point(50, 60), SimId(0, 1), Point(), SimId(), 1);
    ScreenBase view;
    e.Draw(view);
    EXPECT_EQ(log, (std::vector<std::pair<int, Point>>{{0, view.MapToScreen(Point(50, 60))}}));
    log.clear();
    land.world.terrain.reset();
    e.Draw(view);
    EXPECT_TRUE(log.empty());
}

// An artifact shows its stage's frame where it lies; sensed, tinted by the table given, and
// nothing without one.
TEST_F(Neutral, ArtifactSensedIsTintedOnlyWithATable) {
    std::vector<std::pair<char, Point>> log;
    auto pictures = std::make_unique<SpriteSet>(1);
    auto stage = std::make_unique<SpriteSet>(1);
    stage->SetFrame(std::make_unique<ArtifactProbe>(log), 0);
    pictures->SetFrame(std::move(stage), 0);
    Artifact artifact(Point(48, 40), Size(32, 32), pictures.get(), nullptr, kUnitFilter,
                      SimId(0, 9), 3);
    ScreenBase view;
    const Point at = view.MapToScreen(Point(48, 40));
    artifact.Draw(view);
    artifact.DrawSensed(view, nullptr);
    const ShadeTable table;
    artifact.DrawSensed(view, &table);
    EXPECT_EQ(log, (std::vector<std::pair<char, Point>>{{'p', at}, {'t', at}}));
}

TEST_F(Neutral, ArtifactClearsTheCellBitAndNeedsAFactoryForOre) {
    short row = 0, column = 0;
    world.paths.PixelToCell(Point(48, 48), row, column);
    Artifact noFactory(Point(48, 48), Size(32, 32), nullptr, nullptr, kUnitFilter, SimId(0, 9), 1);
    TestUnit taker(2, 1, Point(48, 48));
    // A bit that was already clear stays clear (a toggle would set it).
    noFactory.PickUp(&taker);
    EXPECT_EQ(world.paths.CellWord(row, column) & kCellArtifact, 0u);
    EXPECT_TRUE(world.played.empty());

    Store store;
    world.factories[1] = &store;
    world.paths.SetCellBits(row, column, kCellArtifact);
    Artifact ore(Point(48, 48), Size(32, 32), nullptr, nullptr, kUnitFilter, SimId(0, 10), 1);
    TestUnit mine(1, 2, Point(48, 48));
    ore.PickUp(&mine);
    EXPECT_EQ(store.deposited, 1000);
    EXPECT_EQ(world.paths.CellWord(row, column) & kCellArtifact, 0u);
    Artifact cargo(Point(48, 48), Size(32, 32), nullptr, nullptr, kUnitFilter, SimId(0, 11), 2);
    store.cargo = 0;
    cargo.PickUp(&mine);
    EXPECT_EQ(store.GetCargo(), 600);
    world.factories[1] = nullptr;
}

// Each effect reaches the taker or its team's factory: ore to the store (1) or the cargo (2) of
// a factory this machine runs only, a quarter more strength (3), an upgrade (4).
TEST_F(Neutral, EachArtifactEffectReachesItsTakerOrALocalFactory) {
    class Upgraded : public TestUnit {
    public:
        Upgraded() : TestUnit(1, 2, Point(48, 48)) {}
        void AddUpgrade() override { ++upgrades; }
        int upgrades = 0;
    };
    const struct {
        int effect, factoryLocal;
        int deposited, cargo, maxDamage, upgrades;
    } rows[] = {{1, 1, 1000, 0, 100, 0}, {1, 0, 0, 0, 100, 0}, {2, 1, 0, 600, 100, 0},
                {2, 0, 0, 0, 100, 0},    {3, 1, 0, 0, 125, 0}, {4, 1, 0, 0, 100, 1}};
    for (const auto& row : rows) {
        Store store;
        store.SetLocal(row.factoryLocal);
        store.cargo = 0;
        world.factories[1] = &store;
        Upgraded taker;
        Artifact artifact(Point(48, 48), Size(32, 32), nullptr, nullptr, kUnitFilter, SimId(0, 9),
                          row.effect);
        artifact.PickUp(&taker);
        EXPECT_EQ(store.deposited, row.deposited) << row.effect << row.factoryLocal;
        EXPECT_EQ(store.GetCargo(), row.cargo) << row.effect << row.factoryLocal;
        EXPECT_EQ(taker.damage.Max(), row.maxDamage) << row.effect << row.factoryLocal;
        EXPECT_EQ(taker.upgrades, row.upgrades) << row.effect << row.factoryLocal;
    }
    world.factories[1] = nullptr;
}

// The harmful artifact has no sequence of its own: it ends with its pick-up sequence.
TEST_F(Neutral, AHarmfulArtifactEndsWithItsPickUpSequence) {
    auto pictures = std::make_unique<SpriteSet>(6);
    for (int s = 0; s < 6; ++s)
        pictures->SetFrame(Frames(3), s);
    Artifact artifact(Point(48, 48), Size(32, 32), pictures.get(), nullptr, kUnitFilter,
                      SimId(0, 9), 5);
    TestUnit taker(1, 1, Point(48, 48));
    world.Add(&taker);
    artifact.PickUp(&taker);
    artifact.Update(0);
    clock.Advance(50);
    artifact.Update(50);
    EXPECT_EQ(artifact.stageFrame, 2);
    EXPECT_EQ(artifact.IsDestroyed(), 0);
    clock.Advance(50);
    artifact.Update(50);
    EXPECT_EQ(artifact.stage, 0);
    EXPECT_EQ(artifact.IsDestroyed(), 1);
    world.Forget(&taker);
}

// In a network game only the host hands an artifact out, and it tells the peers who won it.
TEST_F(Neutral, OnlyTheHostAwardsAnArtifactInANetworkGameAndNamesTheWinner) {
    struct Row {
        int network, host;
        bool taken, told;
    };
    const Row rows[] = {{0, 0, true, false}, {1, 1, true, true}, {1, 0, false, false}};
    world.commands.SetEnabled(1);
    for (const Row& row : rows) {
        world.network = row.network;
        world.host = row.host;
        Artifact artifact(Point(48, 48), Size(32, 32), nullptr, nullptr, kUnitFilter, SimId(0, 9),
                          4);
        TestUnit taker(1, 1, Point(48, 48));
        world.commands.Rewind();
        artifact.PickUp(&taker);
        EXPECT_EQ(artifact.takerId, row.taken ? taker.id : SimId()) << row.network << row.host;
        const std::vector<uint8_t> told =
            row.told ? ExpectedCommand(56, artifact.id).Id(taker.id).Bytes()
                     : std::vector<uint8_t>{};
        EXPECT_EQ(Recorded(world.commands), told) << row.network << row.host;
    }
    world.network = world.host = 0;
}

TEST_F(Neutral, ArtifactOfTheTakerWhoVanishedEnds) {
    Artifact artifact(Point(48, 48), Size(32, 32), nullptr, nullptr, kUnitFilter, SimId(0, 9), 4);
    TestUnit taker(1, 1, Point(48, 48));
    artifact.PickUp(&taker);
    artifact.Update(0);
    EXPECT_EQ(artifact.IsDestroyed(), 1);
}

TEST_F(Neutral, HarmfulArtifactHurtsOnlyTheLocalTaker) {
    class Hurt : public TestUnit {
    public:
        Hurt() : TestUnit(1, 1, Point(48, 48)) {}
        void TakeDamage(WeaponTemplate*, const SimId&, EffectTemplate*, int amount) override {
            taken += amount;
        }
        int taken = 0;
    } taker;
    Artifact harm(Point(48, 48), Size(32, 32), nullptr, nullptr, kUnitFilter, SimId(0, 9), 5);
    harm.PickUp(&taker);
    EXPECT_EQ(taker.taken, 20);
    Hurt mirror;
    mirror.SetLocal(0);
    Artifact harm2(Point(48, 48), Size(32, 32), nullptr, nullptr, kUnitFilter, SimId(0, 10), 5);
    harm2.PickUp(&mirror);
    EXPECT_EQ(mirror.taken, 0);
}

// Only the tenth mission of clan V leaves out the two mildest effects; elsewhere all five come.
TEST_F(Neutral, ArtifactEffectIsDrawnFromTheMissionsRange) {
    const struct {
        int mission;
        char clan;
        int lowest;
    } rows[] = {{10, 'V', 3}, {10, 'T', 1}, {9, 'V', 1}, {11, 'V', 1}};
    SeedRandom(4242);
    for (const auto& row : rows) {
        world.mission = row.mission;
        world.missionClan = row.clan;
        std::set<int> drawn;
        for (int i = 0; i < 200; ++i) {
            Artifact a(Point(48, 48), Size(32, 32), nullptr, nullptr, kUnitFilter, SimId(0, i));
            drawn.insert(a.effectType);
        }
        std::set<int> expected;
        for (int e = row.lowest; e <= 5; ++e)
            expected.insert(e);
        EXPECT_EQ(drawn, expected) << row.mission << row.clan;
    }
}

TEST_F(Neutral, LandFeatureFallsToTheFirstHitOnlyOnce) {
    // Open ground with a feature in cell (1, 1) and blast decorations.
    LandLayout layout;
    layout.columns = 10;
    layout.rows = 10;
    layout.letters.assign(10, std::string(10, 'c'));
    layout.withFeatures = true;
    layout.features = {{1, 1, 0}};
    layout.withDecorations = true;
    land.files.WriteLand(layout);
    world.terrain = std::make_unique<TerrainMap>();
    world.terrain->SetDiscDataPath(land.files.Path().c_str());
    world.terrain->SetLocalDataPath(land.files.Path().c_str());
    world.terrain->Load("edit.lnd");
    ASSERT_EQ(world.terrain->LandFeatureAt(1, 1), 0);
    ASSERT_EQ(world.terrain->DecorationAt(1, 1), 0xFF);
    LandFeature feature(world.terrain->CellCenter(1, 1), Size(34, 34), SimId(0, 12));
    EXPECT_EQ(feature.GetKind(), 10);
    feature.TakeDamage(nullptr, SimId(2, 1), nullptr, 1);
    EXPECT_EQ(feature.IsDestroyed(), 1);
    // Its cell is open ground again, scarred by the blast.
    EXPECT_EQ(world.terrain->LandFeatureAt(1, 1), -1);
    EXPECT_NE(world.terrain->DecorationAt(1, 1), 0xFF);
    feature.TakeDamage(nullptr, SimId(2, 1), nullptr, 1);
    EXPECT_EQ(world.effects.size(), 1u);
    const std::vector<CommandHeader> sent = Commands(world.commands);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].kind, 54);
    EXPECT_EQ(sent[0].id, feature.id);
    // A peer's copy applies the hit without announcing it again.
    LandFeature copy(Point(80, 48), Size(34, 34), SimId(0, 13));
    copy.ApplyDamageState(1, 1, 'X', 'X', 'X');
    EXPECT_EQ(copy.IsDestroyed(), 1);
    EXPECT_EQ(Commands(world.commands).size(), 1u);
    EXPECT_EQ(world.effects.size(), 2u);
}

TEST_F(Neutral, FieldWearsAwayAndOnceEmptyIgnoresHitsForGood) {
    auto pictures = Frames(3, Size(48, 40));
    DestructibleObject field(Point(200, 200), pictures.get(), SimId(0, 14));
    EXPECT_EQ(field.size, Size(48, 40));
    // Under the fog only a scanner's layer finds a field.
    EXPECT_EQ(field.IsDetectableA(), 0);
    EXPECT_EQ(field.IsDetectableB(), 1);
    EXPECT_EQ(field.IsDetectableC(), 0);
    field.SetCargoCapacity(100);
    field.AddCargo(100);
    field.TakeDamage(nullptr, SimId(), nullptr, 60);
    EXPECT_EQ(field.GetCargo(), 40);
    EXPECT_TRUE(field.attachedEffect);
    field.TakeDamage(nullptr, SimId(), nullptr, 60);
    EXPECT_EQ(field.IsDestroyed(), 1);
    EXPECT_EQ(world.effects.size(), 1u);
    field.TakeDamage(nullptr, SimId(), nullptr, 60);
    field.ApplyDamageState(50, 1, 'e', 'V', '-');
    const std::vector<CommandHeader> sent = Commands(world.commands);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].length, 18);  // no state in front of a field's damage
    // Each hit tells what is left and what was taken; no explosion was named.
    const std::vector<uint8_t> recorded = Recorded(world.commands);
    EXPECT_EQ(
        recorded,
        Concat({ExpectedCommand(6, field.id).W32(40).W32(60).U8('-').U8('-').U8('-').Bytes(),
                ExpectedCommand(6, field.id).W32(0).W32(60).U8('-').U8('-').U8('-').Bytes()}));
    EXPECT_EQ(world.effects.size(), 1u);
    EXPECT_EQ(field.GetCargo(), 0);
    // One unit left still stands; the hit that takes it ends the field.
    DestructibleObject last(Point(300, 200), nullptr, SimId(0, 16));
    last.SetCargoCapacity(100);
    last.AddCargo(2);
    last.TakeDamage(nullptr, SimId(), nullptr, 1);
    EXPECT_EQ(last.IsDestroyed(), 0);
    last.TakeDamage(nullptr, SimId(), nullptr, 1);
    EXPECT_EQ(last.IsDestroyed(), 1);
}

TEST_F(Neutral, FieldTakesTheMinersColourButKeepsItsTeam) {
    DestructibleObject field(Point(200, 200), nullptr, SimId(0, 14));
    field.ChangeTeam(ValueTriple(3, 7), 0);
    EXPECT_EQ(field.teamRecord.first, 0);
    EXPECT_EQ(field.teamRecord.second, 3);
    EXPECT_EQ(field.teamRecord.third, 7);
    // Its animation rises while it is mined and falls back afterwards.
    auto pictures = Frames(4);
    DestructibleObject mined(Point(200, 200), pictures.get(), SimId(0, 15));
    mined.animRising = 1;
    for (int i = 0; i < 5; ++i)
        mined.Update(101);
    EXPECT_EQ(mined.animFrame, 3);
    mined.animRising = 0;
    mined.Update(100);
    EXPECT_EQ(mined.animFrame, 3);
    mined.Update(1);
    EXPECT_EQ(mined.animFrame, 2);
}
