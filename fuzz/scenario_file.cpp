// Feeds arbitrary bytes to the save's check record, the scenario file's check pass and, when
// both pass, to the reader on a small land, then writes the game back out and reads it again.
// The makers are stand-ins that make plain map objects, so every record kind is read.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "FuzzScratch.h"
#include "core/Crc32.h"
#include "core/PackWriter.h"
#include "core/ResourceFile.h"
#include "map/CollisionFilter.h"
#include "objects/GameObject.h"
#include "world/Scenario.h"
#include "world/ScenarioCheck.h"
#include "world/ScenarioMakers.h"
#include "world/ScenarioText.h"
#include "world/World.h"

namespace {

void Write(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> Pack(const std::vector<uint8_t>& entry) {
    PackWriter pack(1, 1);
    pack.SetEntry(0, 0, entry);
    return pack.Build();
}

std::unique_ptr<GameObject> Plain(const SimId& id, const Point& p) {
    return std::make_unique<GameObject>(p, 0, Size(32, 32), nullptr, 0,
                                        CollisionFilter(2, 0, 0, 0, 0), id, 100, 1);
}

// A 12 x 10 land of open ground with four start points, as row 0 of the land pack. The world
// loads its land and saves its game only through files: they live in a scratch folder removed
// at exit.
struct Setup {
    Setup() : scratch("qx-fuzz-scenario"), directory(scratch.Path()) {
        if (directory.empty()) return;
        ResourceFile::SetAssetPath((directory.string() + "/").c_str());
        std::string land = "Fuzz land\n0\n30\n0\n12 10\n0 0\n12 10\n*\ntiles\n";
        for (int r = 0; r < 10; ++r)
            land += std::string(12, 'c') + "\n";
        land += "*\n2 2\n2 8\n7 2\n7 8\n*\n5 5\n*\n*\n";
        Write(directory / "7a0lxxxx99s999.lnd", Pack({land.begin(), land.end()}));
        std::vector<uint8_t> palette(768);
        for (size_t i = 0; i < palette.size(); ++i)
            palette[i] = static_cast<uint8_t>(i * 37);
        Write(directory / "7a0txxxx99s999.pal", Pack(palette));
        Write(directory / "7a0txxxx99s999.map", Pack(std::vector<uint8_t>(1 + 65536, 3)));
        Write(directory / "tiles.tls", std::vector<uint8_t>(121 * 256, 7));
    }
    FuzzScratch scratch;
    std::filesystem::path directory;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Setup setup;
    if (setup.directory.empty()) return 0;
    // The first byte picks the way in: odd, the bytes as a saved game's file, so the format
    // line's and the check record's readers and the structure checks are fuzzed; even, the rest
    // signed as the game's writer signs a save, so the input passes the check and reaches the
    // parser.
    if (size == 0) return 0;
    const char* body = reinterpret_cast<const char*>(data + 1);
    const size_t bodySize = size - 1;
    std::string bytes;
    if (data[0] & 1) {
        bytes.assign(body, bodySize);
    } else {
        // The writer ends every line, so the record always stands on a line of its own.
        bytes.assign(body, bodySize);
        if (!bytes.empty() && bytes.back() != '\n') bytes += '\n';
        bytes += ScenarioText::CheckRecord(static_cast<int64_t>(bytes.size()),
                                           Crc32::Of(bytes.data(), bytes.size())) +
                 "\n";
    }
    ScenarioText text;
    if (!text.ReadLooseBytes(bytes.data(), bytes.size())) {
        if (!(data[0] & 1)) __builtin_trap();  // a signed text always passes the check
        return 0;
    }
    if (!(data[0] & 1) && !text.closedByRecord) __builtin_trap();
    if (ScenarioCheck::CheckText(text, 0) != ScenarioFault::None) return 0;
    if (!text.closedByRecord && ScenarioCheck::CheckStructure(text, 1, 0) != ScenarioFault::None)
        return 0;
    // One World for every input, cleared after each as between two games: a new World per
    // input would cost more than the reading it checks.
    static World& world = []() -> World& {
        static World w;
        w.localDir = setup.directory.string() + "/";
        w.dataDir = w.localDir;
        w.scenarioMakers.spawnSim = [](const char* code, const SimId& id, const Point& p) {
            return code && *code ? Plain(id, p) : nullptr;
        };
        w.scenarioMakers.createBuildingSim = [](char, const SimId& id, const Point& p, int) {
            return Plain(id, p);
        };
        w.scenarioMakers.makeGroup = [](const SimId& id) { return Plain(id, Point(0, 0)); };
        return w;
    }();
    world.scenario = std::make_unique<Scenario>();
    world.scenario->LoadText(world, text);
    // What the game writes it reads back: a written save names its format and its record
    // always holds.
    if (world.SaveGame("fuzz.scn")) {
        ScenarioText back;
        if (!back.Read("fuzz.scn", -1) || !back.closedByRecord) __builtin_trap();
    }
    world.ClearObjects();
    return 0;
}
