// A design built on the screen with mouse and keys, through the World's mode 5 and back to the
// main menu, is in the clan's design file and reads back the same.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "catalogue/DesignGroup.h"
#include "catalogue/WeaponTemplate.h"
#include "core/KeyCodes.h"
#include "core/PtrNode.h"
#include "screens/DesignScreenTestFixture.h"
#include "screens/FrontEndScreenFactory.h"
#include "screens/HardpointPanel.h"
#include "screens/battle/ControlPanel.h"
#include "ui/ScrollList.h"

namespace {

class DesignSaveTest : public DesignScreenTest {
protected:
    DesignScreen& Screen() { return static_cast<DesignScreen&>(*f->world->currentScreen); }
    // One frame of the World's current screen; the mode change it asks for is applied.
    int RunFrame() {
        ScreenBase* current = f->world->currentScreen;
        const int handled = current->HandleEvents(16);
        const int updated = current->Update(16);
        current->Draw(16);
        if (!handled || !updated) f->world->ApplyModeChange();
        return handled && updated;
    }
    void At(const Point& p) {
        Move(p);
        Post(InputKind::ButtonDown, p, 'L');
        RunFrame();
        Post(InputKind::ButtonUp, p, 'L');
        RunFrame();
    }
    void Press(int button) { At(Screen().ButtonOf(button)->Centre()); }
    void Type(int32_t key) {
        Post(InputKind::Key, Point(1, 1), key);
        RunFrame();
    }
    // Pages the category until the entry shows, then picks it.
    void Pick(int category, Template* entry) {
        Press(category);
        for (int page = 0; page < 30; ++page) {
            for (int i = 0; i < 3; ++i) {
                if (Screen().VisibleEntry(i) == entry) return Press(27 + i);
            }
            Press(8);
        }
        FAIL() << entry->Name() << " is not offered in category " << category;
    }
    void Mount(Template* part, int hardpoint) {
        Pick(3, part);
        HardpointPanel* panel = Screen().ShownHardpointPanel();
        ASSERT_NE(panel, nullptr);
        At(panel->picturePoints[hardpoint]);
    }

    // The base row of a drive kind, the one the drive category shows.
    static Template* Drive(char role) {
        for (ListNode* n = PartList.First(); n; n = PartList.Next(n)) {
            auto* t = static_cast<Template*>(n);
            if (t->clan == 'V' && t->role == role && !t->parent) return t;
        }
        return nullptr;
    }

    FrontEndScreenFactory frontEnd;
};

TEST_F(DesignSaveTest, ADesignMadeOnTheScreenIsInTheDesignFileAfterLeaving) {
    RegisterScreenFactory(&frontEnd);
    std::filesystem::create_directory("Assets");
    f->Switch(GameMode::DesignFromMenu);
    ASSERT_EQ(f->world->currentScreen, f->world->designScreen.get());
    RunFrame();

    Pick(0, FindInList(ChassisList, 'V', 'b'));
    Pick(1, Drive('W'));
    Mount(FindWeaponTemplate('V', 'a'), 0);
    Mount(FindWeaponTemplate('V', 'd'), 1);
    At(Point(300, 415));
    for (const char* c = "raider"; *c; ++c)
        Type(*c);
    Type(kKeyEnter);
    Press(25);
    // "Seek out targets": the row at list position 4 of the standing orders.
    At(Screen().GetControlPanel(9)->ButtonAt(4)->hitRect.origin + Point(100, 5));
    const std::string code = Screen().EditedDesign()->CodeString();
    ASSERT_EQ(code.substr(0, 5), "VWbad");
    ASSERT_EQ(code[10], '4');

    Press(26);
    ASSERT_EQ(Screen().question, 1);
    Type('y');
    Press(19);
    Press(17);
    DesignGroup* group = Screen().selectedGroup;
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group->CountAvailable(), 1);
    Press(23);
    ASSERT_EQ(f->Mode(), static_cast<int>(GameMode::MainMenu));
    ASSERT_TRUE(std::filesystem::exists("Assets/V.vdf"));

    // A fresh library reads it back.
    ASSERT_EQ(ResourceFile::SetAssetPath("./Assets/"), 1);
    DesignLibrary reread;
    ASSERT_EQ(reread.Load("V.vdf"), 1);
    VehicleDesign* found = nullptr;
    for (VehicleDesign* d = reread.FirstAvailable(); d; d = reread.NextAvailable(d))
        if (std::string(d->name) == "raider") found = d;
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(std::string(found->CodeString()), code);
    DesignGroup* last = reread.GroupAt(reread.groups.Count() - 1);
    ASSERT_NE(last, nullptr);
    EXPECT_STREQ(last->name, GetString(DesignGroup::kDefaultNameLine));
    EXPECT_EQ(last->AvailableAt(0), found);
}

}  // namespace
