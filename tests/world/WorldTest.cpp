#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "catalogue/CatalogueServices.h"
#include "catalogue/DesignLibrary.h"
#include "catalogue/VehicleDesign.h"
#include "core/BusyIndicator.h"
#include "core/ColourBox.h"
#include "core/ResourceFile.h"
#include "core/Settings.h"
#include "core/StringTable.h"
#include "platform/AtomicFile.h"
#include "platform/Drives.h"
#include "support/UnreadableFile.h"
#include "world/GameRecords.h"
#include "world/ObjectNode.h"
#include "world/RegistryTestFixture.h"
#include "world/Scenario.h"
#include "world/TestObject.h"
#include "world/WorldTestFixture.h"

namespace {

TEST(World, RegistersAsTheApplicationAndTheServicesWhileItExists) {
    ScopedWorkingDir directory;
    {
        World world;
        EXPECT_EQ(application, &world);
        EXPECT_EQ(TheWorld(), &world);
        EXPECT_EQ(terrainServices, &world);
        EXPECT_EQ(&Services(), &world);
        world.techLevelT = 5;
        world.techLevelV = 3;
        world.clanLetter = 'T';
        EXPECT_EQ(Services().ClanTechLevel('T'), 5);
        EXPECT_EQ(Services().ClanTechLevel('V'), 3);
        // Any other letter: the lower of the two.
        EXPECT_EQ(Services().ClanTechLevel('X'), 3);
        EXPECT_EQ(Services().PlayerClan(), 'T');
        RequestGameMode(GameMode::ExitPicture);
        EXPECT_EQ(world.requestedMode, 10);
    }
    EXPECT_EQ(application, nullptr);
    EXPECT_EQ(TheWorld(), nullptr);
    EXPECT_EQ(terrainServices, nullptr);
    EXPECT_NE(&Services(), nullptr);
    // Without a World a request goes nowhere: the next World does not inherit it.
    RequestGameMode(GameMode::Quit);
    World later;
    EXPECT_NE(later.requestedMode, static_cast<int32_t>(GameMode::Quit));
}

TEST(World, PauseStopsTheSoundsAndTeamClocksOnceAndResumeNeedsAPause) {
    WorldFixture f;
    RecordingGameRecords records;
    f.Switch(GameMode::Battle);
    f.world->SetGameRecords(&records);
    f.world->Resume();
    EXPECT_EQ(f.world->suspended, 0);
    EXPECT_EQ(records.clockResumes, 0);
    f.world->Pause();
    f.world->Pause();
    EXPECT_EQ(f.world->suspended, 1);
    EXPECT_EQ(f.screens.log.Count("battle.StopVoice"), 1);
    EXPECT_EQ(records.clockPauses, 1);
    f.world->Resume();
    EXPECT_EQ(f.world->suspended, 0);
    EXPECT_EQ(records.clockResumes, 1);
    // The game's own pause stops the team clocks too.
    f.world->SetPaused(1);
    EXPECT_EQ(records.clockPauses, 2);
    f.world->SetPaused(0);
    EXPECT_EQ(records.clockResumes, 2);
    // Deactivation and activation of the program go the same way.
    f.world->OnDeactivate();
    EXPECT_EQ(f.world->suspended, 1);
    f.world->OnActivate();
    EXPECT_EQ(f.world->suspended, 0);
    f.world->SetGameRecords(nullptr);
}

TEST(World, ClearObjectsEmptiesTheGameButKeepsTeamZerosController) {
    WorldFixture f;
    World& w = *f.world;
    std::vector<int> turns;
    bool neutralDeleted = false;
    bool team3Deleted = false;
    auto neutral = std::make_unique<BudgetController>(0, turns, f.clock, 0);
    neutral->deleted = &neutralDeleted;
    auto team3 = std::make_unique<BudgetController>(3, turns, f.clock, 0);
    team3->deleted = &team3Deleted;
    w.SetTeamController(0, std::move(neutral));
    w.SetTeamController(3, std::move(team3));
    std::vector<NodeList*> lists = {&w.wrecks,       &w.destructibles,  &w.oreDeposits,
                                    &w.artifacts,    &w.takenArtifacts, &w.groups,
                                    &w.landFeatures, &w.cellEffects,    &w.reservations};
    for (int team = 0; team < World::kTeams; ++team) {
        for (NodeList* list :
             {&w.effects[team], &w.sims[team], &w.buildings[team], &w.weapons[team]}) {
            lists.push_back(list);
        }
    }
    for (NodeList* list : lists)
        list->PushBack(new ListNode);
    w.alliance[1][2] = w.alliance[2][1] = World::kAllied;
    w.alliance[3][3] = 0;
    w.techLevelT = 4;
    w.techLevelV = 6;
    w.lastLocalPosition = Point(300, 200);
    f.Switch(GameMode::Battle);

    w.ClearObjects();

    for (NodeList* list : lists)
        EXPECT_TRUE(list->IsEmpty());
    EXPECT_TRUE(team3Deleted);
    EXPECT_FALSE(w.controllers[3]);
    EXPECT_FALSE(neutralDeleted);
    ASSERT_TRUE(w.controllers[0]);
    // It outlives this test's flag.
    static_cast<BudgetController&>(*w.controllers[0]).deleted = nullptr;
    for (int a = 0; a < World::kTeams; ++a) {
        for (int b = 0; b < World::kTeams; ++b)
            EXPECT_EQ(w.AreAllied(a, b), a == b ? 1 : 0);
    }
    EXPECT_EQ(w.techLevelT, 1);
    EXPECT_EQ(w.techLevelV, 1);
    EXPECT_EQ(w.lastLocalPosition, Point(0, 0));
    EXPECT_FALSE(w.battleScreen);
    EXPECT_FALSE(w.designScreen);
    EXPECT_EQ(w.currentScreen, nullptr);
    EXPECT_EQ(f.screens.log.Count("battle.Unload"), 1);
    EXPECT_EQ(f.screens.log.Count("design.Unload"), 1);
    // With no scenario there is no game to save.
    ASSERT_EQ(w.scenario, nullptr);
    EXPECT_EQ(w.SaveGame("cleared.scn"), 0);
}

TEST(World, SettingATeamControllerDeletesThePreviousOne) {
    WorldFixture f;
    std::vector<int> turns;
    bool firstDeleted = false;
    auto first = std::make_unique<BudgetController>(2, turns, f.clock, 0);
    first->deleted = &firstDeleted;
    f.world->SetTeamController(2, std::move(first));
    f.world->SetTeamController(2, std::make_unique<BudgetController>(2, turns, f.clock, 0));
    EXPECT_TRUE(firstDeleted);
    EXPECT_TRUE(f.world->controllers[2]);
    f.world->SetTeamController(2, nullptr);
    EXPECT_FALSE(f.world->controllers[2]);
    // Team numbers outside 0 to 4 are refused: the controller is deleted at once.
    for (int team : {5, -1}) {
        bool refusedDeleted = false;
        auto refused = std::make_unique<BudgetController>(team, turns, f.clock, 0);
        refused->deleted = &refusedDeleted;
        f.world->SetTeamController(team, std::move(refused));
        EXPECT_TRUE(refusedDeleted) << team;
    }
}

TEST(World, SetPausedActsOnChangesOnlyAndNotUnderThePauseLock) {
    WorldFixture f;
    std::vector<int> turns;
    f.world->SetTeamController(0, std::make_unique<BudgetController>(0, turns, f.clock, 0));
    f.world->SetTeamController(1, std::make_unique<BudgetController>(1, turns, f.clock, 0));
    auto& team0 = static_cast<BudgetController&>(*f.world->controllers[0]);
    auto& team1 = static_cast<BudgetController&>(*f.world->controllers[1]);
    f.world->SetPaused(1);  // already paused
    EXPECT_EQ(team1.pauses, 0);
    f.world->SetPaused(0);
    EXPECT_EQ(f.world->paused, 0);
    EXPECT_EQ(team1.resumes, 1);
    f.world->SetPaused(1);
    f.world->SetPaused(1);
    EXPECT_EQ(team1.pauses, 1);
    // Team 0 is not a player's team.
    EXPECT_EQ(team0.pauses, 0);
    f.world->pauseLocked = 1;
    f.world->SetPaused(0);
    EXPECT_EQ(f.world->paused, 1);
    f.world->pauseLocked = 0;
    f.world->SetPaused(7);
    EXPECT_EQ(f.world->paused, 1);
}

TEST(World, TheCatalogueSeesTheLocalFactorysDesign) {
    WorldFixture f;
    EXPECT_EQ(Services().LocalFactoryDesign(), nullptr);
    VehicleDesign design('V');
    auto factory = std::make_unique<TestObject>(1, 5, Point(64, 64), 4);
    factory->design = &design;
    ListNode* node = new ObjectNode(std::move(factory));
    f.world->buildings[1].PushFront(node);
    EXPECT_EQ(Services().LocalFactoryDesign(), &design);
    f.world->localPlayer = ValueTriple(2);
    EXPECT_EQ(Services().LocalFactoryDesign(), nullptr);
}

TEST(World, ALandFeatureCellGetsAFeatureOfTheNeutralTeam) {
    WorldFixture f;
    terrainServices->AddLandFeatureAt(Point(48, 80));
    ASSERT_EQ(f.world->landFeatures.Count(), 1);
    GameObject* feature = static_cast<ObjectNode*>(f.world->landFeatures.First())->Object();
    EXPECT_EQ(feature->GetPosition(), Point(48, 80));
    EXPECT_EQ(feature->GetId().team, 0);
    // One hit destroys it; the next update takes it out of the list and the index.
    const SimId id = feature->GetId();
    ASSERT_EQ(f.world->FindObject(id), feature);
    f.world->UpdateObjects(10);
    EXPECT_EQ(f.world->landFeatures.Count(), 1);
    feature->TakeDamage(nullptr, SimId(), nullptr, 1);
    ASSERT_NE(feature->IsDestroyed(), 0);
    f.world->UpdateObjects(10);
    EXPECT_EQ(f.world->landFeatures.Count(), 0);
    EXPECT_EQ(f.world->FindObject(id), nullptr);
}

const std::string kCodeT = "TSbbc-----3301 9004299";
const std::string kCodeV = "VWaa------399199212299";

class WorldDesigns : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory("Assets");
        ResourceFile::SetAssetPath(".\\Assets\\");
    }
    void TearDown() override { ResourceFile::SetAssetPath(""); }
    WorldFixture f;
};

