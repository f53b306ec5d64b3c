#include "core/ScriptRequests.h"

#include "platform/ChecksumRequest.h"
#include "platform/ScriptHooks.h"

void ReportScriptGameMode(int mode) {
    winx_SetScriptGameMode(mode);
}

void ReportScriptBattle(bool inBattle, bool paused) {
    winx_SetScriptBattle(!inBattle ? winx_ScriptBattle::None
                         : paused  ? winx_ScriptBattle::Paused
                                   : winx_ScriptBattle::Running);
}

std::string TakeChecksumRequest() {
    return winx_TakeChecksumRequest();
}

bool WriteChecksumFile(const std::string& name, uint64_t value) {
    return winx_WriteChecksumFile(name, value);
}

bool ChecksumListingWanted() {
    return !winx_ChecksumListingDirectory().empty();
}

bool WriteChecksumListing(const std::string& name, const std::string& text) {
    return winx_WriteChecksumListing(name, text);
}

int TakeDestroyRequest(DestroyScope& scope) {
    winx_DestroyScope asked = winx_DestroyScope::All;
    const int team = winx_TakeDestroyRequest(asked);
    scope = asked == winx_DestroyScope::Factory ? DestroyScope::kFactory
            : asked == winx_DestroyScope::Units ? DestroyScope::kUnits
                                                : DestroyScope::kAll;
    return team;
}

int TakeSpareRequest() {
    return winx_TakeSpareRequest();
}

int TakeWoundRequest() {
    return winx_TakeWoundRequest();
}

int TakeAttackRequest() {
    return winx_TakeAttackRequest();
}

void ReportScriptTeam(int team, int units, bool factoryStands) {
    winx_SetScriptTeam(team, units, factoryStands);
}

int TakeArtifactRequest(int& effect) {
    return winx_TakeArtifactRequest(effect);
}

int TakeForgeRequest() {
    return winx_TakeForgeRequest();
}

bool TakeCraftRequest(CraftRequest& request) {
    winx_CraftedWord word = winx_CraftedWord::Hits;
    if (!winx_TakeCraftRequest(word, request.x, request.y)) return false;
    request.word = static_cast<CraftedWord>(word);
    return true;
}

int TakeBarrierRequest() {
    return winx_TakeBarrierRequest();
}
