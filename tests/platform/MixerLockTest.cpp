// What is written under a lock is heard from its own Unlock on: an Unlock converts the bytes
// of that lock, on both sides of the buffer's end, and no others.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/Mixer.h"

namespace {

void Fill(uint8_t* to, uint32_t bytes, int16_t value) {
    for (uint32_t i = 0; i + 1 < bytes; i += 2) {
        const auto u = static_cast<uint16_t>(value);
        to[i] = static_cast<uint8_t>(u & 0xFF);
        to[i + 1] = static_cast<uint8_t>(u >> 8);
    }
}

TEST(MixerLock, AnUnlockMakesOnlyItsOwnBytesHeard) {
    winx_Mixer mixer(1, 22050);
    const winx_BufferId id = mixer.Create(winx_PcmFormat{16, 1, 22050}, 16);
    ASSERT_NE(id, 0u);
    winx_LockedRegion region;
    // Written but never unlocked: not heard.
    ASSERT_EQ(mixer.Lock(id, 0, 16, region), 1);
    Fill(region.first, region.firstBytes, 100);
    // Four bytes before the end and four after its start.
    ASSERT_EQ(mixer.Lock(id, 12, 8, region), 1);
    ASSERT_EQ(region.firstBytes, 4u);
    ASSERT_EQ(region.secondBytes, 4u);
    Fill(region.first, region.firstBytes, 500);
    Fill(region.second, region.secondBytes, 500);
    ASSERT_EQ(mixer.Unlock(id), 1);
    mixer.Play(id, 0);
    std::vector<int16_t> out(8, 12345);
    mixer.Render(out.data(), 8);
    EXPECT_EQ(out, (std::vector<int16_t>{500, 500, 0, 0, 0, 0, 500, 500}));
}

}  // namespace
