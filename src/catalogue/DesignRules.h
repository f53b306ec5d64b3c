#pragma once
// A set of part rules that describes the units a computer opponent or a scenario wants: which
// chassis, drives and hardpoint items are required or excluded, how price weighs against
// quality, preset behaviour parameters; and the automatic designer that turns the rules into a
// complete design of a clan.
#include <array>
#include <cstdint>
#include <vector>

#include "core/ListNode.h"
#include "core/NodeList.h"

class PartRule;
class VehicleDesign;
class ChassisTemplate;
class PartTemplate;
class MountTemplate;
class WeaponTemplate;

class DesignRules : public ListNode {
public:
    DesignRules();
    DesignRules(const DesignRules& other);
    explicit DesignRules(const VehicleDesign& design);
    ~DesignRules() override;

    void ClearPresets();
    void CopyFrom(const DesignRules& other);
    void FromDesign(const VehicleDesign& design);
    void SetPartFlags(int32_t category, uint32_t flags, int32_t polarity);
    void AddPartLetter(int32_t category, char letter, int32_t polarity);
    PartRule* FindEntry(int32_t category) const;
    PartRule* FindEntry(int32_t category, int32_t polarity) const;
    // The entry of the category and polarity, made at the front of the rules when missing.
    PartRule* EntryFor(int32_t category, int32_t polarity);
    void AddWeaponKind(int32_t n);
    void ApplyPresets(VehicleDesign& design) const;
    // Whether a unit of this design satisfies the rules: its chassis passes every rule.
    bool AllowsDesign(const VehicleDesign& design) const;
    // The automatic designer; null when no design can be built. The caller owns the result.
    VehicleDesign* BuildDesign(char clan);
    // Whether an existing unit (anything with GetDesign) satisfies the rules; a unit without a
    // design does not. A template, so that the catalogue need not know the units.
    template <class Unit>
    bool AllowsSim(Unit& unit) const {
        const VehicleDesign* design = unit.GetDesign();
        return design && AllowsDesign(*design);
    }
    // The presets on the unit's design, then the unit rebuilds its manoeuvres from it.
    template <class Unit>
    void ApplyPresetsToSim(Unit& unit) const {
        VehicleDesign* design = unit.GetDesign();
        if (!design) return;
        ApplyPresets(*design);
        unit.BuildManoeuvreList();
    }
    // Fill the free hardpoints of a design with the allowed sensor items (kind 2, one of each
    // letter) or weapons.
    void FillKind2Hardpoints(VehicleDesign& design, char clan);
    void FillWeaponHardpoints(VehicleDesign& design, char clan);

    // Part tests; a null rule allows everything (but chassis 'g').
    bool IsPartAllowed(const ChassisTemplate* chassis, const PartRule* rule) const;
    bool IsDriveAllowed(const PartTemplate* drive, const PartRule* rule) const;
    bool IsWeaponAllowed(const WeaponTemplate* weapon, const PartRule* rule) const;
    bool IsSensorItemAllowed(const MountTemplate* item, const PartRule* rule) const;
    bool IsStealthItemAllowed(const MountTemplate* item, const PartRule* rule) const;
    bool IsDefenceItemAllowed(const MountTemplate* item, const PartRule* rule) const;

    // The free hardpoint for a part of a kind (2, 3, 4 items, 5 weapons) and mount size; -1.
    int FindFreeHardpoint(int kind, int32_t size, const VehicleDesign& design) const;
    ChassisTemplate* PickChassis(const std::vector<ChassisTemplate*>& candidates) const;
    PartTemplate* PickDrive(const std::vector<PartTemplate*>& candidates) const;
    WeaponTemplate* PickWeapon(const std::vector<WeaponTemplate*>& candidates, int criterion) const;

    NodeList rules;  // of PartRule; new rules at the front, the oldest is the last
    std::array<int32_t, 3> settings{0, 0, 3};
    std::array<int32_t, 9> presets{};
    std::array<uint16_t, 7> weights{};
    NodeList weaponCriteria;  // plain nodes whose key is the criterion
    int32_t buildTimeCap = 0;

private:
    PartRule* LastRule() const;
    // Whether a test passes against every rule but the last.
    template <class Test>
    bool PassesOtherRules(Test test) const;

    bool ChooseChassis(VehicleDesign& design, char clan);
    bool ChooseDrive(VehicleDesign& design, char clan);
    template <class Test>
    void FillItemHardpoints(VehicleDesign& design, char clan, const NodeList& list, int kind,
                            Test test);
};
