// Reads arbitrary bytes as the record lines of a group ("k = value" a line) in a World holding
// a few units, writes the group, reads what was written into a fresh group, and writes that:
// the second writing must list the members of the first in reverse with the same places, and
// no unit may belong to two groups.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "FuzzScratch.h"
#include "core/ResourceFile.h"
#include "objects/SimGroup.h"
#include "world/ObjectNode.h"
#include "world/World.h"

namespace {

constexpr int kUnits = 4;

class Unit : public GameObject {
public:
    Unit(int serial)
        : GameObject(Point(100 + serial * 40, 100), 0, Size(32, 32), nullptr, 0,
                     CollisionFilter(2, 0, 0, 0, 0), SimId(1, serial), 100, 1) {}
    int GetKind() override { return 1; }
};

std::vector<std::string> Written(GameObject& group, const std::string& path) {
    {
        ResourceFile file;
        file.plainPath = 1;
        if (file.Open(path.c_str(), "w") != 1) return {};
        char buffer[256];
        group.Write(file, buffer, sizeof buffer);
        file.Close();
    }
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

void Read(GameObject& group, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (line.size() >= 4) group.Parse(line[0], line.c_str() + 4);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    static const FuzzScratch scratch("qx-fuzz-group");
    if (scratch.Path().empty()) return 0;
    static const std::string path = (scratch.Path() / "group.txt").string();
    World world;
    std::vector<Unit*> units;
    for (int serial = 1; serial <= kUnits; ++serial) {
        auto unit = std::make_unique<Unit>(serial);
        units.push_back(unit.get());
        ListNode* node = new ObjectNode(std::move(unit));
        world.sims[1].PushFront(node);
    }
    auto first = std::make_unique<SimGroup>(SimId(1, 50));
    auto second = std::make_unique<SimGroup>(SimId(1, 51));
    SimGroup* a = first.get();
    SimGroup* b = second.get();
    world.AddGroup(std::move(first));
    world.AddGroup(std::move(second));

    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    Read(*a, lines);
    const std::vector<std::string> once = Written(*a, path);
    Read(*b, once);
    if (a->MemberCount() != 0 && a->IsDestroyed() == 0) __builtin_trap();
    const int n = b->MemberCount();
    if (static_cast<size_t>(n) != b->Offsets().size() || n > kUnits) __builtin_trap();
    for (Unit* u : units) {
        const bool inB = u->groupId == b->id;
        int found = 0;
        for (int i = 0; i < n; ++i)
            found += b->MemberAt(i) == u ? 1 : 0;
        if (found != (inB ? 1 : 0)) __builtin_trap();
        if (!inB && !u->groupId.IsNull()) __builtin_trap();
    }
    // The copy's members and places read back reversed once more are the first writing's.
    int q = 0;
    for (const std::string& line : once)
        q += !line.empty() && line[0] == 'q' ? 1 : 0;
    if (q != n) __builtin_trap();
    // Plain objects do not leave their group as units do when they are deleted.
    while (b->MemberCount() > 0)
        b->RemoveMember(*b->MemberAt(0));
    world.ClearObjects();
    return 0;
}
