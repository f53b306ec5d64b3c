#pragma once
// A vehicle that sets itself down as a fixed structure and picks itself up again. Set down it
// reports kind 7, stands still, cannot be selected, takes only attacks on hostile objects, and
// gives its team the structure code of its chassis (sensors, stealth, defence parts, heavy
// weapons, refuelling, capture) for as long as it stands.
#include <cstdint>
#include <memory>

#include "core/Timer.h"
#include "objects/Sim.h"

class DeployingChassisTemplate;

class DeployingSim : public Sim {
public:
    // The deploy states: mobile, deploying (turning, then the animation), deployed, packing up.
    enum State : int32_t { kMobile = 0, kDeploying = 1, kDeployed = 2, kUndeploying = 3 };
    static constexpr int kWorkingFacing = 12;
    static constexpr int32_t kAnimationMs = 50;
    static constexpr int32_t kWarningMs = 10000;
    static constexpr int kWarningVoiceBank = 7;
    static constexpr int kRefuelCode = 4;

    DeployingSim(const Point& position, const SimId& id, std::unique_ptr<VehicleDesign> design);
    ~DeployingSim() override;

    void Update(int elapsedMs) override;
    void Draw(ScreenBase& view) override;
    void DrawUnder(ScreenBase& view) override;
    void DrawSensed(ScreenBase& view, const ShadeTable* table) override;
    void IssueOrder(int code, int flags, const Point& p, const SimId& target) override;
    Point GetMountOffset(int index) override;
    int GetKind() override { return kind; }
    void ChangeTeam(const ValueTriple& record, int announce) override;
    void DeployNow() override;
    void UndeployNow() override;
    int IsMobile() override;
    int IsSelectable() override;
    void Destroy() override;
    void Parse(char key, const char* text) override;
    void Write(ResourceFile& file, char* buffer, int bufferSize) override;
    void Explode(int amount, EffectTemplate* explosion, const Point& offset) override;
    int StepMovement() override;

    // What the World's deploy round trip sets (1 mobile, 7 deployed).
    void SetKind(int32_t newKind) { kind = newKind; }
    // The chassis' structure code (0 without a chassis).
    int32_t StructureCode() const { return structureCode; }
    int32_t DeployState() const { return deployState; }

    int32_t kind = 1;
    // Not owned: the chassis' pictures, each may be null.
    SpriteSet* deployedSprites = nullptr;
    SpriteSet* underAnimation = nullptr;
    SpriteSet* underPicture = nullptr;
    int32_t structureCode = 0;
    int32_t deployState = kMobile;
    int32_t deployFrame = 0;
    int32_t sequence = 1;
    Timer animationTimer{kAnimationMs};
    Timer warningTimer{-1};

private:
    DeployingChassisTemplate* Chassis() const;
    // Frame index of the last frame of a sequence of the current pictures (0 without them).
    int LastFrameOf(int sequenceIndex) const;
    // The deploy animation shows (and the mounts follow it) only once the turn is done.
    bool ShowsStructure() const { return deployState != kMobile && facing == kWorkingFacing; }
    void PlayChassisSound();
    void AddClearWay();
};
