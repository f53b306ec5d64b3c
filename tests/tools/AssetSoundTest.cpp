// Plays the asset maker's sounds and music through the game's sound and playlist classes into
// a fake sound device, and checks what reaches the device.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/MusicPlaylist.h"
#include "core/ResourceFile.h"
#include "core/Sound.h"
#include "support/FakeSoundDevice.h"
#include "support/MadeAssets.h"

using namespace MadeAssets;

namespace {

class AssetSoundTest : public MadeAssetsTest {
protected:
    void TearDown() override { SetSharedSoundPack(nullptr); }
    FakeSoundDevice device;
};

TEST_F(AssetSoundTest, NamedSoundsReachTheDeviceAsTheirPackEntriesHoldThem) {
    auto pack = std::make_unique<ResourceFile>();
    ASSERT_EQ(pack->Open("7a1.XSF", ResourceFile::OpenMode::Pack), 1);
    SetSharedSoundPack(std::move(pack));
    ResourceFile copy;
    ASSERT_EQ(copy.Open("7a1.XSF", ResourceFile::OpenMode::Pack), 1);
    std::vector<int> named{14, 16, 56};
    for (int n = 23; n <= 49; ++n)
        named.push_back(n);
    for (int number : named) {
        Sound sound(number);
        sound.Play(0);
        FakeSoundDevice::Buffer* buffer = device.Find(sound.Buffer());
        ASSERT_NE(buffer, nullptr) << number;
        EXPECT_EQ(buffer->bits, 16);
        EXPECT_EQ(buffer->channels, 1);
        EXPECT_EQ(buffer->rate, 22050);
        ASSERT_EQ(copy.SelectEntry(0, number), 1);
        const std::vector<uint8_t> entry = EntryBytes(copy);
        EXPECT_EQ(buffer->data, std::vector<uint8_t>(entry.begin() + 18, entry.end())) << number;
        sound.Stop();
    }
}

TEST_F(AssetSoundTest, MusicPlaylistFillsItsRingBufferFromThePack) {
    const std::string path = (Volume(kVolumes[0]) / "Sounds" / "7a0.xsf").string();
    MusicPlaylist playlist(path, 0, 88200, 11025);
    playlist.Play(1);
    FakeSoundDevice::Buffer* ring = device.Find(playlist.Buffer());
    ASSERT_NE(ring, nullptr);
    EXPECT_EQ(ring->bits, 16);
    EXPECT_EQ(ring->channels, 2);
    EXPECT_EQ(ring->rate, 22050);
    EXPECT_EQ(ring->data.size(), 88200u * 4);
    EXPECT_TRUE(ring->looping);
    // Music, not silence: the ring holds many different sample values.
    size_t changes = 0;
    for (size_t i = 2; i < ring->data.size(); i += 2) {
        changes += ring->data[i] != ring->data[i - 2] ? 1 : 0;
    }
    EXPECT_GT(changes, ring->data.size() / 8);
}

}  // namespace
