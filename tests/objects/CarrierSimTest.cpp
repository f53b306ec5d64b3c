#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "objects/CommandReader.h"
#include "objects/EconomyTestSupport.h"
#include "objects/LocationGoal.h"
#include "objects/ObjectLand.h"
#include "objects/ObjectTestSupport.h"
#include "objects/SimGroup.h"
#include "objects/SimTestSupport.h"
#include "objects/TransportGoal.h"
#include "objects/UnitVariantsSupport.h"
#include "ui/ScreenBase.h"

namespace {

class Carriers : public ::testing::Test {
protected:
    void SetUp() override {
        world.GrantStructure(1, 4);
        a = kit.Carrier(world, 1, 1, Point(320, 320));
        b = kit.Carrier(world, 1, 2, Point(960, 960));
        a->SetPartner(b->id);
        b->SetPartner(a->id);
        unit = kit.Unit(world, 1, 3, Point(313, 320));
        for (int i = 0; i < 10; ++i)
            Tick();
        ASSERT_EQ(a->carrierState, CarrierSim::kReady);
        ASSERT_EQ(b->carrierState, CarrierSim::kReady);
    }
    // 50 ms of the clock and an update of both carriers.
    void Tick() {
        clock.Advance(50);
        a->Update(50);
        b->Update(50);
    }
    // Ticks until the condition holds; false when it never did.
    template <class Condition>
    bool TickUntil(Condition done, int limit = 400) {
        for (int i = 0; i < limit; ++i) {
            if (done()) return true;
            Tick();
        }
        return done();
    }

