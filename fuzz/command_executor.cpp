// Bytes as one peer's message into a World holding an object of every kind the executor acts
// on, owned and mirrored: nothing may crash or leak, and a message the executor refuses must
// leave the state exactly as it was.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/Size.h"
#include "map/CollisionFilter.h"
#include "net/CommandExecutor.h"
#include "net/CommandReceivers.h"
#include "objects/Artifact.h"
#include "objects/CommandBuffer.h"
#include "objects/DestructibleObject.h"
#include "objects/GameObject.h"
#include "objects/LandFeature.h"
#include "objects/OreDeposit.h"
#include "objects/Wreck.h"
#include "world/CommLink.h"
#include "world/ObjectNode.h"
#include "world/World.h"

namespace {

class FuzzLink : public CommLink {
public:
    int Init() override { return 1; }
    int ConnectionLost() override { return dropped; }
    void Disconnect() override {}
    int Send(const uint8_t*, size_t) override { return 1; }
    void Receive(uint8_t*, size_t, size_t&, size_t&) override {}
    void Drop(int) override { dropped = 1; }
    int dropped = 0;
};

class Unit : public GameObject {
public:
    Unit(int team, int serial, int kind, int local)
        : GameObject(Point(100 + serial * 40, 100), 0, Size(32, 32), nullptr, 0,
                     CollisionFilter(2, 0, 0, 0, 0), SimId(team, serial), 100, local),
          kind(kind) {}
    int GetKind() override { return kind; }
    int kind;
};

void List(NodeList& list, std::unique_ptr<GameObject> object) {
    ListNode* node = new ObjectNode(std::move(object));
    list.PushFront(node);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > CommandBuffer::kCapacity) return 0;
    World world;
    world.makeLink = [] { return std::make_unique<FuzzLink>(); };
    auto* link = static_cast<FuzzLink*>(world.AddPeer());
    // Peers' messages come only in a network game; what a pause settles (marks, deposit
    // amounts) is kept only there.
    world.networkGame = 1;
    world.commands->SetEnabled(1);
    // Teams 1 (this machine) and 2 (the peer): units, capture units and factories of both.
    for (int local = 0; local <= 1; ++local) {
        const int team = 2 - local;
        List(world.sims[team], std::make_unique<Unit>(team, 10, 1, local));
        List(world.sims[team], std::make_unique<Unit>(team, 12, 6, local));
        List(world.buildings[team], std::make_unique<Unit>(team, 20, 4, local));
    }
    const CollisionFilter ground(2, 0, 0, 0, 0);
    List(world.wrecks, std::make_unique<Wreck>(Point(300, 300), 0, Size(32, 32), nullptr, 0, ground,
                                               SimId(0, 40), 0, 'V', 'a'));
    List(world.oreDeposits, std::make_unique<OreDeposit>(Point(400, 300), Size(64, 64), nullptr,
                                                         ground, SimId(0, 41)));
    List(world.artifacts, std::make_unique<Artifact>(Point(500, 300), Size(64, 64), nullptr,
                                                     nullptr, ground, SimId(0, 42), 1));
    List(world.destructibles,
         std::make_unique<DestructibleObject>(Point(300, 400), nullptr, SimId(0, 43)));
    List(world.landFeatures,
         std::make_unique<LandFeature>(Point(400, 400), Size(32, 32), SimId(0, 44)));
    CommandBuffer& message = *world.peerSlots[0].peerCommands;
    std::copy(data, data + size, message.start);
    message.cursor = message.start + size;
    const uint64_t before = world.StateChecksum();
    CommandReceivers receivers;
    const int applied = CommandExecutor(world, receivers).Execute(message, 0);
    if (applied != CommandExecutor::Check(data, size)) __builtin_trap();
    if (!applied && (world.StateChecksum() != before || !link->dropped)) __builtin_trap();
    world.ClearObjects();
    world.ClosePeers(nullptr);
    return 0;
}
