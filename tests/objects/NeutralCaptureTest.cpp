// Every neutral object on a land of the sample asset set, with the catalogue's pictures: placed
// on open ground, updated, hit and drawn over the terrain at the three zooms, checked against
// the terrain drawn alone and kept as captures when QX_CAPTURE is set.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/EffectTemplate.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "core/Image.h"
#include "core/MemoryDisplay.h"
#include "core/SpriteSet.h"
#include "core/StringTable.h"
#include "map/PathGrid.h"
#include "map/TerrainMap.h"
#include "map/TerrainServices.h"
#include "objects/Artifact.h"
#include "objects/DestructibleObject.h"
#include "objects/ExplosionEffect.h"
#include "objects/LandFeature.h"
#include "objects/ObjectTestSupport.h"
#include "objects/OreDeposit.h"
#include "objects/TimerNode.h"
#include "objects/Wreck.h"
#include "platform/Capture.h"
#include "support/FakeClock.h"
#include "support/FakeObjectWorld.h"
#include "support/MadeAssets.h"
#include "ui/ScreenBase.h"
#include "world/LandLoader.h"
#include "world/SampleDesignsFixture.h"

namespace {

// The battle screen's map view (the left 512 columns of the screen) and its mapping.
using sample_world::kPitch;
using sample_world::kViewHeight;
using sample_world::kViewWidth;
using sample_world::MapView;
constexpr int kCell = TerrainMap::kCellPixels;
constexpr int kTick = 16;
const CollisionFilter kGroundFilter(2, 0, 0, 0, 0);

// What the land loader asks of the World: the first land of the pack, read from the first
// volume, and a land feature object for every feature cell, made as the World makes them.
class LandServices : public TerrainServices {
public:
    LandServices(const std::string& disc, const std::string& local) : disc(disc), local(local) {}
    int AreAllied(int a, int b) override { return a == b ? 1 : 0; }
    int LocalTeam() override { return 1; }
    int LandNumber() override { return 0; }
    const char* DiscDataDirectory() override { return disc.c_str(); }
    const char* LocalAssetDirectory() override { return local.c_str(); }
    void AddLandFeatureAt(const Point& centre) override {
        const int serial = static_cast<int>(features.size()) + 1;
        features.push_back(std::make_unique<LandFeature>(centre, Size(34, 34), SimId(0, serial)));
    }

    std::string disc;
    std::string local;
    std::vector<std::unique_ptr<LandFeature>> features;
};

// Where the objects stand, in cells from the middle of the scene: in a ring around a land
// feature, each on a patch of open ground.
struct Slot {
    int column;
    int row;
};
constexpr Slot kWreckSlot{-4, -3};
constexpr Slot kDepositSlot{0, -4};
constexpr Slot kFieldSlot{4, -3};
constexpr Slot kArtifactSlot{-4, 2};
constexpr Slot kMinedFieldSlot{4, 2};
constexpr Slot kBlastSlot{0, 4};
constexpr Slot kSlots[] = {kWreckSlot,    kDepositSlot,    kFieldSlot,
                           kArtifactSlot, kMinedFieldSlot, kBlastSlot};
// The blast goes off well after the shells' explosions are over, as the deposit's shimmer
// swells for the second time.
constexpr int kBlastDelay = 3800;
// Every shell's damage.
constexpr int kHit = 120;

// A picture the frame should show: what to draw and where, drawn plainly (with its shade areas
// filled) to find the pixels it covers.
struct Shown {
    std::string name;
    Image* picture;
    int frame;
    Point at;
};

class NeutralCapture : public MadeCatalogueTest {
protected:
    void SetUp() override {
        MadeCatalogueTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        services = std::make_unique<LandServices>(
            (Volume(MadeAssets::kVolumes[0]) / "Data").string() + "/", Local().string() + "/");
        land = LandLoader::Load(*services);
        ASSERT_NE(land.map, nullptr);
        ASSERT_TRUE(land.map->HasTiles());
        LandLoader::PlaceLandFeatures(*land.map, *services);
        const Size cells = land.map->SizeInCells();
        world = std::make_unique<FakeObjectWorld>(cells.w, cells.h);
        world->commands.SetEnabled(1);
        world->terrain = std::move(land.map);
        for (auto& feature : services->features)
            world->Add(feature.get());
    }
    void TearDown() override {
        world.reset();
        services.reset();
        MadeCatalogueTest::TearDown();
        ImageZoom = 0;
    }

