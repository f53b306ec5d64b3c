// Alliances, the pause, the status line, the interface sounds, the timed cell effects and the
// small services beside them.
#include <cstring>

#include "core/Settings.h"
#include "core/VoicePool.h"
#include "map/PathGrid.h"
#include "map/TerrainMap.h"
#include "objects/CommandBuffer.h"
#include "objects/GameObject.h"
#include "objects/TimerNode.h"
#include "world/GameRecords.h"
#include "world/World.h"

namespace {

constexpr int32_t kCellEffectMs = 10000;
constexpr int kDefaultStatusColour = 10;

bool IsTeam(int team) {
    return team >= 0 && team < World::kTeams;
}

}  // namespace

// A team outside 0 .. 4 (from a damaged file or a peer) is allied with nobody and changes
// nothing.
int World::Ally(const SimId& a, const SimId& b) {
    if (!IsTeam(a.team) || !IsTeam(b.team)) return 0;
    if (alliance[a.team][b.team] != 0) return 0;
    alliance[a.team][b.team] = kAllied;
    alliance[b.team][a.team] = kAllied;
    return 1;
}

int World::AreAllied(const SimId& a, const SimId& b) {
    return AreAllied(a.team, b.team);
}

int World::AreAllied(const ValueTriple& a, const ValueTriple& b) {
    return AreAllied(a.first, b.first);
}

void World::Unally(const SimId& a, const SimId& b) {
    if (!IsTeam(a.team) || !IsTeam(b.team)) return;
    alliance[a.team][b.team] = 0;
    alliance[b.team][a.team] = 0;
}

void World::TogglePause() {
    if (pauseLocked == 1) return;
    SetPaused(paused == 0 ? 1 : 0);
    if (commands) commands->SendPause(paused);
    if (paused == 1) {
        // No peer can have marked a pause this machine only now starts: a mark offered before
        // it is of a pause that never came here (one sent on another link only), and taken now
        // it would settle this pause before the peers' own marks are in.
        for (PeerSlot& peer : peerSlots)
            peer.offeredMark = 0;
        MarkPause();
    }
}

void World::SetStatusMessage(const char* text, int colour) {
    const char* message = text ? text : "";
    std::strncpy(statusText, message, sizeof statusText);
    statusText[sizeof statusText - 1] = 0;
    statusColour = colour == 0 ? kDefaultStatusColour : colour;
    if (message[0] != 0) PlayUiSound(1);
}

int World::ColourOf(int colourNumber) const {
    const int entries = static_cast<int>(sizeof colourTable / sizeof colourTable[0]);
    // Outside the table (the default status colour 10 among them) black: the text colour 10
    // would vanish on a box of colour 10.
    if (colourNumber < 0 || colourNumber >= entries) return 0;
    return colourTable[colourNumber];
}

int World::PlayUiSound(int flag) {
    Sound* sound = flag != 0 ? confirmSound.get() : refuseSound.get();
    if (voices && sound) voices->Play(sound);
    return flag;
}

// An impact off the map marks nothing.
void World::AddCellEffect(const Point& p) {
    if (!terrain || !pathGrid || p.x < 0 || p.y < 0) return;
    short row = 0;
    short column = 0;
    pathGrid->PixelToCell(p, row, column);
    if (!pathGrid->IsInside(row, column)) return;
    if (terrain->ScarTile(p) != 1 || lowDetail) return;
    auto* node = new TimerNode(p, kCellEffectMs);
    cellEffects.PushFront(node);
    pathGrid->SetCellBits(row, column, kCellEffect);
}

// The first mark to run out clears its cell's bit, also when another mark of the cell lives on.
void World::UpdateCellEffects(int elapsedMs) {
    ListNode* next = nullptr;
    for (ListNode* n = cellEffects.First(); n; n = next) {
        next = cellEffects.Next(n);
        auto* effect = static_cast<TimerNode*>(n);
        effect->Elapse(elapsedMs);
        if (effect->remainingMs >= 1) continue;
        if (pathGrid) {
            short row = 0;
            short column = 0;
            pathGrid->PixelToCell(effect->position, row, column);
            if (pathGrid->IsInside(row, column)) pathGrid->ClearCellBits(row, column, kCellEffect);
        }
        delete n;
    }
}

void World::DrawCellEffect(int row, int column, ScreenBase& screen) {
    if (lowDetail || !pathGrid || !pathGrid->IsInside(row, column)) return;
    if (!(pathGrid->CellWord(row, column) & kCellEffect)) return;
    for (ListNode* n = cellEffects.First(); n; n = cellEffects.Next(n)) {
        auto* effect = static_cast<TimerNode*>(n);
        short r = 0;
        short c = 0;
        pathGrid->PixelToCell(effect->position, r, c);
        if (r == row && c == column) {
            effect->Draw(screen);
            return;
        }
    }
}

void World::NoteLocalPosition(GameObject* object) {
    if (object && object->GetTeam() == LocalTeam()) lastLocalPosition = object->GetPosition();
}

void World::AddTeamCount(GameObject* object) {
    if (object && gameRecords && IsTeam(object->GetTeam()))
        gameRecords->CountKill(object->GetTeam());
}

int World::IsRectVisible(const Rect& r) {
    if (!terrain) return 0;
    const Rect clipped = r.Intersect(Rect(Point(0, 0), terrain->PixelExtent()));
    return terrain->RectVisibility(clipped) > 0 ? 1 : 0;
}
