// The digest peers compare: see World::StateChecksum.
#include "catalogue/VehicleDesign.h"
#include "objects/AirSim.h"
#include "objects/Artifact.h"
#include "objects/DeployingSim.h"
#include "objects/FactoryProduction.h"
#include "objects/GameObject.h"
#include "objects/Sim.h"
#include "world/GameRecords.h"
#include "world/MissionStats.h"
#include "world/ObjectNode.h"
#include "world/Scenario.h"
#include "world/World.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

// What the digest covers: the state every machine holds alike once every message sent before
// a pause has been applied.
//
// Per map object, in this order, after the number of its list:
//   id team, id serial, kind, team record (first, second, third), position x, position y,
//   damage value, damage limit, cargo, store, credit, facing, layer, upgrades, deployed,
//   unfold, effect, job.
// Store and credit are a factory's (its owner sends them with every change); a deposit's ore
// is its store and its credit 0; any other object has 0 and 0.
// The layer is the movement layer; a flyer between two layers counts the one it is going to,
// since its owner moves there only once every copy has (the copies at once, on its kind 18).
// Upgrades are a unit's, from the artifacts it took (0 for anything else).
// Deployed is 1 for a deploying unit going to or standing as a structure, else 0; unfold is a
// factory's 0 (folded, or folding) or 4 (unfolding, open, or a product at the door), else 0.
// Both only by the owner's word: the animations between them run on each machine's clock from
// the word's receipt, and no pause corrects them.
// Effect is a lying artifact's (1 .. 5), else 0.
// Job is a factory's product inside, the design its owner announces with kind 3 (a digest of
// its code and name), else 0: the job being built stays with its owner until the unit is made.
// The lists, each with its own number so that an object counts differently in another list:
//   units of teams 0 .. 4 (1), buildings of teams 0 .. 4 (2), wrecks (10), destructibles (11),
//   ore deposits (12), artifacts (13), land features (14).
// Then the pick-ups (15): each artifact taken (id team, id serial, x, y) and its taker's id.
// Then the alliances, the pause flag, the scenario's player slots and colours, and the player
// count. Then the game records of teams 0 .. 4: losses, units made, their build effort and
// cost (-1 for each when a team has no record).
//
// Left out, since each machine keeps them for itself: timers of every kind, goal queues and
// manoeuvre lists, animation frames and stages, shots in flight and explosions (the weapons and
// effects lists), taken artifacts playing their sequence, the computer players' groups, the
// owner flag, selection and fog of war. Destroyed objects the death pass has not taken yet.
// A unit's skill and its team's kills: only the shooter's owner counts a kill (a copy's kill
// goes to the owner as a credit, and no other machine hears of it). The mission clocks: each
// machine starts them as it receives kind 30, so they stand apart by that message's travel.
// A flyer's height between its layers, which its owner's steps reach the copies one at a time.