    TerrainMap& Terrain() { return *world->terrain; }

    // Plain ground (no water, rock, feature or edge) on every cell within `radius` of a cell.
    bool OpenAround(int row, int column, int radius) {
        for (int r = row - radius; r <= row + radius; ++r) {
            for (int c = column - radius; c <= column + radius; ++c) {
                if (!Terrain().IsInside(r, c) || land.paths->CellWord(r, c) != kCellLand)
                    return false;
            }
        }
        return true;
    }

    // The land feature cell nearest the middle of the map that has open ground at every slot
    // around it, with room for the view around it; false when the land has none.
    bool FindScene(int& row, int& column) {
        const Size cells = Terrain().SizeInCells();
        const int viewColumns = kViewWidth / kCell, viewRows = kViewHeight / kCell;
        int best = -1;
        for (int r = viewRows / 2; r + viewRows / 2 < cells.h; ++r) {
            for (int c = viewColumns / 2; c + viewColumns / 2 < cells.w; ++c) {
                if (Terrain().LandFeatureAt(r, c) == -1) continue;
                bool open = true;
                for (const Slot& s : kSlots)
                    open = open && OpenAround(r + s.row, c + s.column, 1);
                if (!open) continue;
                const int distance = std::abs(r - cells.h / 2) + std::abs(c - cells.w / 2);
                if (best >= 0 && distance >= best) continue;
                best = distance;
                row = r;
                column = c;
            }
        }
        return best >= 0;
    }

    Point At(int row, int column, const Slot& slot) {
        return Terrain().CellCenter(row + slot.row, column + slot.column);
    }

    // The view's corner at a zoom: the scene in the middle, the view on the map, on whole
    // pixels of the zoom.
    Point OriginFor(const Point& middle, int zoom) {
        const Size extent = Terrain().PixelExtent();
        const int w = kViewWidth << zoom, h = kViewHeight << zoom;
        const int x = std::clamp(middle.x - w / 2, 0, std::max(0, extent.w - w));
        const int y = std::clamp(middle.y - h / 2, 0, std::max(0, extent.h - h));
        return Point(x & ~3, y & ~3);
    }

    // The terrain of the view with its land features, as the battle screen draws it.
    void DrawGround(int zoom) {
        std::memset(screen.BackPage(), 0, kPitch * 480);
        screen.SetClipRect(Rect(Point(0, 0), Size(kViewWidth, kViewHeight)));
        if (zoom == 0) Terrain().DrawViewZoom0(view.origin);
        if (zoom == 1) Terrain().DrawViewZoom1(view.origin);
        if (zoom == 2) Terrain().DrawViewZoom2(view.origin);
        ImageZoom = zoom;
        const Size cells = Terrain().SizeInCells();
        for (int r = 0; r < cells.h; ++r) {
            for (int c = 0; c < cells.w; ++c)
                Terrain().DrawLandFeature(r, c, view);
        }
        ImageZoom = 0;
        screen.ResetClipRect();
    }

    std::vector<uint8_t> Page() {
        return std::vector<uint8_t>(screen.BackPage(), screen.BackPage() + kPitch * 480);
    }

