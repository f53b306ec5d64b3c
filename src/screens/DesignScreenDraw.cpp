// The design screen's picture, drawn whole every frame straight into the back buffer.
#include <cstring>
#include <string>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/DesignGroup.h"
#include "catalogue/DesignLibrary.h"
#include "catalogue/MountTemplate.h"
#include "catalogue/TextScan.h"
#include "catalogue/VehicleDesign.h"
#include "core/Bitmap.h"
#include "core/ColourBox.h"
#include "core/DisplayBase.h"
#include "core/OutlineRect.h"
#include "core/SpriteSet.h"
#include "core/StringTable.h"
#include "core/TextWriter.h"
#include "screens/DesignScreen.h"
#include "screens/HardpointPanel.h"
#include "ui/Button.h"
#include "ui/ScrollList.h"
#include "ui/TextField.h"
#include "world/World.h"

namespace {

constexpr int kText = 10;
constexpr int kSelectedText = 9;
constexpr int kQuestionText = 110;
const Point kPreviewOrigin(320, 257);

Rect Corners(int x0, int y0, int x1, int y1) {
    return Rect(Point(x0, y0), Size(x1 - x0 + 1, y1 - y0 + 1));
}

TextWriter* Font() {
    World* world = TheWorld();
    return world ? world->font.get() : nullptr;
}

void Write(const Point& at, const char* text, int colour) {
    if (TextWriter* font = Font(); font && text) font->DrawText(at, text, colour);
}

// Frame 14 of a picture; a picture without frames draws nothing.
void DrawFourteenth(Image& picture, const Point& centre) {
    const int32_t frames = picture.LastFrameIndex() + 1;
    if (frames <= 0) return;
    picture.DrawFrame(centre, 14 % frames);
}

int32_t PlayerColour() {
    World* world = TheWorld();
    return world ? world->localPlayer.third : 0;
}

int32_t Tenth() {
    World* world = TheWorld();
    return world ? world->lastTenth : 0;
}

}  // namespace

void DesignScreen::DrawEntry(int32_t i) {
    Template* entry = entries[i];
    const Rect bounds = buttons[27 + i]->Bounds();
    const Point centre = buttons[27 + i]->Centre();
    if (drivePictures[i]) {
        display->SetClipRect(entryRects[i]);
        DrawFourteenth(*drivePictures[i], centre);
    }
    if (!entry || !entryPictures[i]) return;
    display->SetClipRect(entryRects[i]);
    DrawFourteenth(*entryPictures[i], centre);
    Write(Point(bounds.origin.x + 2, bounds.origin.y + bounds.extent.h - 2), entry->Name(), kText);
    if (category >= 3 && category <= 6) {
        const int32_t size = static_cast<MountTemplate*>(entry)->mountSize;
        if (size >= 1 && size <= 4 && sizeIcons[size]) {
            const int32_t right = bounds.origin.x + bounds.extent.w - 1;
            const int32_t width = sizeIcons[size]->FrameSize().w;
            sizeIcons[size]->DrawAt(Point(right + 2 - width, bounds.origin.y + 1) -
                                    sizeIcons[size]->Origin());
        }
    }
}

void DesignScreen::DrawPartsPanel() {
    for (int i = 0; i < 3; ++i)
        DrawEntry(i);
    display->SetClipRect(screenRect);
    if (backdrop) backdrop->DrawFrame(Point(320, 240), backdropFrame);
    if (editedDesign) editedDesign->DrawPreview(kPreviewOrigin, previewFrame, Tenth());
    HardpointPanel* panel = ShownHardpointPanel();
    if (editedDesign && editedDesign->chassis && panel) panel->Draw(Point(0, 0));
    display->SetClipRect(screenRect);
    if (carried && carriedPicture) carriedPicture->Draw(cursorPoint);
}

void DesignScreen::DrawLibraryPanel() {
    DesignLibrary* library = Library();
    if (!library) return;
    designList->SetCount(library->CountAvailable());
    int32_t line = 0;
    for (VehicleDesign* d = library->FirstAvailable(); d; d = library->NextAvailable(d), ++line)
        designList->Draw(line, d->name, line == designList->selection ? kSelectedText : kText);
    display->SetClipRect(screenRect);
    designRowField->Draw(kText);
    display->SetClipRect(Corners(6, 45, 131, 169));
    if (selectedDesign) selectedDesign->Draw(Point(68, 107), 14, Tenth());
    if (!groupOpen) {
        groupList->SetCount(library->groups.Count());
        line = 0;
        for (DesignGroup* g = library->FirstGroup(); g; g = library->NextGroup(g), ++line)
            groupList->Draw(line, g->name, line == groupList->selection ? kSelectedText : kText);
    } else if (selectedGroup) {
        groupList->SetCount(selectedGroup->CountAvailable());
        for (line = 0; line < groupList->count; ++line) {
            const VehicleDesign* member = selectedGroup->AvailableAt(line);
            groupList->Draw(line, member ? member->name : "",
                            line == groupList->selection ? kSelectedText : kText);
        }
        display->SetClipRect(Rect(Point(375, 140), Size(117, 16)));
        Write(Point(376, 150), selectedGroup->name, kText);
    }
    display->SetClipRect(screenRect);
    groupRowField->Draw(kText);
    display->SetClipRect(screenRect);
    const int32_t designTop = designList->top;
    designList->Tick();
    if (designList->top != designTop) {
        designRowField->Reset();
        designRowField->rect = Rect(designList->SelectedItemPosition(), Size(149, 12));
    }
    const int32_t groupTop = groupList->top;
    groupList->Tick();
    if (groupList->top != groupTop) {
        ResetGroupRowField();
        MoveGroupRowField();
    }
    display->SetClipRect(screenRect);
}

