#pragma once
// Type 1: a guarding unit that strayed returns to its guard point; a squad is laid out on a
// ring round a centre or a leader and each member holds and guards its own place. While any
// member fights no place is handed out; afterwards every place is handed out anew.
#include <cstdint>
#include <vector>

#include "core/Point.h"
#include "core/SimId.h"
#include "objects/SquadManoeuvre.h"

class GameObject;

class FormationManoeuvre : public SquadManoeuvre {
public:
    static constexpr int32_t kRingSpacing = 40;

    struct Place {
        SimId memberId;
        // From the centre.
        Point offset;
    };

    FormationManoeuvre();
    // A ring round the point, laid out on the next squad run.
    explicit FormationManoeuvre(const Point& centre);
    ~FormationManoeuvre() override;

    int Execute(Sim& sim) override;
    int ExecuteForSquad(Squad& squad) override;
    int GetType() const override { return static_cast<int>(ManoeuvreType::Formation); }
    // 1.5 sight cells (the larger side); 0 until a sight grid exists.
    void UpdateRadius();

    int32_t tolerance = 0;
    SimId leaderId;
    Point centre;
    int32_t recentre = 0;
    int32_t spacing = 0;
    int32_t reassign = 0;
    int32_t slotCount = 0;
    std::vector<Place> slots;

private:
    void LayOut(int members, GameObject* leader);
};
