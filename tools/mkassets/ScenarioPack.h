#pragma once
// The scenario pack: the campaign missions of both clans and the tutorial, one scenario file
// per row of a one-column pack, written in the game's scenario format on the campaign land.
#include <cstdint>
#include <string>
#include <vector>

#include "LandMaker.h"

namespace mkassets {

namespace ScenarioPack {
constexpr const char* kPackName = "7a0mxxxx99s999.scn";
constexpr int kRows = 23;
constexpr int kTutorialRow = 22;  // the rows before it: VARNOK's eleven missions, TELMIRA's
// Row r's scenario text; land is the campaign land, landRow its row of the land pack.
std::string RowText(int row, const LandMaker::Land& land, int landRow);
// Empty when the row's player start holds by the land's start check, with the row's own ore
// fields; else the check's sentence, naming the mission.
std::string StartFault(int row, const LandMaker::Land& land, int landRow);
std::vector<uint8_t> MakePack(const LandMaker::Land& land, int landRow);
}  // namespace ScenarioPack

}  // namespace mkassets
