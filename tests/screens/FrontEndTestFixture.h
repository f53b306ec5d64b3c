#pragma once
// The front-end screens on the made sample assets: the set's local files linked into a private
// directory (so that saved games, the index and score.dat can be written beside them), a World
// with the string table and the interface font, and helpers that drive a screen one frame at a
// time with scripted input.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/InputEvent.h"
#include "core/StringTable.h"
#include "core/TextWriter.h"
#include "screens/UiSoundCount.h"
#include "support/MadeAssets.h"
#include "support/SignedSave.h"
#include "support/TempDirectory.h"
#include "support/TextCheck.h"
#include "ui/Button.h"
#include "world/CommLink.h"
#include "world/SavedGameIndex.h"
#include "world/WorldTestFixture.h"

class FrontEndTest : public MadeAssetsTest {
protected:
    void SetUp() override {
        MadeAssetsTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        for (const auto& entry : std::filesystem::directory_iterator(Local()))
            std::filesystem::create_symlink(
                entry.path(), std::filesystem::path(dir.Path()) / entry.path().filename());
        ASSERT_EQ(ResourceFile::SetAssetPath((dir.Path() + "/").c_str()), 1);
        f = std::make_unique<WorldFixture>();
        ClearStringTable();
        ASSERT_EQ(LoadStringTable("7a1.str"), 1);
        World& w = *f->world;
        w.font = std::make_unique<TextWriter>("7a0fxxax99s999.msp");
        w.font->SetLineHeight(10);
        w.font->SetAscent(11);
        w.savedGames = std::make_unique<SavedGameIndex>();
        // No peer link can be made unless a test says so.
        w.makeLink = [] { return std::unique_ptr<CommLink>(); };
        sounds.Install(w);
    }
    void TearDown() override {
        if (screen) {
            screen->Unload();
            screen.reset();
        }
        ClearStringTable();
        if (f) UiSounds::Remove(*f->world);
        f.reset();
        ResourceFile::SetAssetPath("");
    }
    template <class S, class... Args>
    S& Open(Args&&... args) {
        auto made = std::make_unique<S>(std::forward<Args>(args)...);
        S& s = *made;
        screen = std::move(made);
        EXPECT_EQ(screen->Load(), 1);
        screen->Activate();
        return s;
    }
    // One frame as the World runs it; 0 when the screen asked to end.
    int Frame() {
        const int handled = screen->HandleEvents(16);
        const int updated = handled ? screen->Update(16) : 1;
        screen->Draw(16);
        return handled && updated;
    }
    void Post(InputKind kind, const Point& p, int32_t param) { f->events.Post(kind, p, param); }
    int Click(const Point& p) {
        Post(InputKind::MouseMove, p, 0);
        Post(InputKind::ButtonDown, p, 'L');
        const int pressed = Frame();
        Post(InputKind::ButtonUp, p, 'L');
        return Frame() && pressed;
    }
    int Click(Button* b) { return Click(b->Centre()); }
    int Key(int32_t code) {
        Post(InputKind::Key, Point(320, 240), code);
        return Frame();
    }
    uint8_t Pixel(int x, int y) const { return f->display.BackPage()[y * 640 + x]; }
    bool Shows(TextWriter& font, Point at, const std::string& text, int colour, int x0, int y0,
               int x1, int y1) {
        return ShowsText(f->display, font, at, text, colour, x0, y0, x1, y1);
    }
    std::filesystem::path Path(const std::string& name) const {
        return std::filesystem::path(dir.Path()) / name;
    }
    void WriteFile(const std::filesystem::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    std::string ReadFile(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // A saved game under the title; its file holds `text`.
    void AddGame(const char* title, const std::string& text) {
        SavedGameEntry* entry = f->world->savedGames->FindOrCreate(title);
        ASSERT_NE(entry, nullptr);
        // Signed as the game's writer signs a save.
        WriteFile(Path(entry->FileName()), SignedSave(text));
    }
    static std::string GoodGame(char clan = 'V') {
        return std::string(": H\nJ = 0\nL = ") + clan + "\nK = 0\nI = 1\n";
    }

    TempDirectory dir;
    std::unique_ptr<WorldFixture> f;
    UiSounds sounds;
    std::unique_ptr<ScreenBase> screen;
};
