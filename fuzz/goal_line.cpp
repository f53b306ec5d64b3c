// Reads arbitrary bytes as the value text of an object's goal line ('U'), the way a scenario
// file hands it over: at most one goal of any type 1 to 8 may come of it, and its stored fields
// must be readable.
#include <cstddef>
#include <cstdint>
#include <string>

#include "objects/EconomyMakers.h"
#include "objects/GameObject.h"
#include "objects/Goal.h"
#include "objects/GoalRecord.h"
#include "objects/ObjectWorld.h"
#include "objects/UnitMakers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    // The economy goals (types 3 to 6 and 8) come from the makers the World installs.
    static const bool installed = [] {
        InstallEconomyMakers(TheObjectWorld().Makers());
        return true;
    }();
    (void)installed;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const CollisionFilter filter(1, 0, 0, 0, 0);
    GameObject object(Point(100, 100), 0, Size(32, 32), nullptr, 0, filter, SimId(1, 1), 100, 1);
    // The first byte as a key letter too, as other record keys reach the root.
    if (!text.empty()) object.Parse(text[0], text.c_str() + 1);
    const int made = ParseGoalLine(object, text.c_str());
    int count = 0;
    object.goals.ForEach([&](Goal& goal) {
        ++count;
        const GoalFields fields = goal.StoredFields();
        if (goal.GetType() < 1 || goal.GetType() > 8) __builtin_trap();
        // A transport goal stores no point; a goal always belongs to the object that read it.
        if (goal.GetType() == 7 && fields.point != Point()) __builtin_trap();
        if (goal.owner != object.id) __builtin_trap();
    });
    if (made != 0 && count == 0) __builtin_trap();
    if (count > 2) __builtin_trap();
    return 0;
}
