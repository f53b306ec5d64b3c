// Drawing a unit: the drive animation, the flyer's shadow, the stealthy unit's ghost, the
// flash blinks, the selection marker's clipping, and sight.
#include <cstring>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "core/SpriteSet.h"
#include "objects/ObjectLand.h"
#include "objects/SelectionMarker.h"
#include "objects/SimBody.h"
#include "objects/SimTestSupport.h"
#include "objects/SpriteAttachment.h"
#include "objects/TimerNode.h"
#include "support/DisplayFixtures.h"
#include "support/FakeClock.h"
#include "ui/ScreenBase.h"

namespace {

struct DrawCall {
    std::string mode;
    Point at;
    int tag;
};

// A picture that notes how and where it is drawn.
class NotingImage : public Image {
public:
    NotingImage(std::vector<DrawCall>& log, int tag, Size size = Size(40, 30))
        : Image(size), log(log), tag(tag) {}
    void Draw(const Point& c) override { log.push_back({"plain", c, tag}); }
    void DrawShadeFilled(const Point& c, int32_t) override { log.push_back({"team", c, tag}); }
    void DrawShaded(const Point& c, const ShadeTable&) override {
        log.push_back({"shaded", c, tag});
    }
    void DrawTinted(const Point& c, const ShadeTable&, int32_t) override {
        log.push_back({"tinted", c, tag});
    }
    std::vector<DrawCall>& log;
    int tag;
};

class SimDrawing : public ::testing::Test {
protected:
    // Drive pictures: 16 facings of `frames` frames (tag 100 + frame); chassis: 16 frames
    // (tag 200 + facing).
    void MakePictures(int frames, Size driveSize = Size(40, 30)) {
        auto drive = std::make_unique<SpriteSet>(16);
        for (int f = 0; f < 16; ++f) {
            auto sequence = std::make_unique<SpriteSet>(frames);
            for (int i = 0; i < frames; ++i)
                sequence->SetFrame(std::make_unique<NotingImage>(log, 100 + i, driveSize), i);
            drive->SetFrame(std::move(sequence), f);
        }
        kit.drive->mapPictures = std::move(drive);
        auto chassis = std::make_unique<SpriteSet>(16);
        for (int f = 0; f < 16; ++f)
            chassis->SetFrame(std::make_unique<NotingImage>(log, 200 + f), f);
        kit.chassis->mapPictures = std::move(chassis);
    }
    std::vector<DrawCall> Of(const std::string& mode) {
        std::vector<DrawCall> out;
        for (const DrawCall& d : log)
            if (d.mode == mode) out.push_back(d);
        return out;
    }

    ObjectLand land{20, 20};
    SimKit kit;
    ScreenBase view;
    std::vector<DrawCall> log;
    const Point at{320, 320};
};

TEST_F(SimDrawing, ADriveOfOneFrameNeverAnimatesAndAStandingUnitBobsDown) {
    MakePictures(1);
    Sim sim(at, SimId(1, 1), kit.Design());
    sim.body->StartAnimation();
    sim.body->AdvanceFrame();
    EXPECT_EQ(sim.body->frame, 0);
    MakePictures(4);
    Sim walker(at, SimId(1, 2), kit.Design());
    walker.Update(16);
    EXPECT_EQ(walker.body->frame, 0);
    EXPECT_EQ(walker.bob, Point(0, 1));
    walker.body->StartAnimation();
    std::vector<int> frames;
    for (int i = 0; i < 5; ++i) {
        frames.push_back(walker.body->frame);
        walker.body->AdvanceFrame();
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 1, 2}));
}

