#pragma once
// The real program, headless, in a folder of its own on a fresh copy of the sample assets: the
// fixed-step clock (or the real one, for programs that must keep time with each other), an
// input script, frame captures and checksum files. Every end-to-end run of the screens goes
// through here.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/MadeAssets.h"
#include "support/TempDirectory.h"

// The script lines from the main menu into a skirmish battle with the set-up screen's defaults:
// a macro, so that the runs' scripts stay single string literals around it.
#define QX_E2E_SKIRMISH_FROM_MENU \
    "text \"o\"\n"                \
    "wait 300\n"                  \
    "key RETURN\n"                \
    "wait 1000\n"                 \
    "move 560 458\n"              \
    "wait 100\n"                  \
    "click L 560 458\n"           \
    "await 3 20000\n"

namespace e2e {

namespace fs = std::filesystem;

inline std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline fs::path Program(const char* name) {
    return fs::path(QX_BINARY_DIR) / name;
}

inline bool ProgramsBuilt() {
    return fs::exists(Program("qx-mkassets")) && fs::exists(Program("quarnex"));
}

class GameFolder {
public:
    enum class Clock { Fixed, Real };

    // An empty folder inside the parent's scratch directory.
    GameFolder(const TempDirectory& scratch, const std::string& name)
        : path(fs::path(scratch.Path()) / name) {
        fs::create_directories(path / "captures");
    }

    // The sample set, copied here from the one this build's maker wrote once for all test
    // programs (the maker is tested on its own; running it again for every run cost each run
    // the maker's whole time, several times over under the sanitizers). The copy is the run's
    // own to change or damage. False, with the maker's output in mkassets.log, when the maker
    // failed or the copy could not be made.
    bool MakeAssets() {
        const MadeAssets::SharedSet set = MadeAssets::MakeSharedSet(QX_BINARY_DIR);
        std::ofstream(path / "mkassets.log") << set.printed;
        if (set.status != 0) return false;
        std::error_code code;
        for (const auto& entry : fs::directory_iterator(set.path, code)) {
            if (entry.path().filename() == "done.log") continue;
            fs::copy(entry.path(), path / entry.path().filename(), fs::copy_options::recursive,
                     code);
            if (code) break;
        }
        if (code) std::ofstream(path / "mkassets.log", std::ios::app) << code.message() << "\n";
        return !code && fs::is_directory(path / "Assets");
    }
    // The assets of another folder, read by both (only for programs that write none of them).
    void LinkAssets(const GameFolder& from) {
        fs::create_directory_symlink(from.path / "Assets", path / "Assets");
        fs::create_directory_symlink(from.path / "volumes", path / "volumes");
    }
    void WriteOptions(const std::string& text) const { std::ofstream(path / "QX.INI") << text; }

    // The shell command that runs the program on the script; its exit code goes to exit.txt.
    std::string Command(const std::string& script, Clock clock = Clock::Fixed,
                        int timeoutSeconds = 120) const {
        std::ofstream(path / "script.txt") << script;
        if (listings) fs::create_directories(path / "listing");
        return "cd '" + path.string() + "' && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy " +
               (clock == Clock::Fixed ? "QX_CLOCK=fixed:16 " : "") +
               (listings ? "QX_CHECKSUM_LISTING=listing " : "") +
               "QX_SCRIPT=script.txt QX_CAPTURE=captures timeout " +
               std::to_string(timeoutSeconds) + " '" + Program("quarnex").string() +
               "' > stdout.txt 2> stderr.txt; echo $? > exit.txt";
    }
    // Runs the program to its end: its exit code.
    int Run(const std::string& script, Clock clock = Clock::Fixed, int timeoutSeconds = 120) const {
        const int shellStatus = std::system(Command(script, clock, timeoutSeconds).c_str());
        (void)shellStatus;
        return ExitCode();
    }
    int ExitCode() const {
        int code = -1;
        std::istringstream(ReadText(path / "exit.txt")) >> code;
        return code;
    }
    std::string Errors() const { return ReadText(path / "stderr.txt"); }
    std::string Capture(const std::string& name) const {
        return ReadText(path / "captures" / (name + ".png"));
    }
    // The capture's 640 x 480 pixels as RGB triples, row by row; empty when it cannot be read.
    std::vector<uint8_t> CapturePixels(const std::string& name) const {
        const fs::path file = path / "captures" / (name + ".png");
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_file(&image, file.c_str())) return {};
        image.format = PNG_FORMAT_RGB;
        std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
        if (image.width != 640 || image.height != 480 ||
            !png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
            return {};
        return pixels;
    }
    std::string Checksum(const std::string& name) const {
        return ReadText(path / "captures" / (name + ".txt"));
    }
    std::string File(const std::string& name) const { return ReadText(path / name); }

