#pragma once
// Every data file of the game, read or written, goes through a ResourceFile: it opens a name
// relative to the program-wide asset directory, reads big-endian numbers and text lines, and
// understands packs (a directory of entries in columns and rows, one of which is selected and
// then read as if it were the whole file). No read passes the selected entry's window.
//
// Pack layout, big-endian: u32 magic 0x2ACE2ACE, u16 columns, u16 rows, then rows x columns
// pairs of u32 (offset from the start of the file, length), row by row. Offset 0 marks an
// absent entry. A file without the magic is a plain file whose whole length is the window.
//
// Writers: WriteLine answers 0 for a written line and kWriteFailed when the write failed;
// a failure is remembered (Failed) and Close answers 0 when anything written did not reach the
// file, so a full disk is never taken for a saved file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/Crc32.h"

class ResourceFile {
public:
    // The modes, as numbers (0 "rb", 1 "r", 2 "wb", 3 "w"). Read and Pack are the same mode:
    // whether a file is a pack is decided by its contents.
    enum class OpenMode : int32_t {
        ReadBinary = 0,
        ReadText = 1,
        WriteBinary = 2,
        WriteText = 3,
        Read = ReadBinary,
        Pack = ReadBinary,
    };
    static constexpr uint32_t kPackMagic = 0x2ACE2ACE;
    static constexpr int kWriteFailed = -1;
    static constexpr int kAssetPathCapacity = 128;

    ResourceFile() = default;
    ResourceFile(const ResourceFile&) = delete;
    ResourceFile& operator=(const ResourceFile&) = delete;
    virtual ~ResourceFile();

    // Sets the directory every name is put behind (e.g. ".\Assets\"). Texts longer than 127
    // characters are refused (0) and leave the directory as it was.
    static int SetAssetPath(const char* text);
    static const char* AssetPath();

    // 1 when the file opened. Numbers are always read big-endian, whatever byteOrder says.
    // A pack whose directory does not fit in the file is refused (0).
    int Open(const char* name, int32_t byteOrder, int32_t mode);
    int Open(const char* name, OpenMode mode);
    // mode is one of "rb", "r", "wb", "w".
    int Open(const char* name, const char* mode);
    // Reads bytes in memory as if they were a file's (they must outlive the reading): 1, or 0
    // for a pack directory that does not fit.
    int OpenBytes(const void* data, size_t size);
    // Opens for a reader that needs a pack: a file without the pack magic is refused (0).
    // Pack names are built from template letters whose case matters ("7a0U..." and "7a0u..."
    // are two packs): a pack found only under another case of its name is missing.
    int OpenPack(const char* name);
    // 1 when the native path's file name is the name's own, letter for letter.
    static int NamedExactly(const char* name, const std::string& nativePath);
    // Why the last Open failed, led by the file's path ("./Assets/x.msp: is not a pack");
    // empty after a successful one.
    const std::string& Fault() const { return fault; }
    // 1 when the last Open failed because nothing stands at the path: a missing file, as
    // opposed to one that is damaged, unreadable or not a regular file.
    int Absent() const { return absent ? 1 : 0; }
    // Renames a file on the asset path over another (used to move a damaged file aside);
    // 1 when done.
    int Rename(const char* from, const char* to) const;
    // Moves a damaged file aside, unchanged, under the first free name of "<name>.bad",
    // "<name>.bad.2" .. "<name>.bad.<kSetAsideNames>": an earlier damaged file is never
    // replaced. 1 and the name taken (relative, as name is; empty when nothing stood at name);
    // 0 when nothing moved (every name taken, or the directory refuses), the file then left
    // where it was.
    static constexpr int kSetAsideNames = 100;
    int SetAside(const char* name, std::string& aside) const;
    // As SetAside, but the damaged file keeps its own name as well (a second name, a hard
    // link), so that its name is never absent while a new file is renamed over it: 2 when it
    // got the second name, 1 when it was moved aside instead (the file system gives no second
    // name) or nothing stood at name, 0 as SetAside.
    static constexpr int kKeptUnderBothNames = 2;
    int KeepAside(const char* name, std::string& aside) const;
    // The path the last Open used.
    const std::string& Path() const { return path; }
    bool IsPack() const { return directory != nullptr; }
    // A bare number is ambiguous between the mode numberings in use: say OpenMode instead.
    int Open(const char* name, int mode) = delete;
    // 1 when the file was open and everything written reached it; 0 otherwise.
    int Close();
    bool IsOpen() const { return stream != nullptr; }