// A body counts as a tile less one or a tile and one: 31 while a quarter of its chassis
// picture's width and height together stays under 32, 33 from 32 on.
TEST(SimBodySize, TheRadiusIsJustUnderOrJustOverATile) {
    const struct {
        Size picture;
        int radius;
    } rows[] = {{Size(40, 30), 31},
                {Size(62, 65), 31},
                {Size(63, 65), 33},
                {Size(64, 64), 33},
                {Size(200, 100), 33}};
    for (const auto& row : rows) {
        SpriteSet chassis(16);
        for (int f = 0; f < 16; ++f)
            chassis.SetFrame(std::make_unique<Image>(row.picture), f);
        SimBody body(nullptr, &chassis, nullptr, nullptr, 0, 0, 1, 100, 0, 0);
        EXPECT_EQ(body.radius, row.radius) << row.picture.w << "x" << row.picture.h;
        EXPECT_EQ(body.extent, row.picture);
    }
    // Pictures of unlike sizes: the body spans them all, the chassis' facings and, when it has
    // one, every frame of every facing of the drive.
    SpriteSet chassis(16);
    for (int f = 0; f < 16; ++f)
        chassis.SetFrame(std::make_unique<Image>(f == 3 ? Size(20, 60) : Size(40, 30)), f);
    SimBody hull(nullptr, &chassis, nullptr, nullptr, 0, 0, 1, 100, 0, 0);
    EXPECT_EQ(hull.extent, Size(40, 60));
    SpriteSet drive(2);
    for (int f = 0; f < 2; ++f) {
        auto sequence = std::make_unique<SpriteSet>(2);
        sequence->SetFrame(std::make_unique<Image>(Size(10, 10)), 0);
        sequence->SetFrame(std::make_unique<Image>(f == 0 ? Size(50, 12) : Size(8, 44)), 1);
        drive.SetFrame(std::move(sequence), f);
    }
    SimBody walker(&drive, &chassis, nullptr, nullptr, 0, 0, 1, 100, 0, 0);
    EXPECT_EQ(walker.extent, Size(50, 44));
}

// The extra pictures' counter steps with the drive's frames and starts over on reaching the
// last index.
TEST_F(SimDrawing, TheExtraPicturesCountStartsOverAtItsLastIndex) {
    SpriteSet extra(4);
    SimBody body(nullptr, nullptr, nullptr, &extra, 0, 0, 1, 100, 0, 0);
    std::vector<int> counts;
    for (int i = 0; i < 5; ++i) {
        body.AdvanceFrame();
        counts.push_back(body.extraFrame);
    }
    EXPECT_EQ(counts, (std::vector<int>{1, 2, 0, 1, 2}));
}

// A walking drive steps a frame each time its period, the record's plus five per step of the
// speed setting, has passed at a drawing; stopped, it stands on frame 0.
TEST_F(SimDrawing, TheDriveStepsAFrameEachPeriodTheSpeedSettingLengthens) {
    FakeClock clock(1000);
    MakePictures(4);
    kit.drive->animationPeriod = 100;
    SpeedAdjustment = 2;
    Sim sim(at, SimId(1, 1), kit.Design());
    sim.body->StartAnimation();
    std::vector<int> frames;
    for (const int ms : {0, 109, 1, 109, 1, 110, 110}) {
        clock.Advance(static_cast<uint32_t>(ms));
        sim.body->Draw(view, at, Point(), 0, 0);
        frames.push_back(sim.body->frame);
    }
    SpeedAdjustment = 0;
    EXPECT_EQ(frames, (std::vector<int>{1, 1, 2, 2, 3, 1, 2}));
    sim.body->StopAnimation();
    clock.Advance(500);
    sim.body->Draw(view, at, Point(), 0, 0);
    EXPECT_EQ(sim.body->frame, 0);
}

// Sensed, a walking drive steps a frame when the World's tick count has moved on by two or
// more since its last step, whether or not a table shows it.
TEST_F(SimDrawing, ASensedDriveStepsEverySecondTick) {
    MakePictures(4);
    Sim sim(at, SimId(1, 1), kit.Design());
    sim.body->StartAnimation();
    std::vector<int> frames;
    for (const int tick : {1, 2, 3, 4, 7, 8}) {
        land.world.ticks = tick;
        sim.body->DrawSensed(view, at, Point(), 0,
                             tick == 7 ? nullptr : land.world.terrain->ShadeTable2());
        frames.push_back(sim.body->frame);
    }
    land.world.ticks = 0;
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 2, 3, 1, 1}));
    sim.body->StopAnimation();
    land.world.ticks = 20;
    sim.body->DrawSensed(view, at, Point(), 0, nullptr);
    land.world.ticks = 0;
    EXPECT_EQ(sim.body->frame, 0);
}

