#pragma once
// The player's vehicle designs: the list of designs, the named design groups, the design under
// edit (or the factory fit read from the file) and the design the screens selected; stored per
// clan in a text design file.
#include <cstddef>
#include <string>

#include "core/NodeList.h"

class DesignGroup;
class ResourceFile;
class VehicleDesign;

class DesignLibrary {
public:
    static constexpr int kLineSize = 256;

    DesignLibrary();
    DesignLibrary(const DesignLibrary&) = delete;
    DesignLibrary& operator=(const DesignLibrary&) = delete;
    virtual ~DesignLibrary();

    void Clear();
    // Reads a design file relative to the asset directory; 0 when it does not exist.
    int Load(const char* name);
    // Reads a design file's bytes from memory, as Load reads the file; 0 when they cannot be
    // opened.
    int LoadFromBytes(const void* data, size_t size);
    // Writes the design file to the path; 0 for an empty library or a file that cannot be
    // written. Designs still at their defaults are deleted instead of written.
    int Save(const char* path);
    // The text Save writes, built the same way (designs still at their defaults are deleted).
    std::string SavedText();

    VehicleDesign* AddDesign(char clan);
    void AppendDesign(VehicleDesign* design);
    VehicleDesign* FirstAvailable() const;
    VehicleDesign* NextAvailable(const VehicleDesign* design) const;
    VehicleDesign* PrevAvailable(const VehicleDesign* design) const;
    VehicleDesign* AvailableAt(int i) const;
    int IndexOfAvailable(const VehicleDesign* design) const;
    int CountAvailable() const;

    DesignGroup* FirstGroup() const;
    DesignGroup* NextGroup(const DesignGroup* group) const;
    DesignGroup* GroupAt(int i) const;
    int IndexOfGroup(const DesignGroup* group) const;

    int UnlinkDesign(VehicleDesign* design);
    void DeleteDesign(VehicleDesign* design);
    DesignGroup* AddGroup();
    void DeleteGroup(DesignGroup* group);

    void StoreCurrent();
    void UnlistCurrent();
    void EditIntoCurrent(const VehicleDesign* design);

    NodeList designs;
    NodeList groups;
    VehicleDesign* current = nullptr;   // owned, unless it stands in the design list
    VehicleDesign* selected = nullptr;  // not owned

private:
    int Read(ResourceFile& file);
    void ReadHardpointLine(const char* line);
    // Deletes the current design unless the design list owns it.
    void DropCurrent();
};
