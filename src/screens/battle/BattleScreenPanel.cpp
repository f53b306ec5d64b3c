// The side panel: the factory's counters, then the build panel (production and build lists,
// progress and design preview) or the chosen tab (mini-map, status, players) with the unit
// panel and the structure indicators, and the panel buttons. Everything is drawn into the
// panel bitmap, which the frame blits; pictures and buttons that carry their screen place are
// drawn shifted by the panel's origin.
#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/DeployingChassisTemplate.h"
#include "catalogue/DesignGroup.h"
#include "catalogue/DesignLibrary.h"
#include "catalogue/MountTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "core/Bitmap.h"
#include "core/ColourBox.h"
#include "core/DisplayBase.h"
#include "core/OutlineRect.h"
#include "core/SpriteSet.h"
#include "core/StringTable.h"
#include "core/TextWriter.h"
#include "map/PathGrid.h"
#include "map/SightGrid.h"
#include "map/TerrainMap.h"
#include "objects/FactoryProduction.h"
#include "objects/GameObject.h"
#include "screens/battle/BattleScreen.h"
#include "ui/Button.h"
#include "ui/ScrollList.h"
#include "world/MissionStats.h"
#include "world/Scenario.h"
#include "world/World.h"

namespace {

constexpr int32_t kTextColour = 10;
constexpr int32_t kHighlightColour = 9;
constexpr int32_t kPartNameColour = 110;
constexpr int32_t kViewOutlineColour = 100;
constexpr int32_t kEmptyTeamColour = 254;
// String-table lines of the panel's labels.
constexpr int32_t kStatusTitleLine = 221;
constexpr int32_t kStatusRowsLine = 222;
constexpr int32_t kPlayersTitleLine = 223;
constexpr int32_t kDesignStatsLine = 224;
constexpr int32_t kPreviewFacing = 14;
// The unit panel's picture area and readouts, in panel coordinates.
const Rect kUnitPictureClip(Point(9, 112), Point(116, 213));
const Rect kRankClip(Point(55, 229), Point(74, 239));
const Rect kDamageClip(Point(55, 270), Point(74, 280));

int32_t Clamp(int64_t v, int32_t low, int32_t high) {
    return static_cast<int32_t>(std::max<int64_t>(low, std::min<int64_t>(v, high)));
}

void Write(TextWriter* font, const Point& at, const char* text, int32_t colour) {
    if (font) font->DrawText(at, text, colour);
}

void Clip(const Rect& r) {
    if (display) display->SetClipRect(r);
}

// The chassis's unit-panel point of hardpoint i (its second point table); (0, 0) for any other
// index.
Point MountPoint(const ChassisTemplate& chassis, int32_t i) {
    if (i < 0 || i >= ChassisTemplate::kMaxHardpoints) return Point();
    return chassis.secondPoints[static_cast<size_t>(i)];
}

void DrawPicture(Bitmap* picture, const Point& at) {
    if (picture) picture->DrawAt(at);
}

}  // namespace

// A value past the bar's ends draws its first or last frame: the formulas reach n (a full
// bar) and go below 0 while the time left exceeds the build time.
int32_t BattleScreen::RankBarFrame(int32_t rank, int32_t frames) {
    if (rank <= 64 || frames <= 0) return -1;
    return Clamp((int64_t{frames} + 1) * (int64_t{rank} - 65) / 36, 0, frames - 1);
}

int32_t BattleScreen::DamageBarFrame(int32_t damagePercent, int32_t frames) {
    if (damagePercent <= 0 || frames <= 0) return -1;
    return Clamp((int64_t{frames} + 1) * (int64_t{damagePercent} - 1) / 100, 0, frames - 1);
}

int32_t BattleScreen::ProgressBarFrame(int32_t buildTime, int32_t remaining, int32_t frames) {
    if (buildTime <= 0 || frames <= 0) return -1;
    return Clamp((int64_t{buildTime} - remaining) * frames / buildTime, 0, frames - 1);
}

Point BattleScreen::PanelPictureOrigin() const {
    return Point(0, 0) - panelRect.origin;
}

