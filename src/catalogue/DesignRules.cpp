#include "catalogue/DesignRules.h"

#include <algorithm>
#include <cstdint>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/DeployingChassisTemplate.h"
#include "catalogue/HardpointItemTemplates.h"
#include "catalogue/PartRule.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "catalogue/WeaponTemplate.h"
#include "core/Random.h"

namespace {

// Chassis property bits of a category-0 rule.
constexpr uint32_t kLetterG = 0x4, kLetterH = 0x20, kLetterK = 0x40, kLetterF = 0x80,
                   kLetterT = 0x100;
constexpr uint32_t kStructureBits[6] = {0x200, 0x400, 0x800, 0x2000, 0x1000, 0x4000};
// Drive property bits of a category-1 rule.
constexpr uint32_t kLayer1 = 0x8, kLayer2 = 0x10, kNoTerrain1 = 0x8000, kNoTerrain2 = 0x10000;
// Weapon bits of a category-5 rule.
constexpr uint32_t kShotLayer2 = 0x10, kNoBigWeapons = 0x20000;
// Choose by score instead of at random.
constexpr uint32_t kByScore = 0x2;

template <class T>
T* TakeRandom(std::vector<T*>& candidates) {
    if (candidates.empty()) return nullptr;
    return candidates[RandomRange(0, static_cast<int32_t>(candidates.size()) - 1)];
}

template <class T>
void Drop(std::vector<T*>& candidates, T* item) {
    candidates.erase(std::remove(candidates.begin(), candidates.end(), item), candidates.end());
}

template <class T>
std::vector<T*> AvailableOf(const NodeList& list, char clan) {
    std::vector<T*> out;
    for (ListNode* n = list.First(); n; n = list.Next(n)) {
        T* t = static_cast<T*>(n);
        if (IsAvailableTo(*t, clan)) out.push_back(t);
    }
    return out;
}

// value / greatest, 0 when the greatest is 0 (every candidate then scores the same there).
double Share(double value, double greatest) {
    return greatest != 0 ? value / greatest : 0.0;
}

// The candidate of the highest score; of equal scores, the earliest. Candidates is not empty.
template <class T, class Score>
T* HighestScoring(const std::vector<T*>& candidates, Score score) {
    T* best = candidates.front();
    double bestScore = score(best);
    for (T* c : candidates) {
        const double s = score(c);
        if (s > bestScore) {
            best = c;
            bestScore = s;
        }
    }
    return best;
}

int32_t CapacitySum(const ChassisTemplate* c) {
    int32_t sum = 0;
    for (int h = 0; h < c->hardpointCount; ++h)
        sum += c->Capacity(h);
    return sum;
}

int32_t DriveClass(const PartTemplate* d) {
    int32_t c = d->layer >= 2 ? 5 : (d->terrainFlag1 == 1 ? 3 : 4);
    if (d->terrainFlag2 == 1) c -= 1;
    if (d->terrainFlag3 == 1) c -= 1;
    return c;
}

// Whether a hardpoint of the design holds an item of the same mount kind and letter.
bool CarriesItemLetter(const VehicleDesign& design, const MountTemplate& item) {
    for (const MountTemplate* m : design.hardpoints)
        if (m && m->GetMountKind() == item.GetMountKind() && m->role == item.role) return true;
    return false;
}

bool IsFlagged(const WeaponTemplate* w) {
    return w->stunFlag == 1 || w->freezeFlag == 1;
}

}  // namespace

DesignRules::DesignRules() {
    ClearPresets();
}

DesignRules::DesignRules(const DesignRules& other) : ListNode() {
    ClearPresets();
    CopyFrom(other);
}

DesignRules::DesignRules(const VehicleDesign& design) {
    ClearPresets();
    FromDesign(design);
}

DesignRules::~DesignRules() = default;

void DesignRules::ClearPresets() {
    presets.fill(-1);
}

void DesignRules::CopyFrom(const DesignRules& other) {
    if (&other == this) return;
    settings = other.settings;
    presets = other.presets;
    rules.DeleteAll();
    for (ListNode* n = other.rules.First(); n; n = other.rules.Next(n))
        rules.PushBack(new PartRule(*static_cast<PartRule*>(n)));
    weights = other.weights;
    buildTimeCap = other.buildTimeCap;
    weaponCriteria.DeleteAll();
    for (ListNode* n = other.weaponCriteria.First(); n; n = other.weaponCriteria.Next(n))
        AddWeaponKind(n->key);
}

