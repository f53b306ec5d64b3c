// A sound that is deleted while pools list it leaves every one of them: the pools play and
// stop on without touching it (AddressSanitizer would see a dangling voice).
#include <gtest/gtest.h>

#include <memory>

#include "core/ResourceFile.h"
#include "core/Sound.h"
#include "core/VoicePool.h"
#include "support/FakeSoundDevice.h"
#include "support/PackBuilder.h"
#include "support/SampleEntry.h"
#include "support/TempDirectory.h"

TEST(BorrowedSound, ADeletedSoundLeavesEveryPoolThatListsIt) {
    TempDirectory dir;
    PackBuilder builder(1, 3);
    for (int row = 0; row < 3; ++row)
        builder.Entry(0, row, MakeSampleEntry({2, 16, 1, 22050}, CountingSamples16(4, 1, row)));
    auto pack = std::make_unique<ResourceFile>();
    pack->plainPath = 1;
    ASSERT_EQ(pack->Open(dir.Write("pack.xsf", builder.Build()).c_str(), 1, 0), 1);
    SetSharedSoundPack(std::move(pack));
    FakeSoundDevice device;
    VoicePool first(4);
    VoicePool second(4);
    auto doomed = std::make_unique<Sound>(0);
    Sound kept(1);
    first.Play(doomed.get());
    first.Play(&kept);
    second.Play(doomed.get());
    ASSERT_EQ(doomed->IsPlaying(), 1);
    doomed.reset();
    EXPECT_EQ(first.Count(), 1);
    EXPECT_TRUE(second.IsEmpty());
    Sound again(0);
    first.Play(&again);
    EXPECT_EQ(again.IsPlaying(), 1);
    EXPECT_EQ(first.Count(), 2);
    first.StopAll();
    // A pool that goes first leaves nothing behind in the sound either.
    second.Play(&kept);
    {
        VoicePool shortLived(2);
        shortLived.Play(&kept);
    }
    SetSharedSoundPack(nullptr);
}
