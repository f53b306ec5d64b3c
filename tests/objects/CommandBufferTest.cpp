#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/ValueTriple.h"
#include "objects/CommandBuffer.h"
#include "objects/CommandReader.h"
#include "objects/Goal.h"
#include "objects/LocationGoal.h"
#include "objects/ObjectTestSupport.h"
#include "objects/TargetGoal.h"
#include "objects/TransportGoal.h"
#include "support/FakeObjectWorld.h"

namespace {

struct Row {
    std::string name;
    std::function<void(CommandBuffer&)> send;
    std::vector<uint8_t> expected;
};

class CommandFormat : public ::testing::Test {
protected:
    CommandFormat() {
        world.commands.SetEnabled(1);
        unit.facing = 5;
        unit.partFacings = {3, 4};
        factory.cargo = 250;
        factory.teamRecord.third = 6;
        field.kind = 5;
        wreck.kind = 3;
        world.Add(&unit);
        world.Add(&factory);
        world.Add(&target);
        world.Add(&field);
        world.Add(&wreck);
        settings.scenarioNumber = 12;
        settings.clan = 'T';
        settings.playerSlot = 2;
        settings.colour = 6;
        settings.enemies = 3;
        settings.difficulty = 4;
        settings.artifacts = 0;
        settings.slotClan[1] = 'T';
        settings.slotColour[1] = 6;
        for (int i = 0; i < 20; ++i)
            settings.startOrder[i] = 19 - i;
        settings.techLevel = 8;
        settings.resources = 9900;
    }

    // The state command that the state-first kinds put in front of the unit's commands.
    std::vector<uint8_t> UnitState() const {
        return ExpectedCommand(9, unit.id).Pt(unit.position).U8(5).U8(3).U8(4).Bytes();
    }

    ExpectedCommand SettingsBlock(int kind) const {
        ExpectedCommand c(kind, SimId());
        c.U8(12).U8('T').U8(2).U8(6).U8(3).U8(4).U8(0);
        for (int slot = 0; slot < 4; ++slot)
            c.U8(settings.slotClan[slot]).U8(settings.slotColour[slot]);
        for (int i = 0; i < 20; ++i)
            c.U8(19 - i);
        c.U8(8).I16(9900);
        return c;
    }

    // An encoder row that sends the unit's state and the goal.
    std::function<void(CommandBuffer&)> SendsGoal(std::shared_ptr<Goal> goal) {
        return [this, goal](CommandBuffer& c) { c.SendGoal(&unit, goal.get()); };
    }

    std::vector<Row> Rows();