void DesignRules::FromDesign(const VehicleDesign& design) {
    rules.DeleteAll();
    if (design.chassis) AddPartLetter(kChassisCategory, design.chassis->role, 1);
    if (design.drive) AddPartLetter(kDriveCategory, design.drive->role, 1);
    const int count = design.chassis ? design.chassis->hardpointCount : 0;
    for (int h = 0; h < count && h < VehicleDesign::kHardpoints; ++h) {
        const MountTemplate* m = design.hardpoints[h];
        if (!m) continue;
        int32_t category = kWeaponCategory;
        switch (m->GetMountKind()) {
            case MountKind::Weapon:
                category = kWeaponCategory;
                break;
            case MountKind::Defence:
                category = kDefenceCategory;
                break;
            case MountKind::Stealth:
                category = kStealthCategory;
                break;
            case MountKind::Sensor:
                category = kSensorCategory;
                break;
        }
        AddPartLetter(category, m->role, 1);
    }
    for (int i = 0; i < VehicleDesign::kParameters; ++i)
        presets[i] = design.parameters[i];
}

void DesignRules::SetPartFlags(int32_t category, uint32_t flags, int32_t polarity) {
    PartRule* rule = EntryFor(category, polarity);
    if (flags == 0)
        rule->flags = 0;
    else
        rule->flags |= flags;
}

void DesignRules::AddPartLetter(int32_t category, char letter, int32_t polarity) {
    PartRule* rule = EntryFor(category, polarity);
    rule->AddLetter(letter);
}

PartRule* DesignRules::EntryFor(int32_t category, int32_t polarity) {
    PartRule* rule = FindEntry(category, polarity);
    if (!rule) {
        rule = new PartRule(category, polarity);
        PartRule* pushed = rule;
        rules.PushFront(pushed);
    }
    return rule;
}

PartRule* DesignRules::FindEntry(int32_t category) const {
    for (ListNode* n = rules.First(); n; n = rules.Next(n))
        if (static_cast<PartRule*>(n)->category == category) return static_cast<PartRule*>(n);
    return nullptr;
}

PartRule* DesignRules::FindEntry(int32_t category, int32_t polarity) const {
    for (ListNode* n = rules.First(); n; n = rules.Next(n)) {
        PartRule* r = static_cast<PartRule*>(n);
        if (r->category == category && r->polarity == polarity) return r;
    }
    return nullptr;
}

void DesignRules::AddWeaponKind(int32_t n) {
    ListNode* node = new ListNode;
    node->key = n;
    weaponCriteria.PushBack(node);
}

void DesignRules::ApplyPresets(VehicleDesign& design) const {
    for (int i = 0; i < VehicleDesign::kParameters; ++i)
        if (presets[i] != -1) design.SetParameter(i, presets[i]);
}

bool DesignRules::AllowsDesign(const VehicleDesign& design) const {
    for (ListNode* n = rules.First(); n; n = rules.Next(n))
        if (!IsPartAllowed(design.chassis, static_cast<PartRule*>(n))) return false;
    return true;
}

bool DesignRules::IsPartAllowed(const ChassisTemplate* chassis, const PartRule* rule) const {
    if (!chassis) return false;
    if (chassis->role == 'g') return false;
    if (!rule) return true;
    if (rule->category == kChassisCategory) {
        if (rule->HasLetters()) return rule->LetterTest(chassis->role);
        const char r = chassis->role;
        if (!rule->FlagTest(kLetterG, r == 'g') || !rule->FlagTest(kLetterH, r == 'h') ||
            !rule->FlagTest(kLetterK, r == 'k') || !rule->FlagTest(kLetterF, r == 'f') ||
            !rule->FlagTest(kLetterT, r == 't'))
            return false;
        const bool deployable = chassis->IsDeployable() == 1;
        const int32_t code =
            deployable ? static_cast<const DeployingChassisTemplate*>(chassis)->structureCode : -1;
        for (int s = 0; s < 6; ++s)
            if (!rule->FlagTest(kStructureBits[s], deployable && code == s)) return false;
        if (buildTimeCap > 0 && buildTimeCap < chassis->buildTime) return false;
        return true;
    }
    if ((rule->category == kSensorCategory || rule->category == kStealthCategory ||
         rule->category == kDefenceCategory) &&
        rule->polarity == 1)
        return chassis->hardpointCount != 1;
    return true;
}

