#include "platform/ScriptHooks.h"

#include <deque>

namespace {
int scriptGameMode = 0;
std::deque<int>& DestroyRequests() {
    static std::deque<int> requests;
    return requests;
}
}  // namespace

void winx_SetScriptGameMode(int mode) {
    scriptGameMode = mode;
}

int winx_ScriptGameMode() {
    return scriptGameMode;
}

void winx_RequestDestroy(int team) {
    DestroyRequests().push_back(team);
}

int winx_TakeDestroyRequest() {
    if (DestroyRequests().empty()) return -1;
    const int team = DestroyRequests().front();
    DestroyRequests().pop_front();
    return team;
}
