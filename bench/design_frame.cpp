// One frame of the design screen's parts panel on the sample set, with the preview animating
// and a part carried: update, draw and present headless. The same run times a memcpy of the
// 640 x 480 frame buffer, the floor any frame costs, and prints the ratio.
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
#include "catalogue/DesignLibrary.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/WeaponTemplate.h"
#include "core/EventQueue.h"
#include "core/MemoryDisplay.h"
#include "core/ResourceFile.h"
#include "core/StringTable.h"
#include "core/TextWriter.h"
#include "screens/DesignScreen.h"
#include "world/World.h"

namespace {

namespace fs = std::filesystem;

// The sample set: QX_ASSETS when given, else made by the maker beside the benchmark's folder.
fs::path AssetSet() {
    if (const char* given = std::getenv("QX_ASSETS")) return given;
    const fs::path self = fs::read_symlink("/proc/self/exe");
    const fs::path maker = self.parent_path().parent_path() / "qx-mkassets";
    const fs::path out =
        fs::temp_directory_path() / ("qx-design-frame-" + std::to_string(getpid()));
    const std::string command = maker.string() + " " + out.string() + " > /dev/null";
    if (std::system(command.c_str()) != 0) return fs::path();
    return out;
}

struct Scene {
    Scene() {
        set = AssetSet();
        ready = !set.empty() &&
                ResourceFile::SetAssetPath((set / "Assets").string().append("/").c_str()) == 1 &&
                LoadStringTable("7a1.str") == 1 && LoadTemplateCatalogue("7a.pts") == 1;
        if (!ready) return;
        world = std::make_unique<World>();
        world->font = std::make_unique<TextWriter>("7a0fxxax99s999.msp");
        world->clanLetter = 'V';
        world->techLevelV = world->techLevelT = 8;
        world->designLibrary->Load("Vs.vdf");
        screen = std::make_unique<DesignScreen>(1);
        screen->Load();
        screen->Activate();
        screen->PickEntry(FindInList(ChassisList, 'V', 'c'), 0);
        screen->PickEntry(screen->Next(1, nullptr), 1);
        screen->PickEntry(FindWeaponTemplate('V', 'd'), 3);
        screen->cursorPoint = Point(320, 250);
        screen->previewAnimating = 1;
    }
    ~Scene() {
        if (screen) screen->Unload();
        screen.reset();
        world.reset();
        ClearTemplateCatalogue();
        if (!std::getenv("QX_ASSETS") && !set.empty()) fs::remove_all(set);
    }
    MemoryDisplay display;
    EventQueue events;
    fs::path set;
    bool ready = false;
    std::unique_ptr<World> world;
    std::unique_ptr<DesignScreen> screen;
};

void BM_DesignFrame(benchmark::State& state) {
    static Scene scene;
    if (!scene.ready) {
        state.SkipWithError("no sample asset set (build qx-mkassets or set QX_ASSETS)");
        return;
    }
    using Clock = std::chrono::steady_clock;
    Clock::duration frames{};
    int64_t count = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        ++scene.world->lastTenth;
        scene.screen->Update(16);
        scene.screen->Draw(16);
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
BENCHMARK(BM_DesignFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