    FakeObjectWorld world;
    TestUnit unit{2, 7, Point(100, 200)};
    TestUnit factory{2, 9, Point(300, 400)};
    TestUnit target{3, 11, Point(-1, 70)};
    TestUnit shot{2, 50, Point(110, 210)};
    TestUnit field{0, 60, Point(640, 96)};
    TestUnit wreck{0, 61, Point(320, 32)};
    SetupSettings settings;
};

std::vector<Row> CommandFormat::Rows() {
    const SimId none;
    const auto E = [](int kind, const SimId& id) { return ExpectedCommand(kind, id); };
    // The state-first kinds put the unit's state command in front of their own.
    const auto S = [this](const ExpectedCommand& c) { return Concat({UnitState(), c.Bytes()}); };
    const std::string address = "192.168.100.200";
    return {
        {"heartbeat", [](CommandBuffer& c) { c.SendHeartbeat(); }, E(0, none).Bytes()},
        {"factory state", [this](CommandBuffer& c) { c.SendFactoryState(&factory, -2); },
         E(1, factory.id).I16(-2).Bytes()},
        {"factory job",
         [this](CommandBuffer& c) { c.SendFactoryJob(&factory, "ABC", target.id, -1); },
         E(3, factory.id).Id(target.id).U8(255).Text("ABC").Bytes()},
        {"factory job cancelled",
         [this](CommandBuffer& c) { c.SendFactoryJob(&factory, "", {}, 0); },
         E(3, factory.id).Id(none).U8(0).Text("").Bytes()},
        {"factory job without a design",
         [this](CommandBuffer& c) { c.SendFactoryJob(&factory, nullptr, {}, 0); },
         E(3, factory.id).Id(none).U8(0).Text("").Bytes()},
        {"unit position",
         [this](CommandBuffer& c) { c.SendFactoryUnitPosition(&factory, Point(12, -1)); },
         E(4, factory.id).Pt(Point(12, -1)).Bytes()},
        {"release unit", [this](CommandBuffer& c) { c.SendFactoryReleaseUnit(&factory); },
         E(5, factory.id).Bytes()},
        {"damage swaps its last two letters",
         [this](CommandBuffer& c) { c.SendDamage(&unit, 40, 7, 'a', 'b', 'c'); },
         S(E(6, unit.id).W32(40).W32(7).U8('a').U8('c').U8('b'))},
        {"damage of a field has no state",
         [this](CommandBuffer& c) { c.SendDamage(&field, 30, 20, 'x', '-', '-'); },
         E(6, field.id).W32(30).W32(20).U8('x').U8('-').U8('-').Bytes()},
        {"damage of a wreck has no state",
         [this](CommandBuffer& c) { c.SendDamage(&wreck, -1, 0, 'x', 'V', '-'); },
         E(6, wreck.id).W32(-1).W32(0).U8('x').U8('-').U8('V').Bytes()},
        {"damage report",
         [this](CommandBuffer& c) { c.SendDamageReport(unit.id, 'w', 'e', 'V', target.id); },
         E(7, unit.id).U8('w').U8('e').U8('V').Id(target.id).Bytes()},
        {"goal none", [this](CommandBuffer& c) { c.SendGoal(&unit, nullptr); },
         S(E(8, unit.id).I16(0))},
        {"goal location",
         SendsGoal(std::make_shared<LocationGoal>(unit.id, Point(800, 640), 16, 1, 1)),
         S(E(8, unit.id).I16(1).Pt(Point(800, 640)))},
        {"goal target sends its offset",
         SendsGoal(std::make_shared<TargetGoal>(unit.id, target.id, Point(4, -2), 1, 1)),
         S(E(8, unit.id).I16(2).Id(target.id).Pt(Point(4, -2)))},
        {"goal mining sends the field's position",
         SendsGoal(std::make_shared<FieldsGoal>(unit.id, 3, field.id, Point(9, 9))),
         S(E(8, unit.id).I16(3).Pt(field.position))},
        {"goal mining of a vanished field",
         SendsGoal(std::make_shared<FieldsGoal>(unit.id, 3, SimId(0, 999), Point(9, 9))),
         S(E(8, unit.id).I16(3).Pt(Point(-1, -1)))},
        {"goal of no known type goes as none",
         SendsGoal(std::make_shared<FieldsGoal>(unit.id, 9, target.id, Point(9, 9))),
         S(E(8, unit.id).I16(0))},
        {"goal of a negative type goes as none",
         SendsGoal(std::make_shared<FieldsGoal>(unit.id, -1, target.id, Point(9, 9))),
         S(E(8, unit.id).I16(0))},
        {"goal scavenge",
         SendsGoal(std::make_shared<FieldsGoal>(unit.id, 4, wreck.id, Point(-64, 64))),
         S(E(8, unit.id).I16(4).Pt(wreck.position).Pt(Point(-64, 64)))},
        {"goal scavenge of a vanished wreck",
         SendsGoal(std::make_shared<FieldsGoal>(unit.id, 4, SimId(0, 999), Point(64, 64))),
         S(E(8, unit.id).I16(4).Pt(Point(-1, -1)).Pt(Point(64, 64)))},
        {"goal repair",
         SendsGoal(std::make_shared<FieldsGoal>(unit.id, 5, target.id, Point(0, -128))),
         S(E(8, unit.id).I16(5).Id(target.id).Pt(Point(0, -128)))},
        {"goal unload", SendsGoal(std::make_shared<FieldsGoal>(unit.id, 6, target.id, Point(1, 1))),
         S(E(8, unit.id).I16(6))},
        {"goal transport", SendsGoal(std::make_shared<TransportGoal>(unit.id, target.id, 1)),
         S(E(8, unit.id).I16(7).Id(target.id))},
        {"goal refuel", SendsGoal(std::make_shared<FieldsGoal>(unit.id, 8, SimId(), Point(33, 44))),
         S(E(8, unit.id).I16(8).Pt(Point(33, 44)))},
        {"state", [this](CommandBuffer& c) { c.SendSimState(&unit); }, UnitState()},
        {"create factory", [this](CommandBuffer& c) { c.SendCreateFactory(&factory, 'z'); },
         E(11, factory.id).Pt(factory.position).W32(0).W32(0).W32(250).U8('z').U8(0).Bytes()},
        {"fire weapon names the shot and sends the shooter's state",
         [this](CommandBuffer& c) { c.SendFireWeapon('V', 'c', &target, &unit, &shot, 3, 77); },
         S(E(12, shot.id)
               .U8('V')
               .U8('c')
               .Pt(shot.position)
               .Id(unit.id)
               .Id(target.id)
               .U8(3)
               .U8(77))},
        {"fire weapon without target",
         [this](CommandBuffer& c) { c.SendFireWeapon('T', 'a', nullptr, &unit, &shot, 0, 0); },
         S(E(12, shot.id).U8('T').U8('a').Pt(shot.position).Id(unit.id).Id(none).U8(0).U8(0))},
        {"create wreck in its own colour",
         [this](CommandBuffer& c) { c.SendCreateWreck(&factory, 'T', 'h'); },
         E(13, factory.id).U8('T').U8('h').Pt(factory.position).W32(250).U8(6).Bytes()},
        {"create wreck of no colour",
         [this](CommandBuffer& c) {
             wreck.teamRecord.third = -1;
             c.SendCreateWreck(&wreck, 'V', 'g');
         },
         E(13, wreck.id).U8('V').U8('g').Pt(wreck.position).W32(0).U8(255).Bytes()},
        {"mine ore", [this](CommandBuffer& c) { c.SendMineOre(&unit, 20); },
         S(E(14, unit.id).W32(20))},
        {"repair", [this](CommandBuffer& c) { c.SendRepair(&unit, -5); },
         S(E(15, unit.id).W32(-5))},
        {"deliver cargo", [this](CommandBuffer& c) { c.SendDeliverCargo(&unit, 100, 2); },
         S(E(16, unit.id).W32(100).W32(2))},
        {"salvage", [this](CommandBuffer& c) { c.SendSalvage(&unit, 0); },
         S(E(17, unit.id).W32(0))},
        {"altitude change",
         [this](CommandBuffer& c) { c.SendAltitudeChange(&unit, -1, Point(5, 6)); },
         E(18, unit.id).I16(-1).Pt(Point(5, 6)).Bytes()},
        {"altitude step",
         [this](CommandBuffer& c) { c.SendAltitudeStep(&unit, Point(1, 2), Point(30, 0)); },
         E(19, unit.id).Pt(Point(1, 2)).Pt(Point(30, 0)).Bytes()},
        {"altitude reached",
         [this](CommandBuffer& c) { c.SendAltitudeReached(&unit, Point(40, 0)); },
         E(20, unit.id).Pt(Point(40, 0)).Bytes()},
        {"firing timer", [this](CommandBuffer& c) { c.SendFiringTimer(&unit); },
         E(21, unit.id).Bytes()},
        {"credit hit", [this](CommandBuffer& c) { c.SendCreditHit(unit.id, 1); },
         E(22, unit.id).U8(1).Bytes()},
        {"reclaim wreck", [this](CommandBuffer& c) { c.SendReclaimWreck(&factory, wreck.id, 500); },
         E(23, factory.id).Id(wreck.id).W32(500).Bytes()},
        {"setup settings", [this](CommandBuffer& c) { c.SendSetupSettings(settings); },
         SettingsBlock(24).Bytes()},
        {"setup start carries 3 minus the speed",
         [this](CommandBuffer& c) { c.SendSetupStart(settings, 1); },
         SettingsBlock(25).U8(2).Bytes()},
        {"setup leave", [](CommandBuffer& c) { c.SendSetupLeave(); }, E(26, none).Bytes()},
        {"design update",
         [this](CommandBuffer& c) { c.SendDesignUpdate(&factory, "zz123 Harvester"); },
         E(27, factory.id).Text("zz123 Harvester").Bytes()},
        {"design update without a text",
         [this](CommandBuffer& c) { c.SendDesignUpdate(&factory, nullptr); },
         E(27, factory.id).Text("").Bytes()},
        {"sim flag",
         [this](CommandBuffer& c) {
             unit.moving = 1;
             c.SendSimFlag(&unit);
         },
         S(E(28, unit.id).U8(1))},
        {"pause", [](CommandBuffer& c) { c.SendPause(1); }, E(29, none).U8(1).Bytes()},
        {"pause mark", [](CommandBuffer& c) { c.SendPauseMark(70000); },
         E(58, none).W32(70000).Bytes()},
        {"all placed", [](CommandBuffer& c) { c.SendAllPlaced(); }, E(30, none).Bytes()},
        {"debug toggle", [](CommandBuffer& c) { c.SendDebugToggle(1); }, E(31, none).U8(1).Bytes()},
        {"deploy", [this](CommandBuffer& c) { c.SendDeploy(&unit); }, S(E(32, unit.id))},
        {"undeploy", [this](CommandBuffer& c) { c.SendUndeploy(&unit); }, S(E(33, unit.id))},
        {"create scenario object",
         [this](CommandBuffer& c) { c.SendCreateScenarioObject(&factory, 4); },
         E(34, factory.id).Pt(factory.position).U8(4).Bytes()},
        {"scenario object trigger",
         [this](CommandBuffer& c) { c.SendScenarioObjectTrigger(&factory, &unit); },
         E(35, factory.id).Id(unit.id).Bytes()},
        {"shot ack", [this](CommandBuffer& c) { c.SendShotAck(&unit, 2); },
         E(36, unit.id).U8(2).Bytes()},
        {"change owner", [this](CommandBuffer& c) { c.SendChangeOwner(&unit, ValueTriple(3, 7)); },
         E(37, unit.id).U8(3).U8(7).Bytes()},
        {"exit point releases with (-1, -1)",
         [this](CommandBuffer& c) { c.SendFactoryExitPoint(&factory, Point(-1, -1)); },
         E(38, factory.id).Pt(Point(-1, -1)).Bytes()},
        {"exit clear", [this](CommandBuffer& c) { c.SendFactoryExitClear(&factory); },
         E(39, factory.id).Bytes()},
        {"game speed", [](CommandBuffer& c) { c.SendGameSpeed(2); }, E(40, none).U8(2).Bytes()},
        {"message", [](CommandBuffer& c) { c.SendMessage(0, 3, "hi"); },
         E(41, none).U8(0).U8(3).Text("hi").Bytes()},
        {"ore amount", [this](CommandBuffer& c) { c.SendOreAmount(&factory, 1234); },
         E(42, factory.id).W32(1234).Bytes()},
        {"deposit amount", [this](CommandBuffer& c) { c.SendDepositAmount(&field, -3); },
         E(59, field.id).W32(-3).Bytes()},
        {"end of the deposit amounts", [](CommandBuffer& c) { c.SendDepositAmount(nullptr, 4); },
         E(59, none).W32(4).Bytes()},
        {"altitude ack", [this](CommandBuffer& c) { c.SendAltitudeAck(&unit); },
         E(43, unit.id).Bytes()},
        {"game setup zeroes an address not given",
         [&address](CommandBuffer& c) {
             c.SendGameSetup(-1, 2, 1, 1, (address + "9").c_str(), nullptr);
         },
         E(44, none).U8(255).U8(2).U8(1).U8(1).Text(address).Zeros(16).Bytes()},
        {"player dropped", [](CommandBuffer& c) { c.SendPlayerDropped(2, 3); },
         E(45, none).U8(2).U8(3).Bytes()},
        {"player number", [](CommandBuffer& c) { c.SendPlayerNumber(2); },
         E(46, none).U8(2).Bytes()},
        {"carrier pick-up", [this](CommandBuffer& c) { c.SendCarrierPickUp(&unit, target.id); },
         E(47, unit.id).Id(target.id).Bytes()},
        {"carrier drop",
         [this](CommandBuffer& c) { c.SendCarrierDrop(&unit, target.id, Point(7, 8)); },
         E(48, unit.id).Id(target.id).Pt(Point(7, 8)).Bytes()},
        {"carrier drop ack", [this](CommandBuffer& c) { c.SendCarrierDropAck(&unit); },
         E(49, unit.id).Bytes()},
        {"carrier cargo position",
         [this](CommandBuffer& c) { c.SendCarrierCargoPosition(&unit, Point(9, 10)); },
         E(50, unit.id).Pt(Point(9, 10)).Bytes()},
        {"carrier release", [this](CommandBuffer& c) { c.SendCarrierRelease(&unit); },
         E(51, unit.id).Bytes()},
        {"carrier reset", [this](CommandBuffer& c) { c.SendCarrierReset(&unit); },
         E(52, unit.id).Bytes()},
        {"capture of nothing", [this](CommandBuffer& c) { c.SendCapture(&unit, nullptr); },
         E(53, unit.id).Id(none).Bytes()},
        {"nominal hit", [this](CommandBuffer& c) { c.SendNominalHit(&unit); },
         E(54, unit.id).Bytes()},
    };
}

}  // namespace

