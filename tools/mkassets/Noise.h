#pragma once
// Deterministic randomness for the maker: a seeded generator and smooth value noise, so the
// same maker writes byte-identical files on every run.
#include <cstdint>

namespace mkassets {

class Rng {
public:
    explicit Rng(uint64_t seed);
    virtual ~Rng();

    uint64_t Next();
    // Uniform in [0, 1).
    double Unit();
    // Uniform in [low, high], both inclusive.
    int Range(int low, int high);

private:
    uint64_t state;
};

// Value noise over the plane: lattice values from a hash of the seed and the lattice point,
// blended with a smooth step; several octaves for fractal detail. Results lie in 0..1.
class ValueNoise {
public:
    explicit ValueNoise(uint64_t seed);
    virtual ~ValueNoise();

    double At(double x, double y) const;
    double Fractal(double x, double y, int octaves) const;

private:
    double Lattice(int64_t x, int64_t y) const;

    uint64_t seed;
};

}  // namespace mkassets