TEST_F(WorldDesigns, LoadTriesTheClanFileThenItsFallback) {
    f.world->clanLetter = 'T';
    f.world->statusText[0] = 0;
    EXPECT_EQ(f.world->LoadClanDesigns(), 0);
    f.directory.WriteFile("Assets/Ts.vdf", "# fallback designs\n" + kCodeT + "\n*\n*\n");
    f.world->techLevelT = 3;
    EXPECT_NE(f.world->LoadClanDesigns(), 0);
    // A library that is only missing is not damaged: nothing is set aside and nothing is said.
    EXPECT_STREQ(f.world->statusText, "");
    EXPECT_FALSE(f.directory.Exists("Assets/T.vdf.bad"));
    EXPECT_EQ(f.world->designLibrary->designs.Count(), 1);
    EXPECT_EQ(f.world->techLevelT, 3);
    EXPECT_EQ(f.world->techLevelV, 1);
    f.directory.WriteFile("Assets/T.vdf", "# designs\n" + kCodeT + "\n" + kCodeT + "\n*\n*\n");
    EXPECT_NE(f.world->LoadClanDesigns(), 0);
    EXPECT_EQ(f.world->designLibrary->designs.Count(), 2);
}

// A damaged library is refused whole: the sample library takes its place, the damaged file is
// kept aside unchanged under the first free name (an older one is never replaced), and leaving
// the design screen without a change writes nothing, so the remains are never written back.
TEST_F(WorldDesigns, ADamagedLibraryFallsBackIsKeptAsideAndIsNotWrittenBack) {
    const std::string whole = kCodeV + "A\n" + kCodeV + "B\n*\nG\n0\n1\n*\n*\n";
    const struct {
        const char* name;
        std::string text;
        std::vector<std::string> taken;  // names already there (a trailing '/': a directory)
        const char* aside;
    } cases[] = {
        {"cut", whole.substr(0, whole.size() / 2), {}, "V.vdf.bad"},
        {"not a library",
         std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),
         {"V.vdf.bad"},
         "V.vdf.bad.2"},
        {"too big",
         std::string(DesignLibrary::kMaxFileBytes + 1, '#'),
         {"V.vdf.bad/", "V.vdf.bad.2"},
         "V.vdf.bad.3"},
    };
    f.world->clanLetter = 'V';
    for (const auto& c : cases) {
        std::filesystem::remove_all("Assets");
        std::filesystem::create_directory("Assets");
        for (const std::string& t : c.taken) {
            if (t.back() == '/')
                std::filesystem::create_directory("Assets/" + t);
            else
                f.directory.WriteFile("Assets/" + t, "older");
        }
        f.directory.WriteFile("Assets/V.vdf", c.text);
        f.directory.WriteFile("Assets/Vs.vdf", kCodeV + "Sample\n*\n*\n");
        f.world->statusText[0] = 0;
        EXPECT_NE(f.world->LoadClanDesigns(), 0) << c.name;
        ASSERT_EQ(f.world->designLibrary->designs.Count(), 1) << c.name;
        EXPECT_STREQ(static_cast<VehicleDesign*>(f.world->designLibrary->designs.First())->name,
                     "Sample")
            << c.name;
        EXPECT_FALSE(f.directory.Exists("Assets/V.vdf")) << c.name;
        EXPECT_EQ(f.directory.ReadFile(std::string("Assets/") + c.aside), c.text) << c.name;
        for (const std::string& t : c.taken) {
            if (t.back() != '/') {
                EXPECT_EQ(f.directory.ReadFile("Assets/" + t), "older") << c.name;
            }
        }
        EXPECT_EQ(std::string(f.world->statusText),
                  std::string(World::MessageLine(World::kDamagedDesignsLine)) + " " + c.aside)
            << c.name;
        // Leaving the design screen unchanged writes nothing.
        EXPECT_EQ(f.world->SaveClanDesigns(), 1) << c.name;
        EXPECT_FALSE(f.directory.Exists("Assets/V.vdf")) << c.name;
    }
    // A change is written, once.
    VehicleDesign* made = f.world->designLibrary->AddDesign('V');
    std::snprintf(made->name, sizeof made->name, "%s", "NEW");
    made->named = 1;
    EXPECT_EQ(f.world->SaveClanDesigns(), 1);
    ASSERT_TRUE(f.directory.Exists("Assets/V.vdf"));
    f.directory.WriteFile("Assets/V.vdf", "written over by hand");
    EXPECT_EQ(f.world->SaveClanDesigns(), 1);
    EXPECT_EQ(f.directory.ReadFile("Assets/V.vdf"), "written over by hand");
    // A save that fails says so on the status line when the design screen is left.
    VehicleDesign* other = f.world->designLibrary->AddDesign('V');
    std::snprintf(other->name, sizeof other->name, "%s", "OTHER");
    other->named = 1;
    SetAtomicFileFault(AtomicFileStage::Rename);
    EXPECT_EQ(f.world->SaveClanDesigns(), 0);
    SetAtomicFileFault(AtomicFileStage::None);
    EXPECT_EQ(f.directory.ReadFile("Assets/V.vdf"), "written over by hand");
}

