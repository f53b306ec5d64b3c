#include "CatalogueContent.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>
#include <set>
#include <tuple>

#include "AssetPalette.h"
#include "SoundSynth.h"

namespace mkassets {

namespace CatalogueContent {
namespace {

using CataloguePictures::Arm;
using CataloguePictures::Blast;
using CataloguePictures::Body;
using CataloguePictures::Device;
using CataloguePictures::PackKind;
using CataloguePictures::PackRequest;
using CataloguePictures::Projectile;
using CataloguePictures::Running;

// ---- the records ------------------------------------------------------------------------

struct DirectionalEffect {
    char clan, role, picture;
    int sound, delay;
    Blast look;
    // Flash frames per facing: a beam draws its line from frame 4 on, a missile's launch plays
    // on the rack and its row 0 is also the trail's puff.
    int frames;
};
const DirectionalEffect kDirectionalEffects[] = {
    {'V', 'a', 'f', 34, 0, Blast::Spark, 4},   // muzzle flash
    {'T', 'a', 'e', 38, 0, Blast::Energy, 6},  // emitter flash
    {'X', 's', 's', 57, 0, Blast::Smoke, 5},   // missile and rocket launch, missile trail
};

struct Effect {
    char clan, role, picture;
    int sound, fps, delay;
    Blast look;
    int frames, box;
    const char* firstList;
    const char* secondList;
};
const Effect kEffects[] = {
    {'X', 'b', 'b', 35, 15, 0, Blast::Spark, 5, 24, "5 0 1 2 3 4", "3 2 3 4"},
    {'X', 'c', 'c', 40, 12, 0, Blast::Fire, 8, 40, "8 0 1 2 3 4 5 6 7", "4 4 5 6 7"},
    {'X', 'd', 'd', 39, 15, 0, Blast::Energy, 6, 32, "6 0 1 2 3 4 5", "3 3 4 5"},
    // The destruction effect of units and land features.
    {'X', 'j', 'j', 41, 12, 0, Blast::Huge, 10, 72, "10 0 1 2 3 4 5 6 7 8 9", "5 5 6 7 8 9"},
};

struct ShotPicture {
    char clan, role;
    Projectile look;
    // Frames per facing: the cycling shot loops row 0, rockets and missiles in flight their
    // facing's row.
    int frames;
};
const ShotPicture kShotPictures[] = {{'X', 'a', Projectile::Bullet, 1},
                                     {'X', 'b', Projectile::Shell, 1},
                                     {'X', 'c', Projectile::Bolt, 4},
                                     {'X', 'm', Projectile::Missile, 4}};

struct DriveRow {
    char map;  // picture letter of this row's map grid
    int pairing, sizeClass, level, move;
};
struct DriveGroup {
    char clan, role;
    const char* name;
    const char* help;
    Running look;
    int layer;
    char terrain1, terrain2, terrain3;
    int lift, period, secondCost, firstCost, buildTime;
    std::vector<DriveRow> rows;
};

// Pairing numbers: 1 light, 2 medium and 3 heavy hulls; 8 the work vehicles. Aircraft (5),
// the carrier (6), relays (7) and the factories (20, 21) bring their own drive parts.
const std::vector<DriveGroup>& DriveGroups() {
    static const std::vector<DriveGroup> groups = {
        {'V',
         'W',
         "Wheels",
         "Six driven wheels: cheap, quick on roads, slow in rough ground.",
         Running::Wheels,
         1,
         'Y',
         'N',
         'Y',
         0,
         90,
         10,
         20,
         2000,
         {{'a', 1, 1, 1, 30}, {'b', 2, 2, 1, 34}, {'c', 3, 3, 2, 40}, {'a', 1, 1, 5, 22}}},
        {'V',
         'H',
         "Hover",
         "An air cushion: crosses water and marsh at speed, lightly built.",
         Running::Hover,
         1,
         'N',
         'N',
         'Y',
         3,
         70,
         16,
         24,
         3000,
         {{'d', 1, 1, 1, 24}, {'e', 2, 2, 1, 28}, {'f', 3, 3, 3, 34}}},
        {'V',
         'T',
         "Tracks",
         "Heavy tracks: slow but they carry the biggest hulls anywhere.",
         Running::Tracks,
         1,
         'Y',
         'N',
         'Y',
         0,
         110,
         14,
         30,
         3000,
         {{'g', 2, 2, 3, 44}, {'h', 3, 3, 3, 50}}},
        {'T',
         'S',
         "Skimmer",
         "Twin pontoons on repulsors: fast over land and water alike.",
         Running::Skimmer,
         1,
         'N',
         'N',
         'Y',
         3,
         70,
         14,
         22,
         2500,
         {{'a', 1, 1, 1, 24}, {'b', 2, 2, 1, 28}, {'c', 3, 3, 2, 34}, {'a', 1, 1, 6, 18}}},
        {'T',
         'T',
         "Crawler",
         "Broad crawler tracks: steady, sure and slow.",
         Running::Tracks,
         1,
         'Y',
         'N',
         'Y',
         0,
         110,
         12,
         26,
         3000,
         {{'d', 2, 2, 1, 42}, {'e', 3, 3, 1, 48}}},
        {'T',
         'L',
         "Walker",
         "Four articulated legs: climbs where wheels and tracks cannot.",
         Running::Legs,
         1,
         'Y',
         'N',
         'Y',
         0,
         120,
         20,
         30,
         4000,
         {{'f', 1, 1, 4, 30}, {'g', 2, 2, 4, 34}, {'h', 3, 3, 4, 40}}},
        {'X',
         'P',
         "Work Pads",
         // Not on the ground layer as well: a miner stands on the field it mines.
         "Four broad pads for work vehicles: slow, but never stuck.",
         Running::Pads,
         1,
         'Y',
         'N',
         'N',
         0,
         120,
         8,
         12,
         1500,
         {{'p', 8, 2, 1, 40}}},
    };
    return groups;
}

struct Chassis {
    char clan, role;
    const char* name;
    Body look;
    int pairing, level, strength, move, secondCost, firstCost, buildTime, icon;
    int layout;  // the design screen's hardpoint panel: its buttons match the capacities
    std::vector<int> capacities;
};

const std::vector<Chassis>& OrdinaryChassis() {
    static const std::vector<Chassis> list = {
        {'V', 'a', "Scout", Body::Scout, 1, 1, 60, 20, 20, 30, 4000, 27, 2, {2, 2}},
        {'V', 'b', "Trooper", Body::Tank, 2, 1, 120, 26, 30, 50, 6000, 28, 1, {1, 3}},
        {'V', 'c', "Assault", Body::Assault, 2, 1, 150, 28, 40, 60, 7000, 29, 3, {2, 3, 2}},
        {'V', 'd', "Warden", Body::Heavy, 3, 3, 260, 34, 60, 90, 10000, 30, 4, {2, 4, 4, 2}},
        {'V', 'e', "Bastion", Body::Heavy, 3, 6, 380, 38, 90, 130, 14000, 31, 5, {3, 3, 4, 3}},
        {'V', 'f', "Miner", Body::Miner, 8, 1, 150, 30, 30, 40, 6000, 32, 2, {2, 2}},
        {'V', 'h', "Scavenger", Body::Scavenger, 8, 1, 120, 30, 30, 40, 6000, 33, 0, {2}},
        {'V', 'k', "Repair Crawler", Body::Repair, 8, 2, 130, 30, 40, 50, 7000, 34, 11, {2}},
        {'V', 't', "Capture Unit", Body::Capture, 8, 5, 140, 30, 60, 60, 9000, 35, 8, {4, 4}},
        {'T', 'a', "Skiff", Body::Scout, 1, 1, 55, 18, 20, 30, 4000, 27, 2, {2, 2}},
        {'T', 'b', "Lancer", Body::Tank, 2, 1, 115, 24, 30, 50, 6000, 28, 1, {1, 3}},
        {'T', 'c', "Warder", Body::Assault, 2, 2, 160, 28, 45, 60, 7500, 29, 10, {3, 2, 2}},
        {'T', 'd', "Colossus", Body::Heavy, 3, 4, 280, 34, 65, 95, 11000, 30, 4, {2, 4, 4, 2}},
        {'T', 'e', "Monolith", Body::Heavy, 3, 7, 400, 38, 95, 140, 15000, 31, 5, {3, 3, 4, 3}},
        {'T', 'f', "Harvester", Body::Miner, 8, 1, 150, 30, 30, 40, 6000, 32, 2, {2, 2}},
        {'T', 'h', "Salvager", Body::Scavenger, 8, 1, 120, 30, 30, 40, 6000, 33, 0, {2}},
        {'T', 'k', "Mender", Body::Repair, 8, 2, 130, 30, 40, 50, 7000, 34, 11, {2}},
        {'T', 't', "Converter", Body::Capture, 8, 1, 140, 30, 60, 60, 9000, 35, 8, {4, 4}},
    };
    return list;
}

const char* AboutBody(Body body) {
    switch (body) {
        case Body::Scout:
            return "A light, fast hull for scouting and raids.";
        case Body::Tank:
            return "The line hull: armour and weapons in balance.";
        case Body::Assault:
            return "An assault hull with three mounts.";
        case Body::Heavy:
            return "A heavy hull: slow, hard to kill, heavily armed.";
        case Body::Miner:
            return "Mines ore from the fields and carries it to the factory.";
        case Body::Scavenger:
            return "Cuts wrecks apart and brings the salvage home.";
        case Body::Repair:
            return "Repairs damaged units nearby.";
        case Body::Capture:
            return "Takes over enemy units where a command relay stands.";
        case Body::Gunship:
        case Body::Bomber:
            return "An aircraft: flies over everything, must return to refuel.";
        case Body::Carrier:
            return "Lifts a vehicle and carries it across the map.";
        case Body::Relay:
            return "Deploys into a relay that serves every unit of its team.";
        case Body::Factory:
            return "The clan's mobile factory.";
    }
    return "";
}

struct Aircraft {
    char clan, role, panel;
    const char* name;
    Body look;
    int level, strength, move, secondCost, firstCost, buildTime, icon;
};
// The drive part made after the section takes the last record's level: the lowest comes last.
// The gunships' panel letters name packs that differ from the relays' panels only by case
// ("7a0uVCmX" and "7a0UVCmX"): both are written, and each is found under its own name.
const Aircraft kAircraft[] = {
    {'V', 'w', 'w', "Bomber", Body::Bomber, 6, 160, 14, 90, 120, 12000, 36},
    {'T', 'w', 'w', "Stormwing", Body::Bomber, 6, 150, 12, 90, 120, 12000, 36},
    {'V', 'p', 'm', "Gunship", Body::Gunship, 3, 90, 10, 50, 70, 8000, 37},
    {'T', 'p', 'q', "Dartwing", Body::Gunship, 3, 85, 9, 50, 70, 8000, 37},
};
constexpr char kAircraftDrive = 'A';
constexpr int kAircraftPairing = 5;

struct Carrier {
    char clan, role;
    const char* name;
    int sound, level, strength, move, secondCost, firstCost, buildTime, icon;
};
// Carriers are VARNOK's.
const Carrier kCarriers[] = {{'V', 'g', "Carrier", 31, 4, 200, 14, 80, 100, 11000, 38}};
constexpr char kCarrierDrive = 'C';
constexpr int kCarrierPairing = 6;

struct Relay {
    char clan, role;
    const char* name;
    int structure, level, strength, sound;
    int layout;  // the design screen's hardpoint panel
    std::vector<int> capacities;
};
// One relay per structure code and clan: 0 sensors, 1 stealth, 2 defence, 3 weapons above
// level 2, 4 refuelling, 5 capture.
const std::vector<Relay>& Relays() {
    static const std::vector<Relay> list = {
        {'V', 'm', "Detection Relay", 0, 1, 200, 47, 2, {2, 2}},
        {'V', 'n', "Shroud Relay", 1, 3, 200, 47, 2, {2, 2}},
        {'V', 'o', "Aegis Relay", 2, 4, 240, 47, 2, {2, 2}},
        {'V', 'q', "Weapon Relay", 3, 1, 220, 48, 8, {4, 4}},
        {'V', 'r', "Fuel Depot", 4, 3, 200, 48, 11, {2}},
        {'V', 's', "Command Relay", 5, 5, 240, 48, 0, {2}},
        {'T', 'm', "Watch Spire", 0, 1, 200, 47, 2, {2, 2}},
        {'T', 'n', "Veil Spire", 1, 3, 200, 47, 2, {2, 2}},
        {'T', 'o', "Ward Spire", 2, 4, 240, 47, 2, {2, 2}},
        {'T', 'q', "War Spire", 3, 1, 220, 48, 8, {4, 4}},
        {'T', 'r', "Fuel Spire", 4, 3, 200, 48, 11, {2}},
        {'T', 's', "Will Spire", 5, 1, 240, 48, 0, {2}},
    };
    return list;
}
constexpr char kRelayDrive = 'P';
constexpr int kRelayPairing = 7;
constexpr int kRelayIcon = 40;  // the unit panel's relay picture

struct Weapon {
    char clan, role;
    const char* name;
    const char* shortText;
    Arm look;
    int size, level, reload, range, travel, power, shotLayer;
    char fireEffect, explosion, projectile, kind;
};
// Kind letters 'i' impact, 'l' energy and 'm' missile name the defence items that stop them;
// no item or weapon letter is reused, so design codes stay unambiguous.
const Weapon kWeapons[] = {
    {'V', 'a', "Chaingun", "Chain", Arm::Gun, 1, 1, 300, 140, 10, 6, 1, 'a', 'b', 'a', 'i'},
    {'V', 'b', "Twin Gun", "Twin", Arm::Twin, 1, 1, 600, 160, 12, 10, 1, 'a', 'b', 'b', 'i'},
    {'V', 'c', "Laser", "Laser", Arm::Beam, 2, 2, 700, 180, 6, 16, 1, 'a', 'd', 'c', 'l'},
    {'V', 'd', "Lobber", "Lobber", Arm::Cannon, 2, 1, 1800, 260, 20, 30, 1, 'a', 'c', 'b', 'i'},
    {'V', 'e', "Hornet", "Hornet", Arm::Missile, 2, 1, 1500, 220, 14, 22, 2, 's', 'c', 'm', 'm'},
    {'V', 'f', "Spinner", "Spinner", Arm::Spinner, 3, 4, 250, 150, 10, 12, 1, 'a', 'b', 'a', 'i'},
    {'V', 'g', "Seeker", "Seeker", Arm::Missile, 3, 6, 2200, 300, 12, 45, 3, 's', 'j', 'm', 'm'},
    {'V', 'h', "Rockets", "Rocket", Arm::Rocket, 2, 1, 2000, 200, 16, 26, 1, 's', 'c', 'm', 'm'},
    {'T', 'a', "Burster", "Burst", Arm::Gun, 1, 1, 400, 140, 10, 7, 1, 'a', 'b', 'a', 'i'},
    {'T', 'b', "Cannon", "Cannon", Arm::Twin, 1, 1, 700, 170, 12, 11, 1, 'a', 'b', 'b', 'i'},
    {'T', 'c', "Beam Gun", "Beam", Arm::Beam, 2, 1, 900, 170, 5, 18, 1, 'a', 'd', 'c', 'l'},
    {'T', 'd', "Mortar", "Mortar", Arm::Cannon, 2, 2, 2000, 280, 22, 32, 1, 'a', 'c', 'b', 'i'},
    {'T', 'e', "Pulser", "Pulser", Arm::Pulse, 2, 3, 1200, 190, 8, 24, 1, 'a', 'd', 'c', 'l'},
    {'T', 'f', "Hawk", "Hawk", Arm::Missile, 2, 1, 1500, 230, 14, 22, 2, 's', 'c', 'm', 'm'},
    {'T', 'g', "Harpoon", "Harpoon", Arm::Missile, 3, 6, 2200, 300, 12, 46, 3, 's', 'j', 'm', 'm'},
    {'T', 'h', "Volley", "Volley", Arm::Rocket, 2, 4, 2000, 210, 16, 27, 1, 's', 'c', 'm', 'm'},
};

struct Item {
    int section;  // 10 sensor, 11 defence, 12 stealth
    char role;
    const char* name;
    const char* shortText;
    const char* about;
    Device look;
    int size, level, value;  // value: the sensor's reach
    char shaded;
    const char* frameList;  // defence items: frames per second, count, frames
};
const Item kItems[] = {
    {10, 'u', "Infrared", "Infra", "Finds units hidden by stealth items.", Device::Sensor, 1, 1, 3,
     'N', ""},
    {10, 'v', "Radar", "Radar", "Extends the view of its team.", Device::Sensor, 1, 1, 5, 'N', ""},
    {10, 'w', "Scanner", "Scan", "Sees through cloaks across the map.", Device::Sensor, 2, 5, 8,
     'N', ""},
    {11, 'i', "Armour", "Armour", "Absorbs bullets and shells.", Device::Shield, 1, 2, 0, 'N',
     "10 4 0 1 2 3"},
    {11, 'l', "Screen", "Screen", "Absorbs lasers and beams.", Device::Shield, 1, 3, 0, 'Y',
     "12 4 0 1 2 3"},
    {11, 'm', "Jammer", "Jammer", "Turns missiles and rockets aside.", Device::Shield, 2, 4, 0, 'Y',
     "10 4 3 2 1 0"},
    {12, 'k', "Dampener", "Dampen", "Hides the unit from plain sight.", Device::Cloak, 1, 2, 0, 'N',
     ""},
    {12, 'y', "Mirage", "Mirage", "Hides the unit from radar.", Device::Cloak, 1, 5, 0, 'N', ""},
    {12, 'z', "Ghost", "Ghost", "Hides the unit from every sensor.", Device::Cloak, 2, 7, 0, 'N',
     ""},
};

struct Building {
    char letter;
    const char* name;
    int pairing, move, hitPoints, sound1, sound2, icon;
    int layout;  // the design screen's hardpoint panel
    std::vector<int> capacities;
    int parts;  // the rest are extra parts
};
const Building kBuildings[] = {
    {'V', "VARNOK Factory", 20, 60, 2000, 32, 33, 39, 3, {2, 3, 2}, 2},
    {'T', "TELMIRA Factory", 21, 60, 2000, 32, 33, 39, 4, {2, 4, 4, 2}, 3},
};
constexpr int kBodyFrames = 6;
constexpr int kDoorFrames = 4;
constexpr int kWreckFrames = 4;

struct Design {
    const char* code;  // drive, chassis and hardpoints; the parameters are the defaults
    const char* name;
};
const Design kVarnokDesigns[] = {
    {"VPfaa-----", "Miner"},           {"VWau------", "Scout Infrared"},
    {"VWav------", "Scout Radar"},     {"VHcedb----", "Assault Hover"},
    {"VPmv------", "Detection Relay"}, {"VPqhh-----", "Weapon Relay"},
    {"VWbab-----", "Trooper"},         {"VPha------", "Scavenger"},
    {"VTdddfa---", "Warden"},          {"VAp-------", "Gunship"},
    {"VCg-------", "Carrier"},         {"VPn-------", "Shroud Relay"},
    {"VPo-------", "Aegis Relay"},     {"VPr-------", "Fuel Depot"},
    {"VPs-------", "Command Relay"},   {"VPt-------", "Capture Unit"},
    {"VPk-------", "Repair Crawler"},
};
const Design kTelmiraDesigns[] = {
    {"TPfaa-----", "Harvester"},  {"TSaau-----", "Skiff Infrared"}, {"TSbbc-----", "Lancer"},
    {"TPt-------", "Converter"},  {"TPmcc-----", "Watch Spire"},    {"TPqff-----", "War Spire"},
    {"TTccfa----", "Warder"},     {"TPha------", "Salvager"},       {"TAp-------", "Dartwing"},
    {"TPn-------", "Veil Spire"}, {"TPo-------", "Ward Spire"},     {"TPr-------", "Fuel Spire"},
    {"TPs-------", "Will Spire"}, {"TPk-------", "Mender"},
};
constexpr const char* kDefaultParameters = "399199212299";

// ---- the writer -------------------------------------------------------------------------

// Help texts are formats: they carry exactly the conversions the reader passes.
constexpr const char* kChassisHelp = "Strength %d. Costs %d credits and %d ore; builds in %d s.";
constexpr const char* kWeaponHelp =
    "Size %d. Costs %d credits and %d ore; builds in %d s. Range %d, power %d, reload %d s.";
constexpr const char* kItemHelp = "Size %d. Costs %d credits and %d ore; builds in %d s.";
constexpr const char* kSensorHelp =
    "Size %d. Costs %d credits and %d ore; builds in %d s. Sees %d.";

// The design screen writes an entry's two help texts side by side, 118 pixels apart, so each
// is broken into lines of at most 18 characters (a number counted as up to five digits) at its
// blanks; the string table turns the "\\n" marks into line breaks.
std::string Wrapped(const std::string& text) {
    constexpr int kColumn = 18;
    std::string out;
    int used = 0;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(' ', at);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(at, end - at);
        int width = static_cast<int>(word.size());
        for (size_t d = word.find("%d"); d != std::string::npos; d = word.find("%d", d + 2))
            width += 3;
        if (used > 0 && used + 1 + width > kColumn) {
            out += "\\n";
            used = 0;
        } else if (used > 0) {
            out += ' ';
            ++used;
        }
        out += word;
        used += width;
        at = end + 1;
    }
    return out;
}

class Writer {
public:
    Content content;

