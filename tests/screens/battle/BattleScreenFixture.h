#pragma once
// The battle screen on the made sample assets over a World on a generated land: test objects
// as units, a factory, an event queue and a memory display, and helpers that drive the screen
// one frame at a time with scripted input.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "core/Bitmap.h"
#include "core/DisplayBase.h"
#include "core/EventQueue.h"
#include "core/InputEvent.h"
#include "core/ResourceFile.h"
#include "core/TextWriter.h"
#include "core/VoicePool.h"
#include "screens/battle/BattleScreen.h"
#include "support/MadeAssets.h"
#include "world/RegistryTestFixture.h"
#include "world/Scenario.h"
#include "world/TeamController.h"

// Game records whose teams own the structures a test names.
class StructureRecords : public RecordingGameRecords {
public:
    int HasScriptedStructure(int team, int code) override {
        return owned.count({team, code}) ? 1 : 0;
    }
    std::set<std::pair<int, int>> owned;
};

// The local team's controller: the events the screen tells it, with the argument as text when
// it names a design.
class RecordingController : public TeamController {
public:
    void Update(Timer&) override {}
    SquadMembership* FindSquad(int32_t) override { return nullptr; }
    void OnEvent(int32_t kind, void*, void* argument) override {
        kinds.push_back(kind);
        arguments.push_back(argument);
    }
    std::vector<int32_t> kinds;
    std::vector<void*> arguments;
};

