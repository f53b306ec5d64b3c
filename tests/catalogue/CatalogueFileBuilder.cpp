#include "CatalogueFileBuilder.h"

#include <cstdarg>
#include <cstdio>
#include <map>

namespace {

class Writer {
public:
    void Line(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        char buffer[1024];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        text += buffer;
        text += '\n';
    }
    void End() { text += "*\n"; }
    void Points(const std::vector<Point>& points) {
        std::string line;
        for (const Point& p : points)
            line += std::to_string(p.x) + " " + std::to_string(p.y) + " ";
        Line("%s", line.c_str());
    }
    void Numbers(const std::vector<int>& numbers) {
        std::string line;
        for (int n : numbers)
            line += std::to_string(n) + " ";
        Line("%s", line.c_str());
    }
    void Hardpoint(int capacity, int x, int y) {
        std::string line = " " + std::to_string(capacity);
        for (int f = 0; f < 16; ++f)
            line += " " + std::to_string(x + f) + " " + std::to_string(y);
        Line("%s", line.c_str());
    }
    void Offsets(const std::vector<int>& numbers) {
        std::vector<int> all(numbers);
        all.resize(32, 0);
        Numbers(all);
    }
    std::string text;
};

std::vector<Point> Ring(int n, int base) {
    std::vector<Point> points;
    for (int i = 0; i < n; ++i)
        points.emplace_back(base + 10 * i, base + 5 * i);
    return points;
}

}  // namespace

std::string CatalogueFileBuilder::StringTableText() {
    const std::map<int, std::string> formats = {
        {10, "Strength %d, cost %d/%d, %d s"},
        {11, "Size %d, cost %d/%d, %d s, range %d, power %d, reload %d s"},
        {12, "Size %d, cost %d/%d, %d s"},
        {13, "Size %d, cost %d/%d, %d s, sees %d"},
        {14, "Fully 100%% yours"},
        {15, "Bad %s and %n here %d"},
        {201, "New design"},
        {265, "New group"},
    };
    std::string text;
    for (int n = 0; n < 350; ++n) {
        const auto it = formats.find(n);
        text += (it != formats.end() ? it->second : "Text " + std::to_string(n)) + '\r';
    }
    return text;
}

