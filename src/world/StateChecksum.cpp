// The digest peers compare: see World::StateChecksum.
#include "objects/FactoryProduction.h"
#include "objects/GameObject.h"
#include "world/GameRecords.h"
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
//   damage value, damage limit, cargo, store, credit, facing.
// Store and credit are a factory's (its owner sends them with every change); a deposit's ore
// is its store and its credit 0; any other object has 0 and 0.
// The lists, each with its own number so that an object counts differently in another list:
//   units of teams 0 .. 4 (1), buildings of teams 0 .. 4 (2), wrecks (10), destructibles (11),
//   ore deposits (12), artifacts (13), land features (14).
// Then the pick-ups (15): each artifact taken (id team, id serial, x, y) and its taker's id.
// Then the alliances, the pause flag, the scenario's player slots and colours, and the player
// count.
//
// Left out, since each machine keeps them for itself: timers of every kind, goal queues and
// manoeuvre lists, animation frames and stages, shots in flight and explosions (the weapons and
// effects lists), taken artifacts playing their sequence, the computer players' groups, the
// owner flag, selection and fog of war. Destroyed objects the death pass has not taken yet.

namespace {

// One step of a 64-bit mix (splitmix): every input bit reaches every output bit.
uint64_t Mix(uint64_t h, int64_t value) {
    uint64_t z = h + 0x9E3779B97F4A7C15ull + static_cast<uint64_t>(value);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

using Fields = std::array<int64_t, 14>;

Fields SharedFields(GameObject& o) {
    int64_t store = o.GetStored();
    int64_t credit = 0;
    if (FactoryProduction* factory = AsFactoryProduction(&o)) {
        store = factory->GetStore();
        credit = factory->GetCredit();
    }
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
            int64_t{o.facing}};
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
    if (listing) {
        // Sorted, so that two machines' listings compare line by line.
        std::sort(lines.begin(), lines.end());
        std::string text = "local " + std::to_string(localPlayer.first) + " paused " +
                           std::to_string(world.paused) + " players " +
                           std::to_string(playerCount) + "\nalliances";
        for (int a = 0; a < World::kTeams; ++a)
            for (int b = 0; b < World::kTeams; ++b)
                text += " " + std::to_string(world.alliance[a][b]);
        text += "\n";
        for (const std::string& line : lines)
            text += line + "\n";
        *listing = std::move(text);
    }
    return h;
}
