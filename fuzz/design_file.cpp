// Reads arbitrary bytes as a design file (.vdf) against a small catalogue, saves the library
// and reads the saved file back: the second reading must give the same designs.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "catalogue/CatalogueMedia.h"
#include "catalogue/DesignLibrary.h"
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

std::string Setup() {
    static NoMedia media;
    SetCatalogueMedia(&media);
    std::string here = __FILE__;
    here = here.substr(0, here.find_last_of('/') + 1);
    ResourceFile::SetAssetPath((here + "corpus/template_catalogue/").c_str());
    ResourceFile probe;
    if (probe.Open("standard.pts", 1, 0)) {
        probe.Close();
        LoadTemplateCatalogue("standard.pts");
    }
    char pattern[] = "/tmp/qx-fuzz-vdf-XXXXXX";
    const char* dir = mkdtemp(pattern);
    const std::string directory = std::string(dir ? dir : "/tmp") + "/";
    ResourceFile::SetAssetPath(directory.c_str());
    return directory;
}

std::string Codes(DesignLibrary& library) {
    std::string s;
    for (ListNode* n = library.designs.First(); n; n = library.designs.Next(n))
        s += std::string(static_cast<VehicleDesign*>(n)->CodeString()) + "\n";
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string directory = Setup();
    {
        std::ofstream out(directory + "in.vdf", std::ios::binary);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    DesignLibrary library;
    library.Load("in.vdf");
    if (library.Save((directory + "out.vdf").c_str()) == 1) {
        DesignLibrary again;
        again.Load("out.vdf");
        if (Codes(again) != Codes(library)) __builtin_trap();
    }
    library.Clear();
    return 0;
}
