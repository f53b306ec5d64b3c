#pragma once
// What a headless run's script asks of the game beyond input: the game mode the World is in
// and whether its battle is paused (for `await`), the teams whose objects are to be destroyed
// (for `destroy`), the test artifacts to place (for `artifact`), a crafted peer's words (for
// `forge` and `craft`) and the barriers' pauses of a network run (for `pause` and `resume`).

// The World tells its current mode every tick; 0 before it does.
void winx_SetScriptGameMode(int mode);
int winx_ScriptGameMode();
// Whether a battle is on and runs or stands paused (for `await paused` and `await running`);
// the World tells it every tick, None before it does.
enum class winx_ScriptBattle { None, Paused, Running };
void winx_SetScriptBattle(winx_ScriptBattle state);
winx_ScriptBattle winx_ScriptBattleState();
// What the World holds of each team (1 to 4) every tick of a battle, for `await units` and
// `await fallen`: its units standing, and whether its factory stands. A battle's start forgets
// the last one's, so that a factory counts as fallen only once this battle saw it stand.
void winx_SetScriptTeam(int team, int units, bool factoryStands);
int winx_ScriptTeamUnits(int team);
bool winx_ScriptFactoryFell(int team);
// What a `destroy` line takes of the team: everything, its factory alone, or all but the factory.
enum class winx_DestroyScope { All, Factory, Units };
void winx_RequestDestroy(int team, winx_DestroyScope scope = winx_DestroyScope::All);
// The oldest pending team, removed from the queue with what goes of it; -1 when there is none.
int winx_TakeDestroyRequest(winx_DestroyScope& scope);
int winx_TakeDestroyRequest();
// The teams a `spare` line named, oldest first; -1 when none.
void winx_RequestSpare(int team);
int winx_TakeSpareRequest();
// The teams a `wound` line named, oldest first; -1 when none.
void winx_RequestWound(int team);
int winx_TakeWoundRequest();
// The teams an `attack` line named, oldest first; -1 when none.
void winx_RequestAttack(int team);
int winx_TakeAttackRequest();
void winx_RequestArtifact(int team, int effect);
// The oldest pending artifact's team, removed from the queue with its effect; -1 when none.
int winx_TakeArtifactRequest(int& effect);
// The teams a `forge` line named, oldest first; -1 when none.
void winx_RequestForge(int team);
int winx_TakeForgeRequest();
// A crafted peer's words (`craft`, for tests), oldest first: what each sends, as the README
// tells, with its numbers.
enum class winx_CraftedWord {
    Hits,
    Weapon,
    Wrecks,
    Mark,
    OneLinkPause,
    FactoryHits,
    FactoryShots,
    Goals
};
void winx_RequestCraft(winx_CraftedWord word, int x, int y);
// false when none is pending.
bool winx_TakeCraftRequest(winx_CraftedWord& word, int& x, int& y);
// A barrier's `pause` (1) or `resume` (0), oldest first; -1 when none.
void winx_RequestBarrier(int pause);
int winx_TakeBarrierRequest();
