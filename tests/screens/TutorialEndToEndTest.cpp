// The tutorial in the real program, headless (fixed-step clock, scripted input, captures): from
// the main menu through every step of the training mission to its end, by the keys and clicks a
// player would use. A capture follows each action; the status line of each must show the hint
// the walk has reached, in the walk's order.
#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "screens/EndToEndGame.h"
#include "support/Sanitized.h"

namespace {

// Commands separated by ';'. Build the Miner; choose and queue the Scout and the Detection
// Relay; select the relay, click it to deploy it, select it standing; close the panel, send
// the scout (tracked) towards the second ore field; select the factory and drive it (tracked)
// onto the field; clear the selection; three hovers and a Weapon Relay; select, deploy and
// select the relay; clear the selection; destroy the enemy.
const char kScript[] =
    "wait 500;text \"m\";await 2 5000;wait 300;text \"t\";await 3 20000;wait 900;capture h00;"
    "wait 100;key B;capture h01;wait 24900;capture h02;wait 100;key DOWN;capture h03;"
    "wait 300;key B;capture h04;wait 300;key DOWN;wait 300;key DOWN;wait 300;key DOWN;"
    "capture h05;wait 300;key B;wait 40000;capture h06;wait 100;key N;wait 300;capture h07;"
    "wait 100;key N;wait 300;capture h08;key N;wait 300;capture h09;wait 100;click R 256 240;"
    "wait 300;key N;wait 300;capture h10;wait 100;move 270 237;wait 100;click L 270 237;"
    "wait 300;capture h11;wait 10000;capture h12;wait 100;click R 100 100;wait 300;"
    "capture h13;wait 100;move 270 237;wait 100;click L 270 237;wait 300;capture h14;"
    "wait 100;key P;wait 300;capture h15;wait 100;move 270 432;wait 100;click L 270 432;"
    "wait 300;capture h16;wait 100;key T;wait 1000;capture h17;wait 100;move 474 395;"
    "wait 100;click L 474 395;wait 300;capture h18;wait 6000;capture h19;wait 100;"
    "move 474 395;wait 100;click L 474 395;wait 6000;capture h20;wait 100;move 474 395;"
    "wait 100;click L 474 395;wait 6000;capture h21;wait 100;move 474 395;wait 100;"
    "click L 474 395;wait 6000;capture h22;wait 100;move 474 395;wait 100;click L 474 395;"
    "wait 6000;capture h23;wait 100;move 474 395;wait 100;click L 474 395;wait 6000;"
    "capture h24;wait 100;key H;wait 1000;capture h25;wait 100;move 256 240;wait 100;"
    "click L 256 240;wait 300;capture h26;wait 100;key T;wait 500;move 475 395;wait 100;"
    "click L 475 395;wait 20000;capture h27;wait 100;move 475 395;wait 100;click L 475 395;"
    "wait 20000;capture h28;wait 100;move 475 395;wait 100;click L 475 395;wait 20000;"
    "capture h29;wait 100;move 475 395;wait 100;click L 475 395;wait 20000;capture h30;"
    "wait 100;move 475 395;wait 100;click L 475 395;wait 20000;capture h31;wait 100;"
    "move 409 393;wait 100;click L 409 393;wait 20000;capture h32;wait 100;wait 10000;"
    "capture h33;wait 100;capture h34;wait 100;click R 100 100;wait 300;capture h35;wait 100;"
    "key P;wait 300;capture h36;wait 100;key UP;wait 300;capture h37;wait 100;key B;wait 300;"
    "key B;wait 300;key B;wait 300;capture h38;wait 100;key DOWN;wait 300;key DOWN;wait 300;"
    "capture h39;wait 100;key B;wait 300;capture h40;wait 100;wait 90000;key N;wait 500;"
    "capture h41;wait 100;key N;wait 500;key N;wait 500;capture h42;wait 100;move 256 240;"
    "wait 100;click L 256 240;wait 300;capture h43;wait 10000;capture h44;wait 100;"
    "click R 100 100;wait 300;capture h45;wait 100;move 256 240;wait 100;click L 256 240;"
    "wait 300;capture h46;wait 100;click R 100 100;wait 300;capture h47;wait 100;destroy 2;"
    "wait 1000;capture h48;wait 1000;capture h49;wait 100;keydown CONTROL;key Q;"
    "keyup CONTROL;await 2 5000;wait 300;key ESCAPE;await 10 2000;wait 30000;";

// The hint each capture hNN must show, in capture order.
const int kHints[] = {230, 231, 232, 233, 234, 235, 236, 237, 236, 236, 237, 236, 236,
                      236, 241, 239, 240, 240, 242, 242, 242, 242, 242, 242, 243, 243,
                      245, 246, 246, 246, 246, 246, 247, 247, 247, 248, 249, 250, 251,
                      252, 253, 253, 253, 256, 256, 256, 256, 256, 264, 264};
constexpr int kCaptures = static_cast<int>(sizeof kHints / sizeof kHints[0]);
// The status line's text: its rows and columns, and the glyph advance of the sample font.
constexpr int kTop = 11, kBottom = 25, kLeft = 10, kRight = 500, kAdvance = 6;

// The status line's pixels (RGB), empty when the capture cannot be read.
std::vector<unsigned char> StatusLine(const e2e::GameFolder& game, const std::string& capture) {
    const std::vector<uint8_t> pixels = game.CapturePixels(capture);
    if (pixels.empty()) return {};
    std::vector<unsigned char> band;
    for (int y = kTop; y < kBottom; ++y) {
        const auto row = pixels.begin() + static_cast<long>(y) * 640 * 3;
        band.insert(band.end(), row + kLeft * 3, row + kRight * 3);
    }
    return band;
}

// The characters the line's text spans: its pixels of another colour than the box's.
int TextLength(const std::vector<unsigned char>& band) {
    const int width = kRight - kLeft;
    auto at = [&](int i) { return std::string(band.begin() + i * 3, band.begin() + i * 3 + 3); };
    const std::string box = at(0);
    int first = width, last = -1;
    for (int i = 0; i < static_cast<int>(band.size() / 3); ++i) {
        if (at(i) == box) continue;
        first = std::min(first, i % width);
        last = std::max(last, i % width);
    }
    return last < 0 ? 0 : (last - first + kAdvance - 2) / kAdvance;
}

// The share of the map view's pixels (below the status line) the commonest colour covers: most
// of it when the view shows never-seen land, a few hundredths on seen ground.
double CommonestColourShare(const e2e::GameFolder& game, const std::string& capture) {
    const std::vector<uint8_t> pixels = game.CapturePixels(capture);
    if (pixels.empty()) return 1;
    std::map<uint32_t, int> counts;
    int most = 0, all = 0;
    for (int y = 30; y < 440; ++y) {
        for (int x = 0; x < 500; ++x, ++all) {
            const uint8_t* p = &pixels[(static_cast<size_t>(y) * 640 + x) * 3];
            most = std::max(most, ++counts[p[0] << 16 | p[1] << 8 | p[2]]);
        }
    }
    return static_cast<double>(most) / all;
}

using TutorialEndToEnd = e2e::EndToEndTest;

TEST_F(TutorialEndToEnd, EveryStepFromTheMenuToVictoryShowsItsHintInOrder) {
    QX_LONG_RUN_OPTIMISED_ONLY();
    game.WriteOptions(e2e::kMoviesOff);
    std::string script = kScript;
    std::replace(script.begin(), script.end(), ';', '\n');
    ASSERT_EQ(game.Run(script, e2e::GameFolder::Clock::Fixed, 300), 0) << game.Errors();
    // The opening view, the mouse never moved: the factory on its seen ground, not the black of
    // the land's never-seen corner.
    EXPECT_LT(CommonestColourShare(game, "h00"), 0.25);

    // The hints' texts are the made string table's lines.
    std::vector<std::string> strings;
    std::istringstream table(game.File("Assets/7a1.str"));
    for (std::string line; std::getline(table, line, '\r');)
        strings.push_back(line);
    ASSERT_GT(strings.size(), 264u);
    std::vector<std::vector<unsigned char>> lines;
    for (int i = 0; i < kCaptures; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "h%02d", i);
        lines.push_back(StatusLine(game, name));
        ASSERT_FALSE(lines.back().empty()) << name;
        EXPECT_EQ(TextLength(lines.back()), static_cast<int>(strings[kHints[i]].size()))
            << name << " should show " << kHints[i];
    }
    // Two captures show the same status line exactly when they should show the same hint.
    for (int i = 0; i < kCaptures; ++i)
        for (int j = i + 1; j < kCaptures; ++j)
            EXPECT_EQ(lines[i] == lines[j], kHints[i] == kHints[j]) << "h" << i << " and h" << j;
}

}  // namespace
