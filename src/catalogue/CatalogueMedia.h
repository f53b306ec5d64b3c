#pragma once
// Where the catalogue reader takes its pictures, sounds, game-speed option and wait cursor
// from. The base class is the real thing (sprite packs, the sound pack, QX.INI, the busy
// indicator); tests install a subclass that builds pictures in memory and notes each name.
#include <cstdint>
#include <memory>
#include <string>

class SpriteSet;
class Bitmap;
class Sound;

class CatalogueMedia {
public:
    virtual ~CatalogueMedia();

    // The sprite-set loaders; a missing pack is fatal in the grid, column and streamed loaders.
    virtual std::unique_ptr<SpriteSet> LoadGrid(const std::string& name);
    virtual std::unique_ptr<SpriteSet> LoadColumn(const std::string& name);
    virtual std::unique_ptr<SpriteSet> LoadRow(const std::string& name);
    virtual std::unique_ptr<SpriteSet> OpenStreamed(const std::string& name);
    // A single panel picture; a missing file is fatal.
    virtual std::unique_ptr<Bitmap> LoadBitmap(const std::string& name);
    // A sound of the shared sound pack; null for -1.
    virtual std::unique_ptr<Sound> MakeSound(int32_t number);
    // The [OPTIONS] SPEED text of QX.INI, empty when absent.
    virtual std::string ReadSpeedOption();
    virtual void BusyEnable(int on);
    virtual void BusyTick();
};

// The installed media; never null.
CatalogueMedia& Media();
// Installs a media source (null restores the real one). The caller keeps ownership.
void SetCatalogueMedia(CatalogueMedia* media);
