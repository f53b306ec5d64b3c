#include "core/ResourceFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "platform/MemoryStream.h"
#include "platform/Paths.h"
#include "platform/RegularFile.h"

namespace {

char assetPath[ResourceFile::kAssetPathCapacity] = "";

constexpr const char* kModeStrings[] = {"rb", "r", "wb", "w"};
constexpr int64_t kWindowMax = std::numeric_limits<int32_t>::max();

}  // namespace

void ResourceFile::StreamCloser::operator()(std::FILE* f) const {
    std::fclose(f);
}

ResourceFile::~ResourceFile() {
    Close();
}

int ResourceFile::SetAssetPath(const char* text) {
    if (!text) return 0;
    const size_t length = strnlen(text, kAssetPathCapacity);
    if (length >= kAssetPathCapacity) return 0;
    std::memcpy(assetPath, text, length + 1);
    return 1;
}

const char* ResourceFile::AssetPath() {
    return assetPath;
}

std::string ResourceFile::PathOf(const char* name) const {
    return winx_NativePath(plainPath ? std::string(name) : std::string(assetPath) + name);
}

int ResourceFile::Open(const char* name, int32_t byteOrder, int32_t mode) {
    Close();
    writeFailed = 0;
    absent = false;
    writtenBytes = 0;
    writtenCrc = Crc32();
    path.clear();
    fault.clear();
    if (!name || mode < 0 || mode > 3) {
        fault = "(no name or an unknown mode)";
        return 0;
    }
    byteSwap = byteOrder;
    path = PathOf(name);
    // Only a regular file is opened, and never by a call that could wait: a FIFO or a device
    // in a data file's place is a damaged file, named in the fault.
    std::string why;
    stream.reset(winx_OpenRegularFile(path, kModeStrings[mode], why));
    if (!stream) {
        fault = path + ": " + why;
        absent = !winx_PathExists(path);
        return 0;
    }
    fileLength = 0;
    if (std::fseek(stream.get(), 0, SEEK_END) == 0) {
        const long end = std::ftell(stream.get());
        if (end > 0) fileLength = end;
    }
    std::fseek(stream.get(), 0, SEEK_SET);
    position = 0;
    // The window is a signed 32-bit position; bytes beyond it cannot be reached.
    entrySize = readLimit = static_cast<int32_t>(std::min(fileLength, kWindowMax));
    if (!ProbeDirectory()) {
        Close();
        fault = path + ": the pack directory does not fit in the file";
        return 0;
    }
    return 1;
}

int ResourceFile::OpenBytes(const void* data, size_t size) {
    Close();
    writeFailed = 0;
    fault.clear();
    path = "(bytes in memory)";
    byteSwap = 1;
    stream.reset(winx_OpenMemoryStream(data, size));
    if (!stream) {
        fault = path + ": " + std::strerror(errno);
        return 0;
    }
    fileLength = static_cast<int64_t>(std::min<size_t>(size, INT64_MAX));
    position = 0;
    entrySize = readLimit = static_cast<int32_t>(std::min(fileLength, kWindowMax));
    if (!ProbeDirectory()) {
        Close();
        fault = path + ": the pack directory does not fit in the file";
        return 0;
    }
    return 1;
}

int ResourceFile::NamedExactly(const char* name, const std::string& nativePath) {
    if (!name) return 0;
    const std::string wanted(name);
    const size_t slash = wanted.find_last_of("\\/");
    const std::string base = slash == std::string::npos ? wanted : wanted.substr(slash + 1);
    const size_t found = nativePath.find_last_of('/');
    return (found == std::string::npos ? nativePath : nativePath.substr(found + 1)) == base ? 1 : 0;
}

int ResourceFile::OpenPack(const char* name) {
    if (!Open(name, OpenMode::Pack)) return 0;
    if (!NamedExactly(name, path)) {
        Close();
        fault = path + ": is another pack than " + name;
        absent = true;
        return 0;
    }
    if (directory) return 1;
    Close();
    fault = path + ": is not a pack";
    return 0;
}

int ResourceFile::Open(const char* name, OpenMode mode) {
    return Open(name, 1, static_cast<int32_t>(mode));
}

int ResourceFile::Open(const char* name, const char* mode) {
    if (!mode) return 0;
    for (int32_t i = 0; i < 4; ++i) {
        if (std::strcmp(mode, kModeStrings[i]) == 0) return Open(name, 1, i);
    }
    return 0;
}