TEST_F(CommandFormat, EveryEncoderWritesItsGoldenBytes) {
    std::set<int> kinds;
    for (const Row& row : Rows()) {
        world.commands.Rewind();
        unit.moving = 0;
        row.send(world.commands);
        EXPECT_EQ(Recorded(world.commands), row.expected) << row.name;
        // The last command of the row is the one the encoder is for.
        CommandReader reader(row.expected.data(), row.expected.size());
        CommandHeader header;
        while (reader.NextCommand(header))
            kinds.insert(header.kind);
    }
    for (int kind = 0; kind <= 54; ++kind) {
        if (kind == 2 || kind == 10) continue;
        EXPECT_TRUE(kinds.count(kind)) << "kind " << kind << " has no golden row";
    }
}

TEST_F(CommandFormat, SwitchedOffBufferWritesNothingNotEvenState) {
    world.commands.SetEnabled(0);
    for (const Row& row : Rows()) {
        row.send(world.commands);
        EXPECT_EQ(world.commands.Size(), 0u) << row.name;
    }
}

TEST_F(CommandFormat, StateCommandLengthFollowsPartFacings) {
    unit.partFacings.clear();
    world.commands.SendSimState(&unit);
    EXPECT_EQ(world.commands.Size(), 12u);
    world.commands.Rewind();
    unit.partFacings = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    world.commands.SendSimState(&unit);
    EXPECT_EQ(world.commands.Size(), 22u);
    EXPECT_EQ(world.commands.Data()[0], 22);
}