void BattleScreen::DrawControlPanel() {
    World* world = TheWorldOrNull();
    if (!world || !panelBitmap || !display) return;
    // 1.
    if (!panelBitmap->RedirectDrawing()) return;
    const Rect wholePanel(Point(0, 0), panelRect.extent);
    const Point at = PanelPictureOrigin();
    TextWriter* font = world->font.get();
    DrawPicture(sidePanelPicture.get(), at);

    // 2. The factory's two counters.
    GameObject* factory = Factory();
    if (factory) {
        FactoryProduction* production = Production();
        const int32_t colour =
            production && production->GetCredit() >= 1 ? kHighlightColour : kTextColour;
        char text[16];
        Clip(Rect(Point(76, 22), Point(113, 31)));
        std::snprintf(text, sizeof text, "%05d", factory->GetStored());
        Write(font, Point(78, 31), text, colour);
        Clip(Rect(Point(9, 22), Point(46, 31)));
        std::snprintf(text, sizeof text, "%05d", factory->GetCargo());
        Write(font, Point(11, 31), text, colour);
    }

    if (buildPanelOpen) {
        // 3.
        DrawBuildPanel();
    } else {
        // 4.1 The tab.
        Scenario* scenario = world->scenario.get();
        const int32_t factoryPlaced = scenario && localTeam >= 0 && localTeam < World::kTeams
                                          ? scenario->factoryPlaced[localTeam]
                                          : 0;
        if (sideTab == 0) {
            if (factory || factoryPlaced == 0) DrawMiniMap();
        } else if (sideTab == 1) {
            DrawStatusTab();
        } else if (sideTab == 2) {
            DrawPlayersTab();
        }
        // 4.2 The unit panel. Nothing selected leaves no part selectors to hit.
        partSelectorCount = 0;
        GameObject* shown = nullptr;
        if (factory && factory->selected == 1 && !factory->IsDestroyed()) {
            shown = factory;
        } else {
            for (GameObject* o : SelectedObjects()) {
                if (!o->IsDestroyed()) {
                    shown = o;
                    break;
                }
            }
        }
        if (shown) {
            DrawUnitPanel(shown->GetDesign(), shown->GetRank(), shown->damage.Percent(),
                          shown == factory ? factory : nullptr, shown == factory ? nullptr : shown);
        }
        // 4.3 The structure indicators.
        for (size_t k = 0; k < structurePictures.size(); ++k) {
            if (!world->TeamHasStructure(localTeam, kStructureOrder[k])) continue;
            Clip(wholePanel);
            DrawPicture(structurePictures[k].get(), at);
        }
    }

    // 5.
    Clip(wholePanel);
    DrawPanelButtons();
    // 6.
    display->ResetClipRect();
    display->ClearRedirect();
}

void BattleScreen::DrawPanelButtons() {
    const Point offset = panelRect.origin;
    auto draw = [&](int32_t id) {
        if (Button* b = buttons[static_cast<size_t>(id)].get()) b->Draw(&offset);
    };
    auto drawPressed = [&](int32_t id, int32_t flag) {
        if (Button* b = buttons[static_cast<size_t>(id)].get()) {
            b->pressed = flag ? 1 : 0;
            b->Draw(&offset);
        }
    };
    draw(kDesignButton);
    drawPressed(kUnitPanelButton, unitPanelOpen);
    drawPressed(kOptionsButton, optionsOpen);
    if (buildPanelOpen) {
        draw(kBuildButton);
        draw(designListFlag == 1 ? kDesignGroupsButton : kSingleDesignsButton);
        draw(kCloseBuildPanelButton);
        return;
    }
    draw(miniMapScale == 2 ? kMiniMapScale1Button : kMiniMapScale2Button);
    draw(zoom == 0 ? kZoom2Button : kZoom1Button);
    draw(kNextTabButton);
    draw(kOpenBuildPanelButton);
    if (sideTab >= 0 && sideTab < static_cast<int32_t>(tabHeaders.size()))
        DrawPicture(tabHeaders[static_cast<size_t>(sideTab)].get(), PanelPictureOrigin());
}

