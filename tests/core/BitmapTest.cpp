#include "core/Bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/BitmapEncoder.h"
#include "core/ByteTable256.h"
#include "core/PackWriter.h"
#include "core/ResourceFile.h"
#include "core/ShadeTable.h"
#include "support/DisplayFixtures.h"
#include "support/ReferenceBlit.h"

namespace {

class BitmapDraw : public ::testing::Test, public ScreenFixture {};

Bitmap FromBytes(const std::vector<uint8_t>& bytes) {
    return Bitmap(bytes.data(), bytes.size());
}

// A picture whose single opaque pixel at picture (0, 0) shows where its top-left lands.
std::vector<uint8_t> Marker(const Size& frame, const Point& origin, const Size& picture) {
    return CodedBitmap(frame, origin, picture, {1, 77, 0, 1});
}

Point FindPixel(const ScreenFixture& s, uint8_t value) {
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (s.At(x, y) == value) return Point(x, y);
        }
    }
    return Point(-1, -1);
}

TEST_F(BitmapDraw, UnknownZoomDrawsNothingAndNeverLocks) {
    Bitmap b = FromBytes(Marker(Size(4, 4), Point(), Size(4, 4)));
    ImageZoom = 3;
    int locks = screen.lockCalls;
    b.Draw(Point(50, 50));
    b.DrawShadeFilled(Point(50, 50), 3);
    EXPECT_EQ(screen.lockCalls, locks);
    EXPECT_EQ(CountNot(0), 0);
}

TEST_F(BitmapDraw, RawPicturesIgnoreZoomAndOrigin) {
    std::vector<uint8_t> pixels(6 * 4, 5);
    BitmapPlacement placement{3, 2, 10, 8};
    std::vector<uint8_t> stored = EncodeRawBitmap(pixels.data(), 6, 4, 6, placement);
    Bitmap b = FromBytes(stored);
    ImageZoom = 1;
    b.Draw(Point(100, 100));  // top-left (100 - 5, 100 - 4), full size
    EXPECT_EQ(FindPixel(*this, 5), Point(95, 96));
    EXPECT_EQ(CountNot(0), 24);
    ImageZoom = 0;
    std::fill(Back(), Back() + 640 * 480, 0);
    b.DrawAt(Point(7, 9));
    EXPECT_EQ(FindPixel(*this, 5), Point(7, 9));
}

TEST_F(BitmapDraw, RefusesEntriesTooShortOrRawPixelsThatDoNotCoverThePicture) {
    std::vector<uint8_t> shortEntry(17, 1);
    Bitmap tooShort(shortEntry.data(), shortEntry.size());
    EXPECT_EQ(tooShort.GetSize(), Size());

    std::vector<uint8_t> raw = BitmapHeader(4, 4, 0, 0, 4, 4, 4, 0);
    raw.resize(raw.size() + 15, 9);  // one byte short of 4 x 4
    Bitmap uncovered(raw.data(), raw.size());
    std::vector<uint8_t> negative = BitmapHeader(4, 4, 0, 0, -4, 4, 1, 0);
    negative.resize(negative.size() + 64, 9);
    Bitmap negativeStride(negative.data(), negative.size());
    Bitmap noFile(static_cast<ResourceFile*>(nullptr));
    EXPECT_EQ(noFile.FrameSize(), Size());
    for (Bitmap* b : {&tooShort, &uncovered, &negativeStride, &noFile}) {
        b->DrawAt(Point(0, 0));
        b->Draw(Point(20, 20));
    }
    EXPECT_EQ(CountNot(0), 0);
}

TEST_F(BitmapDraw, HeaderWithoutPixelDataDrawsNothing) {
    for (int coding : {0, 1}) {
        std::vector<uint8_t> stored = BitmapHeader(6, 6, 0, 0, 6, 6, 6, coding);
        Bitmap b(stored.data(), stored.size());
        EXPECT_EQ(b.ByteCount(), 0);
        // A coded header alone is a whole entry whose sizes stand (17 bytes are refused
        // above); raw pixels must cover the picture.
        EXPECT_EQ(b.GetSize(), coding == 1 ? Size(6, 6) : Size());
        b.Draw(Point(20, 20));
        b.DrawShadeFilledAt(Point(20, 20), 3);
    }
    EXPECT_EQ(CountNot(0), 0);
}