TEST_F(CommandFormat, LongTextsAreCutSoTheLengthByteNeverWraps) {
    const std::string text(400, 'x');
    world.commands.SendMessage(1, 0, text.c_str());
    ASSERT_EQ(world.commands.Size(), 255u);
    EXPECT_EQ(world.commands.Data()[0], 255);
    EXPECT_EQ(world.commands.Data()[254], 0);
    world.commands.Rewind();
    world.commands.SendFactoryJob(&factory, text.c_str(), target.id, 1);
    EXPECT_EQ(world.commands.Size(), 255u);
    world.commands.Rewind();
    world.commands.SendDesignUpdate(&factory, text.c_str());
    EXPECT_EQ(world.commands.Size(), 255u);
}

TEST_F(CommandFormat, FieldsReadBackWithTheirSigns) {
    world.commands.SendFactoryExitPoint(&factory, Point(-1, -1));
    world.commands.SendDamageReport(SimId(), 'w', 'e', 'V', SimId());
    world.commands.SendPlayerNumber(-1);
    CommandReader reader(world.commands.Data(), world.commands.Size());
    CommandHeader header;
    ASSERT_TRUE(reader.NextCommand(header));
    EXPECT_EQ(header.kind, 38);
    EXPECT_EQ(header.id, factory.id);
    EXPECT_EQ(reader.ReadPoint(), Point(-1, -1));
    ASSERT_TRUE(reader.NextCommand(header));
    EXPECT_TRUE(header.id.IsNull());
    EXPECT_EQ(reader.ReadU8(), 'w');
    EXPECT_EQ(reader.ReadU8(), 'e');
    EXPECT_EQ(reader.ReadU8(), 'V');
    EXPECT_TRUE(reader.ReadId().IsNull());
    ASSERT_TRUE(reader.NextCommand(header));
    EXPECT_EQ(reader.ReadByte(), -1);
    EXPECT_FALSE(reader.NextCommand(header));
    EXPECT_FALSE(reader.Failed());
}

