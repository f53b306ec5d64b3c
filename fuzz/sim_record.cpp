// Reads arbitrary bytes as the record lines of a unit ("k = value" a line), writes the unit,
// reads what was written into a fresh unit of the same design and writes that: the two
// writings must be the same lines. The same for a factory, whose own keys carry design codes
// read against the seed catalogue.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "FuzzCatalogue.h"
#include "FuzzScratch.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "core/ResourceFile.h"
#include "objects/FactoryBuilding.h"
#include "objects/Sim.h"

namespace {

template <class Unit>
std::string Written(Unit& sim, const std::string& path) {
    {
        ResourceFile file;
        file.plainPath = 1;
        if (file.Open(path.c_str(), "w") != 1) return {};
        char buffer[256];
        sim.Write(file, buffer, sizeof buffer);
        file.Close();
    }
    std::ifstream in(path);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

template <class Unit>
void ReadLines(Unit& sim, const std::string& text) {
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.size() < 4) continue;
        sim.Parse(line[0], line.c_str() + 4);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    static const bool loaded = LoadSeedCatalogue();
    (void)loaded;
    static PartTemplate drive('V', 'W', 1, 1, 0, 100, 1);
    static ChassisTemplate chassis([] {
        ChassisValues c;
        c.clan = 'V';
        c.role = 'a';
        c.strength = 100;
        return c;
    }());
    // The unit writes only through a file.
    static const FuzzScratch scratch("qx-fuzz-sim");
    if (scratch.Path().empty()) return 0;
    static const std::string path = (scratch.Path() / "record.txt").string();
    const auto design = [] {
        auto d = std::make_unique<VehicleDesign>('V');
        d->drive = &drive;
        d->chassis = &chassis;
        return d;
    };
    const std::string text(reinterpret_cast<const char*>(data), size);
    Sim first(Point(160, 160), SimId(1, 1), design());
    ReadLines(first, text);
    const std::string once = Written(first, path);
    Sim second(Point(160, 160), SimId(1, 1), design());
    ReadLines(second, once);
    const std::string twice = Written(second, path);
    if (once != twice) __builtin_trap();
    FactoryBuilding factory(Point(1000, 1000), SimId(1, 2), nullptr, design(), nullptr);
    ReadLines(factory, text);
    const std::string factoryOnce = Written(factory, path);
    FactoryBuilding again(Point(1000, 1000), SimId(1, 2), nullptr, design(), nullptr);
    ReadLines(again, factoryOnce);
    if (Written(again, path) != factoryOnce) __builtin_trap();
    return 0;
}