namespace {

// One step of a 64-bit mix (splitmix): every input bit reaches every output bit.
uint64_t Mix(uint64_t h, int64_t value) {
    uint64_t z = h + 0x9E3779B97F4A7C15ull + static_cast<uint64_t>(value);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

using Fields = std::array<int64_t, 20>;

// 64-bit FNV-1a of a text.
int64_t TextDigest(const char* text) {
    uint64_t h = 0xCBF29CE484222325ull;
    for (const char* c = text; *c; ++c)
        h = (h ^ static_cast<uint8_t>(*c)) * 0x100000001B3ull;
    return static_cast<int64_t>(h);
}

// The layer a flyer stands on once the change its owner announced is done. The owner holds
// its place on the other layer until every copy has answered; a copy that found the place
// taken keeps trying for the layer it was told.
int64_t SettledLayer(GameObject& o) {
    auto* flyer = dynamic_cast<AirSim*>(&o);
    const int layer = o.GetCollision()->layer;
    if (!flyer) return layer;
    if (o.local == 1 && !flyer->reservation.IsNull())
        return layer == flyer->airLayer ? flyer->lowLayer : flyer->airLayer;
    if (o.local != 1 && flyer->changeConfirmed == 0) return flyer->pendingLayer;
    return layer;
}

// The folding states between open and folded (FactoryProduction's 5 and 6).
constexpr int kFirstFolding = 5;
constexpr int kLastFolding = 6;

Fields SharedFields(GameObject& o) {
    int64_t store = o.GetStored();
    int64_t credit = 0;
    int64_t unfold = 0;
    int64_t job = 0;
    if (FactoryProduction* factory = AsFactoryProduction(&o)) {
        store = factory->GetStore();
        credit = factory->GetCredit();
        const int state = factory->UnfoldState();
        const bool folded = state == FactoryProduction::kFolded ||
                            (state >= kFirstFolding && state <= kLastFolding);
        unfold = folded ? FactoryProduction::kFolded : FactoryProduction::kOpen;
        VehicleDesign* design = factory->HasProduct() == 1 ? factory->CurrentJob() : nullptr;
        if (design) job = TextDigest(design->CodeString());
    }
    auto* sim = dynamic_cast<Sim*>(&o);
    auto* deploying = dynamic_cast<DeployingSim*>(&o);
    auto* artifact = dynamic_cast<Artifact*>(&o);
    const int64_t deployed = deploying && (deploying->DeployState() == DeployingSim::kDeploying ||
                                           deploying->DeployState() == DeployingSim::kDeployed)
                                 ? 1
                                 : 0;
    return {int64_t{o.id.team},
            int64_t{o.id.serial},
            int64_t{o.GetKind()},
            int64_t{o.teamRecord.first},
            int64_t{o.teamRecord.second},
            int64_t{o.teamRecord.third},
            int64_t{o.position.x},
            int64_t{o.position.y},
            int64_t{o.damage.Value()},
            int64_t{o.damage.Max()},
            int64_t{o.GetCargo()},
            store,
            credit,
            int64_t{o.facing},
            SettledLayer(o),
            sim ? int64_t{sim->upgrades} : 0,
            deployed,
            unfold,
            artifact ? int64_t{artifact->effectType} : 0,
            job};
}

uint64_t ObjectDigest(const Fields& fields, int list) {
    uint64_t h = Mix(0, list);
    for (int64_t v : fields)
        h = Mix(h, v);
    return h;
}

// A sum, so that the order in which a machine happened to link its objects does not count.
// An object already destroyed counts as gone: when the death pass takes it depends on each
// machine's clock. With a listing, one line per counted object: the list's number, then its
// fields in digest order.
uint64_t ListDigest(const NodeList& list, int number, std::vector<std::string>* listing) {
    uint64_t sum = 0;
    for (ListNode* n = list.First(); n; n = list.Next(n)) {
        GameObject& o = *static_cast<ObjectNode*>(n)->Object();
        if (o.IsDestroyed() != 0) continue;
        const Fields fields = SharedFields(o);
        sum += ObjectDigest(fields, number);
        if (listing) {
            std::string line = std::to_string(number);
            for (int64_t v : fields)
                line += " " + std::to_string(v);
            listing->push_back(line);
        }
    }
    return sum;
}

}  // namespace

uint64_t World::StateChecksum(std::string* listing) {
    World& world = *this;
    std::vector<std::string> lines;
    std::vector<std::string>* objectLines = listing ? &lines : nullptr;
    uint64_t objects = 0;
    for (int team = 0; team < World::kTeams; ++team) {
        objects += ListDigest(world.sims[team], kChecksumUnits, objectLines);
        objects += ListDigest(world.buildings[team], kChecksumBuildings, objectLines);
    }
    int number = kChecksumWrecks;
    for (const NodeList* list : {&world.wrecks, &world.destructibles, &world.oreDeposits,
                                 &world.artifacts, &world.landFeatures})
        objects += ListDigest(*list, number++, objectLines);
    for (const ArtifactAward& award : world.artifactAwards) {
        const std::array<int64_t, 6> fields = {award.artifact.team, award.artifact.serial,
                                               award.at.x,          award.at.y,
                                               award.taker.team,    award.taker.serial};
        uint64_t one = Mix(0, kChecksumAwards);
        for (int64_t v : fields)
            one = Mix(one, v);
        objects += one;
        if (objectLines) {
            std::string line = std::to_string(kChecksumAwards);
            for (int64_t v : fields)
                line += " " + std::to_string(v);
            objectLines->push_back(line);
        }
    }
    uint64_t h = Mix(0, static_cast<int64_t>(objects));
    for (int a = 0; a < World::kTeams; ++a)
        for (int b = 0; b < World::kTeams; ++b)
            h = Mix(h, world.alliance[a][b]);
    h = Mix(h, world.paused);
    if (Scenario* scenario = world.scenario.get()) {
        for (int team = 0; team < Scenario::kTeams; ++team) {
            h = Mix(h, scenario->playerSlots[team]);
            h = Mix(h, scenario->teamColours[team]);
        }
    }
    GameRecords* records = world.gameRecords;
    const int64_t playerCount =
        records && records->HasScenario() == 1 ? records->PlayerCount() : -1;
    h = Mix(h, playerCount);
    std::string recordsLine = "records";
    for (const auto& stats : world.teamStats) {
        const std::array<int64_t, 4> counters =
            stats ? std::array<int64_t, 4>{stats->losses, stats->unitsMade, stats->buildEffort,
                                           stats->buildCost}
                  : std::array<int64_t, 4>{-1, -1, -1, -1};
        for (int64_t v : counters) {
            h = Mix(h, v);
            recordsLine += " " + std::to_string(v);
        }
    }
    if (listing) {
        // Sorted, so that two machines' listings compare line by line.
        std::sort(lines.begin(), lines.end());
        std::string text = "local " + std::to_string(localPlayer.first) + " paused " +
                           std::to_string(world.paused) + " players " +
                           std::to_string(playerCount) + "\nalliances";
        for (int a = 0; a < World::kTeams; ++a)
            for (int b = 0; b < World::kTeams; ++b)
                text += " " + std::to_string(world.alliance[a][b]);
        text += "\n" + recordsLine + "\n";
        for (const std::string& line : lines)
            text += line + "\n";
        *listing = std::move(text);
    }
    return h;
}
