#pragma once
// The saved games: numbered scenario files "0.scn" .. "999.scn" on the asset path, each paired
// with the title the player typed in the index file "GAMES.SAV" (a line with the file name, a
// line with the title, for each game). Titles are kept printable, trimmed and short, and only
// names of that numbered form are ever listed or deleted, so a damaged or hand-made index
// cannot make the game delete another file.
#include <cstdint>
#include <string>

#include "core/ListNode.h"
#include "core/NodeList.h"

class SavedGameEntry : public ListNode {
public:
    SavedGameEntry(const char* fileName, const char* title);
    void SetFileName(const char* name) { fileName = name ? name : ""; }
    void SetTitle(const char* text) { title = text ? text : ""; }
    const char* FileName() const { return fileName.c_str(); }
    const char* Title() const { return title.c_str(); }
    // Made while the index could not be read: the title was never written, and later runs
    // list the game under its file name.
    bool TitleUnwritten() const { return titleUnwritten; }

private:
    friend class SavedGameIndex;
    std::string fileName;
    std::string title;
    bool titleUnwritten = false;
};

class SavedGameIndex {
public:
    static constexpr char kIndexFile[] = "GAMES.SAV";
    static constexpr int kNames = 1000;
    static constexpr int kMaxTitle = 127;
    static constexpr int kLineSize = 256;
    // 1000 pairs of full lines fit well within it.
    static constexpr int32_t kMaxIndexBytes = 1 << 20;

    // Reads the index.
    SavedGameIndex();
    SavedGameIndex(const SavedGameIndex&) = delete;
    SavedGameIndex& operator=(const SavedGameIndex&) = delete;
    virtual ~SavedGameIndex();

    // Pairs whose name is not a saved game's, that name a game twice or that have no title are
    // dropped; a last name without title line too. An index with anything the writer does not
    // write (such a pair, a title that needed cleaning, a line too long, a missing last line
    // end) is damaged: the pairs it still holds whole are kept. A leading byte order mark is
    // skipped and is no damage. Something in the index's place that gives no bytes (no
    // permission, a link to nothing, a directory, a FIFO, a failed read) is unreadable, not
    // damaged: it may hold every title whole (FileBytes). Every saved game on disk that no
    // entry names is listed as well, under its file name, and so kept at the next save.
    void Load();
    // 1 when the index file is in place; 0 leaves the old one (nothing ends the program). A
    // damaged index is first moved aside unchanged (ResourceFile::SetAside, never over an
    // older one); when it cannot be, nothing is written. An unreadable one is never written
    // (0).
    int Save();
    bool Damaged() const { return damaged; }
    bool Unreadable() const { return unreadable; }
    // 1 the first time it is asked while the index read is damaged or unreadable, so the
    // player is told once.
    int TakeDamageNotice();
    SavedGameEntry* FindByTitle(const char* title);
    SavedGameEntry* FindByFile(const char* name);
    // The entry of the title (which is cleaned first), or a new one with the first free name,
    // written to the index at once (an unreadable index is left as it is: the entry is listed
    // for this run only, and the game on disk under its file name after). Null when the title is
    // empty once cleaned, when every name is taken, or when the index could not be written (the new
    // entry is taken out again).
    SavedGameEntry* FindOrCreate(const char* title);
    // The first name "%d.scn" (0 .. 999) with no file; 0 when every one exists.
    int FreeFileName(char* buffer, int size);
    // Takes out the entry and rewrites the index (also for an index past the end); only once
    // the index no longer names the game is its file deleted. 0 when the index could not be
    // written: the entry and its game then stay as they were.
    int Remove(int index);
    // Takes out an entry made for a save that failed, and rewrites the index.
    void Forget(SavedGameEntry* entry);
    int Count() const { return entries.Count(); }
    SavedGameEntry* At(int index) const;

    // A title as it is stored: printable characters only, trimmed, at most kMaxTitle
    // characters, not beginning with '#' (which the line reader would skip); may be empty.
    static std::string CleanTitle(const char* title);
    // 1 for "%d.scn" with 0 .. 999, written the way FreeFileName writes it.
    static int IsSavedGameName(const char* name);

    NodeList entries;

private:
    void ReadIndex();
    // Lists, under its file name, every saved game on disk that no entry names.
    void ListUnnamedGames();

    bool damaged = false;
    bool unreadable = false;
    bool damageTold = false;
};
