#include "core/SpriteSet.h"

#include <gtest/gtest.h>

#include "core/Bitmap.h"
#include "core/ByteTable256.h"
#include "core/PackFileCache.h"
#include "core/PackWriter.h"
#include "core/ResourceFile.h"
#include "core/ShadeTable.h"
#include "support/DisplayFixtures.h"

namespace {

// Frame n is a 1 x 1 picture of colour n + 1, so a drawn pixel tells which frame drew.
std::vector<uint8_t> FramePicture(int n) {
    return CodedBitmap(Size(1, 1), Point(), Size(1, 1), {1, n + 1, 0, 1});
}

std::unique_ptr<SpriteSet> Numbered(int count) {
    auto set = std::make_unique<SpriteSet>(count);
    for (int n = 0; n < count; ++n) {
        std::vector<uint8_t> bytes = FramePicture(n);
        set->SetFrame(std::make_unique<Bitmap>(bytes.data(), bytes.size()), n);
    }
    return set;
}

class Sprites : public ::testing::Test, public ScreenFixture {
protected:
    uint8_t DrawnBy(const std::function<void()>& draw) {
        Back()[0] = 0;
        draw();
        return At(0, 0);
    }
};

TEST_F(Sprites, FrameIndicesWrapAndNegativeIndicesSelectNothing) {
    auto set = Numbered(16);
    EXPECT_EQ(DrawnBy([&] { set->DrawFrame(Point(0, 0), 17); }), 2);
    EXPECT_EQ(DrawnBy([&] { set->DrawFrame(Point(0, 0), -1); }), 0);
    EXPECT_EQ(set->SelectFrame(35), 2);
    EXPECT_EQ(set->Current(), 3);
    EXPECT_EQ(DrawnBy([&] { set->Draw(Point(0, 0)); }), 4);
    EXPECT_EQ(set->LastFrameIndex(), 15);
    EXPECT_EQ(set->SubImage(-3), nullptr);
}

TEST_F(Sprites, SetFrameOutsideTheSlotsDeletesTheImage) {
    auto set = Numbered(2);
    std::vector<uint8_t> bytes = FramePicture(9);
    Image* extra = new Bitmap(bytes.data(), bytes.size());
    set->SetFrame(extra, 2);  // the sanitizer build reports a leak if it is not deleted
    EXPECT_EQ(extra, nullptr);
    EXPECT_EQ(set->Count(), 2);
    EXPECT_EQ(DrawnBy([&] { set->DrawFrame(Point(0, 0), 1); }), 2);
}

TEST_F(Sprites, EmptySetDrawsNothingAndSelectsNothing) {
    SpriteSet empty(0);
    EXPECT_EQ(empty.SelectFrame(7), 0);
    EXPECT_EQ(DrawnBy([&] { empty.DrawFrame(Point(0, 0), 3); }), 0);
    EXPECT_EQ(empty.FrameSize(), Size());
    EXPECT_EQ(empty.SubImage(0), nullptr);
    EXPECT_EQ(empty.LastFrameIndex(), -1);
}

TEST_F(Sprites, ShadeFilledAtFallsBackToThePlainCurrentFrame) {
    // A picture with a shade skip: the set has no shade-filled corner draw of its own.
    auto set = std::make_unique<SpriteSet>(2);
    std::vector<uint8_t> bytes =
        CodedBitmap(Size(2, 1), Point(), Size(2, 1), {0, 2, 1, 0, 1, 5, 0, 1});
    set->SetFrame(std::make_unique<Bitmap>(bytes.data(), bytes.size()), 0);
    set->DrawFrameShadeFilledAt(Point(0, 0), 1, 77);
    EXPECT_EQ(At(0, 0), 0);
    EXPECT_EQ(At(1, 0), 5);
}

TEST_F(Sprites, EffectDrawsUseTheCurrentOrTheNamedFrame) {
    // Frame n is n + 1 pixels wide, so the count of changed pixels tells which frame drew.
    SpriteSet set(4);
    for (int n = 0; n < 4; ++n) {
        std::vector<uint8_t> bytes =
            CodedBitmap(Size(n + 1, 1), Point(), Size(n + 1, 1), {n + 1, 9, 0, 1});
        set.SetFrame(std::make_unique<Bitmap>(bytes.data(), bytes.size()), n);
    }
    set.SelectFrame(1);
    ShadeTable shade;
    for (int i = 0; i < 256; ++i)
        shade.entries[i] = static_cast<uint8_t>(255 - i);
    ByteTable256 blend;
    for (int a = 0; a < 256; ++a) {
        for (int p = 0; p < 256; ++p)
            blend.table[a * 256 + p] = static_cast<uint8_t>(a + p);
    }
    const Point c(20, 5);
    struct Case {
        std::function<void()> draw;
        int frame;
        uint8_t colour;
    };
    const Case cases[] = {
        {[&] { set.DrawTinted(c, shade, 0); }, 1, 235},
        {[&] { set.DrawFrameTinted(c, 6, shade, 0); }, 2, 235},
        {[&] { set.DrawBlended(c, blend); }, 1, 29},
        {[&] { set.DrawFrameBlended(c, 3, blend); }, 3, 29},
        {[&] { set.DrawSilhouette(c, 200, 0); }, 1, 200},
        {[&] { set.DrawFrameSilhouette(c, 4, 200, 0); }, 0, 200},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        std::fill(Back(), Back() + 640 * 480, 20);
        cases[i].draw();
        EXPECT_EQ(CountNot(20), cases[i].frame + 1) << "case " << i;
        int painted = 0;
        for (int x = 0; x < 40; ++x)
            painted += At(x, 5) == cases[i].colour;
        EXPECT_EQ(painted, cases[i].frame + 1) << "case " << i;
    }
}

class SpritePacks : public Sprites {
protected:
    SpritePacks() { dir.UseAsAssetPath(); }
    void Write(const PackWriter& pack, const char* name) {
        ASSERT_TRUE(pack.WriteFile((dir.Path() / name).string()));
    }
    ScratchDir dir;
};

TEST_F(SpritePacks, ColumnRowAndFromRowLoadersReadTheirEntries) {
    PackWriter pack(3, 4);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 3; ++c) {
            if (!(c == 2 && r == 1)) pack.SetEntry(c, r, FramePicture(10 * r + c));
        }
    }
    Write(pack, "grid.msp");
    auto column = LoadSpriteSetColumn("grid.msp");
    EXPECT_EQ(column->Count(), 4);
    EXPECT_EQ(DrawnBy([&] { column->DrawFrame(Point(0, 0), 2); }), 21);
    auto row = LoadSpriteSetRow("grid.msp");
    EXPECT_EQ(row->Count(), 3);
    EXPECT_EQ(DrawnBy([&] { row->DrawFrame(Point(0, 0), 2); }), 3);

    ResourceFile file;
    ASSERT_TRUE(file.Open("grid.msp", 1, 0));
    auto fromRow = LoadSpriteSetFromRow(1, &file);
    ASSERT_TRUE(fromRow);
    EXPECT_EQ(fromRow->Count(), 2);  // (2, 1) is missing
    EXPECT_EQ(DrawnBy([&] { fromRow->DrawFrame(Point(0, 0), 1); }), 12);
}

