#pragma once
// The program's one random generator: a linear congruence modulo 714025, seeded once from the
// clock at start-up. Every machine of a network game draws from its own sequence.
#include <cstdint>

// seed = value mod 714025.
void SeedRandom(uint32_t value);
// Steps the generator; 0..714024.
uint32_t RandomNext();
// The largest value RandomNext returns.
uint32_t RandomMax();
// An integer from the inclusive range between a and b, in either order. The top value gets
// a slightly smaller share of the draws (0.99 of a step) than the others.
int32_t RandomRange(int32_t a, int32_t b);
