#pragma once
// Whether the game's route search answers as its earlier form (ReferencePathSearch) does.
#include <cstdint>
#include <string>
#include <vector>

// Sends the same calls to the game's search and to the reference on a grid drawn as rows of
// terrain letters (see GridFromRows), with units standing about it (a third of them moving),
// for a small unit, a large one and one that engages the nearest enemy: whole routes (every
// cut-short call and its resumption), corner to corner and between random open cells, some
// inside a window, some ignoring units, and reachability questions. Every call must answer
// alike: result, cut-short flag, waypoints and expansions spent. Empty when all agree, else
// which call differed first and how.
std::string RouteDifference(const std::vector<std::string>& rows, uint32_t seed);

// Carves a perfect maze of one-cell corridors on the odd cells of rows filled with '#'
// (depth-first from row 1, column 1), keeping carved cells below `limit` in both directions.
void CarveMaze(std::vector<std::string>& rows, int limit, uint32_t seed);