// A damaged library that cannot be moved aside (every name for it taken) stays byte for byte:
// the player reads so, and no library is written over it for the rest of the run, changed or
// not, however often the designs are read again; a change is reported as not saved.
TEST_F(WorldDesigns, ADamagedLibraryThatCannotGoAsideIsNeverWrittenOver) {
    const std::string damaged = kCodeV + "A\n" + kCodeV + "B\n*\nG\n0\n";
    f.world->clanLetter = 'V';
    f.directory.WriteFile("Assets/V.vdf", damaged);
    f.directory.WriteFile("Assets/Vs.vdf", kCodeV + "Sample\n*\n*\n");
    std::filesystem::create_directory("Assets/V.vdf.bad");
    for (int n = 2; n <= ResourceFile::kSetAsideNames; ++n)
        f.directory.WriteFile("Assets/V.vdf.bad." + std::to_string(n), "older");
    const struct {
        const char* name;
        bool change;
    } steps[] = {{"unchanged", false}, {"changed", true}, {"read again and changed", true}};
    for (const auto& step : steps) {
        f.world->statusText[0] = 0;
        EXPECT_NE(f.world->LoadClanDesigns(), 0) << step.name;
        EXPECT_STREQ(f.world->statusText, World::MessageLine(World::kDesignsHeldLine)) << step.name;
        EXPECT_EQ(f.world->designLibrary->designs.Count(), 1) << step.name;
        if (step.change) {
            VehicleDesign* made = f.world->designLibrary->AddDesign('V');
            std::snprintf(made->name, sizeof made->name, "%s", "NEW");
            made->named = 1;
        }
        EXPECT_EQ(f.world->SaveClanDesigns(), step.change ? 0 : 1) << step.name;
        EXPECT_EQ(f.directory.ReadFile("Assets/V.vdf"), damaged) << step.name;
        EXPECT_TRUE(std::filesystem::is_directory("Assets/V.vdf.bad")) << step.name;
        EXPECT_EQ(f.directory.ReadFile("Assets/V.vdf.bad.100"), "older") << step.name;
    }
    // The other clan's library is not held by it: read without a line, its change is saved;
    // the held one stays held.
    for (const char clan : {'T', 'V'}) {
        f.world->clanLetter = clan;
        f.directory.WriteFile("Assets/Ts.vdf", kCodeT + "Sample\n*\n*\n");
        f.world->statusText[0] = 0;
        EXPECT_NE(f.world->LoadClanDesigns(), 0) << clan;
        EXPECT_STREQ(f.world->statusText,
                     clan == 'T' ? "" : World::MessageLine(World::kDesignsHeldLine));
        VehicleDesign* made = f.world->designLibrary->AddDesign(clan);
        std::snprintf(made->name, sizeof made->name, "%s", "NEW");
        made->named = 1;
        EXPECT_EQ(f.world->SaveClanDesigns(), clan == 'T' ? 1 : 0) << clan;
    }
    EXPECT_NE(f.directory.ReadFile("Assets/T.vdf").find("NEW"), std::string::npos);
    EXPECT_EQ(f.directory.ReadFile("Assets/V.vdf"), damaged);
}