TEST_F(BitmapDraw, NegativeCodedSizesShowNothingButKeepTheirOrigin) {
    Bitmap b = FromBytes(CodedBitmap(Size(4, 4), Point(-3, -2), Size(-4, 4), {4, 9, 0, 1}));
    EXPECT_EQ(b.Origin(), Point(-3, -2));
    b.DrawAt(Point(100, 100));
    EXPECT_EQ(CountNot(0), 0);
}

TEST_F(BitmapDraw, RedirectSendsDrawingIntoABlankPicture) {
    Bitmap canvas(Size(8, 4));
    Bitmap sprite = FromBytes(CodedBitmap(Size(12, 1), Point(), Size(12, 1), {12, 3, 0, 1}));
    EXPECT_FALSE(canvas.IsCoded());
    EXPECT_TRUE(sprite.IsCoded());
    EXPECT_EQ(canvas.RedirectDrawing(), 1);
    int locks = screen.lockCalls;
    sprite.DrawAt(Point(-2, 1));
    // A clip wider than the canvas still stops a raw picture at the canvas's edge.
    const std::vector<uint8_t> sevens(12, 7);
    Bitmap raw = FromBytes(EncodeRawBitmap(sevens.data(), 12, 1, 12, BitmapPlacement{0, 0, 12, 1}));
    screen.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
    raw.DrawAt(Point(-2, 0));
    screen.DrawLine(5, 1, Point(0, 3), Point(20, 3));
    screen.ClearRedirect();
    EXPECT_EQ(screen.lockCalls, locks);
    EXPECT_EQ(CountNot(0), 0);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(canvas.Pixels()[8 + x], 3);
        EXPECT_EQ(canvas.Pixels()[24 + x], 5);
        EXPECT_EQ(canvas.Pixels()[x], 7);
        EXPECT_EQ(canvas.Pixels()[16 + x], 0);
    }
    EXPECT_EQ(sprite.RedirectDrawing(), 0);
}

// A caller's clip may be larger than the memory drawing goes to (a redirect into a small
// picture): every kind of draw stops at the buffer's last column and row, and the bytes just
// past them (the guard border here) stay as they were.
TEST_F(BitmapDraw, ClipsLargerThanTheBufferStopAtItsLastRowAndColumn) {
    constexpr int kW = 8, kH = 4, kPitch = 10, kRows = kH + 2;
    constexpr uint8_t kGuard = 0xEE;
    std::vector<uint8_t> full(6 * 6, 4);
    Bitmap raw = FromBytes(EncodeRawBitmap(full.data(), 6, 6, 6));
    const std::vector<uint8_t> codedBytes = EncodeBitmap(full.data(), 6, 6, 6);
    struct Case {
        const char* name;
        int zoom;
        bool coded;
        Point at;
        int lastX, lastY;  // the last buffer column and row the picture covers
    };
    const Case cases[] = {
        {"raw over the corner", 0, false, Point(5, 2), kW - 1, kH - 1},
        {"raw inside", 0, false, Point(1, 0), 6, 3},
        {"coded over the corner", 0, true, Point(5, 2), kW - 1, kH - 1},
        {"coded at half size over the corner", 1, true, Point(6, 2), kW - 1, kH - 1},
        {"coded over the bottom only", 0, true, Point(0, 1), 5, kH - 1},
    };
    for (const Case& c : cases) {
        Bitmap coded = FromBytes(codedBytes);
        Bitmap& b = c.coded ? coded : raw;
        std::vector<uint8_t> memory(kPitch * kRows, 0);
        for (int y = 0; y < kRows; ++y) {
            for (int x = 0; x < kPitch; ++x) {
                if (x >= kW || y >= kH) memory[y * kPitch + x] = kGuard;
            }
        }
        screen.SetRedirect(memory.data(), Size(kW, kH), kPitch);
        screen.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
        ImageZoom = c.zoom;
        b.DrawAt(c.at);
        ImageZoom = 0;
        screen.ClearRedirect();
        for (int y = 0; y < kRows; ++y) {
            for (int x = 0; x < kPitch; ++x) {
                const bool inside = x < kW && y < kH;
                const bool covered =
                    inside && x >= c.at.x && y >= c.at.y && x <= c.lastX && y <= c.lastY;
                const uint8_t want = covered ? 4 : inside ? 0 : kGuard;
                ASSERT_EQ(memory[y * kPitch + x], want) << c.name << " at " << x << "," << y;
            }
        }
    }
    EXPECT_EQ(CountNot(0), 0);
}

