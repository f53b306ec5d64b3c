#include "objects/GoalRecord.h"

#include <climits>
#include <cstdio>
#include <memory>

#include "core/ResourceFile.h"
#include "objects/GameObject.h"
#include "objects/Goal.h"
#include "objects/LocationGoal.h"
#include "objects/ObjectWorld.h"
#include "objects/TargetGoal.h"
#include "objects/TransportGoal.h"
#include "objects/UnitMakers.h"

namespace {

constexpr int kMaxNumbers = 10;

// The line's comma-separated decimal numbers, as many as there are (at most kMaxNumbers); a
// number too large for 32 bits is held at the nearest limit.
int ReadNumbers(const char* text, int32_t (&out)[kMaxNumbers]) {
    int count = 0;
    const char* p = text;
    while (p && count < kMaxNumbers) {
        while (*p == ' ' || *p == '\t')
            ++p;
        const bool negative = *p == '-';
        if (*p == '-' || *p == '+') ++p;
        if (*p < '0' || *p > '9') break;
        int64_t value = 0;
        while (*p >= '0' && *p <= '9') {
            if (value <= INT32_MAX) value = value * 10 + (*p - '0');
            ++p;
        }
        if (negative) value = -value;
        if (value > INT32_MAX) value = INT32_MAX;
        if (value < INT32_MIN) value = INT32_MIN;
        out[count++] = static_cast<int32_t>(value);
        while (*p == ' ' || *p == '\t')
            ++p;
        if (*p != ',') break;
        ++p;
    }
    return count;
}

// The economy goals (3 to 6 and 8) come from the makers their code installs, with the fields
// in the order WriteGoalLines gives them; without a maker, or for any other type, no goal.
std::unique_ptr<Goal> EconomyGoal(const SimId& owner, const int32_t (&n)[kMaxNumbers]) {
    GoalFields f;
    switch (static_cast<GoalType>(n[0])) {
        case GoalType::Mining:
            f.id = SimId(n[5], n[6]);
            break;
        case GoalType::Scavenge:
            f.id = SimId(n[5], n[6]);
            f.point = Point(n[7], n[8]);
            break;
        case GoalType::Repair:
            f.id = SimId(n[5], n[6]);
            f.amount = n[7];
            f.point = Point(n[8], n[9]);
            break;
        case GoalType::Unload:
            f.amount = n[5];
            break;
        case GoalType::Refuel:
            f.param = n[5];
            f.point = Point(n[6], n[7]);
            break;
        default:
            return nullptr;
    }
    return TheObjectWorld().Makers().MakeGoal(n[0], owner, f, n[1], n[2]);
}

std::unique_ptr<Goal> BuildGoal(const SimId& owner, const int32_t (&n)[kMaxNumbers]) {
    const int32_t allowManoeuvres = n[1];
    const int32_t finishOnArrival = n[2];
    switch (static_cast<GoalType>(n[0])) {
        case GoalType::Location:
            return std::make_unique<LocationGoal>(owner, Point(n[5], n[6]),
                                                  DefaultLocationTolerance(), allowManoeuvres,
                                                  finishOnArrival);
        case GoalType::Target: {
            auto goal = std::make_unique<TargetGoal>(owner, SimId(n[5], n[6]), Point(n[7], n[8]),
                                                     allowManoeuvres, finishOnArrival);
            goal->SetParam(n[9]);
            return goal;
        }
        case GoalType::Transport:
            return std::make_unique<TransportGoal>(owner, SimId(n[5], n[6]), allowManoeuvres);
        default:
            return EconomyGoal(owner, n);
    }
}

}  // namespace

int ParseGoalLine(GameObject& object, const char* text) {
    int32_t numbers[kMaxNumbers] = {};
    if (ReadNumbers(text, numbers) < 1) return 0;
    std::unique_ptr<Goal> goal = BuildGoal(object.id, numbers);
    if (!goal) return 0;
    goal->reportFailure = numbers[3];
    goal->repeat = numbers[4];
    // Loading does not announce the goal: every machine reads the same file.
    object.goals.PushBack(std::move(goal));
    return 1;
}

void WriteGoalLines(GameObject& object, ResourceFile& file, char* buffer, int bufferSize) {
    if (!buffer || bufferSize < 1) return;
    const size_t size = static_cast<size_t>(bufferSize);
    object.goals.ForEach([&](Goal& goal) {
        if (goal.waypoint == 1) return;
        const int type = goal.GetType();
        const GoalFields f = goal.StoredFields();
        const int head =
            snprintf(buffer, size, "%c %c %d,%d,%d,%d,%d", 'U', '=', type,
                     static_cast<int>(goal.allowManoeuvres), static_cast<int>(goal.finishOnArrival),
                     static_cast<int>(goal.reportFailure), static_cast<int>(goal.repeat));
        if (head < 0 || static_cast<size_t>(head) >= size) return;
        char* rest = buffer + head;
        const size_t room = size - static_cast<size_t>(head);
        int tail = 0;
        switch (static_cast<GoalType>(type)) {
            case GoalType::Location:
                tail = snprintf(rest, room, ",%d,%d", f.point.x, f.point.y);
                break;
            case GoalType::Target:
                tail = snprintf(rest, room, ",%d,%d,%d,%d,%d", f.id.team, f.id.serial, f.point.x,
                                f.point.y, f.param);
                break;
            case GoalType::Mining:
            case GoalType::Transport:
                tail = snprintf(rest, room, ",%d,%d", f.id.team, f.id.serial);
                break;
            case GoalType::Scavenge:
                tail = snprintf(rest, room, ",%d,%d,%d,%d", f.id.team, f.id.serial, f.point.x,
                                f.point.y);
                break;
            case GoalType::Repair:
                tail = snprintf(rest, room, ",%d,%d,%d,%d,%d", f.id.team, f.id.serial, f.amount,
                                f.point.x, f.point.y);
                break;
            case GoalType::Unload:
                tail = snprintf(rest, room, ",%d", f.amount);
                break;
            case GoalType::Refuel:
                tail = snprintf(rest, room, ",%d,%d,%d", f.param, f.point.x, f.point.y);
                break;
            default:
                break;
        }
        // A line the buffer cannot hold whole is not written cut.
        if (tail < 0 || static_cast<size_t>(tail) >= room) return;
        file.WriteLine(buffer);
    });
}
