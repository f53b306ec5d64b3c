#pragma once
// A unit or building on the map, built from the vehicle design it owns: a drive and chassis body
// that animates, one attachment per fitted hardpoint (weapon mounts that aim and fire, defence,
// sensor and stealth items), the goal loop that turns orders into steps along the World's
// routes, the damage rule with its explosions, the drawing with shadow, smoke and marks, and
// the record lines of scenario files. The subclasses (deploying units, flyers, carriers, miners,
// the factory...) override its operations.
//
// Its operations are split by concern: Sim.cpp (construction, parts, small questions, change of
// owner), SimMovement.cpp (the step along a route), SimOrders.cpp (update, orders, goal loop),
// SimDamage.cpp (hits and destruction), SimDrawing.cpp (drawing and sight) and SimRecords.cpp
// (record lines).
#include <cstdint>
#include <memory>

#include "core/NodeList.h"
#include "core/Point.h"
#include "core/SimId.h"
#include "core/Timer.h"
#include "objects/GameObject.h"

class DefencePart;
class EffectTemplate;
class Goal;
class ManoeuvreList;
class PartAttachment;
class SelectionMarker;
class SimBody;
class Vector;

class Sim : public GameObject {
public:
    // The order codes of IssueOrder and ExecuteOrder.
    enum Order : int {
        kOrderMove = 1,
        kOrderAttack = 2,
        kOrderGuard = 3,
        kOrderMoveAway = 6,
        kOrderRepair = 7,
        kOrderSurround = 8,
        kOrderStopGuarding = 9,
        kOrderMoveAlso = 10,
        kOrderTransport = 11,
        kOrderStop = 12,
    };
    // The order flags.
    static constexpr int kAppend = 0x01;
    static constexpr int kAllowManoeuvres = 0x02;
    static constexpr int kFinishOnArrival = 0x04;
    static constexpr int kToBack = 0x08;
    static constexpr int kQuietFailure = 0x10;
    static constexpr int kWaypoint = 0x20;

    static constexpr int kHardpointScan = 7;
    static constexpr int32_t kFreezeMs = 5000;
    static constexpr int32_t kRouteHoldMs = 5000;
    // How long a unit waits on friends each on an errand of their own before it seeks a way
    // round them: a line on the move passes well within it, a tangle of crossing errands never.
    static constexpr int32_t kFriendHoldMs = 5000;
    // How long a unit sent aside by a friend in the way (or stepping aside for one) has to take
    // that step before the rule sends it again.
    static constexpr int32_t kAsideMs = 4000;
    static constexpr int32_t kSmokePeriodMs = 100;

    // Takes the design; a null design makes a Sim with no parts, no body and no drive.
    Sim(const Point& position, const SimId& id, std::unique_ptr<VehicleDesign> design);
    ~Sim() override;

    // Gives the design back (the unit is then without one); for a refused unit whose design
    // stays with the caller.
    std::unique_ptr<VehicleDesign> ReleaseDesign();

    // --- Sim.cpp: the parts and the small questions
    void BuildParts();
    VehicleDesign* GetDesign() override { return design.get(); }
    void ClearGoals() override;
    void GetBlockingSim(SimId& out) override { out = blockingSim; }
    int GetMaxAltitude() override;
    int GetCruiseAltitude() override;
    int GetRepairPercent() override;
    int GetBreakOffPercent() override;
    int IsDetectableA() override { return 1; }
    int IsDetectableB() override { return 1; }
    int IsDetectableC() override { return 1; }
    SpriteAttachment* GetArmedPart(int index) override;
    Point GetMountOffset(int index) override;
    Point GetHardpointPosition(int index) override;
    void SelectPart(int index) override;
    void SelectNextPart() override;
    int SelectedPartIndex() override;
    void AimSelectedPart(const Point& p) override;
    void GetPartFacings(int32_t* facings, int room, int& count) override;
    void SetPartFacings(const int32_t* facings, int count) override;
    int CountActiveWeapons() override;
    int GetFirePower() override;
    int CanEngage(GameObject* other) override;
    int GetMoveDelay() override;
    int GetRadius() override;
    Size GetSize() override;
    int GetEngageRange() override;
    int GetSightRadius() override;
    int IsBusy() override;
    int IsSim() override { return 1; }
    RouteAsk WhyRouteAsked() override;
    int GetKind() override { return 1; }
    int IsMobile() override { return 1; }
    void MoveTo(const Point& p) override { SetPosition(p); }
    void AddUpgrade() override { ++upgrades; }
    // The Sim owns the manoeuvre from then on.
    void AddManoeuvre(SquadManoeuvre* manoeuvre) override;
    SquadManoeuvre* FindManoeuvre(int type) override;
    void BuildManoeuvreList() override;
    void ClearManoeuvreList() override;
    uint32_t GetEnemyMask() override;
    void ChangeTeam(const ValueTriple& record, int announce) override;
    // Marks the Sim destroyed and takes it off the grids (once, whatever the road).
    void Destroy() override;
    // Manoeuvres live only on the machine that simulates the unit: a mirror drops them, and a
    // unit this machine takes over builds them.
    void SetLocal(int flag) override;

