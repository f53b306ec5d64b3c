#pragma once
// Stand-ins for what the catalogue needs of the World and of the picture and sound packs: tech
// levels set per clan, a factory design to refit, and pictures built in memory whose names are
// noted so tests can see which packs a catalogue asks for.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/CatalogueMedia.h"
#include "catalogue/CatalogueServices.h"
#include "core/Point.h"
#include "core/Size.h"
#include "support/TempDirectory.h"

class FakeCatalogueServices : public CatalogueServices {
public:
    int ClanTechLevel(char clan) const override;
    char PlayerClan() const override { return playerClan; }
    VehicleDesign* LocalFactoryDesign() override { return factoryDesign; }
    void FactoryDesignChanged() override { ++factoryChanges; }
    const ShadeTable* TerrainColourTable() const override { return terrainColours; }

    int varnokLevel = 8;
    int telmiraLevel = 8;
    char playerClan = 'V';
    VehicleDesign* factoryDesign = nullptr;
    int factoryChanges = 0;
    const ShadeTable* terrainColours = nullptr;
};

// Every picture set has frames of kFrame pixels unless a size is given for its name; grids
// have two sequences of three frames, column sets 16 frames, row sets 4.
class FakeCatalogueMedia : public CatalogueMedia {
public:
    static const Size kFrame;

    std::unique_ptr<SpriteSet> LoadGrid(const std::string& name) override;
    std::unique_ptr<SpriteSet> LoadColumn(const std::string& name) override;
    std::unique_ptr<SpriteSet> LoadRow(const std::string& name) override;
    std::unique_ptr<SpriteSet> OpenStreamed(const std::string& name) override;
    std::unique_ptr<Bitmap> LoadBitmap(const std::string& name) override;
    std::unique_ptr<Sound> MakeSound(int32_t number) override;
    std::string ReadSpeedOption() override { return speedOption; }
    void BusyEnable(int on) override { busyDepth += on == 1 ? 1 : -1; }
    void BusyTick() override { ++busyTicks; }

    bool Requested(const std::string& name) const;

    // Every plain draw of a frame: the pack it came from and the point.
    struct DrawCall {
        std::string pack;
        Point at;
        int frame = 0;                      // within its sequence
        const ShadeTable* shade = nullptr;  // the table of a shaded draw
    };
    std::vector<DrawCall> draws;

    std::map<std::string, Size> frameSizes;
    std::map<std::string, int> gridFrames;  // frames per sequence of a named grid
    std::vector<std::string> names;         // every pack and bitmap asked for, in order
    // The loader each name was asked of: 'g' grid, 'c' column, 'r' row, 's' streamed, 'b'
    // bitmap.
    std::map<std::string, char> kinds;
    std::vector<int32_t> sounds;
    std::string speedOption;
    int busyDepth = 0;
    int busyTicks = 0;

private:
    void Note(const std::string& name, char kind);
    std::unique_ptr<SpriteSet> Flat(const std::string& name, int frames);
    Size SizeFor(const std::string& name) const;
};

// Installs both fakes and a string table for the life of the object, and clears the catalogue
// when it ends.
class CatalogueEnvironment {
public:
    CatalogueEnvironment();
    ~CatalogueEnvironment();

    // Writes the text as 7a.pts into a fresh asset directory and reads it.
    void Load(const std::string& fileText);
    std::string AssetDirectory() const { return directory; }

    FakeCatalogueServices services;
    FakeCatalogueMedia media;

private:
    TempDirectory scratch;
    std::string directory;
};
