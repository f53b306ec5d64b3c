#pragma once
// The root of everything that stands on the map: units and buildings, shots, explosions,
// wrecks, ore deposits, destructible objects, artifacts, land features and groups. It holds
// what they share (identity, team record, position, size, picture, occupancy record, damage,
// goals, cargo, skill, docks, selection) and the virtual operations through which the World,
// the screens, the command stream and the behaviour classes treat any object alike; the root's
// answers are neutral (0, null, (0, 0), nothing) unless a subclass says otherwise.
//
// The object is itself the set of squads it belongs to (IdRefSet) and the view the terrain
// grids hold it by (MapObjectView). The World owns every object; others keep its SimId.
#include <cstdint>
#include <memory>

#include "core/IdRefSet.h"
#include "core/Meter.h"
#include "core/NodeList.h"
#include "core/Point.h"
#include "core/Rect.h"
#include "core/SimId.h"
#include "core/Size.h"
#include "core/ValueTriple.h"
#include "map/CollisionFilter.h"
#include "map/MapObjectView.h"
#include "objects/GoalQueue.h"
#include "objects/RouteAsk.h"
#include "objects/SensorSet.h"
#include "objects/StealthSet.h"

class EffectTemplate;
class Goal;
class ResourceFile;
class ScreenBase;
class ShadeTable;
class SpriteAttachment;
class SpriteSet;
class SquadManoeuvre;
class VehicleDesign;
class Vector;
class WeaponTemplate;

class PointNode;

class GameObject : public IdRefSet, public MapObjectView {
public:
    static constexpr int kFacings = 16;
    static constexpr int kReferencePoints = 5;
    static constexpr int kGroupFlags = 9;
    static constexpr int32_t kStartSkill = 650;
    static constexpr int32_t kMaxSkill = 950;
    static constexpr int32_t kStartCargoCapacity = 600;

    GameObject(const Point& position, int moveDelay, const Size& size, SpriteSet* sprites,
               int frame, const CollisionFilter& filter, const SimId& id, int maxDamage, int local);
    ~GameObject() override;

    // --- Plain operations
    Point GetPosition() const { return position; }
    void SetPosition(const Point& p) { position = p; }
    // position less half the size (integer halves).
    Point GetTopLeft();
    // Index 0 .. 4; an index outside answers (0, 0).
    Point GetReferencePoint(int index) const;
    void SetReferencePoint(int index, const Point& p);
    // 1 when the frame exists in the sprite set and was taken.
    int SetFrame(int newFrame);
    int ContainsPoint(const Point& p);
    // Pushes the goal at the front (flag 1: an attack on a wreck, field or land feature marks
    // attackObjects).
    void AddGoal(std::unique_ptr<Goal> goal, int flag);
    std::unique_ptr<Goal> PopGoal();
    void MarkRouteRequested(Goal* goal);
    int IsHostileTo(GameObject* other);
    int IsCarrierChassis();
    void UpdateAttachedEffect(int elapsedMs);
    // Deletes the current attached effect and keeps the new one.
    void AttachEffect(std::unique_ptr<GameObject> effect);
    void DrawAttachedEffect(ScreenBase& view);
    // Facings (0 .. 15) of an angle, and one limited turn toward a direction.
    static int FacingFromAngle(double angle);
    static int TurnToward(int current, const Vector& direction, int step);
    // A facing brought into 0 .. 15 by a true modulo.
    static int NormaliseFacing(int facing);