// A library that gives no bytes cannot be read, which is no damage: it may hold every design
// whole. Opening the designs tells it by name and shows the sample designs; a change is told as
// not saved and kept for the rest of the run: at the next visit and in a new game, whatever the
// form; the file stays as it was (type, link target, mode, bytes) and nothing is set aside.
// Once it reads, its own designs are used, those stored meanwhile are added and written at once
// (the sample designs they grew from are not), and a change is saved.
TEST_F(WorldDesigns, ALibraryThatCannotBeReadIsToldAndNeverWrittenOver) {
    namespace fs = std::filesystem;
    const std::string assets = fs::absolute("Assets").string();
    for (const char clan : {'V', 'T'}) {
        const std::string code = clan == 'V' ? kCodeV : kCodeT;
        const std::string file = std::string(1, clan) + ".vdf";
        const std::string designs = "# designs\n" + code + "Mine\n*\n*\n";
        f.directory.WriteFile("Assets/" + std::string(1, clan) + "s.vdf", code + "Sample\n*\n*\n");
        f.world->clanLetter = clan;
        auto names = [&] {
            std::string all;
            for (ListNode* n = f.world->designLibrary->designs.First(); n;
                 n = f.world->designLibrary->designs.Next(n))
                all += std::string(static_cast<VehicleDesign*>(n)->name) + " ";
            return all;
        };
        std::string stored = "Sample ";
        int made = 0;
        for (const UnreadableForm form : AllUnreadableForms()) {
            SCOPED_TRACE(file + " " + NameOf(form));
            MakeUnreadable(form, assets + "/" + file, designs);
            const FileState before = StateOf(assets + "/" + file);
            int loaded = 0, unchanged = 0, changed = 1, started = 0;
            std::string told, shown, notSaved, visit, game;
            const std::string name = "NEW" + std::to_string(made++);
            ASSERT_TRUE(ReadingAs(form, assets, [&] {
                f.world->statusText[0] = 0;
                loaded = f.world->LoadClanDesigns();
                told = f.world->statusText;
                shown = names();
                unchanged = f.world->SaveClanDesigns();
                VehicleDesign* design = f.world->designLibrary->AddDesign(clan);
                std::snprintf(design->name, sizeof design->name, "%s", name.c_str());
                design->named = 1;
                changed = f.world->SaveClanDesigns();
                notSaved = f.world->DesignsNotSavedLine();
                f.world->LoadClanDesigns();
                visit = names();
                auto next = std::make_unique<Scenario>();
                next->landNumber = -1;
                next->clanLetter = clan;
                next->playerSlots[next->localTeam] = clan;
                next->computerPlayers = 0;
                f.world->pendingScenario = std::move(next);
                started = f.world->NewGame();
                game = names();
            }));
            EXPECT_NE(loaded, 0);
            EXPECT_EQ(shown, stored);
            EXPECT_EQ(told,
                      std::string(World::MessageLine(World::kUnreadableDesignsLine)) + " " + file);
            EXPECT_EQ(unchanged, 1);
            EXPECT_EQ(changed, 0);
            EXPECT_EQ(notSaved,
                      std::string(World::MessageLine(World::kDesignsNotWrittenLine)) + " " + file);
            stored += name + " ";
            EXPECT_EQ(visit, stored);
            EXPECT_EQ(started, 1);
            EXPECT_EQ(f.world->clanLetter, clan);
            EXPECT_EQ(game, stored);
            EXPECT_EQ(StateOf(assets + "/" + file), before);
            EXPECT_FALSE(fs::exists(fs::symlink_status(assets + "/" + file + ".bad")));
        }
        fs::remove_all(assets + "/" + file);
        f.directory.WriteFile("Assets/" + file, designs);
        f.world->statusText[0] = 0;
        ASSERT_NE(f.world->LoadClanDesigns(), 0);
        EXPECT_STREQ(f.world->statusText, "");
        EXPECT_EQ(names(), "Mine " + stored.substr(std::string("Sample ").size()));
        const std::string written = f.directory.ReadFile("Assets/" + file);
        EXPECT_NE(written.find("NEW0"), std::string::npos);
        EXPECT_NE(written.find("NEW" + std::to_string(made - 1)), std::string::npos);
        EXPECT_EQ(written.find("Sample"), std::string::npos);
        VehicleDesign* design = f.world->designLibrary->AddDesign(clan);
        std::snprintf(design->name, sizeof design->name, "%s", "LATER");
        design->named = 1;
        EXPECT_EQ(f.world->SaveClanDesigns(), 1);
        EXPECT_NE(f.directory.ReadFile("Assets/" + file).find("LATER"), std::string::npos);
        // Read again, nothing of the run is added twice.
        ASSERT_NE(f.world->LoadClanDesigns(), 0);
        EXPECT_EQ(f.world->designLibrary->designs.Count(), made + 2);
    }
}

