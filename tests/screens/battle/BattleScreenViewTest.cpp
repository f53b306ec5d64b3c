// The map view: coordinates both ways, edge scrolling to the map's edges at every zoom, a map
// smaller than the view, and zoom changes that keep the centre.
#include "core/MemoryDisplay.h"
#include "screens/battle/BattleScreenFixture.h"

namespace {

// Rests the mouse at a point until the view stops moving; the origin it stopped at.
Point ScrollUntilStill(BattleScreenTest& t, BattleScreen& screen, const Point& at) {
    t.Post(InputKind::MouseMove, at, 0);
    Point last(-1, -1);
    for (int frame = 0; frame < 400 && !(screen.viewOrigin == last); ++frame) {
        last = screen.viewOrigin;
        t.Frame();
    }
    return screen.viewOrigin;
}

// The zones, pointed at where no button of the bottom strip lies.
struct Zone {
    Point mouse;
    int dx, dy;  // -1 toward 0, +1 toward the far edge, 0 unchanged
};
const Zone kZones[] = {{{5, 240}, -1, 0},  {{630, 240}, 1, 0}, {{256, 5}, 0, -1},
                       {{284, 470}, 0, 1}, {{5, 5}, -1, -1},   {{630, 5}, 1, -1},
                       {{3, 470}, -1, 1},  {{636, 470}, 1, 1}};

}  // namespace

TEST_F(BattleScreenTest, MapToScreenInvertsScreenToMapAtEveryZoom) {
    screen->CentreOn(Point(3000, 2000));
    for (int zoom = 0; zoom <= 2; ++zoom) {
        screen->SetZoom(zoom);
        for (const Point& p : {Point(0, 0), Point(17, 311), Point(511, 479), Point(256, 3)}) {
            const Point map = screen->ScreenToMap(p);
            EXPECT_EQ(screen->MapToScreen(map), p) << zoom;
            EXPECT_EQ(map.x, screen->viewOrigin.x + (p.x << zoom));
        }
    }
}

TEST_F(BattleScreenTest, EdgeScrollingStopsExactlyAtTheMapEdgeAtEveryZoom) {
    for (int zoom = 0; zoom <= 2; ++zoom) {
        screen->SetZoom(zoom);
        const int farX = 6400 - (512 << zoom);
        const int farY = 6400 - (480 << zoom);
        for (const Zone& z : kZones) {
            screen->CentreOn(Point(3200, 3200));
            const Point start = screen->viewOrigin;
            const Point end = ScrollUntilStill(*this, *screen, z.mouse);
            EXPECT_EQ(end.x, z.dx < 0   ? 0
                             : z.dx > 0 ? farX
                                        : start.x)
                << zoom << " " << z.mouse.x << "," << z.mouse.y;
            EXPECT_EQ(end.y, z.dy < 0   ? 0
                             : z.dy > 0 ? farY
                                        : start.y)
                << zoom << " " << z.mouse.x << "," << z.mouse.y;
            EXPECT_EQ(end.x % 32, 0);
            EXPECT_EQ(end.y % 32, 0);
            // The scenario keeps where the view stands (a saved game opens there).
            EXPECT_EQ(world().scenario->viewOrigin, end);
        }
    }
    // Resting on the map itself stops the scroll.
    screen->CentreOn(Point(3200, 3200));
    const Point still = ScrollUntilStill(*this, *screen, Point(200, 200));
    EXPECT_EQ(still, screen->viewOrigin);
}

TEST_F(BattleScreenTest, AMapSmallerThanTheViewIsCentredWithAMargin) {
    Open(OpenLand(10, 6));  // 320 x 192 pixels
    const Rect expected(Point(96, 144), Size(320, 192));
    EXPECT_EQ(screen->viewRect, expected);
    EXPECT_EQ(screen->ScreenToMap(Point(96, 144)), Point(0, 0));
    EXPECT_EQ(screen->MapToScreen(Point(319, 191)), Point(415, 335));
    for (const Zone& z : kZones)
        EXPECT_EQ(ScrollUntilStill(*this, *screen, z.mouse), Point(0, 0))
            << z.mouse.x << "," << z.mouse.y;
    Frame();
    const uint8_t* frame = land->screen.BackPage();
    auto at = [&](int x, int y) { return frame[y * 640 + x]; };
    EXPECT_EQ(at(20, 100), 254);
    EXPECT_EQ(at(450, 300), 254);
    EXPECT_NE(at(200, 200), 254);
    // Zoomed out the map shrinks and stays centred, its origin 0.
    screen->SetZoom(1);
    EXPECT_EQ(screen->viewRect, Rect(Point(176, 192), Size(160, 96)));
    EXPECT_EQ(screen->viewOrigin, Point(0, 0));
}

TEST_F(BattleScreenTest, ZoomKeepsTheCentreWithinACell) {
    for (const Point& centre : {Point(3200, 3200), Point(1111, 4321), Point(4000, 2500)}) {
        screen->SetZoom(0);
        screen->CentreOn(centre);
        for (int zoom : {1, 0, 2, 1}) {
            const Size before = screen->ViewExtent();
            const Point was(screen->viewOrigin.x + before.w / 2,
                            screen->viewOrigin.y + before.h / 2);
            screen->SetZoom(zoom);
            const Size after = screen->ViewExtent();
            const Point now(screen->viewOrigin.x + after.w / 2, screen->viewOrigin.y + after.h / 2);
            EXPECT_LE(std::abs(now.x - was.x), 32) << centre.x << " " << zoom;
            EXPECT_LE(std::abs(now.y - was.y), 32) << centre.x << " " << zoom;
        }
    }
}
