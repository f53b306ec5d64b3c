#include "world/SavedGameIndex.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "core/AtomicWriter.h"
#include "core/FileBytes.h"
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
    damaged = false;
    unreadable = false;
    damageTold = false;
    ReadIndex();
    // Any index may lack the entry of a game still on disk: lost between a replacement's
    // steps, by hand, or never written (saved while the index could not be read). The player
    // finds it under its file name rather than not at all, and the next save keeps it.
    ListUnnamedGames();
}

int SavedGameIndex::TakeDamageNotice() {
    if ((!damaged && !unreadable) || damageTold) return 0;
    damageTold = true;
    return 1;
}

// The index's name is read as every kept file's is (FileBytes). An unreadable index is never
// written over nor moved aside: the games on disk are listed by file name and a new save by
// its title for this run, and the player is told the index is kept. A delete is refused: the
// index could still name the game.
void SavedGameIndex::ReadIndex() {
    FileBytes file = FileBytes::Of(kIndexFile, kMaxIndexBytes);
    unreadable = file.Unreadable();
    if (file.outcome != FileBytes::Outcome::Read || file.size <= 0) return;
    // Beyond its bound an index is damaged; the pairs within the bound still count.
    std::string bytes = std::move(file.bytes);
    damaged = file.size > kMaxIndexBytes;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    // The writer ends every line with a line feed: without one the last line was cut.
    if (!bytes.empty() && bytes.back() != '\n') damaged = true;
    // Lines are paired as written, whatever they begin with: a line the data-line reader would
    // skip ('#') or stop at (empty) must not shift the pairs or hide the rest.
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", at);
        if (end == std::string::npos) end = bytes.size();
        if (end - at > kLineSize - 1) damaged = true;
        lines.push_back(bytes.substr(at, std::min<size_t>(end - at, kLineSize - 1)));
        at = end + 1;
        if (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n') ++at;
    }
    if (lines.size() % 2 != 0) damaged = true;
    for (size_t i = 0; i + 1 < lines.size(); i += 2) {
        const char* name = lines[i].c_str();
        const std::string clean = CleanTitle(lines[i + 1].c_str());
        if (clean != lines[i + 1]) damaged = true;
        if (!IsSavedGameName(name) || clean.empty() || FindByFile(name)) {
            damaged = true;
            continue;
        }
        entries.PushBack(new SavedGameEntry(name, clean.c_str()));
    }
}

void SavedGameIndex::ListUnnamedGames() {
    // One look at the directory rather than a probe for each of the thousand names; names are
    // matched ignoring case, as opening them does.
    ResourceFile file;
    std::vector<bool> onDisk(kNames, false);
    for (std::string name : file.Names()) {
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (IsSavedGameName(name.c_str()))
            onDisk[static_cast<size_t>(std::atoi(name.c_str()))] = true;
    }
    for (int n = 0; n < kNames; ++n) {
        if (!onDisk[static_cast<size_t>(n)]) continue;
        char name[16];
        std::snprintf(name, sizeof name, "%d.scn", n);
        if (!FindByFile(name) && file.Exists(name))
            entries.PushBack(new SavedGameEntry(name, name));
    }
}

int SavedGameIndex::Save() {
    if (unreadable) return 0;
    AtomicWriter file(kIndexFile);
    if (!file.IsOpen()) return 0;
    for (ListNode* n = entries.First(); n; n = entries.Next(n)) {
        auto* entry = static_cast<SavedGameEntry*>(n);
        if (file.WriteLine(entry->FileName()) != 0 || file.WriteLine(entry->Title()) != 0) return 0;
    }
    // A damaged index goes aside, unchanged, only once the new one is ready to take its place;
    // when it cannot go aside, it stays and nothing is written over it.
    if (!file.CommitOver(damaged)) return 0;
    damaged = false;
    return 1;
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
    if (unreadable) {
        entry->titleUnwritten = true;
        return entry;
    }
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
        // A name the index holds is taken even while its file is missing, and so is any entry
        // on disk, readable or not: a directory there would fail every save, and an unreadable
        // file there is a game that must not be written over.
        if (file.Present(name) || FindByFile(name)) continue;
        std::snprintf(buffer, static_cast<size_t>(size), "%s", name);
        return 1;
    }
    return 0;
}

int SavedGameIndex::Remove(int index) {
    SavedGameEntry* entry = At(index);
    if (!entry) return Save();
    // The index is written first: a delete cut short leaves at worst a file no entry names,
    // never an entry whose game is gone.
    entry->Unlink();
    if (!Save()) {
        entries.InsertAt(entry, index);
        return 0;
    }
    ResourceFile file;
    if (IsSavedGameName(entry->FileName())) file.Delete(entry->FileName());
    delete entry;
    return 1;
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
