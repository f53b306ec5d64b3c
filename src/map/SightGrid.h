#pragma once
// The fog of war of all players: per player 1 .. 4 and per sight layer (0 ordinary sight,
// 1 .. 3 the special sensors A, B and C), how many of the player's objects see each 64 x 64
// sight cell now, and whether it was ever seen (-1 never, 0 seen before, n >= 1 seen now).
#include <cstdint>
#include <vector>

#include "core/CellGrid.h"
#include "map/MapObjectView.h"

class Point;
class Rect;
class Size;

class SightGrid : public CellGrid {
public:
    static constexpr int kLayers = 4;
    static constexpr int kPlayers = 4;

    SightGrid(const Size& cellSize, const Size& area, int localTeam);
    ~SightGrid() override;

    int LocalTeam() const { return localTeam; }

    // Add or remove o's sight as if o stood at p. An object with a sight record (see
    // MapObjectView) has what it sees recorded at its first add, and its removes and moves
    // take away exactly that; a remove with nothing counted takes nothing.
    void AddViewer(MapObjectView* o, const Point& p);
    void RemoveViewer(MapObjectView* o, const Point& p);
    // The counts of RemoveViewer(o, from) followed by AddViewer(o, to), touching only the
    // cells that leave or enter o's sight where o is counted in all it sees.
    void MoveViewer(MapObjectView* o, const Point& from, const Point& to);

    // Pixel queries; 0 outside the grid.
    int IsVisible(const Point& p, int player) const;
    int IsExplored(const Point& p, int player) const;
    int IsRectVisible(const Rect& r, int player) const;
    int IsRectExplored(const Rect& r, int player) const;
    // Sum of the layer-0 counts at p of the players not allied with the team.
    int EnemyPresence(const Point& p, int team) const;

    // Sight-cell queries (row, column, player); 0 outside the grid.
    int SeenInLayer1(int row, int column, int player) const;
    int SeenInLayer2(int row, int column, int player) const;
    int SeenInLayer3(int row, int column, int player) const;
    // In the local team's layer 0, a never-seen cell becomes seen before.
    void MarkExplored(int row, int column);

    int CanDetect(MapObjectView* viewer, MapObjectView* target) const;

    // The raw value of a layer's cell for a player; -1 outside the grid.
    int32_t Value(int layer, int player, int row, int column) const;

private:
    bool CellOfPixel(const Point& p, int& row, int& column) const;
    bool IsValidPlayer(int player) const { return player >= 1 && player <= kPlayers; }
    int32_t* Layer(int layer, int player);
    const int32_t* Layer(int layer, int player) const;
    // What o sees now: its players (the second 0 when none or the same) and layers.
    using Viewing = AddedSight;
    bool ViewingOf(MapObjectView* o, Viewing& v) const;
    void ChangeSquares(const Viewing& v, const Point& p, int delta);
    void ChangeSquare(int layer, int player, int row, int column, int delta);
    template <class Test>
    int AnyLayerInRect(const Rect& r, int player, Test test) const;

    // Layer l of player p (1 .. 4) at (l * kPlayers + p - 1) * cells.
    std::vector<int32_t> values;
    int32_t localTeam;
};