// Raw rows are copied byte for byte (every value drawn, 0 too), cut to the clip and to the
// screen; every effect of a raw picture is its plain draw, centred on its frame.
TEST_F(BitmapDraw, RawPicturesMatchAPixelByPixelCopyAtEveryClipEdge) {
    std::mt19937 rng(36481);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    ShadeTable shade;
    ByteTable256 blend;
    for (int round = 0; round < 400; ++round) {
        const int w = pick(1, 20), h = pick(1, 12), stride = w + pick(0, 3);
        std::vector<uint8_t> rows(static_cast<size_t>(stride * h));
        for (auto& p : rows)
            p = static_cast<uint8_t>(pick(0, 255));
        const Size frame(w + pick(0, 6), h + pick(0, 6));
        Bitmap b =
            FromBytes(EncodeRawBitmap(rows.data(), w, h, stride,
                                      BitmapPlacement{pick(-3, 3), pick(-3, 3), frame.w, frame.h}));
        // Clips and places around the screen's corners as well as inside it.
        const bool nearEnd = pick(0, 1);
        const Point base = nearEnd ? Point(620, 460) : Point(0, 0);
        const Rect clip(Point(base.x + pick(-15, 15), base.y + pick(-15, 15)),
                        Size(pick(0, 30), pick(0, 30)));
        const Point at(base.x + pick(-25, 25), base.y + pick(-25, 25));
        const int kind = pick(0, 6);
        const Point topLeft = kind == 0 ? at : Point(at.x - frame.w / 2, at.y - frame.h / 2);

        uint8_t* back = Back();
        for (int i = 0; i < 640 * 480; i += 1 + pick(0, 40))
            back[i] = static_cast<uint8_t>(pick(0, 255));
        std::vector<uint8_t> expected(back, back + 640 * 480);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const Point p(topLeft.x + x, topLeft.y + y);
                if (p.x < clip.origin.x || p.y < clip.origin.y ||
                    p.x >= clip.origin.x + clip.extent.w || p.y >= clip.origin.y + clip.extent.h ||
                    p.x < 0 || p.y < 0 || p.x >= 640 || p.y >= 480)
                    continue;
                expected[static_cast<size_t>(p.y * 640 + p.x)] =
                    rows[static_cast<size_t>(y * stride + x)];
            }
        }
        screen.SetClipRect(clip);
        ImageZoom = pick(0, 2);
        switch (kind) {
            case 0:
                b.DrawAt(at);
                break;
            case 1:
                b.Draw(at);
                break;
            case 2:
                b.DrawTinted(at, shade, 0);
                break;
            case 3:
                b.DrawBlended(at, blend);
                break;
            case 4:
                b.DrawShadeFilled(at, 0);
                break;
            case 5:
                b.DrawShaded(at, shade);
                break;
            default:
                b.DrawSilhouette(at, 9, 1);
                break;
        }
        ImageZoom = 0;
        ASSERT_TRUE(std::equal(expected.begin(), expected.end(), back))
            << "round " << round << " kind " << kind;
    }
}

