// Who may send what: a crafted peer's commands about what its machine does not answer for are
// dropped and traced, its peer stays; the machine answering for an object (its current team's,
// a wreck's maker, a lost team's taker even before this machine saw the loss), the authority
// and anyone's answers are applied.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "catalogue/BuildingTemplate.h"
#include "catalogue/CatalogueFigures.h"
#include "catalogue/CatalogueMedia.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/HardpointItemTemplates.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "catalogue/WeaponTemplate.h"
#include "net/ExecutorFixture.h"
#include "objects/Artifact.h"
#include "objects/CommandReader.h"
#include "objects/FactoryBuilding.h"
#include "objects/OreDeposit.h"
#include "support/FakeClock.h"
#include "world/MemoryCatalogueMedia.h"

namespace {

constexpr int kReachSlack = CommandExecutor::kHitReachSlackPixels;
const SimId kMirror(2, 10), kOwned(1, 11), kCapture(2, 12), kCarrier(1, 13), kWreck(0, 40),
    kFeature(0, 45), kDeposit(0, 60), kArtifact(0, 70), kHostUnit(1, 15), kThirdUnit(3, 16);

class Senders : public ExecutorFixture {
public:
    Senders() {
        world.networkGame = 1;
        // A copy of the host's unit, and team 3's factory far from the deposit that team 2's
        // factory stands on.
        Add(1, 15, 5, 9, 1, 0);
        RecordingObject* thirdFactory = AddBuilding(3, 22, 2, 14, 0);
        // A copy of player 3's unit two cells below the host's. It and team 2's unit are armed.
        RecordingObject* third = Add(3, 16, 4, 5, 1, 0);
        WeaponValues values;
        values.rangeField = 100;
        values.reloadField = 500;
        values.mount.clan = 'c';
        values.mount.role = 'a';
        weapon = std::make_unique<WeaponTemplate>(WeaponClass::Beam, values);
        design.hardpoints[0] = weapon.get();
        ChassisValues frame;
        frame.clan = 'V';
        frame.role = 'a';
        frame.firstCost = 100;
        chassis = std::make_unique<ChassisTemplate>(frame);
        design.chassis = chassis.get();
        mirror->design = &design;
        third->design = &design;
        // Team 3's factory: a copy of clan 'c' on three hardpoints of sizes 1, 2 and 2.
        ChassisValues works;
        works.hardpointCount = 3;
        works.capacities = {1, 2, 2};
        factoryChassis = std::make_unique<ChassisTemplate>(works);
        factoryDesign.chassis = factoryChassis.get();
        thirdFactory->design = &factoryDesign;
        std::unique_ptr<GameObject> deposit = std::make_unique<OreDeposit>(
            land.Centre(7, 12), Size(128, 64), nullptr, CollisionFilter(0, 0, 0, 0, 0), kDeposit);
        EXPECT_EQ(world.AddOreDeposit(deposit), 1);
        world.PlaceOver(mirrorFactory, land.Centre(7, 12));
        std::unique_ptr<GameObject> lying =
            std::make_unique<Artifact>(land.Centre(10, 7), Size(64, 64), nullptr, nullptr,
                                       CollisionFilter(2, 1, 1, 1, 1), kArtifact, 3);
        artifact = static_cast<Artifact*>(lying.get());
        world.AddArtifact(lying);
    }
    ~Senders() { world.networkGame = 0; }
    // Runs the network step while commands wait for the loss of the machine on slot 1: `step` 0
    // loses that link at once; 1 lets a third of the limit pass, 2 the whole limit, each with a
    // heartbeat heard on slot 1; -1 the whole limit with slot 1 silent. Then the log, whether
    // slot 1's link is still held, and whether anything still waits.
    void Waited(int step, const Log& expected, int otherHeld) {
        world.executeCommands = [this](CommandBuffer& m, int slot) { executor.Execute(m, slot); };
        auto* other = static_cast<MemoryLink*>(world.peerSlots[1].peerLink);
        const int steps = step == 0 ? 0 : step == 1 ? 1 : 3;
        if (step == 0) other->lost = 1;
        for (int i = 0; i < steps; ++i) {
            clock.Advance(CommLink::kSilentMs / 3 + 1);
            if (step != -1) other->incoming.push_back(CommandBytes(0).Done());
            world.NetworkStep();
        }
        world.NetworkStep();
        EXPECT_EQ(log, expected);
        EXPECT_EQ(world.PeerCount(), otherHeld == 1 ? 2 : 1);
        EXPECT_EQ(world.peerSlots[0].waiting.empty(), step != 1);
    }
    // Network steps of a third of the silence limit each, a heartbeat coming on slot 1's link
    // before each when `heard`.
    void Steps(int steps, bool heard) {
        world.executeCommands = [this](CommandBuffer& m, int slot) { executor.Execute(m, slot); };
        for (int i = 0; i < steps; ++i) {
            clock.Advance(CommLink::kSilentMs / 3 + 1);
            if (heard)
                static_cast<MemoryLink*>(world.peerSlots[1].peerLink)
                    ->incoming.push_back(CommandBytes(0).Done());
            world.NetworkStep();
        }
    }
    FakeClock clock{5000};
    // The base made its links on the real clock.
    const bool restamped = [this] {
        for (PeerSlot& peer : world.peerSlots)
            peer.heardAt = clock.Now();
        return true;
    }();
    int Ore() { return world.FindOreDeposit(kDeposit)->GetStored(); }
    // Moves the team's factory so that its centre stands `past` pixels right of the deposit's
    // last column, level with the deposit's middle.
    void CentreFactoryRightOfDeposit(int team, int past) {
        GameObject* factory = world.TeamFactory(team);
        const Rect bounds = world.FindOreDeposit(kDeposit)->GetBounds();
        const Point want(bounds.origin.x + bounds.extent.w - 1 + past,
                         bounds.origin.y + bounds.extent.h / 2);
        world.PlaceOver(factory, factory->GetPosition() + (want - factory->GetCentre()));
        ASSERT_EQ(factory->GetCentre(), want);
    }
    // Puts a folded copy of the team's factory where the owner's mines from a point `lag` px
    // left of and below the deposit's bottom-left pixel: its unfolded centre stands there, its
    // position (and so its centre while folded) 32 px further out on either axis.
    void FoldedFactoryMiningFrom(int team, int lag) {
        const Rect bounds = world.FindOreDeposit(kDeposit)->GetBounds();
        const Point mines(bounds.origin.x - lag, bounds.origin.y + bounds.extent.h - 1 + lag);
        auto made = std::make_unique<FactoryBuilding>(
            mines, SimId(team, 23), nullptr, std::make_unique<VehicleDesign>('V'), nullptr);
        FactoryBuilding* copy = made.get();
        copy->SetLocal(0);
        world.AddBuilding(std::move(made));
        world.PlaceOver(copy, mines - FactoryBuilding::kUnfoldedOffset);
        ASSERT_EQ(copy->UnfoldedCentre(), mines);
        ASSERT_EQ(copy->GetCentre(), copy->GetPosition());
    }
    // This machine and both peers stand in the pause numbered 1, each peer's mark in.
    void MarkedPause() {
        world.paused = 1;
        world.markedPause = 1;
        world.pauseNumber = 1;
        for (PeerSlot& peer : world.peerSlots)
            peer.mark = 1;
    }
    // Puts the copy's centre `away` pixels below (or right of) the host's unit's bounds.
    void PlaceBelowOwned(GameObject* o, int away, bool right = false) {
        const Rect bounds = owned->GetBounds();
        const Point edge(right ? bounds.origin.x + bounds.extent.w - 1 : owned->GetPosition().x,
                         right ? owned->GetPosition().y : bounds.origin.y + bounds.extent.h - 1);
        world.PlaceOver(o, edge + (right ? Point(away, 0) : Point(0, away)));
    }
    // The death pass takes the object here, where it stands.
    void Kill(GameObject* o) {
        static_cast<TestObject*>(o)->destroyed = 1;
        world.CollectTheDead();
    }
    Artifact* artifact = nullptr;
    // The armed units' design: one weapon (clan 'c', letter 'a') of 100 pixels' reach, reloading
    // in 500 ms at speed 3, the speed played, on a chassis of 100, whose wreck is a 'V' 'a' of 75
    // and the cargo the unit may hold.
    std::unique_ptr<WeaponTemplate> weapon;
    std::unique_ptr<ChassisTemplate> chassis;
    VehicleDesign design{'V'};
    std::unique_ptr<ChassisTemplate> factoryChassis;
    VehicleDesign factoryDesign{'c'};
    // More weapons of clan 'c' as the armed units', letters 'b' onwards.
    std::vector<std::unique_ptr<WeaponTemplate>> letters;
};

// Slot 0's player sends; slot 1 (when given) holds another live machine.
struct Row {
    const char* what;
    int local;
    int sender;
    int other;
    std::vector<uint8_t> bytes;
    // The log expected; a refusal is its trace line.
    std::function<Log()> expected;
    std::function<void(Senders&)> prepare = nullptr;
    std::function<void(Senders&)> check = nullptr;
};

// At `battleMs` of the battle's clock: 0 unless the row lets battle time pass.
Log Refused(int kind, int player, int battleMs = 0) {
    return {ExecutorFixture::Refusal(kind, 0, player, battleMs)};
}

// The capture unit of team 3 took team 2's unit over (kind 53 marked it), and the capturer
// then moved it to its own team (kind 37): it keeps its id.
void Captured(Senders& f) {
    f.mirror->teamRecord.second = 3;
}
void MovedToCapturer(Senders& f) {
    f.world.MoveSimToTeam(f.mirror, 2, 3);
    f.mirror->teamRecord = ValueTriple(3);
}

TEST(CommandSenders, AKindIsAppliedFromItsSendersAndDroppedAndTracedFromOthers) {
    const Point p(100, 200);
    auto none = [] { return Log{}; };
    auto is = [](Log log) { return [log] { return log; }; };
    const std::vector<uint8_t> goal = CommandBytes(8, kMirror).W(1).P(p).Done();
    const std::vector<uint8_t> snapshot =
        CommandBytes(57, kMirror).P(p).B(3).L(10).L(90).L(5).Done();
    const std::vector<uint8_t> hostSnapshot =
        CommandBytes(57, kHostUnit).P(p).B(3).L(10).L(90).L(5).Done();
    const std::vector<uint8_t> hostGoal = CommandBytes(8, kHostUnit).W(1).P(p).Done();
    const std::vector<uint8_t> amounts =
        Message({CommandBytes(59, kDeposit).L(123).Done(), CommandBytes(59).L(1).Done()});
    auto hit = [](const SimId& target, const SimId& attacker, char weapon = 'a') {
        return CommandBytes(7, target).B(weapon).B('b').B('c').I(attacker).Done();
    };
    // The shooter's hardpoint announces a shot of the weapon of clan 'c' at the host's unit;
    // the copy's shot as the log shows it.
    auto fire = [p](const SimId& shooter, int hardpoint = 0, char weapon = 'a') {
        return CommandBytes(12, SimId(shooter.team, 60))
            .B('c')
            .B(weapon)
            .P(p)
            .I(shooter)
            .I(kOwned)
            .B(hardpoint)
            .B(1)
            .Done();
    };
    auto fired = [](const SimId& shooter, int hardpoint = 0, char weapon = 'a') {
        return "Fire " + Id(shooter) + " 1:11 c" + weapon + " " + std::to_string(hardpoint) + " " +
               Id(SimId(shooter.team, 60)) + " 1";
    };
    // Every machine plays at one speed: the mount reloads at that one's.
    constexpr int32_t kReloadMs = 500;
    auto wreckOf = [p](const SimId& id, int32_t value, char chassis = 'a', Point off = Point()) {
        return CommandBytes(13, id).B('V').B(chassis).P(p + off).L(value).B(3).Done();
    };
    // Team 2's unit announced `shots` shots a reload apart and died here (the death pass took
    // it) where it stood `away` pixels below the host's unit, and then `later` ms of battle time
    // passed.
    auto shooterDied = [fire](int away, int later, int shots = 1) {
        return [=](Senders& f) {
            f.PlaceBelowOwned(f.mirror, away);
            // Not at the battle's start.
            f.world.recentDead.Elapse(500);
            for (int shot = 0; shot < shots; ++shot) {
                f.Execute(fire(kMirror));
                f.clock.Advance(kReloadMs);
            }
            f.Kill(f.mirror);
            f.world.recentDead.Elapse(later);
        };
    };
    // Team 2's unit died at p, holding no cargo: its wreck is worth 75 at most. `collected`:
    // whether the death pass took it before the wreck came, or the kill came in the same message.
    auto unitDied = [p](bool collected = true) {
        return [p, collected](Senders& f) {
            f.world.PlaceOver(f.mirror, p);
            f.mirror->cargoCapacity = 0;
            if (collected)
                f.Kill(f.mirror);
            else
                f.mirror->destroyed = 1;
        };
    };
    const int32_t span = RecentDead::SpanMs();
    // Team 2's 'V' factory (a design of 100, room for 200 of cargo) died with its centre at p.
    auto factoryBroke = [p] {
        return [p](Senders& f) {
            BuildingValues values;
            values.letter = 'V';
            ChassisValues frame;
            frame.clan = 'V';
            MemoryCatalogueMedia media;
            SetCatalogueMedia(&media);
            BuildingList.PushBack(
                new BuildingTemplate(values, std::make_unique<ChassisTemplate>(frame), nullptr));
            SetCatalogueMedia(nullptr);
            f.mirrorFactory->design = &f.design;
            f.mirrorFactory->cargoCapacity = 200;
            GameObject* factory = f.mirrorFactory;
            f.world.PlaceOver(factory, factory->GetPosition() + (p - factory->GetCentre()));
            f.Kill(factory);
        };
    };
    auto noBuilding = [](Senders&) { BuildingList.DeleteAll(); };
    // The trace of the hits or wrecks of `kind` applied from `player`, of objects of
    // `objectKind`, one per measure (how long ago the shooter died, how far the wreck lay); then
    // `then`.
    auto applied = [](int kind, int player, int objectKind, std::vector<std::string> measures,
                      std::function<void(Senders&)> then = nullptr) {
        return [=](Senders& f) {
            Log lines;
            for (const std::string& measure : measures)
                lines.push_back("Applied command kind " + std::to_string(kind) +
                                " from slot 0 (player " + std::to_string(player) + ") of kind " +
                                std::to_string(objectKind) + ", " + measure + " at battle ms " +
                                std::to_string(f.world.recentDead.nowMs));
            EXPECT_EQ(f.receivers.applied, lines);
            if (then) then(f);
        };
    };
    auto factoryDied = [](Senders& f) { f.mirrorFactory->destroyed = 1; };
    // Team 3's factory below the host's unit, the armed units' weapon in the catalogue.
    auto factoryBelow = [](int away) {
        return [away](Senders& f) {
            WeaponList.PushBack(f.weapon.get());
            TheCatalogueFigures.WorkOut();
            f.PlaceBelowOwned(f.world.TeamFactory(3), away);
        };
    };
    // Team 3's factory, `away` pixels below the host's unit, announced a shot of the catalogue's
    // weapon from each of its first `shots` hardpoints (its copy knows no turrets), and died
    // when `dies`.
    auto factoryFired = [fire, factoryBelow](int away, int shots, bool dies) {
        return [=](Senders& f) {
            factoryBelow(away)(f);
            for (int hardpoint = 0; hardpoint < shots; ++hardpoint)
                f.Execute(fire(SimId(3, 22), hardpoint));
            if (dies) f.Kill(f.world.TeamFactory(3));
        };
    };
    auto unlist = [](Senders& f) {
        f.weapon->Unlink();
        TheCatalogueFigures.WorkOut();
    };
    // Team 3's factory 10 px below the host's unit; its copy arms hardpoint `armed` (-1: none)
    // with the weapon, now of `size` (two of its hardpoints take it), and its owner told its
    // turrets when `told`.
    auto factoryFitted = [factoryBelow](int armed, bool told, int size = 2) {
        return [=](Senders& f) {
            factoryBelow(10)(f);
            f.weapon->mountSize = size;
            if (armed >= 0) f.factoryDesign.hardpoints[static_cast<size_t>(armed)] = f.weapon.get();
            if (told) f.Execute(CommandBytes(27, SimId(3, 0)).S("cdesign").Done());
            ASSERT_EQ(f.world.factoryFitTold[3], told ? 1 : 0);
        };
    };
    // Team 3's factory announces the weapon from all seven hardpoints, then reports seven hits
    // of it; the log with the first `taken` of them taken.
    std::vector<uint8_t> volley;
    for (int word = 0; word < 14; ++word) {
        const std::vector<uint8_t> bytes =
            word < 7 ? fire(SimId(3, 22), word) : hit(kOwned, SimId(3, 22));
        volley.insert(volley.end(), bytes.begin(), bytes.end());
    }
    auto volleyLog = [fired](int taken) {
        Log log;
        for (int hardpoint = 0; hardpoint < 7; ++hardpoint)
            log.push_back(fired(SimId(3, 22), hardpoint));
        for (int i = 0; i < 7; ++i)
            log.push_back(i < taken ? "1:11 Hit abc 3:22" : Refused(7, 3)[0]);
        return log;
    };
    // After the row's volley, more at once and the last a reload later: `taken` of each.
    auto volleys = [volley, volleyLog, unlist](std::vector<int> taken) {
        return [=](Senders& f) {
            for (size_t i = 0; i < taken.size(); ++i) {
                if (i + 1 == taken.size()) f.clock.Advance(kReloadMs);
                f.log.clear();
                f.Execute(volley);
                EXPECT_EQ(f.log, volleyLog(taken[i])) << i;
            }
            unlist(f);
        };
    };
    // Team 2's unit, its weapon reaching a pixel, `away` pixels above the host's factory.
    auto above = [](int away) {
        return [away](Senders& f) {
            f.weapon->rangeField = 1;
            const Rect bounds = f.ownedFactory->GetBounds();
            f.world.PlaceOver(f.mirror,
                              Point(f.ownedFactory->GetPosition().x, bounds.origin.y - away));
        };
    };
    // The armed units' weapon flies 1064 ms; with the sender's tick its shot may be answered
    // this long after it came, by the link's clock.
    constexpr int32_t kShotLifeMs = 1064 + RecentDead::kLinkSlackMs;
    auto hits = [hit](const SimId& attacker, int count, char weapon = 'a') {
        std::vector<std::vector<uint8_t>> words(static_cast<size_t>(count),
                                                hit(kOwned, attacker, weapon));
        return Message(words);
    };
    // Team 2's unit announces a shot; heartbeats come over `flownMs` of battle, none more than
    // two seconds apart; the next message comes after a silence of `stallMs`.
    auto flown = [fire](int32_t flownMs, int32_t stallMs) {
        return [=](Senders& f) {
            f.Deliver(fire(kMirror));
            for (int32_t ms = flownMs; ms > 0; ms -= 2000)
                f.Deliver(CommandBytes(0).Done(), std::min(ms, 2000));
            f.world.recentDead.Elapse(stallMs);
            f.Delivered();
        };
    };
    // Team 3's factory announces letters 'a' to 'h' from all seven hardpoints, then seven hits
    // of each.
    std::vector<std::vector<uint8_t>> eightWords;
    for (char role = 'a'; role <= 'h'; ++role)
        for (int hardpoint = 0; hardpoint < 7; ++hardpoint)
            eightWords.push_back(fire(SimId(3, 22), hardpoint, role));
    for (char role = 'a'; role <= 'h'; ++role)
        for (int i = 0; i < 7; ++i)
            eightWords.push_back(hit(kOwned, SimId(3, 22), role));
    const std::vector<uint8_t> eightLetters = Message(eightWords);
    auto eightLettersLog = [fired] {
        Log log;
        for (char role = 'a'; role <= 'h'; ++role)
            for (int hardpoint = 0; hardpoint < 7; ++hardpoint)
                log.push_back(fired(SimId(3, 22), hardpoint, role));
        for (char role = 'a'; role <= 'h'; ++role)
            for (int i = 0; i < 7; ++i)
                log.push_back(role == 'a' && i < 4 ? "1:11 Hit abc 3:22" : Refused(7, 3)[0]);
        return log;
    };
    // The armed units' weapon made a Twin Gun (160 px of reach, travel 12, reload 600) at the
    // game speed `adjustment`: a shot a reload apart for 34 reloads, no hit.
    auto twinBank = [fire](int adjustment) {
        return [=](Senders& f) {
            f.weapon->weaponClass = WeaponClass::DirectShot;
            f.weapon->rangeField = 160;
            f.weapon->travelField = 12;
            f.weapon->reloadField = 600;
            SpeedAdjustment = adjustment;
            for (int shot = 0; shot < 34; ++shot) {
                f.clock.Advance(600 + 5 * adjustment);
                f.Deliver(fire(kMirror), 600 + 5 * adjustment);
            }
        };
    };
    auto twinBankLog = [](int taken, int adjustment) {
        return [=] {
            Log log(static_cast<size_t>(taken), "1:11 Hit abc 2:10");
            log.resize(40, Refused(7, 2, 34 * (600 + 5 * adjustment))[0]);
            return log;
        };
    };
    auto speedThree = [](Senders&) { SpeedAdjustment = 0; };
    const SimId piece = World::WreckPieceId(SimId(2, 20), 2);
    const Row rows[] = {
        // The machine playing the object's team, and no other.
        {"goal from the owner", 1, 2, -1, goal, is({"2:10 Goal 1 100,200"})},
        {"goal from a third machine", 1, 3, 2, goal, is(Refused(8, 3))},
        {"state from a third machine", 1, 3, 2, CommandBytes(9, kMirror).P(p).B(3).Done(),
         is(Refused(9, 3))},
        {"damage from a third machine", 1, 3, 2,
         CommandBytes(6, kMirror).L(7).L(8).B('p').B('r').B('q').Done(), is(Refused(6, 3))},
        {"carrier position from a third machine", 1, 3, 2, CommandBytes(50, kMirror).P(p).Done(),
         is(Refused(50, 3))},
        {"capture from a third machine", 1, 3, 2, CommandBytes(53, kCapture).I(kOwned).Done(),
         is(Refused(53, 3))},
        {"shot of another's unit", 1, 3, 2,
         CommandBytes(12, SimId(3, 60)).B('V').B('a').P(p).I(kMirror).I(kOwned).B(2).B(7).Done(),
         is(Refused(12, 3))},
        {"ledger of another's factory", 1, 3, 2,
         CommandBytes(55, SimId(2, 0)).L(7).L(8).L(9).Done(), is(Refused(55, 3))},
        {"ledger of its own factory", 1, 2, -1, CommandBytes(55, SimId(2, 0)).L(7).L(8).L(9).Done(),
         is({"Ledger 2:20 7 8 9"})},
        {"product of another's factory", 1, 3, 2, CommandBytes(5, SimId(2, 0)).Done(),
         is(Refused(5, 3))},
        {"factory for another team", 1, 2, -1,
         CommandBytes(11, SimId(4, 50)).P(p).L(1).L(2).L(3).B('F').B(9).Done(), is(Refused(11, 2))},
        // The crafted guest on the host: its snapshot, owner change and nominal hit about the
        // host's own unit.
        {"snapshot of the host's unit", 1, 2, -1,
         CommandBytes(57, kOwned).P(p).B(3).L(1).L(1).L(0).Done(), none, nullptr,
         [](Senders& f) { EXPECT_EQ(f.owned->damage.Max(), 100); }},
        // On player 2's machine, player 3 would take nothing over were the host lost.
        {"snapshot of the host's unit's copy", 2, 3, 1,
         CommandBytes(57, kHostUnit).P(p).B(3).L(1).L(1).L(0).Done(), is(Refused(57, 3)), nullptr,
         [](Senders& f) { EXPECT_EQ(f.world.peerSlots[1].peerLink->ConnectionLost(), 0); }},
        // Its own player tells where its units came to rest once its factory died here, and
        // nothing before: a live unit's copy would go wherever it says.
        {"snapshot of a live unit from its own player", 1, 2, -1, snapshot, is(Refused(57, 2)),
         nullptr, [](Senders& f) { EXPECT_EQ(f.mirror->GetPosition(), f.land.Centre(2, 2)); }},
        {"snapshot from its own player once its factory died", 1, 2, -1, snapshot,
         is({"2:10 Move 100,200 3 []"}), factoryDied},
        {"snapshot of a unit's wreck from its maker", 1, 2, -1,
         CommandBytes(57, kWreck).P(p).B(0).L(5).L(10).L(450).Done(), is(Refused(57, 2))},
        {"snapshot of a field", 1, 2, -1,
         CommandBytes(57, SimId(0, 30)).P(p).B(0).L(5).L(10).L(450).Done(), is(Refused(57, 2)),
         [](Senders& f) { f.fieldRaw->local = 0; }},
        {"the host's unit to the guest", 1, 2, -1, CommandBytes(37, kOwned).B(2).B(6).Done(),
         is(Refused(37, 2))},
        {"own unit to another team", 1, 2, -1, CommandBytes(37, kMirror).B(3).B(6).Done(),
         is(Refused(37, 2))},
        {"another's unit not captured", 1, 3, 2, CommandBytes(37, kMirror).B(3).B(6).Done(),
         is(Refused(37, 3))},
        {"a captured unit to its capturer", 1, 3, 2, CommandBytes(37, kMirror).B(3).B(6).Done(),
         is({"2:10 Team 3,3,6 0"}), Captured},
        {"nominal hit on the host's unit", 1, 2, -1, CommandBytes(54, kOwned).Done(),
         is(Refused(54, 2))},
        {"nominal hit on a factory", 1, 2, -1, CommandBytes(54, SimId(1, 21)).Done(),
         is(Refused(54, 2))},
        {"nominal hit on a land feature", 1, 3, 2, CommandBytes(54, kFeature).Done(),
         is({"0:45 Damage 1 1 XXX"})},
        // A captured unit keeps its id: its capturer speaks for it now, its old owner no more.
        {"goal for a captured unit from its capturer", 1, 3, 2, goal, is({"2:10 Goal 1 100,200"}),
         MovedToCapturer},
        {"goal for a captured unit from its old owner", 1, 2, 3, goal, is(Refused(8, 2)),
         MovedToCapturer},
        // Its old owner's shot was in flight: the hit lands as that owner's, on a unit of the
        // capturer too.
        {"a captured shooter's hit in flight", 1, 2, 3, hit(kOwned, kMirror),
         is({"1:11 Hit abc 2:10"}),
         [fire](Senders& f) {
             f.Execute(fire(kMirror));
             MovedToCapturer(f);
         }},
        {"a shooter captured here, its hit in flight on the capturer", 1, 2, 3,
         hit(kOwned, kMirror), is({"1:11 Hit abc 2:10"}),
         [fire](Senders& f) {
             f.Execute(fire(kMirror));
             f.world.MoveSimToTeam(f.mirror, 2, 1);
             f.mirror->teamRecord = ValueTriple(1);
             f.mirror->local = 1;
         }},
        // A hit report names the sender's own shooter and answers to a shot it announced of
        // that shooter and weapon, one hit a shot: from within the reach (and the slack for its
        // copy's lag), at no friend; or of a shooter dead since.
        {"hit report from a third machine", 1, 3, 2,
         Message({fire(kThirdUnit), hit(kOwned, kThirdUnit)}),
         is({fired(kThirdUnit), "1:11 Hit abc 3:16"})},
        {"hit naming another machine's shooter", 1, 3, 2, hit(kOwned, kMirror), is(Refused(7, 3))},
        {"hit naming this machine's own unit", 1, 2, -1, hit(kOwned, kCarrier), is(Refused(7, 2))},
        {"hit by a friend", 1, 2, -1, Message({fire(kMirror), hit(kOwned, kMirror)}),
         is({fired(kMirror), Refused(7, 2)[0]}),
         [](Senders& f) { f.world.Ally(kOwned, kMirror); }},
        {"hit from the edge of the reach", 1, 2, -1, Message({fire(kMirror), hit(kOwned, kMirror)}),
         is({fired(kMirror), "1:11 Hit abc 2:10"}),
         [](Senders& f) { f.PlaceBelowOwned(f.mirror, 100 + kReachSlack); },
         applied(7, 2, 1, {"standing 0"})},
        {"hit from a pixel past the reach", 1, 2, -1,
         Message({fire(kMirror), hit(kOwned, kMirror)}), is({fired(kMirror), Refused(7, 2)[0]}),
         [](Senders& f) { f.PlaceBelowOwned(f.mirror, 101 + kReachSlack); }},
        {"hit on a factory from the edge of the reach above", 1, 2, -1,
         Message({fire(kMirror), hit(SimId(1, 21), kMirror)}),
         is({fired(kMirror), "1:21 Hit abc 2:10"}), above(1 + kReachSlack)},
        {"hit on a factory from a pixel past the reach above", 1, 2, -1,
         Message({fire(kMirror), hit(SimId(1, 21), kMirror)}),
         is({fired(kMirror), Refused(7, 2)[0]}), above(2 + kReachSlack)},
        {"hit from the edge of the reach on the right", 1, 2, -1,
         Message({fire(kMirror), hit(kOwned, kMirror)}), is({fired(kMirror), "1:11 Hit abc 2:10"}),
         [](Senders& f) { f.PlaceBelowOwned(f.mirror, 100 + kReachSlack, true); }},
        {"hit from a pixel past the reach on the right", 1, 2, -1,
         Message({fire(kMirror), hit(kOwned, kMirror)}), is({fired(kMirror), Refused(7, 2)[0]}),
         [](Senders& f) { f.PlaceBelowOwned(f.mirror, 101 + kReachSlack, true); }},
        {"hit from an unarmed shooter beside it", 1, 2, -1,
         Message({fire(kMirror), hit(kOwned, kMirror)}), is({fired(kMirror), Refused(7, 2)[0]}),
         [](Senders& f) {
             f.mirror->design = nullptr;
             f.PlaceBelowOwned(f.mirror, 1);
         }},
        // A factory's copy its owner never told its turrets: a shot of a weapon its clan has
        // here counts from any hardpoint that takes it, and reaches as far as that weapon.
        {"hit by a factory at its weapon's reach", 1, 3, 2, hit(kOwned, SimId(3, 22)),
         is({"1:11 Hit abc 3:22"}), factoryFired(100 + kReachSlack, 1, false), unlist},
        {"hit by a factory past its weapon's reach", 1, 3, 2, hit(kOwned, SimId(3, 22)),
         is(Refused(7, 3)), factoryFired(101 + kReachSlack, 1, false), unlist},
        {"hit by a factory with a weapon the catalogue does not hold", 1, 3, 2,
         Message({fire(SimId(3, 22), 0, 'z'), hit(kOwned, SimId(3, 22), 'z')}),
         is({fired(SimId(3, 22), 0, 'z'), Refused(7, 3)[0]}), factoryBelow(10), unlist},
        {"hits of a factory dead since it fired, as many as its shots", 1, 3, 2,
         Message({hit(kOwned, SimId(3, 22)), hit(kOwned, SimId(3, 22))}),
         is({"1:11 Hit abc 3:22", "1:11 Hit abc 3:22"}), factoryFired(10, 2, true),
         applied(7, 3, 4, {"dead ms 0", "dead ms 0"}, unlist)},
        {"hits of a dead factory past its shots", 1, 3, 2,
         Message({hit(kOwned, SimId(3, 22)), hit(kOwned, SimId(3, 22)),
                  hit(kOwned, SimId(3, 22), 'z')}),
         is({"1:11 Hit abc 3:22", Refused(7, 3)[0], Refused(7, 3)[0]}), factoryFired(10, 1, true),
         unlist},
        {"a dead factory's shots and hits", 1, 3, 2,
         Message({fire(SimId(3, 22), 0), fire(SimId(3, 22), 1), hit(kOwned, SimId(3, 22)),
                  hit(kOwned, SimId(3, 22))}),
         is({Refused(7, 3)[0], Refused(7, 3)[0]}), factoryFired(10, 0, true), unlist},
        // A factory's copy its owner told its turrets: only the hardpoint that arms the weapon
        // fires it (one early); a copy that arms none fires nothing. Untold (a computer
        // player's), its shots of a weapon its clan has here count together, no more a reload
        // than the hardpoints that take it.
        {"a told factory arming one hardpoint, its weapon announced on all seven", 1, 3, 2,
         volley, [volleyLog] { return volleyLog(1); }, factoryFitted(1, true),
         volleys({1, 0, 1})},
        {"a told factory arming nothing", 1, 3, 2, volley, [volleyLog] { return volleyLog(0); },
         factoryFitted(-1, true), volleys({0, 0})},
        {"an untold factory, two hardpoints taking its weapon", 1, 3, 2, volley,
         [volleyLog] { return volleyLog(4); }, factoryFitted(-1, false), volleys({0, 2})},
        // Its hardpoint that arms the weapon fires on its own, beside the turrets of the rest.
        {"an untold factory arming one of three hardpoints taking its weapon", 1, 3, 2, volley,
         [volleyLog] { return volleyLog(7); }, factoryFitted(0, false, 1), volleys({4})},
        {"an untold factory, no hardpoint taking its weapon", 1, 3, 2, volley,
         [volleyLog] { return volleyLog(0); }, factoryFitted(-1, false, 3), volleys({0})},
        {"an untold factory, a weapon above the tech level", 1, 3, 2, volley,
         [volleyLog] { return volleyLog(0); },
         [factoryFitted](Senders& f) {
             factoryFitted(-1, false)(f);
             f.weapon->minimumTechLevel = 9;
         },
         volleys({0})},
        {"an untold factory of another clan than the weapon's", 1, 3, 2, volley,
         [volleyLog] { return volleyLog(0); },
         [factoryFitted](Senders& f) {
             factoryFitted(-1, false)(f);
             f.factoryDesign.clan = 'V';
         },
         volleys({0})},
        // Each mount's shots a reload apart, one early; a hit of each: the hit past them is
        // refused. A reload later the mount fires again.
        {"shots faster than the mount reloads", 1, 2, -1,
         Message({fire(kMirror), fire(kMirror), fire(kMirror), hit(kOwned, kMirror),
                  hit(kOwned, kMirror), hit(kOwned, kMirror)}),
         is({fired(kMirror), fired(kMirror), fired(kMirror), "1:11 Hit abc 2:10",
             "1:11 Hit abc 2:10", Refused(7, 2)[0]}),
         nullptr,
         [fire, hit](Senders& f) {
             const std::vector<uint8_t> again = Message({fire(kMirror), hit(kOwned, kMirror)});
             f.log.clear();
             f.clock.Advance(kReloadMs - 1);
             f.Execute(again);
             f.clock.Advance(1);
             f.Execute(again);
             EXPECT_EQ(f.log.back(), "1:11 Hit abc 2:10");
             EXPECT_EQ(f.log[1], Refused(7, 2)[0]);
         }},
        // A unit's copy knows its turrets: a catalogue weapon it does not mount counts not.
        {"shots of a hardpoint that does not fire that weapon", 1, 2, -1,
         Message({fire(kMirror, 1), fire(kMirror, 7), fire(kMirror, 255), fire(kMirror, 0, 'z'),
                  hit(kOwned, kMirror), hit(kOwned, kMirror, 'z')}),
         is({fired(kMirror, 1), fired(kMirror, 7), fired(kMirror, -1), fired(kMirror, 0, 'z'),
             Refused(7, 2)[0], Refused(7, 2)[0]}),
         factoryBelow(10), unlist},
        // Shots announced a reload apart, then a stall of 5 s: their hits come at once, with
        // the next shot and its hit, and the shot after it as soon as this machine answered.
        {"a burst of hits after a stall", 1, 2, -1,
         Message({hit(kOwned, kMirror), hit(kOwned, kMirror), hit(kOwned, kMirror), fire(kMirror),
                  hit(kOwned, kMirror), fire(kMirror), hit(kOwned, kMirror)}),
         is({"1:11 Hit abc 2:10", "1:11 Hit abc 2:10", "1:11 Hit abc 2:10", fired(kMirror),
             "1:11 Hit abc 2:10", fired(kMirror), "1:11 Hit abc 2:10"}),
         [fire](Senders& f) {
             for (int shot = 0; shot < 3; ++shot) {
                 f.Execute(fire(kMirror));
                 f.clock.Advance(kReloadMs);
                 f.world.recentDead.Elapse(kReloadMs);
             }
             f.clock.Advance(5000);
             f.world.recentDead.Elapse(5000);
         }},
        // A shot answers a hit only while it may be in flight by the link's clock: the
        // weapon's 1064 ms and the sender's tick, 3000 ms; a mount keeps no more unanswered
        // than its weapon has in flight at once (four). Messages a reload apart for 20 s, no
        // hit, then 40 hits at once.
        {"shots saved up for 20 s, then 40 hits at once", 1, 2, -1, hits(kMirror, 40),
         [=] {
             Log log(4, "1:11 Hit abc 2:10");
             log.resize(40, Refused(7, 2, 20000)[0]);
             return log;
         },
         [fire](Senders& f) {
             for (int shot = 0; shot < 40; ++shot) {
                 f.clock.Advance(500);
                 f.Deliver(fire(kMirror), 500);
             }
         }},
        // A Twin Gun's shots fly 1796 ms at speed 3 and 3266 at speed 1 (its 160 px of reach
        // at 1.113 px a step, three steps and a tick more): a turret keeps 3 + 1 and 6 + 1
        // unanswered, not the slowest speed's at every speed.
        {"a Twin Gun's shots saved up at speed 3, then 40 hits at once", 1, 2, -1,
         hits(kMirror, 40), twinBankLog(4, 0), twinBank(0), speedThree},
        {"a Twin Gun's shots saved up at speed 1, then 40 hits at once", 1, 2, -1,
         hits(kMirror, 40), twinBankLog(7, 2), twinBank(2), speedThree},
        // A shot that missed: a forged hit after its flight is refused, one at its end taken.
        {"a hit of a missed shot after its flight", 1, 2, -1, hit(kOwned, kMirror),
         is(Refused(7, 2, kShotLifeMs + 1)), flown(kShotLifeMs + 1, 0)},
        {"a hit at the end of its shot's flight", 1, 2, -1, hit(kOwned, kMirror),
         is({"1:11 Hit abc 2:10"}), flown(kShotLifeMs, 0)},
        // The sender stopped 5 s a ms before its shot struck, or its link stalled 20 s: the
        // silence counts no longer than a heartbeat's.
        {"an honest hit at the end of its flight behind a sender stopped 5 s", 1, 2, -1,
         hit(kOwned, kMirror), is({"1:11 Hit abc 2:10"}), flown(1063, 5000)},
        {"an honest hit at the end of its flight behind a link stalled 20 s", 1, 2, -1,
         hit(kOwned, kMirror), is({"1:11 Hit abc 2:10"}), flown(1063, 20000)},
        // An untold factory's two turrets fire whatever letters it names, each once a reload
        // and once early: four of 56 shots count, not four of each letter.
        {"an untold factory naming eight letters", 1, 3, 2, eightLetters, eightLettersLog,
         [factoryFitted](Senders& f) {
             factoryFitted(-1, false)(f);
             for (char role = 'b'; role <= 'h'; ++role) {
                 WeaponValues values;
                 values.rangeField = 100;
                 values.reloadField = 500;
                 values.mount.clan = 'c';
                 values.mount.role = role;
                 values.mount.mountSize = 2;
                 f.letters.push_back(std::make_unique<WeaponTemplate>(WeaponClass::Beam, values));
                 WeaponList.PushBack(f.letters.back().get());
             }
         },
         [unlist](Senders& f) {
             for (auto& letter : f.letters)
                 letter->Unlink();
             unlist(f);
         }},
        {"shots of a dead shooter", 1, 2, -1, Message({fire(kMirror), hit(kOwned, kMirror)}),
         is(Refused(7, 2, 500)), shooterDied(1, 0, 0)},
        // A shooter gone here died here, no longer ago than the longest shot flies (and the
        // link's slack), and stood within its reach.
        {"hit with a weapon its shooter does not mount", 1, 2, -1, hit(kOwned, kMirror, 'z'),
         is(Refused(7, 2))},
        {"hit naming a shooter never made", 1, 2, -1, hit(kOwned, SimId(2, 99)),
         is(Refused(7, 2))},
        {"hit by a shooter dead since it fired", 1, 2, -1, hit(kOwned, kMirror),
         is({"1:11 Hit abc 2:10"}), shooterDied(100 + kReachSlack, span),
         applied(7, 2, 1, {"dead ms " + std::to_string(span)})},
        {"hits of a dead shooter past its shots", 1, 2, -1,
         Message({hit(kOwned, kMirror), hit(kOwned, kMirror), hit(kOwned, kMirror)}),
         is({"1:11 Hit abc 2:10", "1:11 Hit abc 2:10", Refused(7, 2, 500)[0]}), shooterDied(1, 0, 2)},
        {"hit by a shooter dead past the span", 1, 2, -1, hit(kOwned, kMirror), is(Refused(7, 2, 500 + span + 1)),
         shooterDied(1, span + 1)},
        {"hit by a dead shooter that stood past its reach", 1, 2, -1, hit(kOwned, kMirror),
         is(Refused(7, 2, 500)), shooterDied(101 + kReachSlack, 0)},
        {"hit by a dead shooter with a weapon it did not mount", 1, 2, -1,
         hit(kOwned, kMirror, 'z'), is(Refused(7, 2, 500)), shooterDied(1, 0)},
        {"hit by another machine's dead shooter", 1, 3, 2, hit(kOwned, kMirror),
         is(Refused(7, 3, 500)), shooterDied(1, 0)},
        {"hit on a wreck from its shooter's machine", 1, 2, -1,
         Message({fire(kMirror), hit(kWreck, kMirror)}), is({fired(kMirror), "0:40 Hit abc 2:10"}),
         [](Senders& f) {
             f.wreck->local = 1;
             f.world.PlaceOver(f.mirror, f.land.Centre(6, 7));
         }},
        // Other answers go to the owner's copy, whoever sends them.
        {"credit from a third machine", 1, 3, 2, CommandBytes(22, kOwned).B(1).Done(),
         is({"1:11 Skill 1"})},
        {"shot answer from a third machine", 1, 3, 2, CommandBytes(36, kOwned).B(3).Done(),
         is({"ShotAck 1:11 3"})},
        {"exit answer from a third machine", 1, 3, 2, CommandBytes(39, SimId(1, 0)).Done(),
         is({"ExitAck 1:21"})},
        {"altitude answer from a third machine", 1, 3, 2, CommandBytes(43, kOwned).Done(),
         is({"AltAck 1:11"})},
        {"drop answer from a third machine", 1, 3, 2, CommandBytes(49, kCarrier).Done(),
         is({"DropAck 1:13"})},
        // A wreck's maker, whatever team its id names.
        {"wreck damage from its maker", 1, 2, 3,
         CommandBytes(6, kWreck).L(7).L(8).B('p').B('r').B('q').Done(),
         is({"0:40 Damage 7 8 pqr"})},
        {"wreck damage from another", 1, 3, 2,
         CommandBytes(6, kWreck).L(7).L(8).B('p').B('r').B('q').Done(), is(Refused(6, 3))},
        {"wreck snapshot from another", 1, 3, 2,
         CommandBytes(57, kWreck).P(p).B(0).L(5).L(10).L(450).Done(), is(Refused(57, 3))},
        {"a held wreck announced again", 1, 3, 2,
         CommandBytes(13, kWreck).B('V').B('a').P(p).L(50).B(3).Done(), is(Refused(13, 3))},
        // A wreck under the maker's own ids, worth what a wreck can be (with no catalogue, only
        // a carrier's full load), left where a unit the sender answered for died here, of that
        // unit's letters and worth no more than its design and cargo: once.
        {"a wreck with no death", 1, 2, -1, wreckOf(SimId(2, 80), 50), is(Refused(13, 2))},
        {"a wreck where its unit died", 1, 2, -1,
         Message({wreckOf(SimId(2, 80), 75), wreckOf(SimId(2, 81), 75)}), is(Refused(13, 2)),
         unitDied(), [](Senders& f) { EXPECT_EQ(f.world.wreckMakers.size(), 1u); }},
        // Two units died on one spot: the lower id's wreck comes first.
        {"a wreck where two units died", 1, 2, -1, wreckOf(SimId(2, 80), 75), none,
         [p, unitDied](Senders& f) {
             RecordingObject* second = f.Add(2, 14, 6, 6, 1, 0);
             second->design = &f.design;
             f.world.PlaceOver(second, p);
             second->destroyed = 1;
             unitDied()(f);
         },
         [](Senders& f) {
             EXPECT_EQ(f.world.recentDead.Find(kMirror)->wrecksLeft, 0);
             EXPECT_EQ(f.world.recentDead.Find(SimId(2, 14))->wrecksLeft, 1);
         }},
        {"a wreck of the kill in the same message", 1, 2, -1, wreckOf(SimId(2, 80), 75), none,
         unitDied(false), applied(13, 2, 1, {"away px 0"})},
        {"a wreck a cell from where its unit died", 1, 2, -1,
         wreckOf(SimId(2, 80), 75, 'a', Point(-32, 32)), none, unitDied(),
         applied(13, 2, 1, {"away px 32"})},
        {"a wreck past a cell above where its unit died", 1, 2, -1,
         wreckOf(SimId(2, 80), 75, 'a', Point(0, -33)), is(Refused(13, 2)), unitDied()},
        {"a wreck a cell below where its unit fell", 1, 2, -1,
         wreckOf(SimId(2, 80), 75, 'a', Point(0, RecentDead::kAirWreckDrop + 32)), none,
         unitDied(), applied(13, 2, 1, {"away px 32"})},
        {"a wreck past a cell below where its unit fell", 1, 2, -1,
         wreckOf(SimId(2, 80), 75, 'a', Point(0, RecentDead::kAirWreckDrop + 33)),
         is(Refused(13, 2)), unitDied()},
        {"a wreck of another chassis than the dead's", 1, 2, -1, wreckOf(SimId(2, 80), 75, 'b'),
         is(Refused(13, 2)), unitDied()},
        {"a wreck worth more than the dead's design", 1, 2, -1, wreckOf(SimId(2, 80), 76),
         is(Refused(13, 2)), unitDied()},
        {"a wreck of a unit another machine answered for", 1, 3, 2, wreckOf(SimId(3, 80), 75),
         is(Refused(13, 3)), unitDied()},
        {"a wreck under a unit's id", 1, 2, -1, wreckOf(kMirror, 50), is(Refused(13, 2))},
        {"a wreck under another team's id", 1, 2, -1, wreckOf(SimId(1, 80), 50),
         is(Refused(13, 2)), unitDied()},
        {"a wreck under nobody's team", 1, 2, -1, wreckOf(SimId(0, 80), 50), is(Refused(13, 2)),
         unitDied()},
        {"a wreck worth more than any", 1, 2, -1, wreckOf(SimId(2, 80), 601), is(Refused(13, 2)),
         [](Senders& f) { f.Kill(f.mirror); }},
        {"a wreck worth less than nothing", 1, 2, -1, wreckOf(SimId(2, 80), -1),
         is(Refused(13, 2)), unitDied()},
        {"a wreck worth nothing", 1, 2, -1, wreckOf(SimId(2, 80), 0), none, unitDied()},
        {"a factory's piece with no death", 1, 2, -1, wreckOf(piece, 50), is(Refused(13, 2))},
        // A 'V' factory worth 100 and 200 of cargo breaks into three pieces of 100 at most.
        {"a factory's pieces round where it died", 1, 2, -1,
         Message({wreckOf(SimId(2, 80), 100, 'Z', Point(-160, 160)),
                  wreckOf(SimId(2, 81), 100, 'Z', Point(160, 0)),
                  wreckOf(SimId(2, 82), 100, 'Z'),
                  wreckOf(SimId(2, 83), 100, 'Z')}),
         is(Refused(13, 2)), factoryBroke(), applied(13, 2, 4, {"away px 160", "away px 160", "away px 0"}, noBuilding)},
        {"a factory's piece worth more than its share", 1, 2, -1, wreckOf(SimId(2, 80), 101, 'Z'),
         is(Refused(13, 2)), factoryBroke(), noBuilding},
        {"a factory's piece past the reach", 1, 2, -1, wreckOf(SimId(2, 80), 100, 'Z', Point(161, 0)),
         is(Refused(13, 2)), factoryBroke(), noBuilding},
        {"a factory's piece from another", 1, 3, 2, wreckOf(piece, 50), is(Refused(13, 3))},
        // The authority: the host, or the lowest player left.
        {"award from a guest to the host", 1, 2, -1, CommandBytes(56, kArtifact).I(kMirror).Done(),
         is(Refused(56, 2))},
        {"award from a guest to a guest", 3, 2, 1, CommandBytes(56, kArtifact).I(kMirror).Done(),
         is(Refused(56, 2))},
        {"award from the host", 3, 1, 2, CommandBytes(56, kArtifact).I(kMirror).Done(), none,
         nullptr, [](Senders& f) { EXPECT_EQ(f.artifact->takerId, kMirror); }},
        {"award from the lowest player left", 3, 2, -1,
         CommandBytes(56, kArtifact).I(kMirror).Done(), none, nullptr,
         [](Senders& f) { EXPECT_EQ(f.artifact->takerId, kMirror); }},
        {"artifact from a guest", 3, 2, 1, CommandBytes(34, SimId(0, 71)).P(p).B(3).Done(),
         is(Refused(34, 2))},
        {"artifact from the host", 3, 1, 2, CommandBytes(34, SimId(0, 71)).P(p).B(3).Done(),
         is({"Artifact 0:71 100,200 3"})},
        {"all placed from a guest", 3, 2, 1, CommandBytes(30).Done(), is(Refused(30, 2)),
         [](Senders& f) { f.world.pauseLocked = 1; },
         [](Senders& f) { EXPECT_EQ(f.world.pauseLocked, 1); }},
        {"all placed from the host", 3, 1, 2, CommandBytes(30).Done(), none,
         [](Senders& f) { f.world.pauseLocked = 1; },
         [](Senders& f) { EXPECT_EQ(f.world.pauseLocked, 0); }},
        // Deposits: growth is the authority's, a withdrawal the miner's.
        {"growth from a guest", 1, 2, -1, CommandBytes(42, kDeposit).L(1000000).Done(),
         is(Refused(42, 2)), nullptr, [](Senders& f) { EXPECT_EQ(f.Ore(), 0); }},
        {"growth from the host", 3, 1, 2, CommandBytes(42, kDeposit).L(17).Done(), none, nullptr,
         [](Senders& f) { EXPECT_EQ(f.Ore(), 17); }},
        // The host's factory fell here by its owner's word, before any death pass: its growth
        // after that word is refused, and the next in line's taken.
        {"growth of a deposit not here", 3, 2, 1, CommandBytes(42, SimId(0, 61)).L(17).Done(),
         none, nullptr, [](Senders& f) { EXPECT_EQ(f.Ore(), 0); }},
        {"growth from a host whose factory fell", 3, 1, 2, CommandBytes(42, kDeposit).L(17).Done(),
         is(Refused(42, 1)), [](Senders& f) { f.ownedFactory->destroyed = 1; },
         [](Senders& f) { EXPECT_EQ(f.Ore(), 0); }},
        {"growth from the next in line after the host's fall", 3, 2, 1,
         CommandBytes(42, kDeposit).L(17).Done(), none,
         [](Senders& f) { f.ownedFactory->destroyed = 1; },
         [](Senders& f) { EXPECT_EQ(f.Ore(), 17); }},
        // Before the fall is seen here it waits, with what follows on its link; the fall ends
        // the wait and the word is taken.
        {"growth from the next in line before the host's fall", 3, 2, 1,
         Message({CommandBytes(42, kDeposit).L(17).Done(), goal}), none, nullptr,
         [](Senders& f) {
             EXPECT_EQ(f.Ore(), 0);
             EXPECT_EQ(f.world.peerSlots[0].Holding(), 1);
             f.ownedFactory->destroyed = 1;
             f.Steps(1, true);
             EXPECT_EQ(f.Ore(), 17);
             EXPECT_EQ(f.log, Log{"2:10 Goal 1 100,200"});
             EXPECT_EQ(f.world.peerSlots[0].Holding(), 0);
         }},
        // This machine's own factory stands below the sender's: the sender cannot have seen it
        // fall.
        {"growth from above this standing machine", 2, 3, 1,
         CommandBytes(42, kDeposit).L(17).Done(), is(Refused(42, 3)),
         [](Senders& f) { f.ownedFactory->destroyed = 1; },
         [](Senders& f) { EXPECT_EQ(f.Ore(), 0); }},
        {"withdrawal by the miner", 1, 2, -1, CommandBytes(42, kDeposit).L(-5).Done(), none,
         nullptr, [](Senders& f) { EXPECT_EQ(f.Ore(), -5); }},
        {"withdrawal by another", 1, 3, 2, CommandBytes(42, kDeposit).L(-5).Done(),
         is(Refused(42, 3)), nullptr, [](Senders& f) { EXPECT_EQ(f.Ore(), 0); }},
        // The slack round the deposit's right edge: 32 px past its last column, and no further.
        {"withdrawal from the slack's edge", 1, 3, 2, CommandBytes(42, kDeposit).L(-5).Done(), none,
         [](Senders& f) { f.CentreFactoryRightOfDeposit(3, 32); },
         [](Senders& f) { EXPECT_EQ(f.Ore(), -5); }},
        {"withdrawal from past the slack", 1, 3, 2, CommandBytes(42, kDeposit).L(-5).Done(),
         is(Refused(42, 3)), [](Senders& f) { f.CentreFactoryRightOfDeposit(3, 33); },
         [](Senders& f) { EXPECT_EQ(f.Ore(), 0); }},
        // A taker whose word comes before this machine saw the loss: it waits, with what comes
        // after it from that link, until the lost machine's own link closes here (or goes
        // silent); a peer's word closes no link. While that link still delivers when the limit
        // has passed, what it said about that team is refused and the rest applied.
        {"taker's snapshot before the loss", 3, 1, 2, Message({snapshot, goal, hostGoal}), none,
         nullptr,
         [](Senders& f) {
             f.Waited(1, {}, 1);
             f.Waited(0, {"2:10 Move 100,200 3 []", "2:10 Goal 1 100,200", "1:15 Goal 1 100,200"},
                      0);
         }},
        {"a long wait, applied whole and in order", 3, 1, 2, snapshot, none, nullptr,
         [goal](Senders& f) {
             // Two full messages of goals behind the snapshot: more than one message holds.
             std::vector<uint8_t> goals;
             while (goals.size() + goal.size() <= CommandBuffer::kCapacity)
                 goals.insert(goals.end(), goal.begin(), goal.end());
             Log expected{"2:10 Move 100,200 3 []"};
             for (int message = 0; message < 2; ++message) {
                 EXPECT_EQ(f.Execute(goals), 1);
                 expected.insert(expected.end(), goals.size() / goal.size(),
                                 "2:10 Goal 1 100,200");
             }
             f.Waited(0, expected, 0);
         }},
        {"taker's snapshot, its team's machine silent", 3, 1, 2, snapshot, none, nullptr,
         [](Senders& f) { f.Waited(-1, {"2:10 Move 100,200 3 []"}, 0); }},
        {"next in line about the host's unit", 3, 2, 1, Message({hostSnapshot, goal}), none,
         nullptr,
         [](Senders& f) {
             f.Waited(1, {}, 1);
             f.Waited(2, {Refused(57, 2)[0], "2:10 Goal 1 100,200"}, 1);
         }},
        {"next in line about the host's unit, the host lost", 3, 2, 1, hostSnapshot, none,
         nullptr, [](Senders& f) { f.Waited(0, {"1:15 Move 100,200 3 []"}, 0); }},
        // A hit the taker's shooter made before it died, held behind the taker's word for the
        // whole wait while the battle ran on here: its shooter is still remembered.
        {"a dead shooter's hit held for the whole wait", 3, 1, 2,
         Message({snapshot, hit(kThirdUnit, SimId(1, 99))}), none,
         [](Senders& f) {
             f.world.FindObject(kThirdUnit)->SetLocal(1);
             f.Died(SimId(1, 99), f.world.FindObject(kThirdUnit)->GetCentre());
         },
         [](Senders& f) {
             f.world.recentDead.Elapse(RecentDead::kLinkSlackMs + RecentDead::kHeldMs);
             f.Waited(-1, {"2:10 Move 100,200 3 []", "3:16 Hit abc 1:99"}, 0);
         }},
        // A hit held behind the taker's word is judged when it came, its shot in flight then,
        // though the link's heartbeats behind it run the link's clock past the shot's flight.
        {"a hit held for the whole wait, its shot flown since", 3, 1, 2,
         Message({snapshot, hit(kThirdUnit, kHostUnit)}), none,
         [fire](Senders& f) {
             f.world.FindObject(kThirdUnit)->SetLocal(1);
             static_cast<RecordingObject*>(f.world.FindObject(kHostUnit))->design = &f.design;
             f.world.PlaceOver(f.world.FindObject(kThirdUnit),
                               f.world.FindObject(kHostUnit)->GetPosition() + Point(0, 64));
             f.Deliver(fire(kHostUnit));
         },
         [](Senders& f) {
             for (int beat = 0; beat < 5; ++beat)
                 f.Deliver(CommandBytes(0).Done(), 2000);
             f.Waited(-1, {"2:10 Move 100,200 3 []", "3:16 Hit abc 1:15"}, 0);
         }},
        // The owner's factory mines from its unfolded centre, which a folded copy's centre
        // stands off by (-32, 32); the copy may trail its owner by up to a cell besides.
        {"withdrawal from a folded copy a cell behind", 1, 4, -1,
         CommandBytes(42, kDeposit).L(-5).Done(), none,
         [](Senders& f) { f.FoldedFactoryMiningFrom(4, 32); },
         [](Senders& f) { EXPECT_EQ(f.Ore(), -5); }},
        {"withdrawal from a folded copy past the slack", 1, 4, -1,
         CommandBytes(42, kDeposit).L(-5).Done(), is(Refused(42, 4)),
         [](Senders& f) { f.FoldedFactoryMiningFrom(4, 33); },
         [](Senders& f) { EXPECT_EQ(f.Ore(), 0); }},
        // A pause: anyone marks its own; the amounts are the authority's, taken once its mark of
        // this pause and every other is in.
        {"pause mark from a guest", 3, 2, 1, CommandBytes(58).L(1).Done(), none,
         [](Senders& f) { f.MarkedPause(), f.world.peerSlots[0].mark = 0; },
         [](Senders& f) { EXPECT_EQ(f.world.AllPeersMarked(), 1); }},
        // Only a mark of the pause this machine is in counts; a guest's never moves the count,
        // the host's no further than a few pauses ahead, nor below 1.
        {"old, future and huge marks from a guest and the host", 3, 2, 1,
         Message({CommandBytes(58).L(0).Done(), CommandBytes(58).L(2).Done(),
                  CommandBytes(58).L(0x7FFFFFFF).Done()}),
         none, [](Senders& f) { f.MarkedPause(), f.world.peerSlots[0].mark = 0; },
         [](Senders& f) {
             EXPECT_EQ(f.world.peerSlots[0].mark, 0);
             EXPECT_EQ(f.world.pauseNumber, 1);
             EXPECT_EQ(f.world.AllPeersMarked(), 0);
             for (int32_t number : {0x7FFFFFFF, 0, 2 + World::kMostPausesAhead})
                 f.world.NotePauseMark(1, number);
             EXPECT_EQ(f.world.pauseNumber, 1);
             f.world.NotePauseMark(1, 1 + World::kMostPausesAhead);
             EXPECT_EQ(f.world.markedPause, 1 + World::kMostPausesAhead);
             f.world.markedPause = f.world.pauseNumber = 2;
             f.world.TakeOfferedMarks();
             EXPECT_EQ(f.world.peerSlots[0].mark, 0);
         }},
        // A pause that reached this machine only: the host's mark sets the count back, and the
        // other's mark of that number, come first, is taken with it.
        {"host's mark under another count", 3, 1, 2, CommandBytes(58).L(1).Done(), none,
         [](Senders& f) {
             f.MarkedPause();
             f.world.markedPause = f.world.pauseNumber = 2;
             f.world.peerSlots[0].mark = f.world.peerSlots[1].mark = 0;
             f.world.peerSlots[1].offeredMark = 1;
         },
         [](Senders& f) {
             EXPECT_EQ(f.world.pauseNumber, 1);
             EXPECT_EQ(f.world.markedPause, 1);
             EXPECT_EQ(f.world.peerSlots[1].mark, 1);
             EXPECT_EQ(f.world.AllPeersMarked(), 1);
         }},
        // The host's mark may come before the pause itself, on another link: it waits for it.
        {"host's mark before the pause", 3, 1, 2, CommandBytes(58).L(2).Done(), none,
         [](Senders& f) {
             f.MarkedPause();
             f.world.paused = f.world.markedPause = 0;
             f.world.peerSlots[0].mark = f.world.peerSlots[1].mark = 0;
         },
         [](Senders& f) {
             EXPECT_EQ(f.world.pauseNumber, 1);
             EXPECT_EQ(f.world.markedPause, 0);
             f.world.paused = 1;
             f.world.MarkPause();
             EXPECT_EQ(f.world.markedPause, 2);
             EXPECT_EQ(f.world.peerSlots[0].mark, 2);
         }},
        // A pause passes a held word; its mark stays behind it.
        {"pause behind a held word", 3, 2, 1,
         Message({hostSnapshot, CommandBytes(29).B(1).Done(), CommandBytes(58).L(1).Done(),
                  CommandBytes(29).B(0).Done()}),
         none, nullptr,
         [](Senders& f) {
             EXPECT_EQ(f.world.paused, 1);
             EXPECT_EQ(f.world.markedPause, 1);
             EXPECT_EQ(f.world.peerSlots[0].mark, 0);
             f.Waited(2, {Refused(57, 2)[0]}, 1);
             EXPECT_EQ(f.world.paused, 0);
         }},
        // The host's mark of a pause sent after the word (so linked to the sender after it)
        // refuses the word at once, under another count too; of one sent before it, it does not.
        {"held word, the host's marks of pauses sent before and after it", 3, 2, 1, hostSnapshot,
         none, [](Senders& f) { f.Execute(CommandBytes(29).B(1).Done()); },
         [hostSnapshot](Senders& f) {
             f.world.NotePauseMark(1, 1);
             f.Steps(1, true);
             EXPECT_EQ(f.world.peerSlots[0].Holding(), 1);
             f.Execute(Message({CommandBytes(29).B(1).Done(), CommandBytes(58).L(2).Done()}));
             f.world.NotePauseMark(1, 3);
             EXPECT_EQ(f.world.pauseNumber, 3);
             EXPECT_TRUE(f.log.empty());
             f.Steps(1, true);
             EXPECT_EQ(f.log, Refused(57, 2));
             EXPECT_EQ(f.world.peerSlots[0].Holding(), 0);
             // A second word waits afresh: the pause the first passed answers it not.
             f.Execute(hostSnapshot);
             f.Steps(1, true);
             EXPECT_EQ(f.world.peerSlots[0].Holding(), 1);
             EXPECT_EQ(f.log, Refused(57, 2));
         }},
        // The host's pause, marked by the sender after its word: the sender got it after the
        // word, which is refused, and the pause settles with the sender's states and mark. A
        // second word in that pause waits afresh; the sender's mark of this machine's own pause
        // answers none.
        {"held word just before the host's pause", 3, 2, 1, hostSnapshot, none, nullptr,
         [p, hostSnapshot](Senders& f) {
             const std::vector<uint8_t> mark = CommandBytes(58).L(1).Done();
             f.Execute(CommandBytes(29).B(1).Done(), 1);
             f.Execute(Message({CommandBytes(9, kMirror).P(p).B(3).Done(), mark}));
             f.Execute(mark, 1);
             EXPECT_EQ(f.world.AllPeersMarked(), 0);
             f.Steps(1, true);
             EXPECT_EQ(f.log, Log({Refused(57, 2)[0], "2:10 Move 100,200 3 []"}));
             EXPECT_EQ(f.world.AllPeersMarked(), 1);
             f.Execute(hostSnapshot);
             f.Steps(1, true);
             EXPECT_EQ(f.world.peerSlots[0].Holding(), 1);
             f.world.TogglePause();
             f.world.TogglePause();
             f.Execute(CommandBytes(58).L(2).Done());
             f.world.NotePauseMark(1, 2);
             f.Steps(1, true);
             EXPECT_EQ(f.world.peerSlots[0].Holding(), 1);
             EXPECT_EQ(f.log.size(), 2u);
         }},
        // The sender lifts a settled pause behind its word: the lift passes it (before the
        // pause settles, it waits behind the word with the pause's mark).
        {"lift behind a held word, the pause settled", 3, 2, 1,
         Message({hostSnapshot, CommandBytes(29).B(0).Done()}), none,
         [amounts](Senders& f) {
             f.Execute(CommandBytes(29).B(1).Done(), 1);
             f.Execute(CommandBytes(58).L(1).Done());
             f.Execute(Message({CommandBytes(58).L(1).Done(), amounts}), 1);
         },
         [](Senders& f) {
             EXPECT_EQ(f.world.paused, 0);
             EXPECT_EQ(f.world.peerSlots[0].Holding(), 1);
         }},
        {"lift behind a held word before the amounts", 3, 2, 1,
         Message({hostSnapshot, CommandBytes(29).B(0).Done()}), none,
         [](Senders& f) {
             f.Execute(CommandBytes(29).B(1).Done(), 1);
             f.Execute(CommandBytes(58).L(1).Done());
             f.Execute(CommandBytes(58).L(1).Done(), 1);
         },
         [](Senders& f) {
             EXPECT_EQ(f.world.paused, 1);
             f.Waited(2, {Refused(57, 2)[0]}, 1);
             EXPECT_EQ(f.world.paused, 0);
         }},
        // Reaching the held word's bound ends the wait as the limit does: the word refused, the
        // sender's own goals applied whole and in order, as the host, which holds nothing,
        // applies them.
        {"held past the bound", 3, 2, 1, hostSnapshot, none, nullptr,
         [goal](Senders& f) {
             f.world.executeCommands = [&f](CommandBuffer& m, int slot) {
                 f.executor.Execute(m, slot);
             };
             Log expected = Refused(57, 2);
             const size_t goals = PeerSlot::kMaxWaitingBytes / goal.size() + 2;
             for (int x = 0; static_cast<size_t>(x) < goals; ++x) {
                 const Point at(40 + x % 200, 40 + x / 200);
                 f.Execute(CommandBytes(8, kMirror).W(1).P(at).Done());
                 expected.push_back("2:10 Goal 1 " + Pt(at));
             }
             EXPECT_EQ(f.world.peerSlots[0].Holding(), 0);
             EXPECT_EQ(f.log, expected);
         }},
        // The taker's link goes with its word held: the word waits on while the host plays
        // and is refused, then the link closes; the host's link lost in the same check, the
        // word is applied before either closes.
        {"taker gone with its word held", 3, 2, 1, hostSnapshot, none, nullptr,
         [](Senders& f) {
             f.link->lost = 1;
             f.Steps(2, true);
             EXPECT_EQ(f.world.PeerCount(), 2);
             EXPECT_TRUE(f.log.empty());
             f.Steps(2, true);
             EXPECT_EQ(f.log, Refused(57, 2));
             EXPECT_EQ(f.world.PeerCount(), 1);
         }},
        {"taker and host gone in one check", 3, 2, 1, hostSnapshot, none, nullptr,
         [](Senders& f) {
             f.link->lost = 1;
             static_cast<MemoryLink*>(f.world.peerSlots[1].peerLink)->lost = 1;
             f.Steps(1, false);
             EXPECT_EQ(f.log, Log{"1:15 Move 100,200 3 []"});
             EXPECT_EQ(f.world.PeerCount(), 0);
         }},
        // Frames wait on the host's link after a local stall of the whole limit: read, kept.
        {"host heard after a local stall", 3, 2, 1, hostSnapshot, none, nullptr,
         [](Senders& f) {
             auto* host = static_cast<MemoryLink*>(f.world.peerSlots[1].peerLink);
             f.Steps(0, false);
             f.clock.Advance(CommLink::kSilentMs + 1);
             host->incoming.push_back(CommandBytes(0).Done());
             f.world.NetworkStep();
             EXPECT_EQ(host->ConnectionLost(), 0);
             EXPECT_EQ(f.log, Refused(57, 2));
         }},
        {"deposit amounts from a guest", 3, 2, 1, amounts,
         is({ExecutorFixture::Refusal(59, 0, 2), ExecutorFixture::Refusal(59, 0, 2)}),
         [](Senders& f) { f.MarkedPause(); }, [](Senders& f) { EXPECT_EQ(f.Ore(), 0); }},
        {"deposit amounts from the host", 3, 1, 2, amounts, none,
         [](Senders& f) { f.MarkedPause(); }, [](Senders& f) { EXPECT_EQ(f.Ore(), 123); }},
        {"deposit amounts before the host's mark", 3, 1, 2, amounts, none,
         [](Senders& f) { f.MarkedPause(), f.world.peerSlots[0].mark = 0; },
         [](Senders& f) { EXPECT_EQ(f.Ore(), 0); }},
        {"deposit amounts before another's mark", 3, 1, 2, amounts, none,
         [](Senders& f) { f.MarkedPause(), f.world.peerSlots[1].mark = 0; },
         [](Senders& f) {
             EXPECT_EQ(f.Ore(), 0);
             f.world.NotePauseMark(1, 1);
             EXPECT_EQ(f.Ore(), 123);
         }},
        {"taker's snapshot after the loss", 3, 1, -1, snapshot, is({"2:10 Move 100,200 3 []"})},
        {"goal of a lost team from its taker", 3, 1, -1, goal, is({"2:10 Goal 1 100,200"})},
        {"snapshot from one who takes nothing", 1, 3, 2, snapshot, is(Refused(57, 3)), nullptr,
         [](Senders& f) { EXPECT_EQ(f.world.peerSlots[1].peerLink->ConnectionLost(), 0); }},
        {"goal from the taker before the loss", 3, 1, 2, goal, is(Refused(8, 1)), nullptr,
         [](Senders& f) { EXPECT_EQ(f.world.peerSlots[1].peerLink->ConnectionLost(), 0); }},
        {"drop from the taker", 3, 1, -1, CommandBytes(45).B(2).B(4).Done(), none, nullptr,
         [](Senders& f) { EXPECT_EQ(f.land.records.emptied, std::vector<int>{4}); }},
        {"drop from a guest", 3, 2, 1, CommandBytes(45).B(2).B(4).Done(), is(Refused(45, 2))},
        // The set-up and the lobby only; the start from the host only.
        {"settings in the battle", 1, 2, -1, CommandBytes(24).Settings().Done(), is(Refused(24, 2)),
         [](Senders& f) { f.world.inGame = 1; }},
        {"player number in the battle", 1, 2, -1, CommandBytes(46).B(4).Done(), is(Refused(46, 2)),
         [](Senders& f) { f.world.inGame = 1; },
         [](Senders& f) { EXPECT_EQ(f.world.peerSlots[0].peerTeam, 2); }},
        {"start from a guest", 1, 2, -1, CommandBytes(25).Settings().B(3).Done(),
         is(Refused(25, 2))},
        // Anyone.
        {"pause from a guest", 3, 2, 1, CommandBytes(29).B(1).Done(), none, nullptr,
         [](Senders& f) { EXPECT_EQ(f.world.paused, 1); }},
        {"speed from a guest", 3, 2, 1, CommandBytes(40).B(1).Done(), is({"Speed 2"})},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Senders f;
        f.world.localPlayer = ValueTriple(row.local);
        f.world.peerSlots[0].peerTeam = row.sender;
        if (row.other != -1) f.AddPeerPlaying(row.other);
        f.world.paused = 0;
        if (row.prepare) row.prepare(f);
        f.log.clear();
        EXPECT_EQ(f.Execute(row.bytes), 1);
        EXPECT_EQ(f.log, row.expected());
        // The sender stays.
        EXPECT_EQ(f.link->ConnectionLost(), 0);
        EXPECT_EQ(f.link->DropReason(), 0);
        // Every hit and wreck not held is traced once: applied (with its shooter's or dead
        // object's kind) or refused.
        size_t deathWords = 0, refused = 0;
        CommandReader reader(row.bytes.data(), row.bytes.size());
        for (CommandHeader h; reader.NextCommand(h);)
            deathWords += h.kind == 7 || h.kind == 13;
        for (const std::string& line : f.log)
            refused += line.rfind("Refused command kind 7 ", 0) == 0 ||
                       line.rfind("Refused command kind 13 ", 0) == 0;
        if (f.world.peerSlots[0].Holding() == 0) {
            EXPECT_EQ(f.receivers.applied.size() + refused, deathWords);
        }
        for (const std::string& line : f.receivers.applied)
            EXPECT_EQ(line.find(" of kind 0"), std::string::npos) << line;
        if (row.check) row.check(f);
    }
}

// The catalogue's figures, worked out as it loads: the longest reach, the longest shot's flight,
// and the dearest wreck: three quarters of the dearest design any chassis takes (the chassis, the
// dearest drive, the dearest weapon or item each hardpoint's size takes) and a carrier's load.
// Here the small chassis: 50 + 30 + 45 (the item of no size in its hardpoint of none) + 500
// = 625, 468 as a wreck.
TEST(CommandSenders, AWreckIsWorthAtMostTheDearestDesignTheCatalogueAllows) {
    std::vector<ListNode*> records;
    auto add = [&records](NodeList& list, ListNode* record) {
        list.PushBack(record);
        records.push_back(record);
    };
    auto chassis = [](int32_t cost, std::vector<int32_t> capacities) {
        ChassisValues v;
        v.firstCost = cost;
        v.hardpointCount = static_cast<int32_t>(capacities.size());
        v.capacities = capacities;
        return new ChassisTemplate(v);
    };
    auto mount = [](int32_t cost, int32_t size) {
        MountValues v;
        v.firstCost = cost;
        v.mountSize = size;
        return v;
    };
    auto weapon = [&mount](int32_t cost, int32_t size, int32_t range = 0, int32_t travel = 0) {
        WeaponValues v;
        v.mount = mount(cost, size);
        v.rangeField = range;
        v.travelField = travel;
        return new WeaponTemplate(WeaponClass::Beam, v);
    };
    add(ChassisList, chassis(100, {1, 2}));
    add(ChassisList, chassis(50, {0, 3}));
    for (int32_t cost : {10, 30}) {
        auto* drive = new PartTemplate('V', 'W', 1, 0, 0, 0, 1);
        drive->firstCost = cost;
        add(PartList, drive);
    }
    add(WeaponList, weapon(20, 1, 300, 5));
    add(WeaponList, weapon(70, 2, 120, 12));
    add(WeaponList, weapon(500, 3));
    // Past every hardpoint's size: no design takes it.
    add(WeaponList, weapon(9000, 4));
    add(SensorItemList, new SensorItemTemplate(mount(40, 1), 3));
    add(SensorItemList, new SensorItemTemplate(mount(45, 0), 3));
    TheCatalogueFigures.WorkOut();
    EXPECT_EQ(TheCatalogueFigures.longestReach, 300);
    // The shots' one model of a flight: a beam's is its countdown and two ticks, whatever its
    // reach; beyond it the link's slack, and a report held behind a taker's word (10 s).
    EXPECT_EQ(RecentDead::SpanMs(), 1064 + RecentDead::kLinkSlackMs + 10000);
    constexpr int32_t kDearest = 468 + GameObject::kStartCargoCapacity;
    for (int32_t value : {kDearest, kDearest + 1}) {
        SCOPED_TRACE(value);
        Senders f;
        f.world.localPlayer = ValueTriple(1);
        // A unit whose own design and cargo would allow more died there.
        f.Died(SimId(2, 10), Point(9, 9)).mostWreckValue = 2 * kDearest;
        f.log.clear();
        f.Execute(CommandBytes(13, SimId(2, 80)).B('V').B('a').P(Point(9, 9)).L(value).B(3).Done());
        EXPECT_EQ(f.log, value == kDearest ? Log{} : Refused(13, 2));
    }
    for (ListNode* record : records) {
        record->Unlink();
        delete record;
    }
    TheCatalogueFigures.WorkOut();
    EXPECT_EQ(RecentDead::SpanMs(), RecentDead::kLinkSlackMs + 10000);
}

// The host grants a claim only for a unit or factory of the sender's whose copy here stands
// within reach of the artifact's cell; a refused claim leaves the artifact to be claimed again.
TEST(CommandSenders, TheHostGrantsAClaimOnlyForTheSendersUnitNearTheArtifact) {
    constexpr int kReach = CommandExecutor::kClaimReachCells;
    const struct {
        const char* what;
        SimId toucher;
        Point cells;
        bool granted;
        bool traced;
    } cases[] = {
        {"on it", kMirror, Point(0, 0), true, false},
        {"at the reach", kMirror, Point(kReach, -kReach), true, false},
        {"a cell past it", kMirror, Point(kReach + 1, 0), false, true},
        {"a cell past it upwards", kMirror, Point(0, -kReach - 1), false, true},
        {"from across the map", kMirror, Point(-7, -8), false, true},
        {"a capture unit", kCapture, Point(1, 0), true, false},
        {"a factory", SimId(2, 20), Point(0, 0), true, false},
        {"a wreck", kWreck, Point(0, 0), false, true},
        {"another player's unit", kHostUnit, Point(1, 0), false, true},
        {"this machine's own unit", kOwned, Point(1, 0), false, false},
    };
    EXPECT_EQ(Artifact::MayBeTakenBy(nullptr), 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Senders f;
        f.world.networkHost = 1;
        GameObject* toucher = f.world.FindObject(c.toucher);
        ASSERT_NE(toucher, nullptr);
        const Point at = f.artifact->GetPosition();
        f.world.PlaceOver(toucher, at + Point(32 * c.cells.x, 32 * c.cells.y));
        f.world.commands->Rewind();
        f.log.clear();
        const std::vector<uint8_t> claim = CommandBytes(35, kArtifact).I(c.toucher).Done();
        EXPECT_EQ(f.Execute(claim), 1);
        EXPECT_EQ(f.artifact->takerId, c.granted ? c.toucher : SimId());
        EXPECT_EQ(f.log, c.traced ? Refused(35, 2) : Log{});
        const std::vector<uint8_t> award = CommandBytes(56, kArtifact).I(c.toucher).Done();
        const std::vector<uint8_t> sent(f.world.commands->Data(),
                                        f.world.commands->Data() + f.world.commands->Size());
        EXPECT_EQ(sent, c.granted ? award : std::vector<uint8_t>{});
        if (c.granted || c.toucher == kOwned) continue;
        // Claimed again once its copy stands on it, the artifact goes to it (a wreck never).
        f.world.PlaceOver(toucher, at);
        f.Execute(claim);
        EXPECT_EQ(f.artifact->takerId,
                  c.toucher == kWreck || c.toucher == kHostUnit ? SimId() : c.toucher);
    }
}

// A guest's unit or factory that stopped on an artifact claims it again with every heartbeat:
// the host may have refused its first claim while its copy there still lagged.
TEST(CommandSenders, AGuestClaimsAgainWhileItsUnitStandsOnTheArtifact) {
    for (int host : {0, 1}) {
        for (bool onIt : {true, false}) {
            for (const SimId& taker : {kOwned, SimId(1, 21)}) {
                SCOPED_TRACE(host * 10 + onIt);
                Senders f;
                f.world.networkHost = host;
                if (onIt) f.world.PlaceOver(f.world.FindObject(taker), f.artifact->GetPosition());
                // Another's copy on it claims nothing here.
                f.world.PlaceOver(f.mirror, f.artifact->GetPosition() + Point(1, 1));
                f.world.commands->Rewind();
                f.world.ClaimArtifactsStoodOn();
                const std::vector<uint8_t> sent(
                    f.world.commands->Data(), f.world.commands->Data() + f.world.commands->Size());
                EXPECT_EQ(sent, host == 0 && onIt ? CommandBytes(35, kArtifact).I(taker).Done()
                                                  : std::vector<uint8_t>{});
                // Taken: no more claims.
                f.artifact->Retire(kMirror);
                f.world.commands->Rewind();
                f.world.ClaimArtifactsStoodOn();
                EXPECT_EQ(f.world.commands->Size(), 0u);
            }
        }
    }
}

// A third machine's unit wins before this machine has been told it was made: the artifact
// leaves the map here as everywhere, and its effect reaches the winner's copy once, when it is
// made.
TEST(CommandSenders, AnAwardBeforeItsWinnerExistsRetiresTheArtifactAndWaitsForTheWinner) {
    Senders f;
    f.world.localPlayer = ValueTriple(3);
    f.world.peerSlots[0].peerTeam = 1;
    const SimId winner(4, 77);
    ASSERT_EQ(f.Execute(CommandBytes(56, kArtifact).I(winner).Done()), 1);
    EXPECT_EQ(f.artifact->takerId, winner);
    EXPECT_EQ(f.world.ArtifactAt(f.artifact->GetPosition()), nullptr);
    ASSERT_EQ(f.world.artifactAwards.size(), 1u);
    EXPECT_EQ(f.world.artifactAwards[0].artifact, kArtifact);
    EXPECT_EQ(f.world.artifactAwards[0].taker, winner);
    ASSERT_EQ(f.world.awaitedWinners.size(), 1u);
    // A second award changes nothing: taken once.
    f.Execute(CommandBytes(56, kArtifact).I(kMirror).Done());
    EXPECT_EQ(f.artifact->takerId, winner);
    EXPECT_EQ(f.world.artifactAwards.size(), 1u);
    // Nothing yet for others, nothing while the winner is missing.
    f.Execute(CommandBytes(0).Done());
    EXPECT_EQ(f.mirror->damage.Max(), 100);
    EXPECT_EQ(f.world.awaitedWinners.size(), 1u);
    // Its copy is made: the armour effect lands once, whatever comes after.
    RecordingObject* made = f.Add(4, 77, 4, 12, 1, 0);
    ASSERT_EQ(f.world.FindObject(winner), made);
    f.Execute(Message({CommandBytes(0).Done(), CommandBytes(0).Done()}));
    EXPECT_EQ(made->damage.Max(), 125);
    EXPECT_TRUE(f.world.awaitedWinners.empty());
    f.Execute(CommandBytes(0).Done());
    EXPECT_EQ(made->damage.Max(), 125);
}

}  // namespace
