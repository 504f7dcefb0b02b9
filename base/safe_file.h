#pragma once
// Safe file access shared by every reader and writer of the program.
//
// Reading: a file the program reads by name is opened without blocking (a FIFO never hangs),
// must be a regular file and is read up to a size cap; the result says why a file was not read.
//
// Writing: every file is written under a fresh temporary name in its folder (created
// exclusively, never through a symbolic link), flushed to the disk with fsync, renamed over the
// target and the folder synced, so a full disk or a crash leaves the old file whole. Errors name
// the file and give the system's reason.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace qlor {

enum class ReadStatus {
    Ok,
    Missing,    // no such file (or a dangling path)
    NotRegular, // a folder, FIFO, device or socket
    TooLarge,   // larger than the cap
    Failed,     // permission denied, I/O error, ... (error says which)
};

struct FileBytes {
    ReadStatus status = ReadStatus::Missing;
    std::string bytes;
    std::string error; // "cannot read "PATH": reason" unless status is Ok (UTF-8)
    bool ok() const { return status == ReadStatus::Ok; }
};

// The whole regular file at path, at most maxBytes [bytes] long.
FileBytes ReadRegularFile(const std::string& path, uint64_t maxBytes);

// The same checks for readers that need a descriptor (libsndfile): path opened read-only without
// blocking and required to be a regular file. On success fd >= 0 belongs to the caller and
// status is Ok; otherwise fd is -1 and reason says why ("it is a folder", the system's text).
struct OpenedFile {
    int fd = -1;
    ReadStatus status = ReadStatus::Missing;
    std::string reason;
    uint64_t size = 0; // [bytes]
};
OpenedFile OpenRegularFile(const std::string& path);

// Writes bytes to path atomically. Returns an empty string on success, else a readable error
// text naming the file and the reason.
std::string WriteFileAtomically(const std::string& path, std::string_view bytes);

struct FileToWrite {
    std::string path;
    std::string_view bytes;
};
// Writes several files as one: all are written to temporary names first and renamed into place
// only when every one has been written, so a failure leaves every old file as it was and no new
// one. Returns an empty string on success, else the first error.
std::string WriteFilesAtomically(std::span<const FileToWrite> files);

// A file being written under a temporary name beside its target (for writers that stream, such
// as the audio render). Create() opens "TARGET.part" with O_CREAT|O_EXCL|O_NOFOLLOW, so nothing
// planted there is followed or overwritten; Commit() syncs, renames into place and syncs the
// folder; a part file not committed is removed by the destructor, and by the signal clean-up
// (RemovePartFilesOnSignals) when the process is interrupted.
class PartFile {
public:
    PartFile() = default;
    ~PartFile();
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    // Empty string on success; the descriptor then belongs to the PartFile until Release().
    std::string Create(const std::string& target, std::string_view suffix = ".part");
    // The same with the temporary file at tempPath (in the target's folder), for writers that
    // choose the file type by the name's extension.
    std::string CreateAt(const std::string& target, const std::string& tempPath);
    int Descriptor() const { return fd_; }
    // Appends bytes through the descriptor; empty string on success, else the system's reason.
    std::string Write(std::string_view bytes);
    // The caller (libsndfile) closes the descriptor itself from now on.
    void Release() { fd_ = -1; }
    const std::string& TempPath() const { return temp_; }
    // Syncs and closes the descriptor (unless released), renames over the target, syncs the folder.
    std::string Commit();
    // Removes the temporary file (a no-op after Commit).
    void Discard();

private:
    std::string target_;
    std::string temp_;
    int fd_ = -1;
    int slot_ = -1;
};

// Installs SIGINT, SIGTERM and SIGHUP handlers that remove every uncommitted PartFile and
// temporary file of WriteFileAtomically, then end the process with the signal (command-line use).
void RemovePartFilesOnSignals();

// Text of an errno value.
std::string ErrnoText(int error);

// An error text of the functions above as a sentence's start: its first letter upper-cased.
std::string Capitalised(std::string text);

// The path of `fileName` in `folder`: the name alone for an empty folder, one "/" between them.
std::string JoinFolder(const std::string& folder, const std::string& fileName);

} // namespace qlor
