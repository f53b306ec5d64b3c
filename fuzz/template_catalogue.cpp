// Reads arbitrary bytes as the template file 7a.pts, uses the catalogue it gives (lookups, a
// design code, the automatic designer) and clears it again. Pictures and sounds are left out:
// the reader must cope with records that have none.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

#include "catalogue/CatalogueMedia.h"
#include "catalogue/DesignRules.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "core/Bitmap.h"
#include "core/ResourceFile.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"
#include "core/StringTable.h"

namespace {

class NoMedia : public CatalogueMedia {
public:
    std::unique_ptr<SpriteSet> LoadGrid(const std::string&) override { return nullptr; }
    std::unique_ptr<SpriteSet> LoadColumn(const std::string&) override { return nullptr; }
    std::unique_ptr<SpriteSet> LoadRow(const std::string&) override { return nullptr; }
    std::unique_ptr<SpriteSet> OpenStreamed(const std::string&) override { return nullptr; }
    std::unique_ptr<Bitmap> LoadBitmap(const std::string&) override { return nullptr; }
    std::unique_ptr<Sound> MakeSound(int32_t) override { return nullptr; }
    std::string ReadSpeedOption() override { return ""; }
    void BusyEnable(int) override {}
    void BusyTick() override {}
};

std::string Setup() {
    static NoMedia media;
    SetCatalogueMedia(&media);
    std::string strings;
    for (int n = 0; n < 350; ++n)
        strings += (n % 3 ? "Line %d of %d, %s %n %%" : "Text ") + std::to_string(n) + "\r";
    SetStringTableText(strings);
    char pattern[] = "/tmp/qx-fuzz-pts-XXXXXX";
    const char* dir = mkdtemp(pattern);
    const std::string directory = std::string(dir ? dir : "/tmp") + "/";
    ResourceFile::SetAssetPath(directory.c_str());
    return directory;
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
