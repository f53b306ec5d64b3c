#pragma once
// What the catalogue fuzz targets share: media that loads nothing (the reader must cope with
// records that have no pictures or sounds) and the seed template catalogue kept beside the
// targets.
#include <cstdint>
#include <memory>
#include <string>

#include "catalogue/CatalogueMedia.h"
#include "catalogue/TemplateCatalogue.h"
#include "core/Bitmap.h"
#include "core/ResourceFile.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"

class NullCatalogueMedia : public CatalogueMedia {
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

// Installs one null media for the life of the process.
inline void UseNullCatalogueMedia() {
    static NullCatalogueMedia media;
    SetCatalogueMedia(&media);
}

// Reads the template-file target's seed catalogue with the null media; false (and nothing
// read) when the seed is missing. The asset path is left at the seed's folder.
inline bool LoadSeedCatalogue() {
    UseNullCatalogueMedia();
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
