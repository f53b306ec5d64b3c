#include "catalogue/CatalogueMedia.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "CatalogueFakes.h"
#include "CatalogueFileBuilder.h"
#include "catalogue/BuildingTemplate.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/DeployingChassisTemplate.h"
#include "catalogue/MountTemplate.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/TemplatePictures.h"
#include "catalogue/WeaponTemplate.h"
#include "core/BitmapEncoder.h"
#include "core/Image.h"
#include "core/PackWriter.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"
#include "support/ScopedWorkingDir.h"

namespace {

// A raw picture of the fakes' frame size.
std::vector<uint8_t> Frame() {
    const Size size = FakeCatalogueMedia::kFrame;
    std::vector<uint8_t> pixels(static_cast<size_t>(size.w) * size.h, 7);
    return EncodeRawBitmap(pixels.data(), size.w, size.h, size.w);
}

// Writes a pack of the shape the fakes build for each loader.
void WritePack(const std::string& path, char kind) {
    int columns = 1, rows = 1;
    if (kind == 'g') columns = 3, rows = 2;
    if (kind == 'c') rows = 16;
    if (kind == 'r') columns = 4;
    if (kind == 's') rows = 4;
    PackWriter pack(columns, rows);
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
            pack.SetEntry(c, r, Frame());
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_TRUE(pack.WriteFile(path)) << path;
}

std::string NativeName(std::string name) {
    for (char& c : name)
        if (c == '\\') c = '/';
    return name;
}

}  // namespace

// The packs the fakes were asked for, written as real packs, load through the real loaders
// into the same catalogue.
TEST(CatalogueMedia, RealPacksOfEveryNamedPictureLoadTheSameCatalogue) {
    CatalogueEnvironment env;
    const std::string text = CatalogueFileBuilder::Standard().Text();
    env.Load(text);
    auto* fakeChassis = static_cast<ChassisTemplate*>(FindInList(ChassisList, 'V', 'a'));
    ASSERT_NE(fakeChassis, nullptr);
    const Point mountOffset = fakeChassis->MountOffset(0, 5);
    const Point designPoint = fakeChassis->PreviewMountPoint(1);
    const Point muzzle = FindWeaponTemplate('T', 'b')->muzzleOffsets[2];
    const int32_t driveOffset =
        static_cast<PartTemplate*>(FindInList(PartList, 'V', 'W'))->verticalOffset;
    const Point deployed = static_cast<DeployingChassisTemplate*>(FindInList(ChassisList, 'T', 'd'))
                               ->FrameMountPoint(1, 2);
    const auto kinds = env.media.kinds;
    ClearTemplateCatalogue();

    for (const auto& [name, kind] : kinds)
        WritePack(env.AssetDirectory() + NativeName(name), kind);
    SetCatalogueMedia(nullptr);
    LoadTemplateCatalogue("7a.pts");

    auto* chassis = static_cast<ChassisTemplate*>(FindInList(ChassisList, 'V', 'a'));
    ASSERT_NE(chassis, nullptr);
    ASSERT_NE(chassis->mapPictures, nullptr);
    EXPECT_EQ(chassis->mapPictures->LastFrameIndex(), 15);
    EXPECT_EQ(chassis->MountOffset(0, 5), mountOffset);
    EXPECT_EQ(chassis->PreviewMountPoint(1), designPoint);
    EXPECT_EQ(FindWeaponTemplate('T', 'b')->muzzleOffsets[2], muzzle);
    EXPECT_NE(FindWeaponTemplate('T', 'b')->panelBitmap, nullptr);
    EXPECT_EQ(static_cast<PartTemplate*>(FindInList(PartList, 'V', 'W'))->verticalOffset,
              driveOffset);
    EXPECT_EQ(static_cast<DeployingChassisTemplate*>(FindInList(ChassisList, 'T', 'd'))
                  ->FrameMountPoint(1, 2),
              deployed);
    ASSERT_NE(FindBuildingTemplate('T'), nullptr);
    EXPECT_NE(FindBuildingTemplate('T')->doorAnimation, nullptr);
    ASSERT_NE(LevelMeterPictures, nullptr);
    EXPECT_EQ(LevelMeterPictures->LastFrameIndex(), 15);
}

// A set's first frame gives its size, a set of one frame included; no set or an empty one has
// none.
TEST(CatalogueMedia, ASetsSizeIsItsFirstFramesEvenWithOneFrame) {
    for (int frames : {1, 3}) {
        SpriteSet set(frames);
        for (int i = 0; i < frames; ++i)
            set.SetFrame(std::make_unique<Image>(Size(7 + i, 5)), i);
        EXPECT_EQ(FirstFrameSize(&set), Size(7, 5)) << frames;
    }
    SpriteSet empty(0);
    EXPECT_EQ(FirstFrameSize(&empty), Size());
    EXPECT_EQ(FirstFrameSize(nullptr), Size());
}

TEST(CatalogueMedia, SoundsAreMadeOnlyForRealNumbers) {
    CatalogueMedia media;
    EXPECT_EQ(media.MakeSound(-1), nullptr);
    EXPECT_NE(media.MakeSound(3), nullptr);
}

TEST(CatalogueMedia, SpeedOptionComesFromTheSettingsFileHeldToItsRange) {
    ScopedWorkingDir dir;
    CatalogueMedia media;
    EXPECT_EQ(media.ReadSpeedOption(), "");
    const struct {
        const char* value;
        const char* speed;
    } cases[] = {{" 1", "1"},          {"4x", "4"},  {"0", "1"}, {"-2147483648", "1"},
                 {"99999999999", "5"}, {"fast", ""}, {"", ""}};
    for (const auto& c : cases) {
        dir.WriteFile("QX.INI", std::string("[OPTIONS]\nMUSIC=YES\nSPEED = ") + c.value + "\n");
        EXPECT_EQ(media.ReadSpeedOption(), c.speed) << c.value;
    }
}