// A library the writer cannot fit in the file is not written and is never set aside: the file
// saved before stays, and the change is reported as not saved.
TEST_F(WorldDesigns, ALibraryTooLargeToWriteKeepsTheFileSavedBefore) {
    const std::string before = "# saved before\n" + kCodeV + "Old\n*\n*\n";
    f.world->clanLetter = 'V';
    f.directory.WriteFile("Assets/V.vdf", before);
    ASSERT_NE(f.world->LoadClanDesigns(), 0);
    // Each design's line is longer than a code and a line end.
    const std::string name(40, 'n');
    const int count = DesignLibrary::kMaxFileBytes / static_cast<int>(kCodeV.size() + 1) + 1;
    for (int i = 0; i < count; ++i)
        f.world->designLibrary->AppendDesign(new VehicleDesign((kCodeV + name).c_str()));
    EXPECT_EQ(f.world->SaveClanDesigns(), 0);
    EXPECT_EQ(f.directory.ReadFile("Assets/V.vdf"), before);
    EXPECT_FALSE(f.directory.Exists("Assets/V.vdf.bad"));
    // Read again, the file is the one saved before, whole.
    f.world->statusText[0] = 0;
    ASSERT_NE(f.world->LoadClanDesigns(), 0);
    EXPECT_EQ(f.world->designLibrary->designs.Count(), 1);
    EXPECT_STREQ(f.world->statusText, "");
}

