// The unit's record lines in scenario files: cargo, facing, skill, damage, move delay, group
// keys, the guard order, the reference points and the inactive flag, then the root's goal
// lines. Values are read with bounds: a line that does not hold what its key needs is ignored.
#include <cstdio>

#include "core/ResourceFile.h"
#include "objects/LocationGoal.h"
#include "objects/RecordLines.h"
#include "objects/Sim.h"
#include "objects/TargetGoal.h"

namespace {

constexpr int kGuardTolerance = 10;
constexpr int kFirstTeamPoint = 1;
constexpr int kLastTeamPoint = 4;

}  // namespace

void Sim::Write(ResourceFile& file, char* buffer, int bufferSize) {
    WriteRecordLine(file, buffer, bufferSize, "N = %d", GetCargo());
    WriteRecordLine(file, buffer, bufferSize, "c = %d", facing);
    WriteRecordLine(file, buffer, bufferSize, "C = %d", skill);
    WriteRecordLine(file, buffer, bufferSize, "D = %d", damage.Max());
    WriteRecordLine(file, buffer, bufferSize, "E = %d", damage.Value());
    WriteRecordLine(file, buffer, bufferSize, "d = %d", moveDelay);
    const int32_t* k = groupFlags;
    WriteRecordLine(file, buffer, bufferSize, "p = %d,%d,%d,%d,%d,%d,%d,%d,%d", k[0], k[1], k[2],
                    k[3], k[4], k[5], k[6], k[7], k[8]);
    if (guardGoal) {
        auto* target = dynamic_cast<TargetGoal*>(guardGoal.get());
        if (target && target->GetTarget()) {
            WriteRecordLine(file, buffer, bufferSize, "G = %d,%d,%d,%d", target->targetId.team,
                            target->targetId.serial, target->offset.x, target->offset.y);
        } else {
            const Point p = GetGuardPoint();
            WriteRecordLine(file, buffer, bufferSize, "F = %d,%d", p.x, p.y);
        }
    }
    for (int i = kFirstTeamPoint; i <= kLastTeamPoint; ++i) {
        const Point p = GetReferencePoint(i);
        WriteRecordLine(file, buffer, bufferSize, "g = %d,%d,%d", i, p.x, p.y);
    }
    if (enabled == 0) WriteRecordLine(file, buffer, bufferSize, "v = Y");
    GameObject::Write(file, buffer, bufferSize);
}

void Sim::Parse(char key, const char* text) {
    int32_t n[9] = {};
    switch (key) {
        case 'N':
            if (ReadRecordNumbers(text, n, 1) == 1) AddCargo(n[0]);
            break;
        case 'c':
            // Any facing comes into 0 .. 15 by a true modulo.
            if (ReadRecordNumbers(text, n, 1) == 1) facing = NormaliseFacing(n[0]);
            break;
        case 'C':
            if (ReadRecordNumbers(text, n, 1) == 1) skill = n[0];
            break;
        case 'D':
            if (ReadRecordNumbers(text, n, 1) == 1) damage.SetMax(n[0]);
            break;
        case 'E':
            if (ReadRecordNumbers(text, n, 1) == 1) damage.SetValue(n[0]);
            break;
        case 'd':
            if (ReadRecordNumbers(text, n, 1) == 1) moveDelay = n[0];
            break;
        case 'p':
            if (ReadRecordNumbers(text, n, kGroupFlags) == kGroupFlags) {
                for (int i = 0; i < kGroupFlags; ++i)
                    groupFlags[i] = n[i];
            }
            break;
        case 'F':
            if (ReadRecordNumbers(text, n, 2) == 2) {
                StopGuarding();
                guardGoal =
                    std::make_unique<LocationGoal>(id, Point(n[0], n[1]), kGuardTolerance, 1, 1);
            }
            break;
        case 'G':
            if (ReadRecordNumbers(text, n, 4) == 4) {
                StopGuarding();
                guardGoal =
                    std::make_unique<TargetGoal>(id, SimId(n[0], n[1]), Point(n[2], n[3]), 1, 1);
            }
            break;
        case 'g':
            // Only the four team entries have a meaning.
            if (ReadRecordNumbers(text, n, 3) == 3 && n[0] >= kFirstTeamPoint &&
                n[0] <= kLastTeamPoint)
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
