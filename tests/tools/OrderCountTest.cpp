// The goal probe's count of a side's orders: every way of ending one counted and named, and what
// is still open.
#include <gtest/gtest.h>

#include <string>

#include "goalprobe/OrderCount.h"

namespace {

TEST(OrderCount, ALineNamesEveryEndAndWhatIsOpen) {
    OrderLedger::Tally busy;
    busy.given = 12;
    busy.attacks = 4;
    busy.carriedOut = 3;
    busy.arrivedByRule = 2;
    busy.arrivals = {{"a friend holds the unit's place", 2}};
    busy.byStep = 2;
    busy.steps = {{"its route blocked", 1}, {"out of reach", 1}};
    busy.givenUp = 1;
    busy.attacksGivenUp = 1;
    busy.rules = {{"a place beyond the drive's reach is given up", 1}};
    busy.attackRules = busy.rules;
    busy.holds = {{"held by friends", 5}};
    busy.replaced = 2;
    busy.lost = 1;
    const struct {
        const char* name;
        int team;
        OrderLedger::Tally tally;
        const char* line;
    } rows[] = {
        {"a side given no order", 3, OrderLedger::Tally(),
         "team 3 orders given 0 (attacks 0), carried out 0, arrived by a rule of ours 0: none; "
         "ended by a step 0: none; given up by a rule of ours 0 (attacks 0: none;): none; held by "
         "a "
         "rule of ours: none; put aside 0, with the unit lost 0, open 0\n"},
        {"a busy side", 2, busy,
         "team 2 orders given 12 (attacks 4), carried out 3, arrived by a rule of ours 2: a friend "
         "holds the unit's place 2; ended by a step 2: its route blocked 1; out of reach 1; given "
         "up by a rule of ours 1 (attacks 1: a place beyond the drive's reach is given up 1;): a "
         "place beyond the drive's reach is given up 1; held by a rule of ours: held by friends "
         "5; put aside 2, with the unit lost 1, open 1\n"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(OrderCountLine(row.team, row.tally), row.line) << row.name;
}

}  // namespace