TEST_F(SimDrawing, AFlyerCastsItsShadowByItsAltitudeUnlessHidden) {
    MakePictures(1);
    kit.drive->altitude = 12;
    kit.drive->verticalOffset = 5;
    Sim sim(at, SimId(1, 1), kit.Design());
    sim.DrawUnder(view);
    sim.Draw(view);
    ASSERT_EQ(Of("tinted").size(), 1u);
    ASSERT_EQ(Of("team").size(), 2u);
    // Pictures of equal size cast the chassis' shadow.
    EXPECT_EQ(Of("tinted")[0].at - Of("team")[1].at, Point(12, 12));
    EXPECT_EQ(Of("tinted")[0].tag, 200);
    EXPECT_EQ(Of("team")[0].at, at + Point(0, -5));
    EXPECT_EQ(Of("team")[1].at, at);

    log.clear();
    sim.stealth.hidden = 1;
    land.world.GrantStructure(1, 1);
    sim.DrawUnder(view);
    sim.Draw(view);
    EXPECT_TRUE(Of("team").empty());
    EXPECT_EQ(Of("tinted").size(), 2u);  // drive and chassis as ghosts, no shadow

    kit.drive->altitude = 0;
    Sim ground(at, SimId(1, 2), kit.Design());
    log.clear();
    ground.DrawUnder(view);
    EXPECT_TRUE(log.empty());
}

// Drive pictures larger than the chassis cast the shadow: the drive's frame drawn where it stands
// raised, moved down and right by the altitude.
TEST_F(SimDrawing, ADriveLargerThanItsChassisCastsTheShadowFromWhereItIsDrawn) {
    MakePictures(1, Size(60, 50));
    kit.drive->altitude = 12;
    kit.drive->verticalOffset = 5;
    Sim sim(at, SimId(1, 1), kit.Design());
    sim.DrawUnder(view);
    sim.Draw(view);
    ASSERT_EQ(Of("tinted").size(), 1u);
    EXPECT_EQ(Of("tinted")[0].tag, 100);
    ASSERT_FALSE(Of("team").empty());
    EXPECT_EQ(Of("team")[0].at, at + Point(0, -5));
    EXPECT_EQ(Of("tinted")[0].at, Of("team")[0].at + Point(12, 12));
}

// The shadow comes from the larger of the drive and chassis pictures unless the drive record
// names one; the chassis' own flag wins over the drive's.
TEST_F(SimDrawing, TheDriveRecordChoosesWhichPicturesCastTheShadow) {
    struct Row {
        Size drive;
        int chassisFlag, driveFlag;
        int tag;  // 100: the drive's frame, 200: the chassis' facing 0
    };
    const Row rows[] = {{Size(40, 30), 0, 0, 200},
                        {Size(60, 50), 0, 0, 100},
                        {Size(60, 50), 1, 0, 200},
                        {Size(40, 30), 0, 1, 100},
                        {Size(40, 30), 1, 1, 200}};
    for (const Row& row : rows) {
        MakePictures(1, row.drive);
        kit.drive->altitude = 12;
        kit.drive->chassisShadow = row.chassisFlag;
        kit.drive->driveShadow = row.driveFlag;
        Sim sim(at, SimId(1, 1), kit.Design());
        sim.facing = 0;
        log.clear();
        sim.DrawUnder(view);
        ASSERT_EQ(Of("tinted").size(), 1u);
        EXPECT_EQ(Of("tinted")[0].tag, row.tag) << row.drive.w << row.chassisFlag << row.driveFlag;
    }
    // Shadow pictures of its own, when the drive has them, stand at the unit's place.
    auto shadows = std::make_unique<SpriteSet>(16);
    for (int f = 0; f < 16; ++f)
        shadows->SetFrame(std::make_unique<NotingImage>(log, 300 + f), f);
    kit.drive->shadowPictures = std::move(shadows);
    Sim sim(at, SimId(1, 2), kit.Design());
    sim.facing = 6;
    log.clear();
    sim.DrawUnder(view);
    ASSERT_EQ(Of("tinted").size(), 1u);
    EXPECT_EQ(Of("tinted")[0].tag, 306);
    EXPECT_EQ(Of("tinted")[0].at, view.MapToScreen(at));
}