TEST(BitmapFile, PackOpenedByNameReadsItsFirstEntry) {
    ScratchDir dir;
    dir.UseAsAssetPath();
    PackWriter pack(2, 2);
    pack.SetEntry(0, 0, Marker(Size(3, 3), Point(1, 1), Size(2, 2)));
    ASSERT_TRUE(pack.WriteFile((dir.Path() / "pic.msp").string()));
    Bitmap b("pic.msp");
    EXPECT_EQ(b.FrameSize(), Size(3, 3));
    EXPECT_EQ(b.Origin(), Point(1, 1));
    EXPECT_EQ(b.CentreOffset(), Point(1, 1));
}

// ---- Random pictures against the reference reading -----------------------------------------

struct Scene {
    std::vector<uint8_t> stored;
    Size frame;
    Point origin;
    Size picture;
};

std::vector<uint8_t> RandomItems(std::mt19937& rng, int rows) {
    std::vector<uint8_t> items;
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int row = 0; row < rows; ++row) {
        int count = pick(0, 5);
        for (int k = 0; k < count; ++k) {
            switch (pick(0, 3)) {
                case 0:
                    items.insert(items.end(), {static_cast<uint8_t>(pick(1, 12)),
                                               static_cast<uint8_t>(pick(0, 255))});
                    break;
                case 1: {
                    int n = pick(4, 13);
                    items.insert(items.end(), {0, static_cast<uint8_t>(n)});
                    for (int i = 0; i < n + (n & 1); ++i)
                        items.push_back(static_cast<uint8_t>(pick(0, 255)));
                    break;
                }
                default:
                    items.insert(items.end(), {0, static_cast<uint8_t>(pick(2, 3)),
                                               static_cast<uint8_t>(pick(0, 9)),
                                               static_cast<uint8_t>(pick(0, 1) ? pick(0, 3) : 0)});
                    break;
            }
        }
        items.insert(items.end(), {0, 0});
    }
    items.insert(items.end(), {0, 1});
    return items;
}

Scene RandomScene(std::mt19937& rng) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    Scene s;
    s.picture = Size(pick(1, 48), pick(1, 40));
    s.frame = Size(s.picture.w + pick(0, 10), s.picture.h + pick(0, 10));
    s.origin = Point(pick(-4, 8), pick(-4, 8));
    if (pick(0, 1)) {
        // A picture through the encoder, with transparent (0) and shade (1) pixels.
        std::vector<uint8_t> pixels(static_cast<size_t>(s.picture.w * s.picture.h));
        for (auto& p : pixels) {
            int kind = pick(0, 9);
            p = kind < 3 ? 0 : kind < 5 ? 1 : kind < 7 ? 60 : static_cast<uint8_t>(pick(2, 255));
        }
        BitmapPlacement placement{s.origin.x, s.origin.y, s.frame.w, s.frame.h};
        s.stored = EncodeBitmap(pixels.data(), s.picture.w, s.picture.h, s.picture.w, placement,
                                BitmapKeys{0, 1});
    } else {
        s.stored = CodedBitmap(s.frame, s.origin, s.picture, RandomItems(rng, s.picture.h));
    }
    return s;
}

struct Tables {
    ShadeTable shade;
    ByteTable256 blend;
    Tables() {
        for (int i = 0; i < 256; ++i)
            shade.entries[i] = static_cast<uint8_t>((i * 37 + 11) & 0xFF);
        for (size_t i = 0; i < blend.table.size(); ++i)
            blend.table[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
    }
};

// One draw of a random kind (effect, placement) of the scene at `at`, by the game and by the
// reference; the back buffer must come out the same.
void ExpectSameAsReference(ScreenFixture& fixture, const Scene& s, const Point& at, int zoom,
                           const Rect& clip, const Tables& tables, std::mt19937& rng, int round) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    Bitmap b(s.stored.data(), s.stored.size());
    uint8_t* back = fixture.Back();
    for (int i = 0; i < 640 * 480; i += 1 + pick(0, 3))
        back[i] = static_cast<uint8_t>(pick(0, 255));
    const int f = 1 << zoom;
    RefParams params;
    params.effect = static_cast<RefEffect>(pick(0, 5));
    params.colour = pick(0, 255);
    params.skipShade = pick(0, 2);
    params.shadeTable = tables.shade.entries;
    params.blendTable = tables.blend.table.data();
    const bool atCorner = pick(0, 3) == 0;

