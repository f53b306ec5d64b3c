#include "catalogue/MountTemplate.h"

#include "catalogue/CatalogueMedia.h"
#include "core/Bitmap.h"
#include "core/SpriteSet.h"

namespace {

template <typename Loader>
auto LoadIf(const std::string& name, Loader loader) -> decltype(loader(name)) {
    if (name.empty()) return nullptr;
    return loader(name);
}

}  // namespace

MountTemplate::MountTemplate(const MountValues& v) : Template(v), mountSize(v.mountSize) {
    mapPictures =
        LoadIf(v.mapPicturesName, [](const std::string& n) { return Media().LoadColumn(n); });
    panelPictures =
        LoadIf(v.panelPicturesName, [](const std::string& n) { return Media().OpenStreamed(n); });
    panelBitmap =
        LoadIf(v.panelBitmapName, [](const std::string& n) { return Media().LoadBitmap(n); });
    if (v.shortText) shortText = std::string(v.shortText);
}

MountTemplate::~MountTemplate() = default;
