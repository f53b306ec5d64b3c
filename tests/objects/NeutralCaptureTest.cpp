// Every neutral object on a generated land, updated, damaged and drawn at the three zooms over
// the terrain, checked pixel by pixel and kept as captures when QX_CAPTURE is set.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/EffectTemplate.h"
#include "core/Bitmap.h"
#include "core/BitmapEncoder.h"
#include "core/Image.h"
#include "core/MemoryDisplay.h"
#include "core/SpriteSet.h"
#include "objects/Artifact.h"
#include "objects/DestructibleObject.h"
#include "objects/ExplosionEffect.h"
#include "objects/LandFeature.h"
#include "objects/ObjectLand.h"
#include "objects/ObjectTestSupport.h"
#include "objects/OreDeposit.h"
#include "objects/Wreck.h"
#include "platform/Capture.h"
#include "support/FakeClock.h"
#include "ui/ScreenBase.h"

namespace {

constexpr int kSide = 16;

// The battle screen's mapping: the view's corner at the screen's corner.
class MapView : public ScreenBase {
public:
    Point MapToScreen(const Point& p) override {
        return Point((p.x - origin.x) >> zoom, (p.y - origin.y) >> zoom);
    }
    Point origin;
};

// A coded square of one colour.
std::unique_ptr<Image> Square(uint8_t colour) {
    std::vector<uint8_t> pixels(kSide * kSide, colour);
    const std::vector<uint8_t> bytes = EncodeBitmap(pixels.data(), kSide, kSide, kSide);
    return std::make_unique<Bitmap>(bytes.data(), bytes.size());
}

// Frame i has colour colours[i].
std::unique_ptr<SpriteSet> Squares(const std::vector<uint8_t>& colours) {
    auto set = std::make_unique<SpriteSet>(static_cast<int32_t>(colours.size()));
    for (size_t i = 0; i < colours.size(); ++i)
        set->SetFrame(Square(colours[i]), static_cast<int32_t>(i));
    return set;
}

class NeutralCapture : public ::testing::Test {
protected:
    NeutralCapture() : land(20, 15) { land.world.commands.SetEnabled(1); }

    uint8_t PixelAt(const Point& mapPoint) {
        const Point p = view.MapToScreen(mapPoint);
        return screen.BackPage()[p.y * 640 + p.x];
    }

    FakeClock clock{5000};
    MemoryDisplay screen;
    ObjectLand land;
    MapView view;
};

}  // namespace

TEST_F(NeutralCapture, NeutralObjectsDrawAtEveryZoomAfterUpdateAndDamage) {
    FakeObjectWorld& world = land.world;
    auto wreckPictures = Squares({200, 210, 220});
    std::vector<uint8_t> depositColours(15, 201);
    depositColours[14] = 231;
    auto depositPictures = Squares(depositColours);
    auto fieldPictures = Squares({202, 212, 222});
    auto artifactPictures = std::make_unique<SpriteSet>(6);
    for (int s = 0; s < 6; ++s)
        artifactPictures->SetFrame(Squares({203, 203}), s);
    const int32_t sequence[3] = {0, 1, 2};
    EffectTemplate blast('V', 'e', 0, "", -1, 10, 3, sequence, 0, nullptr);
    blast.pictures = Squares({204, 204, 204});

    Wreck wreck(Point(96, 96), 0, Size(40, 40), wreckPictures.get(), 0, kUnitFilter, SimId(0, 1), 0,
                'V', 'b');
    wreck.SetCargoCapacity(100);
    wreck.AddCargo(100);
    OreDeposit deposit(Point(288, 96), Size(64, 64), depositPictures.get(), kUnitFilter,
                       SimId(0, 2));
    deposit.Deposit(50);
    DestructibleObject field(Point(480, 96), fieldPictures.get(), SimId(0, 3));
    field.SetCargoCapacity(40);
    field.AddCargo(40);
    Artifact artifact(Point(96, 288), Size(32, 32), artifactPictures.get(), nullptr, kUnitFilter,
                      SimId(0, 4), 3);
    ExplosionEffect effect(&blast, Point(288, 288), SimId(0, 5), Point(), SimId(), 1);
    LandFeature feature(Point(464, 272), Size(34, 34), SimId(0, 6));
    std::vector<GameObject*> all = {&wreck, &deposit, &field, &artifact, &effect, &feature};
    for (GameObject* o : all)
        world.Add(o);

    // Update, then damage: the wreck loses 70 of its 100, the field all of its 40, the land
    // feature falls.
    clock.Advance(100);
    for (GameObject* o : all)
        o->Update(100);
    wreck.TakeDamage(nullptr, SimId(2, 1), nullptr, 70);
    field.TakeDamage(nullptr, SimId(2, 1), nullptr, 40);
    feature.TakeDamage(nullptr, SimId(2, 1), nullptr, 1);
    wreck.Update(16);
    EXPECT_EQ(wreck.frame, 2);
    EXPECT_EQ(field.IsDestroyed(), 1);
    EXPECT_EQ(feature.IsDestroyed(), 1);
    EXPECT_EQ(deposit.frame, 14);

    TerrainMap& terrain = *world.terrain;
    terrain.SetRevealAll(1);
    terrain.InstallPalette();
    terrain.SetView(Rect(Point(0, 0), Size(512, 480)));
    const char* names[3] = {"neutral-objects-1to1", "neutral-objects-1to2", "neutral-objects-1to4"};
    for (int shift = 0; shift <= 2; ++shift) {
        std::memset(screen.BackPage(), 0, 640 * 480);
        screen.SetClipRect(Rect(Point(0, 0), Size(512, 480)));
        if (shift == 0) terrain.DrawViewZoom0(Point(0, 0));
        if (shift == 1) terrain.DrawViewZoom1(Point(0, 0));
        if (shift == 2) terrain.DrawViewZoom2(Point(0, 0));
        view.zoom = shift;
        ImageZoom = shift;
        for (GameObject* o : all)
            o->Draw(view);
        ImageZoom = 0;
        EXPECT_EQ(PixelAt(wreck.position), 220) << shift;
        EXPECT_EQ(PixelAt(deposit.position), 231) << shift;
        EXPECT_EQ(PixelAt(field.position), 222) << shift;
        EXPECT_EQ(PixelAt(artifact.position), 203) << shift;
        EXPECT_EQ(PixelAt(effect.position), 204) << shift;
        // The wreck's hit shows on it: its attached explosion has no template and draws
        // nothing, so the wreck's own colour is what the player sees at its corner.
        const Point corner(wreck.position.x - 6, wreck.position.y - 6);
        EXPECT_EQ(PixelAt(corner), 220) << shift;
        screen.ResetClipRect();
        winx_RequestCapture(names[shift]);
        screen.Present();
    }
}