TEST(CommandBuffer, ReadByteTurns255IntoMinusOne) {
    CommandBuffer buffer;
    buffer.start[0] = 255;
    buffer.start[1] = 254;
    EXPECT_EQ(buffer.ReadByte(), -1);
    EXPECT_EQ(buffer.ReadByte(), 254);
    buffer.cursor = buffer.start + CommandBuffer::kCapacity;
    EXPECT_EQ(buffer.ReadByte(), -1);
    EXPECT_EQ(buffer.cursor, buffer.start + CommandBuffer::kCapacity);
}

// A text fills its room with its terminator at most: a text of room - 1 characters fits
// whole, one more is cut; either way the reader moves past the whole text.
TEST(CommandReader, ReadTextAnswersTheLengthThatFitsItsRoom) {
    const uint8_t bytes[] = {'a', 'b', 'c', 0, 'z'};
    const std::pair<int, std::string> rows[] = {{5, "abc"}, {4, "abc"}, {3, "ab"}, {1, ""}};
    for (const auto& [room, expected] : rows) {
        CommandReader r(bytes, sizeof bytes);
        char out[8];
        std::memset(out, 'x', sizeof out);
        EXPECT_EQ(r.ReadText(out, room), static_cast<int>(expected.size())) << room;
        EXPECT_EQ(std::string(out), expected) << room;
        EXPECT_EQ(r.ReadU8(), 'z') << room;
    }
    // Without a place to put it, the text is only stepped over.
    CommandReader skip(bytes, sizeof bytes);
    EXPECT_EQ(skip.ReadText(nullptr, 4), 3);
    EXPECT_EQ(skip.ReadU8(), 'z');
}

