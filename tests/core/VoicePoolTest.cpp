#include "core/VoicePool.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/ResourceFile.h"
#include "core/Sound.h"
#include "support/FakeSoundDevice.h"
#include "support/PackBuilder.h"
#include "support/SampleEntry.h"
#include "support/ScopedWorkingDir.h"

namespace {

// Twelve different sounds in the shared pack, a fake device and a pool of ten voices.
class VoicePoolTest : public ::testing::Test {
protected:
    void SetUp() override {
        PackBuilder builder(1, kEntries);
        for (int row = 0; row < kEntries; ++row) {
            builder.Entry(0, row, MakeSampleEntry({2, 16, 1, 22050}, CountingSamples16(4, 1, row)));
        }
        const Bytes bytes = builder.Build();
        dir.WriteFile("pack.xsf", std::string(bytes.begin(), bytes.end()));
        auto pack = std::make_unique<ResourceFile>();
        pack->plainPath = 1;
        ASSERT_EQ(pack->Open((dir.Path() + "/pack.xsf").c_str(), 1, 0), 1);
        SetSharedSoundPack(std::move(pack));
        for (int row = 0; row < kEntries; ++row)
            sounds.push_back(std::make_unique<Sound>(row));
    }
    void TearDown() override {
        pool.reset();
        sounds.clear();
        SetSharedSoundPack(nullptr);
    }

    // The entries of the listed sounds, newest first.
    std::vector<int> Listed() const {
        std::vector<int> entries;
        for (ListNode* node = pool->First(); node; node = pool->Next(node)) {
            entries.push_back(static_cast<VoiceNode*>(node)->sound->PackEntry());
        }
        return entries;
    }
    void PlayFirst(int count) {
        for (int i = 0; i < count; ++i)
            pool->Play(sounds[i].get());
    }

    static constexpr int kEntries = 12;
    ScopedWorkingDir dir;
    FakeSoundDevice device;
    std::vector<std::unique_ptr<Sound>> sounds;
    std::unique_ptr<VoicePool> pool = std::make_unique<VoicePool>(10);
};

}  // namespace

TEST_F(VoicePoolTest, WithTenVoicesStillPlayingAnEleventhSoundIsNotPlayed) {
    PlayFirst(10);
    EXPECT_EQ(pool->Count(), 10);
    pool->Play(sounds[10].get());
    EXPECT_EQ(pool->Count(), 10);
    EXPECT_EQ(sounds[10]->IsPlaying(), 0);
    EXPECT_EQ(sounds[10]->Buffer(), SoundBuffer::None);
    EXPECT_EQ(Listed(), (std::vector<int>{9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
}

TEST_F(VoicePoolTest, ANewSoundDropsTheOldestFinishedVoice) {
    PlayFirst(10);
    device.Finish(sounds[0]->Buffer());
    device.Finish(sounds[1]->Buffer());
    pool->Play(sounds[10].get());
    EXPECT_EQ(sounds[10]->IsPlaying(), 1);
    // The oldest finished sound was stopped (unloaded) and its node dropped; the other stays.
    EXPECT_EQ(sounds[0]->Buffer(), SoundBuffer::None);
    EXPECT_NE(sounds[1]->Buffer(), SoundBuffer::None);
    EXPECT_EQ(Listed(), (std::vector<int>{10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
    pool->Play(sounds[11].get());
    EXPECT_EQ(Listed(), (std::vector<int>{11, 10, 9, 8, 7, 6, 5, 4, 3, 2}));
}

TEST_F(VoicePoolTest, ASoundWhoseEntryIsListedRestartsTheListedSoundAsTheNewest) {
    PlayFirst(3);
    Sound sameEntry(0);
    const int before = device.Find(sounds[0]->Buffer())->playCount;
    pool->Play(&sameEntry);
    EXPECT_EQ(device.Find(sounds[0]->Buffer())->playCount, before + 1);
    EXPECT_EQ(sameEntry.Buffer(), SoundBuffer::None);
    EXPECT_EQ(Listed(), (std::vector<int>{0, 2, 1}));
    EXPECT_FALSE(device.Find(sounds[0]->Buffer())->looping);
}

TEST_F(VoicePoolTest, StopRemovesTheSoundsVoiceAndStopAllEmptiesThePool) {
    PlayFirst(4);
    pool->StopSound(sounds[2].get());
    EXPECT_EQ(sounds[2]->Buffer(), SoundBuffer::None);
    EXPECT_EQ(Listed(), (std::vector<int>{3, 1, 0}));
    pool->Stop(sounds[3].get());
    EXPECT_EQ(Listed(), (std::vector<int>{1, 0}));
    pool->StopAll();
    EXPECT_TRUE(pool->IsEmpty());
    EXPECT_EQ(sounds[0]->Buffer(), SoundBuffer::None);
    EXPECT_EQ(sounds[1]->Buffer(), SoundBuffer::None);
    EXPECT_TRUE(device.buffers.empty());
}

TEST_F(VoicePoolTest, AMutedPoolNeitherPlaysNorStops) {
    PlayFirst(2);
    pool->SetMuted(1);
    pool->Play(sounds[5].get());
    EXPECT_EQ(sounds[5]->Buffer(), SoundBuffer::None);
    pool->StopAll();
    pool->StopSound(sounds[0].get());
    EXPECT_EQ(pool->Count(), 2);
    EXPECT_EQ(sounds[0]->IsPlaying(), 1);
    pool->SetMuted(0);
    pool->StopAll();
    EXPECT_TRUE(pool->IsEmpty());
}

TEST_F(VoicePoolTest, DestroyingThePoolLeavesTheSoundsToTheirOwners) {
    PlayFirst(3);
    pool.reset();
    EXPECT_EQ(sounds[1]->IsPlaying(), 1);
}
