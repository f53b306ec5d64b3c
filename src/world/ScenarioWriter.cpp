// Writing the game in play as a scenario file: the format line, H, E, V, C, M, A, R, F, L and
// the check record, through the atomic writer, so a failed save keeps the file that was there.
#include <cstdarg>
#include <cstdio>
#include <string>

#include "catalogue/VehicleDesign.h"
#include "core/AtomicWriter.h"
#include "core/NodeList.h"
#include "map/TerrainMap.h"
#include "objects/GameObject.h"
#include "objects/Wreck.h"
#include "world/MissionStats.h"
#include "world/ObjectNode.h"
#include "world/Scenario.h"
#include "world/ScenarioController.h"
#include "world/ScenarioMakers.h"
#include "world/ScenarioText.h"
#include "world/World.h"

namespace {

// The printable character of a decoration (see the reader): '.' for none, frames from '!'.
char DecorationChar(uint8_t frame) {
    constexpr int kFrames = '~' - '!';
    if (frame >= kFrames) return '.';
    const char c = static_cast<char>('!' + frame);
    return c < '.' ? c : static_cast<char>(c + 1);
}

class Writer {
public:
    Writer(Scenario& scenario, World& world, AtomicWriter& file)
        : scenario(scenario), world(world), file(file) {}

    // One formatted line; a line that does not fit the line buffer or does not reach the file
    // fails the whole save.
    void Line(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        if (failed) return;
        va_list args;
        va_start(args, format);
        const int length =
            std::vsnprintf(scenario.lineBuffer, sizeof scenario.lineBuffer, format, args);
        va_end(args);
        if (length < 0 || length >= static_cast<int>(sizeof scenario.lineBuffer)) {
            failed = true;
            return;
        }
        // Written texts never carry control characters: they would end or split the line.
        for (char* p = scenario.lineBuffer; *p; ++p) {
            if (static_cast<unsigned char>(*p) < 32 || *p == 127) *p = '?';
        }
        if (file.WriteLine(scenario.lineBuffer) != 0) failed = true;
    }
    void Section(char letter) { Line("%c %c", ':', letter); }
    void OwnLines(GameObject* object) {
        if (failed) return;
        object->Write(file.File(), scenario.lineBuffer, sizeof scenario.lineBuffer);
        if (file.File().Failed()) failed = true;
    }

    void Header();
    void Players();
    void Vehicles();
    void Deposits();
    void Destructibles();
    void Artifacts();
    void Wrecks();
    void Groups();
    void TerrainLists();

    bool failed = false;

private:
    char ClanOfTeam(int team) {
        auto* controller = dynamic_cast<ScenarioController*>(world.controllers[team].get());
        return controller ? controller->ClanLetter() : scenario.clanLetter;
    }
    // Oldest first: reading adds each object at the front, so the lists come back in the
    // order they had.
    template <class Each>
    void OldestFirst(NodeList& list, Each each) {
        for (ListNode* n = list.Last(); n; n = list.Prev(n)) {
            if (GameObject* o = static_cast<ObjectNode*>(n)->Object()) each(o);
        }
    }
    void IdAndPosition(GameObject* o) {
        Line("A = %d,%d", o->id.team, o->id.serial);
        Line("B = %d,%d", o->position.x, o->position.y);
    }