    FakeClock clock{1000};
    SpecialKit kit;
    SpecialWorld world;
    CarrierSim* a = nullptr;
    CarrierSim* b = nullptr;
    Sim* unit = nullptr;
};

TEST_F(Carriers, TakeAUnitInAndHandItToThePartner) {
    SimGroup group(SimId(1, 50));
    world.groups.push_back(&group);
    Sim* mate = kit.Unit(world, 1, 4, Point(1000, 1100));
    group.AddMember(*unit, 1);
    group.AddMember(*mate, 1);
    ASSERT_EQ(unit->groupId, group.id);
    // The transport goal ends when the carrier takes its owner aboard.
    TransportGoal boarding(unit->id, a->id, 1);
    ASSERT_EQ(boarding.IsDone(), 1);
    EXPECT_EQ(unit->onMap, 0);
    EXPECT_EQ(world.marks[unit], 0);
    std::vector<int> xs;
    for (int i = 0; i < 4; ++i) {
        a->Update(16);
        xs.push_back(unit->GetPosition().x);
    }
    EXPECT_EQ(xs, (std::vector<int>{315, 317, 319, 320}));
    ASSERT_TRUE(TickUntil([&] { return a->carrierState == CarrierSim::kSending; }));
    ASSERT_TRUE(TickUntil([&] { return a->sendPending == 1; }));
    const uint32_t sendStart = clock.Now();
    ASSERT_TRUE(TickUntil([&] { return !b->carried.IsNull(); }));
    EXPECT_GE(clock.Now() - sendStart, 1000u);
    EXPECT_TRUE(a->carried.IsNull());
    EXPECT_EQ(unit->GetPosition(), b->GetPosition());
    int highest = 0;
    std::vector<int> overlay;  // the overlay frames shown before the unit is released
    ASSERT_TRUE(TickUntil([&] {
        if (b->carrierState == CarrierSim::kLettingOut) {
            highest = std::max(highest, b->carrierFrame);
            if (b->released == 0 && (overlay.empty() || overlay.back() != b->overlayFrame))
                overlay.push_back(b->overlayFrame);
        }
        return b->carried.IsNull() && b->carrierState != CarrierSim::kLettingOut;
    }));
    // Letting out plays the three-frame picture and holds its last frame; the unit rolls out
    // once the four-frame overlay reaches its last frame.
    EXPECT_EQ(highest, 2);
    EXPECT_EQ(overlay, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(unit->GetPosition(), b->GetDockPoint(0));
    EXPECT_EQ(unit->onMap, 1);
    EXPECT_EQ(world.marks[unit], 1);
    EXPECT_TRUE(world.held.empty());
    EXPECT_EQ(group.GetPosition(),
              Point((unit->GetPosition().x + 1000) / 2, (unit->GetPosition().y + 1100) / 2));
    ASSERT_TRUE(TickUntil([&] {
        return a->carrierState == CarrierSim::kReady && b->carrierState == CarrierSim::kReady;
    }));
    world.groups.clear();
}

// A group that is no unit group (a computer opponent's) is recentred on its living units of the
// team once the unit is set down; a dead member and another team's unit naming it do not count.
TEST_F(Carriers, AGroupOfAnotherKindIsRecentredOnItsLivingMembers) {
    TestUnit group(1, 60, Point(5, 5));
    world.groups.push_back(&group);
    Sim* mate = kit.Unit(world, 1, 4, Point(1001, 1101));
    Sim* dead = kit.Unit(world, 1, 5, Point(2000, 100));
    Sim* stranger = kit.Unit(world, 2, 6, Point(100, 2000));
    for (Sim* s : {unit, mate, dead, stranger})
        s->groupId = group.id;
    dead->damage.SetValue(dead->damage.Max() + 1);
    ASSERT_EQ(dead->IsDestroyed(), 1);
    TransportGoal boarding(unit->id, a->id, 1);
    ASSERT_EQ(boarding.IsDone(), 1);
    EXPECT_EQ(group.GetPosition(), Point(5, 5));
    ASSERT_TRUE(TickUntil([&] { return !b->carried.IsNull(); }));
    ASSERT_TRUE(TickUntil([&] { return b->carried.IsNull(); }));
    const Point dropped = unit->GetPosition();
    EXPECT_EQ(dropped, b->GetDockPoint(0));
    // The mean of the two, rounded toward zero.
    EXPECT_EQ(group.GetPosition(), Point((dropped.x + 1001) / 2, (dropped.y + 1101) / 2));
    world.groups.clear();
}

// The peers hear every step of a hand-over: the pick-up, the unit pulled aboard, the partner's
// drop with its place, the reset once the partner has the unit, the unit pulled out to that
// place, and its release there.
TEST_F(Carriers, TellThePeersEveryStepOfAHandOver) {
    world.commands.Rewind();
    TransportGoal boarding(unit->id, a->id, 1);
    ASSERT_EQ(boarding.IsDone(), 1);
    ASSERT_TRUE(TickUntil([&] { return !b->carried.IsNull(); }));
    ASSERT_TRUE(TickUntil(
        [&] { return b->carried.IsNull() && b->carrierState != CarrierSim::kLettingOut; }));
    struct Word {
        int kind;
        SimId from, unit;
        Point p;
    };
    std::vector<Word> words;
    CommandReader r(world.commands.Data(), world.commands.Size());
    CommandHeader h;
    while (r.NextCommand(h)) {
        Word w{h.kind, h.id, {}, {}};
        if (h.kind == 47 || h.kind == 48) w.unit = r.ReadId();
        if (h.kind == 48 || h.kind == 50) w.p = r.ReadPoint();
        if (h.kind >= 47 && h.kind <= 52) words.push_back(w);
        r.SkipCommand();
    }
    // The kinds in order, each run of repeats counted once.
    std::vector<int> runs;
    for (const Word& w : words) {
        if (runs.empty() || runs.back() != w.kind) runs.push_back(w.kind);
    }
    EXPECT_EQ(runs, (std::vector<int>{47, 50, 48, 52, 50, 51}));
    ASSERT_GE(words.size(), 6u);
    const Point drop = b->GetDockPoint(0);
    // The first carrier speaks until the partner's drop, the partner from then on but for the
    // first one's reset once the partner has the unit.
    std::vector<Point> aboard;
    bool partnerSpeaks = false;
    for (const Word& w : words) {
        partnerSpeaks = partnerSpeaks || w.kind == 48;
        EXPECT_EQ(w.from, partnerSpeaks && w.kind != 52 ? b->id : a->id) << w.kind;
        if (w.kind == 47 || w.kind == 48) {
            EXPECT_EQ(w.unit, unit->id);
        }
        if (w.kind == 48) {
            EXPECT_EQ(w.p, drop);
        }
        if (w.kind == 50 && !partnerSpeaks) aboard.push_back(w.p);
    }
    EXPECT_EQ(aboard,
              (std::vector<Point>{{315, 320}, {317, 320}, {319, 320}, {320, 320}, {320, 320}}));
    EXPECT_EQ(words[words.size() - 2].p, drop);
    EXPECT_EQ(unit->GetPosition(), drop);
}

// Receiving, a carrier holds the first free dock and names it to the peers; in a network
// game it waits for their answers before it lets the unit out. Blocked docks are asked clear,
// except by the unit itself, and a carrier already busy takes no second unit.
TEST_F(Carriers, ReceiveAtTheFirstFreeDockAndWaitForThePeersInANetworkGame) {
    Sim* other = kit.Unit(world, 2, 9, Point(100, 100));
    std::vector<GameObject*> asked;
    world.makers.moveBlockerAside = [&asked](GameObject*, GameObject* blocker, int) {
        asked.push_back(blocker);
        return 1;
    };
    struct Row {
        int network;
        int blockedDocks;
        GameObject* blocker;
        int received;
        int dock;  // the dock taken
        std::vector<GameObject*> asked;
    };
    const int docks = b->DockCount();
    ASSERT_GE(docks, 2);
    const Row rows[] = {
        {0, 0, nullptr, 1, 0, {}},
        {1, 0, nullptr, 1, 0, {}},
        {0, 1, other, 1, 1, {other}},
        {0, docks, other, 0, -1, std::vector<GameObject*>(static_cast<size_t>(docks), other)},
        {0, docks, unit, 0, -1, {}},
    };
    for (const Row& row : rows) {
        world.network = row.network;
        world.blocked.clear();
        for (int d = 0; d < row.blockedDocks; ++d)
            world.blocked.push_back(b->GetDockPoint(d));
        world.placementBlocker = row.blocker;
        asked.clear();
        world.commands.Rewind();
        EXPECT_EQ(b->Receive(unit), row.received) << row.network << row.blockedDocks;
        EXPECT_EQ(asked, row.asked) << row.network << row.blockedDocks;
        if (row.received == 0) {
            EXPECT_TRUE(CommandKinds(world.commands).empty());
            continue;
        }
        EXPECT_EQ(b->dropConfirmed, row.network == 1 ? 0 : 1);
        EXPECT_EQ(b->carried, unit->id);
        EXPECT_EQ(unit->GetPosition(), b->GetPosition());
        EXPECT_EQ(Recorded(world.commands),
                  ExpectedCommand(48, b->id).Id(unit->id).Pt(b->GetDockPoint(row.dock)).Bytes());
        // Busy now: a second unit is refused.
        EXPECT_EQ(b->Receive(other), 0);
        b->ResetCarry();
        unit->SetPosition(Point(313, 320));
    }
    world.network = 0;
    world.blocked.clear();
}

// A goal folds a ready carrier from the last frame of its unfolding down.
// A copy told of the owner's pick-up takes the unit off the grids (once: a unit already off
// them is not taken off again) and holds it; a unit that is gone or dead is not picked up.
TEST_F(Carriers, ACopyAppliesTheOwnersPickUp) {
    b->local = 0;
    for (int onGrids : {1, 0}) {
        Sim* rider = kit.Unit(world, 1, 50 + onGrids, Point(960, 980));
        rider->gridFlag = onGrids;
        const int marks = world.marks[rider];
        b->ApplyPickUp(rider->id);
        EXPECT_EQ(world.marks[rider], marks - onGrids) << onGrids;
        EXPECT_EQ(b->carried, rider->id);
        EXPECT_EQ(b->transferPhase, CarrierSim::kTakingUnitIn);
        EXPECT_EQ(rider->onMap, 0);
        EXPECT_EQ(rider->gridFlag, 0);
        b->ResetCarry();
    }
    Sim* dead = kit.Unit(world, 1, 60, Point(960, 980));
    dead->Destroy();
    b->ApplyPickUp(dead->id);
    b->ApplyPickUp(SimId(1, 61));
    EXPECT_TRUE(b->carried.IsNull());
}

TEST_F(Carriers, AGoalFoldsAReadyCarrier) {
    // The chassis sound is heard only by the carrier's own team.
    kit.carrier->sound = std::make_unique<Sound>(1);
    world.localTeam = 2;
    a->goals.PushBack(std::make_unique<PlainGoal>(a->id, GoalType::Location));
    Tick();
    EXPECT_EQ(a->carrierState, CarrierSim::kFolding);
    EXPECT_EQ(a->sequence, 0);
    EXPECT_EQ(a->carrierFrame, 3);
    EXPECT_EQ(b->carrierState, CarrierSim::kReady);
    EXPECT_TRUE(world.played.empty());
    a->goals.Clear();
    world.localTeam = 1;
    b->goals.PushBack(std::make_unique<PlainGoal>(b->id, GoalType::Location));
    Tick();
    EXPECT_EQ(b->carrierState, CarrierSim::kFolding);
    EXPECT_EQ(world.played, std::vector<Sound*>{kit.carrier->sound.get()});
    b->goals.Clear();
}

// A unit waiting for a carrier waits where it stands; the wait ends when the carrier takes it
// aboard or is gone, and goes on while the carrier is busy or the unit cannot be loaded.
TEST_F(Carriers, AUnitWaitsForItsCarrierUntilTakenAboardOrTheCarrierIsGone) {
    AirSim* flying = kit.Flyer(world, 1, 40, Point(320, 330));
    flying->Parse('h', "Y");
    TransportGoal waiting(unit->id, a->id, 1);
    EXPECT_EQ(waiting.GetLocation(), unit->GetPosition());
    EXPECT_EQ(TransportGoal(SimId(1, 77), a->id, 1).GetLocation(), Point());
    EXPECT_EQ(TransportGoal(unit->id, SimId(1, 78), 1).IsDone(), 1);
    EXPECT_EQ(TransportGoal(flying->id, a->id, 1).IsDone(), 0);
    EXPECT_EQ(flying->onMap, 1);
    b->carrierState = CarrierSim::kFolded;
    EXPECT_EQ(waiting.IsDone(), 0);
    EXPECT_EQ(unit->onMap, 1);
    b->carrierState = CarrierSim::kReady;
    EXPECT_EQ(waiting.IsDone(), 1);
    EXPECT_EQ(unit->onMap, 0);
    a->Destroy();
    EXPECT_EQ(TransportGoal(flying->id, a->id, 1).IsDone(), 1);
}

TEST_F(Carriers, RefuseLoadingUnlessBothStandReadyAndIdle) {
    struct Case {
        const char* name;
        std::function<void()> spoil;
    } cases[] = {
        {"partner folded", [&] { b->carrierState = CarrierSim::kFolded; }},
        {"partner busy", [&] { b->carried = SimId(1, 99); }},
        {"partner missing", [&] { a->SetPartner(SimId(1, 98)); }},
        {"no refuelling structure", [&] { world.structures.clear(); }},
        {"carrier has a goal",
         [&] { a->goals.PushBack(std::make_unique<PlainGoal>(a->id, GoalType::Location)); }},
        {"partner has a goal",
         [&] { b->goals.PushBack(std::make_unique<PlainGoal>(b->id, GoalType::Location)); }},
    };
    for (const Case& c : cases) {
        c.spoil();
        EXPECT_EQ(a->TryLoad(unit), 0) << c.name;
        EXPECT_EQ(unit->onMap, 1) << c.name;
        a->SetPartner(b->id);
        b->carrierState = CarrierSim::kReady;
        b->carried = SimId();
        a->goals.Clear();
        b->goals.Clear();
        world.GrantStructure(1, 4);
    }
    EXPECT_EQ(a->CanLoad(1, unit), 1);
    // A carrier without a free dock takes nothing.
    b->docks.DeleteAll();
    EXPECT_EQ(b->CanLoad(0, unit), 0);
    EXPECT_EQ(a->CanLoad(1, unit), 0);
    // Unfolded, it stands: a move order folds it first.
    a->moveTime = 1000;
    EXPECT_EQ(a->StepMovement(), 1);
    EXPECT_EQ(a->moveTime, 0);
    a->carrierState = CarrierSim::kFolded;
    a->moveTime = 1000;
    a->StepMovement();
    EXPECT_NE(a->moveTime, 0);
}

TEST_F(Carriers, AUnitLostAboardLeavesNothingBehind) {
    using Stage = std::function<bool()>;
    const std::pair<const char*, Stage> stages[] = {
        {"pulled in", [&] { return unit->GetPosition() != Point(313, 320); }},
        {"waiting", [&] { return a->sendPending == 1; }},
        {"rolling out", [&] { return b->released == 1 && !b->carried.IsNull(); }},
    };
    int serial = 10;
    for (const auto& [name, reached] : stages) {
        unit = kit.Unit(world, 1, serial++, a->GetPosition() - Point(7, 0));
        ASSERT_EQ(a->TryLoad(unit), 1) << name;
        ASSERT_TRUE(TickUntil(reached)) << name;
        CarrierSim* holder = a->carried.IsNull() ? b : a;
        world.commands.Rewind();
        unit->Destroy();
        world.Forget(unit);
        Tick();
        // The carrier that held it tells the peers it is empty again.
        std::vector<SimId> resets;
        CommandReader r(world.commands.Data(), world.commands.Size());
        CommandHeader h;
        while (r.NextCommand(h)) {
            if (h.kind == 52) resets.push_back(h.id);
            r.SkipCommand();
        }
        EXPECT_EQ(resets, std::vector<SimId>{holder->id}) << name;
        ASSERT_TRUE(TickUntil([&] {
            return a->carrierState == CarrierSim::kReady && b->carrierState == CarrierSim::kReady;
        })) << name;
        EXPECT_TRUE(a->carried.IsNull() && b->carried.IsNull()) << name;
        EXPECT_EQ(a->transferPhase + b->transferPhase, 0) << name;
        EXPECT_TRUE(world.held.empty()) << name;
        // Taken off the grids once, at the pick-up, and never again.
        EXPECT_EQ(world.marks[unit], 0) << name;
    }
}

TEST_F(Carriers, ALostPartnerTakesTheCarrierAndItsCargoWithoutACredit) {
    ASSERT_EQ(a->TryLoad(unit), 1);
    world.Forget(b);
    const int skill = a->skill;
    Tick();
    EXPECT_EQ(a->IsDestroyed(), 1);
    EXPECT_EQ(unit->IsDestroyed(), 1);
    EXPECT_EQ(a->skill, skill);
    EXPECT_TRUE(a->GetLastAttacker() == nullptr);
    EXPECT_EQ(world.marks[unit], 0);
}

TEST_F(Carriers, WithoutUnfoldedPicturesTheStatesStillAdvance) {
    kit.carrier->deployedPictures.reset();
    a->carrierState = CarrierSim::kFolded;
    ASSERT_TRUE(TickUntil([&] { return a->carrierState == CarrierSim::kReady; }, 10));
    ASSERT_EQ(a->TryLoad(unit), 1);
    EXPECT_TRUE(TickUntil([&] { return !b->carried.IsNull(); }));
}

TEST_F(Carriers, ACarrierShotDownTakesItsCargoAlong) {
    ASSERT_EQ(a->TryLoad(unit), 1);
    a->TakeDamage(nullptr, SimId(2, 9), nullptr, 0);
    EXPECT_EQ(a->IsDestroyed(), 1);
    EXPECT_EQ(unit->IsDestroyed(), 1);
    EXPECT_EQ(world.marks[unit], 0);
}

TEST_F(Carriers, AHandOverWaitsWhileThePartnerHoldsAUnit) {
    Sim* second = kit.Unit(world, 1, 20, Point(100, 100));
    ASSERT_EQ(b->Receive(unit), 1);
    EXPECT_EQ(b->Receive(second), 0);
    EXPECT_EQ(b->carried, unit->id);
    EXPECT_EQ(world.held.size(), 1u);
    EXPECT_EQ(second->GetPosition(), Point(100, 100));
}

// Links read from records: a pair that names each other holds; a third carrier naming one of
// them, a carrier naming itself or a unit that is no carrier is left unpaired, and stays.
TEST_F(Carriers, PartnersReadFromRecordsHoldOnlyWhenTheyNameEachOther) {
    CarrierSim* c = kit.Carrier(world, 1, 30, Point(640, 640));
    const auto link = [](CarrierSim* carrier, const SimId& to) {
        char text[32];
        std::snprintf(text, sizeof text, "%d,%d", to.team, to.serial);
        carrier->Parse('t', text);
    };
    struct Row {
        const char* name;
        SimId cNames;
    };
    const Row rows[] = {{"a taken partner", b->id}, {"itself", c->id}, {"no carrier", unit->id}};
    for (const Row& row : rows) {
        link(a, b->id);
        link(b, a->id);
        link(c, row.cNames);
        Tick();
        c->Update(50);
        EXPECT_EQ(a->Partner(), b->id) << row.name;
        EXPECT_EQ(b->Partner(), a->id) << row.name;
        EXPECT_TRUE(c->Partner().IsNull()) << row.name;
        EXPECT_EQ(a->IsDestroyed() + b->IsDestroyed() + c->IsDestroyed(), 0) << row.name;
    }
    // A partner set by the factory is not a read one: it is not asked.
    c->SetPartner(b->id);
    c->Update(50);
    EXPECT_EQ(c->Partner(), b->id);
}

// Unfolding shows the sequence's frames up to its last (3 of 4), then the carrier is ready;
// folding shows every frame down to the first: 3, 2, 1, then folded at 0.
TEST_F(Carriers, UnfoldingAndFoldingShowEachFrameToTheEnd) {
    using Frames = std::vector<std::pair<int, int>>;
    struct Row {
        int state, frame;
        Frames expected;
    };
    const Row rows[] = {
        {CarrierSim::kUnfolding,
         0,
         {{1, CarrierSim::kUnfolding}, {2, CarrierSim::kUnfolding}, {0, CarrierSim::kReady}}},
        {CarrierSim::kFolding,
         3,
         {{2, CarrierSim::kFolding}, {1, CarrierSim::kFolding}, {0, CarrierSim::kFolded}}},
    };
    for (const Row& row : rows) {
        a->carrierState = row.state;
        a->sequence = 0;
        a->carrierFrame = row.frame;
        Frames seen;
        for (int i = 0; i < 3; ++i) {
            clock.Advance(CarrierSim::kUnfoldMs);
            a->animationTimer.period = CarrierSim::kUnfoldMs;
            a->Update(CarrierSim::kUnfoldMs);
            seen.emplace_back(a->carrierFrame, a->carrierState);
        }
        EXPECT_EQ(seen, row.expected) << row.state;
    }
}

// Unfolded, a carrier's shadow is its current frame moved down and right by its altitude, for
// every sequence its pictures have; none beyond them, and none on a land without shades.
TEST_F(Carriers, AnUnfoldedCarrierCastsItsFrameAsAShadowByItsAltitude) {
    auto grid = std::make_unique<SpriteSet>(4);
    for (int s = 0; s < 4; ++s)
        grid->SetFrame(std::make_unique<SequenceProbe>(4), s);
    SpriteSet* pictures = grid.get();
    kit.carrier->deployedPictures = std::move(grid);
    LandFixture files;
    world.terrain = PlainTerrain(files, 10, 10);
    a->altitude = 8;
    a->carrierFrame = 2;
    ScreenBase view;
    struct Row {
        int sequence;
        bool land;
        bool cast;
    };
    const Row rows[] = {{0, true, true}, {3, true, true}, {4, true, false}, {0, false, false}};
    for (const Row& row : rows) {
        if (!row.land) world.terrain.reset();
        a->sequence = row.sequence;
        const Point kept = a->GetPosition();
        for (int s = 0; s < 4; ++s) {
            static_cast<SequenceProbe*>(pictures->SubImage(s))->drawn.clear();
            static_cast<SequenceProbe*>(pictures->SubImage(s))->points.clear();
        }
        a->DrawUnder(view);
        EXPECT_EQ(a->GetPosition(), kept);
        int drawings = 0;
        for (int s = 0; s < 4; ++s)
            drawings +=
                static_cast<int>(static_cast<SequenceProbe*>(pictures->SubImage(s))->drawn.size());
        ASSERT_EQ(drawings, row.cast ? 1 : 0) << row.sequence << row.land;
        if (!row.cast) continue;
        auto* probe = static_cast<SequenceProbe*>(pictures->SubImage(row.sequence));
        EXPECT_EQ(probe->drawn[0], std::make_pair(2, -1));
        EXPECT_EQ(probe->points[0], view.MapToScreen(a->GetDrawOrigin()) + Point(8, 8));
    }
}

// On a copy the owner's drop sets the unit down at its held place; with nothing aboard it only
// ends the transfer.
TEST_F(Carriers, ACopySetsTheUnitDownAtTheOwnersDrop) {
    b->local = 0;
    b->transferPhase = CarrierSim::kLettingUnitOut;
    b->ApplyDrop();
    EXPECT_EQ(b->transferPhase, CarrierSim::kNoTransfer);
    const Point dock = b->GetDockPoint(1);
    b->BeginCarry(unit, dock);
    ASSERT_EQ(b->dropConfirmed, 1);
    EXPECT_EQ(unit->onMap, 0);
    b->ApplyDrop();
    EXPECT_EQ(unit->onMap, 1);
    EXPECT_TRUE(b->carried.IsNull());
    EXPECT_EQ(b->transferPhase, CarrierSim::kNoTransfer);
    EXPECT_EQ(b->carrierState, CarrierSim::kReady);
    EXPECT_TRUE(world.held.empty());
}

TEST_F(Carriers, ACopyHoldsTheDropPlaceBeforeItAnswers) {
    b->local = 0;
    const Point dock = b->GetDockPoint(1);
    world.blocked.push_back(dock);
    b->BeginCarry(unit, dock);
    EXPECT_EQ(b->dropConfirmed, 0);
    Tick();
    world.blocked.clear();
    world.commands.Rewind();
    Tick();
    EXPECT_EQ(b->dropConfirmed, 1);
    std::vector<int> kinds = CommandKinds(world.commands);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), 49), 1);
    EXPECT_EQ(world.held.size(), 1u);
    // The owner's reset drops the copy's hold too.
    b->ResetCarry();
    EXPECT_TRUE(world.held.empty());
    EXPECT_EQ(b->IsSelectable(), 0);
}

