#include "catalogue/DesignLibrary.h"

#include <cstdio>
#include <string>

#include "catalogue/BuildingTemplate.h"
#include "catalogue/CatalogueServices.h"
#include "catalogue/DesignGroup.h"
#include "catalogue/MountTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/TextScan.h"
#include "catalogue/VehicleDesign.h"
#include "core/AtomicWriter.h"
#include "core/PtrNode.h"
#include "core/ResourceFile.h"

DesignLibrary::DesignLibrary() = default;

DesignLibrary::~DesignLibrary() {
    DropCurrent();
}

void DesignLibrary::DropCurrent() {
    // After StoreCurrent the current design also stands in the list, which then owns it.
    if (current && !current->IsLinked()) delete current;
    current = nullptr;
}

void DesignLibrary::Clear() {
    DropCurrent();
    selected = nullptr;
    designs.DeleteAll();
    groups.DeleteAll();
}

VehicleDesign* DesignLibrary::AddDesign(char clan) {
    VehicleDesign* design = new VehicleDesign(clan);
    designs.PushBack(design);
    return design;
}

void DesignLibrary::AppendDesign(VehicleDesign* design) {
    if (design) designs.PushBack(design);
}

VehicleDesign* DesignLibrary::FirstAvailable() const {
    for (ListNode* n = designs.First(); n; n = designs.Next(n))
        if (IsDesignAvailable(*static_cast<VehicleDesign*>(n)))
            return static_cast<VehicleDesign*>(n);
    return nullptr;
}

VehicleDesign* DesignLibrary::NextAvailable(const VehicleDesign* design) const {
    for (ListNode* n = designs.Next(design); n; n = designs.Next(n))
        if (IsDesignAvailable(*static_cast<VehicleDesign*>(n)))
            return static_cast<VehicleDesign*>(n);
    return nullptr;
}

VehicleDesign* DesignLibrary::PrevAvailable(const VehicleDesign* design) const {
    for (ListNode* n = designs.Prev(design); n; n = designs.Prev(n))
        if (IsDesignAvailable(*static_cast<VehicleDesign*>(n)))
            return static_cast<VehicleDesign*>(n);
    return nullptr;
}

VehicleDesign* DesignLibrary::AvailableAt(int i) const {
    if (i < 0) return nullptr;
    for (VehicleDesign* d = FirstAvailable(); d; d = NextAvailable(d))
        if (i-- == 0) return d;
    return nullptr;
}

int DesignLibrary::IndexOfAvailable(const VehicleDesign* design) const {
    int i = 0;
    for (VehicleDesign* d = FirstAvailable(); d; d = NextAvailable(d), ++i)
        if (d == design) return i;
    return -1;
}

int DesignLibrary::CountAvailable() const {
    int count = 0;
    for (VehicleDesign* d = FirstAvailable(); d; d = NextAvailable(d))
        ++count;
    return count;
}

DesignGroup* DesignLibrary::FirstGroup() const {
    return static_cast<DesignGroup*>(groups.First());
}

DesignGroup* DesignLibrary::NextGroup(const DesignGroup* group) const {
    return static_cast<DesignGroup*>(groups.Next(group));
}

DesignGroup* DesignLibrary::GroupAt(int i) const {
    return static_cast<DesignGroup*>(groups.At(i));
}

int DesignLibrary::IndexOfGroup(const DesignGroup* group) const {
    return groups.IndexOf(group);
}

int DesignLibrary::UnlinkDesign(VehicleDesign* design) {
    const int index = designs.IndexOf(design);
    if (index < 0) return -1;
    if (selected == design) selected = nullptr;
    design->Unlink();
    return index;
}

void DesignLibrary::DeleteDesign(VehicleDesign* design) {
    if (!design) return;
    for (DesignGroup* g = FirstGroup(); g; g = NextGroup(g))
        g->Remove(design);
    if (selected == design) selected = nullptr;
    // Deleting the current design must not leave the library pointing at it.
    if (current == design) current = nullptr;
    delete design;
}

DesignGroup* DesignLibrary::AddGroup() {
    DesignGroup* group = new DesignGroup;
    groups.PushBack(group);
    return group;
}

void DesignLibrary::DeleteGroup(DesignGroup* group) {
    if (group && groups.IndexOf(group) >= 0) delete group;
}