    // --- Virtual operations, neutral in the root
    virtual void Update(int elapsedMs);
    virtual void Draw(ScreenBase& view);
    virtual void DrawUnder(ScreenBase& view);
    virtual void DrawSensed(ScreenBase& view, const ShadeTable* table);
    virtual void MoveTo(const Point& p);
    virtual int IsDestroyed();
    virtual void ToggleInvulnerable();
    virtual int IsInvulnerable();
    // Amount 0 with no weapon means the maximum plus one (a kill) to the classes that take
    // damage; the root takes none.
    virtual void TakeDamage(WeaponTemplate* weapon, const SimId& attacker,
                            EffectTemplate* explosion, int amount);
    int IsMoving() override;
    virtual void SetMoving(int flag);
    int IsWaiting() override;
    void GetBlockingSim(SimId& out) override;
    virtual GameObject* GetLastAttacker();
    virtual void SetLastAttacker(GameObject* attacker);
    virtual void AimSelectedPart(const Point& p);
    virtual void SelectPart(int index);
    virtual int SelectedPartIndex();
    virtual void SelectNextPart();
    virtual void IssueOrder(int code, int flags, const Point& p, const SimId& target);
    virtual void ExecuteOrder(int code, int flags, const Point& p, const SimId& target, int extra);
    virtual int IsGuarding();
    virtual Point GetGuardPoint();
    // The root keeps nothing: the manoeuvre stays the caller's.
    virtual void AddManoeuvre(SquadManoeuvre* manoeuvre);
    virtual SquadManoeuvre* FindManoeuvre(int type);
    virtual Size GetSize();
    virtual Rect GetBounds();
    virtual Rect GetFootprint();
    void SetFootprint(const Rect& r) override;
    virtual int GetRadius();
    int GetFootprintRadius() override;
    uint32_t GetEnemyMask() override;
    virtual Point GetExtraPoint();
    virtual int GetEngageRange();
    virtual int GetSightRadius();
    virtual void SetCargoCapacity(int n);
    virtual int GetCargo();
    virtual int TakeCargo(int n);
    virtual int AddCargo(int n);
    virtual int IsCargoFull();
    virtual int GetCargoPercent();
    virtual int Deposit(int n);
    virtual int Withdraw(int n);
    virtual int GetStored();
    virtual int GetStoredPercent();
    virtual Point GetHardpointPosition(int index);
    virtual Point GetMountOffset(int index);
    virtual int GetFirePower();
    virtual SpriteAttachment* GetArmedPart(int index);
    virtual VehicleDesign* GetDesign();
    virtual int CanEngage(GameObject* other);
    virtual void SetLocal(int flag);
    // Receivers of the damage command and of the damage report.
    virtual void ApplyDamageState(int32_t a, int32_t b, char p, char q, char r);
    virtual void ApplyHit(char weaponRole, char explosionRole, char clan, const SimId& attacker);
    // Replaces every goal with the one given (none: just clears).
    virtual void SetGoal(std::unique_ptr<Goal> goal);
    // Receiver of the state command.
    virtual void ApplyMoveState(const Point& p, int newFacing, const int32_t* facings, int count);
    virtual int IsSim();
    // Why the object asks for a route search now (counted by the path queue).
    virtual RouteAsk WhyRouteAsked();
    virtual void GetPartFacings(int32_t* facings, int room, int& count);
    virtual void SetPartFacings(const int32_t* facings, int count);
    virtual int GetKind();
    virtual int GetRank();
    virtual int RollHit();
    virtual void GainSkill(int kill);
    virtual void BuildManoeuvreList();
    virtual void ClearManoeuvreList();
    virtual void SetSelected(int flag);
    virtual int GetMoveDelay();
    virtual void AddUpgrade();
    virtual CollisionFilter* GetMovementClass();
    CollisionFilter* GetCollision() override;
    virtual void ChangeTeam(const ValueTriple& record, int flag);
    virtual int CountActiveWeapons();
    virtual void DeployNow();
    virtual void UndeployNow();
    // Docks: an index outside the dock list answers (0, 0), 0 or -1.
    virtual Point GetDockPoint(int index);
    virtual Point GetDockOffset(int index);
    virtual int FindFreeDock(GameObject* object, int flags);
    // FindFreeDock's answer, but a covered dock is taken only where no free dock is clear (the
    // free test counts no object), first rule that finds one:
    //
    //   case                          what happens                departs from / why
    //   a dock no structure and no    taken, the nearest such     the nearest free dock: the
    //   field covers (as the row      (off with that row)         trip to a repairer's dock under
    //   "structure covers the                                     our factory was given up at it
    //   errand's side" takes it)                                  and the unit went back unmended
    //   a dock no ore field or        taken, the nearest such     the nearest free dock: a unit
    //   destructible covers                                       sent under an ore field stood
    //                                                             beside it, sent there again
    //                                                             every two seconds, for minutes
    //   every free dock covered       the nearest free one        (the given rule)
    //
    // A unit on a dock counts for nothing here: kept clear of them too, repair trips crossed
    // allied crowds at level 5 and stood among them.
    int FindOpenDock(GameObject* object, int flags);
    virtual int DocksInsideMap(const Point& p);
    virtual int IsDockAreaFree(int index, const Point& p);
    virtual int IsMobile();
    virtual int IsLanded();
    virtual int CanBeLoaded();
    virtual int IsSelectable();
    virtual void SetFuelCapacity(int n);
    virtual int GetFuel();
    virtual int AddFuel(int n);
    virtual int IsFuelFull();
    virtual int GetFuelPercent();
    virtual void Destroy();
    // The object's record lines; the root reads and writes the goal lines ('U').
    virtual void Parse(char key, const char* text);
    virtual void Write(ResourceFile& file, char* buffer, int bufferSize);
    virtual int CanUnload();
    virtual void BeginUnload(Goal* goal);
    virtual int IsFlyer();
    virtual int HasSpecialAction();
    virtual int IsDetectableA();
    virtual int IsDetectableB();
    virtual int IsDetectableC();
    virtual void EndUnload();
    virtual void SpecialAction();
    virtual int CanSee(GameObject* other);
    virtual Point GetCentre();
    virtual Point GetDrawOrigin();
    virtual void ClearGoals();
    virtual int GetMaxAltitude();
    virtual int GetCruiseAltitude();
    virtual int GetRepairPercent();
    virtual int GetBreakOffPercent();
    virtual void StartFlash(SpriteSet* sprite, int count, int colour);
    virtual void StepFlash();
    virtual void DrawFlash(ScreenBase& view);
    virtual int IsBusy();