// A length byte that cannot be a command (shorter than a header, or past the bytes left) ends
// the stream as failed; one that ends exactly at the last byte is a command.
TEST(CommandReader, ALengthByteThatCannotBeACommandEndsTheStream) {
    const struct {
        uint8_t length;
        size_t size;
        int commands;
        int failed;
    } rows[] = {{7, 7, 1, 0}, {7, 14, 2, 0}, {6, 7, 0, 1}, {0, 7, 0, 1},
                {8, 7, 0, 1}, {8, 8, 1, 0},  {8, 14, 1, 1}};
    for (const auto& row : rows) {
        std::vector<uint8_t> bytes(row.size, 0);
        bytes[0] = row.length;
        bytes[1] = 9;
        if (row.length > 0 && row.size > row.length) bytes[row.length] = 7;
        CommandReader reader(bytes.data(), bytes.size());
        CommandHeader header;
        int commands = 0;
        while (commands < 5 && reader.NextCommand(header)) {
            ++commands;
            if (commands == 1) {
                EXPECT_EQ(header.kind, 9) << int{row.length};
            }
        }
        EXPECT_EQ(commands, row.commands) << int{row.length} << " of " << row.size;
        EXPECT_EQ(reader.Failed(), row.failed) << int{row.length} << " of " << row.size;
        EXPECT_FALSE(reader.NextCommand(header)) << int{row.length} << " of " << row.size;
    }
}

