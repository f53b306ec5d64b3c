#pragma once
// A fake World with a real terrain map of plain buildable ground loaded from a generated land,
// so goals clamp to the map and objects draw over real shade tables.
#include <memory>
#include <string>

#include "map/LandFixture.h"
#include "map/TerrainMap.h"
#include "support/FakeObjectWorld.h"

class ObjectLand {
public:
    explicit ObjectLand(int columns = 10, int rows = 10) : world(columns, rows) {
        LandLayout layout;
        layout.columns = columns;
        layout.rows = rows;
        layout.letters.assign(static_cast<size_t>(rows),
                              std::string(static_cast<size_t>(columns), 'c'));
        files.WriteLand(layout);
        world.terrain = std::make_unique<TerrainMap>();
        world.terrain->SetDiscDataPath(files.Path().c_str());
        world.terrain->SetLocalDataPath(files.Path().c_str());
        world.terrain->Load("edit.lnd");
    }

    LandFixture files;
    FakeObjectWorld world;
};
