#include "map/TerrainServices.h"

TerrainServices* terrainServices = nullptr;

int TeamsAllied(int teamA, int teamB) {
    if (terrainServices != nullptr) return terrainServices->AreAllied(teamA, teamB);
    return teamA == teamB ? 1 : 0;
}
