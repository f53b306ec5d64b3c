#pragma once
// The one way the game writes a file: lines go into a temporary file beside the target, and
// only Commit, once every line reached the device, puts it in the target's place. Whatever
// fails on the way (no room, no right to write, a directory in the way) leaves the old file
// byte for byte and answers 0; nothing half-written is ever read back.
#include <string>

#include "core/ResourceFile.h"

class AtomicWriter {
public:
    // The name is on the asset path, or a whole path with plainPath 1.
    explicit AtomicWriter(const char* name, int plainPath = 0);
    // A writer that was not committed removes its temporary file.
    ~AtomicWriter();
    AtomicWriter(const AtomicWriter&) = delete;
    AtomicWriter& operator=(const AtomicWriter&) = delete;

    // Removes the temporary a writer of this target would use, left behind when the game was
    // killed during a save (the target itself is whole: old or new). Exactly that name.
    static void RemoveLeftover(const char* name, int plainPath = 0);

    int IsOpen() const { return file.IsOpen() ? 1 : 0; }
    // For writers that take the file itself (the objects' own record lines).
    ResourceFile& File() { return file; }
    // 0 when the line was written, ResourceFile::kWriteFailed otherwise.
    int WriteLine(const char* text) { return file.WriteLine(text); }
    // 1 when the new contents are in place.
    int Commit();
    // Commit over a target that was found damaged: the damaged file first gets a second name,
    // unchanged and never over another file (ResourceFile::KeepAside), while it stays under its
    // own, and the new file is renamed over it, so that the name is never absent; when that
    // fails, the second name goes again. Where the file system gives no second name it is
    // moved aside and put back when the commit fails. When it can do neither, nothing is
    // written over it and the answer is 0. Without damage, Commit.
    int CommitOver(bool damaged);

private:
    std::string name;
    int plainPath = 0;
    std::string target;
    std::string temporary;
    ResourceFile file;
    bool committed = false;
};
