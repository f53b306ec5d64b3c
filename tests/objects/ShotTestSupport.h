#pragma once
// What the shot tests share: a land of 20 by 20 cells with a shooter (a unit of team 1 with one
// weapon on hardpoint 0), targets that count the damage they take and stand on the path grid,
// and firing effects whose flash has a given number of frames per facing.
#include <memory>
#include <vector>

#include "catalogue/DirectionalEffectTemplate.h"
#include "core/SpriteSet.h"
#include "objects/ObjectLand.h"
#include "objects/SimTestSupport.h"
#include "objects/Weapon.h"

// A map object on one layer that counts the hits it takes.
class Mark : public GameObject {
public:
    Mark(const SimId& id, const Point& at, int layer)
        : GameObject(at, 0, Size(8, 8), nullptr, 0, CollisionFilter(1, layer, 0, 0, 0), id, 100,
                     1) {}
    void TakeDamage(WeaponTemplate* weapon, const SimId& attacker, EffectTemplate*, int) override {
        hits.push_back({weapon, attacker});
    }
    std::vector<std::pair<WeaponTemplate*, SimId>> hits;
};

// Each draw of a noted picture: its tag (100 x facing + frame) and the point.
using DrawLog = std::vector<std::pair<int, Point>>;

class NotedImage : public Image {
public:
    NotedImage(DrawLog& log, int tag) : Image(Size(8, 8)), log(log), tag(tag) {}
    void Draw(const Point& c) override { log.emplace_back(tag, c); }
    DrawLog& log;
    int tag;
};

// A firing effect whose flash has the frame count in each of its 16 facing sequences; with a
// log, the frames are pictures that note their draws.
inline std::unique_ptr<DirectionalEffectTemplate> FlashEffect(int frames, DrawLog* log = nullptr) {
    auto effect =
        std::make_unique<DirectionalEffectTemplate>('V', 'f', 0, "", -1, std::array<Point, 16>{});
    auto grid = std::make_unique<SpriteSet>(16);
    for (int f = 0; f < 16; ++f) {
        auto sequence = std::make_unique<SpriteSet>(frames);
        for (int i = 0; log && i < frames; ++i)
            sequence->SetFrame(std::make_unique<NotedImage>(*log, 100 * f + i), i);
        grid->SetFrame(std::move(sequence), f);
    }
    effect->pictures = std::move(grid);
    return effect;
}

class ShotLand {
public:
    static constexpr int kCells = 20;

    ShotLand() = default;

    Sim* Shooter(const Point& at, WeaponTemplate* weapon) {
        std::unique_ptr<GameObject> sim = kit.MakeSim(1, ++shooters, at, {weapon});
        Sim* raw = static_cast<Sim*>(sim.get());
        world.AddSim(sim);
        return raw;
    }
    // A target of a team on a layer, standing on the path grid at its point.
    Mark* Target(int team, const Point& at, int layer = 0) {
        marks.push_back(
            std::make_unique<Mark>(SimId(team, 500 + static_cast<int>(marks.size())), at, layer));
        Mark* m = marks.back().get();
        world.Add(m);
        world.paths.AddFootprint(m, at, 1);
        return m;
    }
    // Steps the shot by the tick until it is destroyed; the number of ticks taken (limit + 1
    // when it never ended).
    int Fly(GameObject& shot, int tickMs, int limit = 500) {
        for (int t = 1; t <= limit; ++t) {
            shot.Update(tickMs);
            if (shot.IsDestroyed()) return t;
        }
        return limit + 1;
    }

    ObjectLand land{kCells, kCells};
    FakeObjectWorld& world = land.world;
    SimKit kit;
    std::vector<std::unique_ptr<Mark>> marks;
    int shooters = 0;
};
