// Reads arbitrary bytes as the template file 7a.pts, straight from memory, uses the catalogue it
// gives (lookups, a design code, the automatic designer) and clears it again. Pictures and
// sounds are left out: the reader must cope with records that have none.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCatalogue.h"
#include "catalogue/DesignRules.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "core/StringTable.h"

namespace {

bool Setup() {
    UseNullCatalogueMedia();
    std::string strings;
    for (int n = 0; n < 350; ++n)
        strings += (n % 3 ? "Line %d of %d, %s %n %%" : "Text ") + std::to_string(n) + "\r";
    SetStringTableText(strings);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = Setup();
    (void)ready;
    LoadTemplateCatalogueFromBytes(data, size);
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
