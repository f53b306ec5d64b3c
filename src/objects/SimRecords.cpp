// The unit's record lines in scenario files: cargo, facing, skill, damage, move delay, group
// keys, the guard order, the reference points and the inactive flag, then the root's goal
// lines. Values are read with bounds: a line that does not hold what its key needs is ignored.
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "core/ResourceFile.h"
#include "objects/LocationGoal.h"
#include "objects/Sim.h"
#include "objects/TargetGoal.h"

namespace {

constexpr int kGuardTolerance = 10;
constexpr int kFirstTeamPoint = 1;
constexpr int kLastTeamPoint = 4;

// Reads up to `count` comma-separated decimal integers, each clamped to 32 bits; answers how
// many were read before the first that is not a number.
int ReadNumbers(const char* text, int32_t* out, int count) {
    if (!text) return 0;
    const char* p = text;
    int read = 0;
    while (read < count) {
        char* end = nullptr;
        errno = 0;
        const long long v = std::strtoll(p, &end, 10);
        if (end == p) break;
        if (v > std::numeric_limits<int32_t>::max())
            out[read] = std::numeric_limits<int32_t>::max();
        else if (v < std::numeric_limits<int32_t>::min())
            out[read] = std::numeric_limits<int32_t>::min();
        else
            out[read] = static_cast<int32_t>(v);
        ++read;
        p = end;
        while (*p == ' ' || *p == '\t')
            ++p;
        if (*p != ',') break;
        ++p;
    }
    return read;
}

void Line(ResourceFile& file, char* buffer, int bufferSize, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

// A line the buffer cannot hold whole is not written cut.
void Line(ResourceFile& file, char* buffer, int bufferSize, const char* format, ...) {
    if (!buffer || bufferSize < 1) return;
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, static_cast<size_t>(bufferSize), format, args);
    va_end(args);
    if (n < 0 || n >= bufferSize) return;
    file.WriteLine(buffer);
}

}  // namespace

void Sim::Write(ResourceFile& file, char* buffer, int bufferSize) {
    Line(file, buffer, bufferSize, "N = %d", GetCargo());
    Line(file, buffer, bufferSize, "c = %d", facing);
    Line(file, buffer, bufferSize, "C = %d", skill);
    Line(file, buffer, bufferSize, "D = %d", damage.Max());
    Line(file, buffer, bufferSize, "E = %d", damage.Value());
    Line(file, buffer, bufferSize, "d = %d", moveDelay);
    const int32_t* k = groupFlags;
    Line(file, buffer, bufferSize, "p = %d,%d,%d,%d,%d,%d,%d,%d,%d", k[0], k[1], k[2], k[3], k[4],
         k[5], k[6], k[7], k[8]);
    if (guardGoal) {
        auto* target = dynamic_cast<TargetGoal*>(guardGoal.get());
        if (target && target->GetTarget()) {
            Line(file, buffer, bufferSize, "G = %d,%d,%d,%d", target->targetId.team,
                 target->targetId.serial, target->offset.x, target->offset.y);
        } else {
            const Point p = GetGuardPoint();
            Line(file, buffer, bufferSize, "F = %d,%d", p.x, p.y);
        }
    }
    for (int i = kFirstTeamPoint; i <= kLastTeamPoint; ++i) {
        const Point p = GetReferencePoint(i);
        Line(file, buffer, bufferSize, "g = %d,%d,%d", i, p.x, p.y);
    }
    if (enabled == 0) Line(file, buffer, bufferSize, "v = Y");
    GameObject::Write(file, buffer, bufferSize);
}

void Sim::Parse(char key, const char* text) {
    int32_t n[9] = {};
    switch (key) {
        case 'N':
            if (ReadNumbers(text, n, 1) == 1) AddCargo(n[0]);
            break;
        case 'c':
            // Any facing comes into 0 .. 15 by a true modulo.
            if (ReadNumbers(text, n, 1) == 1) facing = NormaliseFacing(n[0]);
            break;
        case 'C':
            if (ReadNumbers(text, n, 1) == 1) skill = n[0];
            break;
        case 'D':
            if (ReadNumbers(text, n, 1) == 1) damage.SetMax(n[0]);
            break;
        case 'E':
            if (ReadNumbers(text, n, 1) == 1) damage.SetValue(n[0]);
            break;
        case 'd':
            if (ReadNumbers(text, n, 1) == 1) moveDelay = n[0];
            break;
        case 'p':
            if (ReadNumbers(text, n, kGroupFlags) == kGroupFlags) {
                for (int i = 0; i < kGroupFlags; ++i)
                    groupFlags[i] = n[i];
            }
            break;
        case 'F':
            if (ReadNumbers(text, n, 2) == 2) {
                StopGuarding();
                guardGoal =
                    std::make_unique<LocationGoal>(id, Point(n[0], n[1]), kGuardTolerance, 1, 1);
            }
            break;
        case 'G':
            if (ReadNumbers(text, n, 4) == 4) {
                StopGuarding();
                guardGoal =
                    std::make_unique<TargetGoal>(id, SimId(n[0], n[1]), Point(n[2], n[3]), 1, 1);
            }
            break;
        case 'g':
            // Only the four team entries have a meaning.
            if (ReadNumbers(text, n, 3) == 3 && n[0] >= kFirstTeamPoint && n[0] <= kLastTeamPoint)
                SetReferencePoint(n[0], Point(n[1], n[2]));
            break;
        case 'v':
            if (text && text[0] == 'Y') enabled = 0;
            break;
        default:
            break;
    }
    GameObject::Parse(key, text);
}
