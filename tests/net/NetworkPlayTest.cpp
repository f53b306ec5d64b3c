// Network play put into a World from QX.INI: the BIND address (only a dotted one counts) and
// the links the World then makes on its own.
#include "net/NetworkPlay.h"

#include <gtest/gtest.h>

#include "catalogue/TemplateCatalogue.h"
#include "core/Settings.h"
#include "core/SpriteSet.h"
#include "net/CommandReceivers.h"
#include "net/FactoryReceivers.h"
#include "objects/Artifact.h"
#include "objects/CommandBuffer.h"
#include "objects/Goal.h"
#include "objects/PartAttachment.h"
#include "objects/SimTestSupport.h"
#include "objects/StealthSet.h"
#include "objects/UnitMakers.h"
#include "support/ScopedWorkingDir.h"
#include "world/CommLink.h"
#include "world/ObjectNode.h"
#include "world/RegistryTestFixture.h"
#include "world/World.h"

TEST(NetworkPlay, TheWorldMakesLinksBoundToTheBindSetting) {
    ScopedWorkingDir directory;
    for (const auto& [value, expected] :
         std::vector<std::pair<std::string, std::string>>{{"127.0.0.2", "127.0.0.2"},
                                                          {"localhost", ""},
                                                          {"127.0.0", ""},
                                                          {"127.0.0.256", ""},
                                                          {"", ""}}) {
        directory.WriteFile("QX.INI", "[COMMUNICATIONS]\nBIND=" + value + "\n");
        EXPECT_EQ(BindSetting(), expected) << value;
    }
    directory.WriteFile("QX.INI", "[COMMUNICATIONS]\nBIND=127.0.0.3\n");
    // A World without a link maker gets network play with its first peer link.
    World world;
    CommLink* link = world.AddPeer();
    ASSERT_NE(link, nullptr);
    EXPECT_STREQ(link->LocalAddress(), "127.0.0.3");
    EXPECT_EQ(link->ConnectionLost(), 0);
    ASSERT_TRUE(world.executeCommands);
}

TEST(NetworkPlay, ReceivedEconomyGoalsComeFromTheInstalledMakers) {
    World world;
    std::vector<std::string> made;
    for (int type : {3, 4, 5, 6, 8}) {
        world.Makers().goalMakers[type] = [&made, type](const SimId& owner, const GoalFields& f,
                                                        int allow, int finish) {
            made.push_back(std::to_string(type) + " " + std::to_string(owner.serial) + " " +
                           std::to_string(f.id.serial) + " " + std::to_string(f.point.x) + " " +
                           std::to_string(f.amount) + " " + std::to_string(f.param) + " " +
                           std::to_string(allow) + std::to_string(finish));
            return std::unique_ptr<Goal>();
        };
    }
    for (int type : {3, 4, 5, 6, 8, 2})
        EXPECT_EQ(GameReceivers().MakeGoal(type, SimId(2, 10), SimId(0, 40), Point(7, 8)), nullptr);
    // Only the fields each type keeps.
    EXPECT_EQ(made,
              (std::vector<std::string>{"3 10 40 0 0 0 11", "4 10 40 7 0 0 11", "5 10 40 7 1 0 11",
                                        "6 10 -1 0 0 0 11", "8 10 -1 7 0 99 11"}));
}

TEST(NetworkPlay, AUnitAnotherMachineMadeIsMirroredUnderItsId) {
    // The kit outlives the World: the unit's design points at its records.
    SimKit kit;
    WorldOnLand land{OpenLand(10, 10)};
    ListNode* chassis = kit.chassis.get();
    ListNode* drive = kit.drive.get();
    ChassisList.PushBack(chassis);
    PartList.PushBack(drive);
    GameReceivers().SpawnUnit(nullptr, SimId(2, 77), land.Centre(3, 3), "VWa");
    // A code naming no chassis here makes nothing.
    GameReceivers().SpawnUnit(nullptr, SimId(2, 78), land.Centre(5, 5), "VWz");
    kit.chassis->Unlink();
    kit.drive->Unlink();
    GameObject* unit = land.world.FindSim(SimId(2, 77));
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(unit->local, 0);
    EXPECT_EQ(unit->GetPosition(), land.Centre(3, 3));
    EXPECT_EQ(land.world.FindSim(SimId(2, 78)), nullptr);
}

