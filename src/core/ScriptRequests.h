#pragma once
// What a headless run's input script asks of the World beyond input, reached through here as
// the World's other platform services are (the clock, the settings): the game mode it is in
// and whether its battle is paused (for `await`), the checksums to write (`checksum NAME`), the
// teams whose objects are to be destroyed (`destroy TEAM [factory|units]`) and the test artifacts
// to place (`artifact TEAM EFFECT`).
#include <cstdint>
#include <string>

// The World tells its current mode every tick.
void ReportScriptGameMode(int mode);
// The World tells every tick whether a battle is on and whether it is paused.
void ReportScriptBattle(bool inBattle, bool paused);
// The oldest pending checksum request's name, removed from the queue; empty when none.
std::string TakeChecksumRequest();
// Writes the value as 16 hex digits into the request's file, atomically; false on failure.
bool WriteChecksumFile(const std::string& name, uint64_t value);
// Whether checksums also want their field listings written (QX_CHECKSUM_LISTING is set).
bool ChecksumListingWanted();
// Writes checksum NAME's field listing for comparing machines; false on failure.
bool WriteChecksumListing(const std::string& name, const std::string& text);
// What a `destroy` line takes of the team: everything, its factory alone, or all but the factory.
enum class DestroyScope { kAll, kFactory, kUnits };
// The oldest pending team to destroy, removed from the queue with what goes of it; -1 when
// none.
int TakeDestroyRequest(DestroyScope& scope);
// The oldest team a `spare` line named, removed from the queue; -1 when none.
int TakeSpareRequest();
// The oldest team a `wound` line named, removed from the queue; -1 when none.
int TakeWoundRequest();
// The oldest team an `attack` line named, removed from the queue; -1 when none.
int TakeAttackRequest();
// The World tells every tick of a battle each team's units standing and whether its factory
// stands (for `await units` and `await fallen`).
void ReportScriptTeam(int team, int units, bool factoryStands);
// The oldest pending test artifact's team, removed from the queue with its effect; -1 when
// none.
int TakeArtifactRequest(int& effect);
// The oldest team a `forge` line named, removed from the queue; -1 when none.
int TakeForgeRequest();
// A crafted peer's word (`craft`, for tests): what it sends and its numbers, as the README's
// script table tells.
enum class CraftedWord {
    Hits,
    Weapon,
    Wrecks,
    Mark,
    OneLinkPause,
    FactoryHits,
    FactoryShots,
    Goals
};
struct CraftRequest {
    CraftedWord word = CraftedWord::Hits;
    int x = 0;
    int y = 0;
};
// The oldest pending `craft` line, removed from the queue; false when none.
bool TakeCraftRequest(CraftRequest& request);
// The oldest pending barrier line: 1 `pause`, 0 `resume`, -1 none.
int TakeBarrierRequest();