TEST_F(WorldDesigns, SaveWritesIntoTheLocalAssetDirectory) {
    f.world->clanLetter = 'V';
    VehicleDesign* design = f.world->designLibrary->AddDesign('V');
    std::snprintf(design->name, sizeof design->name, "%s", "RAIDER");
    design->named = 1;
    f.world->techLevelV = 2;
    EXPECT_NE(f.world->SaveClanDesigns(), 0);
    EXPECT_TRUE(f.directory.Exists("Assets/V.vdf"));
    EXPECT_EQ(f.world->techLevelV, 2);
}

TEST_F(WorldDesigns, NewGameResetsTheGameAndPreparesTheComputerTeams) {
    std::vector<int> turns;
    f.world->SetTeamController(0, std::make_unique<BudgetController>(0, turns, f.clock, 0));
    f.world->SetTeamController(2, std::make_unique<BudgetController>(2, turns, f.clock, 0));
    f.world->nextSerial = 40;
    f.world->inGame = 1;
    f.world->paused = 0;
    f.world->networkGame = 1;
    f.world->clanLetter = 'V';
    f.directory.WriteFile("Assets/V.vdf", kCodeV + "\n*\n*\n");
    BusyIndicator indicator(std::make_unique<ColourBox>(3, Size(8, 8)));
    f.world->NewGame();
    EXPECT_EQ(f.world->nextSerial, 1);
    EXPECT_EQ(f.world->inGame, 0);
    EXPECT_EQ(f.world->paused, 1);
    EXPECT_EQ(f.world->pauseLocked, 1);
    EXPECT_EQ(f.world->designLibrary->designs.Count(), 1);
    EXPECT_EQ(indicator.Nesting(), 0);
    // The controllers of teams 1 to 4 were cleared with the old game; team 0's remains and
    // is no player's.
    ASSERT_TRUE(f.world->controllers[0]);
    EXPECT_EQ(static_cast<BudgetController&>(*f.world->controllers[0]).preparations, 0);
    EXPECT_FALSE(f.world->controllers[2]);
}