void BattleScreen::DrawBuildPanel() {
    World& world = *TheWorldOrNull();
    TextWriter* font = world.font.get();
    const Rect wholePanel(Point(0, 0), panelRect.extent);
    const Point offset = panelRect.origin;
    // 3.1
    Clip(wholePanel);
    DrawPicture(buildPanelPicture.get(), PanelPictureOrigin());

    // 3.2 The job in progress: seconds left and the progress bar.
    FactoryProduction* production = Production();
    VehicleDesign* current = production ? production->CurrentJob() : nullptr;
    if (current && current->SumPartField7() > 0) {
        const int32_t buildTime = current->SumPartField7();
        const int32_t remaining = production->RemainingTime();
        char text[16];
        Clip(Rect(Point(15, 351), Point(31, 363)));
        std::snprintf(text, sizeof text, "%03d", remaining / 1000);
        Write(font, Point(15, 361), text, kTextColour);
        Clip(wholePanel);
        const int32_t frames = progressBar ? progressBar->Count() : 0;
        const int32_t frame = ProgressBarFrame(buildTime, remaining, frames);
        if (frame >= 0) progressBar->DrawFrameAt(PanelPictureOrigin(), frame);
    }

    VehicleDesign* marked = nullptr;
    // 3.3 The production list: the job in progress, then the queue from the next one built.
    if (productionList) {
        ScrollList& list = *productionList;
        const int32_t queued = production ? production->QueuedJobCount() : 0;
        const int32_t count = queued + (current ? 1 : 0);
        list.SetCount(count);
        for (int32_t row = 0; row < count; ++row) {
            VehicleDesign* design =
                current && row == 0 ? current
                                    : production->QueuedJob(queued - 1 - (row - (current ? 1 : 0)));
            const bool chosen = row == list.selection && currentList == productionList.get();
            if (chosen) marked = design;
            list.Draw(row, design ? design->name : "", chosen ? kHighlightColour : kTextColour,
                      &offset);
        }
        Clip(wholePanel);
        list.Tick(&offset);
    }

    // 3.4 The build list: single designs (those listed for building) or design groups.
    if (buildList && world.designLibrary) {
        ScrollList& list = *buildList;
        DesignLibrary& library = *world.designLibrary;
        const bool current = currentList == buildList.get();
        if (designListFlag == 1) {
            list.SetCount(library.CountAvailable());
            if (list.selection == -1) list.SetSelection(0);
            int32_t row = 0;
            for (VehicleDesign* d = library.FirstAvailable(); d; d = library.NextAvailable(d)) {
                if (d->complete != 1) continue;
                const bool chosen = row == list.selection && current;
                if (chosen) marked = d;
                list.Draw(row, d->name, chosen ? kHighlightColour : kTextColour, &offset);
                ++row;
            }
            list.SetCount(row);
        } else {
            list.SetCount(library.groups.Count());
            if (list.selection == -1) list.SetSelection(0);
            int32_t row = 0;
            for (DesignGroup* g = library.FirstGroup(); g; g = library.NextGroup(g), ++row) {
                list.Draw(row, g->name, row == list.selection ? kHighlightColour : kTextColour,
                          &offset);
            }
        }
        Clip(wholePanel);
        list.Tick(&offset);
    }

    // 3.5 The marked design's picture and figures.
    if (marked) {
        const Rect preview(Point(10, 107), Point(117, 208));
        Clip(preview);
        marked->Draw(preview.Centre(), kPreviewFacing, world.localPlayer.third);
        Clip(Rect(Point(22, 216), Point(106, 246)));
        Write(font, Point(24, 226), GetString(kDesignStatsLine), kTextColour);
        char text[48];
        std::snprintf(text, sizeof text, "%d\n%d\n%d", marked->SumPartField6(),
                      marked->SumPartField5(), marked->SumPartField7() / 1000);
        Write(font, Point(68, 226), text, kTextColour);
    }
}