// Each part stands on its hardpoint's mount moved by the unit's bob, at the part's own facing,
// and is drawn as a ghost while the unit is hidden from its own team.
TEST_F(SimDrawing, PartsStandOnTheirMountsMovedByTheBob) {
    MakePictures(1);
    MountTemplate* items[2] = {kit.Sensor('u'), kit.Sensor('v')};
    for (int p = 0; p < 2; ++p) {
        auto pictures = std::make_unique<SpriteSet>(16);
        for (int f = 0; f < 16; ++f)
            pictures->SetFrame(std::make_unique<NotingImage>(log, 700 + 100 * p + f), f);
        items[p]->mapPictures = std::move(pictures);
    }
    Sim sim(at, SimId(1, 1), kit.Design({items[0], nullptr, items[1]}));
    sim.GetPart(2)->facing = 5;
    sim.bob = Point(0, 1);
    // The kit's hardpoint h is mounted h pixels right of the unit's place.
    for (const bool hidden : {false, true}) {
        sim.stealth.hidden = hidden ? 1 : 0;
        if (hidden) land.world.GrantStructure(1, 1);
        log.clear();
        sim.Draw(view);
        std::vector<std::pair<int, Point>> parts;
        for (const DrawCall& d : Of(hidden ? "tinted" : "plain"))
            if (d.tag >= 700) parts.push_back({d.tag, d.at});
        EXPECT_EQ(parts, (std::vector<std::pair<int, Point>>{{700, at + Point(0, 1)},
                                                             {805, at + Point(2, 1)}}))
            << hidden;
    }
}

// On the ground the drive is drawn shaded by the land; sensed, drive and chassis are tinted by
// the table given, and nothing is drawn without one.
TEST_F(SimDrawing, AGroundDriveIsShadedAndASensedUnitTinted) {
    MakePictures(1);
    kit.drive->altitude = 0;
    kit.drive->verticalOffset = 5;
    Sim sim(at, SimId(1, 1), kit.Design());
    sim.facing = 3;
    sim.Draw(view);
    ASSERT_EQ(Of("shaded").size(), 1u);
    EXPECT_EQ(Of("shaded")[0].tag, 100);
    EXPECT_EQ(Of("shaded")[0].at, at + Point(0, -5));
    ASSERT_EQ(Of("team").size(), 1u);
    EXPECT_EQ(Of("team")[0].tag, 203);
    log.clear();
    sim.DrawSensed(view, nullptr);
    EXPECT_TRUE(log.empty());
    sim.DrawSensed(view, land.world.terrain->ShadeTable2());
    ASSERT_EQ(Of("tinted").size(), 2u);
    EXPECT_EQ(Of("tinted")[0].tag, 100);
    EXPECT_EQ(Of("tinted")[0].at, at + Point(0, -5));
    EXPECT_EQ(Of("tinted")[1].tag, 203);
    EXPECT_EQ(Of("tinted")[1].at, at + sim.bob);
}

// A unit past half damage trails smoke: the smoke record's second sequence, at the unit's
// frame of it, tinted where the smoke rose; at half damage or in low detail none.
TEST_F(SimDrawing, SmokeShowsPastHalfDamageUnlessInLowDetail) {
    MakePictures(1);
    RoleTemplate smoke('X', 'x', "");
    auto grid = std::make_unique<SpriteSet>(2);
    auto puffs = std::make_unique<SpriteSet>(3);
    for (int i = 0; i < 3; ++i)
        puffs->SetFrame(std::make_unique<NotingImage>(log, 900 + i), i);
    grid->SetFrame(std::move(puffs), 1);
    smoke.pictures = std::move(grid);
    RoleList.PushBack(&smoke);  // leaves the list when the record ends
    struct Row {
        int percent, lowDetail;
        bool shown;
    };
    for (const Row& row : {Row{50, 0, false}, Row{51, 0, true}, Row{51, 1, false}}) {
        land.world.lowDetail = row.lowDetail;
        Sim sim(at, SimId(1, 1), kit.Design());
        sim.damage.SetMax(100);
        sim.damage.SetValue(row.percent);
        sim.smokePoint = at + Point(0, -20);
        sim.smokeFrame = 2;
        log.clear();
        sim.Draw(view);
        std::vector<DrawCall> puffsDrawn;
        for (const DrawCall& d : Of("tinted"))
            if (d.tag >= 900) puffsDrawn.push_back(d);
        ASSERT_EQ(puffsDrawn.size(), row.shown ? 1u : 0u) << row.percent << row.lowDetail;
        if (row.shown) {
            EXPECT_EQ(puffsDrawn[0].tag, 902);
            EXPECT_EQ(puffsDrawn[0].at, view.MapToScreen(at + Point(0, -20)));
        }
    }
    land.world.lowDetail = 0;
}

