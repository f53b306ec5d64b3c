#pragma once
// Stand-ins for the map objects and the World in terrain tests and benchmarks: a map object
// with settable position, filter, sight and stealth, and an alliance table.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Point.h"
#include "core/Rect.h"
#include "core/SimId.h"
#include "map/CollisionFilter.h"
#include "map/MapObjectView.h"
#include "map/PathGrid.h"
#include "map/TerrainServices.h"

class FakeMapObject : public MapObjectView {
public:
    FakeMapObject(int team, int serial, const Point& at, int layer = 0, int radius = 16)
        : filter(2, layer, 0, 0, 0), id(team, serial), position(at), radius(radius) {
        filter.team = team;
        viewer = team;
    }

    SimId GetId() const override { return id; }
    int GetTeam() const override { return filter.team; }
    void GetPosition(Point& out) const override { out = position; }
    CollisionFilter* GetCollision() override { return &filter; }
    int GetFootprintRadius() override { return radius; }
    void SetFootprint(const Rect& r) override { footprint = r; }
    uint32_t GetEnemyMask() override { return enemyMask; }
    int HasManoeuvre(int type) override { return type == 9 ? engageNearest : 0; }
    void GetBlockingSim(SimId& out) override { out = blocking; }
    int IsMoving() override { return moving; }
    int IsWaiting() override { return waiting; }
    int IsHostileTo(MapObjectView* other) override {
        const int t = other->GetTeam();
        return t != 0 && t != filter.team && !TeamsAllied(filter.team, t);
    }
    int ViewingPlayer() override { return viewer; }
    int SecondViewingPlayer() override { return secondViewer; }
    int HasBaseSight() override { return baseSight; }
    int SensorActive(SensorKind kind, int) override { return sensors[static_cast<int>(kind)]; }
    int IsHidden(StealthKind kind, int) override { return hidden[static_cast<int>(kind)]; }
    AddedSight* SightRecord() override { return keepsRecord ? &added : nullptr; }

    CollisionFilter filter;
    SimId id;
    Point position;
    int radius;
    Rect footprint{Point(-7, -7), Size(1, 1)};
    uint32_t enemyMask = 0;
    int engageNearest = 0;
    SimId blocking;
    int moving = 0;
    int waiting = 0;
    int viewer = 0;
    int secondViewer = 0;
    int baseSight = 1;
    int sensors[4] = {0, 0, 0, 0};
    int hidden[3] = {0, 0, 0};
    // With a record the sight grid keeps what it added here, as for the game's objects.
    bool keepsRecord = false;
    AddedSight added;
};

// An alliance table registered as the World's services while it lives.
class FakeTerrainServices : public TerrainServices {
public:
    FakeTerrainServices() {
        for (int a = 0; a < 5; ++a) {
            for (int b = 0; b < 5; ++b)
                allied[a][b] = a == b ? 1 : 0;
        }
        previous = terrainServices;
        terrainServices = this;
    }
    ~FakeTerrainServices() override { terrainServices = previous; }
    FakeTerrainServices(const FakeTerrainServices&) = delete;
    FakeTerrainServices& operator=(const FakeTerrainServices&) = delete;

    void Ally(int a, int b) { allied[a][b] = allied[b][a] = 1; }

    int AreAllied(int a, int b) override {
        if (a < 0 || a > 4 || b < 0 || b > 4) return 0;
        return allied[a][b];
    }
    int LocalTeam() override { return localTeam; }
    int LandNumber() override { return landNumber; }
    const char* DiscDataDirectory() override { return discDirectory; }
    const char* LocalAssetDirectory() override { return localDirectory; }
    void AddLandFeatureAt(const Point& centre) override {
        if (featureCount < 64) features[featureCount] = centre;
        ++featureCount;
    }

    int allied[5][5];
    int localTeam = 1;
    int landNumber = -1;
    const char* discDirectory = "";
    const char* localDirectory = "";
    Point features[64];
    int featureCount = 0;

private:
    TerrainServices* previous;
};

// The cell word of a test letter: '.' open, '#' land feature, 'w' water, 'r', 'e' edge. These
// are the loader's terrain letters but for '#', which draws a feature better than its 'p'.
inline uint32_t CellWordOf(char letter) {
    return TerrainCellWord(letter == '#' ? 'p' : letter);
}

// A path grid of 32 x 32 cells whose terrain is drawn as rows of letters.
inline std::unique_ptr<PathGrid> GridFromRows(const std::vector<std::string>& rows) {
    const int columns = rows.empty() ? 0 : static_cast<int>(rows[0].size());
    auto grid = std::make_unique<PathGrid>(static_cast<int>(rows.size()), columns, Size(32, 32));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        for (int c = 0; c < columns; ++c)
            grid->SetCellWord(r, c, CellWordOf(rows[r][c]));
    }
    return grid;
}

inline Point CentreOf(int row, int column) {
    return Point(column * 32 + 16, row * 32 + 16);
}
