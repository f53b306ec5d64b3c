#pragma once
#include <memory>
#include <string>
#include <vector>

#include "catalogue/CatalogueMedia.h"
#include "core/Bitmap.h"
#include "core/Image.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"

// Catalogue pictures made in memory: a column's frame 0 is 24 x 20; a grid's sub-image i is a
// set of `gridFrames` frames of (40 + 2i) x 30, each of which counts its blended draws.
class MemoryCatalogueMedia : public CatalogueMedia {
public:
    std::unique_ptr<SpriteSet> LoadGrid(const std::string&) override {
        auto grid = std::make_unique<SpriteSet>(4);
        for (int i = 0; i < 4; ++i) {
            auto piece = std::make_unique<SpriteSet>(gridFrames);
            for (int f = 0; f < gridFrames; ++f)
                piece->SetFrame(std::make_unique<CountingFrame>(Size(40 + 2 * i, 30), f, draws), f);
            grid->SetFrame(std::move(piece), i);
        }
        return grid;
    }
    std::unique_ptr<SpriteSet> LoadColumn(const std::string&) override { return Flat(24, 20); }
    std::unique_ptr<SpriteSet> LoadRow(const std::string&) override { return Flat(8, 8); }
    std::unique_ptr<SpriteSet> OpenStreamed(const std::string&) override { return Flat(8, 8); }
    std::unique_ptr<Bitmap> LoadBitmap(const std::string&) override { return nullptr; }
    std::unique_ptr<Sound> MakeSound(int32_t) override { return nullptr; }
    std::string ReadSpeedOption() override { return ""; }
    void BusyEnable(int) override {}
    void BusyTick() override {}

    int gridFrames = 1;
    // The frame index of every blended draw, in order.
    std::vector<int> draws;

private:
    class CountingFrame : public Image {
    public:
        CountingFrame(const Size& size, int index, std::vector<int>& draws)
            : Image(size), index(index), draws(draws) {}
        void DrawBlended(const Point&, const ByteTable256&) override { draws.push_back(index); }

    private:
        int index;
        std::vector<int>& draws;
    };

    static std::unique_ptr<SpriteSet> Flat(int w, int h) {
        auto set = std::make_unique<SpriteSet>(2);
        for (int i = 0; i < 2; ++i)
            set->SetFrame(std::make_unique<Image>(Size(w, h)), i);
        return set;
    }
};