void BattleScreen::DrawMiniMap() {
    World* world = TheWorldOrNull();
    if (!world || !world->terrain || !world->pathGrid || !display) return;
    TerrainMap& terrain = *world->terrain;
    PathGrid& paths = *world->pathGrid;
    const int32_t scale = miniMapScale == 2 ? 2 : 1;
    const Size cells = terrain.SizeInCells();
    const Rect area(miniMapRect.origin - panelRect.origin, miniMapRect.extent);
    const Size tile = TileSize();

    // 1. The window of cells round the view's centre; an axis the map does not fill is the
    // whole map, centred in the tab.
    const Point centre =
        viewOrigin + Point((viewRect.extent.w << zoom) / 2, (viewRect.extent.h << zoom) / 2);
    auto axis = [scale](int32_t fits, int32_t mapCells, int32_t centreCell, int32_t& first,
                        int32_t& count, int32_t& offset) {
        if (mapCells <= fits) {
            first = 0;
            count = mapCells;
            offset = (fits - mapCells) * scale / 2;
        } else {
            first = std::clamp(centreCell - fits / 2, 0, mapCells - fits);
            count = fits;
            offset = 0;
        }
    };
    int32_t firstColumn, columns, firstRow, rows;
    axis(area.extent.w / scale, cells.w, centre.x / tile.w, firstColumn, columns, miniMapOffset.x);
    axis(area.extent.h / scale, cells.h, centre.y / tile.h, firstRow, rows, miniMapOffset.y);
    miniMapOrigin = Point(firstColumn * tile.w, firstRow * tile.h);

    uint8_t* pixels = nullptr;
    Size size;
    int32_t pitch = 0;
    display->GetFrameBuffer(pixels, size, pitch);
    if (!pixels) {
        display->ReleaseFrameBuffer();
        return;
    }
    const SightGrid* sight = world->sight.get();
    auto seen = [&](int layer, int row, int column) {
        if (!sight) return 0;
        const int r = row / 2, c = column / 2;
        if (layer == 1) return sight->SeenInLayer1(r, c, localTeam);
        if (layer == 2) return sight->SeenInLayer2(r, c, localTeam);
        return sight->SeenInLayer3(r, c, localTeam);
    };
    for (int32_t row = firstRow; row < firstRow + rows; ++row) {
        for (int32_t column = firstColumn; column < firstColumn + columns; ++column) {
            // 2. The object of the highest occupied layer.
            GameObject* o = nullptr;
            for (int layer = 2; layer >= 0 && !o; --layer)
                o = static_cast<GameObject*>(paths.Occupant(row, column, layer));
            int32_t colour = -1;
            if (o) {
                const int32_t team = o->GetTeam();
                const bool shown =
                    terrain.RectVisibility(o->GetFootprint()) > 0 &&
                    (!o->stealth.IsHidden(team) || team == localTeam ||
                     o->teamRecord.second != team || revealMap || world->HasObjectAround(o, -1));
                if (shown) {
                    switch (o->GetKind()) {
                        case 3:
                            colour = 81;
                            break;
                        case 5:
                            colour = 53;
                            break;
                        case 9:
                            colour = 109;
                            break;
                        default:
                            colour = o->teamRecord.third ? o->teamRecord.third : kEmptyTeamColour;
                    }
                } else if (o->IsDetectableB() && seen(3, row, column)) {
                    colour = 67;
                } else if (o->IsDetectableA() && seen(1, row, column) &&
                           !o->stealth.IsHiddenA(team)) {
                    colour = 100;
                } else if (o->IsDetectableC() && seen(2, row, column) &&
                           !o->stealth.IsHiddenB(team)) {
                    colour = 41;
                }
            }
            // 3. Ground.
            if (colour == -1) {
                char letter;
                if (!terrain.RevealAll() && terrain.Visibility(row, column) < 0) {
                    letter = 'X';
                } else {
                    letter = terrain.LandFeatureAt(row, column) == -1
                                 ? terrain.TerrainTypeAt(row, column)
                                 : 'p';
                }
                colour = miniMapColours[static_cast<uint8_t>(letter)];
            }
            // 4.
            const int32_t x = area.origin.x + miniMapOffset.x + (column - firstColumn) * scale;
            const int32_t y = area.origin.y + miniMapOffset.y + (row - firstRow) * scale;
            for (int dy = 0; dy < scale; ++dy) {
                for (int dx = 0; dx < scale; ++dx) {
                    if (x + dx < 0 || y + dy < 0 || x + dx >= size.w || y + dy >= size.h) continue;
                    pixels[(y + dy) * pitch + x + dx] = static_cast<uint8_t>(colour);
                }
            }
        }
    }
    display->ReleaseFrameBuffer();

    // 5. The view's outline.
    Clip(area);
    const Point corner = area.origin + miniMapOffset +
                         Point(((viewOrigin.x - miniMapOrigin.x) >> 5) * scale,
                               ((viewOrigin.y - miniMapOrigin.y) >> 5) * scale);
    OutlineRect outline(kViewOutlineColour, Size(((viewRect.extent.w << zoom) >> 5) * scale,
                                                 ((viewRect.extent.h << zoom) >> 5) * scale));
    outline.DrawAt(corner);
}