bool DesignRules::IsDriveAllowed(const PartTemplate* drive, const PartRule* rule) const {
    if (!rule || rule->category != kDriveCategory) return true;
    if (rule->HasLetters()) return rule->LetterTest(drive->role);
    if (!((rule->flags & kLayer1) && (rule->flags & kLayer2))) {
        if (!rule->FlagTest(kLayer1, drive->layer == 1) ||
            !rule->FlagTest(kLayer2, drive->layer == 2))
            return false;
    }
    if ((rule->flags & kNoTerrain1) && drive->terrainFlag1 == 1) return false;
    if ((rule->flags & kNoTerrain2) && drive->terrainFlag2 == 1) return false;
    return true;
}

bool DesignRules::IsWeaponAllowed(const WeaponTemplate* weapon, const PartRule* rule) const {
    if (!rule || rule->category != kWeaponCategory) return true;
    if (rule->HasLetters()) return rule->LetterTest(weapon->role);
    if (!rule->FlagTest(kShotLayer2, weapon->shotLayerField == 2)) return false;
    if ((rule->flags & kNoBigWeapons) && rule->polarity != 1 && weapon->mountSize > 2) return false;
    return true;
}

namespace {

bool ItemAllowed(const MountTemplate* item, const PartRule* rule, int32_t category) {
    if (!rule || rule->category != category) return true;
    if (rule->HasLetters()) return rule->LetterTest(item->role);
    return false;
}

}  // namespace

bool DesignRules::IsSensorItemAllowed(const MountTemplate* item, const PartRule* rule) const {
    return ItemAllowed(item, rule, kSensorCategory);
}

bool DesignRules::IsStealthItemAllowed(const MountTemplate* item, const PartRule* rule) const {
    return ItemAllowed(item, rule, kStealthCategory);
}

bool DesignRules::IsDefenceItemAllowed(const MountTemplate* item, const PartRule* rule) const {
    return ItemAllowed(item, rule, kDefenceCategory);
}

PartRule* DesignRules::LastRule() const {
    return static_cast<PartRule*>(rules.Last());
}

template <class Test>
bool DesignRules::PassesOtherRules(Test test) const {
    ListNode* last = rules.Last();
    for (ListNode* n = rules.Prev(last); n; n = rules.Prev(n))
        if (!test(static_cast<PartRule*>(n))) return false;
    return true;
}

VehicleDesign* DesignRules::BuildDesign(char clan) {
    VehicleDesign* design = new VehicleDesign(clan);
    if (!ChooseChassis(*design, clan) || !ChooseDrive(*design, clan)) {
        delete design;
        return nullptr;
    }
    FillItemHardpoints(
        *design, clan, SensorItemList, 2,
        [this](const MountTemplate* m, const PartRule* r) { return IsSensorItemAllowed(m, r); });
    FillItemHardpoints(
        *design, clan, StealthItemList, 3,
        [this](const MountTemplate* m, const PartRule* r) { return IsStealthItemAllowed(m, r); });
    FillItemHardpoints(
        *design, clan, DefenceItemList, 4,
        [this](const MountTemplate* m, const PartRule* r) { return IsDefenceItemAllowed(m, r); });
    FillWeaponHardpoints(*design, clan);
    ApplyPresets(*design);
    if (!design->complete) {
        delete design;
        return nullptr;
    }
    return design;
}

bool DesignRules::ChooseChassis(VehicleDesign& design, char clan) {
    const PartRule* last = LastRule();
    std::vector<ChassisTemplate*> candidates;
    for (ChassisTemplate* c : AvailableOf<ChassisTemplate>(ChassisList, clan))
        if (IsPartAllowed(c, last)) candidates.push_back(c);
    const PartRule* choice = FindEntry(kChassisCategory, 1);
    ChassisTemplate* chosen = nullptr;
    while (!chosen && !candidates.empty()) {
        ChassisTemplate* c = (choice && (choice->flags & kByScore)) ? PickChassis(candidates)
                                                                    : TakeRandom(candidates);
        if (candidates.size() == 1 ||
            PassesOtherRules([&](const PartRule* r) { return IsPartAllowed(c, r); }))
            chosen = c;
        else
            Drop(candidates, c);
    }
    if (!chosen) return false;
    return design.SetPrimaryPart(chosen) == 1;
}