TEST_F(CommandFormat, AReadPastACommandsEndFailsAndLeavesTheNextWhole) {
    world.commands.SendFactoryExitPoint(&factory, Point(3, 4));
    world.commands.SendPlayerNumber(2);
    CommandReader reader(world.commands.Data(), world.commands.Size());
    CommandHeader header;
    ASSERT_TRUE(reader.NextCommand(header));
    EXPECT_EQ(reader.ReadPoint(), Point(3, 4));
    EXPECT_FALSE(reader.Failed());
    EXPECT_EQ(reader.ReadU8(), 0);
    EXPECT_TRUE(reader.Failed());
    ASSERT_TRUE(reader.NextCommand(header));
    EXPECT_EQ(reader.ReadByte(), 2);
}

TEST_F(CommandFormat, FullBufferGoesOutWholeBeforeTheNextCommand) {
    // Heartbeats of 7 bytes up to 8190: the next 18-byte command cannot fit.
    for (int i = 0; i < 1170; ++i)
        world.commands.SendHeartbeat();
    ASSERT_EQ(world.commands.Size(), 8190u);
    world.commands.SendCreateFactory(&factory, 'z');
    ASSERT_EQ(world.sent.size(), 1u);
    EXPECT_EQ(world.sent[0].size(), 8190u);
    CommandReader reader(world.sent[0].data(), world.sent[0].size());
    CommandHeader header;
    int count = 0;
    while (reader.NextCommand(header))
        ++count;
    EXPECT_EQ(count, 1170);
    EXPECT_FALSE(reader.Failed());
    EXPECT_EQ(Recorded(world.commands), ExpectedCommand(11, factory.id)
                                            .Pt(factory.position)
                                            .W32(0)
                                            .W32(0)
                                            .W32(250)
                                            .U8('z')
                                            .U8(0)
                                            .Bytes());
}

// A command that fills the buffer to its last byte still goes in; only the next goes out first.
TEST_F(CommandFormat, ACommandThatFillsTheBufferExactlyStillFits) {
    // 1168 heartbeats of 7 bytes and two player numbers of 8: 8192 bytes.
    for (int i = 0; i < 1168; ++i)
        world.commands.SendHeartbeat();
    world.commands.SendPlayerNumber(1);
    world.commands.SendPlayerNumber(2);
    EXPECT_TRUE(world.sent.empty());
    EXPECT_EQ(world.commands.Size(), 8192u);
    world.commands.SendHeartbeat();
    ASSERT_EQ(world.sent.size(), 1u);
    EXPECT_EQ(world.sent[0].size(), 8192u);
    EXPECT_EQ(world.commands.Size(), 7u);
}

TEST_F(CommandFormat, StateAndItsCommandGoOutTogether) {
    for (int i = 0; i < 1167; ++i)
        world.commands.SendHeartbeat();
    // 23 bytes left: the 14-byte state would fit, but not with its 11-byte mining command.
    world.commands.SendMineOre(&unit, 20);
    ASSERT_EQ(world.sent.size(), 1u);
    EXPECT_EQ(world.sent[0].size(), 8169u);
    EXPECT_EQ(Recorded(world.commands),
              Concat({UnitState(), ExpectedCommand(14, unit.id).W32(20).Bytes()}));
}

TEST(CommandBuffer, BufferThatIsNotTheWorldsDropsWhatDoesNotFit) {
    FakeObjectWorld world;
    CommandBuffer incoming;
    incoming.SetEnabled(1);
    for (int i = 0; i < 1170; ++i)
        incoming.SendHeartbeat();
    incoming.SendPause(1);
    incoming.SendGameSpeed(3);
    EXPECT_EQ(incoming.Size(), 8190u);
    EXPECT_TRUE(world.sent.empty());
    EXPECT_EQ(incoming.BeginCommand(0, CommandKind::Heartbeat, SimId()), 0);
    EXPECT_EQ(incoming.BeginCommand(249, CommandKind::Message, SimId()), 0);
    EXPECT_EQ(incoming.Size(), 8190u);
}