std::string CatalogueFileBuilder::Text() const {
    Writer w;
    w.Line("# generated template catalogue");
    for (const auto& r : directionalEffects) {
        w.Line("%c %c %c %d %d", r.clan, r.role, r.picture, r.sound, r.delay);
        w.Offsets(r.offsets);
    }
    w.End();
    for (const auto& r : effects) {
        w.Line("%c %c %c %d %d %d", r.clan, r.role, r.picture, r.sound, r.fps, r.delay);
        w.Line("%s", r.firstList.c_str());
        w.Line("%s", r.secondList.c_str());
    }
    w.End();
    for (const auto& r : shotPictures)
        w.Line("%c %c", r.clan, r.role);
    w.End();
    for (const auto& g : drives) {
        w.Line("%d", g.name);
        w.Line("%d", g.help);
        w.Line("%d", g.help2);
        w.Line("%c %c", g.clan, g.role);
        for (const auto& r : g.rows)
            w.Line("%c %c %d %d %d %d %d %d %c %c %d %d %c %d %d %c %c %d", r.panel, r.map,
                   r.pairing, r.secondCost, r.firstCost, r.buildTime, r.move, r.drive2, r.terrain1,
                   r.terrain2, r.verticalOffset, r.layer, r.terrain3, r.altitude, r.period,
                   r.driveShadow, r.chassisShadow, r.level);
        w.End();
    }
    w.End();
    for (const auto& r : chassis) {
        w.Line("%d", r.name);
        w.Line("%c %c %d %d %d %d %d %d %d %d %d", r.clan, r.role, r.pairing, r.secondCost,
               r.firstCost, r.buildTime, r.strength, r.move, r.panelIndex, r.icon, r.level);
        w.Line("%d", r.help);
        w.Line("%d", r.help2);
        w.Points(r.designPoints.empty() ? Ring(int(r.hardpoints.size()), 30) : r.designPoints);
        if (r.slots.empty()) {
            std::vector<int> slots;
            for (size_t i = 0; i < r.hardpoints.size(); ++i)
                slots.push_back(int(r.hardpoints.size() - 1 - i));
            w.Numbers(slots);
        } else {
            w.Numbers(r.slots);
        }
        w.Points(r.secondPoints.empty() ? Ring(int(r.hardpoints.size()), 3) : r.secondPoints);
        for (const auto& h : r.hardpoints)
            w.Hardpoint(h.capacity, h.offsetX, h.offsetY);
        w.End();
    }
    w.End();
    for (const auto& r : weapons) {
        w.Line("%d", r.name);
        w.Line("%d", r.shortText);
        w.Line("%c %c %d %d %d %d %d %d %d %c %c %c %d %c %d %d", r.clan, r.role, r.secondCost,
               r.firstCost, r.buildTime, r.reload, r.range, r.travel, r.firePower, r.fireEffect,
               r.explosion, r.projectile, r.mountSize, r.kind, r.shotLayer, r.level);
        w.Line("%d", r.help);
        w.Offsets({4, 6, 4, 6, 4, 6, 4, 6, 4, 6, 4, 6, 4, 6, 4, 6,
                   4, 6, 4, 6, 4, 6, 4, 6, 4, 6, 4, 6, 4, 6, 4, 6});
    }
    w.End();
    for (const auto& r : aircraft) {
        w.Line("%d", r.name);
        w.Line("%c %c", r.clan, r.drive);
        w.Line("%c %c %d %d %d %d %d %d %d %d", r.panel, r.role, r.pairing, r.secondCost,
               r.firstCost, r.buildTime, r.move, r.strength, r.icon, r.level);
        w.Line("%d", r.help);
        w.Line("%d", r.help2);
    }
    w.End();
    for (const auto& r : carriers) {
        w.Line("%d", r.name);
        w.Line("%c %c", r.clan, r.drive);
        w.Line("%c %c %d %d %d %d %d %d %d %d %d", r.panel, r.role, r.sound, r.pairing,
               r.secondCost, r.firstCost, r.buildTime, r.move, r.strength, r.level, r.icon);
        w.Line("%d", r.help);
        w.Line("%d", r.help2);
    }
    w.End();
    for (const auto& r : deploying) {
        w.Line("%d", r.name);
        w.Line("%c %c", r.clan, r.drive);
        w.Line("%c %c %d %d %d %d %d %d %d %d %d %d %d %d %d", r.unused, r.role, r.sound, r.pairing,
               r.secondCost, r.firstCost, r.buildTime, r.move, r.strength, r.structure,
               r.panelIndex, r.tableHardpoints, r.frames, r.icon, r.level);
        w.Line("%d", r.help);
        w.Line("%d", r.help2);
        w.Points(Ring(r.tableHardpoints, 40));
        for (int h = 0; h < r.tableHardpoints; ++h)
            w.Points(Ring(r.frames, 20 + h));
        w.Points(Ring(r.tableHardpoints, 30));
        w.Points(Ring(r.tableHardpoints, 3));
        for (int h = 0; h < r.hardpointLines; ++h)
            w.Hardpoint(2, 12, 6);
        w.End();
    }
    w.End();
    for (int section = 10; section <= 12; ++section) {
        for (const auto& r : items) {
            if (r.section != section) continue;
            w.Line("%d", r.name);
            w.Line("%d", r.shortText);
            if (section == 10)
                w.Line("%c %c %d %d %d %d %d %d ", r.clan, r.role, r.secondCost, r.firstCost,
                       r.buildTime, r.sensor, r.mountSize, r.level);
            else if (section == 11)
                w.Line("%c %c %d %d %d %d %c %d ", r.clan, r.role, r.secondCost, r.firstCost,
                       r.buildTime, r.mountSize, r.shaded, r.level);
            else
                w.Line("%c %c %d %d %d %d %d ", r.clan, r.role, r.secondCost, r.firstCost,
                       r.buildTime, r.mountSize, r.level);
            if (section == 11) w.Line("%s", r.frameList.c_str());
            w.Line("%d", r.help);
            w.Line("%d", r.help2);
        }
        w.End();
    }
    for (const auto& r : buildings) {
        const int all = r.parts + r.extraParts;
        w.Line("%d", r.name);
        w.Line("%c %d %d %d %d %d %d %d %d %d %d %d %d %d %d", r.letter, r.pairing, r.move,
               r.hitPoints, r.bodyX, r.bodyY, r.doorX, r.doorY, r.sound1, r.sound2, r.panelIndex,
               r.parts, r.extraParts, r.doorFrames, r.icon);
        w.Points(Ring(all, 30));
        w.Points(Ring(all, 3));
        for (int h = 0; h < all; ++h)
            w.Hardpoint(r.capacity, 14, 2);
        for (int f = 0; f < r.doorFrames; ++f)
            w.Points(Ring(all, 50 + f));
    }
    w.End();
    for (const auto& r : wrecks)
        w.Line("%c %c %d", r.clan, r.chassis, r.value);
    w.End();
    for (const auto& r : destructibles)
        w.Line("%c %c", r.clan, r.role);
    w.End();
    return w.text;
}