class WorldDisc : public ::testing::Test {
protected:
    void TearDown() override { discDriveLetter = '?'; }
    WorldFixture f;
};

TEST_F(WorldDisc, ASettingsLetterIsUsedWithoutLookingAndNoVolumeLeavesTheDirectoriesEmpty) {
    f.world->LocateDisc(nullptr);
    EXPECT_EQ(f.world->driveLetter, '?');
    for (const std::string* dir : {&f.world->moviesDir, &f.world->soundsDir, &f.world->dataDir})
        EXPECT_EQ(*dir, "");
    discDriveLetter = 'E';
    f.world->LocateDisc(nullptr);
    EXPECT_EQ(f.world->driveLetter, 'E');
    EXPECT_EQ(f.world->moviesDir, "E:\\Assets\\Movies\\");
    EXPECT_EQ(f.world->soundsDir, "E:\\Assets\\Sounds\\");
    EXPECT_EQ(f.world->dataDir, "E:\\Assets\\Data\\");
}

TEST_F(WorldDisc, TheFirstClansVolumeWinsTheSecondStandsInAndAGivenLabelIsLookedForAlone) {
    std::filesystem::create_directories("volumes/TELMIRA/Assets/Movies");
    f.world->LocateDisc(nullptr);
    ASSERT_NE(f.world->driveLetter, '?');
    EXPECT_EQ(f.world->moviesDir, std::string(1, f.world->driveLetter) + ":\\Assets\\Movies\\");
    EXPECT_NE(winx_DriveDirectory(f.world->driveLetter).find("TELMIRA"), std::string::npos);
    std::filesystem::create_directories("volumes/VARNOK");
    f.world->LocateDisc(nullptr);
    EXPECT_NE(winx_DriveDirectory(f.world->driveLetter).find("VARNOK"), std::string::npos);
    f.world->LocateDisc("TELMIRA");
    EXPECT_NE(winx_DriveDirectory(f.world->driveLetter).find("TELMIRA"), std::string::npos);
    f.world->LocateDisc("OTHER");
    EXPECT_EQ(f.world->driveLetter, '?');
}

}  // namespace

