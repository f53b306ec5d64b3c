#include "world/Campaign.h"

#include "world/Scenario.h"
#include "world/World.h"

namespace {

constexpr char kClanT[] = "TELMIRA";
constexpr char kClanV[] = "VARNOK";

// Clan T's briefings do not follow the mission numbers (3 and 6, 7 and 9 are swapped).
constexpr MissionEntry kTableT[Campaign::kMissions] = {
    {nullptr, -1, nullptr, 289},   {"TM01.mov", 11, kClanT, 266}, {"TM02.mov", 12, kClanT, 267},
    {"TM06.mov", 13, kClanT, 268}, {"TM04.mov", 14, kClanT, 269}, {"TM05.mov", 15, kClanT, 270},
    {"TM03.mov", 16, kClanT, 271}, {"TM09.mov", 17, kClanT, 272}, {"TM08.mov", 18, kClanT, 273},
    {"TM07.mov", 19, kClanT, 274}, {"TM10.mov", 20, kClanT, 275}, {"TM11.mov", 21, kClanT, 276},
    {nullptr, 22, kClanT, 288},
};

constexpr MissionEntry kTableV[Campaign::kMissions] = {
    {nullptr, -1, nullptr, 289},  {"VN01.mov", 0, kClanV, 277}, {"VN02.mov", 1, kClanV, 278},
    {"VN03.mov", 2, kClanV, 279}, {"VN04.mov", 3, kClanV, 280}, {"VN05.mov", 4, kClanV, 281},
    {"VN06.mov", 5, kClanV, 282}, {"VN07.mov", 6, kClanV, 283}, {"VN08.mov", 7, kClanV, 284},
    {"VN09.mov", 8, kClanV, 285}, {"VN10.mov", 9, kClanV, 286}, {"VN11.mov", 10, kClanV, 287},
    {nullptr, 22, kClanV, 288},
};

}  // namespace

const MissionEntry* Campaign::GetMissionEntry(char clan, int mission) {
    if (mission < 0 || mission >= kMissions) return nullptr;
    return clan == 'T' ? &kTableT[mission] : &kTableV[mission];
}

int Campaign::GetMissionTextId(World& world) {
    if (!world.scenario) return -1;
    const MissionEntry* row =
        GetMissionEntry(world.scenario->clanLetter, world.scenario->missionNumber);
    return row ? row->textLine : -1;
}

const char* Campaign::VictoryMovie(char clan) {
    return clan == 'T' ? "TMVIC.mov" : "VNVIC.mov";
}