bool DesignRules::ChooseDrive(VehicleDesign& design, char clan) {
    if (!design.chassis) return false;
    const int32_t pairing = design.chassis->pairing;
    const PartRule* last = LastRule();
    std::vector<PartTemplate*> pairing_drives;
    for (PartTemplate* d : AvailableOf<PartTemplate>(PartList, clan))
        if (d->pairing == pairing) pairing_drives.push_back(d);
    std::vector<PartTemplate*> candidates;
    for (PartTemplate* d : pairing_drives)
        if (IsDriveAllowed(d, last)) candidates.push_back(d);
    const PartRule* choice = FindEntry(kDriveCategory, 1);
    while (!candidates.empty()) {
        PartTemplate* d =
            (choice && (choice->flags & kByScore)) ? PickDrive(candidates) : TakeRandom(candidates);
        // The rules are asked first so that a refused drive is never left on the design.
        if (PassesOtherRules([&](const PartRule* r) { return IsDriveAllowed(d, r); }) &&
            design.SetSecondaryPart(d) == 1)
            return true;
        Drop(candidates, d);
    }
    // No drive passes the rules: any pairing drive will do.
    while (!pairing_drives.empty()) {
        PartTemplate* d = TakeRandom(pairing_drives);
        if (design.SetSecondaryPart(d) == 1) return true;
        Drop(pairing_drives, d);
    }
    return false;
}

template <class Test>
void DesignRules::FillItemHardpoints(VehicleDesign& design, char clan, const NodeList& list,
                                     int kind, Test test) {
    // A sensor or stealth item only sets its letter's flag on the unit: a second one of the same
    // letter does nothing but take a hardpoint from a weapon or a plate. So such an item is placed
    // once (and not at all when the design already carries its letter); defence items stack, each
    // quartering a matching hit again, and keep filling hardpoints.
    const bool oncePerLetter = kind != 4;
    const PartRule* last = LastRule();
    std::vector<MountTemplate*> candidates;
    for (MountTemplate* m : AvailableOf<MountTemplate>(list, clan))
        if (test(m, last) && !(oncePerLetter && CarriesItemLetter(design, *m)))
            candidates.push_back(m);
    while (!candidates.empty()) {
        MountTemplate* m = TakeRandom(candidates);
        const int h = FindFreeHardpoint(kind, m->mountSize, design);
        if (h < 0 || !PassesOtherRules([&](const PartRule* r) { return test(m, r); }) ||
            design.SetHardpoint(m, h) != 1)
            Drop(candidates, m);
        else if (oncePerLetter)
            std::erase_if(candidates, [m](const MountTemplate* c) { return c->role == m->role; });
    }
}

void DesignRules::FillKind2Hardpoints(VehicleDesign& design, char clan) {
    FillItemHardpoints(
        design, clan, SensorItemList, 2,
        [this](const MountTemplate* m, const PartRule* r) { return IsSensorItemAllowed(m, r); });
}

void DesignRules::FillWeaponHardpoints(VehicleDesign& design, char clan) {
    if (weaponCriteria.IsEmpty()) {
        for (int32_t c : {3, 1, 4, 2})
            AddWeaponKind(c);
    }
    auto randomCriterion = [this]() { return weaponCriteria.RandomElement()->key; };
    const PartRule* last = LastRule();
    std::vector<WeaponTemplate*> candidates;
    for (WeaponTemplate* w : AvailableOf<WeaponTemplate>(WeaponList, clan))
        if (IsWeaponAllowed(w, last)) candidates.push_back(w);
    int criterion = randomCriterion();
    bool flaggedPlaced = false;
    while (!candidates.empty()) {
        WeaponTemplate* w = PickWeapon(candidates, criterion);
        const int h = FindFreeHardpoint(5, w->mountSize, design);
        if (h < 0 || !PassesOtherRules([&](const PartRule* r) { return IsWeaponAllowed(w, r); }) ||
            (IsFlagged(w) && flaggedPlaced) || design.SetHardpoint(w, h) != 1) {
            Drop(candidates, w);
            continue;
        }
        if (IsFlagged(w)) flaggedPlaced = true;
        criterion = randomCriterion();
    }
    // Every hardpoint still empty takes a weapon that fills it exactly, rules or not.
    const ChassisTemplate* chassis = design.chassis;
    const int count = chassis ? chassis->hardpointCount : 0;
    for (int h = 0; h < count; ++h) {
        if (design.hardpoints[h]) continue;
        std::vector<WeaponTemplate*> exact;
        for (WeaponTemplate* w : AvailableOf<WeaponTemplate>(WeaponList, clan))
            if (w->mountSize == chassis->Capacity(h)) exact.push_back(w);
        if (WeaponTemplate* w = TakeRandom(exact)) design.SetHardpoint(w, h);
    }
}

