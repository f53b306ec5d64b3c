#pragma once
// The scenario pack: the campaign missions of both clans and the tutorial, one scenario file
// per row of a one-column pack, written in the game's scenario format on the campaign land or
// on the mission's own land.
#include <cstdint>
#include <string>
#include <vector>

#include "LandMaker.h"

namespace mkassets {

namespace ScenarioPack {
constexpr const char* kPackName = "7a0mxxxx99s999.scn";
constexpr int kRows = 23;
constexpr int kTutorialRow = 22;  // the rows before it: VARNOK's eleven missions, TELMIRA's
// Row r's scenario text; lands are the land pack's lands in row order: the row plays on its
// mission's own land, else on the campaign land (LandMaker::CampaignLandRow).
std::string RowText(int row, const std::vector<LandMaker::Land>& lands);
// Empty when the row's player start holds by the land's start check, with the row's own ore
// fields; else the check's sentence, naming the row.
std::string StartFault(int row, const std::vector<LandMaker::Land>& lands);
std::vector<uint8_t> MakePack(const std::vector<LandMaker::Land>& lands);
}  // namespace ScenarioPack

}  // namespace mkassets