void BattleScreen::DrawStatusTab() {
    World* world = TheWorldOrNull();
    if (!world) return;
    const Point tab = miniMapRect.origin - panelRect.origin;
    Clip(Rect(tab, miniMapRect.extent));
    const MissionStats* stats =
        localTeam >= 0 && localTeam < World::kTeams ? world->teamStats[localTeam].get() : nullptr;
    Scenario* scenario = world->scenario.get();
    // Without a game record the tab stays empty.
    if (!stats || !scenario) return;
    TextWriter* font = world->font.get();
    Write(font, tab + Point(4, 15), GetString(kStatusTitleLine), kTextColour);
    Write(font, tab + Point(44, 40), GetString(kStatusRowsLine), kTextColour);
    const int32_t seconds = stats->ElapsedTotal() / 1000;
    char text[96];
    std::snprintf(
        text, sizeof text, "% 4d\n% 4d\n% 4d\n% 4d\n%02d:%02d:%02d",
        std::clamp(stats->CombatRating(), 0, 100),
        std::clamp(stats->TimeRating(scenario->missionNumber, scenario->PlayerCount()), 0, 100),
        stats->kills, stats->losses, seconds / 3600, seconds / 60 % 60, seconds % 60);
    Write(font, tab + Point(0, 40), text, kTextColour);
}

void BattleScreen::DrawPlayersTab() {
    World* world = TheWorldOrNull();
    if (!world) return;
    const Point tab = miniMapRect.origin - panelRect.origin;
    Clip(Rect(tab, miniMapRect.extent));
    TextWriter* font = world->font.get();
    Write(font, tab + Point(4, 15), GetString(kPlayersTitleLine), kTextColour);
    const Point labels[4] = {Point(4, 32), Point(58, 32), Point(4, 72), Point(58, 72)};
    const Point boxes[4] = {Point(16, 22), Point(70, 22), Point(16, 62), Point(70, 62)};
    const char* names[4] = {"1:", "2:", "3:", "4:"};
    Scenario* scenario = world->scenario.get();
    for (int k = 1; k <= 4 && k <= playerCount; ++k) {
        Write(font, tab + labels[k - 1], names[k - 1], kTextColour);
        const int32_t colour = scenario ? scenario->teamColours[k] : 0;
        ColourBox(colour, Size(32, 32)).DrawAt(tab + boxes[k - 1]);
    }
}