TEST_F(SpritePacks, GridStopsAtTheFirstRowWithoutAFirstEntry) {
    PackWriter pack(3, 5);
    for (int r : {0, 1, 3, 4})
        pack.SetEntry(0, r, FramePicture(r));
    pack.SetEntry(1, 0, FramePicture(7));
    Write(pack, "cursor.msp");
    auto grid = LoadSpriteGrid("cursor.msp");
    EXPECT_EQ(grid->Count(), 2);
    auto* first = static_cast<SpriteSet*>(grid->SubImage(0));
    EXPECT_EQ(first->Count(), 2);
    EXPECT_EQ(static_cast<SpriteSet*>(grid->SubImage(1))->Count(), 1);
}

TEST_F(SpritePacks, StreamedSetKeepsOnlyTheFrameInUse) {
    PackWriter pack(1, 16);
    for (int r = 0; r < 16; ++r)
        pack.SetEntry(0, r, FramePicture(r));
    Write(pack, "big.msp");
    auto set = OpenStreamedSpriteSet("big.msp");
    EXPECT_EQ(set->Count(), 16);
    EXPECT_EQ(set->ResidentFrame(5), nullptr);
    set->EnsureFrame(5);
    EXPECT_NE(set->ResidentFrame(5), nullptr);
    set->EnsureFrame(6);
    EXPECT_EQ(set->ResidentFrame(5), nullptr);
    EXPECT_NE(set->ResidentFrame(6), nullptr);
    EXPECT_EQ(DrawnBy([&] { set->DrawFrame(Point(0, 0), 20); }), 5);
    EXPECT_NE(set->ResidentFrame(4), nullptr);
    EXPECT_EQ(set->ResidentFrame(6), nullptr);
    // A frame handed in by the caller is resident too, and makes way like a loaded one.
    set->SetFrame(std::make_unique<Bitmap>(Size(2, 2)), 9);
    EXPECT_NE(set->ResidentFrame(9), nullptr);
    set->EnsureFrame(3);
    EXPECT_EQ(set->ResidentFrame(9), nullptr);
    EXPECT_EQ(set->ResidentFrame(4), nullptr);
    EXPECT_NE(set->ResidentFrame(3), nullptr);
}

TEST_F(SpritePacks, StreamedSetsOnOnePackShareItsHandleAndEachReadsItsOwnFrames) {
    PackWriter pack(1, 8);
    for (int r = 0; r < 8; ++r) {
        if (r != 4) pack.SetEntry(0, r, FramePicture(r));
    }
    Write(pack, "shared.msp");
    const int before = PackFileCache::OpenCount();
    auto first = OpenStreamedSpriteSet("shared.msp");
    auto second = OpenStreamedSpriteSet("shared.msp");
    EXPECT_EQ(PackFileCache::OpenCount(), before + 1);
    // Each read follows one by the other set, so a window left selected by the other would
    // show as a wrong colour or a missing frame.
    for (int i = 0; i < 8; ++i) {
        const int j = 7 - i;
        EXPECT_EQ(DrawnBy([&] { first->DrawFrame(Point(0, 0), i); }), i == 4 ? 0 : i + 1) << i;
        EXPECT_EQ(DrawnBy([&] { second->DrawFrame(Point(0, 0), j); }), j == 4 ? 0 : j + 1) << j;
    }
    // The missing entry selected nothing; the next read still finds its own entry.
    first->EnsureFrame(4);
    EXPECT_EQ(first->ResidentFrame(4), nullptr);
    EXPECT_EQ(DrawnBy([&] { second->DrawFrame(Point(0, 0), 6); }), 7);
    first.reset();
    EXPECT_EQ(PackFileCache::OpenCount(), before + 1);
    EXPECT_EQ(DrawnBy([&] { second->DrawFrame(Point(0, 0), 2); }), 3);
    second.reset();
    EXPECT_EQ(PackFileCache::OpenCount(), before);
}

}  // namespace
