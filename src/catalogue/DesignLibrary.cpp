#include "catalogue/DesignLibrary.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "catalogue/BuildingTemplate.h"
#include "catalogue/CatalogueServices.h"
#include "catalogue/DesignGroup.h"
#include "catalogue/MountTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "core/AtomicWriter.h"
#include "core/FileBytes.h"
#include "core/PtrNode.h"

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
    const std::string text = SavedText();
    // The reader refuses a file beyond its bound: such a library is not written at all, so the
    // file saved last time stays and is read again.
    if (text.size() + 1 > static_cast<size_t>(kMaxFileBytes)) return 0;
    // A failed write leaves the designs saved last time as they were.
    AtomicWriter file(path, 1);
    if (!file.IsOpen()) return 0;
    // WriteLine adds the final line end.
    if (file.WriteLine(text.c_str()) != 0) return 0;
    return file.Commit();
}

std::string DesignLibrary::SavedText() {
    // Designs still at their defaults leave the library (and their groups) as they are saved:
    // DeleteDesign for each, in one pass over the groups however many there are.
    std::unordered_set<const VehicleDesign*> gone;
    for (ListNode* n = designs.First(); n; n = designs.Next(n))
        if (static_cast<VehicleDesign*>(n)->IsDefault())
            gone.insert(static_cast<VehicleDesign*>(n));
    if (gone.empty()) return Listing();
    for (DesignGroup* g = FirstGroup(); g; g = NextGroup(g)) {
        ListNode* m = g->members.First();
        while (m) {
            ListNode* next = g->members.Next(m);
            if (gone.count(DesignGroup::DesignOf(static_cast<PtrNode*>(m)))) delete m;
            m = next;
        }
    }
    ListNode* n = designs.First();
    while (n) {
        ListNode* next = designs.Next(n);
        auto* design = static_cast<VehicleDesign*>(n);
        if (gone.count(design)) {
            if (selected == design) selected = nullptr;
            if (current == design) current = nullptr;
            delete design;
        }
        n = next;
    }
    return Listing();
}

std::string DesignLibrary::Listing() const {
    std::string text = "# vehicle design strings\n";
    // Each written design's index among the designs written, for the group members (looked up
    // only, never walked).
    std::unordered_map<const VehicleDesign*, int> written;
    int count = 0;
    for (ListNode* n = designs.First(); n; n = designs.Next(n))
        if (!static_cast<VehicleDesign*>(n)->IsDefault())
            written.emplace(static_cast<VehicleDesign*>(n), count++);
    // Last to first, so that the reader, pushing each design at the front, rebuilds the order.
    for (ListNode* n = designs.Last(); n; n = designs.Prev(n)) {
        VehicleDesign* design = static_cast<VehicleDesign*>(n);
        if (design->IsDefault()) continue;
        text += design->CodeString();
        text += '\n';
    }
    text += "*\n";
    for (DesignGroup* g = FirstGroup(); g; g = NextGroup(g)) {
        text += g->name;
        text += '\n';
        for (ListNode* m = g->members.First(); m; m = g->members.Next(m)) {
            VehicleDesign* design = DesignGroup::DesignOf(static_cast<PtrNode*>(m));
            if (!design || !IsDesignAvailable(*design)) continue;
            const auto index = written.find(design);
            if (index == written.end()) continue;
            text += std::to_string(index->second);
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
    damaged = 0;
    unreadable = 0;
    fault.clear();
    if (!name) return 0;
    // Nothing there is a missing library; something there that gives no bytes (a FIFO, a
    // directory, a file that cannot be read) is an unreadable one, which may hold every design
    // whole: it is never called damaged.
    const FileBytes file = FileBytes::Of(name, kMaxFileBytes);
    if (file.Unreadable()) {
        unreadable = 1;
        fault = file.fault;
    }
    if (file.outcome != FileBytes::Outcome::Read) return 0;
    if (file.size > kMaxFileBytes) {
        damaged = 1;
        fault = file.path + ": larger than a design library can be";
        return 0;
    }
    if (!Read(file.bytes.data(), file.bytes.size())) {
        fault = file.path + ": " + fault;
        return 0;
    }
    return 1;
}

int DesignLibrary::LoadFromBytes(const void* data, size_t size) {
    damaged = 0;
    unreadable = 0;
    fault.clear();
    if (size > static_cast<size_t>(kMaxFileBytes)) {
        damaged = 1;
        fault = "larger than a design library can be";
        return 0;
    }
    return Read(static_cast<const char*>(data), size);
}

namespace {

// The file's data lines as the resource-file reader gives them: ended by CR, LF or CR LF,
// lines beginning with '#' skipped, an empty line ending the text. A line that the reader
// would cut (longer than the line buffer) or that holds anything but printable characters is
// damage, as is a text without the closing stars.
struct ParsedLibrary {
    struct Group {
        std::string name;
        std::vector<int> members;
    };
    std::vector<std::string> designs;
    std::vector<Group> groups;
    std::string hardpoints;
};

bool Printable(const std::string& line) {
    for (const char c : line)
        if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126) return false;
    return true;
}

std::vector<std::string> DataLines(const char* data, size_t size, int maxLength, bool& tooLong) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < size) {
        size_t end = at;
        while (end < size && data[end] != '\n' && data[end] != '\r')
            ++end;
        std::string line(data + at, end - at);
        at = end + 1;
        if (end + 1 < size && data[end] == '\r' && data[end + 1] == '\n') ++at;
        if (!line.empty() && line[0] == '#') continue;
        if (line.empty()) break;
        if (static_cast<int>(line.size()) > maxLength) tooLong = true;
        lines.push_back(std::move(line));
    }
    return lines;
}