void BattleScreen::DrawUnitPanel(VehicleDesign* design, int32_t rank, int32_t damagePercent,
                                 GameObject* factory, GameObject* unit) {
    World* world = TheWorldOrNull();
    TextWriter* font = world ? world->font.get() : nullptr;
    const Point at = PanelPictureOrigin();
    // 1.
    partSelectorCount = 0;
    ChassisTemplate* chassis = design ? design->chassis : nullptr;
    if (chassis) {
        // 2. A chassis icon outside the loaded ones draws nothing.
        Clip(kUnitPictureClip);
        const int32_t icon = chassis->unitPanelIcon;
        if (icon >= kFirstRolePicture && icon <= kLastRolePicture)
            DrawPicture(rolePictures[static_cast<size_t>(icon)].get(), at);

        int32_t selectedPart = -1;
        if (factory) {
            // 3.
            selectedPart = factory->SelectedPartIndex();
            FactoryProduction* production = AsFactoryProduction(factory);
            if (production && !production->IsBuildAreaFree())
                DrawPicture(factoryWarnings[0].get(), at);
            const int32_t dock = factory->FindFreeDock(nullptr, 2);
            if (dock == -1 || !factory->IsDockAreaFree(dock, factory->position))
                DrawPicture(factoryWarnings[1].get(), at);
            if (production && !production->HasProductReady())
                DrawPicture(factoryWarnings[2].get(), at);
        } else if (unit) {
            // 4. Docks whose area is taken.
            selectedPart = unit->SelectedPartIndex();
            auto busyDocks = [&](Bitmap* const* pictures, int count) {
                for (int i = 0; i < count; ++i) {
                    if (!unit->IsDockAreaFree(i, unit->position)) DrawPicture(pictures[i], at);
                }
            };
            Bitmap* docks[3] = {dockPictures[0].get(), dockPictures[1].get(),
                                dockPictures[2].get()};
            Bitmap* repairDocks[2] = {dockPictures[3].get(), dockPictures[4].get()};
            Bitmap* structureDocks[2] = {structureDockPictures[0].get(),
                                         structureDockPictures[1].get()};
            if (chassis->role == 'g') busyDocks(docks, 3);
            if (chassis->role == 'k') busyDocks(repairDocks, 2);
            const auto* deploying = dynamic_cast<const DeployingChassisTemplate*>(chassis);
            if (clan == 'T' && chassis->IsDeployable() && deploying &&
                deploying->structureCode == 4)
                busyDocks(structureDocks, 2);
        }

        // 5. Hardpoints: the selected one's marker, the part's picture and its name. A chassis
        // may have seven: each gets a selector.
        partSelectorCount =
            std::clamp(chassis->hardpointCount, 0, static_cast<int32_t>(kPartSelectors));
        for (int32_t i = 0; i < partSelectorCount; ++i) {
            MountTemplate* part = design->hardpoints[static_cast<size_t>(i)];
            if (!part) {
                partSelectors[static_cast<size_t>(i)] = Rect();
                continue;
            }
            const Point p = MountPoint(*chassis, i);
            partSelectors[static_cast<size_t>(i)] =
                Rect(p + panelRect.origin - Point(8, 8), Size(16, 16));
            if (i == selectedPart && hardpointMarkers[static_cast<size_t>(i)])
                hardpointMarkers[static_cast<size_t>(i)]->Draw(p);
            if (part->panelPictures) part->panelPictures->DrawFrame(p, 0);
            const char* name = part->Name();
            if (name && font) {
                const int32_t x = p.x < 62 ? p.x - font->TextWidth(name) + 15 : p.x - 10;
                Write(font, Point(x, p.y + 15), name, kPartNameColour);
            }
        }
    }

    // 6. Rank, in fives, and its bar.
    char text[16];
    Clip(kRankClip);
    std::snprintf(text, sizeof text, "%d", rank / 5 * 5);
    Write(font, Point(55, 239), text, kTextColour);
    const Rect wholePanel(Point(0, 0), panelRect.extent);
    const int32_t rankFrame = RankBarFrame(rank, rankBar ? rankBar->Count() : 0);
    Clip(wholePanel);
    if (rankFrame >= 0) rankBar->DrawFrameAt(at, rankFrame);
    // 7. Damage, in tens, and its bar.
    Clip(kDamageClip);
    std::snprintf(text, sizeof text, "%d", damagePercent / 10 * 10);
    Write(font, Point(55, 280), text, kTextColour);
    const int32_t damageFrame = DamageBarFrame(damagePercent, damageBar ? damageBar->Count() : 0);
    Clip(wholePanel);
    if (damageFrame >= 0) damageBar->DrawFrameAt(at, damageFrame);
}
