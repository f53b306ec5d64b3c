#include "core/MusicPlayer.h"

#include <gtest/gtest.h>

#include <string>

#include "core/MusicPlaylist.h"
#include "support/FakeSoundDevice.h"
#include "support/PackBuilder.h"
#include "support/SampleEntry.h"
#include "support/ScopedWorkingDir.h"

namespace {

class MusicPlayerTest : public ::testing::Test {
protected:
    void WriteMusicPack(int pieces) {
        PackBuilder builder(1, static_cast<uint16_t>(pieces));
        for (int i = 0; i < pieces; ++i) {
            builder.Entry(0, i, MakeSampleEntry({2, 16, 2, 22050}, CountingSamples16(100, 2, i)));
        }
        const Bytes bytes = builder.Build();
        dir.WriteFile("Sounds/7a0.xsf", std::string(bytes.begin(), bytes.end()));
    }
    std::string SoundsDirectory() const { return dir.Path() + "/Sounds/"; }

    ScopedWorkingDir dir;
    FakeSoundDevice device;
};

}  // namespace

TEST_F(MusicPlayerTest, TurningMusicOnTwiceMakesOnePlaylistAndOffDeletesIt) {
    WriteMusicPack(2);
    device.masterVolume = 70;
    MusicPlayer player(SoundsDirectory());
    player.SetEnabled(1);
    ASSERT_NE(player.Playlist(), nullptr);
    MusicPlaylist* first = player.Playlist();
    EXPECT_EQ(player.IsOn(), 1);
    EXPECT_EQ(player.Setting(), 1);
    FakeSoundDevice::Buffer* ring = device.Find(first->Buffer());
    ASSERT_NE(ring, nullptr);
    EXPECT_TRUE(ring->playing);
    EXPECT_TRUE(ring->looping);
    EXPECT_EQ(ring->volume, 70);
    EXPECT_EQ(ring->data.size(), static_cast<size_t>(MusicPlayer::kBufferFrames) * 4);

    player.SetEnabled(1);
    EXPECT_EQ(player.Playlist(), first);
    EXPECT_EQ(device.created, 1);

    player.SetEnabled(0);
    EXPECT_EQ(player.Playlist(), nullptr);
    EXPECT_EQ(player.IsOn(), 0);
    EXPECT_EQ(player.Setting(), 0);
    EXPECT_TRUE(device.buffers.empty());
}

TEST_F(MusicPlayerTest, MusicSettingNoLeavesTheMusicOff) {
    WriteMusicPack(2);
    dir.WriteFile("QX.INI", "[OPTIONS]\nMUSIC=no\n");
    MusicPlayer player(SoundsDirectory());
    player.SetEnabled(1);
    EXPECT_EQ(player.Playlist(), nullptr);
    EXPECT_EQ(player.IsOn(), 0);
    dir.WriteFile("QX.INI", "[OPTIONS]\nMUSIC=YES\n");
    player.SetEnabled(1);
    EXPECT_NE(player.Playlist(), nullptr);
}

TEST_F(MusicPlayerTest, AMissingPackOrAPackWithoutPiecesLeavesTheMusicOff) {
    MusicPlayer player(SoundsDirectory());
    player.SetEnabled(1);
    EXPECT_EQ(player.Playlist(), nullptr);
    WriteMusicPack(0);
    player.SetEnabled(1);
    EXPECT_EQ(player.Playlist(), nullptr);
    EXPECT_EQ(player.IsOn(), 0);
    EXPECT_EQ(player.Tick(), 1);
    EXPECT_EQ(device.created, 0);
}

TEST_F(MusicPlayerTest, SuspendKeepsTheSettingAndResumeStartsANewPlaylist) {
    WriteMusicPack(3);
    MusicPlayer player(SoundsDirectory());
    player.SetEnabled(1);
    player.Suspend();
    EXPECT_EQ(player.Playlist(), nullptr);
    EXPECT_EQ(player.IsOn(), 0);
    EXPECT_EQ(player.Setting(), 1);
    EXPECT_TRUE(device.buffers.empty());
    player.Resume();
    ASSERT_NE(player.Playlist(), nullptr);
    EXPECT_EQ(player.IsOn(), 1);
    EXPECT_EQ(device.created, 2);
    EXPECT_TRUE(device.Find(player.Playlist()->Buffer())->playing);

    player.SetEnabled(0);
    player.Suspend();
    player.Resume();
    EXPECT_EQ(player.Playlist(), nullptr);
}

TEST_F(MusicPlayerTest, TickAndVolumeReachThePlaylistOnlyWhileOn) {
    WriteMusicPack(1);
    MusicPlayer player(SoundsDirectory());
    player.SetVolume(30);
    EXPECT_EQ(player.Tick(), 1);
    player.SetEnabled(1);
    FakeSoundDevice::Buffer* ring = device.Find(player.Playlist()->Buffer());
    player.SetVolume(30);
    EXPECT_EQ(ring->volume, 30);
    const size_t written = device.written.size();
    ring->position = MusicPlayer::kChunkFrames * 4;
    EXPECT_EQ(player.Tick(), 1);
    EXPECT_EQ(device.written.size() - written, static_cast<size_t>(MusicPlayer::kChunkFrames) * 4);
}
