#include "world/LandLoader.h"

#include "core/FatalError.h"
#include "core/ResourceFile.h"
#include "core/Size.h"
#include "core/Trace.h"
#include "map/PathGrid.h"
#include "map/SightGrid.h"
#include "map/TerrainMap.h"
#include "map/TerrainServices.h"

Land::Land() = default;
Land::Land(Land&&) noexcept = default;
Land& Land::operator=(Land&&) noexcept = default;
Land::~Land() = default;

Land LandLoader::Load(TerrainServices& services, std::unique_ptr<TerrainMap> reuse) {
    std::unique_ptr<TerrainMap> map = std::move(reuse);
    if (map)
        map->MakeEmpty();
    else
        map = std::make_unique<TerrainMap>();
    const int landNumber = services.LandNumber();
    if (landNumber != -1) {
        ResourceFile pack;
        if (!pack.OpenPack(TerrainMap::kLandPack)) ResourceMissing(pack.Fault());
        map->SetDiscDataPath(services.DiscDataDirectory());
        map->SetLocalDataPath(services.LocalAssetDirectory());
        // The land number comes from a scenario file: a row the pack lacks is refused.
        if (landNumber >= 0 && landNumber <= TerrainMap::kMaxCells &&
            pack.SelectEntry(0, landNumber)) {
            map->LoadFromStream(pack);
        } else {
            Trace("Land refused: the land pack has no such land");
        }
        pack.Close();
    } else {
        map->SetDiscDataPath(services.LocalAssetDirectory());
        map->SetLocalDataPath(services.LocalAssetDirectory());
        map->Load(TerrainMap::kEditLand);
    }
    return BuildGrids(std::move(map), services.LocalTeam());
}

uint32_t LandLoader::CellWordFor(char letter) {
    return TerrainCellWord(letter);
}

Land LandLoader::BuildGrids(std::unique_ptr<TerrainMap> map, int localTeam) {
    Land land;
    land.sight = std::make_unique<SightGrid>(Size(kSightCellPixels, kSightCellPixels),
                                             map->PixelExtent(), localTeam);
    const Size cells = map->SizeInCells();
    land.paths =
        std::make_unique<PathGrid>(cells.h, cells.w, Size(kPathCellPixels, kPathCellPixels));
    land.paths->AttachSightGrid(land.sight.get());
    for (int row = 0; row < cells.h; ++row) {
        for (int column = 0; column < cells.w; ++column) {
            land.paths->SetCellWord(row, column, CellWordFor(map->TerrainTypeAt(row, column)));
        }
    }
    land.map = std::move(map);
    return land;
}

void LandLoader::PlaceLandFeatures(const TerrainMap& map, TerrainServices& services) {
    const Size cells = map.SizeInCells();
    for (int row = 0; row < cells.h; ++row) {
        for (int column = 0; column < cells.w; ++column) {
            if (map.LandFeatureAt(row, column) != -1) {
                services.AddLandFeatureAt(map.CellCenter(row, column));
            }
        }
    }
}
