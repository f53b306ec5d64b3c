// The per-frame update and the drawing of the whole screen: the map with its objects in three
// layers under the fog-of-war rules, shots and effects, the rubber band and the waypoint
// marker, then the side panel, the unit panel, the overlays, the bottom strip and the status or
// chat line.
#include <cstring>

#include "catalogue/VehicleDesign.h"
#include "core/Bitmap.h"
#include "core/ColourBox.h"
#include "core/DisplayBase.h"
#include "core/Image.h"
#include "core/OutlineRect.h"
#include "core/SpriteSet.h"
#include "core/TextWriter.h"
#include "map/PathGrid.h"
#include "map/SightGrid.h"
#include "map/TerrainMap.h"
#include "objects/GameObject.h"
#include "objects/Weapon.h"
#include "screens/battle/BattleOverlays.h"
#include "screens/battle/BattleScreen.h"
#include "screens/battle/ControlPanel.h"
#include "screens/battle/DesignPanels.h"
#include "ui/Button.h"
#include "ui/TextField.h"
#include "world/ObjectNode.h"
#include "world/World.h"

namespace {

template <class Visit>
void ForEachListed(const NodeList& list, Visit visit) {
    for (ListNode* n = list.First(); n; n = list.Next(n)) {
        if (GameObject* o = static_cast<ObjectNode*>(n)->Object()) visit(o);
    }
}

}  // namespace

int BattleScreen::Update(int elapsedMs) {
    World* world = TheWorldOrNull();
    // 1. The mission text dialog runs alone.
    if (missionText) {
        if (missionText->Update(elapsedMs) == 0) {
            missionText->Unload();
            missionText.reset();
        }
        return 1;
    }
    // 2.
    goOn = 1;
    // 3. A list being scrolled redraws the panel every frame.
    if (mouseButtonHeld &&
        (hoverRegion == kProductionListRegion || hoverRegion == kBuildListRegion)) {
        panelRedrawAccumulator = panelRedrawPeriod;
    }
    // 4. The control released last sets its setting in every selected unit's design.
    if (unitPanelOpen && activePanel) {
        for (GameObject* o : SelectedObjects()) {
            if (VehicleDesign* design = o->GetDesign()) activePanel->OnRelease(*design);
        }
        activePanel->released = nullptr;
    }
    // 5. The options overlay.
    if (optionsOpen && optionsMenu && optionsMenu->Update(elapsedMs) == 0) {
        goOn = OptionsMenuWantsMissionText(*optionsMenu);
        CloseOptionsMenu();
    }
    // 6. Following the tracked unit.
    if (tracking && goOn == 1 && world) {
        if (GameObject* unit = world->FindObject(trackedUnit)) {
            if (unit->GetTeam() == localTeam) {
                WantCentreAt(unit->position);
                ClampScroll();
                ChooseCursor(ScreenToMap(mousePoint));
            } else {
                trackedUnit = SimId();
            }
        }
    }
    // 7. The waypoint marker plays its frames twice, one per tenth of a second.
    if (markerSprites && (markerPoint.x != 0 || markerPoint.y != 0) && world &&
        world->lastTenth != markerStamp) {
        markerStamp = world->lastTenth;
        ++markerFrame;
        if (markerFrame > markerSprites->LastFrameIndex()) {
            ++markerPhase;
            markerFrame = 0;
            if (markerPhase >= 2) markerPoint = Point();
        }
    }
    // 8. No factory, no build panel.
    if (!Factory()) buildPanelOpen = 0;
    // 9.
    if (!goOn) cursorShape = kNoCursor;
    return goOn;
}

void BattleScreen::SizeDrawList() {
    // Every cell of the window can add one entry, and on layer 1 a land feature besides.
    const Size extent = ViewExtent();
    const int32_t columns = (extent.w >> 5) + 2 + 2 * kDrawMargin;
    const int32_t rows = (extent.h >> 5) + 2 + 2 * kDrawMargin;
    const size_t needed = static_cast<size_t>(2 * columns * rows);
    if (drawList.capacity() < needed) drawList.reserve(needed);
}

int32_t BattleScreen::DrawKindOf(GameObject* o, int32_t row, int32_t column) {
    World* world = TheWorldOrNull();
    const int32_t vis = world->terrain ? world->terrain->RectVisibility(o->GetFootprint()) : 1;
    const int team = o->GetTeam();
    // Stealth keeps an enemy unseen unless it is captured, revealed, or something stands by it.
    const bool hidden = o->stealth.IsHidden(team) && team != world->LocalTeam() &&
                        o->teamRecord.second == team && !revealMap &&
                        !world->HasObjectAround(o, -1);
    if (vis >= 1 && !hidden) return kDrawPlain;
    const SightGrid* sight = world->sight.get();
    if (!sight) return -1;
    const int32_t r = row / 2;
    const int32_t c = column / 2;
    if (o->IsDetectableB() && sight->SeenInLayer3(r, c, localTeam)) return 2;
    if (o->IsDetectableA() && sight->SeenInLayer1(r, c, localTeam) && !o->stealth.IsHiddenA(team) &&
        !o->stealth.IsHidden(team)) {
        return 1;
    }
    if (o->IsDetectableC() && sight->SeenInLayer2(r, c, localTeam) && !o->stealth.IsHiddenB(team) &&
        !o->stealth.IsHidden(team)) {
        return 3;
    }
    return -1;
}

