#pragma once
// A fake World with a real terrain map of plain buildable ground loaded from a generated land,
// so goals clamp to the map and objects draw over real shade tables.
#include <memory>
#include <string>

#include "map/LandFixture.h"
#include "map/TerrainMap.h"
#include "support/FakeObjectWorld.h"

// A terrain map of plain buildable ground, its land written into the files' folder.
inline std::unique_ptr<TerrainMap> PlainTerrain(LandFixture& files, int columns, int rows) {
    LandLayout layout;
    layout.columns = columns;
    layout.rows = rows;
    layout.letters.assign(static_cast<size_t>(rows),
                          std::string(static_cast<size_t>(columns), 'c'));
    files.WriteLand(layout);
    auto terrain = std::make_unique<TerrainMap>();
    terrain->SetDiscDataPath(files.Path().c_str());
    terrain->SetLocalDataPath(files.Path().c_str());
    terrain->Load("edit.lnd");
    return terrain;
}

class ObjectLand {
public:
    explicit ObjectLand(int columns = 10, int rows = 10) : world(columns, rows) {
        world.terrain = PlainTerrain(files, columns, rows);
    }

    LandFixture files;
    FakeObjectWorld world;
};
