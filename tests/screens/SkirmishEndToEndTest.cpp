// A skirmish against one computer opponent in the real program, headless (fixed-step clock,
// scripted input, captures), the local team playing itself (Ctrl+A) and the whole land shown
// on the mini-map (Ctrl+V, cheats on). Read from the mini-map at 1, 3 and 5 game-minutes: each
// side's units leave its factory, go well away from it and gather there in a group. Each side
// is found by its colour: at the start a team is its factory alone, one solid square.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "screens/EndToEndGame.h"
#include "support/Sanitized.h"

namespace {

const char kScript[] =
    "keydown CONTROL\n"
    "key A\n"
    "keyup CONTROL\n"
    "wait 100\n" QX_E2E_SKIRMISH_FROM_MENU
    // The build panel closed, so the panel shows the mini-map, and the whole land revealed.
    "key P\n"
    "keydown CONTROL\n"
    "key V\n"
    "keyup CONTROL\n"
    "wait 500\n"
    "capture start\n"
    "wait 59500\n"
    "capture minute1\n"
    "wait 120000\n"
    "capture minute3\n"
    "wait 120000\n"
    "capture minute5\n"
    "wait 100\n"
    "keydown CONTROL\n"
    "key Q\n"
    "keyup CONTROL\n"
    "await 2 5000\n"
    "wait 300\n";

// The mini-map's pixels as colours (0xRRGGBB) by position.
using Pixel = std::pair<int, int>;
using MiniMap = std::map<Pixel, uint32_t>;

bool ReadMiniMap(const e2e::GameFolder& game, const char* capture, MiniMap& out) {
    constexpr int kLeft = 521, kTop = 332, kRight = 631, kBottom = 439;
    const std::vector<uint8_t> rgb = game.CapturePixels(capture);
    if (rgb.empty()) return false;
    for (int y = kTop; y < kBottom; ++y) {
        for (int x = kLeft; x < kRight; ++x) {
            const uint8_t* p = &rgb[(static_cast<size_t>(y) * 640 + x) * 3];
            out[{x, y}] = static_cast<uint32_t>(p[0] << 16 | p[1] << 8 | p[2]);
        }
    }
    return true;
}

std::set<Pixel> PixelsOf(const MiniMap& map, uint32_t colour) {
    std::set<Pixel> pixels;
    for (const auto& [at, c] : map)
        if (c == colour) pixels.insert(at);
    return pixels;
}

// At the start a team is its factory alone: the colours that fill exactly one solid rectangle.
std::vector<uint32_t> TeamColours(const MiniMap& start) {
    std::map<uint32_t, std::vector<Pixel>> byColour;
    for (const auto& [at, c] : start)
        byColour[c].push_back(at);
    std::vector<uint32_t> teams;
    for (const auto& [colour, pixels] : byColour) {
        int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
        for (const auto& [x, y] : pixels) {
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
        const size_t box = static_cast<size_t>((right - left + 1) * (bottom - top + 1));
        if (box == pixels.size() && box >= 9 && box <= 64) teams.push_back(colour);
    }
    return teams;
}

// Where a team stands on one capture: its factory (the centre of the pixels inside solid 3 x 3
// blocks), how many of its pixels are away from the factory, the farthest, and the largest
// group of them (pixels within a 7 x 7 box) at least 8 pixels from the factory.
struct Spread {
    bool factory = false;
    int away = 0;
    double farthest = 0;
    int largestGroup = 0;
};

Spread SpreadOf(const MiniMap& map, uint32_t colour) {
    const std::set<Pixel> pixels = PixelsOf(map, colour);
    Spread spread;
    double cx = 0, cy = 0;
    int inside = 0;
    for (const auto& [x, y] : pixels) {
        bool solid = true;
        for (int dy = -1; dy <= 1 && solid; ++dy)
            for (int dx = -1; dx <= 1 && solid; ++dx)
                solid = pixels.count({x + dx, y + dy}) > 0;
        if (solid) cx += x, cy += y, ++inside;
    }
    if (inside == 0) return spread;
    spread.factory = true;
    cx /= inside, cy /= inside;
    for (const auto& [x, y] : pixels) {
        const double distance = std::hypot(x - cx, y - cy);
        spread.farthest = std::max(spread.farthest, distance);
        if (std::max(std::abs(x - cx), std::abs(y - cy)) >= 4) ++spread.away;
        if (distance < 8) continue;
        int group = 0;
        for (const auto& [qx, qy] : pixels)
            if (std::abs(qx - x) <= 3 && std::abs(qy - y) <= 3) ++group;
        spread.largestGroup = std::max(spread.largestGroup, group);
    }
    return spread;
}

using SkirmishEndToEnd = e2e::EndToEndTest;

TEST_F(SkirmishEndToEnd, TheComputerSidesLeaveTheirFactoriesAndGather) {
    QX_LONG_RUN_OPTIMISED_ONLY();
    game.WriteOptions("[OPTIONS]\nMOVIES=NO\nCHEAT=YES\n");
    ASSERT_EQ(game.Run(e2e::kToMenu + std::string(kScript) + e2e::kOutFromMenu,
                       e2e::GameFolder::Clock::Fixed, 900),
              0)
        << game.Errors();

    MiniMap shots[4];
    const char* const names[4] = {"start", "minute1", "minute3", "minute5"};
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(ReadMiniMap(game, names[i], shots[i])) << names[i];
    const std::vector<uint32_t> teams = TeamColours(shots[0]);
    ASSERT_EQ(teams.size(), 2u) << "two factories alone at the start";
    for (uint32_t colour : teams) {
        SCOPED_TRACE(testing::Message() << "team colour " << std::hex << colour);
        Spread at[4];
        for (int i = 0; i < 4; ++i) {
            at[i] = SpreadOf(shots[i], colour);
            ASSERT_TRUE(at[i].factory) << names[i];
        }
        EXPECT_EQ(at[0].away, 0);
        EXPECT_GE(at[1].away, 3) << "no unit left the factory in the first minute";
        // By minute 3 or 5 (a side whose army was beaten by then has shown it at 3): more units
        // out, some far away, and a group gathered away from the factory.
        EXPECT_GT(std::max(at[2].away, at[3].away), at[1].away);
        EXPECT_GE(std::max(at[2].farthest, at[3].farthest), 20.0) << "the units stay at home";
        EXPECT_GE(std::max(at[2].largestGroup, at[3].largestGroup), 5)
            << "no group gathered away from the factory";
    }
}

}  // namespace