// A timer's mark comes from the catalogue's mark record; a record without pictures shows
// nothing, and so does a timer that has run out.
TEST_F(SimDrawing, ATimerWithoutMarkPicturesShowsNothing) {
    RoleTemplate mark('X', 'x', "");
    RoleList.PushBack(&mark);  // leaves the list when the record ends
    for (const int ms : {1000, 0}) {
        TimerNode timer(at, ms);
        log.clear();
        timer.Draw(view);
        EXPECT_TRUE(log.empty()) << ms;
    }
}

TEST_F(SimDrawing, AFlashOfFiveBlinksThreeTimes) {
    MakePictures(1);
    Sim sim(at, SimId(1, 1), kit.Design());
    SpriteSet flash(1);
    flash.SetFrame(std::make_unique<NotingImage>(log, 7), 0);
    sim.StartFlash(&flash, 5, 3);
    for (int i = 0; i < 8; ++i) {
        sim.DrawFlash(view);
        sim.StepFlash();
    }
    EXPECT_EQ(Of("team").size(), 3u);
}

TEST_F(SimDrawing, AMarkerWhoseBottomEdgeIsClippedDrawsNothing) {
    ScreenFixture screen;
    SelectionMarker marker(100, 9, Size(40, 40));
    marker.TakeMeter(Meter(100, 0));
    marker.Draw(Point(200, 200));
    EXPECT_EQ(screen.CountNot(0), 2 * (7 + 8));
    EXPECT_EQ(screen.At(180, 219), 100);
    Meter hurt(100, 95);
    marker.TakeMeter(hurt);
    marker.Draw(Point(300, 200));
    EXPECT_EQ(screen.At(280, 219), 9);
    const int before = screen.CountNot(0);
    marker.Draw(Point(100, 470));
    EXPECT_EQ(screen.CountNot(0), before);
}

// Under a unit: the damage bar at its top-left corner while it is selected or asked for once,
// the load meter 96 pixels below that for haulers ('h') and ferries ('f') only, showing the room
// left; the selection marker only while selected. Only the carrier chassis ('g') counts as one.
TEST_F(SimDrawing, MarksUnderAUnitFollowItsSelectionAndItsChassis) {
    ScreenFixture screen;
    SpriteSet bar(5), meter(6);
    for (int i = 0; i < 5; ++i)
        bar.SetFrame(std::make_unique<NotingImage>(log, 500 + i), i);
    for (int i = 0; i < 6; ++i)
        meter.SetFrame(std::make_unique<NotingImage>(log, 600 + i), i);
    LevelBarPictures = &bar;
    LevelMeterPictures = &meter;
    struct Row {
        char chassis;
        int selected, asked;
        bool barShown, meterShown, marker;
        int carrier;
    };
    const Row rows[] = {
        {'a', 0, 0, false, false, false, 0}, {'a', 1, 0, true, false, true, 0},
        {'a', 0, 1, true, false, false, 0},  {'h', 0, 0, false, true, false, 0},
        {'f', 1, 0, true, true, true, 0},    {'g', 0, 0, false, false, false, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.chassis);
        SCOPED_TRACE(row.selected * 10 + row.asked);
        MakePictures(1);
        kit.chassis->role = row.chassis;
        Sim sim(at, SimId(1, 1), kit.Design());
        EXPECT_EQ(sim.IsCarrierChassis(), row.carrier);
        sim.SetCargoCapacity(200);
        sim.cargo = 50;
        sim.damage.SetValue(sim.damage.Max() * 45 / 100);
        sim.selected = row.selected;
        sim.drawFlag = row.asked;
        std::memset(screen.Back(), 0, 640 * 480);
        log.clear();
        sim.DrawUnder(view);
        const Size s = sim.GetSize();
        const Point corner = view.MapToScreen(at - Point(s.w / 2, s.h / 2));
        std::vector<std::pair<int, Point>> expected, drawn;
        if (row.barShown) expected.push_back({502, corner});                   // 45 percent: band 2
        if (row.meterShown) expected.push_back({603, corner + Point(0, 96)});  // 75 left
        for (const DrawCall& d : log)
            if (d.tag >= 500) drawn.push_back({d.tag, d.at});
        EXPECT_EQ(drawn, expected);
        EXPECT_EQ(screen.CountNot(0) > 0, row.marker);
        // Asking shows the bar once.
        EXPECT_EQ(sim.drawFlag, 0);
    }
    LevelBarPictures = nullptr;
    LevelMeterPictures = nullptr;
}

