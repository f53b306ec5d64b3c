// Reads arbitrary bytes as the record lines of a unit ("k = value" a line), writes the unit,
// reads what was written into a fresh unit of the same design and writes that: the two
// writings must be the same lines.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "FuzzScratch.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "core/ResourceFile.h"
#include "objects/Sim.h"

namespace {

std::string Written(Sim& sim, const std::string& path) {
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

void ReadLines(Sim& sim, const std::string& text) {
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.size() < 4) continue;
        sim.Parse(line[0], line.c_str() + 4);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
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
    return 0;
}
