#pragma once
// Synthesized sounds: the effects of the sound pack (one entry per sound number) and the music
// pieces of the music pack, all 16-bit at 22050 Hz in the game's sample format.
#include <cstdint>
#include <vector>

namespace mkassets {

namespace SoundSynth {
constexpr int kRate = 22050;
constexpr int kSoundRows = 100;
// Entries 14, 16 and 25 .. 49 are the battle screen's acknowledgement voices; the effects the
// catalogue used to name there live at 64 + (number - 14).
constexpr int kMovedEffectBase = 64;
constexpr bool IsVoiceEntry(int number) {
    return number == 14 || number == 16 || (number >= 25 && number <= 49);
}
// Where the catalogue's effect of an old number lives now.
constexpr int MovedEffect(int number) {
    return IsVoiceEntry(number) ? kMovedEffectBase + number - 14 : number;
}
constexpr int kMusicPieces = 3;

// One sample entry: format code 1 (header words big-endian) or 2 (little-endian), then the
// header and the interleaved little-endian 16-bit samples.
std::vector<uint8_t> SampleEntry(int format, int channels, const std::vector<int16_t>& samples);

// The sound pack "7a1.XSF": column 0, row = sound number, mono.
std::vector<uint8_t> MakeSoundPack();
// The music pack "7a0.xsf": one stereo piece per row.
std::vector<uint8_t> MakeMusicPack();
// The samples of music piece n, interleaved stereo; used for the movies' sound tracks too.
std::vector<int16_t> ComposePiece(int piece);
}  // namespace SoundSynth

}  // namespace mkassets