TEST_F(SimDrawing, ATeamSeesOnlyWhatItsSightReaches) {
    FakeObjectWorld& world = land.world;
    Sim viewer(at, SimId(1, 1), kit.Design());
    Sim other(at + Point(100, 0), SimId(2, 2), kit.Design());
    EXPECT_EQ(viewer.CanSee(&other), 0);
    world.sight.AddViewer(&viewer, at);
    world.objectAround = 1;
    EXPECT_EQ(viewer.CanSee(&other), 1);
    Sim far(at + Point(600, 0), SimId(2, 3), kit.Design());
    EXPECT_EQ(viewer.CanSee(&far), 0);
    world.sight.RemoveViewer(&viewer, at);
}

// Sight is asked of the path grid's cells: a World without one shows nothing, even what a
// World with one would.
TEST(SimSight, AWorldWithoutAPathGridShowsNothing) {
    class NoPaths : public FakeObjectWorld {
    public:
        NoPaths() : FakeObjectWorld(20, 20) {}
        PathGrid* Paths() override { return nullptr; }
    };
    SimKit kit;
    const Point at(320, 320);
    for (const bool withPaths : {true, false}) {
        std::unique_ptr<FakeObjectWorld> world =
            withPaths ? std::make_unique<FakeObjectWorld>(20, 20) : std::make_unique<NoPaths>();
        Sim viewer(at, SimId(1, 1), kit.Design());
        Sim other(at + Point(100, 0), SimId(2, 2), kit.Design());
        world->sight.AddViewer(&viewer, at);
        world->objectAround = 1;
        EXPECT_EQ(viewer.CanSee(&other), withPaths ? 1 : 0) << withPaths;
        world->sight.RemoveViewer(&viewer, at);
    }
}

// Through the sensor layers: C sees every stealth, A and B are each blinded by plain stealth
// and by their own kind only.
TEST_F(SimDrawing, EachSensorLayerSeesPastTheStealthsItIsNotHiddenFrom) {
    FakeObjectWorld& world = land.world;
    world.GrantStructure(1, 0);
    world.GrantStructure(2, 1);
    struct Row {
        char sensor;   // 0 none
        char stealth;  // 0 none, 'z' plain, 'k' from A, 'y' from B
        int seen;
    };
    const Row rows[] = {{'w', 'z', 1}, {'u', 0, 1},   {'u', 'z', 0}, {'u', 'k', 0}, {'u', 'y', 1},
                        {'v', 'y', 0}, {'v', 'k', 1}, {'v', 'z', 0}, {0, 0, 0}};
    for (const Row& row : rows) {
        Sim viewer(at, SimId(1, 1), kit.Design());
        viewer.sensors.sensorA = row.sensor == 'u';
        viewer.sensors.sensorB = row.sensor == 'v';
        viewer.sensors.sensorC = row.sensor == 'w';
        Sim other(at + Point(100, 0), SimId(2, 2), kit.Design());
        other.stealth.hidden = row.stealth == 'z';
        other.stealth.hiddenA = row.stealth == 'k';
        other.stealth.hiddenB = row.stealth == 'y';
        world.sight.AddViewer(&viewer, at);
        EXPECT_EQ(viewer.CanSee(&other), row.seen) << row.sensor << " " << row.stealth;
        world.sight.RemoveViewer(&viewer, at);
    }
}