// The member line as the format writes it: a number and nothing else.
bool MemberIndex(const std::string& line, int designs, int& index) {
    if (line.empty() || line.size() > 9) return false;
    index = 0;
    for (const char c : line) {
        if (c < '0' || c > '9') return false;
        index = index * 10 + (c - '0');
    }
    return index < designs;
}

// "" when the lines are a whole library; else what is wrong.
const char* Parse(const std::vector<std::string>& lines, ParsedLibrary& out) {
    size_t i = 0;
    for (; i < lines.size() && lines[i][0] != '*'; ++i) {
        if (!Printable(lines[i]) || lines[i].size() < VehicleDesign::kCodeLength)
            return "a design line is not a design";
        out.designs.push_back(lines[i]);
    }
    if (i++ == lines.size()) return "the designs are not closed by '*'";
    const int count = static_cast<int>(out.designs.size());
    while (true) {
        if (i == lines.size()) return "the groups are not closed by '*'";
        if (lines[i][0] == '*') {
            ++i;
            break;
        }
        if (!Printable(lines[i])) return "a group name is not text";
        ParsedLibrary::Group group;
        group.name = lines[i++];
        for (;; ++i) {
            if (i == lines.size()) return "a group is not closed by '*'";
            if (lines[i][0] == '*') break;
            int index = 0;
            if (!MemberIndex(lines[i], count, index)) return "a group member names no design";
            group.members.push_back(index);
        }
        ++i;
        out.groups.push_back(std::move(group));
    }
    if (i < lines.size() && lines[i][0] != '*') {
        if (!Printable(lines[i])) return "the hardpoint line is not text";
        out.hardpoints = lines[i];
    }
    return "";
}

}  // namespace

int DesignLibrary::Read(const char* data, size_t size) {
    // A byte order mark, as an editor may put first, is no damage (as in the other text files).
    if (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) {
        data += 3;
        size -= 3;
    }
    bool tooLong = false;
    const std::vector<std::string> lines = DataLines(data, size, kLineSize - 1, tooLong);
    // An empty file (or one of comments only) is an empty library.
    if (lines.empty()) return 1;
    ParsedLibrary parsed;
    const char* why = tooLong ? "a line is too long" : Parse(lines, parsed);
    if (*why) {
        // Refused as a whole: the library stays as it was.
        damaged = 1;
        fault = why;
        return 0;
    }
    for (const std::string& line : parsed.designs) {
        VehicleDesign* design = new VehicleDesign(line.c_str());
        designs.PushFront(design);
    }
    // The designs by list index, so that members of any number find theirs at once.
    std::vector<VehicleDesign*> byIndex;
    byIndex.reserve(parsed.designs.size());
    for (ListNode* n = designs.First(); n && byIndex.size() < parsed.designs.size();
         n = designs.Next(n))
        byIndex.push_back(static_cast<VehicleDesign*>(n));
    for (const ParsedLibrary::Group& g : parsed.groups) {
        DesignGroup* group = AddGroup();
        group->SetName(g.name.c_str());
        for (const int index : g.members)
            group->Add(byIndex[static_cast<size_t>(index)]);
    }
    if (!parsed.hardpoints.empty()) ReadHardpointLine(parsed.hardpoints.c_str());
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
