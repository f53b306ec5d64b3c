#include "platform/ScriptHooks.h"

#include <array>
#include <cstddef>
#include <deque>
#include <utility>

namespace {
int scriptGameMode = 0;
winx_ScriptBattle scriptBattle = winx_ScriptBattle::None;
struct TeamSeen {
    int units = 0;
    bool standing = false;
    bool stood = false;
};
constexpr int kScriptTeams = 5;
TeamSeen teamsSeen[kScriptTeams];
std::deque<std::pair<int, winx_DestroyScope>>& DestroyRequests() {
    static std::deque<std::pair<int, winx_DestroyScope>> requests;
    return requests;
}
std::deque<std::pair<int, int>>& ArtifactRequests() {
    static std::deque<std::pair<int, int>> requests;
    return requests;
}
// The requests a script makes that carry one number (a team or a pause), a queue each.
enum class NumberQueue { Forge, Spare, Wound, Attack, Barrier, Count };
std::deque<int>& Requests(NumberQueue queue) {
    static std::array<std::deque<int>, static_cast<std::size_t>(NumberQueue::Count)> queues;
    return queues[static_cast<std::size_t>(queue)];
}
struct CraftRequest {
    winx_CraftedWord word;
    int x;
    int y;
};
std::deque<CraftRequest>& CraftRequests() {
    static std::deque<CraftRequest> requests;
    return requests;
}
// The oldest of a queue of numbers, removed; -1 when it is empty.
int TakeOldest(std::deque<int>& requests) {
    if (requests.empty()) return -1;
    const int oldest = requests.front();
    requests.pop_front();
    return oldest;
}
}  // namespace

void winx_SetScriptGameMode(int mode) {
    scriptGameMode = mode;
}

int winx_ScriptGameMode() {
    return scriptGameMode;
}

void winx_SetScriptBattle(winx_ScriptBattle state) {
    // A new battle starts with nothing seen; the last one's stays for the results screen, where
    // a beaten side's factory is still the one that fell.
    if (scriptBattle == winx_ScriptBattle::None && state != winx_ScriptBattle::None) {
        for (TeamSeen& seen : teamsSeen)
            seen = TeamSeen();
    }
    scriptBattle = state;
}

void winx_SetScriptTeam(int team, int units, bool factoryStands) {
    if (team < 1 || team >= kScriptTeams) return;
    TeamSeen& seen = teamsSeen[team];
    seen.units = units;
    seen.standing = factoryStands;
    seen.stood = seen.stood || factoryStands;
}

int winx_ScriptTeamUnits(int team) {
    if (team < 1 || team >= kScriptTeams) return 0;
    return teamsSeen[team].units;
}

bool winx_ScriptFactoryFell(int team) {
    if (team < 1 || team >= kScriptTeams) return false;
    const TeamSeen& seen = teamsSeen[team];
    return seen.stood && !seen.standing;
}

winx_ScriptBattle winx_ScriptBattleState() {
    return scriptBattle;
}

void winx_RequestDestroy(int team, winx_DestroyScope scope) {
    DestroyRequests().emplace_back(team, scope);
}

int winx_TakeDestroyRequest(winx_DestroyScope& scope) {
    scope = winx_DestroyScope::All;
    if (DestroyRequests().empty()) return -1;
    const auto [team, asked] = DestroyRequests().front();
    DestroyRequests().pop_front();
    scope = asked;
    return team;
}

int winx_TakeDestroyRequest() {
    winx_DestroyScope scope = winx_DestroyScope::All;
    return winx_TakeDestroyRequest(scope);
}

void winx_RequestArtifact(int team, int effect) {
    ArtifactRequests().emplace_back(team, effect);
}

int winx_TakeArtifactRequest(int& effect) {
    effect = 0;
    if (ArtifactRequests().empty()) return -1;
    const auto [team, kind] = ArtifactRequests().front();
    ArtifactRequests().pop_front();
    effect = kind;
    return team;
}

void winx_RequestSpare(int team) {
    Requests(NumberQueue::Spare).push_back(team);
}

int winx_TakeSpareRequest() {
    return TakeOldest(Requests(NumberQueue::Spare));
}

void winx_RequestWound(int team) {
    Requests(NumberQueue::Wound).push_back(team);
}

int winx_TakeWoundRequest() {
    return TakeOldest(Requests(NumberQueue::Wound));
}

void winx_RequestAttack(int team) {
    Requests(NumberQueue::Attack).push_back(team);
}

int winx_TakeAttackRequest() {
    return TakeOldest(Requests(NumberQueue::Attack));
}

void winx_RequestForge(int team) {
    Requests(NumberQueue::Forge).push_back(team);
}

int winx_TakeForgeRequest() {
    return TakeOldest(Requests(NumberQueue::Forge));
}

void winx_RequestCraft(winx_CraftedWord word, int x, int y) {
    CraftRequests().push_back({word, x, y});
}

bool winx_TakeCraftRequest(winx_CraftedWord& word, int& x, int& y) {
    if (CraftRequests().empty()) return false;
    const CraftRequest request = CraftRequests().front();
    CraftRequests().pop_front();
    word = request.word;
    x = request.x;
    y = request.y;
    return true;
}

void winx_RequestBarrier(int pause) {
    Requests(NumberQueue::Barrier).push_back(pause);
}

int winx_TakeBarrierRequest() {
    return TakeOldest(Requests(NumberQueue::Barrier));
}
