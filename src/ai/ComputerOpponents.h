#pragma once
// Installs the computer opponents' controller maker on a World: a planning controller for a
// computer team of a skirmish (mission 0, at the game's tech level, also when a saved game is
// read) and of mission 11 (tech level 8) until the mission scripts take that mission. Other
// missions get none from here. Also clears the counters the controllers share at each game's
// start.
class World;

void InstallComputerOpponents(World& world);
