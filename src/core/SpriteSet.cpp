#include "core/SpriteSet.h"

#include <algorithm>

#include "core/Bitmap.h"
#include "core/FatalError.h"
#include "core/PackFileCache.h"
#include "core/ResourceFile.h"

SpriteSet::SpriteSet(int32_t count) : Image(Size()), frames(std::max(count, 0)) {}

SpriteSet::~SpriteSet() = default;

void SpriteSet::SetFrame(Image*& image, int32_t n) {
    std::unique_ptr<Image> owned(image);
    image = nullptr;
    SetFrame(std::move(owned), n);
}

void SpriteSet::SetFrame(std::unique_ptr<Image> image, int32_t n) {
    if (n < 0 || n >= Count()) return;
    frames[n] = std::move(image);
    if (source && frames[n]) residents.push_back(n);
}

void SpriteSet::SetCount(int32_t n) {
    frames.resize(std::max(n, 0));
    std::erase_if(residents, [this](int32_t i) { return i >= Count(); });
}

void SpriteSet::AttachSource(std::shared_ptr<ResourceFile> file) {
    source = std::move(file);
    residents.clear();
    for (int32_t i = 0; i < Count(); ++i) {
        if (frames[i]) residents.push_back(i);
    }
}

void SpriteSet::EnsureFrame(int32_t n) {
    if (!source || n < 0 || n >= Count()) return;
    // Only the slots known to hold a frame are visited: a streamed set may have thousands.
    for (int32_t i : residents) {
        if (i != n) frames[i].reset();
    }
    residents.clear();
    // The file may be shared with other sets, so its selected window is whatever the last
    // reader left: select before every read.
    if (!frames[n] && source->SelectEntry(0, n)) frames[n] = std::make_unique<Bitmap>(source.get());
    if (frames[n]) residents.push_back(n);
}

int32_t SpriteSet::Reduce(int32_t n) const {
    if (frames.empty()) return -1;
    return n % Count();
}

Image* SpriteSet::ResidentFrame(int32_t n) const {
    return n >= 0 && n < Count() ? frames[n].get() : nullptr;
}

Image* SpriteSet::Resolve(int32_t i) {
    EnsureFrame(i);
    return ResidentFrame(i);
}

void SpriteSet::Draw(const Point& centre) {
    if (Image* f = Resolve(current)) f->Draw(centre);
}
void SpriteSet::DrawFrame(const Point& centre, int32_t frame) {
    if (Image* f = Resolve(Reduce(frame))) f->Draw(centre);
}
void SpriteSet::DrawAt(const Point& topLeft) {
    if (Image* f = Resolve(current)) f->DrawAt(topLeft);
}
void SpriteSet::DrawFrameAt(const Point& topLeft, int32_t frame) {
    if (Image* f = Resolve(Reduce(frame))) f->DrawAt(topLeft);
}
void SpriteSet::DrawTinted(const Point& centre, const ShadeTable& table, int32_t skipShade) {
    if (Image* f = Resolve(current)) f->DrawTinted(centre, table, skipShade);
}
void SpriteSet::DrawFrameTinted(const Point& centre, int32_t frame, const ShadeTable& table,
                                int32_t skipShade) {
    if (Image* f = Resolve(Reduce(frame))) f->DrawTinted(centre, table, skipShade);
}
void SpriteSet::DrawBlended(const Point& centre, const ByteTable256& table) {
    if (Image* f = Resolve(current)) f->DrawBlended(centre, table);
}
void SpriteSet::DrawFrameBlended(const Point& centre, int32_t frame, const ByteTable256& table) {
    if (Image* f = Resolve(Reduce(frame))) f->DrawBlended(centre, table);
}
void SpriteSet::DrawShadeFilled(const Point& centre, int32_t colour) {
    if (Image* f = Resolve(current)) f->DrawShadeFilled(centre, colour);
}
void SpriteSet::DrawFrameShadeFilled(const Point& centre, int32_t frame, int32_t colour) {
    if (Image* f = Resolve(Reduce(frame))) f->DrawShadeFilled(centre, colour);
}
void SpriteSet::DrawShaded(const Point& centre, const ShadeTable& table) {
    if (Image* f = Resolve(current)) f->DrawShaded(centre, table);
}
void SpriteSet::DrawFrameShaded(const Point& centre, int32_t frame, const ShadeTable& table) {
    if (Image* f = Resolve(Reduce(frame))) f->DrawShaded(centre, table);
}
void SpriteSet::DrawSilhouette(const Point& centre, int32_t colour, int32_t skipShade) {
    if (Image* f = Resolve(current)) f->DrawSilhouette(centre, colour, skipShade);
}
void SpriteSet::DrawFrameSilhouette(const Point& centre, int32_t frame, int32_t colour,
                                    int32_t skipShade) {
    if (Image* f = Resolve(Reduce(frame))) f->DrawSilhouette(centre, colour, skipShade);
}

