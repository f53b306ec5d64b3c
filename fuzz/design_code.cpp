// Parses arbitrary bytes as a vehicle design code against a small catalogue, writes the code
// back and parses that again: the result must be the same design.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "catalogue/CatalogueMedia.h"
#include "catalogue/DesignRules.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "core/Bitmap.h"
#include "core/ResourceFile.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"

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

// The seed catalogue of the template-file target, next to this file.
bool LoadSeedCatalogue() {
    static NoMedia media;
    SetCatalogueMedia(&media);
    std::string here = __FILE__;
    here = here.substr(0, here.find_last_of('/') + 1);
    ResourceFile file;
    file.plainPath = 1;
    if (!file.Open((here + "corpus/template_catalogue/standard.pts").c_str(), 1, 0)) return false;
    file.Close();
    ResourceFile::SetAssetPath((here + "corpus/template_catalogue/").c_str());
    LoadTemplateCatalogue("standard.pts");
    return true;
}

}  // namespace

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