    // --- What the terrain grids read
    SimId GetId() const override { return id; }
    int GetTeam() const override { return teamRecord.first; }
    void GetPosition(Point& out) const final { out = position; }
    int HasManoeuvre(int type) override;
    int IsHostileTo(MapObjectView* other) override;
    int ViewingPlayer() override { return viewingPlayer; }
    int SecondViewingPlayer() override { return secondViewingPlayer; }
    int HasBaseSight() override { return sensors.viewer; }
    int SensorActive(SensorKind kind, int team) override;
    int IsHidden(StealthKind kind, int team) override;
    AddedSight* SightRecord() override { return &addedSight; }
    // The players for whom it sees become the new owner's; called between taking the object
    // off the grids and putting it back (or while it is off them).
    void FollowOwnerSight(int oldTeam, int newTeam);

    SimId id;
    Point position;
    Size size;
    // Not owned; may be null.
    SpriteSet* spriteSet;
    int32_t frame;
    CollisionFilter collision;
    int32_t moveDelay;
    // Owning team, controlling team, colour.
    ValueTriple teamRecord;
    int32_t selected = 0;
    int32_t drawFlag = 0;
    GoalQueue goals;
    int32_t facing = 0;
    Meter damage;
    SensorSet sensors;
    StealthSet stealth;
    int32_t cargo = 0;
    int32_t cargoCapacity = kStartCargoCapacity;
    int32_t invulnerable = 0;
    int32_t local;
    int32_t skill = kStartSkill;
    int32_t combatEnded = 0;
    Point returnPoint;
    Point attackOrigin;
    SimId groupId;
    // When not null, the battle screen orders and targets the object this names in this one's
    // place.
    SimId delegateId;
    // Dock offsets from the position; each node's key holds the dock's flag bits.
    NodeList docks;
    int32_t routeWait = 0;
    int32_t ordered = 0;
    int32_t enabled = 1;
    int32_t attackObjects = 0;
    std::unique_ptr<GameObject> attachedEffect;
    int32_t moving = 0;
    Point referencePoints[kReferencePoints];
    Rect footprint;
    // What the World and the sight grid read beside the above.
    // 0 takes the object off the map (carried units).
    int32_t onMap = 1;
    // 1: the object stands on the grids and takes part in the deploy round trip (0 while a
    // carrier holds it).
    int32_t gridFlag = 1;
    // 1: its path requests go first.
    int32_t pathPriority = 0;
    // The players (0 .. 4) for whom it sees; 0 sees nothing.
    int32_t viewingPlayer;
    int32_t secondViewingPlayer = 0;
    // What the sight grid counted for it while it stands on the grids.
    AddedSight addedSight;
    // One per group key 1 .. 9.
    int32_t groupFlags[kGroupFlags] = {};
    // Set and cleared by the computer opponents: the claim mark their squads set on a member
    // during one think cycle, and the hold flag of a unit whose weapons do not all reach.
    int32_t claimMark = 0;
    int32_t holdFlag = 0;

    // Appends a dock with its flag bits at an offset from the position (the subclasses that
    // offer docks call it in their constructors).
    void AppendDock(int flags, const Point& offset);
    int DockCount() const { return docks.Count(); }

private:
    PointNode* DockAt(int index) const;
    // What a dock must be clear of to count (FindOpenDock's rows).
    enum class DockClear { OfNothing, OfFields, OfStructures };
    int NearestFreeDock(GameObject* object, int flags, DockClear clear);
    bool FieldCovers(GameObject* object, const Point& dockPoint);
    // Whether one sight cell centred on the dock's place, were the object at p, lies inside the
    // map on buildable ground.
    int DockAreaFits(const Point& p, const Point& offset);
};