// Kind 12 makes the shot's mirror (never owned) when the weapon is known here; kind 36 counts an
// answer on the shooter's mount; kind 21 shows the shooter through its stealth.
TEST(NetworkPlay, AShotAnotherMachineFiredIsMirroredAndAnsweredOnItsMount) {
    SimKit kit;
    WorldOnLand land{OpenLand(10, 10)};
    WeaponSpec shape;
    shape.striking = true;
    ListNode* weapon = kit.Weapon(shape);
    WeaponList.PushBack(weapon);
    std::unique_ptr<Sim> shooter =
        kit.MakeSim(2, 10, land.Centre(2, 2), {static_cast<MountTemplate*>(weapon)});
    std::unique_ptr<Sim> target = kit.MakeSim(1, 11, land.Centre(4, 4));
    CommandReceivers& receivers = GameReceivers();
    receivers.FireWeapon(shooter.get(), target.get(), 'V', 'a', 0, SimId(2, 90), 7);
    receivers.FireWeapon(shooter.get(), target.get(), 'V', 'q', 0, SimId(2, 91), 7);
    weapon->Unlink();
    ASSERT_EQ(land.world.weapons[2].Count(), 1);
    GameObject* shot = static_cast<ObjectNode*>(land.world.weapons[2].First())->Object();
    EXPECT_EQ(shot->id, SimId(2, 90));
    EXPECT_EQ(shot->local, 0);

    receivers.CountShotAck(shooter.get(), 0);
    receivers.CountShotAck(shooter.get(), 0);
    receivers.CountShotAck(shooter.get(), 5);
    auto* mount = static_cast<PartAttachment*>(shooter->GetArmedPart(0));
    ASSERT_NE(mount, nullptr);
    EXPECT_EQ(mount->acknowledgements, 2);
    receivers.StartFiringTimer(shooter.get());
    EXPECT_EQ(shooter->stealth.revealCountdown, StealthSet::kRevealMs);
}

// Kind 34: a guest's artifact shows and sounds as the host's does, with the host's effect.
TEST(NetworkPlay, AnArtifactAnotherMachinePlacedHasTheCataloguesPicturesSoundAndItsEffect) {
    WorldOnLand land{OpenLand(10, 10)};
    SpriteSet* const pictures = ArtifactPictures;
    Sound* const sound = ArtifactSound;
    SpriteSet shown(1);
    ArtifactPictures = &shown;
    ArtifactSound = reinterpret_cast<Sound*>(&shown);
    GameReceivers().MakeArtifact(SimId(0, 70), land.Centre(4, 4), 3);
    ArtifactPictures = pictures;
    ArtifactSound = sound;
    ASSERT_EQ(land.world.artifacts.Count(), 1);
    auto* artifact =
        dynamic_cast<Artifact*>(static_cast<ObjectNode*>(land.world.artifacts.First())->Object());
    ASSERT_NE(artifact, nullptr);
    EXPECT_EQ(artifact->spriteSet, &shown);
    EXPECT_EQ(artifact->pickupSound, reinterpret_cast<Sound*>(&shown));
    EXPECT_EQ(artifact->effectType, 3);
    EXPECT_EQ(artifact->local, 0);
}

// The set-up and reveal commands reach whichever screen installed its hook, and nothing
// happens while none has; the game speed is the World's, with no screen loaded, as the set-up
// starts (kind 25) and as it changes (40): a guest plays at the host's speed, never at its own.
// A replaced set of receivers is used until it is reset to today's.
TEST(NetworkPlay, ScreenCommandsReachTheInstalledHooksAndReceiversCanBeReplaced) {
    {
        World guest;
        InstallNetworkPlay(guest, "", 0);
        guest.localPlayer = ValueTriple(2);
        guest.peerSlots[0].peerTeam = 1;
        CommandBuffer host;
        host.enabled = 1;
        SetupSettings settings;
        for (int i = 0; i < 20; ++i)
            settings.startOrder[i] = i;
        const struct { int own, start, change; } rows[] = {{2, -1, 2}, {-2, 0, -2}, {0, 2, 1}};
        for (const auto& row : rows) {
            SpeedAdjustment = row.own;
            host.Rewind();
            host.SendSetupStart(settings, row.start);
            guest.executeCommands(host, 0);
            EXPECT_EQ(SpeedAdjustment, row.start) << row.own;
            host.Rewind();
            host.SendGameSpeed(3 - row.change);
            guest.executeCommands(host, 0);
            EXPECT_EQ(SpeedAdjustment, row.change) << row.own;
        }
        SpeedAdjustment = 0;
    }
    CommandReceivers& today = GameReceivers();
    SetupSettings settings;
    settings.scenarioNumber = 6;
    today.ApplyPeerSettings(settings, 1, 0);
    today.SetGameSpeed(2);
    today.SetRevealMap(1);
    std::string seen;
    TheNetworkHooks().applyPeerSettings = [&seen](const SetupSettings& s, int start, int leave) {
        seen += "settings " + std::to_string(s.scenarioNumber) + " " + std::to_string(start) + " " +
                std::to_string(leave) + ";";
    };
    TheNetworkHooks().setRevealMap = [&seen](int value) {
        seen += "reveal " + std::to_string(value) + ";";
    };
    today.ApplyPeerSettings(settings, 1, 0);
    today.SetGameSpeed(-2);
    today.SetRevealMap(1);
    TheNetworkHooks() = NetworkHooks();
    EXPECT_EQ(seen, "settings 6 1 0;reveal 1;");

    auto replacement = std::make_unique<CommandReceivers>();
    CommandReceivers* raw = replacement.get();
    SetGameReceivers(std::move(replacement));
    EXPECT_EQ(&GameReceivers(), raw);
    SetGameReceivers(nullptr);
    EXPECT_NE(&GameReceivers(), raw);
    EXPECT_NE(dynamic_cast<FactoryReceivers*>(&GameReceivers()), nullptr);
}
