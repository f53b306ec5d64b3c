// Two machines of a network game in one process, the second fed the first's message stream: a
// dead unit's wreck takes on every machine the colour its maker gave it, and lies where its maker
// put it; a copy told where a carried unit goes keeps it off the grids, and a destroyed copy is
// left alone.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "catalogue/CatalogueMedia.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "net/StreamMachine.h"
#include "world/MemoryCatalogueMedia.h"

namespace {

struct Machine : StreamMachine {
    // The peer's team: the maker's, where the copy takes the maker's wrecks.
    explicit Machine(int peerTeam = 1) : StreamMachine({peerTeam}) {
        world.makeWreck = [](const WreckDescription& d) -> std::unique_ptr<GameObject> {
            auto wreck = std::make_unique<TestObject>(d.id.team, d.id.serial, d.position, 3, 12);
            wreck->SetCargoCapacity(0);
            return wreck;
        };
    }
    ~Machine() { world.ClearObjects(); }
    // The listing's wreck lines (list 10).
    std::vector<std::string> Wrecks() { return ListingLines("10 "); }
};

struct WreckCatalogue {
    WreckCatalogue() {
        WreckList.PushBack(record);
        ChassisValues values;
        values.clan = 'V';
        values.role = 'g';
        values.firstCost = 100;
        chassis = std::make_unique<ChassisTemplate>(values);
        design.chassis = chassis.get();
    }
    ~WreckCatalogue() {
        record->Unlink();
        delete record;
        SetCatalogueMedia(nullptr);
    }
    MemoryCatalogueMedia media;
    // The record takes its pictures from the media as it is made.
    bool installed = (SetCatalogueMedia(&media), true);
    WreckTemplate* record = new WreckTemplate('X', 'g', 0);
    std::unique_ptr<ChassisTemplate> chassis;
    VehicleDesign design{'V'};
};

// The maker takes the dead unit's own colour, and its own team and serial for the wreck's id;
// the copy takes what the maker sent, though its own
// copy of the team shows another: a captured unit keeps its id's team but wears its captor's
// colour, and a team whose factory died first on the maker's machine has lost its colour there.
TEST(WreckStream, EveryMachineGivesAWreckTheColourItsMakerGaveIt) {
    WreckCatalogue catalogue;
    const struct {
        const char* what;
        int idTeam;
        int team;
        int colour;
        int copyFactoryColour;
    } cases[] = {
        {"a unit in its team's colour", 2, 2, 5, 5},
        {"a captured unit in its captor's colour", 2, 3, 7, 5},
        {"a unit whose factory died on its maker first", 2, 2, 0, 5},
        {"a unit of no colour", 3, 3, -1, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // The copy's machine is the victim's where the maker captured the unit, a third one
        // otherwise; its peer plays the maker's team, which answers for the wreck.
        const int copyTeam = c.team != c.idTeam ? c.idTeam : 4;
        Machine maker, copy(c.team);
        auto factory = std::make_unique<TestObject>(c.idTeam, 90, copy.land.Centre(12, 12), 4, 24);
        factory->teamRecord.third = c.copyFactoryColour;
        factory->local = 0;
        copy.world.AddBuilding(std::move(factory));
        // The maker plays the team that runs the unit; the copy hands out serials from a counter
        // standing where the maker's does.
        maker.world.localPlayer = ValueTriple(c.team);
        copy.world.localPlayer = ValueTriple(copyTeam);
        copy.world.nextSerial = maker.world.nextSerial;
        SetObjectWorld(&maker.world);
        TestObject* unit = maker.land.AddUnit(c.idTeam, 1, 4, 4);
        maker.world.ReserveSerial(1);
        copy.world.nextSerial = maker.world.nextSerial;
        unit->teamRecord.first = c.team;
        unit->teamRecord.third = c.colour;
        unit->design = &catalogue.design;
        unit->destroyed = 1;
        // Its copy died here by the same word.
        TestObject* dead = copy.land.AddUnit(c.idTeam, 1, 4, 4);
        dead->teamRecord.first = c.team;
        dead->design = &catalogue.design;
        dead->local = 0;
        dead->destroyed = 1;
        maker.world.UpdateObjects(16);
        ASSERT_EQ(maker.Wrecks().size(), 1u);
        copy.Apply(maker);
        GameObject* made = nullptr;
        for (ListNode* n = copy.world.wrecks.First(); n; n = copy.world.wrecks.Next(n))
            made = static_cast<ObjectNode*>(n)->Object();
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->teamRecord.third, c.colour);
        EXPECT_EQ(made->teamRecord.first, 0);
        EXPECT_EQ(copy.Wrecks(), maker.Wrecks());
        // Under the maker's team: a captured unit's wreck never takes the id of a new unit of
        // its victim's.
        EXPECT_EQ(made->id.team, c.team);
        EXPECT_EQ(made->id.serial + 1, maker.world.nextSerial);
        if (c.team != c.idTeam) {
            EXPECT_NE(made->id, copy.world.NewSimId(c.idTeam));
        }
    }
    SetObjectWorld(nullptr);
}

// A wreck its maker put over a unit that stands elsewhere on the maker's machine lies there on
// every machine; it marks no cell, so the unit keeps its place.
TEST(WreckStream, AWreckOverACopyLiesWhereItsMakerPutItAndMarksNoCell) {
    WreckCatalogue catalogue;
    Machine maker, copy;
    TestObject* standing = copy.land.AddUnit(3, 8, 4, 4);
    // The copy of the dead unit, off the grids as its fatal damage left it.
    TestObject* dead = copy.land.AddUnit(2, 1, 6, 6);
    copy.world.RemoveFromGrids(dead, dead->GetPosition(), 0);
    dead->position = standing->GetPosition();
    dead->design = &catalogue.design;
    dead->local = 0;
    dead->destroyed = 1;
    const uint32_t word = copy.world.pathGrid->CellWord(4, 4);
    SetObjectWorld(&maker.world);
    TestObject* unit = maker.land.AddUnit(2, 1, 4, 4);
    maker.world.ReserveSerial(1);
    unit->teamRecord.third = 4;
    unit->design = &catalogue.design;
    unit->destroyed = 1;
    maker.world.UpdateObjects(16);
    copy.Apply(maker);
    ASSERT_EQ(copy.world.wrecks.Count(), 1);
    EXPECT_EQ(copy.Wrecks(), maker.Wrecks());
    EXPECT_EQ(copy.world.pathGrid->Occupant(4, 4, 0), static_cast<MapObjectView*>(standing));
    EXPECT_EQ(copy.world.pathGrid->CellWord(4, 4), word);
    SetObjectWorld(nullptr);
}

// Every pause tells where each owned object stands (kind 9), and a taker tells a lost team's
// (kind 57): a carried copy goes along off the grids, a destroyed copy stays as it is.
TEST(WreckStream, APausesStatesMoveACarriedCopyOffTheGridsAndLeaveADestroyedOne) {
    for (int kind : {9, 57}) {
        for (bool carried : {true, false}) {
            SCOPED_TRACE(testing::Message() << "kind " << kind << (carried ? " carried" : " dead"));
            Machine owner, copy;
            TestObject* own = owner.land.AddUnit(2, 1, 8, 8);
            own->local = 1;
            TestObject* mirror = copy.land.AddUnit(2, 1, 3, 3);
            mirror->local = 0;
            mirror->damage.SetMax(100);
            copy.world.RemoveFromGrids(mirror, mirror->GetPosition(), 0);
            if (carried) {
                mirror->onMap = 0;
                mirror->gridFlag = 0;
            } else {
                mirror->destroyed = 1;
            }
            const uint32_t from = copy.world.pathGrid->CellWord(3, 3);
            const uint32_t to = copy.world.pathGrid->CellWord(8, 8);
            if (kind == 9)
                owner.world.commands->SendSimState(own);
            else
                owner.world.commands->SendSimSnapshot(own);
            copy.Apply(owner);
            EXPECT_EQ(mirror->GetPosition(), carried ? own->GetPosition() : copy.land.Centre(3, 3));
            EXPECT_EQ(copy.world.pathGrid->Occupant(8, 8, 0), nullptr);
            EXPECT_EQ(copy.world.pathGrid->Occupant(3, 3, 0), nullptr);
            EXPECT_EQ(copy.world.pathGrid->CellWord(3, 3), from);
            EXPECT_EQ(copy.world.pathGrid->CellWord(8, 8), to);
            EXPECT_EQ(mirror->GetFootprint(), Rect());
        }
    }
    SetObjectWorld(nullptr);
}

}  // namespace