int32_t BattleScreen::IsSeenNow(GameObject* o) {
    World* world = TheWorldOrNull();
    if (!o || !world || !world->terrain) return 0;
    const int32_t radius = o->GetRadius();
    const Rect r(o->GetCentre(), Size(2 * radius, 2 * radius), 'c');
    return world->terrain->RectVisibility(r) > 0 ? 1 : 0;
}

void BattleScreen::Draw(int elapsedMs) {
    World* world = TheWorldOrNull();
    if (!display || !world) return;
    // 1.
    uint8_t* pixels = nullptr;
    Size frameSize;
    int32_t pitch = 0;
    display->GetFrameBuffer(pixels, frameSize, pitch);
    // 2. The margin round a map smaller than the view.
    if (viewRect != mapViewArea) {
        display->SetClipRect(mapViewArea);
        ColourBox(254, mapViewArea.extent).DrawAt(mapViewArea.origin);
        display->ResetClipRect();
    }
    // 3. The ground.
    ImageZoom = zoom;
    TerrainMap* terrain = world->terrain.get();
    PathGrid* paths = world->pathGrid.get();
    if (terrain) {
        display->SetClipRect(viewRect);
        if (zoom == 0)
            terrain->DrawViewZoom0(viewOrigin);
        else if (zoom == 1)
            terrain->DrawViewZoom1(viewOrigin);
        else
            terrain->DrawViewZoom2(viewOrigin);
    }
    // 5.
    display->SetClipRect(viewRect);
    if (paths) DrawMapObjects(*paths, terrain);
    // 7. Taken artifacts.
    ForEachListed(world->takenArtifacts, [&](GameObject* o) {
        if (IsSeenNow(o)) o->Draw(*this);
    });
    // 8. Shots: also those flying at something seen.
    for (int team = 0; team < World::kTeams; ++team) {
        ForEachListed(world->weapons[team], [&](GameObject* o) {
            bool seen = IsSeenNow(o);
            if (!seen) {
                auto* shot = dynamic_cast<Weapon*>(o);
                seen = shot && IsSeenNow(shot->GetTarget());
            }
            if (seen) o->Draw(*this);
        });
    }
    // 9. Effects.
    for (int team = 0; team < World::kTeams; ++team) {
        ForEachListed(world->effects[team], [&](GameObject* o) {
            if (IsSeenNow(o)) o->Draw(*this);
        });
    }
    // 10. The rubber band.
    if (rubberBanding && band.extent.w > 0 && band.extent.h > 0)
        OutlineRect(100, band.extent).DrawAt(band.origin);
    // 11. The waypoint marker.
    if (markerSprites && (markerPoint.x != 0 || markerPoint.y != 0)) {
        if (Image* frame = markerSprites->SubImage(markerFrame))
            frame->Draw(MapToScreen(markerPoint));
    }
    // 12. The frame round the map.
    ImageZoom = 0;
    display->SetClipRect(mapViewArea);
    if (mapFramePicture) mapFramePicture->DrawAt(Point(0, 0));
    // 13. The side panel: redrawn after input or once a second, shown every frame.
    if (debugWatch.IsNull()) {
        panelRedrawAccumulator += elapsedMs;
        if (panelRedrawAccumulator > panelRedrawPeriod) {
            DrawControlPanel();
            panelRedrawAccumulator = 0;
        }
    } else {
        DrawSimDebugPanel();
    }
    if (panelBitmap) {
        display->SetClipRect(panelRect);
        panelBitmap->DrawAt(panelRect.origin);
    }
    // 14. The unit panel.
    display->SetClipRect(mapViewArea);
    if (unitPanelOpen) DrawUnitPanelOverlay();
    // 15. The options overlay.
    if (optionsOpen && optionsMenu) optionsMenu->Draw(elapsedMs);
    // 16, 17. The strip toggle and the bottom strip.
    display->SetClipRect(Rect(Point(0, 0), Size(kScreenWidth, kScreenHeight)));
    if (buttons[kStripToggleButton]) buttons[kStripToggleButton]->Draw();
    if (bottomStripShown) {
        if (bottomStripPicture) bottomStripPicture->DrawAt(Point(0, 448));
        const int32_t showPressed[3] = {showAllMarkers, tracking, IsPaused()};
        for (int id = kDestroyButton; id <= kPauseButton; ++id) {
            Button* button = buttons[id].get();
            if (!button) continue;
            if (id >= kMarkersButton) button->SetPressed(showPressed[id - kMarkersButton] ? 1 : 0);
            button->Draw();
        }
    }
    // 18.
    DrawStatusLine();
    // 19.
    display->ResetClipRect();
    display->ReleaseFrameBuffer();
    // 20.
    if (missionText) missionText->Draw(elapsedMs);
}