CatalogueFileBuilder CatalogueFileBuilder::Standard() {
    CatalogueFileBuilder b;
    b.directionalEffects = {
        {'V', 'a', 'a', 1, 0, {}}, {'T', 'a', 'a', 2, 0, {}}, {'X', 'b', '-', -1, 50, {}}};
    b.effects = {{'X', 'j', 'j', 3, 10, 0, "3 0 1 2", "0"},
                 {'V', 'b', 'b', 4, 20, 0, "2 0 1", "1 2"},
                 {'T', 'b', 'b', -1, 5, 100, "1 0", "0"}};
    b.shotPictures = {{'V', 'a'}, {'T', 'a'}};

    const DriveRow r2{.pairing = 2};
    const DriveRow r3{.panel = '-', .map = '-', .move = 20, .level = 4};
    const DriveRow t1{.panel = 't', .map = 't', .move = 50, .terrain1 = 'Y', .level = 2};
    DriveRow t2 = t1;
    t2.pairing = 2;
    const DriveRow h1{.panel = 'h', .map = 'h', .layer = 1, .level = 5};
    b.drives = {{30, 14, 14, 'V', 'W', {{}, r2, r3}},
                {31, 14, 14, 'T', 'W', {{}, r2}},
                {32, 14, 14, 'X', 'T', {t1, t2}},
                {33, 14, 14, 'V', 'H', {h1}}};

    auto chassis = [](char clan, char role, int pairing, int level, std::vector<int> caps) {
        ChassisRecord c;
        c.clan = clan;
        c.role = role;
        c.pairing = pairing;
        c.level = level;
        c.name = 40 + (role - 'a');
        for (int cap : caps)
            c.hardpoints.push_back({cap, 10, 4});
        return c;
    };
    b.chassis = {chassis('V', 'a', 1, 1, {1, 2, 1}), chassis('V', 'b', 2, 3, {3, 3, 3, 3}),
                 chassis('V', 'h', 1, 1, {1}),       chassis('V', 'k', 2, 6, {2, 2}),
                 chassis('T', 'a', 1, 1, {1, 2, 1}), chassis('T', 'b', 2, 4, {3, 3, 2, 2}),
                 chassis('T', 'f', 1, 2, {1, 1}),    chassis('X', 't', 2, 7, {1, 2})};

    auto weapon = [](char clan, char role, int size, int level) {
        return WeaponRecord{.clan = clan,
                            .role = role,
                            .range = 100 + 40 * size,
                            .travel = 10 + 5 * size,
                            .firePower = 10 * size,
                            .mountSize = size,
                            .level = level};
    };
    b.weapons = {weapon('V', 'a', 1, 1), weapon('V', 'b', 2, 1), weapon('V', 'c', 3, 3),
                 weapon('V', 'h', 1, 5), weapon('T', 'a', 1, 1), weapon('T', 'b', 2, 1),
                 weapon('T', 'c', 3, 4), weapon('X', 'e', 2, 8)};

    b.aircraft = {{}, {.clan = 'T', .level = 3}};
    b.carriers = {{.clan = 'T'}};  // names the pictures only: carriers are VARNOK's
    b.deploying = {
        {.level = 4},
        {.clan = 'T', .structure = 3, .tableHardpoints = 2, .level = 2, .hardpointLines = 2}};
    b.items = {{},
               // the letter of VARNOK's weapon 'c'
               {.clan = 'V', .role = 'c', .mountSize = 3, .level = 3},
               {.section = 11, .name = 72, .role = 'd', .level = 2},
               {.section = 12, .name = 73, .role = 'n', .level = 6}};
    b.buildings = {{}, {.name = 81, .letter = 'T', .pairing = 21}};
    b.wrecks = {{'V', 'a', 0}, {'T', 'a', 0}, {'X', 'h', 7}};
    b.destructibles = {{'X', 'a'}, {'X', 'b'}};
    return b;
}
