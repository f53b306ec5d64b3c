// Parses arbitrary bytes as a vehicle design code against a small catalogue, writes the code
// back and parses that again: the result must be the same design.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzCatalogue.h"
#include "catalogue/DesignRules.h"
#include "catalogue/VehicleDesign.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool loaded = LoadSeedCatalogue();
    (void)loaded;
    const std::string text(reinterpret_cast<const char*>(data), size);
    VehicleDesign design(text.c_str());
    const std::string code = design.CodeString();
    if (code.size() < 22) __builtin_trap();
    VehicleDesign again(code.c_str());
    if (std::strcmp(again.CodeString(), code.c_str()) != 0) __builtin_trap();
    DesignRules rules(design);
    delete rules.BuildDesign(design.clan);
    return 0;
}