    virtual DefencePart* GetDefencePart(int index);
    virtual SpriteAttachment* GetPart(int index);
    virtual void SetAirLayer();
    // Active armed parts whose range exceeds the limit; all (when given) = every active armed
    // part.
    int CountWeaponsWithRange(int limit, int* all);
    // The longest-range active armed part, the first of equal ranges; null when none.
    PartAttachment* LongestRangeWeapon();
    // Drops the id set's squads, clears and rebuilds the manoeuvres with the default design
    // parameters.
    void ResetBehaviour();
    ManoeuvreList* Manoeuvres() { return manoeuvres.get(); }
    const NodeList& Parts() const { return parts; }

    // --- SimMovement.cpp
    // 1 when the budget allowed a step this tick, whatever came of it.
    virtual int StepMovement();
    int RequestRoute(Goal* front);
    // 1 while a retried goal whose search found no way again holds the next one back.
    int RouteSearchHeld() const;
    int MoveAlong(double distance, Goal* front, const Vector& aim);
    void TurnToward(const Vector& v);
    int TargetInRange(Goal* goal);
    // TargetInRange without its event: a hostile target the longest-range weapon reaches.
    int InReach(Goal* goal);
    // The wreck the unit shoots out of its way (its last attacker, which refused its step),
    // where the longest-range weapon reaches it.
    int WreckInReach(GameObject* target);
    int InMovingGroup();
    int BlockerOnDestination(GameObject* blocker);
    void PickUpArtifact();

    // --- SimOrders.cpp
    void Update(int elapsedMs) override;
    void IssueOrder(int code, int flags, const Point& p, const SimId& target) override;
    void ExecuteOrder(int code, int flags, const Point& p, const SimId& target, int arg) override;
    int IsGuarding() override { return guardGoal ? 1 : 0; }
    Point GetGuardPoint() override;
    virtual void OrderMove(const Point& p, int append, int allowManoeuvres, int finishOnArrival,
                           int toBack, int reportFailure, int waypoint);
    virtual void OrderAttack(const SimId& target, int append, int allowManoeuvres,
                             int finishOnArrival, int toBack, int addFlag);
    virtual void OrderRepair(const SimId& repairer);
    virtual void UpdateParts(int elapsedMs);
    virtual void RunManoeuvreList();
    virtual int AdvanceGoals();
    int CheckGoal();
    void UpdatePartStates();
    void Guard(const Point& p, const SimId& target);
    void StopGuarding();
    void MoveAway(const Point& from, int append, int allowManoeuvres, int finishOnArrival);
    void Surround(const SimId& target);
    void OrderTransport(const SimId& transporter);
    void MarkTargetGoal(const SimId& target);
    void NoteAttackEnded(Goal* goal);
    Goal* GuardGoal() { return guardGoal.get(); }
    // The guard goal as a record reads it back.
    void SetGuardGoal(std::unique_ptr<Goal> goal);

    // --- SimDamage.cpp
    void TakeDamage(WeaponTemplate* weapon, const SimId& attacker, EffectTemplate* explosion,
                    int amount) override;
    int ComputeDamage(WeaponTemplate* weapon, GameObject* attacker);
    // The damage rule without its effects (no shield struck, nothing frozen): what a hit of the
    // weapon from the attacker takes off the unit, by direction and shields.
    int HitBy(const WeaponTemplate& weapon, GameObject* attacker);
    Point HitOffset(WeaponTemplate* weapon, GameObject* attacker);
    virtual void Explode(int amount, EffectTemplate* explosion, const Point& offset);
    void ApplyDamageState(int32_t value, int32_t amount, char explosionLetter, char clanLetter,
                          char weaponLetter) override;
    void ApplyHit(char weaponLetter, char explosionLetter, char clanLetter,
                  const SimId& attacker) override;
    GameObject* GetLastAttacker() override;
    void SetLastAttacker(GameObject* attacker) override;

