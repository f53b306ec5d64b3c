#include "goalprobe/OrderCount.h"

namespace {

// " name count;" for each, or " none".
std::string Named(const std::map<std::string, int>& counts) {
    std::string text;
    for (const auto& [name, count] : counts)
        text += " " + name + " " + std::to_string(count) + ";";
    return text.empty() ? std::string(" none;") : text;
}

}  // namespace

std::string OrderCountLine(int team, const OrderLedger::Tally& tally) {
    const int open = tally.given - tally.carriedOut - tally.arrivedByRule - tally.byStep -
                     tally.givenUp - tally.replaced - tally.lost;
    return "team " + std::to_string(team) + " orders given " + std::to_string(tally.given) +
           " (attacks " + std::to_string(tally.attacks) + "), carried out " +
           std::to_string(tally.carriedOut) + ", arrived by a rule of ours " +
           std::to_string(tally.arrivedByRule) + ":" + Named(tally.arrivals) + " ended by a step " +
           std::to_string(tally.byStep) + ":" + Named(tally.steps) +
           " given up by a rule of ours " + std::to_string(tally.givenUp) + " (attacks " +
           std::to_string(tally.attacksGivenUp) + ":" + Named(tally.attackRules) +
           "):" + Named(tally.rules) + " held by a rule of ours:" + Named(tally.holds) +
           " put aside " + std::to_string(tally.replaced) + ", with the unit lost " +
           std::to_string(tally.lost) + ", open " + std::to_string(open) + "\n";
}
