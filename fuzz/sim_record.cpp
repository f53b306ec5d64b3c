// Reads arbitrary bytes as the record lines of a unit ("k = value" a line), writes the unit,
// reads what was written into a fresh unit of the same design and writes that: the two
// writings must be the same lines. A first byte '1' to '4' makes the unit a flyer, an
// aircraft, a carrier or a deploying unit (their keys h, V, t and b); any other a plain unit.
// Then the same for a factory, whose own keys carry design codes read against the seed
// catalogue.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "FuzzCatalogue.h"
#include "FuzzScratch.h"
#include "catalogue/CarrierChassisTemplate.h"
#include "catalogue/CatalogueMedia.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/DeployingChassisTemplate.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "core/ResourceFile.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"
#include "objects/AirSim.h"
#include "objects/AircraftSim.h"
#include "objects/CarrierSim.h"
#include "objects/DeployingSim.h"
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

// The special chassis load no pictures here.
class NoMedia : public CatalogueMedia {
public:
    std::unique_ptr<SpriteSet> LoadGrid(const std::string&) override { return nullptr; }
    std::unique_ptr<SpriteSet> LoadColumn(const std::string&) override { return nullptr; }
    std::unique_ptr<Sound> MakeSound(int32_t) override { return nullptr; }
};

ChassisValues Chassis(char role) {
    ChassisValues c;
    c.clan = 'V';
    c.role = role;
    c.strength = 100;
    return c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    static const bool loaded = LoadSeedCatalogue();
    (void)loaded;
    static PartTemplate drive('V', 'W', 1, 1, 0, 100, 1);
    static NoMedia media;
    SetCatalogueMedia(&media);
    static ChassisTemplate chassis(Chassis('a'));
    static PartTemplate air('V', 'A', 1, 2, 30, 100, 1);
    static PartTemplate lander('V', 'L', 1, 1, 30, 100, 1);
    static CarrierChassisTemplate carrier(Chassis('g'), "", -1);
    static DeployingChassisTemplate relay(Chassis('m'), [] {
        DeployingValues d;
        d.structureCode = 4;
        return d;
    }());
    // The unit writes only through a file.
    static const FuzzScratch scratch("qx-fuzz-sim");
    if (scratch.Path().empty()) return 0;
    static const std::string path = (scratch.Path() / "record.txt").string();
    const char kind = size > 0 && data[0] >= '1' && data[0] <= '4' ? static_cast<char>(data[0]) : 0;
    const auto make = [kind]() -> std::unique_ptr<Sim> {
        auto d = std::make_unique<VehicleDesign>('V');
        d->drive = &drive;
        d->chassis = &chassis;
        const Point at(160, 160);
        switch (kind) {
            case '1':
                d->drive = &lander;
                return std::make_unique<AirSim>(at, SimId(1, 1), std::move(d));
            case '2':
                d->drive = &air;
                return std::make_unique<AircraftSim>(at, SimId(1, 1), std::move(d));
            case '3':
                d->chassis = &carrier;
                return std::make_unique<CarrierSim>(at, SimId(1, 1), std::move(d));
            case '4':
                d->chassis = &relay;
                return std::make_unique<DeployingSim>(at, SimId(1, 1), std::move(d));
            default:
                return std::make_unique<Sim>(at, SimId(1, 1), std::move(d));
        }
    };
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<Sim> first = make();
    ReadLines(*first, text);
    const std::string once = Written(*first, path);
    std::unique_ptr<Sim> second = make();
    // As the scenario reader does: a unit is read from the low layer.
    if (second->collision.layer == 2) second->collision.layer = 1;
    ReadLines(*second, once);
    const std::string twice = Written(*second, path);
    if (once != twice) __builtin_trap();
    const auto design = [] {
        auto d = std::make_unique<VehicleDesign>('V');
        d->drive = &drive;
        d->chassis = &chassis;
        return d;
    };
    FactoryBuilding factory(Point(1000, 1000), SimId(1, 2), nullptr, design(), nullptr);
    ReadLines(factory, text);
    const std::string factoryOnce = Written(factory, path);
    FactoryBuilding again(Point(1000, 1000), SimId(1, 2), nullptr, design(), nullptr);
    ReadLines(again, factoryOnce);
    if (Written(again, path) != factoryOnce) __builtin_trap();
    return 0;
}
