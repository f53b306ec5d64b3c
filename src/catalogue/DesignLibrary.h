#pragma once
// The player's vehicle designs: the list of designs, the named design groups, the design under
// edit (or the factory fit read from the file) and the design the screens selected; stored per
// clan in a text design file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/NodeList.h"

class DesignGroup;
class ResourceFile;
class VehicleDesign;

class DesignLibrary {
public:
    static constexpr int kLineSize = 256;
    // The one bound of a library: a file larger than this is damaged, and a library whose text
    // would not fit in it is not written. No count of designs or groups is bounded otherwise,
    // so that everything the writer writes, the reader reads.
    static constexpr int32_t kMaxFileBytes = 1024 * 1024;

    DesignLibrary();
    DesignLibrary(const DesignLibrary&) = delete;
    DesignLibrary& operator=(const DesignLibrary&) = delete;
    virtual ~DesignLibrary();

    void Clear();
    // Reads a design file relative to the asset directory: 1 when read, 0 when it does not
    // exist, cannot be read or is damaged (unreadable and damaged then say which). A damaged
    // file is refused as a whole and changes nothing: its structure is broken (a design line
    // shorter than a code or not printable, a '*' missing, a member index that names no design,
    // a line the reader would cut) or it is larger than kMaxFileBytes. Something in its place
    // that gives no bytes (FileBytes) is unreadable, never damaged. Unknown part letters are
    // not damage. An empty file is an empty library.
    int Load(const char* name);
    // Reads a design file's bytes from memory, as Load reads the file.
    int LoadFromBytes(const void* data, size_t size);
    // Writes the design file to the path; 0 for an empty library, a library whose file would
    // be larger than kMaxFileBytes or a file that cannot be written (nothing is written then).
    // Designs still at their defaults are deleted instead of written.
    int Save(const char* path);
    // The text Save writes, built the same way (designs still at their defaults are deleted).
    std::string SavedText();
    // The same text without deleting anything (designs at their defaults are left out): what
    // a save would write now, to tell whether the library changed since it was read.
    std::string Listing() const;

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
    // 1 when the last Load refused its file as damaged; fault then names the file and why.
    int32_t damaged = 0;
    // 1 when the last Load found something in the file's place that gives no bytes; fault then
    // names the file.
    int32_t unreadable = 0;
    std::string fault;

private:
    int Read(const char* data, size_t size);
    void ReadHardpointLine(const char* line);
    // Deletes the current design unless the design list owns it.
    void DropCurrent();
};