int DesignRules::FindFreeHardpoint(int kind, int32_t size, const VehicleDesign& design) const {
    const ChassisTemplate* chassis = design.chassis;
    if (!chassis) return -1;
    const int count = std::min(chassis->hardpointCount, VehicleDesign::kHardpoints);
    int big = 0, free = 0, best = -1;
    for (int h = 0; h < count; ++h) {
        const MountTemplate* m = design.hardpoints[h];
        if (m) {
            if (m->GetMountKind() == MountKind::Weapon && m->mountSize >= 3) ++big;
            continue;
        }
        ++free;
        if (chassis->Capacity(h) >= size &&
            (best < 0 || chassis->Capacity(h) < chassis->Capacity(best)))
            best = h;
    }
    if (kind != 5) {
        // The last free hardpoint stays for a weapon.
        if (free == 1) return -1;
        if (free == 2 && best >= 0 && settings[1] != 6) {
            for (int h = 0; h < count; ++h) {
                if (design.hardpoints[h] || h == best) continue;
                if (chassis->Capacity(h) < chassis->Capacity(best)) return -1;
                break;
            }
        }
        return best;
    }
    if (size < 3) return best;
    return (big + 1) * 2 <= chassis->hardpointCount ? best : -1;
}

ChassisTemplate* DesignRules::PickChassis(const std::vector<ChassisTemplate*>& candidates) const {
    if (candidates.empty()) return nullptr;
    if (candidates.size() == 1) return candidates.front();
    double capacity = 0, strength = 0, first = 0, second = 0, time = 0;
    for (const ChassisTemplate* c : candidates) {
        capacity = std::max<double>(capacity, CapacitySum(c));
        strength = std::max<double>(strength, c->strength);
        first = std::max<double>(first, c->firstCost);
        second = std::max<double>(second, c->secondCost);
        time = std::max<double>(time, c->buildTime);
    }
    auto score = [&](const ChassisTemplate* c) {
        return weights[3] * Share(CapacitySum(c), capacity) +
               weights[4] * Share(c->strength, strength) - weights[0] * Share(c->firstCost, first) -
               weights[1] * Share(c->secondCost, second) - weights[2] * Share(c->buildTime, time);
    };
    return HighestScoring(candidates, score);
}

PartTemplate* DesignRules::PickDrive(const std::vector<PartTemplate*>& candidates) const {
    if (candidates.empty()) return nullptr;
    if (candidates.size() == 1) return candidates.front();
    double driveClass = 0, delay = 0, first = 0, second = 0, time = 0;
    for (const PartTemplate* d : candidates) {
        driveClass = std::max<double>(driveClass, DriveClass(d));
        delay = std::max<double>(delay, SpeedAdjusted(d->moveValue));
        first = std::max<double>(first, d->firstCost);
        second = std::max<double>(second, d->secondCost);
        time = std::max<double>(time, d->buildTime);
    }
    auto score = [&](const PartTemplate* d) {
        return weights[6] * Share(DriveClass(d), driveClass) -
               weights[5] * Share(SpeedAdjusted(d->moveValue), delay) -
               weights[0] * Share(d->firstCost, first) - weights[1] * Share(d->secondCost, second) -
               weights[2] * Share(d->buildTime, time);
    };
    return HighestScoring(candidates, score);
}

WeaponTemplate* DesignRules::PickWeapon(const std::vector<WeaponTemplate*>& candidates,
                                        int criterion) const {
    if (candidates.empty()) return nullptr;
    auto value = [criterion](const WeaponTemplate* w) -> int64_t {
        switch (criterion) {
            case 1:
                return w->GetFirePower();
            case 2:
                return static_cast<int64_t>(w->GetFirePower()) * 1000 /
                       std::max(1, w->GetReloadTime());
            case 3:
                return w->GetRange();
            case 4:
                return -static_cast<int64_t>(w->GetTravelDelay());
            default:
                return 0;
        }
    };
    int64_t greatest = INT64_MIN;
    for (const WeaponTemplate* w : candidates)
        greatest = std::max(greatest, value(w));
    std::vector<WeaponTemplate*> top;
    for (WeaponTemplate* w : candidates)
        if (value(w) == greatest) top.push_back(w);
    return TakeRandom(top);
}