    // The fields a saved game carries, from the listing of checksum NAME (runs with `listings`
    // set): the listing less what every load makes anew by design, an artifact's hidden effect
    // (drawn again as the land is read) and a factory's unfolding (a loaded factory opens again).
    std::string SavedFieldsOf(const std::string& name) const {
        std::string listing;
        for (const auto& entry : fs::directory_iterator(path / "listing"))
            if (entry.path().filename().string().rfind(name + "-", 0) == 0)
                listing = ReadText(entry.path());
        std::istringstream lines(listing);
        std::string kept;
        for (std::string line; std::getline(lines, line);) {
            std::istringstream words(line);
            std::vector<std::string> fields{std::istream_iterator<std::string>(words), {}};
            constexpr size_t kUnfold = 18, kEffect = 19;
            if (fields.size() == 21 && (fields[0] == "2" || fields[0] == "13")) {
                fields[fields[0] == "2" ? kUnfold : kEffect] = "-";
            }
            for (const std::string& field : fields)
                kept += field + " ";
            kept += "\n";
        }
        return kept;
    }

    bool listings = false;
    const fs::path path;
};

// Runs every folder's program at once on its own script; answers once all have ended.
inline void RunTogether(const std::vector<const GameFolder*>& folders,
                        const std::vector<std::string>& scripts, GameFolder::Clock clock,
                        int timeoutSeconds) {
    std::vector<std::thread> programs;
    for (size_t i = 0; i < folders.size(); ++i) {
        const std::string command = folders[i]->Command(scripts[i], clock, timeoutSeconds);
        programs.emplace_back([command] {
            const int shellStatus = std::system(command.c_str());
            (void)shellStatus;
        });
    }
    for (std::thread& program : programs)
        program.join();
}

// A test with one game folder holding the sample set; skipped when the programs are not built.
class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!ProgramsBuilt()) GTEST_SKIP() << "the game or the sample asset maker is not built";
        ASSERT_TRUE(game.MakeAssets()) << game.File("mkassets.log");
    }

    TempDirectory scratch;
    GameFolder game{scratch, "game"};
};

// Script lines that lead from the start to the main menu with the movies off.
constexpr char kToMenu[] =
    "wait 500\n"
    "text \"m\"\n"
    "await 2 5000\n"
    "wait 300\n";
// Script lines that leave the main menu through the exit pictures.
constexpr char kOutFromMenu[] =
    "key ESCAPE\n"
    "await 10 2000\n"
    "wait 30000\n";
constexpr char kMoviesOff[] = "[OPTIONS]\nMOVIES=NO\n";
// From the menu through the set-up screen (its start key) and the design screen (its battle
// button) into battle, and from battle back to the menu.
constexpr char kSkirmishToDesign[] =
    "text \"o\"\n"
    "wait 300\n"
    "key RETURN\n"
    "await 4 5000\n"
    "wait 500\n";
constexpr char kDesignToBattle[] =
    "move 560 458\n"
    "wait 100\n"
    "click L 560 458\n"
    "await 3 20000\n";
constexpr char kBattleToMenu[] =
    "keydown CONTROL\n"
    "key Q\n"
    "keyup CONTROL\n"
    "await 2 5000\n"
    "wait 300\n";

}  // namespace e2e
