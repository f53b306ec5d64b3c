#include "CatalogueFakes.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "CatalogueFileBuilder.h"
#include "catalogue/TemplateCatalogue.h"
#include "core/Bitmap.h"
#include "core/Image.h"
#include "core/ResourceFile.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"
#include "core/StringTable.h"

const Size FakeCatalogueMedia::kFrame(20, 10);

namespace {

// A frame that notes where it is drawn; every effect draw ends in Draw.
class RecordingFrame : public Image {
public:
    RecordingFrame(const Size& size, std::string pack, int frame,
                   std::vector<FakeCatalogueMedia::DrawCall>* log)
        : Image(size), pack(std::move(pack)), frame(frame), log(log) {}
    void Draw(const Point& centre) override { log->push_back({pack, centre, frame}); }
    void DrawShaded(const Point& centre, const ShadeTable& table) override {
        log->push_back({pack, centre, frame, &table});
    }

private:
    std::string pack;
    int frame;
    std::vector<FakeCatalogueMedia::DrawCall>* log;
};

}  // namespace

int FakeCatalogueServices::ClanTechLevel(char clan) const {
    if (clan == 'T') return telmiraLevel;
    if (clan == 'V') return varnokLevel;
    return std::min(varnokLevel, telmiraLevel);
}

void FakeCatalogueMedia::Note(const std::string& name, char kind) {
    names.push_back(name);
    kinds[name] = kind;
}

Size FakeCatalogueMedia::SizeFor(const std::string& name) const {
    auto it = frameSizes.find(name);
    return it == frameSizes.end() ? kFrame : it->second;
}

std::unique_ptr<SpriteSet> FakeCatalogueMedia::Flat(const std::string& name, int frames) {
    auto set = std::make_unique<SpriteSet>(frames);
    for (int i = 0; i < frames; ++i)
        set->SetFrame(std::make_unique<RecordingFrame>(SizeFor(name), name, i, &draws), i);
    return set;
}

std::unique_ptr<SpriteSet> FakeCatalogueMedia::LoadGrid(const std::string& name) {
    Note(name, 'g');
    auto it = gridFrames.find(name);
    const int frames = it == gridFrames.end() ? 3 : it->second;
    auto grid = std::make_unique<SpriteSet>(2);
    for (int r = 0; r < 2; ++r)
        grid->SetFrame(Flat(name, frames), r);
    return grid;
}

std::unique_ptr<SpriteSet> FakeCatalogueMedia::LoadColumn(const std::string& name) {
    Note(name, 'c');
    return Flat(name, 16);
}

std::unique_ptr<SpriteSet> FakeCatalogueMedia::LoadRow(const std::string& name) {
    Note(name, 'r');
    return Flat(name, 4);
}

std::unique_ptr<SpriteSet> FakeCatalogueMedia::OpenStreamed(const std::string& name) {
    Note(name, 's');
    return Flat(name, 4);
}

std::unique_ptr<Bitmap> FakeCatalogueMedia::LoadBitmap(const std::string& name) {
    Note(name, 'b');
    return std::make_unique<Bitmap>(Size(4, 4));
}

std::unique_ptr<Sound> FakeCatalogueMedia::MakeSound(int32_t number) {
    if (number == -1) return nullptr;
    sounds.push_back(number);
    return std::make_unique<Sound>(number);
}

bool FakeCatalogueMedia::Requested(const std::string& name) const {
    return std::find(names.begin(), names.end(), name) != names.end();
}

CatalogueEnvironment::CatalogueEnvironment() {
    directory = scratch.Path() + "/";
    ResourceFile::SetAssetPath(directory.c_str());
    SetCatalogueServices(&services);
    SetCatalogueMedia(&media);
    SetStringTableText(CatalogueFileBuilder::StringTableText());
    SpeedAdjustment = 0;
}

CatalogueEnvironment::~CatalogueEnvironment() {
    ClearTemplateCatalogue();
    SpeedAdjustment = 0;
    SetCatalogueMedia(nullptr);
    SetCatalogueServices(nullptr);
    ClearStringTable();
}

void CatalogueEnvironment::Load(const std::string& fileText) {
    {
        std::ofstream out(directory + "7a.pts", std::ios::binary);
        out << fileText;
    }
    LoadTemplateCatalogue("7a.pts");
}
