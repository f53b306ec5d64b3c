#pragma once
// Figures about the whole catalogue that the network checks measure a peer's word by: worked
// out once when the catalogue is read (and again when a test changes its lists), never per
// command.
#include <cstdint>

class CatalogueFigures {
public:
    // The longest reach of any weapon record, in pixels.
    int32_t longestReach = 0;
    // The dearest design any chassis of any clan and level takes: the chassis, the dearest
    // drive, and in each hardpoint the dearest weapon or item its capacity takes.
    int64_t dearestDesign = 0;

    // From the lists as they stand; all zero for an empty catalogue.
    void WorkOut();
    void Clear() { *this = CatalogueFigures(); }
};

// The figures of the catalogue in the lists, kept beside them.
extern CatalogueFigures TheCatalogueFigures;