// An object that notes which of its drawings the carrier asked for.
class DrawLog : public TestUnit {
public:
    DrawLog(int team, int serial, const Point& at) : TestUnit(team, serial, at) {}
    void Draw(ScreenBase&) override { log += "draw "; }
    void DrawUnder(ScreenBase&) override { log += "under "; }
    void DrawSensed(ScreenBase&, const ShadeTable*) override { log += "sensed "; }
    std::string log;
};

// Unfolded, a carrier draws its frame at its draw origin in its team colour (tinted when only
// sensed); a unit aboard shows its transfer overlay, and the unit itself once released.
TEST_F(Carriers, AnUnfoldedCarrierDrawsItsFrameTheOverlayAndAReleasedUnit) {
    auto grid = std::make_unique<SpriteSet>(4);
    for (int s = 0; s < 4; ++s)
        grid->SetFrame(std::make_unique<SequenceProbe>(4), s);
    SpriteSet* pictures = grid.get();
    kit.carrier->deployedPictures = std::move(grid);
    auto probe = [&](int s) { return static_cast<SequenceProbe*>(pictures->SubImage(s)); };
    std::unique_ptr<GameObject> owned = std::make_unique<DrawLog>(1, 9, Point(100, 100));
    auto* cargo = static_cast<DrawLog*>(owned.get());
    world.AddSim(owned);
    LandFixture files;
    world.terrain = PlainTerrain(files, 10, 10);
    ScreenBase view;
    a->sequence = 2;
    a->carrierFrame = 1;
    a->overlayFrame = 3;
    const int colour = a->teamRecord.third;
    struct Row {
        bool carrying;
        int released;
        bool sensed;
        const char* cargoLog;
    };
    const Row rows[] = {
        {false, 1, false, ""}, {true, 0, false, ""}, {true, 1, false, "under draw "},
        {false, 1, true, ""},  {true, 0, true, ""},  {true, 1, true, "sensed "}};
    for (const Row& row : rows) {
        const std::string name = std::to_string(row.carrying) + std::to_string(row.released) +
                                 std::to_string(row.sensed);
        for (int s = 0; s < 4; ++s) {
            probe(s)->drawn.clear();
            probe(s)->points.clear();
        }
        cargo->log.clear();
        a->carried = row.carrying ? cargo->id : SimId();
        a->released = row.released;
        const Point kept = a->GetPosition();
        if (row.sensed)
            a->DrawSensed(view, world.terrain->ShadeTable1());
        else
            a->Draw(view);
        EXPECT_EQ(a->GetPosition(), kept) << name;
        const int shade = row.sensed ? -1 : colour;
        ASSERT_EQ(probe(2)->drawn.size(), 1u) << name;
        EXPECT_EQ(probe(2)->drawn[0], std::make_pair(1, shade)) << name;
        EXPECT_EQ(probe(2)->points[0], view.MapToScreen(a->GetDrawOrigin())) << name;
        EXPECT_TRUE(probe(0)->drawn.empty() && probe(1)->drawn.empty()) << name;
        ASSERT_EQ(probe(3)->drawn.size(), row.carrying ? 1u : 0u) << name;
        if (row.carrying) {
            EXPECT_EQ(probe(3)->drawn[0], std::make_pair(3, shade)) << name;
        }
        EXPECT_EQ(cargo->log, row.cargoLog) << name;
    }
    // Without a sensing table nothing is drawn; folded, the carrier's own pictures stay unused.
    for (int s = 0; s < 4; ++s)
        probe(s)->drawn.clear();
    cargo->log.clear();
    a->carried = cargo->id;
    a->DrawSensed(view, nullptr);
    EXPECT_TRUE(probe(2)->drawn.empty() && probe(3)->drawn.empty());
    EXPECT_EQ(cargo->log, "");
    a->carrierState = CarrierSim::kFolded;
    a->Draw(view);
    a->DrawSensed(view, world.terrain->ShadeTable1());
    a->DrawUnder(view);
    for (int s = 0; s < 4; ++s)
        EXPECT_TRUE(probe(s)->drawn.empty()) << s;
    EXPECT_EQ(cargo->log, "");
    a->carried = SimId();
}