    Point topLeft(at.x - s.frame.w / (2 * f) + s.origin.x / f,
                  at.y - s.frame.h / (2 * f) + s.origin.y / f);
    if (atCorner) topLeft = Point(at.x + s.origin.x / f, at.y + s.origin.y / f);
    if (params.effect == RefEffect::ShadeFill && !atCorner && params.colour == 0)
        params.colour = 254;
    std::vector<uint8_t> expected(back, back + 640 * 480);
    std::vector<uint8_t> items(s.stored.begin() + 18, s.stored.end());
    RefParams drawParams = params;
    if (atCorner && params.effect != RefEffect::ShadeFill) drawParams.effect = RefEffect::Plain;
    ReferenceBlit(items, topLeft, s.picture, f, clip, drawParams, expected, 640, 480);

    fixture.screen.SetClipRect(clip);
    ImageZoom = zoom;
    if (atCorner) {
        if (params.effect == RefEffect::ShadeFill) {
            b.DrawShadeFilledAt(at, params.colour);
        } else {
            b.DrawAt(at);
        }
    } else {
        switch (params.effect) {
            case RefEffect::Plain:
                b.Draw(at);
                break;
            case RefEffect::ShadeFill:
                b.DrawShadeFilled(at, params.colour);
                break;
            case RefEffect::Shaded:
                b.DrawShaded(at, tables.shade);
                break;
            case RefEffect::Tinted:
                b.DrawTinted(at, tables.shade, params.skipShade);
                break;
            case RefEffect::Silhouette:
                b.DrawSilhouette(at, params.colour, params.skipShade);
                break;
            case RefEffect::Blended:
                b.DrawBlended(at, tables.blend);
                break;
        }
    }
    ImageZoom = 0;
    ASSERT_TRUE(std::equal(expected.begin(), expected.end(), back))
        << "round " << round << " zoom " << zoom << " effect " << static_cast<int>(params.effect)
        << " corner " << atCorner;
}

// A skip that moves the pen down onto the clip's top row leaves that row drawn and the rows
// above it not: a row's visibility is decided where the pen enters it.
TEST_F(BitmapDraw, ASkipOntoTheClipsTopRowDrawsThatRow) {
    for (int dy : {1, 2, 3}) {
        std::fill(Back(), Back() + 640 * 480, 0);
        Bitmap b = FromBytes(
            CodedBitmap(Size(8, 8), Point(), Size(8, 8), {3, 40, 0, 3, 0, dy, 4, 41, 0, 0, 0, 1}));
        screen.SetClipRect(Rect(Point(100, 50 + dy), Size(100, 100)));
        // With the shade filled: plain draws go by the span table, this one walks the stream.
        b.DrawShadeFilledAt(Point(100, 50), 9);
        EXPECT_EQ(CountNot(0), 4) << dy;
        EXPECT_EQ(At(103, 50 + dy), 41) << dy;
        EXPECT_EQ(At(106, 50 + dy), 41) << dy;
    }
}

TEST_F(BitmapDraw, RandomPicturesMatchTheReferenceAtEveryZoomAndEffect) {
    std::mt19937 rng(20261206);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const Tables tables;
    for (int round = 0; round < 1000; ++round) {
        Scene s = RandomScene(rng);
        const int zoom = pick(0, 2);
        const Rect clip(Point(pick(-10, 60), pick(-10, 60)), Size(pick(0, 80), pick(0, 80)));
        const Point at(pick(-30, 90), pick(-30, 90));
        ExpectSameAsReference(*this, s, at, zoom, clip, tables, rng, round);
        if (HasFatalFailure()) return;
    }
}

