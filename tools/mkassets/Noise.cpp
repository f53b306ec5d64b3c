#include "Noise.h"

#include <cmath>

namespace mkassets {

namespace {

uint64_t Mix(uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

double Smooth(double t) {
    return t * t * (3.0 - 2.0 * t);
}

}  // namespace

Rng::Rng(uint64_t seed) : state(seed) {}

Rng::~Rng() = default;

uint64_t Rng::Next() {
    state += 0x9E3779B97F4A7C15ULL;
    return Mix(state);
}

double Rng::Unit() {
    return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0);
}

int Rng::Range(int low, int high) {
    if (high <= low) return low;
    const uint64_t span = static_cast<uint64_t>(high - low) + 1;
    return low + static_cast<int>(Next() % span);
}

ValueNoise::ValueNoise(uint64_t noiseSeed) : seed(noiseSeed) {}

ValueNoise::~ValueNoise() = default;

double ValueNoise::Lattice(int64_t x, int64_t y) const {
    const uint64_t h = Mix(
        seed ^ Mix(static_cast<uint64_t>(x) * 0x632BE59BD9B4E019ULL + static_cast<uint64_t>(y)));
    return static_cast<double>(h >> 11) * (1.0 / 9007199254740992.0);
}

double ValueNoise::At(double x, double y) const {
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const auto ix = static_cast<int64_t>(fx);
    const auto iy = static_cast<int64_t>(fy);
    const double tx = Smooth(x - fx);
    const double ty = Smooth(y - fy);
    const double top = Lattice(ix, iy) + (Lattice(ix + 1, iy) - Lattice(ix, iy)) * tx;
    const double bottom =
        Lattice(ix, iy + 1) + (Lattice(ix + 1, iy + 1) - Lattice(ix, iy + 1)) * tx;
    return top + (bottom - top) * ty;
}

double ValueNoise::Fractal(double x, double y, int octaves) const {
    double sum = 0.0;
    double weight = 0.5;
    double total = 0.0;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += At(x, y) * weight;
        total += weight;
        x = x * 2.0 + 17.31;
        y = y * 2.0 + 5.77;
        weight *= 0.5;
    }
    return sum / total;
}

}  // namespace mkassets