    // 1 when the entry exists and lies within the file; its window is then the only part
    // that reads can reach.
    int SelectEntry(int32_t column, int32_t row);
    int ReadU16(uint16_t* value);
    int ReadU16(int16_t* value);
    int ReadU32(uint32_t* value);
    int ReadU32(int32_t* value);
    // Cuts count to what the window holds; 1 when that many bytes came, else count is set
    // to what was read and the result is 0.
    int Read(int32_t& count, void* buffer);
    // The bytes of a plain file from here to its end, whatever size it reported, at most max
    // of them: a file under /proc reports 0 bytes and holds some. 1 when the end or max was
    // reached, 0 when a read failed (what was read is kept in out).
    int ReadToEnd(int32_t max, std::string& out);
    // One line ended by CR, LF or CR LF, stored cut to max - 1 characters (the rest of an
    // over-long line is dropped); the number of characters stored.
    int ReadLine(int32_t max, char* buffer);
    // The next line that does not begin with '#'; 0 at the end or on an empty line.
    int ReadDataLine(int32_t max, char* buffer);
    // 0 when the text and a newline were written, kWriteFailed otherwise.
    int WriteLine(const char* text);
    // 1 once a write on this file has failed (kept after Close, until the next Open).
    int Failed() const { return writeFailed; }
    // Bytes written since the last Open and their CRC-32: every writer's bytes pass through
    // here, so a save's check record covers the objects' own lines as well.
    int64_t WrittenBytes() const { return writtenBytes; }
    uint32_t WrittenCrc() const { return writtenCrc.Value(); }
    int Skip(int32_t n);
    // An absolute position, regardless of the window.
    int Seek(int32_t position);
    int32_t Tell() const;
    // Bytes of the selected entry, or of the plain file.
    int32_t Size() const { return entrySize; }
    int32_t Columns() const { return columns; }
    int32_t Rows() const { return rows; }

    int Exists(const char* name) const;
    // 1 when anything at all stands at the name (a file it cannot read, a directory, a link
    // that leads nowhere): a name that must not be written over.
    int Present(const char* name) const;
    // The names in the asset directory (or, with plainPath, in the directory given), in name
    // order: one look instead of a probe per name.
    std::vector<std::string> Names(const char* directory = "") const;
    int Delete(const char* name) const;

    // 1: names given to Open, Exists and Delete are whole paths, not put behind the asset
    // directory.
    int32_t plainPath = 0;

private:
    // Gives the file at name the first free set-aside name with give (1 given, 0 taken,
    // below 0 failed): 1 and the name, 1 and no name when nothing stands at name, 0 when every
    // name is taken, or give's failure.
    int ToFreeAsideName(const char* name, std::string& aside,
                        int (*give)(const std::string&, const std::string&)) const;
    struct DirectoryEntry {
        uint32_t offset;
        uint32_t length;
    };
    struct StreamCloser {
        void operator()(std::FILE* f) const;
    };

    std::string PathOf(const char* name) const;
    int ProbeDirectory();
    int ReadBytes(int32_t n, uint8_t* out);
    int ReadByte();

    int32_t byteSwap = 0;
    std::unique_ptr<std::FILE, StreamCloser> stream;
    uint16_t columns = 0;
    uint16_t rows = 0;
    std::unique_ptr<DirectoryEntry[]> directory;
    int32_t entrySize = 0;
    int32_t readLimit = 0;
    int64_t fileLength = 0;
    int64_t position = 0;
    int32_t writeFailed = 0;
    bool absent = false;
    int64_t writtenBytes = 0;
    Crc32 writtenCrc;
    std::string path;
    std::string fault;
};