// The marker's two bottom corners are each an L of eight pixels an arm, drawn only where the box's
// own corner shows: a side cut by the clip loses its corner, a box cut below, shown less than
// eight high or less than eight wide shows none. Past 89 percent damage it takes the warning
// colour.
TEST(SelectionMarkerDrawing, EachBottomCornerShowsOnlyWhereItsBoxCornerIsInTheClip) {
    using Pixel = std::tuple<int, int, int>;
    // An L whose corner is at (x, bottom), its foot reaching toward dx.
    const auto corner = [](std::set<Pixel>& out, int x, int bottom, int dx, int colour) {
        for (int i = 0; i < 8; ++i) {
            out.insert({x, bottom - i, colour});
            out.insert({x + dx * i, bottom, colour});
        }
    };
    struct Row {
        const char* name;
        Point centre;
        Size size;
        Rect clip;
        int damage;  // percent
        bool left, right;
    };
    const Rect full(Point(0, 0), Size(640, 480));
    const Row rows[] = {
        {"whole", Point(200, 200), Size(40, 40), full, 0, true, true},
        {"89 percent", Point(200, 200), Size(40, 40), full, 89, true, true},
        {"90 percent", Point(200, 200), Size(40, 40), full, 90, true, true},
        {"left side clipped", Point(200, 200), Size(40, 40), Rect(Point(181, 0), Size(400, 480)), 0,
         false, true},
        {"right side clipped", Point(200, 200), Size(40, 40), Rect(Point(0, 0), Size(219, 480)), 0,
         true, false},
        {"at the screen's left edge", Point(20, 200), Size(40, 40), full, 0, true, true},
        {"at the screen's bottom right", Point(620, 460), Size(40, 40), full, 0, true, true},
        {"eight high shown", Point(200, 200), Size(40, 40), Rect(Point(0, 212), Size(640, 100)), 0,
         true, true},
        {"seven high shown", Point(200, 200), Size(40, 40), Rect(Point(0, 213), Size(640, 100)), 0,
         false, false},
        {"bottom clipped", Point(200, 200), Size(40, 40), Rect(Point(0, 0), Size(640, 219)), 0,
         false, false},
        {"eight wide", Point(200, 200), Size(8, 40), full, 0, true, true},
        {"seven wide", Point(200, 200), Size(7, 40), full, 0, false, false},
    };
    ScreenFixture screen;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::memset(screen.Back(), 0, 640 * 480);
        screen.screen.SetClipRect(row.clip);
        SelectionMarker marker(100, 9, row.size);
        marker.TakeMeter(Meter(100, row.damage));
        marker.Draw(row.centre);
        const int colour = row.damage > 89 ? 9 : 100;
        const Rect box(row.centre, row.size, 'c');
        const Point br = box.BottomRight();
        std::set<Pixel> expected;
        if (row.left) corner(expected, box.origin.x, br.y, 1, colour);
        if (row.right) corner(expected, br.x, br.y, -1, colour);
        std::set<Pixel> drawn;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                if (screen.At(x, y) != 0) drawn.insert({x, y, screen.At(x, y)});
        EXPECT_EQ(drawn, expected);
    }
    // A meter of the same share changes nothing; another share is taken whole.
    SelectionMarker marker(100, 9, Size(40, 40));
    marker.TakeMeter(Meter(100, 50));
    marker.TakeMeter(Meter(200, 100));
    EXPECT_EQ(marker.damage.Max(), 100);
    marker.TakeMeter(Meter(200, 190));
    EXPECT_EQ(marker.damage.Max(), 200);
    EXPECT_EQ(marker.damage.Value(), 190);
}

}  // namespace
