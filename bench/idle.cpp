// The game standing on its title screen for 5 s on the real clock (dummy video and sound, the
// movies off): the share of one core it uses, from the CPU time the system counts for it over
// those 5 s (the start-up before is left out). Between ticks the main loop sleeps until the
// next tick is due and an unchanged frame is not sent again; the aim is under 5 %.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>

#include "support/TempDirectory.h"

namespace {

namespace fs = std::filesystem;

// The build directory: the benchmark runs from <build>/bench/.
fs::path BuildDirectory() {
    return fs::read_symlink("/proc/self/exe").parent_path().parent_path();
}

// User and system time of a process so far, in seconds.
double CpuSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // The fields after the command name, which is in parentheses and may hold blanks.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    unsigned long long user = 0;
    unsigned long long system = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) user = std::stoull(field);
        if (i == 15) system = std::stoull(field);
    }
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

void TitleIdle(benchmark::State& state) {
    const fs::path build = BuildDirectory();
    TempDirectory game;
    const std::string make = (build / "qx-mkassets").string() + " " + game.Path() + " > /dev/null";
    if (std::system(make.c_str()) != 0) {
        state.SkipWithError("the sample asset maker failed");
        return;
    }
    std::ofstream(fs::path(game.Path()) / "QX.INI") << "[OPTIONS]\nMOVIES=NO\n";
    std::ofstream(fs::path(game.Path()) / "idle.qxs") << "wait 8000\nquit\n";
    const std::string binary = (build / "quarnex").string();
    for (auto _ : state) {
        const pid_t child = fork();
        if (child == 0) {
            if (chdir(game.Path().c_str()) != 0) _exit(127);
            setenv("SDL_VIDEODRIVER", "dummy", 1);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            setenv("QX_SCRIPT", "idle.qxs", 1);
            unsetenv("QX_CLOCK");
            execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        // The title stands well within 2 s of the start.
        std::this_thread::sleep_for(std::chrono::seconds(2));
        const double cpuBefore = CpuSeconds(child);
        const auto before = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(5));
        const double cpu = CpuSeconds(child) - cpuBefore;
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
        int status = 0;
        waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the game did not end cleanly");
            return;
        }
        state.SetIterationTime(wall);
        state.counters["cpu_share_percent"] = 100.0 * cpu / wall;
    }
}

BENCHMARK(TitleIdle)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