class BattleScreenTest : public MadeAssetsTest {
public:
    void SetUp() override {
        MadeAssetsTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        Open(OpenLand(200, 200));
    }
    void TearDown() override {
        Close();
        ResourceFile::SetAssetPath("");
    }
    // A new World on the land with the screen loaded for team 1 of clan V.
    void Open(const LandLayout& layout, char clan = 'V') {
        Close();
        land = std::make_unique<WorldOnLand>(layout);
        ASSERT_EQ(ResourceFile::SetAssetPath((Local().string() + "/").c_str()), 1);
        World& w = land->world;
        w.SetGameRecords(&records);
        w.font = std::make_unique<TextWriter>("7a0fxxax99s999.msp");
        w.voices = std::make_unique<VoicePool>(World::kVoices);
        w.scenario = std::make_unique<Scenario>();
        w.localPlayer = ValueTriple(1, 1);
        w.clanLetter = clan;
        w.paused = 0;
        screen = std::make_unique<BattleScreen>();
        ASSERT_EQ(screen->LoadForTeam(1, clan), 1);
    }
    void Close() {
        if (screen) screen->Unload();
        screen.reset();
        land.reset();
    }
    World& world() { return land->world; }
    // A unit at a point; it sees nothing, so what is visible is the test's choice. It is
    // placed on a free place first and then moved, so that units may share cells. Standing on
    // a cell corner it covers the four cells round it.
    TestObject* Unit(int serial, const Point& at, int team = 1, int kind = 1, int layer = 0) {
        return Place(std::make_unique<TestObject>(team, serial, Point(160, 160), kind, 24, layer),
                     at);
    }
    // Any unit made at a free place, blind, moved to the point.
    template <class Unit>
    Unit* Place(std::unique_ptr<Unit> made, const Point& at) {
        Unit* u = made.get();
        u->sensors.viewer = 0;
        std::unique_ptr<GameObject> owned = std::move(made);
        EXPECT_EQ(world().AddSim(owned), 1);
        world().RemoveFromGrids(u, u->position, 0);
        u->position = at;
        world().AddToGrids(u, at, 0);
        return u;
    }
    // A blind unit of team 1 at a point carrying one sensor: 1 A, 2 B, 3 C. The sensor works
    // while team 1 owns a structure of code 0.
    TestObject* AddSensor(int serial, const Point& at, int sensor) {
        auto viewer = std::make_unique<TestObject>(1, serial, at);
        viewer->sensors.viewer = 0;
        (sensor == 1   ? viewer->sensors.sensorA
         : sensor == 2 ? viewer->sensors.sensorB
                       : viewer->sensors.sensorC) = 1;
        TestObject* raw = viewer.get();
        std::unique_ptr<GameObject> owned = std::move(viewer);
        EXPECT_EQ(world().AddSim(owned), 1);
        return raw;
    }
    // The side panel's pixels as last drawn.
    std::vector<uint8_t> PanelPixels() const {
        const uint8_t* p = screen->panelBitmap->Pixels();
        return std::vector<uint8_t>(p, p + screen->panelBitmap->ByteCount());
    }
    // The colour the freshly drawn mini-map gives the cell at (column, row) at 1:1.
    int MiniMapColourAt(int column, int row) {
        screen->DrawControlPanel();
        const Point at = screen->miniMapRect.origin - screen->panelRect.origin +
                         screen->miniMapOffset + Point(column, row);
        return static_cast<int>(
            screen->panelBitmap->Pixels()[at.y * screen->panelBitmap->RowStride() + at.x]);
    }
    // Whether drawing the text again over the freshly drawn panel, clipped, changes nothing:
    // true exactly when the panel shows that text there in colour 10.
    bool PanelShowsText(const Rect& clip, const Point& at, const char* text) {
        screen->DrawControlPanel();
        const std::vector<uint8_t> drawn = PanelPixels();
        screen->panelBitmap->RedirectDrawing();
        display->SetClipRect(clip);
        world().font->DrawText(at, text, 10);
        display->ClearRedirect();
        return PanelPixels() == drawn;
    }
    // Takes every unit, building and group off the grids and deletes it; the land stays.
    void RemoveObjects() {
        World& w = world();
        auto clear = [&](NodeList& list) {
            for (ListNode* n = list.First(); n; n = list.Next(n)) {
                GameObject* o = static_cast<ObjectNode*>(n)->Object();
                w.RemoveFromGrids(o, o->position, 0);
            }
        };
        w.ForgetObjectLookups();
        for (int team = 0; team < World::kTeams; ++team) {
            clear(w.sims[team]);
            clear(w.buildings[team]);
            w.sims[team].DeleteAll();
            w.buildings[team].DeleteAll();
            w.NoteTeamSimsChanged(team);
        }
        w.groups.DeleteAll();
    }
    // The team's factory: a building of kind 4.
    TestObject* AddFactory(const Point& at) {
        auto factory = std::make_unique<TestObject>(1, 900, at, 4, 24);
        factory->sensors.viewer = 0;
        TestObject* raw = factory.get();
        world().AddBuilding(std::move(factory));
        return raw;
    }
    // One frame as the World runs it; 0 when the screen asked to end.
    int Frame() {
        ScreenBase& s = driven ? *driven : *screen;
        const int handled = s.HandleEvents(16);
        const int updated = s.Update(16);
        s.Draw(16);
        return handled && updated;
    }
    void Post(InputKind kind, const Point& p, int32_t param) { events.Post(kind, p, param); }
    void Modifiers(int shift, int ctrl, int alt) {
        events.shiftDown = shift;
        events.ctrlDown = ctrl;
        events.altDown = alt;
    }
    // A press and a release at the point in one frame.
    void Click(const Point& p, int32_t button = 'L') {
        Post(InputKind::MouseMove, p, 0);
        Post(InputKind::ButtonDown, p, button);
        Post(InputKind::ButtonUp, p, button);
        Frame();
    }
    void Drag(const Point& from, const Point& to) {
        Post(InputKind::MouseMove, from, 0);
        Post(InputKind::ButtonDown, from, 'L');
        Post(InputKind::MouseMove, to, 0);
        Post(InputKind::ButtonUp, to, 'L');
        Frame();
    }

    EventQueue events;
    StructureRecords records;
    std::unique_ptr<WorldOnLand> land;
    std::unique_ptr<BattleScreen> screen;
    // The screen the frames drive when it is not the fixture's own (the World's).
    ScreenBase* driven = nullptr;
};
