#pragma once
// A table that maps every palette index to the index of a darker or lighter version of its
// colour, built once over a palette. The shadow and light effects of the blitters read it.
#include <cstdint>

class Palette;

class ShadeTable {
public:
    // An identity table.
    ShadeTable();
    // Negative percentages darken (-30 keeps 30 % of each component), others lighten towards
    // white (100 keeps the colour, 0 gives white).
    ShadeTable(int32_t percentage, const Palette& palette);
    virtual ~ShadeTable() = default;

    void BuildDarker(int32_t percent, const Palette& palette);
    void BuildLighter(int32_t percent, const Palette& palette);

    uint8_t operator[](int index) const { return entries[index & 0xFF]; }

    uint8_t entries[256];
};
