#include "SoundSynth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "Noise.h"
#include "core/PackWriter.h"

namespace mkassets {

namespace SoundSynth {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

enum class Kind {
    Click,
    Beep,
    Confirm,
    Refuse,
    Engine,
    Shot,
    Cannon,
    Laser,
    Blast,
    Voice,
    Alarm,
    Chime
};

struct Recipe {
    int number;
    Kind kind;
    double seconds;
    double pitch;  // Hz of the main tone where the kind has one
};

// The sound numbers the game names, each with a sound that suits its use; every other row gets
// one of the kinds by its number, so that whatever a later reader asks for sounds like something.
constexpr Recipe kNamed[] = {
    {14, Kind::Click, 0.06, 1800}, {16, Kind::Beep, 0.12, 880},  {23, Kind::Confirm, 0.18, 660},
    {24, Kind::Refuse, 0.25, 220}, {25, Kind::Alarm, 0.6, 740},  {26, Kind::Chime, 0.5, 520},
    {27, Kind::Voice, 0.45, 300},  {28, Kind::Voice, 0.45, 360}, {29, Kind::Voice, 0.45, 420},
    {30, Kind::Voice, 0.45, 480},  {31, Kind::Engine, 0.9, 70},  {32, Kind::Engine, 0.9, 95},
    {33, Kind::Engine, 0.9, 130},  {34, Kind::Shot, 0.2, 900},   {35, Kind::Shot, 0.25, 600},
    {36, Kind::Cannon, 0.5, 110},  {37, Kind::Cannon, 0.6, 80},  {38, Kind::Laser, 0.35, 1400},
    {39, Kind::Laser, 0.4, 900},   {40, Kind::Blast, 0.9, 60},   {41, Kind::Blast, 1.2, 45},
    {42, Kind::Blast, 0.7, 90},    {43, Kind::Voice, 0.5, 330},  {44, Kind::Voice, 0.5, 390},
    {45, Kind::Voice, 0.5, 450},   {46, Kind::Voice, 0.5, 510},  {47, Kind::Beep, 0.15, 1200},
    {48, Kind::Alarm, 0.8, 600},   {49, Kind::Chime, 0.6, 700},  {56, Kind::Chime, 0.7, 880},
    {57, Kind::Shot, 0.35, 320},
};

constexpr Kind kCycle[] = {Kind::Click, Kind::Shot,   Kind::Beep,  Kind::Blast,
                           Kind::Laser, Kind::Engine, Kind::Voice, Kind::Cannon};

double Envelope(double t, double length, double attack) {
    if (t < attack) return t / attack;
    return std::max(0.0, 1.0 - (t - attack) / std::max(1e-6, length - attack));
}

// One effect as floating-point samples in -1..1.
std::vector<double> Synthesize(const Recipe& recipe, Rng& rng) {
    const int frames = static_cast<int>(recipe.seconds * kRate);
    std::vector<double> out(static_cast<size_t>(frames));
    double phase = 0.0;
    double phase2 = 0.0;
    double low = 0.0;
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double u = t / recipe.seconds;  // 0..1 through the sound
        const double noise = rng.Unit() * 2.0 - 1.0;
        double v = 0.0;
        double frequency = recipe.pitch;
        switch (recipe.kind) {
            case Kind::Click:
                v = noise * std::exp(-t * 120.0) + std::sin(phase) * std::exp(-t * 60.0);
                break;
            case Kind::Beep:
                v = (std::sin(phase) > 0 ? 0.5 : -0.5) * Envelope(t, recipe.seconds, 0.005);
                break;
            case Kind::Confirm:  // two rising notes
                frequency = recipe.pitch * (u < 0.45 ? 1.0 : 1.5);
                v = std::sin(phase) *
                    Envelope(std::fmod(u, 0.5) * recipe.seconds, recipe.seconds * 0.5, 0.005);
                break;
            case Kind::Refuse:  // a falling buzz
                frequency = recipe.pitch * (1.0 - 0.4 * u);
                v = (std::fmod(phase / kTwoPi, 1.0) * 2.0 - 1.0) * 0.6 *
                    Envelope(t, recipe.seconds, 0.01);
                break;
            case Kind::Engine:
                frequency = recipe.pitch * (1.0 + 0.05 * std::sin(kTwoPi * 3.0 * t));
                low += (noise - low) * 0.05;
                v = (std::sin(phase) * 0.6 + std::sin(phase * 2.0) * 0.25 + low * 0.8) *
                    std::min(1.0, std::min(t, recipe.seconds - t) * 20.0);
                break;
            case Kind::Shot:
                frequency = recipe.pitch * (1.0 - 0.7 * u);
                v = (noise * 0.7 + std::sin(phase) * 0.5) * std::exp(-t * 18.0);
                break;
            case Kind::Cannon:
                frequency = recipe.pitch * (1.0 - 0.5 * u);
                low += (noise - low) * 0.2;
                v = (std::sin(phase) * 0.8 + low * 1.2) * std::exp(-t * 7.0);
                break;
            case Kind::Laser:
                frequency = recipe.pitch * (1.0 - 0.6 * u);
                v = std::sin(phase + 3.0 * std::sin(phase2)) * Envelope(t, recipe.seconds, 0.003);
                break;
            case Kind::Blast:
                low += (noise - low) * (0.25 - 0.2 * u);
                v = (low * 1.6 + std::sin(phase) * 0.6 * (1.0 - u)) * std::exp(-t * 3.5) *
                    std::min(1.0, t * 400.0);
                break;
            case Kind::Voice:  // a short two-tone cue with a vowel-like overtone
                frequency = recipe.pitch * (u < 0.5 ? 1.0 : 1.25);
                v = (std::sin(phase) + 0.4 * std::sin(phase * 3.0) + 0.2 * std::sin(phase * 5.0)) *
                    0.5 * Envelope(std::fmod(u, 0.5) * recipe.seconds, recipe.seconds * 0.5, 0.02);
                break;
            case Kind::Alarm:
                frequency = recipe.pitch * (std::fmod(t * 6.0, 1.0) < 0.5 ? 1.0 : 0.8);
                v = (std::sin(phase) > 0 ? 0.4 : -0.4) * std::min(1.0, (recipe.seconds - t) * 30.0);
                break;
            case Kind::Chime:
                v = (std::sin(phase) + 0.5 * std::sin(phase * 2.01) +
                     0.25 * std::sin(phase * 3.02)) *
                    0.5 * std::exp(-t * 5.0) * std::min(1.0, t * 500.0);
                break;
        }
        phase += kTwoPi * frequency / kRate;
        phase2 += kTwoPi * frequency * 0.37 / kRate;
        out[static_cast<size_t>(i)] = v;
    }
    return out;
}

// Scales to the 16-bit range with some headroom and a soft limit.
std::vector<int16_t> ToPcm(const std::vector<double>& signal, double level) {
    double peak = 1e-9;
    for (double v : signal)
        peak = std::max(peak, std::abs(v));
    std::vector<int16_t> pcm(signal.size());
    for (size_t i = 0; i < signal.size(); ++i) {
        const double v = std::tanh(signal[i] / peak * 1.2) / std::tanh(1.2) * level;
        pcm[i] = static_cast<int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32000.0));
    }
    return pcm;
}