void BattleScreen::DrawMapObjects(PathGrid& paths, TerrainMap* terrain) {
    World* world = TheWorldOrNull();
    // 4. The cells of the view and a margin of four.
    short row0 = 0;
    short column0 = 0;
    short row1 = 0;
    short column1 = 0;
    paths.PixelToCell(viewOrigin, row0, column0);
    paths.PixelToCell(Point(viewOrigin.x + ((viewRect.extent.w - 1) << zoom),
                            viewOrigin.y + ((viewRect.extent.h - 1) << zoom)),
                      row1, column1);
    const int32_t firstRow = std::max(0, row0 - kDrawMargin);
    const int32_t firstColumn = std::max(0, column0 - kDrawMargin);
    const int32_t lastRow = std::min(paths.Rows() - 1, row1 + kDrawMargin);
    const int32_t lastColumn = std::min(paths.Columns() - 1, column1 + kDrawMargin);
    // 6. Three layers, each scanned row by row, drawn under first and then in scan order.
    for (int32_t layer = 0; layer < kLayers; ++layer) {
        drawList.clear();
        for (int32_t row = firstRow; row <= lastRow; ++row) {
            for (int32_t column = firstColumn; column <= lastColumn; ++column) {
                // a.
                if (MapObjectView* view = paths.ObjectAnchoredAt(row, column, layer)) {
                    auto* o = static_cast<GameObject*>(view);
                    const int32_t kind = DrawKindOf(o, row, column);
                    if (kind == kDrawPlain) {
                        if (showAllMarkers) o->drawFlag = 1;
                        o->DrawUnder(*this);
                    }
                    if (kind >= 0) {
                        drawList.push_back(
                            {o, static_cast<int16_t>(row), static_cast<int16_t>(column), kind});
                    }
                }
                // b. Land features, cell effects and artifacts of cells ever seen.
                if (layer != 1 || !terrain || terrain->Visibility(row, column) < 0) continue;
                if (terrain->LandFeatureAt(row, column) != -1) {
                    drawList.push_back({nullptr, static_cast<int16_t>(row),
                                        static_cast<int16_t>(column), kDrawLandFeature});
                }
                world->DrawCellEffect(row, column, *this);
                if (paths.CellWord(row, column) & kCellArtifact) {
                    const Point centre = terrain->CellCenter(row, column);
                    GameObject* artifact = world->ArtifactAt(centre);
                    if (artifact && artifact->spriteSet) {
                        if (Image* picture = artifact->spriteSet->SubImage(0))
                            picture->Draw(MapToScreen(centre));
                    }
                }
            }
        }
        // c.
        for (const DrawEntry& entry : drawList) {
            if (entry.kind == kDrawPlain)
                entry.object->Draw(*this);
            else if (entry.kind == kDrawLandFeature)
                terrain->DrawLandFeature(entry.row, entry.column, *this);
            else
                entry.object->DrawSensed(*this, sensedTints[entry.kind - 1].get());
        }
    }
    drawCount = static_cast<int32_t>(drawList.size());
}

void BattleScreen::DrawUnitPanelOverlay() {
    if (unitPanelBackground) unitPanelBackground->DrawAt(Point(0, 0));
    DesignPanels* panels = FindDesignPanels();
    const std::vector<GameObject*> selected = SelectedObjects();
    if (selected.size() == 1) {
        if (singleUnitOverlay) singleUnitOverlay->DrawAt(Point(0, 0));
        if (panels && selected[0]->GetDesign())
            panels->DrawDesignSettings(*selected[0]->GetDesign());
    }
    display->SetClipRect(viewRect);
    if (activePanel) {
        if (controlBackdrop) controlBackdrop->DrawAt(Point(0, 0));
        activePanel->Draw(Point(0, 0));
    }
    if (panels) {
        for (int32_t code : DesignPanels::kPageCodes) {
            if (Button* page = panels->SettingsPageButton(code)) page->Draw();
        }
    }
}

void BattleScreen::DrawStatusLine() {
    World* world = TheWorldOrNull();
    if (!world || !world->font) return;
    const bool chat = chatField != nullptr;
    if (!chat && world->statusText[0] == 0) return;
    const int32_t box = chat ? world->localPlayer.third : world->statusColour;
    const int32_t text = world->ColourOf(box);
    const Rect& r = statusRect;
    ColourBox(box, r.extent).DrawAt(r.origin);
    OutlineRect(box, Size(r.extent.w + 4, r.extent.h + 4))
        .DrawAt(Point(r.origin.x - 2, r.origin.y - 2));
    OutlineRect(text, Size(r.extent.w + 2, r.extent.h + 2))
        .DrawAt(Point(r.origin.x - 1, r.origin.y - 1));
    display->SetClipRect(r);
    if (chat) {
        chatField->rect = r;
        chatField->Draw(text);
    } else {
        world->font->DrawText(Point(r.origin.x + 1, r.origin.y + r.extent.h - 3), world->statusText,
                              text);
    }
}
