#include "objects/LandFeature.h"

#include <memory>

#include "catalogue/TemplateCatalogue.h"
#include "map/TerrainMap.h"
#include "objects/CommandBuffer.h"
#include "objects/ExplosionEffect.h"
#include "objects/ObjectWorld.h"

namespace {

const CollisionFilter kFeatureFilter(0, 0, 0, 0, 0);
constexpr int kMaxDamage = 100;

}  // namespace

LandFeature::LandFeature(const Point& position, const Size& size, const SimId& id)
    : GameObject(position, 0, size, nullptr, 0, kFeatureFilter, id, kMaxDamage, 1) {}

LandFeature::~LandFeature() = default;

void LandFeature::TakeDamage(WeaponTemplate* /*weapon*/, const SimId& /*attacker*/,
                             EffectTemplate* /*explosion*/, int amount) {
    if (IsDestroyed() == 1) return;
    Destroy();
    ObjectWorld& world = TheObjectWorld();
    world.AddEffect(std::make_unique<ExplosionEffect>(DestructionEffect, position,
                                                      world.NewSimId(0), 0, Point(), SimId(), 1));
    if (TerrainMap* terrain = world.Terrain()) {
        terrain->ClearLandFeature(position);
        terrain->ScarTile(position);
    }
    if (amount != kMirroredHit) world.Commands().SendNominalHit(this);
}

void LandFeature::ApplyDamageState(int32_t, int32_t, char, char, char) {
    TakeDamage(nullptr, SimId(), nullptr, kMirroredHit);
}
