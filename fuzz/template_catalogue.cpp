// Reads arbitrary bytes as the template file 7a.pts, uses the catalogue it gives (lookups, a
// design code, the automatic designer) and clears it again. Pictures and sounds are left out:
// the reader must cope with records that have none.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

#include "FuzzCatalogue.h"
#include "catalogue/DesignRules.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "core/StringTable.h"

namespace {

std::string Setup() {
    UseNullCatalogueMedia();
    std::string strings;
    for (int n = 0; n < 350; ++n)
        strings += (n % 3 ? "Line %d of %d, %s %n %%" : "Text ") + std::to_string(n) + "\r";
    SetStringTableText(strings);
    return UseScratchAssetDirectory("/tmp/qx-fuzz-pts-XXXXXX");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string directory = Setup();
    {
        std::ofstream out(directory + "7a.pts", std::ios::binary);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    LoadTemplateCatalogue("7a.pts");
    for (char clan : {'V', 'T', 'X'})
        for (char role = 'a'; role <= 'z'; ++role)
            FindHardpointTemplate(clan, role);
    VehicleDesign parsed("VWaabc----399199212299");
    parsed.CodeString();
    DesignRules rules;
    delete rules.BuildDesign('V');
    delete rules.BuildDesign('T');
    ClearTemplateCatalogue();
    SpeedAdjustment = 0;
    return 0;
}