    Scenario& scenario;
    World& world;
    AtomicWriter& file;
};

void Writer::Header() {
    Section('H');
    Line("J = %d", scenario.missionNumber);
    Line("L = %c", scenario.clanLetter);
    if (scenario.debugFlag == 1) Line("r = Y");
    Line("K = %d", scenario.landNumber);
    Line("I = %d", scenario.localTeam);
    Line("n = %d", scenario.colour);
    Line("M = %d", scenario.difficulty);
    Line("j = %d,%d", scenario.viewOrigin.x, scenario.viewOrigin.y);
    const int team = scenario.localTeam;
    if (team >= 0 && team < World::kTeams && world.teamStats[team]) {
        const MissionStats& s = *world.teamStats[team];
        Line("l = %d,%d,%d,%d,%d,%d", s.kills, s.losses, s.ElapsedTotal(), s.buildCost,
             s.buildEffort, s.unitsMade);
    }
    Line("u = %d,%d,%d", MissionStats::totalUnits, MissionStats::totalCost,
         MissionStats::totalEffort);
    Line("m = %d,%d", world.techLevelT, world.techLevelV);
    const Point* v = scenario.viewPoints;
    Line("o = %d,%d,%d,%d,%d,%d,%d,%d", v[0].x, v[0].y, v[1].x, v[1].y, v[2].x, v[2].y, v[3].x,
         v[3].y);
    for (int a = 1; a < World::kTeams; ++a) {
        for (int b = a + 1; b < World::kTeams; ++b) {
            if (world.AreAllied(a, b)) Line("s = %d,%d", a, b);
        }
    }
    Line("w = %d", scenario.resources);
    Line("x = %c", scenario.artifacts == 1 ? 'y' : 'n');
}

void Writer::Players() {
    for (int team = 1; team < World::kTeams; ++team) {
        auto* controller = dynamic_cast<ScenarioController*>(world.controllers[team].get());
        if (!controller) continue;
        Section('E');
        Line("I = %d", team);
        Line("L = %c", controller->ClanLetter());
        Line("P = %d", controller->TargetTeam());
        Line("Q = %d", controller->StrategyBits());
        Line("R = %d", controller->Aggressiveness());
        Point rally;
        controller->GetRallyPoint(rally);
        Line("S = %d,%d", rally.x, rally.y);
        SimId objective;
        controller->GetObjectiveId(objective, 0);
        Line("T = %d,%d", objective.team, objective.serial);
        GameObject* factory = world.TeamFactory(team);
        VehicleDesign* job = factory && world.scenarioMakers.factoryJobDesign
                                 ? world.scenarioMakers.factoryJobDesign(factory)
                                 : nullptr;
        if (factory && controller->GetDesignRules() && job)
            Line("W = %d %s", controller->DesignPurpose(), job->CodeString());
    }
}

void Writer::Vehicles() {
    for (int team = 1; team < World::kTeams; ++team) {
        const char clan = ClanOfTeam(team);
        OldestFirst(world.sims[team], [&](GameObject* o) {
            Section('V');
            Line("I = %d", o->GetTeam());
            Line("n = %d", o->teamRecord.third);
            Line("k = %d", o->teamRecord.second);
            Line("L = %c", clan);
            Line("B = %d,%d", o->position.x, o->position.y);
            Line("A = %d,%d", o->id.team, o->id.serial);
            VehicleDesign* design = o->GetDesign();
            Line("H = %s", design ? design->CodeString() : "");
            Line("Z = %d", world.scenarioMakers.purposeOf ? world.scenarioMakers.purposeOf(o) : 0);
            OwnLines(o);
        });
        if (GameObject* factory = world.TeamFactory(team)) {
            Section('V');
            Line("X = Y");
            Line("I = %d", factory->GetTeam());
            Line("n = %d", factory->teamRecord.third);
            Line("L = %c", clan);
            Line("B = %d,%d", factory->position.x, factory->position.y);
            Line("A = %d,%d", factory->id.team, factory->id.serial);
            OwnLines(factory);
        }
    }
}

void Writer::Deposits() {
    OldestFirst(world.oreDeposits, [&](GameObject* o) {
        Section('C');
        IdAndPosition(o);
        Line("O = %d", o->GetStored());
    });
}

void Writer::Destructibles() {
    OldestFirst(world.destructibles, [&](GameObject* o) {
        Section('M');
        IdAndPosition(o);
        Line("N = %d", o->GetCargo());
        Line("k = %d", o->teamRecord.second);
        Line("n = %d", o->teamRecord.third);
    });
}

void Writer::Artifacts() {
    OldestFirst(world.artifacts, [&](GameObject* o) {
        Section('A');
        IdAndPosition(o);
    });
}

void Writer::Wrecks() {
    OldestFirst(world.wrecks, [&](GameObject* o) {
        auto* wreck = dynamic_cast<Wreck*>(o);
        Section('R');
        IdAndPosition(o);
        Line("N = %d", o->GetCargo());
        Line("L = %c", wreck ? wreck->clanLetter : 'X');
        Line("Y = %c", wreck ? wreck->chassisLetter : 'X');
    });
}

void Writer::Groups() {
    OldestFirst(world.groups, [&](GameObject* o) {
        Section('F');
        Line("A = %d,%d", o->id.team, o->id.serial);
        OwnLines(o);
    });
}

void Writer::TerrainLists() {
    Section('L');
    if (!world.terrain) return;
    const Size cells = world.terrain->SizeInCells();
    std::string row;
    for (int r = 0; r < cells.h && !failed; ++r) {
        row.assign("e = ");
        for (int c = 0; c < cells.w; ++c)
            row += DecorationChar(world.terrain->DecorationAt(r, c));
        if (file.WriteLine(row.c_str()) != 0) failed = true;
        row.assign("f = ");
        for (int c = 0; c < cells.w; ++c)
            row += world.terrain->Visibility(r, c) < 0 ? 'N' : 'Y';
        if (file.WriteLine(row.c_str()) != 0) failed = true;
    }
}

}  // namespace

int Scenario::Save(const char* name, World& world) {
    if (!name || !*name) return 0;
    SetFileName(name);
    AtomicWriter file(name);
    if (!file.IsOpen()) return 0;
    Writer writer(*this, world, file);
    // The first line names the format, so that a cut save is told from one written before
    // saves ended with a check record.
    if (file.WriteLine(ScenarioText::kFormatLine) != 0) return 0;
    writer.Header();
    writer.Players();
    writer.Vehicles();
    writer.Deposits();
    writer.Destructibles();
    writer.Artifacts();
    writer.Wrecks();
    writer.Groups();
    writer.TerrainLists();
    if (writer.failed) return 0;
    // The last line closes the file with its length and CRC-32, counted where every byte
    // went out (the objects' own lines included): a cut or changed save is refused on load.
    const ResourceFile& written = file.File();
    const std::string record =
        ScenarioText::CheckRecord(written.WrittenBytes(), written.WrittenCrc());
    if (file.WriteLine(record.c_str()) != 0) return 0;
    return file.Commit();
}
