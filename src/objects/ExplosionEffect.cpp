#include "objects/ExplosionEffect.h"

#include "catalogue/EffectTemplate.h"
#include "core/SpriteSet.h"
#include "map/TerrainMap.h"
#include "objects/ObjectWorld.h"
#include "ui/ScreenBase.h"

namespace {

const CollisionFilter kEffectFilter(3, 0, 0, 0, 0);

}  // namespace

ExplosionEffect::ExplosionEffect(EffectTemplate* effect, const Point& position, const SimId& id,
                                 const Point& offset, const SimId& followId, int mode)
    : ExplosionEffect(effect, position, id, effect ? effect->startDelay : 0, offset, followId,
                      mode) {}

ExplosionEffect::ExplosionEffect(EffectTemplate* effect, const Point& position, const SimId& id,
                                 int startDelay, const Point& offset, const SimId& followId,
                                 int mode)
    : GameObject(position + offset, 0, Size(8, 8), nullptr, 0, kEffectFilter, id, 1, 1),
      startDelay(startDelay),
      followId(followId),
      offset(offset) {
    if (!effect) return;
    sound = effect->sound.get();
    animation = effect->pictures.get();
    framePeriod = effect->framePeriod;
    if (mode == 1) {
        frameCount = effect->firstLength;
        frameList = effect->firstSequence.data();
    } else {
        frameCount = effect->secondLength;
        frameList = effect->secondSequence.data();
    }
    if (mode == 1 && sound && startDelay < 1) PlaySoundIfSeen();
}

ExplosionEffect::~ExplosionEffect() = default;

void ExplosionEffect::PlaySoundIfSeen() {
    ObjectWorld& world = TheObjectWorld();
    if (world.IsRectVisible(Rect(GetCentre(), GetSize(), 'c'))) world.PlaySound(sound);
}

void ExplosionEffect::Update(int elapsedMs) {
    if (!followId.IsNull()) {
        if (GameObject* followed = TheObjectWorld().FindObject(followId))
            SetPosition(followed->GetCentre() + offset);
    }
    elapsed += elapsedMs;
    if (startDelay < 1) {
        if (!animation) {
            Destroy();
        } else if (elapsed > framePeriod) {
            elapsed = 0;
            ++currentFrame;
            // At or past the end: a sequence of no frames ends too.
            if (currentFrame >= frameCount) Destroy();
        }
        return;
    }
    startDelay -= elapsed;
    elapsed = 0;
    if (sound && startDelay < 1) PlaySoundIfSeen();
}

void ExplosionEffect::Draw(ScreenBase& view) {
    if (!animation || startDelay >= 1 || currentFrame >= frameCount || !frameList) return;
    TerrainMap* terrain = TheObjectWorld().Terrain();
    if (!terrain || !terrain->ShadeTable2()) return;
    animation->DrawFrameShaded(view.MapToScreen(position), frameList[currentFrame],
                               *terrain->ShadeTable2());
}

void ShowExplosion(GameObject& object, EffectTemplate* explosion) {
    ObjectWorld& world = TheObjectWorld();
    const SimId effectId = world.NewSimId(0);
    if (object.IsDestroyed() == 1) {
        world.AddEffect(std::make_unique<ExplosionEffect>(explosion, object.GetPosition(), effectId,
                                                          Point(), SimId(), 1));
    } else {
        object.AttachEffect(std::make_unique<ExplosionEffect>(explosion, object.GetPosition(),
                                                              effectId, Point(), object.id, 1));
    }
}
