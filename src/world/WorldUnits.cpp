// What the units ask of the World beside the registry: moving a unit to another team's list,
// visiting a team's units, and the players of the game.
#include "core/Settings.h"
#include "objects/GameObject.h"
#include "world/ObjectNode.h"
#include "world/World.h"

namespace {

bool IsTeam(int team) {
    return team >= 0 && team < World::kTeams;
}

}  // namespace

int World::MoveSimToTeam(GameObject* sim, int oldTeam, int newTeam) {
    if (!sim || !IsTeam(oldTeam) || !IsTeam(newTeam)) return 0;
    for (ListNode* n = sims[oldTeam].First(); n; n = sims[oldTeam].Next(n)) {
        if (static_cast<ObjectNode*>(n)->Object() != sim) continue;
        n->Unlink();
        sims[newTeam].PushFront(n);
        ReindexObject(sim->id);
        NoteTeamSimsChanged(oldTeam);
        NoteTeamSimsChanged(newTeam);
        return 1;
    }
    return 0;
}

void World::ForEachSim(int team, const std::function<void(GameObject*)>& visit) {
    if (!IsTeam(team)) return;
    for (ListNode* n = sims[team].First(); n; n = sims[team].Next(n))
        visit(static_cast<ObjectNode*>(n)->Object());
}

int World::PlayerCount() {
    return networkGame == 1 ? PeerCount() + 1 : 1;
}

int World::LowDetail() {
    return lowDetail;
}
