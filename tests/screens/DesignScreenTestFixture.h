#pragma once
// The design screen on the made sample assets: a World with the catalogue, the string table,
// the interface font and the clan's sample designs, a memory display and an event queue, and
// helpers that drive the screen with scripted input one frame at a time.
#include <gtest/gtest.h>

#include <memory>

#include "catalogue/DesignLibrary.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "core/InputEvent.h"
#include "core/StringTable.h"
#include "core/TextWriter.h"
#include "screens/DesignScreen.h"
#include "support/MadeAssets.h"
#include "ui/Button.h"
#include "world/WorldTestFixture.h"

class DesignScreenTest : public MadeAssetsTest {
protected:
    void SetUp() override {
        MadeAssetsTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        f = std::make_unique<WorldFixture>();
        ClearStringTable();
        ASSERT_EQ(LoadStringTable("7a1.str"), 1);
        ASSERT_EQ(LoadTemplateCatalogue("7a.pts"), 1);
        World& w = *f->world;
        w.font = std::make_unique<TextWriter>("7a0fxxax99s999.msp");
        w.font->SetLineHeight(10);
        w.font->SetAscent(11);
        w.clanLetter = clan;
        w.techLevelV = w.techLevelT = 8;
        ASSERT_EQ(w.designLibrary->Load(clan == 'V' ? "Vs.vdf" : "Ts.vdf"), 1);
        f->display.cursorShape = 0;
    }
    void TearDown() override {
        if (screen) {
            screen->Unload();
            screen.reset();
        }
        ClearTemplateCatalogue();
        ClearStringTable();
        f.reset();
        ResourceFile::SetAssetPath("");
    }
    // Builds, loads and activates the screen as the World does for mode 5 (1) or 4 (0).
    void Open(int fromMenu = 1) {
        screen = std::make_unique<DesignScreen>(fromMenu);
        ASSERT_EQ(screen->Load(), 1);
        screen->Activate();
    }
    // One frame as the World runs it; 0 when the screen asked to end.
    int Frame() {
        const int handled = screen->HandleEvents(16);
        const int updated = screen->Update(16);
        screen->Draw(16);
        return handled && updated;
    }
    void Post(InputKind kind, const Point& p, int32_t param) { f->events.Post(kind, p, param); }
    void Move(const Point& p) { Post(InputKind::MouseMove, p, 0); }
    // A click at the point: move there and press in one frame, release in the next.
    int Click(const Point& p, int32_t button = 'L') {
        Move(p);
        Post(InputKind::ButtonDown, p, button);
        const int pressed = Frame();
        Post(InputKind::ButtonUp, p, button);
        return Frame() && pressed;
    }
    int ClickButton(int index) { return Click(screen->ButtonOf(index)->Centre()); }
    int Key(int32_t code) {
        Post(InputKind::Key, Point(320, 240), code);
        return Frame();
    }
    DesignLibrary& Library() { return *f->world->designLibrary; }
    VehicleDesign& Edited() { return *screen->EditedDesign(); }

    char clan = 'V';
    std::unique_ptr<WorldFixture> f;
    std::unique_ptr<DesignScreen> screen;
};