// A picture wholly inside the clip is drawn without clipping its items (at 1:1 and, plainly,
// at 1:2 and 1:4) when its stream keeps inside the picture; streams that reach past its right edge,
// run out, or step below it must still come out as the reference draws them.
TEST_F(BitmapDraw, WhollyVisiblePicturesMatchTheReferenceWhateverTheirStream) {
    std::mt19937 rng(1206);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const Tables tables;
    const Rect clip(Point(0, 0), Size(640, 480));
    for (int round = 0; round < 1000; ++round) {
        Scene s = RandomScene(rng);
        // Random items need up to 65 columns a row: some of these streams fit, some do not.
        if (pick(0, 1)) {
            s.picture.w = pick(30, 70);
            s.stored[12] = 0;
            s.stored[13] = static_cast<uint8_t>(s.picture.w);
        }
        if (pick(0, 4) == 0) {
            const size_t cut = std::min<size_t>(pick(1, 6), s.stored.size() - 18);
            s.stored.resize(s.stored.size() - cut);
        }
        // At every zoom: plain draws of every zoom come from span tables when the stream fits.
        const int zoom = round % 3;
        ExpectSameAsReference(*this, s, Point(pick(200, 400), pick(150, 300)), zoom, clip, tables,
                              rng, round);
        if (HasFatalFailure()) return;
    }
}

// A stream whose last item is a shade run without an end code: the run's two bytes are the
// stream's last, and the run is still drawn, at every zoom and effect; so is a plain run (its
// count and colour) and a literal (its bytes) that end the stream on the first row.
TEST_F(BitmapDraw, AStreamEndingInAShadeRunStillDrawsTheRun) {
    std::mt19937 rng(36411);
    const Tables tables;
    for (const std::vector<uint8_t>& items :
         {std::vector<uint8_t>{3, 9, 0, 0, 0, 2, 6, 3}, std::vector<uint8_t>{3, 9, 4, 7},
          std::vector<uint8_t>{3, 9, 0, 4, 1, 2, 3, 4}}) {
        Scene s;
        s.picture = s.frame = Size(8, 4);
        s.stored = CodedBitmap(s.frame, s.origin, s.picture, items);
        for (int round = 0; round < 60; ++round) {
            ExpectSameAsReference(*this, s, Point(100, 100), round % 3,
                                  Rect(Point(0, 0), Size(640, 480)), tables, rng, round);
            if (HasFatalFailure()) return;
        }
    }
}