void DesignLibrary::StoreCurrent() {
    if (!current) return;
    designs.PushBack(current);
    current->DropPartsAboveLevel(Services().ClanTechLevel(current->clan));
}

void DesignLibrary::UnlistCurrent() {
    if (current) UnlinkDesign(current);
}

void DesignLibrary::EditIntoCurrent(const VehicleDesign* design) {
    if (!design) return;
    if (!current) current = new VehicleDesign(design->clan);
    current->CopyFrom(*design);
}

int DesignLibrary::Save(const char* path) {
    if (designs.IsEmpty() || !path) return 0;
    // A failed write leaves the designs saved last time as they were.
    AtomicWriter file(path, 1);
    if (!file.IsOpen()) return 0;
    // WriteLine adds the final line end.
    if (file.WriteLine(SavedText().c_str()) != 0) return 0;
    return file.Commit();
}

std::string DesignLibrary::SavedText() {
    std::string text = "# vehicle design strings\n";
    // Last to first, so that the reader, pushing each design at the front, rebuilds the order.
    ListNode* n = designs.Last();
    while (n) {
        ListNode* previous = designs.Prev(n);
        VehicleDesign* design = static_cast<VehicleDesign*>(n);
        if (design->IsDefault()) {
            DeleteDesign(design);
        } else {
            text += design->CodeString();
            text += '\n';
        }
        n = previous;
    }
    text += "*\n";
    for (DesignGroup* g = FirstGroup(); g; g = NextGroup(g)) {
        text += g->name;
        text += '\n';
        for (ListNode* m = g->members.First(); m; m = g->members.Next(m)) {
            VehicleDesign* design = DesignGroup::DesignOf(static_cast<PtrNode*>(m));
            if (!design || !IsDesignAvailable(*design) || design->IsDefault()) continue;
            const int index = designs.IndexOf(design);
            if (index < 0) continue;
            text += std::to_string(index);
            text += '\n';
        }
        text += "*\n";
    }
    text += "*\n";
    if (current) {
        for (const MountTemplate* m : current->hardpoints) {
            text += m ? m->role : '-';
            text += ' ';
        }
    }
    text += "\n*";
    return text;
}

int DesignLibrary::Load(const char* name) {
    ResourceFile file;
    if (!name || !file.Open(name, 1, 1)) return 0;
    return Read(file);
}

int DesignLibrary::LoadFromBytes(const void* data, size_t size) {
    ResourceFile file;
    if (!file.OpenBytes(data, size)) return 0;
    return Read(file);
}

int DesignLibrary::Read(ResourceFile& file) {
    char line[kLineSize];
    auto next = [&]() { return file.ReadDataLine(kLineSize, line) > 0; };

    while (next() && line[0] != '*') {
        VehicleDesign* design = new VehicleDesign(line);
        designs.PushFront(design);
    }
    while (next() && line[0] != '*') {
        DesignGroup* group = AddGroup();
        group->SetName(line);
        while (next() && line[0] != '*') {
            int32_t index = -1;
            ScanFields(line, "%d", {&index});
            if (ListNode* design = designs.At(index))
                group->Add(static_cast<VehicleDesign*>(design));
        }
    }
    if (next() && line[0] != '*') ReadHardpointLine(line);
    return 1;
}

void DesignLibrary::ReadHardpointLine(const char* line) {
    const char clan = Services().PlayerClan();
    DropCurrent();
    current = new VehicleDesign(clan);
    if (BuildingTemplate* building = FindBuildingTemplate(clan)) {
        current->SetPrimaryPart(building->chassis.get());
        current->SetSecondaryPart(building->part);
    }
    VehicleDesign* factory = Services().LocalFactoryDesign();

    const char* p = line;
    for (int i = 0; i < VehicleDesign::kHardpoints && *p; ++i) {
        while (*p == ' ' || *p == '\t')
            ++p;
        if (!*p) break;
        const char letter = *p;
        while (*p && *p != ' ' && *p != '\t')
            ++p;
        if (letter == '-') continue;
        MountTemplate* part = FindHardpointTemplate(clan, letter);
        if (!part) continue;
        current->SetHardpoint(part, i);
        if (factory) factory->SetHardpoint(part, i);
    }
    if (factory) Services().FactoryDesignChanged();
}
