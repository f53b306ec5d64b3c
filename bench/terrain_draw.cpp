// One full 512 x 480 map view of a 200 x 200 land drawn at 1:1, 1:2 and 1:4, with the fog of a
// half-explored map and with everything revealed, in microseconds per frame: with the view
// standing still (the tile cache warm), and scrolling 1 and 32 pixels a frame (new tiles to
// decode as they enter the view). Beside them a memcpy of the view's bytes, the floor.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "Comparison.h"
#include "core/MemoryDisplay.h"
#include "map/LandFixture.h"
#include "map/TerrainMap.h"

namespace {
// A 200 x 200 land: a third of it never seen, a third seen before (fogged), a third seen now.
struct Land {
    Land() {
        LandLayout layout;
        layout.columns = 200;
        layout.rows = 200;
        layout.letters = std::vector<std::string>(200, std::string(200, 'c'));
        files.WriteLand(layout);
        map = std::make_unique<TerrainMap>();
        map->SetDiscDataPath(files.Path().c_str());
        map->SetLocalDataPath(files.Path().c_str());
        map->Load("edit.lnd");
        map->SetView(Rect(Point(0, 0), Size(512, 480)));
        std::mt19937 random(5);
        for (int row = 0; row < 200; ++row) {
            for (int column = 0; column < 200; ++column) {
                const int pick = static_cast<int>(random() % 3);
                if (pick > 0) map->AddVisibility(row, column, 1);
                if (pick == 1) map->AddVisibility(row, column, -1);
            }
        }
    }
    LandFixture files;
    std::unique_ptr<TerrainMap> map;
};

struct Scene {
    MemoryDisplay screen;
    Land land;
    std::unique_ptr<TerrainMap>& map = land.map;
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

// The page's view rectangle as drawn now.
std::vector<uint8_t> ViewPixels(MemoryDisplay& screen) {
    std::vector<uint8_t> pixels(512 * 480);
    for (int y = 0; y < 480; ++y)
        std::memcpy(pixels.data() + y * 512, screen.BackPage() + y * 640, 512);
    return pixels;
}

// A scrolled view (tiles decoded as they enter, pictures reused) must show what a map that
// decodes the same view at once shows.
bool ScrolledViewMatchesFreshOne(int step) {
    Scene& scene = TheScene();
    Point origin(301, 467);
    for (int frame = 0; frame < 40; ++frame) {
        origin = Point(origin.x + step, origin.y + step);
        scene.map->DrawViewZoom0(origin);
    }
    const std::vector<uint8_t> scrolled = ViewPixels(scene.screen);
    scene.map->DrawViewZoom0(Point(301, 467));
    auto fresh = std::make_unique<Land>();
    fresh->map->DrawViewZoom0(origin);
    return ViewPixels(scene.screen) == scrolled;
}

void BM_TerrainDraw(benchmark::State& state) {
    Scene& scene = TheScene();
    const int zoom = static_cast<int>(state.range(0));
    const bool fog = state.range(1) != 0;
    scene.map->SetRevealAll(fog ? 0 : 1);
    // An origin that cuts cells on every side.
    const Point origin(301, 467);
    for (auto _ : state) {
        if (zoom == 0) scene.map->DrawViewZoom0(origin);
        if (zoom == 1) scene.map->DrawViewZoom1(origin);
        if (zoom == 2) scene.map->DrawViewZoom2(origin);
        benchmark::DoNotOptimize(scene.screen.BackPage());
    }
    state.SetLabel(std::string("1:") + std::to_string(1 << zoom) + (fog ? " with fog" : " no fog"));
    scene.map->SetRevealAll(0);
}
BENCHMARK(BM_TerrainDraw)->ArgsProduct({{0, 1, 2}, {1, 0}})->Unit(benchmark::kMicrosecond);

// The view moves diagonally by `step` pixels a frame, back and forth across the land.
void BM_TerrainScroll(benchmark::State& state) {
    Scene& scene = TheScene();
    const int step = static_cast<int>(state.range(0));
    if (!ScrolledViewMatchesFreshOne(step)) {
        state.SkipWithError("the scrolled view differs from one decoded at once");
        return;
    }
    Point origin(301, 467);
    int direction = 1;
    for (auto _ : state) {
        origin = Point(origin.x + direction * step, origin.y + direction * step);
        if (origin.x > 200 * 32 - 600 || origin.x < 32) direction = -direction;
        scene.map->DrawViewZoom0(origin);
        benchmark::DoNotOptimize(scene.screen.BackPage());
    }
    state.SetLabel("1:1 with fog, " + std::to_string(step) + " px a frame");
}
BENCHMARK(BM_TerrainScroll)->Arg(1)->Arg(32)->Unit(benchmark::kMicrosecond);

// The view's 512 x 480 bytes copied row by row into the page.
void BM_ViewMemcpy(benchmark::State& state) {
    Scene& scene = TheScene();
    std::vector<uint8_t> source(512 * 480, 7);
    for (auto _ : state) {
        uint8_t* page = scene.screen.BackPage();
        for (int y = 0; y < 480; ++y)
            std::memcpy(page + y * 640, source.data() + y * 512, 512);
        benchmark::DoNotOptimize(scene.screen.BackPage());
    }
}
BENCHMARK(BM_ViewMemcpy)->Unit(benchmark::kMicrosecond);
}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintComparison("terrain view 1:1 still, fog / memcpy", reporter, "BM_TerrainDraw/0/1",
                    "BM_ViewMemcpy", "memcpy", "us");
    PrintComparison("terrain view 1:1 still, no fog / memcpy", reporter, "BM_TerrainDraw/0/0",
                    "BM_ViewMemcpy", "memcpy", "us");
    PrintComparison("terrain view scrolling 1 px / still", reporter, "BM_TerrainScroll/1",
                    "BM_TerrainDraw/0/1", "still", "us");
    PrintComparison("terrain view scrolling 32 px / still", reporter, "BM_TerrainScroll/32",
                    "BM_TerrainDraw/0/1", "still", "us");
    benchmark::Shutdown();
    return 0;
}
