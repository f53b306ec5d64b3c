#include "ScenarioPack.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "StartCheck.h"
#include "core/PackWriter.h"

namespace mkassets {

namespace ScenarioPack {
namespace {

constexpr int kCell = 32;
constexpr const char* kParameters = "399199212299";
constexpr int kStock = 6000;
constexpr int kTutorialStock = 30000;
// The ore under each factory: enough for an hour of building.
constexpr int kBaseOre = 40000;

// Designs of the sample catalogue: the ten code letters, the parameters, the name.
std::string Design(const char* code, const char* name, const char* parameters = kParameters) {
    return std::string(code) + parameters + name;
}

struct Designs {
    std::string combat, second, miner, relay, repairer, carrier, capture, air;
};

Designs DesignsOf(char clan) {
    if (clan == 'T') {
        return {Design("TSbbc-----", "Lancer"),    Design("TTccfa----", "Warder"),
                Design("TPfaa-----", "Harvester"), Design("TPmcc-----", "Watch Spire"),
                Design("TPk-------", "Mender"),    Design("VCg-------", "Carrier"),
                Design("TPt-------", "Converter"), Design("TAp-------", "Dartwing")};
    }
    return {Design("VHcedb----", "Assault Hover"),  Design("VWbab-----", "Trooper"),
            Design("VPfaa-----", "Miner"),          Design("VPmv------", "Detection Relay"),
            Design("VPk-------", "Repair Crawler"), Design("VCg-------", "Carrier"),
            Design("TPt-------", "Converter"),      Design("VAp-------", "Gunship")};
}

// The refuelling structure (code 4) the carriers' teams stand deployed.
const std::string kFuelDepot = Design("VPr-------", "Fuel Depot");

char Other(char clan) {
    return clan == 'T' ? 'V' : 'T';
}

struct Point {
    int x;
    int y;
};

using Starts = std::array<int, 5>;  // the start point of each team, 1 .. 4
// A mission's own land: team 1 on its first start, team 2 on its last.
constexpr Starts kOwnLandStarts = {0, 0, 3, 1, 2};
// The campaign land's starts (north-west, north-east, south-west, south-east, west, east) by
// scenario row: each mission played there has its own pair of factory places, one on either
// side of the land, as far apart as the first mission's. The rows on lands of their own and
// the tutorial keep the first pair.
constexpr std::array<Starts, kRows> kCampaignStarts = {{
    {0, 0, 3, 1, 2}, kOwnLandStarts,  kOwnLandStarts,  kOwnLandStarts,  {0, 2, 1, 4, 5},
    kOwnLandStarts,  {0, 4, 5, 1, 2}, {0, 1, 2, 3, 4}, {0, 5, 0, 1, 2}, {0, 2, 5, 1, 3},
    {0, 3, 0, 1, 2}, {0, 0, 5, 1, 2}, kOwnLandStarts,  {0, 4, 1, 0, 2}, kOwnLandStarts,
    {0, 4, 3, 1, 2}, kOwnLandStarts,  {0, 5, 2, 1, 3}, kOwnLandStarts,  kOwnLandStarts,
    {0, 1, 4, 0, 2}, {0, 3, 2, 1, 4}, {0, 0, 3, 1, 2},
}};

// One row being written: sections in the game's order, ids handed out per team.
class Row {
public:
    Row(const LandMaker::Land& land, const Starts& starts) : land(land), starts(starts) {
        for (int team = 0; team < 5; ++team)
            nextSerial[team] = team == 0 ? 20 : 2;
    }

