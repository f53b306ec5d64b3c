#include "ui/Button.h"

#include <gtest/gtest.h>

#include "core/ColourBox.h"
#include "core/PackWriter.h"
#include "core/ResourceFile.h"
#include "support/DisplayFixtures.h"

namespace {

class Buttons : public ::testing::Test, public ScreenFixture {
protected:
    // State pictures are 4 x 4 boxes of 1 (highlighted), 2 (pressed), 3 (disabled), 4 (normal).
    void GiveBoxes(Button& b, bool withDisabled = true) {
        b.SetPictures(std::make_unique<ColourBox>(1, Size(4, 4)),
                      std::make_unique<ColourBox>(2, Size(4, 4)),
                      withDisabled ? std::make_unique<ColourBox>(3, Size(4, 4)) : nullptr,
                      std::make_unique<ColourBox>(4, Size(4, 4)));
    }
    uint8_t Drawn(Button& b) {
        std::fill(Back(), Back() + 640 * 480, 0);
        b.Draw();
        return At(b.Centre().x, b.Centre().y);
    }
};

TEST_F(Buttons, EachStateShowsItsPicture) {
    Button b;
    b.rect = Rect(Point(10, 10), Size(20, 10));
    GiveBoxes(b);
    EXPECT_EQ(Drawn(b), 4);
    b.SetHighlighted(1);
    EXPECT_EQ(Drawn(b), 1);
    b.SetPressed(1);
    EXPECT_EQ(Drawn(b), 1);  // pressed, then highlighted on top
    b.SetHighlighted(0);
    EXPECT_EQ(Drawn(b), 2);
    b.SetEnabled(0);
    EXPECT_EQ(Drawn(b), 3);
    b.SetPressed(0);  // no effect while disabled
    EXPECT_EQ(b.pressed, 1);
    // Without pictures of their own, pressed and highlighted show the normal one.
    Button plain;
    plain.rect = b.rect;
    plain.SetPictures(nullptr, nullptr, nullptr, std::make_unique<ColourBox>(4, Size(4, 4)));
    plain.SetPressed(1);
    plain.SetHighlighted(1);
    EXPECT_EQ(Drawn(plain), 4);
}

TEST_F(Buttons, DisabledWithoutAPictureDrawsNothing) {
    Button b;
    b.rect = Rect(Point(10, 10), Size(20, 10));
    GiveBoxes(b, false);
    b.SetEnabled(0);
    std::fill(Back(), Back() + 640 * 480, 0);
    b.Draw();
    EXPECT_EQ(CountNot(0), 0);
}

TEST_F(Buttons, OriginModeDrawsAtTheOffsetCorner) {
    Button b;
    b.mode = Button::kOrigin;
    b.rect = Rect(Point(100, 100), Size(20, 10));
    GiveBoxes(b);
    const Point offset(-30, -40);
    b.Draw(&offset);
    EXPECT_EQ(At(30, 40), 4);
    EXPECT_EQ(At(33, 43), 4);
    EXPECT_EQ(CountNot(0), 16);
    std::fill(Back(), Back() + 640 * 480, 0);
    b.mode = Button::kPlain;
    const Point shift(10, 10);
    b.Draw(&shift);
    EXPECT_EQ(At(100, 95), 4);  // centre (110, 105) moved by -(10, 10)
}

TEST_F(Buttons, HitTestCoversTheRectAndTheSecondArea) {
    Button b;
    b.rect = Rect(Point(10, 10), Size(5, 5));
    EXPECT_EQ(b.HitTest(Point(14, 14)), 1);
    EXPECT_EQ(b.HitTest(Point(15, 14)), 0);
    b.hitRect = Rect(Point(50, 50), Size(2, 2));
    EXPECT_EQ(b.HitTest(Point(51, 51)), 1);
}

TEST_F(Buttons, HorizontalKnobReportsAndTakesPercentages) {
    Button knob;
    knob.mode = Button::kHorizontalSlider;
    knob.travelMin = Point(100, 50);
    knob.travelMax = Point(300, 50);
    knob.rect = Rect(Point(150, 50), Size(8, 8));
    EXPECT_EQ(knob.GetValue(), 25);
    knob.SetValue(150);
    EXPECT_EQ(knob.value, 100);
    EXPECT_EQ(knob.rect.origin, Point(300, 50));
    EXPECT_EQ(knob.GetValue(), 100);
    knob.MoveBy(-500, 7);  // clamped to the travel
    EXPECT_EQ(knob.rect.origin, Point(100, 50));
    EXPECT_EQ(knob.GetValue(), 0);
    knob.SetValue(33);
    EXPECT_EQ(knob.rect.origin.x, 166);
}

TEST_F(Buttons, VerticalKnobAndKnobWithoutTravel) {
    Button knob;
    knob.mode = Button::kVerticalSlider;
    knob.travelMin = Point(0, 10);
    knob.travelMax = Point(0, 110);
    knob.rect = Rect(Point(0, 60), Size(8, 8));
    EXPECT_EQ(knob.GetValue(), 50);
    knob.travelMax = knob.travelMin;
    EXPECT_EQ(knob.GetValue(), 0);
    Button plain;
    EXPECT_EQ(plain.GetValue(), 0);
    knob.travelMax = Point(0, 110);
    knob.SetValue(25);
    EXPECT_EQ(knob.rect.origin, Point(0, 35));
    knob.MoveBy(0, 10);
    EXPECT_EQ(knob.rect.origin, Point(0, 45));
    EXPECT_EQ(knob.GetValue(), 35);
    knob.MoveBy(3, 500);  // clamped to the travel on both axes
    EXPECT_EQ(knob.rect.origin, Point(0, 110));
    // A button that is no knob stays where it is.
    plain.rect = Rect(Point(40, 40), Size(8, 8));
    plain.SetValue(50);
    EXPECT_EQ(plain.rect.origin, Point(40, 40));
}

TEST_F(Buttons, PicturesComeFromPackEntries) {
    ScratchDir dir;
    dir.UseAsAssetPath();
    PackWriter pack(2, 1);
    pack.SetEntry(0, 0, CodedBitmap(Size(2, 2), Point(), Size(2, 2), {2, 7, 0, 0, 2, 7, 0, 1}));
    pack.SetEntry(1, 0, CodedBitmap(Size(2, 2), Point(), Size(2, 2), {2, 8, 0, 0, 2, 8, 0, 1}));
    ASSERT_TRUE(pack.WriteFile((dir.Path() / "buttons.msp").string()));
    ResourceFile file;
    ASSERT_TRUE(file.Open("buttons.msp", 1, 0));
    ButtonEntries entries;
    entries.highlighted = PackEntry{1, 0};
    entries.normal = PackEntry{0, 0};
    entries.pressed = PackEntry{1, 3};  // not in the pack
    Button b(&file, entries, Rect(Point(10, 10), Size(2, 2)), Button::kPlain, Point(), Point(), 7);
    EXPECT_EQ(b.Picture(1), nullptr);
    EXPECT_EQ(b.Picture(2), nullptr);
    EXPECT_EQ(Drawn(b), 7);
    b.SetHighlighted(1);
    EXPECT_EQ(Drawn(b), 8);
    // Without a pack the entries name nothing to load.
    Button bare(nullptr, entries, Rect(Point(10, 10), Size(2, 2)), Button::kPlain, Point(), Point(),
                8);
    for (int state = 0; state < 4; ++state)
        EXPECT_EQ(bare.Picture(state), nullptr) << state;
}

TEST_F(Buttons, SetImagesLoadsTheNamedPicturesAndPlacesTheButton) {
    ScratchDir dir;
    dir.UseAsAssetPath();
    for (const auto& [name, colour] : {std::pair{"lit.msp", 7}, std::pair{"up.msp", 8}}) {
        PackWriter pack(1, 1);
        pack.SetEntry(
            0, 0, CodedBitmap(Size(2, 2), Point(), Size(2, 2), {2, colour, 0, 0, 2, colour, 0, 1}));
        ASSERT_TRUE(pack.WriteFile((dir.Path() / name).string()));
    }
    Button b;
    b.value = 40;
    b.SetImages("lit.msp", nullptr, nullptr, "up.msp", Rect(Point(30, 20), Size(2, 2)),
                Button::kPlain, Point(), Point(), 9);
    EXPECT_EQ(b.Picture(1), nullptr);
    EXPECT_EQ(b.Picture(2), nullptr);
    EXPECT_EQ(b.Centre(), Point(31, 21));
    EXPECT_EQ(Drawn(b), 8);
    b.SetHighlighted(1);
    EXPECT_EQ(Drawn(b), 7);
    EXPECT_EQ(b.value, 0);
    EXPECT_EQ(b.id, 9);
}

}  // namespace