// Every data file is stored big-endian, so numbers are swapped whatever the caller asked for.
// A pack's directory comes from the file and is not trusted: it must fit in the file.
int ResourceFile::ProbeDirectory() {
    byteSwap = 1;
    uint32_t magic = 0;
    if (!ReadU32(&magic) || magic != kPackMagic) {
        Seek(0);
        return 1;
    }
    if (!ReadU16(&columns) || !ReadU16(&rows)) return 0;
    const uint64_t entries = uint64_t{columns} * rows;
    if (8 + entries * 8 > static_cast<uint64_t>(fileLength)) return 0;
    directory = std::make_unique<DirectoryEntry[]>(entries);
    for (uint64_t i = 0; i < entries; ++i) {
        if (!ReadU32(&directory[i].offset) || !ReadU32(&directory[i].length)) return 0;
    }
    entrySize = readLimit = 0;
    return 1;
}

int ResourceFile::Close() {
    int ok = stream ? 1 : 0;
    if (stream) {
        if (std::fflush(stream.get()) != 0) writeFailed = 1;
        if (std::fclose(stream.release()) != 0) writeFailed = 1;
        if (writeFailed) ok = 0;
    }
    directory.reset();
    columns = rows = 0;
    entrySize = readLimit = 0;
    fileLength = position = 0;
    return ok;
}

int ResourceFile::SelectEntry(int32_t column, int32_t row) {
    if (!stream || !directory || column < 0 || row < 0 || column >= columns || row >= rows) {
        return 0;
    }
    const DirectoryEntry& entry =
        directory[static_cast<size_t>(row) * columns + static_cast<size_t>(column)];
    if (entry.offset == 0) return 0;
    // Offset and length are unsigned 32-bit while the window is signed 32-bit: an entry that
    // leaves the file or the window counts as absent.
    const int64_t end = int64_t{entry.offset} + entry.length;
    if (end > fileLength || end > kWindowMax) return 0;
    if (!Seek(static_cast<int32_t>(entry.offset))) return 0;
    entrySize = static_cast<int32_t>(entry.length);
    readLimit = static_cast<int32_t>(end);
    return 1;
}

int ResourceFile::ReadBytes(int32_t n, uint8_t* out) {
    if (!stream || position + n > readLimit) return 0;
    const size_t got = std::fread(out, 1, static_cast<size_t>(n), stream.get());
    position += static_cast<int64_t>(got);
    return got == static_cast<size_t>(n);
}

int ResourceFile::ReadU16(uint16_t* value) {
    uint8_t b[2];
    if (!value || !ReadBytes(2, b)) return 0;
    *value = byteSwap ? static_cast<uint16_t>(b[0] << 8 | b[1])
                      : static_cast<uint16_t>(b[1] << 8 | b[0]);
    return 1;
}

int ResourceFile::ReadU16(int16_t* value) {
    uint16_t v = 0;
    if (!value || !ReadU16(&v)) return 0;
    *value = static_cast<int16_t>(v);
    return 1;
}

int ResourceFile::ReadU32(uint32_t* value) {
    uint8_t b[4];
    if (!value || !ReadBytes(4, b)) return 0;
    *value = byteSwap ? (uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3])
                      : (uint32_t{b[3]} << 24 | uint32_t{b[2]} << 16 | uint32_t{b[1]} << 8 | b[0]);
    return 1;
}

int ResourceFile::ReadU32(int32_t* value) {
    uint32_t v = 0;
    if (!value || !ReadU32(&v)) return 0;
    *value = static_cast<int32_t>(v);
    return 1;
}

int ResourceFile::Read(int32_t& count, void* buffer) {
    if (!stream || !buffer) return 0;
    if (count < 0) {
        count = 0;
        return 0;
    }
    // After a Seek past the window nothing is left, never a negative count.
    const int64_t left = std::max<int64_t>(readLimit - position, 0);
    count = static_cast<int32_t>(std::min<int64_t>(count, left));
    const size_t got = std::fread(buffer, 1, static_cast<size_t>(count), stream.get());
    position += static_cast<int64_t>(got);
    if (got == static_cast<size_t>(count)) return 1;
    count = static_cast<int32_t>(got);
    return 0;
}

int ResourceFile::ReadToEnd(int32_t max, std::string& out) {
    out.clear();
    if (!stream || directory || max < 0) return 0;
    char chunk[4096];
    while (out.size() < static_cast<size_t>(max)) {
        const size_t want = std::min(sizeof chunk, static_cast<size_t>(max) - out.size());
        const size_t got = std::fread(chunk, 1, want, stream.get());
        position += static_cast<int64_t>(got);
        out.append(chunk, got);
        if (got < want) return std::ferror(stream.get()) ? 0 : 1;
    }
    return 1;
}

