#include "catalogue/CatalogueMedia.h"

#include "core/Bitmap.h"
#include "core/BusyIndicator.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"

CatalogueMedia::~CatalogueMedia() = default;

std::unique_ptr<SpriteSet> CatalogueMedia::LoadGrid(const std::string& name) {
    return LoadSpriteGrid(name.c_str());
}

std::unique_ptr<SpriteSet> CatalogueMedia::LoadColumn(const std::string& name) {
    return LoadSpriteSetColumn(name.c_str());
}

std::unique_ptr<SpriteSet> CatalogueMedia::LoadRow(const std::string& name) {
    return LoadSpriteSetRow(name.c_str());
}

std::unique_ptr<SpriteSet> CatalogueMedia::OpenStreamed(const std::string& name) {
    return OpenStreamedSpriteSet(name.c_str());
}

std::unique_ptr<Bitmap> CatalogueMedia::LoadBitmap(const std::string& name) {
    return std::make_unique<Bitmap>(name.c_str());
}

std::unique_ptr<Sound> CatalogueMedia::MakeSound(int32_t number) {
    if (number == -1) return nullptr;
    return std::make_unique<Sound>(number);
}

std::string CatalogueMedia::ReadSpeedOption() {
    char value[256] = {};
    ReadProfileValue("QX", "OPTIONS", "SPEED", value, sizeof value);
    return value;
}

void CatalogueMedia::BusyEnable(int on) {
    if (busyIndicator) busyIndicator->Enable(on);
}

void CatalogueMedia::BusyTick() {
    if (busyIndicator) busyIndicator->Tick();
}

namespace {

CatalogueMedia realMedia;
CatalogueMedia* installedMedia = &realMedia;

}  // namespace

CatalogueMedia& Media() {
    return *installedMedia;
}

void SetCatalogueMedia(CatalogueMedia* media) {
    installedMedia = media ? media : &realMedia;
}