    // The base of a team: its start point.
    Point Base(int team) const {
        const auto& start = land.starts[static_cast<size_t>(starts[static_cast<size_t>(team)])];
        return {start.second * kCell + kCell / 2, start.first * kCell + kCell / 2};
    }
    // stock: the ore and funds every factory of the row starts with (the header's w).
    void Header(const std::string& lines, int stock) {
        header += lines;
        factoryStock = stock;
    }
    void Players(int team, char teamClan, int target) {
        const Point rally = Offset(Base(team), -160, 160);
        players += ": E\nI = " + std::to_string(team) + "\nL = " + teamClan +
                   "\nP = " + std::to_string(target) + "\nQ = 0\nR = 0\nS = " + Pair(rally) +
                   "\nT = -1,-1\n";
    }
    // The team's production building at its start point, with queued jobs (own H lines).
    void Factory(int team, char teamClan, const std::vector<std::string>& jobs = {}) {
        const Point at = Offset(Base(team), -32, 32);
        factories += ": V\nX = Y\nI = " + std::to_string(team) +
                     "\nn = " + std::to_string(Colour(team, teamClan)) + "\nL = " + teamClan +
                     "\nB = " + Pair(at) + "\nA = " + std::to_string(team) +
                     ",1\nN = " + std::to_string(factoryStock) +
                     "\nO = " + std::to_string(factoryStock) + "\n";
        for (const std::string& job : jobs)
            factories += "H = " + job + "\n";
    }
    // A unit near its team's base (or at a point); serial 0 takes the next free one.
    void Unit(int team, char teamClan, const std::string& design, int purpose, int serial = 0,
              const std::vector<std::string>& own = {}, const Point* at = nullptr) {
        const int index = placed[team]++;
        const Point p =
            at ? *at : Offset(Base(team), 160 + (index % 6) * 96, 160 + (index / 6) * 96);
        const int id = serial ? serial : nextSerial[team]++;
        units += ": V\nI = " + std::to_string(team) +
                 "\nn = " + std::to_string(Colour(team, teamClan)) +
                 "\nk = " + std::to_string(team) + "\nL = " + teamClan + "\nB = " + Pair(p) +
                 "\nA = " + std::to_string(team) + "," + std::to_string(id) + "\nH = " + design +
                 "\nZ = " + std::to_string(purpose) + "\n";
        for (const std::string& line : own)
            units += line + "\n";
    }
    void Deposit(const Point& p, int serial = 0, int ore = 10000) {
        deposits += ": C\nA = 0," + std::to_string(serial ? serial : nextSerial[0]++) +
                    "\nB = " + Pair(p) + "\nO = " + std::to_string(ore) + "\n";
    }
    void Field(const Point& p) {
        fields += ": M\nA = 0," + std::to_string(nextSerial[0]++) + "\nB = " + Pair(p) +
                  "\nN = 12000\nk = 0\nn = 0\n";
        fieldCells.push_back({p.y / kCell, p.x / kCell});
    }
    // Deposits and fields by each base that has a factory or is the local team's.
    void Resources(std::initializer_list<int> teams) {
        for (int team : teams) {
            // Under the unfolded factory, which draws from it, as a generated world has it.
            Deposit(Base(team), 0, kBaseOre);
            // Where the land puts a start's own field.
            Field(Offset(Base(team), LandMaker::kOwnFieldColumns * kCell,
                         LandMaker::kOwnFieldRows * kCell));
        }
    }
    // The player's start as the start check sees it: the land with the row's fields.
    StartCheck::Layout PlayerStart() const {
        StartCheck::Layout layout{
            land.letters, {land.starts[static_cast<size_t>(starts[1])]}, fieldCells, {}};
        for (const LandMaker::LandFeature& f : land.features)
            layout.features.push_back({f.row, f.column});
        return layout;
    }
    std::string Text() const {
        return header + players + units + factories + deposits + fields + ": L\n";
    }
    static Point Offset(const Point& p, int dx, int dy) { return {p.x + dx, p.y + dy}; }

private:
    static std::string Pair(const Point& p) {
        return std::to_string(p.x) + "," + std::to_string(p.y);
    }
    static int Colour(int team, char teamClan) { return teamClan == 'T' ? team + 4 : team; }

