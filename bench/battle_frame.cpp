// One whole frame of the battle screen on the sample set: events, update, drawing and the
// headless present, over a 200 x 200 land with 500 units in and around the view (test objects
// with catalogue pictures), 50 explosions and the side panel; at 1:1 and 1:2, with the side
// panel redrawn every frame and without. The same run times a memcpy of the 640 x 480 frame
// buffer, the floor any frame costs, and prints the ratio.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "core/EventQueue.h"
#include "core/MemoryDisplay.h"
#include "core/ResourceFile.h"
#include "core/StringTable.h"
#include "core/TextWriter.h"
#include "core/VoicePool.h"
#include "screens/battle/BattleScreen.h"
#include "world/Scenario.h"
#include "world/TestObject.h"
#include "world/World.h"
#include "world/WorldLand.h"

namespace {

namespace fs = std::filesystem;

// The sample set: QX_ASSETS when given, else made by the maker beside the benchmark's folder.
fs::path AssetSet() {
    if (const char* given = std::getenv("QX_ASSETS")) return given;
    const fs::path self = fs::read_symlink("/proc/self/exe");
    const fs::path maker = self.parent_path().parent_path() / "qx-mkassets";
    const fs::path out =
        fs::temp_directory_path() / ("qx-battle-frame-" + std::to_string(getpid()));
    const std::string command = maker.string() + " " + out.string() + " > /dev/null";
    if (std::system(command.c_str()) != 0) return fs::path();
    return out;
}

struct Scene {
    Scene() {
        set = AssetSet();
        const std::string assets = (set / "Assets").string() + "/";
        ready = !set.empty() && ResourceFile::SetAssetPath(assets.c_str()) == 1 &&
                LoadStringTable("7a1.str") == 1 && LoadTemplateCatalogue("7a.pts") == 1;
        if (!ready) return;
        world = std::make_unique<World>();
        {
            LandFixture files;
            LoadLand(*world, files, OpenLand(200, 200));
        }
        ResourceFile::SetAssetPath(assets.c_str());
        world->font = std::make_unique<TextWriter>("7a0fxxax99s999.msp");
        world->voices = std::make_unique<VoicePool>(World::kVoices);
        world->scenario = std::make_unique<Scenario>();
        world->localPlayer = ValueTriple(1, 1);
        world->clanLetter = 'V';
        world->paused = 0;
        SpriteSet* pictures = nullptr;
        for (ListNode* n = ChassisList.First(); n && !pictures; n = ChassisList.Next(n))
            pictures = static_cast<ChassisTemplate*>(n)->mapPictures.get();
        // 500 units over the cells in and around the view at 1:2, one in every third cell.
        const Point centre(3200, 3200);
        int serial = 1;
        for (int i = 0; serial <= 500; ++i) {
            const int row = 80 + (i * 3) / 52;
            const int column = 74 + (i * 3) % 52;
            auto unit = std::make_unique<TestObject>(1 + serial % 2, serial,
                                                     world->pathGrid->CellCenter(row, column));
            unit->spriteSet = pictures;
            unit->facing = serial % 16;
            unit->frame = serial % 16;
            std::unique_ptr<GameObject> owned = std::move(unit);
            if (world->AddSim(owned) == 1) ++serial;
            if (i > 5000) break;
        }
        for (int i = 0; i < 50; ++i) {
            auto blast = std::make_unique<TestObject>(0, 2000 + i,
                                                      Point(2700 + 23 * i, 2800 + 17 * (i % 40)));
            blast->spriteSet = pictures;
            world->AddEffect(std::move(blast));
        }
        screen = std::make_unique<BattleScreen>();
        screen->LoadForTeam(1, 'V');
        screen->SetRevealMap(1);
        screen->CentreOn(centre);
    }
    ~Scene() {
        if (screen) screen->Unload();
        screen.reset();
        if (world) world->ClearObjects();
        world.reset();
        ClearTemplateCatalogue();
        if (!std::getenv("QX_ASSETS") && !set.empty()) fs::remove_all(set);
    }
    MemoryDisplay display;
    EventQueue events;
    fs::path set;
    bool ready = false;
    std::unique_ptr<World> world;
    std::unique_ptr<BattleScreen> screen;
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

// state.range(0): the zoom; state.range(1): 1 redraws the side panel every frame.
void BM_BattleFrame(benchmark::State& state) {
    Scene& scene = TheScene();
    if (!scene.ready) {
        state.SkipWithError("no sample asset set (build qx-mkassets or set QX_ASSETS)");
        return;
    }
    BattleScreen& screen = *scene.screen;
    screen.SetZoom(static_cast<int32_t>(state.range(0)));
    screen.CentreOn(Point(3200, 3200));
    const bool redraw = state.range(1) == 1;
    using Clock = std::chrono::steady_clock;
    Clock::duration frames{};
    int64_t count = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        scene.events.Post(InputKind::MouseMove, Point(200 + count % 64, 200), 0);
        if (redraw) screen.panelRedrawAccumulator = screen.panelRedrawPeriod + 1;
        ++scene.world->lastTenth;
        screen.HandleEvents(16);
        screen.Update(16);
        screen.Draw(16);
        scene.display.Present();
        frames += Clock::now() - start;
        ++count;
        benchmark::DoNotOptimize(scene.display.FrontPage());
    }
    // The floor: copying one frame buffer.
    std::vector<uint8_t> from(640 * 480, 7), to(640 * 480);
    const int copies = 2000;
    const auto start = Clock::now();
    for (int i = 0; i < copies; ++i) {
        from[static_cast<size_t>(i) % from.size()] = static_cast<uint8_t>(i);
        std::memcpy(to.data(), from.data(), to.size());
        benchmark::DoNotOptimize(to.data());
    }
    const double memcpyUs =
        std::chrono::duration<double, std::micro>(Clock::now() - start).count() / copies;
    const double frameUs =
        count ? std::chrono::duration<double, std::micro>(frames).count() / count : 0.0;
    state.counters["frame_us"] = frameUs;
    state.counters["memcpy_us"] = memcpyUs;
    state.counters["ratio"] = memcpyUs > 0 ? frameUs / memcpyUs : 0.0;
}
BENCHMARK(BM_BattleFrame)
    ->ArgNames({"zoom", "panel"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