    // --- SimDrawing.cpp
    void Draw(ScreenBase& view) override;
    void DrawUnder(ScreenBase& view) override;
    void DrawSensed(ScreenBase& view, const ShadeTable* table) override;
    virtual void DrawParts(ScreenBase& view);
    // The selection marker, the damage bar and the cargo meter.
    void DrawMarks(ScreenBase& view);
    void StartFlash(SpriteSet* sprite, int count, int colour) override;
    void StepFlash() override;
    void DrawFlash(ScreenBase& view) override;
    int CanSee(GameObject* other) override;
    // 1 when the Sim's own team cannot see it for its stealth.
    int HiddenFromOwnTeam();

    // --- SimRecords.cpp
    void Parse(char key, const char* text) override;
    void Write(ResourceFile& file, char* buffer, int bufferSize) override;

    // Owned; null without both a drive and a chassis.
    std::unique_ptr<SimBody> body;
    std::unique_ptr<SelectionMarker> selectionMarker;
    int32_t moveTime = 0;
    SimId lastAttacker;
    // Not owned: the catalogue's.
    EffectTemplate* deathEffect = nullptr;
    SimId blockingSim;
    std::unique_ptr<ManoeuvreList> manoeuvres;
    // Not queued: the guard order.
    std::unique_ptr<Goal> guardGoal;
    // SpriteAttachment nodes, owned, newest first.
    NodeList parts;
    // Not owned: an attachment of parts.
    SpriteAttachment* selectedPart = nullptr;
    int32_t partCount = 0;
    Point bob;
    std::unique_ptr<VehicleDesign> design;
    Timer routeTimer{0};
    int32_t partsFrozenTime = 0;
    int32_t ignoreAttackers = 0;
    int32_t smokeFrame = 0;
    Point smokePoint;
    Timer smokeTimer{kSmokePeriodMs};
    int32_t pressOn = 0;
    int32_t upgrades = 0;
    int32_t flashColour = 0;
    int32_t flashCount = 0;
    // Not owned.
    SpriteSet* flashSprite = nullptr;
    int32_t waiting = 0;
    int32_t targetPinned = 0;
    int32_t turnAndMove = 0;
    // 1 once the Sim has left the sight and path grids for good.
    int32_t leftGrids = 0;
    // 1: the next route search counts the Sim's own side as obstacles (a structure of its own
    // side stood in its way, which a route that ignores friends would lead it into again).
    int32_t routeAroundFriends = 0;
    // What the rule for a friend in the way keeps of this unit, in game time: how long friends
    // have held it since its last step (or since the last way round it asked for; -1: not
    // held), how long before it may be sent aside or step aside again, and which way its own
    // next step aside goes.
    struct FriendWay {
        int32_t heldMs = -1;
        int32_t asideMs = 0;
        int32_t turn = 0;
        // A wreck that refused a step, named the unit's attacker so that it fires at it, and
        // how long ago it was named.
        SimId wreck;
        int32_t wreckMs = 0;
        // The enemy of an attack whose retried search found no way, and how long ago.
        SimId unreached;
        int32_t unreachedMs = 0;
        void Count(int elapsedMs);
    };
    FriendWay friendWay;
    // A route search cut short on its node budget, asked again at the unit's next turn: the goal
    // it was for (a location, or a target by id) and the point it was asked for, which a target
    // that moved since does not change, for the search goes on only for the same point. Dropped
    // by every order, by a search that ended, and by a front goal that is another.
    struct SearchGoingOn {
        int32_t held = 0;
        int32_t type = 0;
        SimId target;
        Point asked;
    };
    SearchGoingOn searchGoingOn;

private:
    friend class BlockedStepPolicy;
    // Takes the Sim off the sight and path grids the first time it is asked.
    void LeaveGrids();
    // The rectangle by which an object is seen: its footprint on the grids, else its bounds.
    static Rect SeenRect(GameObject* object);
    // 1 when the Sim's team sees some cell of the object now.
    int TeamSees(GameObject* object);
    void SendEvent(int code, void* argument);
};
