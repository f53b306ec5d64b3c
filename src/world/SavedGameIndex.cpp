#include "world/SavedGameIndex.h"

#include <cstdio>
#include <cstring>

#include "core/AtomicWriter.h"
#include "core/ResourceFile.h"

SavedGameEntry::SavedGameEntry(const char* fileName, const char* title) {
    SetFileName(fileName);
    SetTitle(title);
}

SavedGameIndex::SavedGameIndex() {
    Load();
}

SavedGameIndex::~SavedGameIndex() = default;

std::string SavedGameIndex::CleanTitle(const char* title) {
    std::string clean;
    if (!title) return clean;
    for (const char* p = title; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c >= 32 && c < 127) clean += static_cast<char>(c);
    }
    const size_t first = clean.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    clean.erase(0, first);
    // '#' at the start would make the reader skip the line and pair the wrong lines.
    while (!clean.empty() && (clean[0] == '#' || clean[0] == ' '))
        clean.erase(0, 1);
    if (clean.size() > kMaxTitle) clean.resize(kMaxTitle);
    while (!clean.empty() && clean.back() == ' ')
        clean.pop_back();
    return clean;
}

int SavedGameIndex::IsSavedGameName(const char* name) {
    if (!name) return 0;
    int number = 0;
    int digits = 0;
    const char* p = name;
    while (*p >= '0' && *p <= '9' && digits < 4) {
        number = number * 10 + (*p - '0');
        ++digits;
        ++p;
    }
    if (digits == 0 || number >= kNames || std::strcmp(p, ".scn") != 0) return 0;
    // "%d" never writes a leading zero.
    return digits == 1 || name[0] != '0' ? 1 : 0;
}

void SavedGameIndex::Load() {
    entries.DeleteAll();
    ResourceFile file;
    if (!file.Open(kIndexFile, ResourceFile::OpenMode::ReadBinary)) return;
    char name[kLineSize];
    char title[kLineSize];
    while (file.ReadDataLine(kLineSize, name) > 0) {
        // A name without its title line ends the index.
        if (file.ReadDataLine(kLineSize, title) <= 0) break;
        const std::string clean = CleanTitle(title);
        if (!IsSavedGameName(name) || clean.empty() || FindByFile(name)) continue;
        entries.PushBack(new SavedGameEntry(name, clean.c_str()));
    }
}

int SavedGameIndex::Save() {
    AtomicWriter file(kIndexFile);
    if (!file.IsOpen()) return 0;
    for (ListNode* n = entries.First(); n; n = entries.Next(n)) {
        auto* entry = static_cast<SavedGameEntry*>(n);
        if (file.WriteLine(entry->FileName()) != 0 || file.WriteLine(entry->Title()) != 0) return 0;
    }
    return file.Commit();
}

SavedGameEntry* SavedGameIndex::FindByTitle(const char* title) {
    if (!title) return nullptr;
    for (ListNode* n = entries.First(); n; n = entries.Next(n)) {
        auto* entry = static_cast<SavedGameEntry*>(n);
        if (std::strcmp(entry->Title(), title) == 0) return entry;
    }
    return nullptr;
}

SavedGameEntry* SavedGameIndex::FindByFile(const char* name) {
    if (!name) return nullptr;
    for (ListNode* n = entries.First(); n; n = entries.Next(n)) {
        auto* entry = static_cast<SavedGameEntry*>(n);
        if (std::strcmp(entry->FileName(), name) == 0) return entry;
    }
    return nullptr;
}

SavedGameEntry* SavedGameIndex::FindOrCreate(const char* title) {
    const std::string clean = CleanTitle(title);
    if (clean.empty()) return nullptr;
    if (SavedGameEntry* entry = FindByTitle(clean.c_str())) return entry;
    char name[16];
    if (!FreeFileName(name, sizeof name)) return nullptr;
    auto* entry = new SavedGameEntry(name, clean.c_str());
    entries.PushBack(entry);
    if (!Save()) {
        delete entry;
        return nullptr;
    }
    return entry;
}

int SavedGameIndex::FreeFileName(char* buffer, int size) {
    ResourceFile file;
    for (int n = 0; n < kNames; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "%d.scn", n);
        // A name the index holds is taken even while its file is missing.
        if (file.Exists(name) || FindByFile(name)) continue;
        std::snprintf(buffer, static_cast<size_t>(size), "%s", name);
        return 1;
    }
    return 0;
}

void SavedGameIndex::Remove(int index) {
    if (SavedGameEntry* entry = At(index)) {
        ResourceFile file;
        if (IsSavedGameName(entry->FileName())) file.Delete(entry->FileName());
        delete entry;
    }
    Save();
}

void SavedGameIndex::Forget(SavedGameEntry* entry) {
    for (ListNode* n = entries.First(); n; n = entries.Next(n)) {
        if (n != entry) continue;
        delete entry;
        Save();
        return;
    }
}

SavedGameEntry* SavedGameIndex::At(int index) const {
    if (index < 0) return nullptr;
    return static_cast<SavedGameEntry*>(entries.At(index));
}
