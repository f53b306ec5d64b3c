#include "objects/DefencePart.h"

#include "catalogue/HardpointItemTemplates.h"
#include "core/SpriteSet.h"
#include "map/TerrainMap.h"
#include "objects/GameObject.h"
#include "objects/ObjectWorld.h"
#include "ui/ScreenBase.h"

DefencePart::DefencePart(MountTemplate* item, int hardpoint)
    : SpriteAttachment(item, hardpoint),
      effectTimer(dynamic_cast<DefenceItemTemplate*>(item)
                      ? dynamic_cast<DefenceItemTemplate*>(item)->framePeriod
                      : 0) {}

DefencePart::~DefencePart() = default;

DefenceItemTemplate* DefencePart::Item() const {
    return dynamic_cast<DefenceItemTemplate*>(part);
}

void DefencePart::Trigger(const SimId& at) {
    effectOn = 1;
    effectObject = at;
    effectTimer.Start();
}

void DefencePart::Update(int, Sim&) {
    DefenceItemTemplate* item = Item();
    if (effectOn == 0 || !effectTimer.Expired()) return;
    ++effectFrame;
    if (item && effectFrame < item->frameCount) {
        effectTimer.Start();
        return;
    }
    effectOn = 0;
    effectFrame = 0;
}

void DefencePart::Draw(ScreenBase& view, const Point& mapPoint, int shaded) {
    SpriteAttachment::Draw(view, mapPoint, shaded);
    DefenceItemTemplate* item = Item();
    if (effectOn == 0 || !item || !item->effectPictures) return;
    ObjectWorld& world = TheObjectWorld();
    GameObject* over = world.FindObject(effectObject);
    const Point at = over ? view.MapToScreen(over->GetPosition()) : view.MapToScreen(mapPoint);
    const int frame = effectFrame >= 0 && effectFrame < DefenceItemTemplate::kMaxFrames
                          ? item->frameList[static_cast<size_t>(effectFrame)]
                          : 0;
    TerrainMap* terrain = world.Terrain();
    if (item->shadedDraw == 1 && terrain && terrain->ShadeTable2())
        item->effectPictures->DrawFrameTinted(at, frame, *terrain->ShadeTable2(), 0);
    else
        item->effectPictures->DrawFrame(at, frame);
}