    void Line(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        char buffer[1024];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        content.catalogue += buffer;
        content.catalogue += '\n';
    }
    void Comment(const char* text) { Line("# %s", text); }
    void End() { content.catalogue += "*\n"; }
    void Numbers(const std::vector<int>& numbers) {
        std::string line;
        for (int n : numbers)
            line += std::to_string(n) + " ";
        Line("%s", line.c_str());
    }

    // The line of a text, shared by every record that uses the same text.
    // A help text, broken into the design screen's column.
    int Help(const std::string& text) { return Text(Wrapped(text)); }
    int Text(const std::string& text) {
        const auto found = lines.find(text);
        if (found != lines.end()) return found->second;
        const int line = nextLine++;
        if (line > kLastTextLine) content.error = "the catalogue's texts overflow the string table";
        lines.emplace(text, line);
        content.textLines.emplace_back(line, text);
        return line;
    }
    // A mounted part's name: the unit panel writes two of them side by side on a line.
    int PartName(const char* name) {
        if (std::strlen(name) > static_cast<size_t>(CataloguePictures::kPanelNameLength))
            content.error = std::string("the part name \"") + name + "\" is too long";
        return Text(name);
    }
    // A mounted part's label on the design screen: the part's own name, or a shortening of it.
    int ShortText(const char* name, const char* shortText) {
        if (!ShortTextNamesPart(name, shortText))
            content.error =
                std::string("the short text \"") + shortText + "\" does not name \"" + name + "\"";
        return Text(shortText);
    }
    void Sound(int number) {
        if (number >= 0) sounds.insert(number);
    }
    void Pack(const std::string& name, const PackRequest& request) {
        if (packNames.insert(name).second) content.packs.emplace_back(name, request);
    }
    void Finish() { content.soundNumbers.assign(sounds.begin(), sounds.end()); }

private:
    std::map<std::string, int> lines;
    int nextLine = kFirstTextLine;
    std::set<int> sounds;
    std::set<std::string> packNames;
};

std::string Name(const char* format, char a, char b = '\0') {
    std::string name;
    const char letters[2] = {a, b};
    int next = 0;
    for (const char* p = format; *p; ++p) {
        if (p[0] == '%' && p[1] == 'c') {
            name += letters[next++ % 2];
            ++p;
        } else if (p[0] == '%' && p[1] == 's') {
            name += '\\';  // the catalogue's path separator: the pack lies in a directory
            ++p;
        } else {
            name += *p;
        }
    }
    return name;
}

PackRequest Request(PackKind kind, int variant, char clan, int size = 0, int frames = 1) {
    PackRequest r;
    r.kind = kind;
    r.variant = variant;
    r.clan = clan;
    r.size = size;
    r.frames = frames;
    return r;
}

// A table of 16 points: `point` turned to each facing, in a box's frame (the reader subtracts
// half the box again).
std::vector<int> FacingTable(UnitPainter::Offset point, int box) {
    std::vector<int> numbers;
    for (int f = 0; f < CataloguePictures::kFacings; ++f) {
        const UnitPainter::Offset o = UnitPainter::Turn(point.x, point.y, f, 1.0);
        numbers.push_back(box / 2 + static_cast<int>(std::lround(o.x)));
        numbers.push_back(box / 2 + static_cast<int>(std::lround(o.y)));
    }
    return numbers;
}

// A hardpoint line: capacity, then the mount offsets of the 16 facings.
std::string HardpointLine(int capacity, Body body, int count, int index) {
    std::string line = " " + std::to_string(capacity);
    const int box = CataloguePictures::BodyBox(body);
    for (int n : FacingTable(CataloguePictures::MountPoint(body, count, index), box))
        line += " " + std::to_string(n);
    return line;
}

// Design-screen mount points: the hardpoints at the panel facing and scale, in the panel frame.
std::vector<int> PanelPoints(Body body, int count) {
    const int box = CataloguePictures::BodyBox(body) * CataloguePictures::kPanelScale;
    std::vector<int> numbers;
    for (int i = 0; i < count; ++i) {
        const UnitPainter::Offset m = CataloguePictures::MountPoint(body, count, i);
        const UnitPainter::Offset o = UnitPainter::Turn(m.x, m.y, CataloguePictures::kPanelFacing,
                                                        CataloguePictures::kPanelScale);
        numbers.push_back(box / 2 + static_cast<int>(std::lround(o.x)));
        numbers.push_back(box / 2 + static_cast<int>(std::lround(o.y)));
    }
    return numbers;
}

// The second point table: the hardpoints in the unit panel, where the parts' pictures stand under
// the chassis icon with their names below them.
std::vector<int> SecondPoints(int count) {
    std::vector<int> numbers;
    for (int i = 0; i < count; ++i) {
        const UnitPainter::Offset o = CataloguePictures::UnitPanelPoint(count, i);
        numbers.push_back(static_cast<int>(std::lround(o.x)));
        numbers.push_back(static_cast<int>(std::lround(o.y)));
    }
    return numbers;
}

Body BodyOfChassisLetter(char letter) {
    for (const Chassis& c : OrdinaryChassis()) {
        if (c.role == letter) return c.look;
    }
    for (const Aircraft& a : kAircraft) {
        if (a.role == letter) return a.look;
    }
    for (const Carrier& c : kCarriers) {
        if (c.role == letter) return Body::Carrier;
    }
    return Body::Relay;
}

void WriteEffects(Writer& w) {
    w.Comment("1: directional effects");
    for (const DirectionalEffect& e : kDirectionalEffects) {
        w.Line("%c %c %c %d %d", e.clan, e.role, e.picture, SoundSynth::MovedEffect(e.sound),
               e.delay);
        // Firing flashes stand a little ahead of the unit's centre.
        w.Numbers(FacingTable({e.role == 's' ? -4.0 : 2.0, 0}, 24));
        w.Sound(SoundSynth::MovedEffect(e.sound));
        w.Pack(Name("7a0E%cX%cX99s999.msp", e.clan, e.picture),
               Request(PackKind::FiringFlash, static_cast<int>(e.look), e.clan, 24, e.frames));
    }
    w.End();
    w.Comment("2: effects");
    for (const Effect& e : kEffects) {
        w.Line("%c %c %c %d %d %d", e.clan, e.role, e.picture, SoundSynth::MovedEffect(e.sound),
               e.fps, e.delay);
        w.Line("%s", e.firstList);
        w.Line("%s", e.secondList);
        w.Sound(SoundSynth::MovedEffect(e.sound));
        w.Pack(Name("7a0M%cX%cX99s999.msp", e.clan, e.picture),
               Request(PackKind::Explosion, static_cast<int>(e.look), e.clan, e.box, e.frames));
    }
    w.End();
    w.Comment("3: shot pictures");
    for (const ShotPicture& s : kShotPictures) {
        w.Line("%c %c", s.clan, s.role);
        w.Pack(Name("7a0P%cP%cX99s999.msp", s.clan, s.role),
               Request(PackKind::Shot, static_cast<int>(s.look), s.clan, 0, s.frames));
    }
    w.End();
}

void WriteDrives(Writer& w) {
    w.Comment("4: drive parts");
    for (const DriveGroup& g : DriveGroups()) {
        w.Line("%d", w.Text(g.name));
        w.Line("%d", w.Help(g.help));
        w.Line("%d", w.Help(std::string(g.name) + ": pairs with hulls of its size."));
        w.Line("%c %c", g.clan, g.role);
        for (size_t i = 0; i < g.rows.size(); ++i) {
            const DriveRow& r = g.rows[i];
            // The first row carries the design-screen pictures; later rows are variants with
            // their own map pictures for their hull size.
            const char panel = i == 0 ? r.map : '-';
            const int box = CataloguePictures::RunningBox(r.sizeClass);
            w.Line("%c %c %d %d %d %d %d %d %c %c %d %d %c %d %d %c %c %d", panel, r.map, r.pairing,
                   g.secondCost, g.firstCost, g.buildTime, r.move, 0, g.terrain1, g.terrain2,
                   box / 2 + g.lift, g.layer, g.terrain3, 0, g.period, 'N', 'N', r.level);
            w.Pack(Name("7a0R%cT%cX99s999.msp", g.clan, r.map),
                   Request(PackKind::RunningMap, static_cast<int>(g.look), g.clan, r.sizeClass));
            if (panel != '-') {
                w.Pack(
                    Name("7a0u%cT%cX99s999.msp", g.clan, panel),
                    Request(PackKind::RunningPanel, static_cast<int>(g.look), g.clan, r.sizeClass));
            }
        }
        w.End();
    }
    w.End();
}

void WriteChassis(Writer& w) {
    w.Comment("5: chassis");
    for (const Chassis& c : OrdinaryChassis()) {
        const int count = static_cast<int>(c.capacities.size());
        w.Line("%d", w.Text(c.name));
        w.Line("%c %c %d %d %d %d %d %d %d %d %d", c.clan, c.role, c.pairing, c.secondCost,
               c.firstCost, c.buildTime, c.strength, c.move, c.layout, c.icon, c.level);
        w.Line("%d", w.Help(kChassisHelp));
        w.Line("%d", w.Help(AboutBody(c.look)));
        w.Numbers(PanelPoints(c.look, count));
        std::vector<int> slots;
        for (int i = 0; i < count; ++i)
            slots.push_back(i);
        w.Numbers(slots);
        w.Numbers(SecondPoints(count));
        for (int i = 0; i < count; ++i)
            w.Line("%s",
                   HardpointLine(c.capacities[static_cast<size_t>(i)], c.look, count, i).c_str());
        w.End();
        w.Pack(Name("7a0R%cC%cX99s999.msp", c.clan, c.role),
               Request(PackKind::BodyMap, static_cast<int>(c.look), c.clan));
        w.Pack(Name("7a0u%cC%cX99s999.msp", c.clan, c.role),
               Request(PackKind::BodyPanel, static_cast<int>(c.look), c.clan));
    }
    w.End();
}

void WriteWeapons(Writer& w) {
    w.Comment("6: weapons");
    for (const Weapon& x : kWeapons) {
        w.Line("%d", w.PartName(x.name));
        w.Line("%d", w.ShortText(x.name, x.shortText));
        w.Line("%c %c %d %d %d %d %d %d %d %c %c %c %d %c %d %d", x.clan, x.role, 6 * x.size + 4,
               10 * x.size + 6, 1500 + 1000 * x.size, x.reload, x.range, x.travel, x.power,
               x.fireEffect, x.explosion, x.projectile, x.size, x.kind, x.shotLayer, x.level);
        w.Line("%d", w.Help(kWeaponHelp));
        w.Numbers(FacingTable(CataloguePictures::MuzzlePoint(x.look, x.size),
                              CataloguePictures::ArmBox(x.size)));
        const int look = static_cast<int>(x.look);
        w.Pack(Name("7a0R%cW%cX99s999.msp", x.clan, x.role),
               Request(PackKind::ArmMap, look, x.clan, x.size));
        w.Pack(Name("7a0u%cW%cX99s999.msp", x.clan, x.role),
               Request(PackKind::ArmPanel, look, x.clan, x.size));
        w.Pack(Name("7a0u%s7a0u%cN%cX00s000.msp", x.clan, x.role),
               Request(PackKind::PanelBitmap, look, x.clan, x.size, 0));
    }
    w.End();
}

void WriteAirAndCarriers(Writer& w) {
    w.Comment("7: aircraft");
    for (const Aircraft& a : kAircraft) {
        w.Line("%d", w.Text(a.name));
        w.Line("%c %c", a.clan, kAircraftDrive);
        w.Line("%c %c %d %d %d %d %d %d %d %d", a.panel, a.role, kAircraftPairing, a.secondCost,
               a.firstCost, a.buildTime, a.move, a.strength, a.icon, a.level);
        w.Line("%d", w.Help(AboutBody(a.look)));
        w.Line("%d", w.Help(std::string(a.name) + " carries no mounts."));
        w.Pack(Name("7a0R%cC%cX99s999.msp", a.clan, a.role),
               Request(PackKind::BodyMap, static_cast<int>(a.look), a.clan));
        w.Pack(Name("7a0u%cC%cX99s999.msp", a.clan, a.panel),
               Request(PackKind::BodyPanel, static_cast<int>(a.look), a.clan));
    }
    w.End();
    w.Comment("8: carriers");
    for (const Carrier& c : kCarriers) {
        w.Line("%d", w.Text(c.name));
        w.Line("%c %c", c.clan, kCarrierDrive);
        w.Line("%c %c %d %d %d %d %d %d %d %d %d", c.role, c.role, SoundSynth::MovedEffect(c.sound),
               kCarrierPairing, c.secondCost, c.firstCost, c.buildTime, c.move, c.strength, c.level,
               c.icon);
        w.Line("%d", w.Help(AboutBody(Body::Carrier)));
        w.Line("%d", w.Help(std::string(c.name) + " carries no mounts."));
        w.Sound(SoundSynth::MovedEffect(c.sound));
        w.Pack(Name("7a0R%cC%cX99s999.msp", c.clan, c.role),
               Request(PackKind::BodyMap, static_cast<int>(Body::Carrier), c.clan));
        w.Pack(Name("7a0u%cC%cX99s999.msp", c.clan, c.role),
               Request(PackKind::BodyPanel, static_cast<int>(Body::Carrier), c.clan));
        w.Pack(Name("7a0A%cC%cX99s999.msp", c.clan, c.role),
               Request(PackKind::CarrierDeck, 0, c.clan));
    }
    w.End();
}

void WriteRelays(Writer& w) {
    w.Comment("9: deploying chassis");
    const Body look = Body::Relay;
    const int box = CataloguePictures::BodyBox(look);
    for (const Relay& r : Relays()) {
        const int count = static_cast<int>(r.capacities.size());
        w.Line("%d", w.Text(r.name));
        w.Line("%c %c", r.clan, kRelayDrive);
        w.Line("%c %c %d %d %d %d %d %d %d %d %d %d %d %d %d", r.role, r.role,
               SoundSynth::MovedEffect(r.sound), kRelayPairing, 40, 60, 8000, 40, r.strength,
               r.structure, r.layout, count, CataloguePictures::kDeployFrames, kRelayIcon, r.level);
        w.Line("%d", w.Help(AboutBody(look)));
        w.Line("%d", w.Help(std::string(r.name) + ": deploy it where its team needs it."));
        // Deployed mount points: in the frame of the standing relay; per deploy frame, rising
        // from the crate.
        std::vector<int> deployed;
        for (int i = 0; i < count; ++i) {
            const UnitPainter::Offset m = CataloguePictures::MountPoint(look, count, i);
            const UnitPainter::Offset o =
                UnitPainter::Turn(m.x, m.y, CataloguePictures::kPanelFacing, 1.0);
            deployed.push_back(box / 2 + static_cast<int>(std::lround(o.x)));
            deployed.push_back(box / 2 + static_cast<int>(std::lround(o.y)));
        }
        w.Numbers(deployed);
        for (int i = 0; i < count; ++i) {
            std::vector<int> frames;
            for (int f = 0; f < CataloguePictures::kDeployFrames; ++f) {
                frames.push_back(deployed[static_cast<size_t>(2 * i)]);
                frames.push_back(deployed[static_cast<size_t>(2 * i + 1)] + (3 - f));
            }
            w.Numbers(frames);
        }
        w.Numbers(PanelPoints(look, count));
        w.Numbers(SecondPoints(count));
        for (int i = 0; i < count; ++i)
            w.Line("%s",
                   HardpointLine(r.capacities[static_cast<size_t>(i)], look, count, i).c_str());
        w.End();
        w.Sound(SoundSynth::MovedEffect(r.sound));
        const int variant = static_cast<int>(look);
        w.Pack(Name("7a0R%cC%cX99s999.msp", r.clan, r.role),
               Request(PackKind::BodyMap, variant, r.clan, r.structure));
        w.Pack(Name("7a0U%cC%cX99s999.msp", r.clan, r.role),
               Request(PackKind::BodyPanel, variant, r.clan, r.structure));
        w.Pack(Name("7a0A%cC%cX99s999.msp", r.clan, r.role),
               Request(PackKind::RelayDeployed, variant, r.clan, r.structure));
        w.Pack(Name("7a0A%cD%cX99s999.msp", r.clan, r.role),
               Request(PackKind::RelayUnder, variant, r.clan));
        w.Pack(Name("7a0R%cD%cX99s999.msp", r.clan, r.role),
               Request(PackKind::RelayPad, variant, r.clan));
    }
    w.End();
}

void WriteItems(Writer& w) {
    for (int section = 10; section <= 12; ++section) {
        w.Comment(section == 10   ? "10: sensor items"
                  : section == 11 ? "11: defence items"
                                  : "12: stealth items");
        for (const Item& it : kItems) {
            if (it.section != section) continue;
            const int second = 5 * it.size + 5, first = 8 * it.size + 4,
                      time = 1000 + 1000 * it.size;
            w.Line("%d", w.PartName(it.name));
            w.Line("%d", w.ShortText(it.name, it.shortText));
            if (section == 10)
                w.Line("X %c %d %d %d %d %d %d ", it.role, second, first, time, it.value, it.size,
                       it.level);
            else if (section == 11)
                w.Line("X %c %d %d %d %d %c %d ", it.role, second, first, time, it.size, it.shaded,
                       it.level);
            else
                w.Line("X %c %d %d %d %d %d ", it.role, second, first, time, it.size, it.level);
            if (section == 11) w.Line("%s", it.frameList);
            w.Line("%d", w.Help(section == 10 ? kSensorHelp : kItemHelp));
            w.Line("%d", w.Help(it.about));
            const int look = static_cast<int>(it.look);
            w.Pack(Name("7a0RXA%cX99s999.msp", it.role), Request(PackKind::DeviceMap, look, 'X'));
            w.Pack(Name("7a0uXA%cX99s999.msp", it.role), Request(PackKind::DevicePanel, look, 'X'));
            w.Pack(Name("7a0u%s7a0uxn%cx00s000.msp", it.role),
                   Request(PackKind::PanelBitmap, look, 'X', 0, 1));
            if (section == 11)
                w.Pack(Name("7a0AXA%cX99s999.msp", it.role),
                       Request(PackKind::ShieldGlow, look, 'X', 0, 4));
        }
        w.End();
    }
}

void WriteBuildings(Writer& w) {
    w.Comment("13: buildings");
    const Body look = Body::Factory;
    for (const Building& b : kBuildings) {
        const int all = static_cast<int>(b.capacities.size());
        w.Line("%d", w.Text(b.name));
        w.Line("%c %d %d %d %d %d %d %d %d %d %d %d %d %d %d", b.letter, b.pairing, b.move,
               b.hitPoints, CataloguePictures::kFactoryBodyOffset.x,
               CataloguePictures::kFactoryBodyOffset.y, CataloguePictures::kFactoryDoorOffset.x,
               CataloguePictures::kFactoryDoorOffset.y, SoundSynth::MovedEffect(b.sound1),
               SoundSynth::MovedEffect(b.sound2), b.layout, b.parts, all - b.parts, kDoorFrames,
               b.icon);
        w.Numbers(PanelPoints(look, all));
        w.Numbers(SecondPoints(all));
        for (int i = 0; i < all; ++i)
            w.Line("%s", HardpointLine(b.capacities[static_cast<size_t>(i)], look, all, i).c_str());
        // The door mount table: the mounts of the open factory stand on its roof corners.
        for (int frame = 0; frame < kDoorFrames; ++frame) {
            std::vector<int> points;
            for (int i = 0; i < all; ++i) {
                points.push_back(i % 2 ? 40 : -40);
                points.push_back((i / 2) * 30 - 40 + frame);
            }
            w.Numbers(points);
        }
        w.Sound(SoundSynth::MovedEffect(b.sound1));
        w.Sound(SoundSynth::MovedEffect(b.sound2));
        w.Pack(Name("7a0R%cMMX99s999.msp", b.letter),
               Request(PackKind::FactoryFolded, 0, b.letter));
        w.Pack(Name("7a0U%cMMX99s999.msp", b.letter), Request(PackKind::FactoryPanel, 0, b.letter));
        w.Pack(Name("7a0B%cMMX99s999.msp", b.letter),
               Request(PackKind::FactoryPieces, 0, b.letter));
        w.Pack(Name("7a0A%cMAX99s999.msp", b.letter),
               Request(PackKind::FactoryBody, 0, b.letter, 0, kBodyFrames));
        w.Pack(Name("7a0A%cMBX99s999.msp", b.letter),
               Request(PackKind::FactoryDoor, 0, b.letter, 0, kDoorFrames));
    }
    w.End();
}

void WriteWrecksAndFixed(Writer& w) {
    w.Comment("14: wrecks, one for every chassis letter of either clan");
    std::set<char> letters;
    for (const Chassis& c : OrdinaryChassis())
        letters.insert(c.role);
    for (const Aircraft& a : kAircraft)
        letters.insert(a.role);
    for (const Carrier& c : kCarriers)
        letters.insert(c.role);
    for (const Relay& r : Relays())
        letters.insert(r.role);
    for (char letter : letters) {
        w.Line("X %c %d", letter, 0);
        w.Pack(Name("7a0BXC%cX99s999.msp", letter),
               Request(PackKind::Wreck, static_cast<int>(BodyOfChassisLetter(letter)), 'X', 0,
                       kWreckFrames));
    }
    w.End();
    w.Comment("15: destructible objects");
    w.Line("X a");
    w.Line("X b");
    w.End();

    struct Fixed {
        const char* name;
        PackRequest request;
    };
    const Fixed fixed[] = {
        {"7a0axfkx99s999.msp", Request(PackKind::WorkGrid, static_cast<int>(Body::Repair), 'X')},
        {"7a0axchx99s999.msp", Request(PackKind::WorkGrid, static_cast<int>(Body::Scavenger), 'X')},
        {"7a0axcfx99s999.msp", Request(PackKind::WorkGrid, static_cast<int>(Body::Miner), 'X')},
        {"7a0kxxxx99s999.msp", Request(PackKind::SmokeGrid, 0, 'X')},
        {"7a0axeax99s999.msp", Request(PackKind::Artifact, 0, 'X')},
        {"7a0axtcx99s999.msp", Request(PackKind::OreDeposit, 0, 'X', 0, 15)},
        {"7a0axtmx99s999.msp", Request(PackKind::OreField, 0, 'X', 0, 6)},
        {"7a0sxbxx99s999.msp", Request(PackKind::LevelBar, 0, 'X', 0, 5)},
        {"7a0sxmxx99s999.msp", Request(PackKind::LevelMeter, 0, 'X', 0, 6)},
    };
    for (const Fixed& f : fixed)
        w.Pack(f.name, f.request);
    w.Sound(56);  // the artifact sound
}

std::string DesignFile(const Design* designs, size_t count) {
    std::string text = "# vehicle design strings\n";
    // The reader puts each line at the front: written last-first, the list keeps this order.
    for (size_t i = count; i-- > 0;) {
        text += std::string(designs[i].code) + kDefaultParameters + designs[i].name + "\n";
    }
    text += "*\nStarter\n";
    for (size_t i = 0; i < std::min<size_t>(count, 4); ++i)
        text += std::to_string(i) + "\n";
    text += "*\n*\n\n*\n";
    return text;
}

Content Build() {
    Writer w;
    w.Comment("Template catalogue of the sample data set: both clans, tech levels 1 to 8.");
    WriteEffects(w);
    WriteDrives(w);
    WriteChassis(w);
    WriteWeapons(w);
    WriteAirAndCarriers(w);
    WriteRelays(w);
    WriteItems(w);
    WriteBuildings(w);
    WriteWrecksAndFixed(w);
    w.Finish();
    w.content.designFiles.emplace_back("Vs.vdf",
                                       DesignFile(kVarnokDesigns, std::size(kVarnokDesigns)));
    w.content.designFiles.emplace_back("Ts.vdf",
                                       DesignFile(kTelmiraDesigns, std::size(kTelmiraDesigns)));
    return w.content;
}

}  // namespace

bool ShortTextNamesPart(const std::string& name, const std::string& shortText) {
    constexpr size_t kShortest = 4;
    if (shortText == name) return true;
    return shortText.size() >= kShortest && shortText.size() < name.size() &&
           shortText.back() != ' ' && name.compare(0, shortText.size(), shortText) == 0;
}

const Content& Describe() {
    static const Content content = Build();
    return content;
}

std::vector<std::pair<std::string, std::vector<uint8_t>>> Files(const AssetPalette& palette) {
    const Content& content = Describe();
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
    files.emplace_back("7a.pts",
                       std::vector<uint8_t>(content.catalogue.begin(), content.catalogue.end()));
    for (const auto& [name, text] : content.designFiles)
        files.emplace_back(name, std::vector<uint8_t>(text.begin(), text.end()));
    // Records that look alike share one drawing: the pack is made once per distinct request.
    std::map<std::tuple<int, int, char, int, int>, std::vector<uint8_t>> drawn;
    for (const auto& [name, q] : content.packs) {
        const auto key =
            std::make_tuple(static_cast<int>(q.kind), q.variant, q.clan, q.size, q.frames);
        auto found = drawn.find(key);
        if (found == drawn.end())
            found = drawn.emplace(key, CataloguePictures::MakePack(q, palette)).first;
        std::string path = name;
        std::replace(path.begin(), path.end(), '\\', '/');
        files.emplace_back(path, found->second);
    }
    return files;
}

}  // namespace CatalogueContent

}  // namespace mkassets