int ResourceFile::ReadByte() {
    if (!stream || position >= readLimit) return -1;
    const int c = std::fgetc(stream.get());
    if (c == EOF) return -1;
    ++position;
    return c;
}

int ResourceFile::ReadLine(int32_t max, char* buffer) {
    if (!buffer || max <= 0) return 0;
    int32_t stored = 0;
    int c;
    while ((c = ReadByte()) >= 0 && c != '\r' && c != '\n') {
        if (stored < max - 1) buffer[stored++] = static_cast<char>(c);
    }
    buffer[stored] = '\0';
    if (c == '\r') {
        // CR LF is one line end; a lone CR ends the line by itself.
        const int next = ReadByte();
        if (next >= 0 && next != '\n') {
            std::ungetc(next, stream.get());
            --position;
        }
    }
    return stored;
}

int ResourceFile::ReadDataLine(int32_t max, char* buffer) {
    int n = ReadLine(max, buffer);
    while (n > 0 && buffer[0] == '#')
        n = ReadLine(max, buffer);
    return n;
}

int ResourceFile::WriteLine(const char* text) {
    if (!stream) return kWriteFailed;
    if (!text) text = "";
    const size_t length = std::strlen(text);
    const bool ok = std::fwrite(text, 1, length, stream.get()) == length &&
                    std::fputc('\n', stream.get()) != EOF;
    if (!ok) {
        writeFailed = 1;
        return kWriteFailed;
    }
    position += static_cast<int64_t>(length) + 1;
    writtenCrc.Add(text, length);
    writtenCrc.Add("\n", 1);
    writtenBytes += static_cast<int64_t>(length) + 1;
    return 0;
}

int ResourceFile::Skip(int32_t n) {
    if (!stream || n < 0 || position + n > readLimit) return 0;
    return Seek(static_cast<int32_t>(position + n));
}

int ResourceFile::Seek(int32_t newPosition) {
    if (!stream || newPosition < 0) return 0;
    if (std::fseek(stream.get(), newPosition, SEEK_SET) != 0) return 0;
    position = newPosition;
    return 1;
}

int32_t ResourceFile::Tell() const {
    return stream ? static_cast<int32_t>(std::min(position, kWindowMax)) : 0;
}

int ResourceFile::Exists(const char* name) const {
    if (!name) return 0;
    return winx_IsReadableRegularFile(PathOf(name));
}

int ResourceFile::Present(const char* name) const {
    if (!name) return 0;
    return winx_PathExists(PathOf(name));
}

int ResourceFile::Rename(const char* from, const char* to) const {
    if (!from || !to) return 0;
    return std::rename(PathOf(from).c_str(), PathOf(to).c_str()) == 0 ? 1 : 0;
}

std::vector<std::string> ResourceFile::Names(const char* directory) const {
    return winx_DirectoryNames(plainPath ? std::string(directory ? directory : "")
                                         : std::string(assetPath) + (directory ? directory : ""));
}

int ResourceFile::ToFreeAsideName(const char* name, std::string& aside,
                                  int (*give)(const std::string&, const std::string&)) const {
    aside.clear();
    if (!name) return 0;
    const std::string from = PathOf(name);
    // Nothing there (gone since it was found damaged): nothing to keep, nothing to move.
    if (!winx_PathExists(from)) return 1;
    for (int n = 1; n <= kSetAsideNames; ++n) {
        std::string candidate = std::string(name) + ".bad";
        if (n > 1) candidate += "." + std::to_string(n);
        const int given = give(from, PathOf(candidate.c_str()));
        if (given == 0) continue;
        if (given < 0) return given;
        aside = candidate;
        return 1;
    }
    return 0;
}

int ResourceFile::SetAside(const char* name, std::string& aside) const {
    return ToFreeAsideName(name, aside, winx_RenameNoReplace) == 1 ? 1 : 0;
}

int ResourceFile::KeepAside(const char* name, std::string& aside) const {
    const int linked = ToFreeAsideName(name, aside, winx_LinkNoReplace);
    // No second name here: the damaged file moves aside instead.
    if (linked == -2) return SetAside(name, aside);
    if (linked != 1) return 0;
    return aside.empty() ? 1 : kKeptUnderBothNames;
}

int ResourceFile::Delete(const char* name) const {
    if (!name) return 0;
    return std::remove(PathOf(name).c_str()) == 0 ? 1 : 0;
}
