#pragma once
// The manoeuvres of a Sim, a squad or a group, sorted by priority (lower first) and owned by
// the list, with the settings a design gives its Sim's rules: focus fire, the repair level and
// the break-off percentage. A squad's pass over its list may be spread over several turns: a
// pass cut short by its time budget resumes where it stopped.
//
// Manoeuvres leave the list only through its own operations (Add, Replace, Delete, DeleteAll,
// Build), which keep the resume point off a manoeuvre that is gone.
#include <cstdint>
#include <memory>

#include "core/NodeList.h"

class Sim;
class Squad;
class SquadManoeuvre;
class Timer;
class VehicleDesign;

class ManoeuvreList : public NodeList {
public:
    static constexpr int32_t kNoRepairLevel = 3;

    ManoeuvreList() = default;
    ~ManoeuvreList() override;

    // Inserts by priority, before the manoeuvres that already have its priority, so that of
    // equal priorities the newest runs first.
    void Add(std::unique_ptr<SquadManoeuvre> manoeuvre);
    // Deletes the first manoeuvre of the same type, then adds this one.
    void Replace(std::unique_ptr<SquadManoeuvre> manoeuvre);
    // The first manoeuvre of the type in list order, or null.
    SquadManoeuvre* Find(int type) const;
    // Deletes a manoeuvre of this list; nothing for null or one that is not here.
    void Delete(SquadManoeuvre* manoeuvre);
    void DeleteAll();

    // Runs the rules for one Sim from the first: the first that acts has its timer restarted
    // and ends the run.
    void RunForSim(Sim& sim);
    // One pass of the squad rules, resuming where the last pass was cut short. 1 when the pass
    // completed or a rule stopped it; 0 when the budget ran out before the current manoeuvre
    // (which then runs first next time).
    int RunForSquad(Squad& squad, Timer* budget);
    // The manoeuvres and settings a design gives its Sim. Manoeuvre types whose maker is not
    // installed (ObjectWorld::Makers) are left out.
    void Build(const VehicleDesign& design);

    SquadManoeuvre* ResumeCursor() const { return resumeCursor; }

    // 1: every weapon takes the Sim's own target; 0: each picks its own.
    int32_t focusFire = 0;
    // 0 .. 2 from the design; kNoRepairLevel when it gives none.
    int32_t repairLevel = kNoRepairLevel;
    int32_t breakOffPercent = 0;

private:
    // Makes the type through the installed makers and adds it under the priority; nothing when
    // the type has no maker.
    void AddMade(int type, int32_t priority, int32_t first = 0, int32_t second = 0,
                 int32_t third = 0);
    bool Holds(const SquadManoeuvre* manoeuvre) const;

    SquadManoeuvre* resumeCursor = nullptr;
};