// The items the encoder writes for single rows, built by hand from the stored format: runs
// (count, colour), literals (0, count, bytes, padded to even), skips (0, 3 clear or 2 shade,
// dx, dy), row ends (0, 0) and the picture's end (0, 1).
TEST(BitmapEncoder, ChoosesItemsByTheirLengths) {
    auto repeat = [](int n, uint8_t v) { return std::vector<uint8_t>(static_cast<size_t>(n), v); };
    auto cat = [](std::initializer_list<std::vector<uint8_t>> parts) {
        std::vector<uint8_t> out;
        for (const auto& part : parts)
            out.insert(out.end(), part.begin(), part.end());
        return out;
    };
    std::vector<uint8_t> mixed(300);
    for (size_t i = 0; i < mixed.size(); ++i)
        mixed[i] = static_cast<uint8_t>(1 + i % 2);
    const std::vector<uint8_t> m255(mixed.begin(), mixed.begin() + 255);
    const std::vector<uint8_t> m45(mixed.begin() + 255, mixed.end());
    struct Case {
        const char* name;
        int width, height;
        std::vector<uint8_t> pixels;
        BitmapKeys keys;
        std::vector<uint8_t> items;
    };
    const Case cases[] = {
        {"run of 64 leaves the literal",
         72,
         1,
         cat({{1, 2, 3, 4}, repeat(64, 5), {6, 7, 8, 9}}),
         {},
         {0, 4, 1, 2, 3, 4, 64, 5, 0, 4, 6, 7, 8, 9, 0, 1}},
        {"run of 63 stays inside it",
         71,
         1,
         cat({{1, 2, 3, 4}, repeat(63, 5), {6, 7, 8, 9}}),
         {},
         cat({{0, 71, 1, 2, 3, 4}, repeat(63, 5), {6, 7, 8, 9, 0}, {0, 1}})},
        {"long run splits at 255", 300, 1, repeat(300, 5), {}, {255, 5, 45, 5, 0, 1}},
        {"four mixed pixels make a literal", 4, 1, {1, 2, 1, 2}, {}, {0, 4, 1, 2, 1, 2, 0, 1}},
        {"three make runs of one", 3, 1, {1, 2, 3}, {}, {1, 1, 1, 2, 1, 3, 0, 1}},
        {"long literal splits at 255",
         300,
         1,
         mixed,
         {},
         cat({{0, 255}, m255, {0}, {0, 45}, m45, {0}, {0, 1}})},
        {"a short literal tail becomes runs",
         258,
         1,
         std::vector<uint8_t>(mixed.begin(), mixed.begin() + 258),
         {},
         cat({{0, 255}, m255, {0}, {1, 2, 1, 1, 1, 2}, {0, 1}})},
        {"clear pixels skip, trailing ones end the row",
         5,
         1,
         {0, 0, 7, 0, 0},
         {},
         {0, 3, 2, 0, 1, 7, 0, 1}},
        {"long skip splits at 255",
         301,
         1,
         cat({repeat(300, 0), {7}}),
         {},
         {0, 3, 255, 0, 0, 3, 45, 0, 1, 7, 0, 1}},
        {"shade key makes a shade area", 4, 1, {9, 9, 9, 4}, {0, 9}, {0, 2, 3, 0, 1, 4, 0, 1}},
        {"another transparent key", 3, 1, {0, 5, 5}, {5, -1}, {1, 0, 0, 1}},
        {"rows end with a row end", 2, 2, {3, 0, 0, 3}, {}, {1, 3, 0, 0, 0, 3, 1, 0, 1, 3, 0, 1}},
        {"trailing clear rows need none",
         4,
         3,
         cat({repeat(4, 3), repeat(8, 0)}),
         {},
         {0, 4, 3, 3, 3, 3, 0, 1}},
        {"a clear picture is its end", 4, 2, repeat(8, 0), {}, {0, 1}},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> stored =
            EncodeBitmap(c.pixels.data(), c.width, c.height, c.width, {}, c.keys);
        const std::vector<uint8_t> header =
            BitmapHeader(c.width, c.height, 0, 0, c.width, c.width, c.height, 1);
        ASSERT_GE(stored.size(), header.size()) << c.name;
        EXPECT_TRUE(std::equal(header.begin(), header.end(), stored.begin())) << c.name;
        EXPECT_EQ(std::vector<uint8_t>(stored.begin() + header.size(), stored.end()), c.items)
            << c.name;
    }
}

TEST_F(BitmapDraw, EncodedPicturesDrawBackTheirPixels) {
    std::mt19937 rng(7);
    for (int round = 0; round < 50; ++round) {
        const int w = 1 + static_cast<int>(rng() % 300), h = 1 + static_cast<int>(rng() % 20);
        std::vector<uint8_t> pixels(static_cast<size_t>(w * h));
        for (auto& p : pixels)
            p = rng() % 3 == 0 ? 0 : static_cast<uint8_t>(rng() % 4 + 2);
        // Some pictures end in clear rows, which need no end-of-row items.
        if (round % 2) std::fill(pixels.end() - w, pixels.end(), 0);
        std::vector<uint8_t> stored = EncodeBitmap(pixels.data(), w, h, w);
        // Bytes past the width of a row are not the picture's, whatever they hold.
        std::vector<uint8_t> padded(static_cast<size_t>((w + 1) * h), 9);
        for (int y = 0; y < h; ++y)
            std::copy_n(pixels.begin() + y * w, w, padded.begin() + y * (w + 1));
        ASSERT_EQ(EncodeBitmap(padded.data(), w, h, w + 1), stored) << "round " << round;
        Bitmap b(stored.data(), stored.size());
        std::fill(Back(), Back() + 640 * 480, 0);
        b.DrawAt(Point(0, 0));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(At(x, y), pixels[y * w + x]) << x << "," << y;
        }
    }
}

}  // namespace