    // For every screen pixel, the last of the pictures that covers it (-1 for none). Each is
    // drawn alone over two plain grounds, so that no colour of its own hides what it covers.
    std::vector<int> TopPictures(const std::vector<Shown>& shown, int zoom) {
        std::vector<int> top(kPitch * 480, -1);
        for (size_t k = 0; k < shown.size(); ++k) {
            for (uint8_t ground : {uint8_t{0}, uint8_t{255}}) {
                std::memset(screen.BackPage(), ground, kPitch * 480);
                screen.SetClipRect(Rect(Point(0, 0), Size(kViewWidth, kViewHeight)));
                ImageZoom = zoom;
                shown[k].picture->DrawFrameShadeFilled(view.MapToScreen(shown[k].at),
                                                       shown[k].frame, 1);
                ImageZoom = 0;
                screen.ResetClipRect();
                const uint8_t* page = screen.BackPage();
                for (size_t i = 0; i < top.size(); ++i) {
                    if (page[i] != ground) top[i] = static_cast<int>(k);
                }
            }
        }
        return top;
    }

    std::unique_ptr<LandServices> services;
    Land land;
    std::unique_ptr<FakeObjectWorld> world;
    FakeClock clock{5000};
    MemoryDisplay screen;
    MapView view;
};

}  // namespace

