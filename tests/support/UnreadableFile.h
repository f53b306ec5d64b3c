#pragma once
// A kept file (the saved-game list, the high scores, a design library) in each form that gives
// no bytes, as a player meets it: another user's file of mode 000, a link to nothing, a
// directory, a FIFO, a file whose read fails once open, a file that reports 0 bytes and fails
// its read. What stood there is taken whole before and after (type, link target, mode, bytes),
// so a test asserts it untouched.
#include <functional>
#include <string>
#include <vector>

enum class UnreadableForm {
    NoPermission,
    LinkToNothing,
    Directory,
    Fifo,
    ShortRead,
    EmptyReadFails
};

std::vector<UnreadableForm> AllUnreadableForms();
const char* NameOf(UnreadableForm form);

// Puts the form at path (anything there first removed); a NoPermission file holds bytes.
void MakeUnreadable(UnreadableForm form, const std::string& path, const std::string& bytes);

struct FileState {
    int type = 0;
    std::string target;
    unsigned mode = 0;
    std::string bytes;
    bool operator==(const FileState& other) const = default;
};
// Read as the test's own user (root reads a mode 000 file).
FileState StateOf(const std::string& path);

// Runs run as a user who may not read a mode 000 file: root reads any file, so it runs as
// nobody (in another group) meanwhile, the directory and those above it open to it, and the
// directory writable by it as a player's own folder is. False when the user could not be
// switched there and back (run then did not run, or its effects must not count).
bool AsAnotherUser(const std::string& directory, const std::function<void()>& run);

// Runs run as AsAnotherUser does for NoPermission, as the test's user for every other form.
bool ReadingAs(UnreadableForm form, const std::string& directory, const std::function<void()>& run);
