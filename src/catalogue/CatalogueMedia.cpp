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
    // The speeds run from 1 to 5; a value beyond would overflow the adjustment 3 - speed.
    int32_t speed = 0;
    if (!ReadProfileNumber("QX", "OPTIONS", "SPEED", 1, 5, speed)) return "";
    return std::to_string(speed);
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
