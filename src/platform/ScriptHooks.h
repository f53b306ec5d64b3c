#pragma once
// What a headless run's script asks of the game beyond input: the game mode the World is in
// (for `await`), and the teams whose objects are to be destroyed (for `destroy`).

// The World tells its current mode every tick; 0 before it does.
void winx_SetScriptGameMode(int mode);
int winx_ScriptGameMode();
void winx_RequestDestroy(int team);
// The oldest pending team, removed from the queue; -1 when there is none.
int winx_TakeDestroyRequest();