// A ready carrier plays its ready loop only while its team has a refuelling structure; without
// one it idles at its first frame.
TEST_F(Carriers, AReadyCarrierIdlesWithoutARefuellingStructure) {
    kit.carrier->deployedPictures = Grid({4, 4, 4, 4});
    for (const bool structure : {true, false}) {
        world.structures.clear();
        if (structure) world.GrantStructure(1, 4);
        a->sequence = 1;
        a->carrierFrame = 1;
        a->animationTimer.Start();
        clock.Advance(CarrierSim::kReadyMs);
        a->Update(50);
        EXPECT_EQ(a->carrierFrame, structure ? 2 : 0) << structure;
        EXPECT_EQ(a->carrierState, CarrierSim::kReady) << structure;
        EXPECT_EQ(a->sequence, 1) << structure;
    }
}

// A carrier whose partner still holds a unit keeps its own and tries again a whole pause later.
TEST_F(Carriers, AHandOverToABusyPartnerIsTriedAgainAPauseLater) {
    Sim* second = kit.Unit(world, 1, 20, Point(100, 100));
    TransportGoal boarding(unit->id, a->id, 1);
    ASSERT_EQ(boarding.IsDone(), 1);
    ASSERT_EQ(b->Receive(second), 1);
    const auto stepA = [&] {
        clock.Advance(50);
        a->Update(50);
    };
    for (int i = 0; i < 400 && a->sendPending == 0; ++i)
        stepA();
    ASSERT_EQ(a->sendPending, 1);
    // The first try comes once the pause is over, and fails.
    for (int i = 0; i < 20; ++i)
        stepA();
    EXPECT_EQ(a->carried, unit->id);
    EXPECT_EQ(b->carried, second->id);
    EXPECT_EQ(a->sendTimer.Expired(), false);
    // Freed, the partner still waits for the next try.
    b->ResetCarry();
    stepA();
    EXPECT_EQ(a->carried, unit->id);
    int steps = 1;
    for (; steps < 40 && !a->carried.IsNull(); ++steps)
        stepA();
    EXPECT_EQ(b->carried, unit->id);
    EXPECT_GT(steps, 1);
}

// Ordered aboard, a unit forgets its orders and heads for the carrier's nearest free dock (61
// pixels off, the others 74), then waits there to be taken in; an order naming no unit changes
// nothing.
TEST_F(Carriers, AUnitOrderedAboardHeadsForTheNearestFreeDockThenWaits) {
    unit->goals.PushBack(std::make_unique<PlainGoal>(unit->id, GoalType::Location));
    unit->OrderTransport(SimId(1, 99));
    ASSERT_NE(unit->goals.Front(), nullptr);
    EXPECT_EQ(unit->goals.Front()->GetType(), static_cast<int>(GoalType::Location));
    unit->OrderTransport(a->id);
    std::vector<int> types;
    unit->goals.ForEach([&](Goal& g) { types.push_back(g.GetType()); });
    EXPECT_EQ(types, (std::vector<int>{static_cast<int>(GoalType::Target),
                                       static_cast<int>(GoalType::Transport)}));
    Goal* front = unit->goals.Front();
    EXPECT_EQ(front->GetTarget(), a);
    EXPECT_EQ(front->StoredFields().point, Point(-65, 20));
    EXPECT_EQ(front->GetLocation(), a->GetDockPoint(1));
    unit->ClearGoals();
}

}  // namespace
