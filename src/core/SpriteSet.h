#pragma once
// A numbered sequence of frames, each itself an Image, that answers the whole picture protocol
// by forwarding to one frame: unit facings, font glyphs, cursor shapes, animation steps. A
// streamed set keeps only the frame in use in memory and reads the others from its pack.
#include <cstdint>
#include <memory>
#include <vector>

#include "core/Image.h"

class ResourceFile;

class SpriteSet : public Image {
public:
    explicit SpriteSet(int32_t count);
    ~SpriteSet() override;

    // Takes ownership of the image: stored as frame n, or deleted when n is out of range. The
    // caller's pointer becomes null either way.
    void SetFrame(Image*& image, int32_t n);
    void SetFrame(std::unique_ptr<Image> image, int32_t n);
    // Resizes the slots; frames beyond the new count are deleted.
    void SetCount(int32_t n);
    // Makes this a streamed set reading frame n from entry (0, n) of the file. The file may be
    // shared with other sets; every read selects its entry first.
    void AttachSource(std::shared_ptr<ResourceFile> file);
    // For a streamed set: frame n becomes the only resident frame.
    void EnsureFrame(int32_t n);

    int32_t Count() const { return static_cast<int32_t>(frames.size()); }
    int32_t Current() const { return current; }
    // The frame in slot n when it is resident, without loading anything.
    Image* ResidentFrame(int32_t n) const;

    void Draw(const Point& centre) override;
    void DrawFrame(const Point& centre, int32_t frame) override;
    void DrawAt(const Point& topLeft) override;
    void DrawFrameAt(const Point& topLeft, int32_t frame) override;
    void DrawTinted(const Point& centre, const ShadeTable& table, int32_t skipShade) override;
    void DrawFrameTinted(const Point& centre, int32_t frame, const ShadeTable& table,
                         int32_t skipShade) override;
    void DrawBlended(const Point& centre, const ByteTable256& table) override;
    void DrawFrameBlended(const Point& centre, int32_t frame, const ByteTable256& table) override;
    void DrawShadeFilled(const Point& centre, int32_t colour) override;
    void DrawFrameShadeFilled(const Point& centre, int32_t frame, int32_t colour) override;
    void DrawShaded(const Point& centre, const ShadeTable& table) override;
    void DrawFrameShaded(const Point& centre, int32_t frame, const ShadeTable& table) override;
    void DrawSilhouette(const Point& centre, int32_t colour, int32_t skipShade) override;
    void DrawFrameSilhouette(const Point& centre, int32_t frame, int32_t colour,
                             int32_t skipShade) override;

    Size GetSize() override;
    Size SizeOf(int32_t frame) override;
    Size FrameSize() override;
    Size FrameSizeOf(int32_t frame) override;
    Point Origin() override;
    Point OriginOf(int32_t frame) override;
    Point CentreOffset() override;
    Point CentreOffsetOf(int32_t frame) override;
    int32_t LastFrameIndex() override { return Count() - 1; }
    Image* SubImage(int32_t index) override;
    // current = n mod count; answers the whole cycles n / count (0 for an empty set).
    int32_t SelectFrame(int32_t n) override;

private:
    // n reduced modulo the count, truncating towards zero (a negative n stays negative); -1
    // for an empty set.
    int32_t Reduce(int32_t n) const;
    // Loads frame i when streamed and answers it, or null.
    Image* Resolve(int32_t i);

    std::vector<std::unique_ptr<Image>> frames;
    int32_t current = 0;
    std::shared_ptr<ResourceFile> source;
    // For a streamed set: the slots that hold a frame.
    std::vector<int32_t> residents;
};

// The loaders open the pack by name; a pack that cannot be opened is fatal ("Resource
// Missing"). Entries that are missing leave their slots empty.
// The overloads on an open pack read the same way and leave the pack open.
// Slot r holds entry (0, r).
std::unique_ptr<SpriteSet> LoadSpriteSetColumn(const char* name);
std::unique_ptr<SpriteSet> LoadSpriteSetColumn(ResourceFile& pack);
// Slot c holds entry (c, 0).
std::unique_ptr<SpriteSet> LoadSpriteSetRow(const char* name);
std::unique_ptr<SpriteSet> LoadSpriteSetRow(ResourceFile& pack);
// As many empty slots as the pack has rows; frames are read on use. Streamed sets on the same
// pack file share one open handle, closed when the last of them goes.
std::unique_ptr<SpriteSet> OpenStreamedSpriteSet(const char* name);
std::unique_ptr<SpriteSet> OpenStreamedSpriteSet(std::shared_ptr<ResourceFile> pack);
// Frame r is a set of row r's entries (at most 100); a row without entry (0, r) ends the grid.
std::unique_ptr<SpriteSet> LoadSpriteGrid(const char* name);
std::unique_ptr<SpriteSet> LoadSpriteGrid(ResourceFile& pack);
// The entries (0, row), (1, row), ... of an open pack up to the first missing one; null when
// (0, row) is missing. The file stays open.
std::unique_ptr<SpriteSet> LoadSpriteSetFromRow(int32_t row, ResourceFile* file);
