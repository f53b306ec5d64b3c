// What is written through a lock is what is heard, however the lock cuts the buffer: a ring
// refilled piecemeal (wrapping locks, locks starting inside a sample, several locks before a
// render) mixes exactly as the same bytes written in one piece, for every sample layout.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "platform/Mixer.h"

namespace {

std::vector<int16_t> Play(winx_Mixer& mixer, winx_BufferId id, int frames) {
    mixer.SetVolume(id, -300);
    mixer.Play(id, 1);
    std::vector<int16_t> out(static_cast<size_t>(frames) * mixer.OutputChannels());
    mixer.Render(out.data(), frames);
    return out;
}

TEST(MixerRefill, PiecemealWritesMixAsOneWriteOfTheSameBytes) {
    const winx_PcmFormat formats[] = {{8, 1, 11025}, {8, 2, 22050}, {16, 1, 44100}, {16, 2, 8000}};
    std::mt19937 random(11);
    for (int outputChannels : {1, 2}) {
        for (const winx_PcmFormat& format : formats) {
            const uint32_t bytes = 256 * static_cast<uint32_t>(format.BlockAlign());
            std::vector<uint8_t> data(bytes);
            for (uint8_t& b : data)
                b = static_cast<uint8_t>(random());

            winx_Mixer whole(outputChannels, 22050), pieces(outputChannels, 22050);
            const winx_BufferId a = whole.Create(format, bytes);
            winx_LockedRegion region;
            ASSERT_EQ(whole.Lock(a, 0, bytes, region), 1);
            std::memcpy(region.first, data.data(), region.firstBytes);
            whole.Unlock(a);

            const winx_BufferId b = pieces.Create(format, bytes);
            // Locks of odd sizes from odd offsets, wrapping past the end, until every byte was
            // written at least once (the last write of a byte is the data's).
            uint32_t offset = 7;
            for (uint32_t written = 0; written < 2 * bytes;) {
                const uint32_t length = 1 + static_cast<uint32_t>(random() % 97);
                ASSERT_EQ(pieces.Lock(b, offset, length, region), 1);
                const uint32_t start = offset % bytes;
                for (uint32_t i = 0; i < region.firstBytes; ++i)
                    region.first[i] = data[(start + i) % bytes];
                for (uint32_t i = 0; i < region.secondBytes; ++i)
                    region.second[i] = data[i];
                pieces.Unlock(b);
                offset += length;
                written += length;
            }
            EXPECT_EQ(Play(pieces, b, 600), Play(whole, a, 600))
                << format.bits << "-bit, " << format.channels << " channels, out "
                << outputChannels;
        }
    }
}

}  // namespace