namespace {

// The messages about saved games and files read from the string table; a table without the
// line (an older set) still gives each its own text, never an empty one.
TEST(World, EachFileMessageHasItsOwnTextWithOrWithoutTheTableLine) {
    ClearStringTable();
    const int lines[] = {
        World::kSaveFailedLine,       World::kDamagedSaveLine,       World::kDamagedPackLine,
        World::kNoRoomLine,           World::kDamagedDesignsLine,    World::kDesignsNotSavedLine,
        World::kMissingSaveLine,      World::kUnreadableSaveLine,    World::kDamagedIndexLine,
        World::kUnreadableIndexLine,  World::kIndexKeptLine,         World::kSavedIndexKeptLine,
        World::kDeleteUnreadableLine, World::kUnreadableDesignsLine, World::kDesignsNotWrittenLine};
    std::set<std::string> texts;
    for (int line : lines) {
        const std::string text = World::MessageLine(line);
        EXPECT_GT(text.size(), 10u) << line;
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), std::size(lines));
    EXPECT_STREQ(World::MessageLine(304), "");
    SetStringTableText(std::string(World::kDamagedPackLine, '\r') + "Pack gone.\r\r");
    EXPECT_STREQ(World::MessageLine(World::kDamagedPackLine), "Pack gone.");
    EXPECT_EQ(std::string(World::MessageLine(World::kNoRoomLine)),
              "No room for more saved games: delete one first.");
    // An older set's placeholder for a line it had no text for is no message; another line's
    // number in it is the text.
    const std::string older = std::string(World::kUnreadableSaveLine, '\r') +
                              "Scenario text 318: reserved\rScenario text 318: reserved";
    SetStringTableText(older);
    EXPECT_STREQ(World::MessageLine(World::kUnreadableSaveLine),
                 "The file of this saved game cannot be read:");
    EXPECT_STREQ(World::MessageLine(World::kUnreadableSaveLine + 1), "Scenario text 318: reserved");
    ClearStringTable();
}

}  // namespace