void PutU32(std::vector<uint8_t>& out, uint32_t value, bool bigEndian) {
    for (int i = 0; i < 4; ++i) {
        const int shift = bigEndian ? 24 - 8 * i : 8 * i;
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

Recipe RecipeFor(int number) {
    // The voices: a cue of its own for every entry, so that each bank and clan sounds apart.
    if (IsVoiceEntry(number))
        return {number, Kind::Voice, 0.4 + 0.01 * (number % 7), 260.0 + 9.0 * number};
    // The effects moved out of the voice entries keep the sounds they had there.
    const int old = number - kMovedEffectBase + 14;
    const int original = number >= kMovedEffectBase && IsVoiceEntry(old) ? old : number;
    for (const Recipe& recipe : kNamed) {
        if (recipe.number == original) return {number, recipe.kind, recipe.seconds, recipe.pitch};
    }
    const Kind kind = kCycle[static_cast<size_t>(number) % std::size(kCycle)];
    return {number, kind, 0.3 + 0.05 * (number % 5), 200.0 + 40.0 * (number % 11)};
}

// A note of an equal-tempered scale: semitones above A 110 Hz.
double NoteHz(int semitone) {
    return 110.0 * std::pow(2.0, semitone / 12.0);
}

}  // namespace

std::vector<uint8_t> SampleEntry(int format, int channels, const std::vector<int16_t>& samples) {
    const bool bigEndian = format == 1;
    std::vector<uint8_t> out{0, static_cast<uint8_t>(format)};
    PutU32(out, 16, bigEndian);
    PutU32(out, static_cast<uint32_t>(channels), bigEndian);
    PutU32(out, kRate, bigEndian);
    PutU32(out, static_cast<uint32_t>(samples.size() / static_cast<size_t>(channels)), bigEndian);
    out.reserve(out.size() + samples.size() * 2);
    for (int16_t s : samples) {
        const auto u = static_cast<uint16_t>(s);
        out.push_back(static_cast<uint8_t>(u & 0xFF));  // the device plays little-endian PCM
        out.push_back(static_cast<uint8_t>(u >> 8));
    }
    return out;
}

std::vector<uint8_t> MakeSoundPack() {
    PackWriter pack(1, kSoundRows);
    for (int number = 0; number < kSoundRows; ++number) {
        Rng rng(0x5EED0000ULL + static_cast<uint64_t>(number));
        const std::vector<double> signal = Synthesize(RecipeFor(number), rng);
        // Both header byte orders occur, so readers of either are exercised.
        pack.SetEntry(0, number, SampleEntry(number % 2 == 0 ? 1 : 2, 1, ToPcm(signal, 0.8)));
    }
    return pack.Build();
}

std::vector<int16_t> ComposePiece(int piece) {
    struct Style {
        int bpm;
        int root;            // semitones above A 110
        int progression[4];  // chord roots, semitones above the root
        bool minor;
    };
    constexpr Style kStyles[kMusicPieces] = {
        {112, 0, {0, 8, 3, 10}, true},  // A minor, driving
        {96, 5, {0, 5, 7, 5}, false},   // D major, steady
        {128, 7, {0, 3, 8, 7}, true},   // E minor, urgent
    };
    const Style& style = kStyles[piece % kMusicPieces];
    Rng rng(0xC0FFEE00ULL + static_cast<uint64_t>(piece));
    const double beat = 60.0 / style.bpm;
    const int bars = 6;
    const double seconds = bars * 4 * beat;
    const int frames = static_cast<int>(seconds * kRate);
    std::vector<double> left(static_cast<size_t>(frames)), right(static_cast<size_t>(frames));
    const int third = style.minor ? 3 : 4;

    // A melody line drawn once per piece: scale steps chosen at random from the chord tones.
    int melody[bars * 8];
    for (int& note : melody)
        note = rng.Range(0, 4);

    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const int beatIndex = static_cast<int>(t / beat);
        const double inBeat = t - beatIndex * beat;
        const int bar = beatIndex / 4;
        const int chord = style.root + style.progression[bar % 4];
        // Bass: the chord root on every beat, a plucked saw.
        const double bassHz = NoteHz(chord - 12);
        const double bass = (std::fmod(t * bassHz, 1.0) * 2.0 - 1.0) * std::exp(-inBeat * 5.0);
        // Pad: the triad, soft sines.
        double pad = 0.0;
        for (int step : {0, third, 7})
            pad += std::sin(kTwoPi * NoteHz(chord + 12 + step) * t);
        pad *= 0.12;
        // Arpeggio / melody on eighth notes.
        const int eighth = static_cast<int>(t / (beat / 2));
        const double inEighth = t - eighth * (beat / 2);
        const int tones[5] = {0, third, 7, 12, 12 + third};
        const int note = chord + 24 + tones[melody[eighth % (bars * 8)]];
        const double lead =
            (std::sin(kTwoPi * NoteHz(note) * t) > 0 ? 0.25 : -0.25) * std::exp(-inEighth * 9.0);
        // Drums: a kick on beats 1 and 3, a hat on every eighth.
        double drums = 0.0;
        if (beatIndex % 2 == 0) {
            drums += std::sin(kTwoPi * (50.0 + 90.0 * std::exp(-inBeat * 30.0)) * inBeat) *
                     std::exp(-inBeat * 12.0) * 0.9;
        }
        drums += (rng.Unit() * 2.0 - 1.0) * std::exp(-inEighth * 60.0) * 0.15;
        // Fade in and out so the pieces join smoothly in the playlist.
        const double fade = std::min({1.0, t * 4.0, (seconds - t) * 4.0});
        left[static_cast<size_t>(i)] = (bass * 0.5 + pad * 0.8 + lead * 1.0 + drums) * fade;
        right[static_cast<size_t>(i)] = (bass * 0.5 + pad * 1.2 + lead * 0.6 + drums) * fade;
    }
    std::vector<double> interleaved;
    interleaved.reserve(static_cast<size_t>(frames) * 2);
    for (int i = 0; i < frames; ++i) {
        interleaved.push_back(left[static_cast<size_t>(i)]);
        interleaved.push_back(right[static_cast<size_t>(i)]);
    }
    return ToPcm(interleaved, 0.7);
}

std::vector<uint8_t> MakeMusicPack() {
    PackWriter pack(1, kMusicPieces);
    for (int piece = 0; piece < kMusicPieces; ++piece) {
        pack.SetEntry(0, piece, SampleEntry(piece == 0 ? 1 : 2, 2, ComposePiece(piece)));
    }
    return pack.Build();
}

}  // namespace SoundSynth

}  // namespace mkassets
