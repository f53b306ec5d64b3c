#include "support/UnreadableFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

namespace fs = std::filesystem;

std::vector<UnreadableForm> AllUnreadableForms() {
    return {UnreadableForm::NoPermission, UnreadableForm::LinkToNothing,
            UnreadableForm::Directory,    UnreadableForm::Fifo,
            UnreadableForm::ShortRead,    UnreadableForm::EmptyReadFails};
}

const char* NameOf(UnreadableForm form) {
    switch (form) {
        case UnreadableForm::NoPermission:
            return "mode 000 as another user";
        case UnreadableForm::LinkToNothing:
            return "a link to nothing";
        case UnreadableForm::Directory:
            return "a directory";
        case UnreadableForm::Fifo:
            return "a FIFO";
        case UnreadableForm::ShortRead:
            return "a read that fails";
        case UnreadableForm::EmptyReadFails:
            return "0 bytes reported, a read that fails";
    }
    return "";
}

void MakeUnreadable(UnreadableForm form, const std::string& path, const std::string& bytes) {
    std::error_code ignored;
    fs::remove_all(path, ignored);
    switch (form) {
        case UnreadableForm::NoPermission:
            std::ofstream(path, std::ios::binary) << bytes;
            fs::permissions(path, fs::perms::none);
            break;
        case UnreadableForm::LinkToNothing:
            fs::create_symlink(path + ".nowhere", path);
            break;
        case UnreadableForm::Directory:
            fs::create_directory(path);
            break;
        case UnreadableForm::Fifo:
            mkfifo(path.c_str(), 0600);
            break;
        case UnreadableForm::ShortRead:
            // A sysfs file opens as 4096 bytes and gives a few.
            fs::create_symlink("/sys/devices/system/cpu/online", path);
            break;
        case UnreadableForm::EmptyReadFails:
            // The reader's own memory reports 0 bytes, and address 0 is never mapped.
            fs::create_symlink("/proc/self/mem", path);
            break;
    }
}

FileState StateOf(const std::string& path) {
    FileState state;
    std::error_code code;
    const fs::file_status status = fs::symlink_status(path, code);
    state.type = static_cast<int>(status.type());
    state.mode = static_cast<unsigned>(status.permissions());
    if (status.type() == fs::file_type::symlink) state.target = fs::read_symlink(path, code);
    if (status.type() == fs::file_type::regular) {
        std::ifstream in(path, std::ios::binary);
        state.bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    return state;
}

bool AsAnotherUser(const std::string& directory, const std::function<void()>& run) {
    const bool root = geteuid() == 0;
    if (!root) {
        run();
        return true;
    }
    // The other user reaches the folder name by name: a test runner's private temporary folder
    // above it is opened to it for the run alone.
    std::vector<std::pair<fs::path, fs::perms>> opened;
    const fs::perms reach = fs::perms::others_read | fs::perms::others_exec;
    for (fs::path p = fs::path(directory).parent_path(); p.has_relative_path();
         p = p.parent_path()) {
        const fs::perms was = fs::status(p).permissions();
        if ((was & reach) == reach) continue;
        fs::permissions(p, reach, fs::perm_options::add);
        opened.emplace_back(p, was);
    }
    const fs::perms was = fs::status(directory).permissions();
    fs::permissions(directory, fs::perms::all);
    // Another user in another group: with the group left root's, the folders' group bits would
    // answer for it.
    bool switched = setegid(65534) == 0 && seteuid(65534) == 0;
    if (switched) run();
    if (seteuid(0) != 0 || setegid(0) != 0) switched = false;
    fs::permissions(directory, was);
    for (const auto& [p, before] : opened)
        fs::permissions(p, before);
    return switched;
}

bool ReadingAs(UnreadableForm form, const std::string& directory,
               const std::function<void()>& run) {
    if (form == UnreadableForm::NoPermission) return AsAnotherUser(directory, run);
    run();
    return true;
}
