#pragma once
// Applies the commands one peer sent in one message to this machine's copies of the game. The
// whole message is checked first, command by command against its kind's layout and the ranges
// of its fields; a message that fails anywhere changes nothing and drops its peer (the status
// line names the player). Commands about objects this machine does not have are read and
// skipped. Mirror-only kinds act on copies another machine owns, the answering kinds on the
// owner's copy; what the unit classes do goes through CommandReceivers.
#include <cstddef>
#include <cstdint>

class CommandBuffer;
class CommandReader;
class CommandReceivers;
class World;
struct CommandHeader;

class CommandExecutor {
public:
    CommandExecutor(World& world, CommandReceivers& receivers)
        : world(world), receivers(receivers) {}

    // The message is the buffer's bytes from its start to its cursor; afterwards the cursor
    // stands at that end. 1 applied; 0 refused (the slot's link was dropped).
    int Execute(CommandBuffer& message, int slot);
    // 1 when every command of the bytes is well formed.
    static int Check(const uint8_t* data, size_t size);

private:
    void Apply(CommandReader& reader, const CommandHeader& header, int slot);
    void ApplyGoal(CommandReader& reader, const CommandHeader& header);
    void MakeWreck(CommandReader& reader, const CommandHeader& header);

    World& world;
    CommandReceivers& receivers;
};