void DesignScreen::DrawQuestion() {
    const char* selectedName = selectedDesign ? selectedDesign->name : "";
    const char* editedName = editedDesign ? editedDesign->name : "";
    std::string text;
    Point at;
    // The names are arguments, never formats: a design named "%s" stays a name.
    if (std::strcmp(editedName, selectedName) == 0) {
        text = FormatText(GetString(7), {selectedName});
        at = Point(180, 230);
    } else {
        text = FormatText(GetString(8), {selectedName, editedName});
        at = Point(180, 222);
    }
    display->SetClipRect(screenRect);
    if (questionPicture) questionPicture->DrawAt(Point(0, 0));
    buttons[31]->Draw();
    buttons[32]->Draw();
    display->SetClipRect(Corners(180, 210, 460, 250));
    Write(at, text.c_str(), kQuestionText);
}

// Where a status text stands. The row the layout gives it across the top of the screen lies
// over the CHASSIS tab and the statistics' heading row, hiding both while a line shows:
//   case                               drawn                                departs from
//   a text that fits the free band     in the band between the statistics   the top row
//                                      and the panels, empty in all three
//                                      panel modes
//   a longer text (a chat message)     the top row, as given                -
//   the chat line being typed          the top row, as given                -
Rect DesignScreen::StatusBoxFor(const char* text) const {
    World* world = TheWorld();
    if (world && world->font && text &&
        1 + world->font->TextWidth(text) <= kFreeStatusBand.extent.w)
        return kFreeStatusBand;
    return statusRect;
}

void DesignScreen::DrawStatusLine() {
    World* world = TheWorld();
    if (!world) return;
    display->SetClipRect(screenRect);
    const Rect box = chatField ? statusRect : StatusBoxFor(world->statusText);
    const Point corner = box.origin;
    const Size size = box.extent;
    auto frame = [&](int32_t colour, int32_t textColour) {
        ColourBox(colour, size).DrawAt(corner);
        OutlineRect(colour, Size(size.w + 4, size.h + 4)).DrawAt(corner - Point(2, 2));
        OutlineRect(textColour, Size(size.w + 2, size.h + 2)).DrawAt(corner - Point(1, 1));
    };
    if (!chatField) {
        if (!world->statusText[0]) return;
        const int32_t textColour = world->ColourOf(world->statusColour);
        frame(world->statusColour, textColour);
        display->SetClipRect(box);
        Write(Point(corner.x + 1, corner.y + size.h - 3), world->statusText, textColour);
        return;
    }
    const int32_t colour = PlayerColour();
    const int32_t textColour = world->ColourOf(colour);
    frame(colour, textColour);
    chatField->rect = statusRect;
    display->SetClipRect(statusRect);
    chatField->Draw(textColour);
}

void DesignScreen::Draw(int /*elapsedMs*/) {
    if (!display || !background) return;
    uint8_t* pixels = nullptr;
    Size size;
    int32_t pitch = 0;
    display->GetFrameBuffer(pixels, size, pitch);
    display->SetClipRect(screenRect);
    background->DrawAt(Point(0, 0));
    if (InMissionOrFromMenu() && leaveOverlay) leaveOverlay->DrawAt(Point(0, 0));
    if (panelMode == kLibrary && libraryBackdrop) libraryBackdrop->DrawAt(Point(0, 0));
    if (panelMode == kSettings && settingsBackdrop) settingsBackdrop->DrawAt(Point(0, 0));
    for (int i = panelMode == kParts ? 0 : 7; i < kButtons; ++i)
        if (buttons[i]) buttons[i]->Draw();
    if (panelMode == kLibrary && groupOpen && openGroupOverlay)
        openGroupOverlay->DrawAt(Point(0, 0));
    DrawStats();
    if (panelMode == kParts || panelMode == kSettings) {
        display->SetClipRect(Rect(Point(222, 407), Size(191, 17)));
        nameField->Draw(kText);
        display->SetClipRect(Rect(Point(222, 407), Size(191, 17)));
        if (editedDesign) Write(Point(230, 422), editedDesign->name, kText);
    }
    if (panelMode == kLibrary) DrawLibraryPanel();
    if (panelMode == kParts) DrawPartsPanel();
    if (panelMode == kSettings) {
        display->SetClipRect(Rect(Point(509, 11), Size(125, 126)));
        if (editedDesign) editedDesign->Draw(Point(571, 74), 14, Tenth());
    }
    if (question != -1) DrawQuestion();
    DrawStatusLine();
    display->ResetClipRect();
    display->ReleaseFrameBuffer();
}
