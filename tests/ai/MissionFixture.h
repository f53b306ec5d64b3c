#pragma once
// A computer team running a mission script against the local team 1 on the fake clock: its
// factory keeps the hold flag, its units are listed in the order given by their purpose words.
#include <memory>
#include <vector>

#include "AIFixture.h"
#include "ai/AIPlayer.h"
#include "objects/Squad.h"
#include "objects/SquadManoeuvre.h"
#include "support/FakeClock.h"

// A factory whose hold flag is kept.
class HoldingFactory : public FakeFactory {
public:
    using FakeFactory::FakeFactory;
    int IsProductionPaused() override { return hold; }
    void SetProductionPaused(int flag) override { hold = flag; }
    int hold = 0;
};

// A computer team 2 running the script against the local team 1.
template <class Script>
struct Mission {
    explicit Mission(bool withFactory = true, int team = 2) {
        land.kit.List();
        if (withFactory) {
            auto made =
                std::make_unique<HoldingFactory>(land.world.NewSimId(team), Point(300, 300));
            factory = made.get();
            land.world.AddBuilding(std::move(made));
        }
        auto made = std::make_unique<Script>(team, 'V', 1);
        script = made.get();
        land.world.SetTeamController(team, std::move(made));
    }
    // Listed so that the team's list runs in the order given.
    std::vector<AIUnit*> Units(const std::vector<int>& words) {
        std::vector<AIUnit*> out(words.size());
        for (size_t i = words.size(); i-- > 0;) {
            out[i] = words[i] < 0 ? Deploying(2) : land.AddUnit(2, Point(100, 100));
            out[i]->SetPurpose(words[i] < 0 ? 0 : words[i]);
        }
        return out;
    }
    AIUnit* Deploying(int team) {
        return land.List(std::make_unique<AIUnit>(land.world.NewSimId(team), Point(150, 150),
                                                  land.kit.Structure(3), 1));
    }
    void Tick() {
        Timer budget(0);
        script->Update(budget);
    }
    std::vector<int32_t> Codes() const {
        std::vector<int32_t> out;
        for (ListNode* n = script->squads.First(); n; n = script->squads.Next(n))
            out.push_back(static_cast<Squad*>(n)->purpose);
        return out;
    }
    Squad* Code(int32_t code) { return script->FindSquadByKind(code); }
    static bool Has(Squad* squad, int type) {
        return squad && squad->manoeuvres.Find(type) != nullptr;
    }

    FakeClock clock{1000};
    AIWorld land;
    HoldingFactory* factory = nullptr;
    Script* script;
};

inline constexpr int kDeploying = -1;
inline constexpr int kRoute = static_cast<int>(ManoeuvreType::Route);
inline constexpr int kAttack = static_cast<int>(ManoeuvreType::Attack);
inline constexpr int kAssign = static_cast<int>(ManoeuvreType::AssignTarget);
