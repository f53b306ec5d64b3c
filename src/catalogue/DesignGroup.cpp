#include "catalogue/DesignGroup.h"

#include <cstdio>

#include "catalogue/CatalogueServices.h"
#include "catalogue/VehicleDesign.h"
#include "core/PtrNode.h"
#include "core/StringTable.h"

bool IsDesignAvailable(const VehicleDesign& design) {
    return Services().ClanTechLevel(design.clan) >= design.requiredLevel;
}

DesignGroup::DesignGroup() {
    SetName(GetString(kDefaultNameLine));
}

DesignGroup::~DesignGroup() = default;

void DesignGroup::SetName(const char* text) {
    std::snprintf(name, sizeof name, "%s", text ? text : "");
}

VehicleDesign* DesignGroup::DesignOf(const PtrNode* node) {
    return node ? static_cast<VehicleDesign*>(node->Object()) : nullptr;
}

void DesignGroup::Add(VehicleDesign* design) {
    PtrNode* node = new PtrNode;
    node->Set(design);
    members.PushBack(node);
}

void DesignGroup::Insert(VehicleDesign* design, PtrNode* before) {
    if (!before || members.IndexOf(before) < 0) {
        Add(design);
        return;
    }
    PtrNode* node = new PtrNode;
    node->Set(design);
    ListNode* previous = members.Prev(before);
    if (previous) {
        node->InsertAfter(previous);
    } else {
        members.PushFront(node);
    }
}

void DesignGroup::Insert(VehicleDesign* design, int index) {
    PtrNode* at = nullptr;
    if (index >= 0) {
        int i = 0;
        for (PtrNode* n = FirstAvailable(); n; n = NextAvailable(n), ++i) {
            if (i == index) {
                at = n;
                break;
            }
        }
    } else {
        at = FirstAvailable();
    }
    Insert(design, at);
}

void DesignGroup::Remove(VehicleDesign* design) {
    ListNode* n = members.First();
    while (n) {
        ListNode* next = members.Next(n);
        if (DesignOf(static_cast<PtrNode*>(n)) == design) delete n;
        n = next;
    }
}

void DesignGroup::RemoveAt(int i) {
    delete members.At(i);
}

void DesignGroup::RemoveAvailableAt(int i) {
    if (i < 0) return;
    for (PtrNode* n = FirstAvailable(); n; n = NextAvailable(n)) {
        if (i-- == 0) {
            delete n;
            return;
        }
    }
}

bool DesignGroup::IsStorableName(const char* text) {
    return text && text[0] != 0 && text[0] != '*' && text[0] != '#';
}

PtrNode* DesignGroup::FirstAvailable() const {
    for (ListNode* n = members.First(); n; n = members.Next(n)) {
        const VehicleDesign* d = DesignOf(static_cast<PtrNode*>(n));
        if (d && IsDesignAvailable(*d)) return static_cast<PtrNode*>(n);
    }
    return nullptr;
}

PtrNode* DesignGroup::NextAvailable(const PtrNode* node) const {
    for (ListNode* n = members.Next(node); n; n = members.Next(n)) {
        const VehicleDesign* d = DesignOf(static_cast<PtrNode*>(n));
        if (d && IsDesignAvailable(*d)) return static_cast<PtrNode*>(n);
    }
    return nullptr;
}

VehicleDesign* DesignGroup::AvailableAt(int i) const {
    if (i < 0) return nullptr;
    for (PtrNode* n = FirstAvailable(); n; n = NextAvailable(n))
        if (i-- == 0) return DesignOf(n);
    return nullptr;
}

int DesignGroup::CountAvailable() const {
    int count = 0;
    for (PtrNode* n = FirstAvailable(); n; n = NextAvailable(n))
        ++count;
    return count;
}
