// The special units' record keys: a unit written, read into a fresh unit of its class and
// written again gives the same lines, and the keys bring back what they stand for.
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "objects/RecordLinesSupport.h"
#include "objects/UnitVariantsSupport.h"
#include "support/TempDirectory.h"

namespace {

class SpecialRecords : public ::testing::Test {
protected:
    std::vector<std::string> Written(GameObject& o) {
        return WrittenRecordLines(o, files.Path() + "/unit.txt");
    }

    FakeClock clock{1000};
    TempDirectory files;
    SpecialKit kit;
    SpecialWorld world;
};

TEST_F(SpecialRecords, KeysRoundTripLineForLine) {
    using Make = std::function<Sim*(int serial)>;
    const Point at(320, 320);
    struct Case {
        const char* line;
        Make make;
        std::function<void(Sim*)> check;
    } cases[] = {
        {"b = Y", [&](int s) { return kit.Structure(world, 3, 1, s, at); },
         [](Sim* u) { EXPECT_EQ(u->GetKind(), 7); }},
        {"h = Y", [&](int s) { return kit.Flyer(world, 1, s, at); },
         [](Sim* u) {
             EXPECT_EQ(u->collision.layer, 2);
             EXPECT_EQ(static_cast<AirSim*>(u)->altitude, SpecialKit::kMaxAltitude);
         }},
        {"t = 2,17", [&](int s) { return kit.Carrier(world, 1, s, at); },
         [](Sim* u) { EXPECT_EQ(static_cast<CarrierSim*>(u)->Partner(), SimId(2, 17)); }},
        {"V = 4321", [&](int s) { return kit.Aircraft(world, 1, s, at); },
         [](Sim* u) { EXPECT_EQ(u->GetFuel(), 4321); }},
    };
    int serial = 1;
    for (const Case& c : cases) {
        Sim* unit = c.make(serial++);
        unit->Parse(c.line[0], c.line + 4);
        const std::vector<std::string> first = Written(*unit);
        EXPECT_NE(std::find(first.begin(), first.end(), c.line), first.end()) << c.line;
        Sim* fresh = c.make(serial++);
        // As the scenario reader does: a unit is read from the low layer.
        if (fresh->collision.layer == 2) fresh->collision.layer = 1;
        ReadRecordLines(*fresh, first);
        EXPECT_EQ(Written(*fresh), first) << c.line;
        c.check(fresh);
    }
}

}  // namespace