TEST_F(NeutralCapture, NeutralObjectsOnAGeneratedLandDrawAtEveryZoomAfterUpdateAndHit) {
    int row = 0, column = 0;
    ASSERT_TRUE(FindScene(row, column)) << "the land has no open ground around a land feature";
    Terrain().SetRevealAll(1);
    Terrain().InstallPalette();
    Terrain().SetView(Rect(Point(0, 0), Size(kViewWidth, kViewHeight)));
    ASSERT_NE(OreDepositPictures, nullptr);
    ASSERT_NE(ArtifactPictures, nullptr);
    ASSERT_NE(DestructionEffect, nullptr);
    auto* wreckRecord = static_cast<WreckTemplate*>(FindInList(WreckList, 'X', 'd'));
    auto* fieldRecord = static_cast<DestructibleTemplate*>(FindInList(DestructibleList, 'X', 'a'));
    EffectTemplate* shell = FindMTemplate('V', 'c');
    ASSERT_NE(wreckRecord, nullptr);
    ASSERT_NE(wreckRecord->pictures, nullptr);
    ASSERT_NE(fieldRecord, nullptr);
    ASSERT_NE(fieldRecord->pictures, nullptr);
    ASSERT_NE(shell, nullptr);
    SpriteSet* wreckPictures = wreckRecord->pictures.get();
    SpriteSet* fieldPictures = fieldRecord->pictures.get();

    const Size wreckSize = wreckPictures->FrameSizeOf(0);
    Wreck wreck(At(row, column, kWreckSlot), 0,
                Size(std::max(wreckSize.w, Wreck::kMinimumSide),
                     std::max(wreckSize.h, Wreck::kMinimumSide)),
                wreckPictures, 0, kGroundFilter, SimId(0, 101), 0, 'V', 'd');
    wreck.SetCargoCapacity(300);
    wreck.AddCargo(300);
    OreDeposit deposit(At(row, column, kDepositSlot), Size(64, 64), OreDepositPictures, kUnitFilter,
                       SimId(0, 102));
    deposit.Deposit(20000);
    DestructibleObject field(At(row, column, kFieldSlot), fieldPictures, SimId(0, 103));
    field.SetCargoCapacity(400);
    field.AddCargo(400);
    DestructibleObject minedField(At(row, column, kMinedFieldSlot), fieldPictures, SimId(0, 106));
    minedField.SetCargoCapacity(400);
    minedField.AddCargo(kHit / 2);
    Artifact artifact(At(row, column, kArtifactSlot), Size(32, 32), ArtifactPictures, ArtifactSound,
                      kUnitFilter, SimId(0, 104), 3);
    // An explosion standing on its own, timed to go off later.
    ExplosionEffect blast(DestructionEffect, At(row, column, kBlastSlot), SimId(0, 105),
                          kBlastDelay, Point(), SimId(), 1);
    LandFeature* feature = nullptr;
    for (auto& f : services->features) {
        if (f->position == Terrain().CellCenter(row, column)) feature = f.get();
    }
    ASSERT_NE(feature, nullptr);
    std::vector<GameObject*> neutral = {&deposit,  &field, &minedField, &wreck,
                                        &artifact, &blast, feature};
    for (GameObject* o : neutral) {
        if (o != feature) world->Add(o);
    }
    auto tick = [&](int ms) {
        clock.Advance(static_cast<uint32_t>(ms));
        for (GameObject* o : neutral)
            o->Update(ms);
        for (auto& effect : world->effects)
            effect->Update(ms);
    };

    // A second of play: the deposit grows and shimmers.
    for (int t = 0; t < 1000; t += kTick)
        tick(kTick);
    EXPECT_GT(deposit.amount, 20000);
    EXPECT_NE(deposit.frame, OreDeposit::kDepletedFrame);
    EXPECT_EQ(wreck.frame, 0);

    // The ground under the feature before it falls.
    const int featureFrame = Terrain().LandFeatureAt(row, column);
    ASSERT_NE(Terrain().LandFeatureSprites(), nullptr);
    const Size featureSize = Terrain().LandFeatureSprites()->FrameSizeOf(featureFrame);
    view.origin = OriginFor(Terrain().CellCenter(row, column), 0);
    DrawGround(0);
    const std::vector<uint8_t> groundBefore = Page();

    // One shell lands on each: the wreck loses salvage, one field is mined out and the other
    // worn, the feature falls; the deposit, the artifact and the blast take no damage.
    const int storedBefore = deposit.amount;
    for (GameObject* o : neutral)
        o->TakeDamage(nullptr, SimId(2, 1), shell, kHit);
    EXPECT_EQ(wreck.GetCargo(), 300 - kHit);
    EXPECT_EQ(wreck.IsDestroyed(), 0);
    EXPECT_EQ(field.GetCargo(), 400 - kHit);
    EXPECT_EQ(field.IsDestroyed(), 0);
    EXPECT_EQ(minedField.IsDestroyed(), 1);
    EXPECT_EQ(feature->IsDestroyed(), 1);
    EXPECT_EQ(Terrain().LandFeatureAt(row, column), -1);
    EXPECT_EQ(deposit.amount, storedBefore);
    EXPECT_EQ(artifact.IsDestroyed(), 0);
    EXPECT_EQ(blast.IsDestroyed(), 0);
    // The standing ones carry their explosions; the mined-out field's and the feature's stand
    // on the ground where they were.
    ASSERT_NE(wreck.attachedEffect, nullptr);
    ASSERT_NE(field.attachedEffect, nullptr);
    ASSERT_EQ(world->effects.size(), 2u);
    auto* fall = static_cast<ExplosionEffect*>(world->effects.back().get());
    EXPECT_EQ(fall->animation, DestructionEffect->pictures.get());
    EXPECT_EQ(fall->GetPosition(), feature->GetPosition());

    // Play on to the moment to show: the shells' explosions over, the blast under way and the
    // deposit's shimmer near its fullest.
    auto showTime = [&] {
        return !wreck.attachedEffect && !field.attachedEffect && blast.startDelay < 1 &&
               blast.currentFrame >= blast.frameCount / 2 && blast.IsDestroyed() == 0 &&
               deposit.frame >= OreDeposit::kDepletedFrame - 3;
    };
    for (int t = 0; t < 10000 && !showTime(); t += kTick)
        tick(kTick);
    ASSERT_TRUE(showTime()) << "the blast was over before the deposit shimmered";
    EXPECT_EQ(wreck.attachedEffect, nullptr);
    EXPECT_EQ(field.attachedEffect, nullptr);
    EXPECT_EQ(fall->IsDestroyed(), 1);
    // A worn wreck shows a later picture, never its last while salvage is left.
    EXPECT_GT(wreck.frame, 0);
    EXPECT_LT(wreck.frame, wreckPictures->LastFrameIndex());

    // The blast mark where the feature stood, and the ground beyond its picture untouched.
    DrawGround(0);
    const std::vector<uint8_t> groundAfter = Page();
    const Point mark = view.MapToScreen(Terrain().CellCenter(row, column));
    int marked = 0, elsewhere = 0;
    for (int y = 0; y < kViewHeight; ++y) {
        for (int x = 0; x < kViewWidth; ++x) {
            const size_t i = static_cast<size_t>(y * kPitch + x);
            if (groundBefore[i] == groundAfter[i]) continue;
            const bool inCell =
                std::abs(x - mark.x) <= kCell / 2 && std::abs(y - mark.y) <= kCell / 2;
            const bool underFeature = std::abs(x - mark.x) <= featureSize.w / 2 + 1 &&
                                      std::abs(y - mark.y) <= featureSize.h / 2 + 1;
            marked += inCell ? 1 : 0;
            elsewhere += inCell || underFeature ? 0 : 1;
        }
    }
    EXPECT_GT(marked, kCell * kCell / 4);
    EXPECT_EQ(elsewhere, 0);

    // What each picture should show: the catalogue frame the object's state asks for, the
    // blast last as it is drawn over the ground objects.
    const std::vector<Shown> shown = {
        {"deposit", OreDepositPictures, deposit.frame, deposit.position},
        {"field", fieldPictures, 0, field.position},
        {"mined-out field", fieldPictures, DestructibleObject::kEmptyFrame, minedField.position},
        {"wreck", wreckPictures, wreck.frame, wreck.position},
        {"artifact", ArtifactPictures->SubImage(0), 0, artifact.position},
        {"blast", blast.animation, blast.frameList[blast.currentFrame], blast.position},
    };

    // The wreck's smoke is a timed ground mark blended over the terrain, not one of the objects'
    // own pictures this capture checks.
    wreck.smoke.reset();
    const char* names[3] = {"neutral-objects-1to1", "neutral-objects-1to2", "neutral-objects-1to4"};
    for (int zoom = 0; zoom <= 2; ++zoom) {
        SCOPED_TRACE(names[zoom]);
        view.zoom = zoom;
        view.origin = OriginFor(Terrain().CellCenter(row, column), zoom);
        DrawGround(zoom);
        const std::vector<uint8_t> ground = Page();
        int blank = 0;
        for (int y = 0; y < kViewHeight; ++y) {
            for (int x = 0; x < kViewWidth; ++x)
                blank += ground[static_cast<size_t>(y * kPitch + x)] == 0 ? 1 : 0;
        }
        EXPECT_EQ(blank, 0);

        // The battle screen's order: the ground objects, then the explosions over them.
        screen.SetClipRect(Rect(Point(0, 0), Size(kViewWidth, kViewHeight)));
        ImageZoom = zoom;
        for (GameObject* o : neutral)
            o->Draw(view);
        for (auto& effect : world->effects)
            effect->Draw(view);
        ImageZoom = 0;
        screen.ResetClipRect();
        const std::vector<uint8_t> frame = Page();

        // Every pixel the objects changed lies under one of their pictures, and each picture
        // shows on most of what it covers that later pictures leave visible.
        const std::vector<int> top = TopPictures(shown, zoom);
        std::vector<int> visible(shown.size(), 0), changed(shown.size(), 0);
        int stray = 0;
        for (int y = 0; y < kViewHeight; ++y) {
            for (int x = 0; x < kViewWidth; ++x) {
                const size_t i = static_cast<size_t>(y * kPitch + x);
                const bool differs = frame[i] != ground[i];
                if (top[i] < 0) {
                    stray += differs ? 1 : 0;
                    continue;
                }
                ++visible[static_cast<size_t>(top[i])];
                changed[static_cast<size_t>(top[i])] += differs ? 1 : 0;
            }
        }
        EXPECT_EQ(stray, 0);
        for (size_t k = 0; k < shown.size(); ++k) {
            EXPECT_GT(visible[k], 0) << shown[k].name;
            EXPECT_GE(changed[k] * 4, visible[k] * 3) << shown[k].name;
        }

        std::memcpy(screen.BackPage(), frame.data(), frame.size());
        winx_RequestCapture(names[zoom]);
        screen.Present();
    }
}
