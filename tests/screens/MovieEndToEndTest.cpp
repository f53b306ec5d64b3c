// The real program plays its intro with FFmpeg's libraries loaded only for the movie (the
// program links none of them).
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "EndToEndGame.h"

// Under the sanitizers the first movie frame comes later than the wall-clock capture, so there
// only the clean run and the title are checked.
#if defined(__SANITIZE_ADDRESS__)
#define QX_MOVIE_RUN_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QX_MOVIE_RUN_SANITIZED 1
#endif
#endif

namespace {

using MovieEndToEnd = e2e::EndToEndTest;

// A capture taken while the intro plays is the movie's own picture, decoded and scaled: far
// more colours than the paletted screens can show. Then a key skips the movie and the title
// comes; the program ends cleanly, with no word about the movie libraries. The movie keeps real
// time, but on the fixed-step clock the script's time moves only with the program's passes and
// the movie's key checks, so a slow start on a loaded machine takes no time from the captures.
TEST_F(MovieEndToEnd, TheIntroPlaysWithTheLibrariesLoadedForItAndAKeySkipsToTheTitle) {
    game.WriteOptions("[OPTIONS]\nMOVIES=YES\nMUSIC=NO\n");
    const std::string script =
        "wait 300\n"
        "capture intro1\n"
        "wait 400\n"
        "capture intro2\n"
        "wait 400\n"
        "capture intro3\n"
        "wait 400\n"
        "capture intro4\n"
        "wait 400\n"
        "key ESCAPE\n"
        "wait 1500\n"
        "capture title\n"
        "wait 300\n"
        "text \"m\"\n"
        "await 2 5000\n"
        "wait 300\n"
        "key ESCAPE\n"
        "await 10 2000\n"
        "wait 3000\n";
    ASSERT_EQ(game.Run(script, e2e::GameFolder::Clock::Fixed, 60), 0) << game.Errors();
    EXPECT_EQ(game.Errors().find("movies cannot play"), std::string::npos) << game.Errors();
    auto colours = [](const std::vector<uint8_t>& pixels) {
        std::set<uint32_t> seen;
        for (size_t i = 0; i + 2 < pixels.size(); i += 3)
            seen.insert(pixels[i] << 16 | pixels[i + 1] << 8 | pixels[i + 2]);
        return seen.size();
    };
    // The movie's first frame can come after the first capture: the most colourful of the
    // captures taken while the three-second intro can play is its picture.
    size_t introColours = 0;
    for (const char* name : {"intro1", "intro2", "intro3", "intro4"}) {
        const std::vector<uint8_t> intro = game.CapturePixels(name);
        ASSERT_FALSE(intro.empty()) << name;
        introColours = std::max(introColours, colours(intro));
    }
    const std::vector<uint8_t> title = game.CapturePixels("title");
    ASSERT_FALSE(title.empty());
#ifndef QX_MOVIE_RUN_SANITIZED
    EXPECT_GT(introColours, 1000u);
#else
    (void)introColours;
#endif
    EXPECT_LE(colours(title), 256u);
}

}  // namespace
