#pragma once
// What a headless run's script asks of the game beyond input: the game mode the World is in
// (for `await`), the teams whose objects are to be destroyed (for `destroy`) and the test
// artifacts to place (for `artifact`).

// The World tells its current mode every tick; 0 before it does.
void winx_SetScriptGameMode(int mode);
int winx_ScriptGameMode();
void winx_RequestDestroy(int team, bool factoryOnly = false);
// The oldest pending team, removed from the queue; -1 when there is none. `factoryOnly` tells
// whether only its factory goes.
int winx_TakeDestroyRequest(bool& factoryOnly);
int winx_TakeDestroyRequest();
void winx_RequestArtifact(int team, int effect);
// The oldest pending artifact's team, removed from the queue with its effect; -1 when none.
int winx_TakeArtifactRequest(int& effect);