    const LandMaker::Land& land;
    Starts starts;
    int nextSerial[5];
    int placed[5] = {};
    int factoryStock = 0;
    std::string header, players, units, factories, deposits, fields;
    std::vector<StartCheck::Cell> fieldCells;
};

// Every row's header: J, L, K, I 1, n, M, j, m, w, x.
std::string HeaderText(int mission, char clan, int landRow, int tech, int resources,
                       const Point& view, const std::string& alliances) {
    return ": H\nJ = " + std::to_string(mission) + "\nL = " + clan +
           "\nK = " + std::to_string(landRow) +
           "\nI = 1\nn = " + std::to_string(clan == 'T' ? 5 : 1) +
           "\nM = 1\nj = " + std::to_string(view.x) + "," + std::to_string(view.y) +
           "\nm = " + std::to_string(tech) + "," + std::to_string(tech) + "\n" + alliances +
           "w = " + std::to_string(resources) + "\nx = n\n";
}

// The grouping-A words: 7, 1, one 40, and a deploying unit with 0.
void GroupingA(Row& row, int team, char teamClan) {
    const Designs d = DesignsOf(teamClan);
    row.Unit(team, teamClan, d.combat, 7);
    row.Unit(team, teamClan, d.second, 7);
    row.Unit(team, teamClan, d.combat, 1);
    row.Unit(team, teamClan, d.combat, 40);
    row.Unit(team, teamClan, d.relay, 0);
}

// The grouping-B words: squads 2 and 3.
void GroupingB(Row& row, int team, char teamClan) {
    const Designs d = DesignsOf(teamClan);
    row.Unit(team, teamClan, d.combat, 2);
    row.Unit(team, teamClan, d.second, 2);
    row.Unit(team, teamClan, d.combat, 3);
}

void LocalForces(Row& row, char clan) {
    const Designs d = DesignsOf(clan);
    row.Unit(1, clan, d.combat, 0);
    row.Unit(1, clan, d.combat, 0);
    row.Unit(1, clan, d.miner, 0);
}

Row Campaign(int row, const LandMaker::Land& land, int landRow) {
    const char clan = row < 11 ? 'V' : 'T';
    const int mission = row < 11 ? row + 1 : row - 10;
    const char enemy = Other(clan);
    // At least 2: the second designs of both clans need it.
    const int tech = std::min(8, 2 + (mission - 1) * 6 / 10);
    Row r(land, land.plan.scenarioRow == row ? kOwnLandStarts
                                             : kCampaignStarts.at(static_cast<size_t>(row)));
    const Point view = Row::Offset(r.Base(1), -250, -250);
    const Designs own = DesignsOf(clan);
    const Designs foe = DesignsOf(enemy);
    std::string alliances;
    // V5: team 3 is the local team's ally (until the mission turns it).
    if (clan == 'V' && mission == 5) alliances = "s = 1,3\n";
    r.Header(HeaderText(mission, clan, landRow, tech, kStock, view, alliances), kStock);
    r.Players(2, enemy, 0);
    r.Factory(1, clan);
    LocalForces(r, clan);
    std::vector<std::string> combatJobs = {foe.combat, foe.second};
    const bool v = clan == 'V';
    switch (mission) {
        case 1:
            r.Factory(2, enemy);
            for (int i = 0; i < 3; ++i)
                r.Unit(2, enemy, foe.combat, v ? 9 : 7);
            break;
        case 2:
            r.Factory(2, enemy);
            for (int i = 0; i < 3; ++i)
                r.Unit(2, enemy, foe.combat, 7);
            r.Unit(2, enemy, foe.second, 40);
            if (!v) r.Unit(2, enemy, foe.second, 5);
            break;
        case 3:
        case 4:
            if (!v && mission == 4) combatJobs.push_back(foe.relay);
            // Mission 3 is lost by a player who does nothing: enough assembling units to
            // take the miner and then the factory, with more queued behind the hold.
            if (mission == 3) {
                combatJobs.insert(combatJobs.end(), {foe.combat, foe.second});
                for (int i = 0; i < 6; ++i)
                    r.Unit(2, enemy, i % 2 ? foe.second : foe.combat, 7);
            }
            r.Factory(2, enemy, combatJobs);
            GroupingA(r, 2, enemy);
            // V4's target: a weapons structure (code 3) of the player's.
            if (v && mission == 4) r.Unit(1, clan, Design("VPqhh-----", "Weapon Relay"), 0);
            break;
        case 5:
            if (v) {
                r.Factory(2, enemy);
                GroupingA(r, 2, enemy);
                r.Unit(2, enemy, foe.miner, 0);
                r.Unit(2, enemy, foe.repairer, 0);
                r.Players(3, 'V', 2);
                r.Factory(3, 'V');
                r.Unit(3, 'V', own.combat, 7);
                r.Unit(3, 'V', own.combat, 7);
            } else {
                r.Factory(2, enemy);
                for (int purpose = 10; purpose <= 13; ++purpose)
                    r.Unit(2, enemy, foe.combat, purpose);
                // The marked ore field: away from the start, on open ground.
                r.Deposit(Row::Offset(r.Base(1), 1600, 640), 10);
            }
            break;
        case 6:
        case 7:
            r.Factory(2, enemy);
            if (v && mission == 6) {
                GroupingA(r, 2, enemy);
                r.Unit(1, clan, own.repairer, 0);
            } else if (v) {
                r.Unit(2, enemy, foe.combat, 7);
                r.Unit(2, enemy, foe.combat, 9);
                r.Unit(2, enemy, foe.second, 9);
            } else {
                r.Unit(2, enemy, foe.relay, 0);
                r.Unit(2, enemy, foe.combat, 7);
                r.Unit(2, enemy, foe.combat, 40);
                r.Unit(2, enemy, foe.second, 4);
            }
            break;
        case 8:
            if (v) {
                r.Unit(1, clan, own.combat, 0, 54);
                r.Factory(2, enemy, {"TSbbc-----3301 9004299KillerSpider"});
                const std::string spider = Design("TSbbc-----", "Spider", "0301 9004299");
                for (int purpose : {6, 6, 40, 40, 10, 10})
                    r.Unit(2, enemy, spider, purpose);
                r.Unit(2, enemy, foe.repairer, 0);
            } else {
                r.Factory(2, enemy);
                r.Unit(2, enemy, foe.carrier, 0, 67, {"t = 2,68"});
                r.Unit(2, enemy, foe.combat, 0, 68, {"t = 2,67"});
                r.Unit(2, enemy, kFuelDepot, 0, 0, {"b = Y"});
                GroupingB(r, 2, enemy);
            }
            break;
        case 9:
            r.Factory(2, enemy);
            if (v) {
                GroupingB(r, 2, enemy);
                r.Players(4, 'T', 0);
                r.Factory(4, 'T', {"TPt-------399199212299Pod"});
                GroupingB(r, 4, 'T');
            } else {
                GroupingA(r, 2, enemy);
            }
            break;
        case 10:
            r.Factory(2, enemy);
            if (v) {
                r.Unit(2, enemy, Design("TSbbc-----", "Striker", "199199212299"), 7);
                r.Unit(2, enemy, Design("TTccfa----", "Guard", "399199212299"), 7);
                r.Unit(2, enemy, Design("TSbbc-----", "Raider", "599199212299"), 1);
            } else {
                GroupingA(r, 2, enemy);
                r.Unit(2, enemy, foe.capture, 8);
                r.Unit(2, enemy, foe.capture, 8);
            }
            break;
        case 11:
            r.Factory(2, enemy, combatJobs);
            GroupingA(r, 2, enemy);
            if (!v) {
                r.Players(3, 'V', 0);
                r.Factory(3, 'V');
                r.Unit(3, 'V', foe.carrier, 0, 60, {"t = 3,61"});
                r.Unit(3, 'V', foe.combat, 0, 61, {"t = 3,60"});
                r.Unit(3, 'V', kFuelDepot, 0, 0, {"b = Y"});
                r.Unit(3, 'V', foe.combat, 10);
                r.Unit(3, 'V', foe.combat, 11);
            }
            break;
        default:
            break;
    }
    r.Resources({1, 2});
    return r;
}

Row Tutorial(const LandMaker::Land& land, int landRow) {
    Row r(land, kCampaignStarts.at(kTutorialRow));
    const Point view = Row::Offset(r.Base(1), -250, -250);
    r.Header(HeaderText(12, 'V', landRow, 8, kTutorialStock, view, ""), kTutorialStock);
    r.Factory(1, 'V');
    const Designs foe = DesignsOf('T');
    // The enemy: units and structures far from the start, with fixed serials, no factory.
    const Point far = r.Base(2);
    const int serials[] = {176, 177, 179, 180, 182, 183};
    for (int i = 0; i < 6; ++i) {
        const Point at = Row::Offset(far, (i % 3) * 128, (i / 3) * 128);
        r.Unit(2, 'T', i < 4 ? foe.combat : foe.relay, 0, serials[i],
               i < 4 ? std::vector<std::string>{} : std::vector<std::string>{"b = Y"}, &at);
    }
    r.Resources({1});
    // The second ore field, beyond the first sight of the start.
    r.Deposit(Row::Offset(r.Base(1), 1280, 960), 127);
    return r;
}

Row MakeRow(int row, const std::vector<LandMaker::Land>& lands) {
    const int landRow = LandMaker::CampaignLandRow(row);
    const LandMaker::Land& land = lands.at(static_cast<size_t>(landRow));
    return row == kTutorialRow ? Tutorial(land, landRow) : Campaign(row, land, landRow);
}

}  // namespace

std::string RowText(int row, const std::vector<LandMaker::Land>& lands) {
    return MakeRow(row, lands).Text();
}

std::string StartFault(int row, const std::vector<LandMaker::Land>& lands) {
    return StartCheck::Fault(MakeRow(row, lands).PlayerStart(),
                             "row " + std::to_string(row) + " of the scenario pack");
}

std::vector<uint8_t> MakePack(const std::vector<LandMaker::Land>& lands) {
    PackWriter pack(1, kRows);
    for (int row = 0; row < kRows; ++row) {
        const std::string text = RowText(row, lands);
        pack.SetEntry(0, row, std::vector<uint8_t>(text.begin(), text.end()));
    }
    return pack.Build();
}

}  // namespace ScenarioPack

}  // namespace mkassets
