// The asset maker's start check: what it refuses on small drawn lands, and that every land it
// makes, and every land description it wrote, has starts a side can play from.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "mkassets/LandMaker.h"
#include "mkassets/StartCheck.h"
#include "support/MadeAssets.h"

namespace {

using mkassets::StartCheck::Cell;
using mkassets::StartCheck::Layout;
using mkassets::StartCheck::Verdict;

constexpr int kSide = 24;
// The start of the drawn lands: its factory stands on cell (9, 11), opens over rows 6 to 10 and
// columns 10 to 14, sees rows 1 to 17 and columns 3 to 19, has docks on cells (5, 11), (6, 9) and
// (10, 15), and rolls its units out to cell (13, 7), whose open square spans rows 11 to 15 and
// columns 5 to 9. The field lies beyond column 16, on the last row and column in sight.
constexpr Cell kStart{8, 12};
constexpr Cell kField{17, 19};

struct Paint {
    int row, column, height, width;
    char letter;
};

struct Case {
    const char* what;
    std::vector<Paint> paints;
    std::vector<Cell> features;
    std::vector<Cell> moreFields;
    Verdict expected;
    const char* fault;  // what the message names; null when the start holds
    Cell start = kStart;
    int side = kSide;
    int sightReach = mkassets::StartCheck::kFactorySightReach;
};

Layout Drawn(const Case& c) {
    Layout layout;
    layout.letters.assign(static_cast<size_t>(c.side),
                          std::string(static_cast<size_t>(c.side), 'c'));
    layout.sightReach = c.sightReach;
    for (const Paint& p : c.paints) {
        for (int r = p.row; r < p.row + p.height; ++r) {
            std::string& row = layout.letters[static_cast<size_t>(r)];
            if (p.letter == '\0') row.resize(static_cast<size_t>(p.column));  // cut short
            for (int col = p.column; col < p.column + p.width && p.letter != '\0'; ++col)
                row[static_cast<size_t>(col)] = p.letter;
        }
    }
    layout.starts = {c.start};
    layout.fields = {kField};
    layout.fields.insert(layout.fields.end(), c.moreFields.begin(), c.moreFields.end());
    layout.features = c.features;
    return layout;
}

TEST(StartCheck, RefusesAStartWithoutGroundForItsFactoryItsUnitsOrARouteToOre) {
    const Paint waterColumn{1, 16, kSide - 2, 1, 'w'};
    const Case cases[] = {
        {"open ground", {}, {}, {}, {true, true, true, true}, nullptr},
        // A row cut short narrows the land to it: the field's column lies on its edge then.
        {"a row cut short",
         {{5, kField.second, 1, 1, '\0'}},
         {},
         {},
         {true, true, false, false},
         "ore field"},
        {"water under the open factory",
         {{6, 14, 1, 1, 'w'}},
         {},
         {},
         {false, true, true, true},
         "factory at row 9, column 11"},
        {"rock under the folded factory",
         {{10, 10, 1, 1, 'r'}},
         {},
         {},
         {false, true, true, true},
         "factory"},
        {"a land feature under the factory",
         {},
         {{6, 10}},
         {},
         {false, true, true, true},
         "factory"},
        // The route search leaves the cell it starts from: the square is what refuses it.
        {"water at the roll-out point",
         {{13, 7, 1, 1, 'w'}},
         {},
         {},
         {true, false, true, true},
         "roll-out point at row 13, column 7"},
        {"water in a corner of the roll-out square",
         {{15, 5, 1, 1, 'w'}},
         {},
         {},
         {true, false, true, true},
         "roll-out point"},
        {"the field beyond water", {waterColumn}, {}, {}, {true, true, false, false}, "ore field"},
        {"the field beyond rock",
         {{1, 16, kSide - 2, 1, 'r'}},
         {},
         {},
         {true, true, false, false},
         "ore field"},
        {"a second field on the near side",
         {waterColumn},
         {},
         {{4, 4}},
         {true, true, true, true},
         nullptr},
        {"the field under a land feature",
         {},
         {kField},
         {},
         {true, true, false, false},
         "ore field"},
        // The open factory stands in its own units' way.
        {"a field beyond the factory only",
         {{5, 10, 1, 7, 'w'}, {11, 10, 1, 7, 'w'}, {5, 16, 7, 1, 'w'}},
         {kField},
         {{8, 15}},
         {true, true, false, false},
         "ore field"},
        // Two cells that meet only at their corners: no unit squeezes between two closed cells.
        {"the way over water corner to corner",
         {{1, 16, kSide - 2, 2, 'w'}, {10, 16, 1, 1, 'c'}, {11, 17, 1, 1, 'c'}},
         {},
         {},
         {true, true, false, false},
         "ore field"},
        {"the open factory over the map's edge",
         {},
         {},
         {},
         {false, true, true, false},
         "factory at row 2, column 11",
         {1, 12}},
        {"the roll-out square on the map's last row",
         {},
         {},
         {},
         {true, false, true, true},
         "roll-out point at row 21, column 7",
         {16, 12}},
        {"the way over water through a gap",
         {{1, 16, kSide - 2, 2, 'w'}, {10, 16, 1, 2, 'c'}},
         {},
         {},
         {true, true, true, true},
         nullptr},
        // The first Miner finds by itself only a field its factory showed, near enough, that it
        // can reach, clear of the factory, its docks and its roll-out ground.
        {"a field under the fog", {}, {kField}, {{18, 3}}, {true, true, true, false}, "sight"},
        {"a field one column past the sight",
         {},
         {kField},
         {{10, 20}},
         {true, true, true, false},
         "sight"},
        {"a field on the sight's first row and column",
         {},
         {kField},
         {{1, 3}},
         {true, true, true, true},
         nullptr},
        {"the field in sight across water, another under the fog",
         {waterColumn},
         {},
         {{20, 4}},
         {true, true, true, false},
         "within 744 px"},
        {"a field next to a dock", {}, {kField}, {{4, 12}}, {true, true, true, false}, "docks"},
        {"a field in the roll-out square",
         {},
         {kField},
         {{15, 9}},
         {true, true, true, false},
         "sight"},
        // The route search already keeps out of the closed open factory.
        {"a field under the open factory",
         {},
         {kField},
         {{6, 14}},
         {true, true, false, false},
         "sight"},
        {"a field in a wide sight at the miner's reach",
         {},
         {kField},
         {{14, 30}},
         {true, true, true, true},
         nullptr,
         kStart,
         40,
         30},
        {"a field in a wide sight past the miner's reach",
         {},
         {kField},
         {{14, 31}},
         {true, true, true, false},
         "within 744 px",
         kStart,
         40,
         30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Layout layout = Drawn(c);
        const std::vector<Verdict> verdicts = mkassets::StartCheck::Check(layout);
        ASSERT_EQ(verdicts.size(), 1u);
        EXPECT_EQ(verdicts[0].footprint, c.expected.footprint);
        EXPECT_EQ(verdicts[0].rollOut, c.expected.rollOut);
        EXPECT_EQ(verdicts[0].oreRoute, c.expected.oreRoute);
        EXPECT_EQ(verdicts[0].oreInSight, c.expected.oreInSight);
        const std::string fault = mkassets::StartCheck::Fault(layout, "Drawn Land");
        if (!c.fault) {
            EXPECT_EQ(fault, "");
            continue;
        }
        const std::string start = "Drawn Land: the start at row " + std::to_string(c.start.first) +
                                  ", column " + std::to_string(c.start.second) +
                                  " cannot be played: ";
        EXPECT_EQ(fault.rfind(start, 0), 0u) << fault;
        EXPECT_NE(fault.find(c.fault), std::string::npos) << fault;
    }
}

// The verdicts of a land's starts, one line each, for the test's output.
void Report(const std::string& title, const Layout& layout) {
    const std::vector<Verdict> verdicts = mkassets::StartCheck::Check(layout);
    for (size_t i = 0; i < verdicts.size(); ++i) {
        std::printf(
            "%s start (%d,%d): footprint %d, roll-out %d, route to ore %d, ore in sight %d\n",
            title.c_str(), layout.starts[i].first, layout.starts[i].second, verdicts[i].footprint,
            verdicts[i].rollOut, verdicts[i].oreRoute, verdicts[i].oreInSight);
    }
}

class StartCheckOnMadeLands : public MadeAssetsTest {};

// The lands as the maker builds them and as their descriptions read back: every start holds,
// the skirmish lands' and the campaign land's alike, and each land keeps its size.
TEST_F(StartCheckOnMadeLands, EveryStartOfEveryLandCanBePlayed) {
    std::vector<mkassets::LandMaker::LandPlan> plans = mkassets::LandMaker::PackLands();
    plans.push_back(mkassets::LandMaker::EditLand());
    const std::vector<MadeAssets::LandText> written = MadeAssets::ReadAllLands();
    ASSERT_EQ(written.size(), plans.size());
    for (size_t i = 0; i < plans.size(); ++i) {
        SCOPED_TRACE(plans[i].title);
        const mkassets::LandMaker::Land land = mkassets::LandMaker::BuildLand(plans[i]);
        ASSERT_EQ(static_cast<int>(land.letters.size()), plans[i].rows);
        const MadeAssets::LandText& text = written[i];
        EXPECT_EQ(text.rows, plans[i].rows);
        EXPECT_EQ(text.columns, plans[i].columns);
        EXPECT_EQ(text.letters, land.letters);
        Layout layout{text.letters, text.starts, text.fields, {}};
        for (const MadeAssets::LandText::Feature& f : text.features)
            layout.features.push_back({f.row, f.column});
        ASSERT_GE(layout.starts.size(), 4u);
        Report(plans[i].title, layout);
        for (const Verdict& v : mkassets::StartCheck::Check(layout)) {
            EXPECT_TRUE(v.footprint);
            EXPECT_TRUE(v.rollOut);
            EXPECT_TRUE(v.oreRoute);
            EXPECT_TRUE(v.oreInSight);
        }
        EXPECT_EQ(mkassets::StartCheck::Fault(layout, plans[i].title), "");
    }
}

}  // namespace
