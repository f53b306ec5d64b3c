#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "AIFixture.h"
#include "ai/AIManager.h"
#include "catalogue/DesignRules.h"
#include "catalogue/PartRule.h"
#include "objects/Squad.h"
#include "support/FakeClock.h"

namespace {

// A manager that makes, fills and deletes squads at random and asks for units.
class ChurnManager : public AIManager {
public:
    explicit ChurnManager(AIController& owner) : AIManager(owner) { key = 0; }
    int Think() override {
        switch (RandomRange(0, 4)) {
            case 0:
                AddChild(std::make_unique<Squad>(owner.Team()));
                ++made;
                break;
            case 1:
                if (ListNode* n = children.RandomElement()) {
                    DeleteChild(static_cast<Squad*>(n));
                    ++deleted;
                }
                break;
            case 2: {
                DesignRules request;
                request.AddPartLetter(kChassisCategory, RandomRange(0, 1) ? 'a' : 't', 1);
                if (ListNode* n = children.RandomElement())
                    AIController::SetOrderSquad(request, static_cast<Squad*>(n)->Id());
                owner.RequestUnits(request, RandomRange(0, 1), nullptr, 0, RandomRange(0, 1));
                break;
            }
            default:
                break;
        }
        return RandomRange(0, 3) == 0;
    }
    void OnEvent(int32_t kind, void*, void* b) override {
        if (kind != 1 || !b) return;
        GameObject* unit = TheObjectWorld().FindObject(*static_cast<SimId*>(b));
        ListNode* n = children.RandomElement();
        if (unit && n) static_cast<Squad*>(n)->AddMember(*unit, RandomRange(0, 1));
    }
    int ClaimUnit(GameObject&, int32_t& squadId) override {
        ListNode* n = children.RandomElement();
        if (!n || RandomRange(0, 1)) return 0;
        squadId = static_cast<Squad*>(n)->Id();
        return 1;
    }
    int made = 0;
    int deleted = 0;
};

}  // namespace

// Births, deaths, captures, squads made and deleted under a budget spent after every step:
// the sanitizer tree checks that nothing is read after it is gone.
TEST(AIStress, TwentyThousandTicksOfChurnUnderACutBudget) {
    FakeClock clock(5000);
    AIWorld land(32, 32);
    land.kit.List();
    SeedRandom(99);
    FakeFactory* factories[5] = {};
    AIController* controllers[5] = {};
    ChurnManager* churn[5] = {};
    for (int team : {2, 3}) {
        factories[team] = land.AddFactory(team, Point(200 + 400 * (team - 2), 300));
        controllers[team] = land.AddController(team);
        controllers[team]->Setup(team + 1);
        churn[team] = new ChurnManager(*controllers[team]);
        controllers[team]->managers.InsertSorted(churn[team], 1);
    }
    // Every other tick the budget is spent before the first step; on the others it lasts, so
    // that squad runs (which test the budget before each rule) get through their passes.
    Timer spent(0);
    Timer lasting(1000);
    const char roles[] = {'a', 'a', 'f', 'h', 'k', 't'};
    int births = 0, deaths = 0, captures = 0;
    for (int tick = 0; tick < 20000; ++tick) {
        clock.Advance(RandomRange(0, 3) == 0 ? 400 : 16);
        const int team = RandomRange(1, 3);
        NodeList& list = land.world.sims[team];
        switch (RandomRange(0, 5)) {
            case 0: {
                if (list.Count() > 80) break;
                const Point at(RandomRange(0, 1023), RandomRange(0, 1023));
                AIUnit* unit = RandomRange(0, 6) == 0
                                   ? land.AddStructure(team, at, RandomRange(0, 5))
                                   : land.AddUnit(team, at, roles[RandomRange(0, 5)]);
                unit->fire = RandomRange(0, 20);
                if (controllers[team]) {
                    SimId id = unit->id;
                    controllers[team]->OnEvent(1, factories[team], &id);
                }
                ++births;
                break;
            }
            case 1: {
                ListNode* n = list.RandomElement();
                if (!n) break;
                GameObject* unit = static_cast<ObjectNode*>(n)->Object();
                if (controllers[team]) controllers[team]->OnEvent(2, unit, nullptr);
                const SimId id = unit->id;
                delete n;
                land.world.ReindexObject(id);
                land.world.NoteTeamSimsChanged(team);
                ++deaths;
                break;
            }
            case 2: {
                const int taker = RandomRange(2, 3);
                ListNode* n = land.world.sims[taker == 2 ? 3 : 1].RandomElement();
                ListNode* c = land.world.sims[taker].RandomElement();
                if (!n || !c) break;
                controllers[taker]->OnEvent(13, static_cast<ObjectNode*>(c)->Object(),
                                            static_cast<ObjectNode*>(n)->Object());
                ++captures;
                break;
            }
            case 3:
                for (int t : {2, 3}) {
                    if (!factories[t]->current) continue;
                    if (RandomRange(0, 1)) factories[t]->current.reset();
                }
                break;
            default:
                break;
        }
        for (int t : {2, 3}) {
            Timer& budget = tick % 2 ? spent : lasting;
            budget.Start();
            controllers[t]->Update(budget);
            controllers[t]->OnEvent(RandomRange(0, 20), nullptr, nullptr);
        }
    }
    EXPECT_GT(births, 1000);
    EXPECT_GT(deaths, 1000);
    EXPECT_GT(captures, 500);
    for (int t : {2, 3}) {
        EXPECT_LE(controllers[t]->buildOrders.Count(), AIController::kMaxQueuedOrders);
        EXPECT_GT(churn[t]->made, 100);
        EXPECT_GT(churn[t]->deleted, 100);
    }
}
