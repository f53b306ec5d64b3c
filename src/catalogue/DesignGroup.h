#pragma once
// A named group of designs of the library, offered by the design and battle screens. The
// members refer to designs the library owns.
#include "core/ListNode.h"
#include "core/NodeList.h"

class PtrNode;
class VehicleDesign;

class DesignGroup : public ListNode {
public:
    static constexpr int kNameSize = 128;
    static constexpr int kDefaultNameLine = 265;

    // Named with the default group name.
    DesignGroup();
    ~DesignGroup() override;

    // Copies at most 127 characters.
    void SetName(const char* text);
    void Add(VehicleDesign* design);
    // In front of the given member node (appends when it is not a member of this group).
    void Insert(VehicleDesign* design, PtrNode* before);
    // In front of the index-th available member; an index past the available members appends.
    void Insert(VehicleDesign* design, int index);
    // Deletes every member node that refers to the design.
    void Remove(VehicleDesign* design);
    // Deletes the i-th member node; nothing when there is none.
    void RemoveAt(int i);
    // Deletes the member node of the i-th available member, counted as AvailableAt counts;
    // nothing when there is none.
    void RemoveAvailableAt(int i);
    // A name the design file can read back: not empty, and not starting with the end mark
    // '*' or the comment mark '#'.
    static bool IsStorableName(const char* text);

    PtrNode* FirstAvailable() const;
    PtrNode* NextAvailable(const PtrNode* node) const;
    VehicleDesign* AvailableAt(int i) const;
    int CountAvailable() const;

    static VehicleDesign* DesignOf(const PtrNode* node);

    char name[kNameSize] = {};
    NodeList members;
};

// A design counts as available while its clan's tech level reaches its required level.
bool IsDesignAvailable(const VehicleDesign& design);