Size SpriteSet::GetSize() {
    Image* f = Resolve(current);
    return f ? f->GetSize() : Size();
}
Size SpriteSet::SizeOf(int32_t frame) {
    Image* f = Resolve(Reduce(frame));
    return f ? f->GetSize() : Size();
}
Size SpriteSet::FrameSize() {
    Image* f = Resolve(current);
    return f ? f->FrameSize() : Size();
}
Size SpriteSet::FrameSizeOf(int32_t frame) {
    Image* f = Resolve(Reduce(frame));
    return f ? f->FrameSize() : Size();
}
Point SpriteSet::Origin() {
    Image* f = Resolve(current);
    return f ? f->Origin() : Point();
}
Point SpriteSet::OriginOf(int32_t frame) {
    Image* f = Resolve(Reduce(frame));
    return f ? f->Origin() : Point();
}
Point SpriteSet::CentreOffset() {
    Image* f = Resolve(current);
    return f ? f->CentreOffset() : Point();
}
Point SpriteSet::CentreOffsetOf(int32_t frame) {
    Image* f = Resolve(Reduce(frame));
    return f ? f->CentreOffset() : Point();
}

Image* SpriteSet::SubImage(int32_t index) {
    return Resolve(Reduce(index));
}

int32_t SpriteSet::SelectFrame(int32_t n) {
    // An empty set has nothing to select and no cycles to count.
    if (frames.empty()) return 0;
    current = n % Count();
    return n / Count();
}

// ---- Loaders -----------------------------------------------------------------------------

namespace {

std::unique_ptr<ResourceFile> OpenPack(const char* name) {
    auto file = std::make_unique<ResourceFile>();
    if (!file->OpenPack(name)) ResourceMissing(file->Fault());
    return file;
}

}  // namespace

std::unique_ptr<SpriteSet> LoadSpriteSetColumn(const char* name) {
    return LoadSpriteSetColumn(*OpenPack(name));
}

std::unique_ptr<SpriteSet> LoadSpriteSetColumn(ResourceFile& file) {
    const int32_t rows = file.Rows();
    auto set = std::make_unique<SpriteSet>(rows);
    for (int32_t r = 0; r < rows; ++r) {
        if (file.SelectEntry(0, r)) set->SetFrame(std::make_unique<Bitmap>(&file), r);
    }
    return set;
}

std::unique_ptr<SpriteSet> LoadSpriteSetRow(const char* name) {
    return LoadSpriteSetRow(*OpenPack(name));
}

std::unique_ptr<SpriteSet> LoadSpriteSetRow(ResourceFile& file) {
    const int32_t columns = file.Columns();
    auto set = std::make_unique<SpriteSet>(columns);
    for (int32_t c = 0; c < columns; ++c) {
        if (file.SelectEntry(c, 0)) set->SetFrame(std::make_unique<Bitmap>(&file), c);
    }
    return set;
}

std::unique_ptr<SpriteSet> OpenStreamedSpriteSet(const char* name) {
    // A catalogue streams many sets, and may stream several from one pack: one descriptor per
    // pack file rather than per set keeps a large one inside the process limit.
    std::string fault;
    std::shared_ptr<ResourceFile> file = PackFileCache::Open(name, &fault);
    if (!file) ResourceMissing(fault);
    return OpenStreamedSpriteSet(std::move(file));
}

std::unique_ptr<SpriteSet> OpenStreamedSpriteSet(std::shared_ptr<ResourceFile> file) {
    auto set = std::make_unique<SpriteSet>(file->Rows());
    set->AttachSource(std::move(file));
    return set;
}

std::unique_ptr<SpriteSet> LoadSpriteGrid(const char* name) {
    return LoadSpriteGrid(*OpenPack(name));
}

std::unique_ptr<SpriteSet> LoadSpriteGrid(ResourceFile& file) {
    constexpr int32_t kMaxRowFrames = 100;
    const int32_t rows = file.Rows();
    auto outer = std::make_unique<SpriteSet>(rows);
    int32_t stored = 0;
    for (int32_t r = 0; r < rows; ++r) {
        auto inner = std::make_unique<SpriteSet>(file.Columns());
        int32_t c = 0;
        while (c < kMaxRowFrames && file.SelectEntry(c, r)) {
            inner->SetFrame(std::make_unique<Bitmap>(&file), c);
            ++c;
        }
        // A row without its first entry ends the grid.
        if (c == 0) break;
        inner->SetCount(c);
        outer->SetFrame(std::move(inner), r);
        ++stored;
    }
    outer->SetCount(stored);
    return outer;
}

std::unique_ptr<SpriteSet> LoadSpriteSetFromRow(int32_t row, ResourceFile* file) {
    if (!file || !file->SelectEntry(0, row)) return nullptr;
    const int32_t columns = file->Columns();
    std::vector<std::unique_ptr<Image>> read;
    for (int32_t c = 0; c < columns && file->SelectEntry(c, row); ++c) {
        read.push_back(std::make_unique<Bitmap>(file));
    }
    auto set = std::make_unique<SpriteSet>(static_cast<int32_t>(read.size()));
    for (int32_t i = 0; i < set->Count(); ++i)
        set->SetFrame(std::move(read[i]), i);
    return set;
}
