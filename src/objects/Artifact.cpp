#include "objects/Artifact.h"

#include "catalogue/TemplateCatalogue.h"
#include "core/Random.h"
#include "core/SpriteSet.h"
#include "map/PathGrid.h"
#include "objects/CommandBuffer.h"
#include "objects/ObjectWorld.h"
#include "ui/ScreenBase.h"

namespace {

int RandomEffect() {
    ObjectWorld& world = TheObjectWorld();
    const bool tenthOfV = world.MissionNumber() == 10 && world.MissionClan() == 'V';
    return RandomRange(tenthOfV ? 3 : 1, 5);
}

}  // namespace

Artifact::Artifact(const Point& position, const Size& size, SpriteSet* sprites, Sound* pickupSound,
                   const CollisionFilter& filter, const SimId& id)
    : Artifact(position, size, sprites, pickupSound, filter, id, RandomEffect()) {}

Artifact::Artifact(const Point& position, const Size& size, SpriteSet* sprites, Sound* pickupSound,
                   const CollisionFilter& filter, const SimId& id, int effectType)
    : GameObject(position, 0, size, sprites, 0, filter, id, 0, 1),
      effectType(effectType),
      pickupSound(pickupSound) {}

Artifact::~Artifact() = default;

int Artifact::LastFrameOfStage(int s) {
    Image* sequence = spriteSet ? spriteSet->SubImage(s) : nullptr;
    return sequence ? sequence->LastFrameIndex() : 0;
}

void Artifact::Update(int /*elapsedMs*/) {
    if (taken == 1 && stepTimer.Expired()) {
        ++stageFrame;
        if (stageFrame > LastFrameOfStage(stage)) {
            if (stage == 0) {
                stageFrame = 0;
                if (effectType == 5) {
                    Destroy();
                } else {
                    stage = effectType;
                }
            } else {
                Destroy();
            }
        }
        stepTimer.Start();
    }
    if (!takerId.IsNull()) {
        GameObject* taker = TheObjectWorld().FindObject(takerId);
        if (!taker) {
            Destroy();
        } else {
            SetPosition(taker->GetPosition());
        }
    }
}

void Artifact::Draw(ScreenBase& view) {
    Image* sequence = spriteSet ? spriteSet->SubImage(stage) : nullptr;
    if (sequence) sequence->DrawFrame(view.MapToScreen(position), stageFrame);
}

void Artifact::DrawSensed(ScreenBase& view, const ShadeTable* table) {
    Image* sequence = spriteSet ? spriteSet->SubImage(stage) : nullptr;
    if (sequence && table)
        sequence->DrawFrameTinted(view.MapToScreen(position), stageFrame, *table, 0);
}

int Artifact::MayBeTakenBy(GameObject* taker) {
    if (!taker) return 0;
    switch (taker->GetKind()) {
        case ObjectKind::kUnit:
        case ObjectKind::kRepairUnit:
        case ObjectKind::kCaptureUnit:
        case ObjectKind::kDeployed:
        case ObjectKind::kFactory:
            return 1;
        default:
            return 0;
    }
}

void Artifact::PickUp(GameObject* taker) {
    if (!taker || !takerId.IsNull()) return;
    ObjectWorld& world = TheObjectWorld();
    const int network = world.IsNetworkGame() == 1;
    if (network && world.IsNetworkHost() != 1) return;
    Take(taker);
    if (network) world.Commands().SendArtifactAward(this, taker->id);
}

void Artifact::Take(GameObject* taker) {
    if (!taker || !takerId.IsNull()) return;
    Retire(taker->id);
    ObjectWorld& world = TheObjectWorld();
    if (taker->teamRecord.second == world.LocalTeam()) world.PlaySound(pickupSound);
    ApplyEffect(taker);
}

void Artifact::Retire(const SimId& winner) {
    if (winner.IsNull() || !takerId.IsNull()) return;
    ObjectWorld& world = TheObjectWorld();
    // The taker first: the World records who took it as it retires it.
    taken = 1;
    takerId = winner;
    world.RetireArtifact(this);
    // The cell no longer holds an artifact, whatever its bit said before.
    if (PathGrid* paths = world.Paths()) {
        short row = 0, column = 0;
        paths->PixelToCell(position, row, column);
        paths->ClearCellBits(row, column, kCellArtifact);
    }
}

void Artifact::ApplyEffectOf(int effectType, GameObject* taker) {
    if (!taker) return;
    GameObject* factory = TheObjectWorld().TeamFactory(taker->teamRecord.first);
    switch (effectType) {
        case 1:
            // A team without a factory gets nothing.
            if (factory && factory->local == 1) factory->Deposit(kFactoryGift);
            break;
        case 2:
            if (factory && factory->local == 1) factory->AddCargo(kFactoryGift);
            break;
        case 3:
            taker->damage.SetMax(taker->damage.Max() + taker->damage.Max() / 4);
            break;
        case 4:
            taker->AddUpgrade();
            break;
        case 5:
            if (taker->local == 1)
                taker->TakeDamage(nullptr, SimId(), DestructionEffect, taker->damage.Max() / 5);
            break;
        default:
            break;
    }
}
